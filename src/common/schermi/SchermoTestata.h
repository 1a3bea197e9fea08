#pragma once
// The frame of the header screens: one row of a header table in bound text
// boxes driven by the page component, the read-only grid of its detail rows,
// the toolbar commands, the hooks before and after the page's operations,
// and the hand-off to the lines screen and back. The screens derive from it
// and give the table, the fields, the grid, the rules of their boxes and
// their lines and list screens.
//
// Every entry point (commands, loading, closing, grid, hooks) catches a
// run-time error, shows it with MsgErrfrm and puts the screen's flags back;
// nothing escapes a Qt slot.
#include "common/schermi/Ancoraggi.h"
#include "common/form/FormComune.h"
#include "components/pages/ComPag.h"
#include "components/pages/ModelloGriglia.h"
#include "common/schermi/AdattatoreComponente.h"
#include "common/FormBase.h"
#include "common/schermi/TestataAperta.h"

#include <QMap>
#include <QPointer>
#include <memory>

class CasellaSpunta;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;
class QTimer;
class QToolBar;
class SchermoLinee;
class SchermoLista;

class SchermoTestata : public FormBase, public MembriForm, public OspitePagina, public TestataAperta {
    Q_OBJECT
public:
    SchermoTestata(const QString& nomeForm, const QString& caption);
    ~SchermoTestata() override;

    // Controls, by array and index.
    QMap<int, QLineEdit*> txt;
    QMap<int, CasellaSpunta*> Check;
    QMap<int, QComboBox*> cob;
    QToolBar* tolComPag_ = nullptr;
    QLabel* lblTipOpe = nullptr;
    QLabel* labDescrCampo = nullptr;  // status-bar panel "DescrCampo"
    QLabel* labMessaggio = nullptr;   // status-bar panel "Messaggio"
    QFrame* picTest = nullptr;
    QFrame* PicDett = nullptr;
    QTableView* dbgDett = nullptr;
    QPushButton* ComAnno[2] = {nullptr, nullptr};
    QTimer* timComPag = nullptr;

    long olPosDett = -1;  // detail row chosen by a double click, -1 none
    int oiInDett = -1;    // 1 while the lines screen is open

    ComPag& Pagina();
    ModelloGriglia& ModelloDett() { return modelloDett_; }
    SchermoLista* ListaForm() const;
    SchermoLinee* LineeAperte() const;

    // Commands and the members the components call.
    void ButtonComando(const QString& psKey) override;
    void ChiudiFrm() override;
    void MenuFrm() override { FormBase::MenuFrm(); }
    bool HaMenuFrm() const override { return true; }
    int PersPagPri(int piOper, int& pvRit, QList<Valore>& pvArray) override;
    int PersPagDop(int piOper, int& pvRit, QList<Valore>& pvArray) override;
    int Domanda(const RichiestaMsgCom& richiesta) override;
    void MostraMessaggio(const QString& testo) override;
    void MostraDescrizione(const QString& testo) override;
    void VariaChiaveDettagli(const QList<Valore>& vecchia, const QList<Valore>& nuova) override;

    void GestDettaglio();
    void DopoGestDettaglio() override;

    // The lines screen while it is open, in front of the disabled header.
    QWidget* FinestraAttiva() override;

    // What the lines and list screens ask of it.
    QWidget* FinestraTestata() override { return this; }
    long PosDettaglio() const override { return olPosDett; }
    void MenuTestata() override { MenuFrm(); }
    void MostraDett();
    bool InVar();
    void AggNonText();
    void dbgDett_DblClick();
    virtual void ComAnno_Click(int Index);
    void Check_KeyUp(int Index, int KeyCode);
    void Check_MouseDown(int Index, int Button);

    // MembriForm
    ComponenteDati* ogComPag() const override { return adattatore_.get(); }
    QToolBar* tolComPag() const override { return tolComPag_; }
    QString ComandoProprio(int keyCode, int shift) const override;
    void txt_GotFocus(int Index) override;
    void txt_LostFocus(int Index) override;
    void Form_KeyPress(int& KeyAscii) override;

protected:
    void resizeEvent(QResizeEvent* e) override;
    bool eventFilter(QObject* o, QEvent* e) override;
    bool Form_Load() override;
    bool Form_QueryUnload() override;
    void Form_Unload() override;

    // --- What each screen gives ---
    virtual int ContestoHelp() const = 0;
    virtual QString Tabella() const = 0;
    // The detail table, whose rows carry the header's key columns.
    virtual QString TabellaDett() const = 0;
    // The screen's own call after the table (the key hint or the set-up switch).
    virtual void ImpostazionePropria(ComPag& pagina) = 0;
    virtual void DefinisciCampi(ComPag& pagina) = 0;
    virtual int PrimoCampoDati() const = 0;
    virtual SchermoLista* CreaLista() = 0;
    virtual SchermoLinee* CreaLinee() = 0;
    // The detail rows of the current header, and a query that gives none.
    virtual QString QueryDett() const = 0;
    virtual QString QueryDettVuota() const = 0;
    virtual void FormatColDett() = 0;
    // The screen's rule for leaving a box; false when the box has none.
    virtual bool RegolaCampo(int Index) { (void)Index; return false; }
    // The rules that follow every box.
    virtual void RegoleDopoCampo(int Index) { (void)Index; }
    virtual void AggNonTextSchermo() {}
    // Deletes the detail rows of the current header.
    virtual void CancellaDettagli() = 0;

    // Builds a box of the array at a position of its container.
    QLineEdit* Campo(QWidget* padre, int indice, const QString& etichetta, int x, int y, int larghezza, int xEtichetta = -1);
    CasellaSpunta* Spunta(QWidget* padre, int indice, const QString& testo, int x, int y, int larghezza);
    bool Rosso(const QWidget* w) const;
    void Colora(QWidget* w, long colore);

    int indiceComando_ = -1;   // box validated when the last command arrived
    bool aggiornaControlli_ = false;  // AggNonText is setting the controls
    QString controlloComando_;

private:
    Ancoraggi ancore_;
    void costruisci(const QString& caption);
    void comando(const QString& psKey);
    void regolaComune(int Index);
    void timComPag_Timer();
    void mostraErrore(const std::exception& e);
    void legaGriglia(const QString& sql);
    void grigliaVuota();
    // "Dettaglio" is offered in the page states 1, 2 and 7 only.
    void abilitaDettaglio(int stato);

    std::unique_ptr<ComPag> ogComPag_;
    std::unique_ptr<AdattatoreComponente<ComPag>> adattatore_;
    ModelloGriglia modelloDett_;
    QPointer<SchermoLista> lista_;
    QPointer<SchermoLinee> linee_;
    QString captionCaricamento_;
    int chiusuraRichiesta_ = 0;
    int scaricamento_ = 0;
    int boxInUscita_ = -1;   // the box whose leave rules are running
    int boxMessaggio_ = -1;  // the box whose rules wrote the message shown
};
