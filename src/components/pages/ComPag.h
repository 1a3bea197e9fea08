#pragma once
// The page component of the header screens: one row of a table shown in
// bound text boxes. It searches a row by its key (a key typed in part shows
// the first row that matches the parts typed), browses the table in key
// order, enters a new row (its counter key part, the last one unless a field
// says otherwise, typed 0 asks for a new row, numbered after the highest row
// sharing the key parts before it and refused past the counter's maximum),
// saves, deletes and cancels, changes the key of the row shown ("VarKey":
// the screen's detail rows follow it in the same transaction), and opens the
// list screen linked to it.
//
// Contract with the screen (OspitePagina): before and after each operation
// whose code the screen registered with AttivaPers the component calls
// PersPagPri / PersPagDop; a PersPagPri answering 1 refuses the operation.
// A delete asks first and then runs the before-hook (the screen's detail
// rows) and the header delete in one transaction: both are undone together.
// Save is refused while a bound box shows the error colour (the focus goes to
// it). Failures raise ErroreRun to the screen, which shows them.
//
// A field named "|sep|Col1|Col2|..." stands for several columns shown in one
// box, joined by sep (an account in group, ledger and account): the box's text
// is split back on sep when saved, or by the widths 2, 2 and the rest when
// typed without separators.
#include "components/core/Valore.h"
#include "components/platform/ServizioDialoghi.h"

#include <QHash>
#include <QList>
#include <QPointer>
#include <QString>
#include <QStringList>

class GestoreDb;
#include <QLineEdit>
#include <QToolBar>
class ComPag;

// Codes of the operations the page reports through the hooks.
namespace OperPag {
constexpr int CambioStato = 1;  // after: first element the new state
constexpr int Salva = 3;
constexpr int Annulla = 4;
constexpr int Mostrato = 5;     // after: a row is shown
constexpr int Ricerca = 7;
constexpr int NuovoRec = 8;     // after: an empty new row is on the page
constexpr int Spostamento = 9;  // before a move to another row
constexpr int Cancella = 16;    // before: inside the delete's transaction
}  // namespace OperPag

// What the page calls in its screen.
class OspitePagina {
public:
    virtual ~OspitePagina() = default;
    // 0 go on; 1 (with pvRit 1) refuse.
    virtual int PersPagPri(int piOper, int& pvRit, QList<Valore>& pvArray) = 0;
    virtual int PersPagDop(int piOper, int& pvRit, QList<Valore>& pvArray) = 0;
    virtual void ChiudiFrm() = 0;
    virtual void MenuFrm() = 0;
    // A modal question; the 1-based number of the button pressed.
    virtual int Domanda(const RichiestaMsgCom& richiesta) = 0;
    // The status-bar panels "Messaggio" and "DescrCampo".
    virtual void MostraMessaggio(const QString& testo) = 0;
    virtual void MostraDescrizione(const QString& testo) = 0;
    // The key of the row shown has been changed from vecchia to nuova, inside
    // the save's transaction: the screen moves its detail rows along.
    virtual void VariaChiaveDettagli(const QList<Valore>& vecchia, const QList<Valore>& nuova) {
        (void)vecchia;
        (void)nuova;
    }
};

// The list screen a page opens with "Lista".
class ListaPagina {
public:
    virtual ~ListaPagina() = default;
    virtual void impOggBase(ComPag* pagina) = 0;
    virtual void MostraLista() = 0;
    virtual bool ListaAperta() const = 0;
    // Moves the list to its next / previous row and shows it on the page;
    // false at the end of the list.
    virtual bool ListaAvanti() = 0;
    virtual bool ListaIndietro() = 0;
};

// The optional values of a page field.
struct OpzioniCampoPagina {
    QString descrizione{};
    int parteChiave = 0;  // 1 for the key parts
    Valore proposto{};    // value of a new row
    int lunghezza = 0;    // longest text the box takes
    QString maschera{};   // display mask of numbers ("0")
    bool contatore = false;  // the key part whose 0 asks for a new row
    int massimo = 0;         // highest number the counter takes, 0 none
};

struct CampoPagina {
    QString colonna;
    QPointer<QLineEdit> box;
    OpzioniCampoPagina opz;
    int tipo = 0;        // TipoDato, from the table
    // 2 holds this key part fixed while "Inizio" and "Fine" run; 0 releases it.
    int oiKeyFisso = 0;
};

class ComPag {
public:
    // VariaChiave: the row shown, its key boxes open for a new key.
    enum Stato { Vuota = 0, Mostrata = 1, Nuova = 2, VariaChiave = 7 };

    ComPag() = default;
    ComPag(const ComPag&) = delete;
    ComPag& operator=(const ComPag&) = delete;

