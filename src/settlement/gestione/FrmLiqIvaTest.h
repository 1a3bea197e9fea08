#pragma once
// The header screen of the periodic VAT settlement communication: one row of
// LiqIvaTest (year and number, taxpayer, declarant, signatures, the
// intermediary's commitment, the anomalies flag) with the grid of its
// modules. A number 0 asks for a new communication, proposed with the
// current company's declarant data and the default year. "Dettaglio" opens
// the modules screen, "Lista" the list of communications.
#include "common/Dichiarante.h"
#include "common/schermi/SchermoTestata.h"

class frmLiqIvaTest : public SchermoTestata {
    Q_OBJECT
public:
    frmLiqIvaTest();

    RecDichiarante recDichiarante;
    void Check_Click(int Index);
    void Cob_Click(int Index);
    void cob_KeyDown(int Index, int KeyCode, int Shift);
    void Form_KeyDown(int& KeyCode, int Shift) override;
    void PassaA() override;

protected:
    int ContestoHelp() const override { return 44015; }
    QString Tabella() const override { return QStringLiteral("LiqIvaTest"); }
    QString TabellaDett() const override { return QStringLiteral("LiqIvaDett"); }
    void ImpostazionePropria(ComPag& pagina) override;
    void DefinisciCampi(ComPag& pagina) override;
    int PrimoCampoDati() const override { return 30; }
    SchermoLista* CreaLista() override;
    SchermoLinee* CreaLinee() override;
    QString QueryDett() const override;
    QString QueryDettVuota() const override;
    void FormatColDett() override;
    bool RegolaCampo(int Index) override;
    void RegoleDopoCampo(int Index) override;
    void AggNonTextSchermo() override;
    void CancellaDettagli() override;

private:
    void controllaCodiceFiscale(int Index);
    void controllaPartitaIva(int Index);
    void conferma(int Index, const QString& domanda);
    QString chiaveSql() const;
    bool inDomanda_ = false;
};
