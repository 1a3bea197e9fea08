#pragma once
// The contract of the six top-level forms: the keys the host sets before
// loading, the load result, the registration with the menu, and the hand-back
// when the form unloads.
#include <QString>
#include <QWidget>

class FormBase : public QWidget {
    Q_OBJECT
    // Members the shared form routines read and write by name.
    Q_PROPERTY(QString osKeySec MEMBER osKeySec)
    Q_PROPERTY(QString osParam MEMBER osParam)
    Q_PROPERTY(int oiAbilRW MEMBER oiAbilRW)
    Q_PROPERTY(double odRisVidVal MEMBER odRisVidVal)
    Q_PROPERTY(QString osRisVidKey MEMBER osRisVidKey)
public:
    // nomeForm: the form's own name ("frmLiqIvaXml"), as the menu registers it.
    explicit FormBase(const QString& nomeForm, QWidget* parent = nullptr);

    QString osKeySec;
    QString osKeyLancia;
    QString osKeySecLancia;
    QString osParamLancia;
    QString osParam;
    int oiLoadOk = -1;   // -1 while loading and after a failed load, 1 when loaded
    int oiAbilRW = 1;    // 1 read and write, 0 read-only
    double odRisVidVal = 1.0;  // screen-scaling factor applied at load
    QString osRisVidKey;       // the form's own scaling key; blank: program key + "-" + osKeySec

    const QString& NomeForm() const { return nomeForm_; }

    // Loads the form: runs Form_Load and sets oiLoadOk. A form whose load fails
    // reports why itself and leaves oiLoadOk at -1.
    void Carica();
    // Unloads the form; false when the form refused.
    bool Scarica();
    bool Caricata() const { return caricata_; }

    // Registers the open form with the menu.
    virtual void PassaA();
    // The window the user works in: the form, or a window it opened and
    // waits for (a header screen's lines screen). It is what comes forward.
    virtual QWidget* FinestraAttiva() { return this; }
    // Back to the menu; offered by the run forms and the header screens.
    virtual bool HaMenuFrm() const { return false; }
    virtual void MenuFrm();
    // True while the form runs work that must end before it can close.
    virtual bool ElaborazioneAttiva() const { return false; }

protected:
    // The form's own load; returns false when it failed (after reporting it).
    virtual bool Form_Load() { return true; }
    // False to refuse the unload.
    virtual bool Form_QueryUnload() { return true; }
    virtual void Form_Unload() {}
    void closeEvent(QCloseEvent* e) override;

private:
    QString nomeForm_;
    bool caricata_ = false;
    bool scaricando_ = false;
};

// Stands in for a form whose subsystem is not built yet: honours the contract
// and says in its caption which form it stands for.
class FormSegnaposto : public FormBase {
    Q_OBJECT
public:
    explicit FormSegnaposto(const QString& nomeForm);
    bool HaMenuFrm() const override { return true; }
};
