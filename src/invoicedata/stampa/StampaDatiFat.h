#pragma once
// The invoice-data report: the columns, the page heading, the room check of
// every line, one printed line per VAT line (document columns on the first
// line of each registration), counterparty headings and subtotals in
// counterparty order, and the grand total "Totale".
//
// Contract: the writer calls ImpColStampa once after AvviaDocumento,
// StaIntest for the first page, StaRigaDett for every row of its query (the
// row read through `campo`) and ChiudiStampa after the last row when the
// print was not stopped. The positions of the document and the counterparty
// in the file come from the writer (`Posizioni`) when it writes a file; when
// it does not, the report counts them itself. TD04 documents print and add
// their amounts with the opposite sign.
#include <QString>
#include <functional>

class Stampa;
class Valore;

// What the report needs to know of the writer's run.
struct ParametriStampaDatiFat {
    QString titolo;            // msTitoloPag
    QString ragSoc;            // osDittaRagSoc
    QString cosaEstr;          // "E" clients, otherwise suppliers
    int anno = 0;
    int numCom = 0;
    int tipoSta = 0;           // 0 trial, 1 definitive, 2 re-processing
    int numInvio = 0;
    int identif = 0;
    int ordin = 0;             // 1 by date, otherwise by counterparty
    bool estrFile = false;
    bool molteAnag = false;
    bool pIvaGiurid = false;
    QString mascImporto;       // display mask of the amounts
};

// The file writer's positions for the current row.
struct PosizioniDatiFat {
    long progrDoc = 0;
    long progrAnag = 0;
    int contaFile = 0;
};

class StampaDatiFat {
public:
    using LettoreCampo = std::function<Valore(const QString& colonna)>;

    StampaDatiFat(Stampa& st, ParametriStampaDatiFat p);

    void ImpColStampa();
    void StaIntest();
    void CtrRiga(int piNumRig);
    void StaRigaDett(const LettoreCampo& campo, const PosizioniDatiFat& posizioni);
    // The last counterparty's subtotal (counterparty order) and "Totale".
    void ChiudiStampa();

private:
    bool clienti() const;
    QString importo(double valore) const;
    void stampaNota(double split, double diff, double sin, double des);
    void subtotale();

    Stampa& st_;
    ParametriStampaDatiFat p_;
    int miColAnag = 0, miColNome = 0, miColIdFisc = 0, miColProgr = 0, miColTD = 0, miColDataDoc = 0,
        miColNumDoc = 0, miColDataReg = 0, miColTotPag = 0, miColImpon = 0, miColImposta = 0, miColAliq = 0,
        miColNatura = 0, miColEsig = 0;
    QString msGruppoSta, msMastroSta, msContoSta;
    int miAnnoRegSta = 0;
    long mlNumRegSta = 0;
    long mlProgrDoc = 0;
    long mlProgrAnag = 0;
    double mdTotPagAnag = 0, mdImponAnag = 0, mdImpostaAnag = 0, mdSplitAnag = 0, mdDiffAnag = 0;
    double mdTotPagGen = 0, mdImponGen = 0, mdImpostaGen = 0, mdSplitGen = 0, mdDiffGen = 0;
};
