#pragma once
// The frame of the lines screens: the detail rows of one header row in a
// grid, the current row in bound text boxes under the header's key, driven by
// the lines component. A header screen opens it ("Dettaglio") and stays
// disabled until it closes; on closing it calls the header's
// DopoGestDettaglio. The screens derive from it and give the key, the
// fields, the grid, the rules of their boxes and their hooks.
//
// Every entry point catches a run-time error, shows it with MsgErrfrm and
// puts the screen's flags back.
#include "common/schermi/Ancoraggi.h"
#include "common/form/FormComune.h"
#include "components/pages/LinPag.h"
#include "common/schermi/AdattatoreComponente.h"

#include <QMap>
#include <QPointer>
#include <QWidget>
#include <memory>

class CasellaSpunta;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QTableView;
class QTimer;
class QToolBar;
class TestataAperta;

class SchermoLinee : public QWidget, public MembriForm, public OspiteLinee {
    Q_OBJECT
    Q_PROPERTY(QString osKeySec MEMBER osKeySec)
    Q_PROPERTY(QString osParam MEMBER osParam)
    Q_PROPERTY(int oiAbilRW READ oiAbilRW WRITE ImpAbilRW)
    Q_PROPERTY(int oiNoHelp MEMBER oiNoHelp)
    Q_PROPERTY(double odRisVidVal MEMBER odRisVidVal)
    Q_PROPERTY(QString osRisVidKey MEMBER osRisVidKey)
public:
    SchermoLinee(const QString& nomeForm, const QString& caption);
    ~SchermoLinee() override;

    QString osKeySec, osParam, osRisVidKey;
    int oiNoHelp = 0;
    double odRisVidVal = 1.0;
    TestataAperta* testata = nullptr;  // the header screen that opened it

    QMap<int, QLineEdit*> txt;
    QMap<int, CasellaSpunta*> Che;
    QMap<int, QComboBox*> Cob;
    QToolBar* tolLinPag_ = nullptr;
    QLineEdit* txtRiga_ = nullptr;
    QTableView* dbgRiga = nullptr;
    QLabel* labTipOpe = nullptr;     // status-bar panel "TipOpe"
    QLabel* labMessaggio = nullptr;  // status-bar panel "Messaggio"
    QFrame* picFisso = nullptr;
    QFrame* PicDett = nullptr;
    QTimer* timLinPag = nullptr;

    // Loads the screen (Form_Load); false after a failure it has shown.
    bool Carica();
    bool Caricata() const { return caricata_; }
    // Closes the screen; false when it refused.
    bool Scarica();
    LinPag& Linee();

    int oiAbilRW() const { return abilRW_; }
    virtual void ImpAbilRW(int valore);
    QVariant ButtonComando(const QString& psKey, bool);
    void ButtonComando(const QString& psKey) override { ButtonComando(psKey, true); }
    void AnnullaIns();
    void CompletaInserisci(QString& psKey);
    void PosDoppioClick();
    void DatRefresh();
    bool ControllaDati() { return true; }
    void ChiudiFrm() override;
    void MenuFrm() override;
    int PersLPaPri(int piOper, Valore& pvRit, QList<Valore>& pvArray) override;
    int PersLPaDop(int piOper, Valore& pvRit, QList<Valore>& pvArray) override;
    int Domanda(const RichiestaMsgCom& richiesta) override;
    void MostraMessaggio(const QString& testo) override;
    // The row kept for "VaiA", which is offered while one is kept.
    void ovfrmBookmark(const QString& segnalibro) override;
    QString ovfrmBookmark() const override { return segnalibro_; }
    std::optional<QString> ChiediTesto(const QString& domanda) override;
    virtual void AggNonText() {}
    virtual QString PrepSql() const = 0;
    void timLinPag_Timer();

    // MembriForm
    ComponenteDati* ogLinPag() const override { return adattatore_.get(); }
    QToolBar* tolLinPag() const override { return tolLinPag_; }
    QLineEdit* txtRiga() const override { return txtRiga_; }
    void Form_KeyDown(int& KeyCode, int Shift) override;
    void txt_GotFocus(int Index) override;
    void txt_LostFocus(int Index) override;

protected:
    void resizeEvent(QResizeEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

    virtual int ContestoHelp() const = 0;
    virtual QString Tabella() const = 0;
    // The key boxes get the header's key.
    virtual void ImpostaChiave() = 0;
    virtual void DefinisciCampi(LinPag& linee) = 0;
    // Boxes asking the component nothing on focus.
    virtual bool Escluso(int Index) const { (void)Index; return false; }
    // The new row holds nothing yet.
    virtual bool RigaVuota() const = 0;
    virtual int PrimoCampo() const { return 10; }
    // The screen's rules for a box left: the range checks run every time,
    // variato tells whether the text changed since the box was entered.
    virtual void RegoleCampo(int Index, bool variato) { (void)Index; (void)variato; }
    // The screen's own hook actions before the frame's.
    virtual int HookPrimaSchermo(int piOper, Valore& pvRit) { (void)piOper; (void)pvRit; return 0; }

    // Defines one field: its column in the field-name array first.
    void Campo(LinPag& linee, const QString& colonna, int indice, const OpzioniCampoLinee& opz = {});
    QLineEdit* Box(QWidget* padre, int indice, const QString& etichetta, int x, int y, int larghezza, int xEtichetta);
    bool Rosso(const QWidget* w) const;
    void Colora(QWidget* w, long colore);
    QString NomeCampo(int Index) const { return nomiCampo_.value(Index); }

private:
    Ancoraggi ancore_;
    bool Form_Load();
    bool Form_Unload();
    void costruisci(const QString& caption);
    QString comando(const QString& psKey);
    // The entry values start again from the row shown.
    void ricordaIngresso();
    void mostraErrore(const std::exception& e);

    std::unique_ptr<LinPag> ogLinPag_;
    std::unique_ptr<AdattatoreComponente<LinPag>> adattatore_;
    QString nomeForm_;
    QMap<int, QString> nomiCampo_, valoriIngresso_;
    QString sqlGriglia_;
    QString segnalibro_;
    QString controlloAttivo_;
    int abilRW_ = 1;
    int chiusuraRichiesta_ = 0;
    int scaricamento_ = 0;
    int flagTasto_ = 0;
    int controlloUscita_ = -1;
    int richiestaPosiz_ = 0;
    int insPosizionato_ = 0;
    int passoDifferito_ = 0;
    bool caricata_ = false;
    bool chiuso_ = false;
};
