#pragma once
// The frame of the list screens: selection fields above a grid of the
// header rows, driven by the list component and its pager. A header screen
// creates it and links it to its page; the page opens it with "Lista", and
// "Seleziona" hands the chosen row back to the page. The screen forwards every
// command to both components and answers their call-backs; the screens derive
// from it and give the fields, the query and the columns.
#include "common/form/FormComune.h"
#include "components/pages/ComPag.h"
#include "components/pages/Comlin.h"
#include "components/pages/LisPag.h"
#include "common/schermi/AdattatoreComponente.h"

#include <QMap>
#include <QPointer>
#include <QWidget>
#include <functional>
#include <memory>

class QComboBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTableView;
class QTimer;
class QToolBar;
class TestataAperta;

class SchermoLista : public QWidget, public MembriForm, public OspiteLista, public ListaPagina {
    Q_OBJECT
    Q_PROPERTY(QString osKeySec MEMBER osKeySec)
    Q_PROPERTY(QString osParam MEMBER osParam)
    Q_PROPERTY(int oiAbilRW MEMBER oiAbilRW_)
    Q_PROPERTY(int oiNoHelp MEMBER oiNoHelp)
    Q_PROPERTY(double odRisVidVal MEMBER odRisVidVal)
    Q_PROPERTY(QString osRisVidKey MEMBER osRisVidKey)
public:
    SchermoLista(const QString& nomeForm, const QString& caption);
    ~SchermoLista() override;

    QString osKeySec, osParam, osRisVidKey;
    int oiNoHelp = 0;
    int oiAbilRW_ = 1;
    double odRisVidVal = 1.0;
    TestataAperta* testata = nullptr;

    QMap<int, QLineEdit*> txt;
    QToolBar* tolComlin_ = nullptr;
    QTableView* dbgRiga = nullptr;
    QLineEdit* txtRiga_ = nullptr;
    QLineEdit* txtCerca = nullptr;
    QComboBox* CobCerca = nullptr;
    QPushButton* ComCerca = nullptr;
    QRadioButton* optDirez[4] = {};
    QTimer* timVarie = nullptr;

    Comlin& Lista();
    LisPag& Pager();
    bool Caricata() const { return caricata_; }

    // Commands: every key to the list component, then to the pager.
    void ButtonComando(const QString& psKey) override;
    void dbgRiga_Click();
    void dbgRiga_HeadClick(int ColIndex);
    // With [Config] LisSpostaCurs = "S" the current row follows the pointer,
    // except for the first movement after a key.
    void dbgRiga_MouseMove(int y);
    void timVarie_Timer();
    const QString& osSql() const { return sql_; }
    QString ovfrmBookmarkLeggi() const { return segnalibro_; }

    // OspiteLista
    bool VerSelez() override;
    QString PersListaVarie(int, LisCampo&, QList<Valore>&) override { return {}; }
    void SettaRecordset(const QString& psSql) override;
    void ovfrmBookmark(const QString& segnalibro) override;
    void ChiudiFrm() override;
    void MenuFrm() override;
    void TornaTestata() override;
    int Domanda(const RichiestaMsgCom& richiesta) override;
    QString TitoloLista() const override { return windowTitle(); }
    void oiStaAtt(int valore) override;
    int oiStaAtt() const override;
    // ListaPagina
    void impOggBase(ComPag* pagina) override;
    void MostraLista() override;
    bool ListaAperta() const override { return caricata_; }
    bool ListaAvanti() override;
    bool ListaIndietro() override;

    // MembriForm
    ComponenteDati* ogLisPag() const override { return adattPager_.get(); }
    ComponenteDati* ogComlin() const override { return adattLista_.get(); }
    QToolBar* tolComlin() const override { return tolComlin_; }
    QLineEdit* txtRiga() const override { return txtRiga_; }
    void txt_LostFocus(int Index) override;

    // The dialog that prints lists, handed to every list component (made on
    // first use).
    static void ImpDialogoStampa(std::function<DialogoStampaLista*()> dialogo);

protected:
    void closeEvent(QCloseEvent* e) override;
    // The grid takes whatever room the window gives it.
    void resizeEvent(QResizeEvent* e) override;
    bool eventFilter(QObject* o, QEvent* e) override;

    virtual void DefinisciSelezioni(LisPag& pager) = 0;
    virtual void FormattaSelezione(int Index) { (void)Index; }
    // After "AzzSel": what the screen shows beside the selection boxes.
    virtual void AzzAltro() {}

    QLineEdit* Campo(int indice, const QString& etichetta, int x, int y, int larghezza, int larghEtichetta);
    // The default year of the data screens, as text.
    static QString AnnoPredefinito();

private:
    bool Form_Load();
    void Form_Unload();
    void costruisci(const QString& caption);

    std::unique_ptr<Comlin> ogComlin_;
    std::unique_ptr<LisPag> ogLisPag_;
    std::unique_ptr<AdattatoreComponente<Comlin>> adattLista_;
    std::unique_ptr<AdattatoreComponente<LisPag>> adattPager_;
    ComPag* pagina_ = nullptr;
    QString sql_, segnalibro_, controlloComando_;
    int indiceCampo_ = -1;
    int azioneDifferita_ = 0;
    bool saltaSelezione_ = false;
    bool tastoPremuto_ = false;
    bool scaricamento_ = false;
    bool caricata_ = false;
};