    // --- Set-up ---
    void ImpTabella(const QString& tabella);
    void ImpAvvisoChiave(const QString& avviso) { avvisoChiave_ = avviso; }
    const QString& AvvisoChiave() const { return avvisoChiave_; }
    void AttivaPers(int codice, bool attiva);
    // Types come from the table at ImpLista, which must follow the fields.
    void AggiungiCampo(const QString& colonna, QLineEdit* box, const OpzioniCampoPagina& opz = {});
    void ImpPrimoCampoChiave(QLineEdit* box) { primoChiave_ = box; }
    void ImpPrimoCampoDati(QLineEdit* box) { primoDati_ = box; }
    void ImpColErrore(long colore) { colErrore_ = colore; }
    void ImpColSfondo(long colore) { colSfondo_ = colore; }
    // The screen, its database and its list (which may be none).
    void ImpLista(OspitePagina* ospite, GestoreDb* gestDb, const QString& idDb, ListaPagina* lista);
    // The toolbar whose buttons follow the page state.
    void ImpImmagini(const QString& tipo, QToolBar* barra);

    // The screen's set-up switch. 4 makes "Ricerca" read again the row of the
    // key boxes even when it is the one shown (a refresh after the screen
    // changed it in the database) instead of opening a new search.
    void ImpOpzioneTestata(int opzione) { opzioneTestata_ = opzione; }
    int LeggiOpzioneTestata() const { return opzioneTestata_; }

    // --- Parameters read by the common form routines ---
    void ImpostaPar(const QString& nome, const Valore& valore) { par_[nome.toLower()] = valore; }
    Valore LeggiPar(const QString& nome) const { return par_.value(nome.toLower()); }
    void ImpostaAbilRW(int abilRW);
    int AbilRW() const { return abilRW_; }
    // The toolbar key of an Alt key, empty for none.
    QString TastoPremuto(int keyCode) const;
    // 0 while no row is on the page (F10 searches), 1 otherwise (F10 saves).
    int oiFlagOpe() const { return stato_ == Vuota ? 0 : 1; }

    // --- Commands ---
    // Runs a toolbar key; the text is empty when it went well, otherwise the
    // reason it did not. Raises ErroreRun on a failure.
    void LanciaComando(const QString& chiave, QString& risultato);
    int LeggiStato() const { return stato_; }
    // True with a non-empty text when the page holds unsaved work.
    bool InVariazione(QString& testo) const;
    // The field bound to a box; raises ErroreRun 3265 for a box that is none.
    CampoPagina& CampoDiControllo(QLineEdit* box);
    CampoPagina* Campo(const QString& colonna);
    QList<CampoPagina>& LeggiCampi() { return campi_; }
    void LeggiDescrCampo(const CampoPagina& campo);
    // Checks the text of the field just left: a text the column cannot hold
    // turns the box to the error colour with its message; false then.
    bool ControllaCampo(CampoPagina& campo);
    void CampoVariato() {}
    // Closing the screen: with unsaved work asks whether to save; false keeps
    // the screen open.
    bool PuoChiudere();
    // Before another row replaces the one shown (from the list): with unsaved
    // work asks whether to save; false keeps the row.
    bool ConfermaUscitaRiga() { return lasciaRiga(); }
    void ChiusaLista(int) {}
    // Shows the row of that key (values of the key parts in order); false
    // when there is none. Called by the list.
    bool MostraChiave(const QList<Valore>& chiave);
    QStringList ColonneChiave() const;

private:
    bool hook(bool prima, int codice, QList<Valore> array = {});
    void impostaStato(int stato);
    void aggiornaBarra();
    void svuota(bool ancheChiave);
    bool ricerca();
    bool nuovoRecord();
    bool salva();
    bool cancella();
    bool annulla();
    bool sposta(const QString& chiave, const QStringList& condizioniChiave = {});
    bool variaChiave();
    CampoPagina* contatore();
    bool mostraRiga(const QString& where);
    bool lasciaRiga();  // asks about unsaved work before leaving the row
    QString whereChiave(const QList<Valore>& chiave) const;
    QString whereCorrente() const;
    QList<Valore> chiaveBox() const;
    void istantanea();
    void avviso(const QString& testo);
    bool rosso(const QLineEdit* box) const;

    QString tabella_, avvisoChiave_;
    QList<int> hooks_;
    QList<CampoPagina> campi_;
    QPointer<QLineEdit> primoChiave_, primoDati_;
    long colErrore_ = 255, colSfondo_ = 0x80000005;
    OspitePagina* ospite_ = nullptr;
    GestoreDb* gestDb_ = nullptr;
    QString idDb_;
    ListaPagina* lista_ = nullptr;
    QPointer<QToolBar> barra_;
    QHash<QString, Valore> par_;
    int abilRW_ = 1;
    int opzioneTestata_ = 0;
    int stato_ = Vuota;
    QList<Valore> chiaveCorrente_;  // key of the row shown
    QStringList istantanea_;        // box texts when the row was shown
};
