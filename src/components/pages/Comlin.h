#pragma once
// The list component of the list screens: the rows of the screen's query in
// a grid, with the row counter, ordering on a column, the search frame, a
// bookmark, and the print of the list through the list print dialog the
// screen hands it. The selection fields and the link to the header page
// belong to its pager (LisPag).
//
// Contract with the screen (OspiteLista): the component calls back PersColonne
// after each reading of the rows, ovfrmBookmark, ChiudiFrm and MenuFrm; the
// print reports the print in progress through the screen's oiStaAtt
// (ChiamanteStampa). Failures raise ErroreRun to the screen.
#include "components/core/Valore.h"
#include "components/pages/ModelloGriglia.h"
#include "components/platform/ServizioDialoghi.h"
#include "components/stampa/Stampa.h"

#include <QHash>
#include <QList>
#include <QPointer>
#include <QString>
#include <memory>

class GestoreDb;
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QTableView>
#include <QToolBar>
class LisCampo;
class Comlin;

class OspiteLista : public ChiamanteStampa {
public:
    // The query of the list for a filter text (no " where " when empty).
    virtual QString PrepSql(const QString& psWhere) = 0;
    // False refuses the selection.
    virtual bool VerSelez() = 0;
    // The condition of a field declared with the operator "pers".
    virtual QString PersListaVarie(int piTipoPers, LisCampo& campo, QList<Valore>& pvParam) = 0;
    // Makes the text the list's query (through Comlin::ImpostaRecordset).
    virtual void SettaRecordset(const QString& psSql) = 0;
    virtual void PersColonne() = 0;
    virtual void ovfrmBookmark(const QString& segnalibro) = 0;
    virtual void ChiudiFrm() = 0;
    virtual void MenuFrm() = 0;
    // Hides the list (it stays loaded for the header's moves along it) and
    // brings the header screen forward.
    virtual void TornaTestata() = 0;
    virtual int Domanda(const RichiestaMsgCom& richiesta) = 0;
    // The caption printed over the list.
    virtual QString TitoloLista() const = 0;
};

// The list print dialog the screen hands the component (ofrmComlinSTampa).
class DialogoStampaLista {
public:
    virtual ~DialogoStampaLista() = default;
    // Shown for this list; the dialog starts the print with AvviaStampa.
    virtual void ApriStampaLista(Comlin& lista) = 0;
};

class Comlin {
public:
    Comlin();
    Comlin(const Comlin&) = delete;
    Comlin& operator=(const Comlin&) = delete;

    // --- Set-up ---
    void ImpForm(OspiteLista* ospite) { ospite_ = ospite; }
    void ImpToolbar(QToolBar* barra) { barra_ = barra; }
    void ImpContatore(QLineEdit* contatore) { contatore_ = contatore; }
    void ImpGriglia(QTableView* griglia);
    void ImpDatabase(GestoreDb* gestDb, const QString& idDb) {
        gestDb_ = gestDb;
        idDb_ = idDb;
    }
    // The search frame: text, column list and the four directions (first,
    // next, previous, last).
    void ImpCerca(QLineEdit* testo, QComboBox* colonna, const QList<QRadioButton*>& direzioni);
    DialogoStampaLista* ofrmComlinSTampa = nullptr;

    // --- Parameters read by the common form routines ---
    void ImpostaPar(const QString& nome, const Valore& v) { par_[nome.toLower()] = v; }
    Valore LeggiPar(const QString& nome) const { return par_.value(nome.toLower()); }

    // --- Commands ---
    // Runs the keys that are the list's: moves, "Seleziona" is the pager's.
    void LanciaComando(const QString& chiave);
    // Makes the text the list's query and reads its rows.
    void ImpostaRecordset(const QString& sql);
    const QString& Sql() const { return sql_; }
    // Current row (1-based, "0" when none) and total.
    void LeggiContatore(QString& corrente, QString& totale) const;
    // Orders the rows on a column; 1 when refused.
    int Ordina(int colonna);
    void RinfrescaDati();
    void TitoloColonna(int posizione, const QString& titolo) { modello_.ImpTitolo(posizione, titolo); }
    void TitoloColonna(const QString& colonna, const QString& titolo);
    void LarghezzaColonna(const QString& colonna, int twips);
    void FormatoColonna(const QString& colonna, const QString& formato) { modello_.ImpFormato(colonna, formato); }

    ModelloGriglia& Modello() { return modello_; }
    const ModelloGriglia& Modello() const { return modello_; }
    int RigaCorrente() const { return riga_; }
    bool VaiARiga(int riga);

    // --- Print ---
    // The print object; the list print dialog wires it before each print.
    Stampa& ogSta() { return *sta_; }
    // Prints the list: orientation 1 portrait, 2 landscape; columns "V" the
    // visible ones, "T" all. The font is the body font of the print.
    void AvviaStampa(FontSta& font, int orientamento, const QString& colonne);

private:
    void cerca();
    void aggiornaContatore();

    OspiteLista* ospite_ = nullptr;
    QPointer<QToolBar> barra_;
    QPointer<QLineEdit> contatore_, txtCerca_;
    QPointer<QComboBox> cobCerca_;
    QList<QPointer<QRadioButton>> direzioni_;
    QPointer<QTableView> griglia_;
    GestoreDb* gestDb_ = nullptr;
    QString idDb_, sql_;
    ModelloGriglia modello_;
    QHash<QString, Valore> par_;
    int riga_ = -1;
    int segnalibro_ = -1;
    bool inSpostamento_ = false;
    std::unique_ptr<Stampa> sta_;
};
