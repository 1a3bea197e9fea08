#pragma once
// The lines component of the lines screens: the detail rows of one header
// row in a grid, the current row in bound text boxes. It browses the rows,
// enters a new row (numbered after the highest line number, within its
// range), saves, deletes and cancels, keeps a row's place ("Punta", back with
// "VaiA"), finds a text in the rows ("Trova"), and keeps the record counter.
//
// Contract with the screen (OspiteLinee): before and after each operation
// whose code the screen registered with AttivaPers the component calls
// PersLPaPri / PersLPaDop; a PersLPaPri answering 1 refuses the operation and
// may name in pvRit the column whose box takes the focus. Save is refused
// while a bound box shows the error colour. Failures raise ErroreRun to the
// screen, which shows them.
#include "components/core/Valore.h"
#include "components/pages/ModelloGriglia.h"
#include "components/platform/ServizioDialoghi.h"

#include <QHash>
#include <QList>
#include <QPointer>
#include <QString>
#include <optional>

class GestoreDb;
#include <QLineEdit>
#include <QTableView>
#include <QToolBar>

// Codes of the operations the lines component reports through the hooks.
namespace OperLin {
constexpr int Salva = 3;        // before: refusal honoured
constexpr int Annulla = 4;      // after
constexpr int Cancella = 6;     // before and after
constexpr int CambioStato = 7;  // after: first element the new state
constexpr int NuovaRiga = 8;    // after: an empty new row is in the boxes
constexpr int Mostrata = 16;    // after: a row is shown in the boxes
}  // namespace OperLin

class OspiteLinee {
public:
    virtual ~OspiteLinee() = default;
    virtual int PersLPaPri(int piOper, Valore& pvRit, QList<Valore>& pvArray) = 0;
    virtual int PersLPaDop(int piOper, Valore& pvRit, QList<Valore>& pvArray) = 0;
    // Widths and formats of the grid, after each reading of its rows.
    virtual void PersColonne() = 0;
    virtual void ChiudiFrm() = 0;
    virtual void MenuFrm() = 0;
    virtual int Domanda(const RichiestaMsgCom& richiesta) = 0;
    virtual void MostraMessaggio(const QString& testo) = 0;
    // The row kept by "Punta" for "VaiA": the screen stores it (and offers
    // "VaiA" while it is not empty).
    virtual void ovfrmBookmark(const QString& segnalibro) = 0;
    virtual QString ovfrmBookmark() const = 0;
    // A text asked of the user ("Trova"); nullopt when the user cancelled.
    virtual std::optional<QString> ChiediTesto(const QString& domanda) = 0;
};

// The values of a line field the screens give.
struct OpzioniCampoLinee {
    QString nomeBreve{};    // shorter name of a long column
    int parteChiave = 0;    // 1: key part of a line
    int daTestata = 0;      // 2: key part that comes from the header
    QString predefinito{};  // text of a new row
    bool numeroRiga = false;   // numbered after the highest when saved blank
    int massimo = 0;           // highest number the line number takes, 0 none
    QString maschera{};     // display mask
};

struct CampoLinee {
    QString colonna;
    QPointer<QLineEdit> box;
    OpzioniCampoLinee opz;
    int tipo = 0;
};

class LinPag {
public:
    enum Stato { Scorrimento = 1, Nuova = 2 };

    LinPag() = default;
    LinPag(const LinPag&) = delete;
    LinPag& operator=(const LinPag&) = delete;

    // --- Set-up, in the screens' order ---
    void ImpForm(OspiteLinee* ospite) { ospite_ = ospite; }
    void ImpToolbar(QToolBar* barra) { barra_ = barra; }
    void ImpDbServer(GestoreDb* gestDb) { gestDb_ = gestDb; }
    void ImpIdDbase(const QString& id) { idDb_ = id; }
    void ImpContatore(QLineEdit* contatore) { contatore_ = contatore; }
    void ImpGriglia(QTableView* griglia);
    void ImpTabella(const QString& tabella) { tabella_ = tabella; }
    void ImpFormatoData(const QString& formato) { formatoData_ = formato; }
    void AggiungiCampo(const QString& colonna, QLineEdit* box, const OpzioniCampoLinee& opz = {});
    void ImpPrimoCampoChiave(QLineEdit* box) { primoChiave_ = box; }
    void ImpPrimoCampoDati(QLineEdit* box) { primoDati_ = box; }
    void ImpColErrore(long c) { colErrore_ = c; }
    void ImpColSfondo(long c) { colSfondo_ = c; }
    void AttivaPers(int codice, bool attiva);
    // Reads the rows of the grid query; the first row is shown.
    void ConcludiIniz(const QString& sqlGriglia);
    void AttivaLinee();

    // --- Parameters read by the common form routines ---
    void ImpostaPar(const QString& nome, const Valore& v) { par_[nome.toLower()] = v; }
    Valore LeggiPar(const QString& nome) const { return par_.value(nome.toLower()); }
    void ImpostaAbilRW(int abilRW);
    int AbilRW() const { return abilRW_; }
    QString TastoPremuto(int keyCode) const;
    void RecCorrSuTot(QString& corrente, QString& totale) const;

    // --- Commands and state ---
    // Runs a key; the text is empty when it went well, otherwise the reason.
    void LanciaComando(const QString& chiave, QString& risultato);
    int LeggiStato() const { return stato_; }
    // "MsgAnn": "N" makes "Annulla" ask nothing.
    Valore LeggiParLinee(const QString& nome) const { return parLinee_.value(nome.toLower()); }
    void ImpParLinee(const QString& nome, const Valore& v) { parLinee_[nome.toLower()] = v; }
    void LeggiDescrCampo(const QString& colonna) const;
    QString LeggiValoreCampo(const QString& colonna) const;
    // Checks the text of the field just left; a text the column cannot hold
    // turns the box to the error colour with its message (false), a good one
    // puts the normal colour back.
    bool ControllaCampo(const QString& colonna, const QString& testo);
    // The insertion after the current row.
    QString VerificaPrimaInserire() const { return {}; }
    QString ConfermaPrimaInserire(const QString&) const { return {}; }
    void PreparaInserimento() {}
    void ImpModoInserimento(int modo) { modoIns_ = modo; }
    void ImpPosInserimento(long pos) { posIns_ = pos; }
    void ImpRigaInserimento(int riga) { rigaIns_ = riga; }
    int ModoInserimento() const { return modoIns_; }
    long PosInserimento() const { return posIns_; }
    // Reads the rows again, keeping the current line when it still exists.
    void RinfrescaDati();
    void ImpColonna(const QString& colonna, int larghezza, const QString& formato = {});
    // Closing: with unsaved work asks whether to save; false keeps the screen.
    bool PuoChiudere();
    // 1 while the boxes hold unsaved work.
    int LeggiStatoChiusura() const;
    // True while a new row holds nothing but its defaults.
    bool NuovaIntatta() const;

    ModelloGriglia& Modello() { return modello_; }
    // The grid's current row, -1 when none.
    int RigaCorrente() const { return riga_; }
    // Moves to the row (0-based) and shows it; false when it cannot.
    bool VaiARiga(int riga);

private:
    bool hook(bool prima, int codice, Valore* rit = nullptr, QList<Valore> array = {});
    void impostaStato(int stato);
    void mostraRiga(int riga);
    void svuotaBox();
    bool inVariazione() const;
    bool lasciaRiga();
    // Leaves the current line (asking about unsaved work) for that row.
    bool lasciaPer(int riga);
    bool nuovo();
    bool salva();
    bool cancella();
    bool annulla();
    bool punta();
    bool vaiA();
    bool trova();
    bool variaChiave();
    QString segnalibroRiga(int riga) const;
    int rigaDelSegnalibro(const QString& segnalibro) const;  // -1 when no row has it
    // The first own key box the user can type in; none disables "VarKey".
    CampoLinee* chiaveDigitabile();
    // Selects the row in the grid without showing it in the boxes.
    void selezionaInGriglia(int riga);
    // Reads the rows; `misura` measures the column widths again, which a
    // change of one line does not need: it keeps the widths of the load.
    void leggiGriglia(const QList<Valore>& chiaveDaRitrovare, bool misura = true);
    QList<Valore> chiaveBox() const;
    QString whereChiave(const QList<Valore>& chiave) const;
    CampoLinee* campo(const QString& colonna);
    const CampoLinee* campo(const QString& colonna) const;
    void istantanea();
    void aggiornaContatore();
    void avviso(const QString& testo);

    OspiteLinee* ospite_ = nullptr;
    QPointer<QToolBar> barra_;
    GestoreDb* gestDb_ = nullptr;
    QString idDb_, tabella_, formatoData_, sqlGriglia_;
    QPointer<QLineEdit> contatore_, primoChiave_, primoDati_;
    QPointer<QTableView> griglia_;
    ModelloGriglia modello_;
    QList<CampoLinee> campi_;
    QList<int> hooks_;
    QHash<QString, Valore> par_, parLinee_;
    long colErrore_ = 255, colSfondo_ = 0x80000005;
    int abilRW_ = 1;
    int stato_ = Scorrimento;
    int statoAnnunciato_ = Scorrimento;  // the state the hook last reported
    int riga_ = -1;
    bool inSpostamento_ = false;
    QList<Valore> chiaveCorrente_;
    QStringList istantanea_;
    int modoIns_ = 0, rigaIns_ = -1;
    long posIns_ = -1;
};
