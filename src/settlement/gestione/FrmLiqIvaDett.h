#pragma once
// The modules screen of the periodic VAT settlement communication: the
// LiqIvaDett rows of one communication, one module at a time (period, flags,
// the amounts VP2 to VP14). Module, month and quarter are checked against
// their ranges; leaving an amount from VP6 to VP13 after a change works out
// VP14 (VAT to pay or in credit); a module with both VP14 amounts asks before
// it is saved.
#include "common/schermi/SchermoLinee.h"

class frmLiqIvaDett : public SchermoLinee {
    Q_OBJECT
public:
    frmLiqIvaDett();

    QString osAnno;
    QString osNumCom;

    void CalcIvaDaVers_O_Cred();
    void Che_Click(int Index);
    void Cob_Click(int Index);
    void cob_KeyDown(int Index, int KeyCode, int Shift);
    void AggNonText() override;
    QString PrepSql() const override;
    void PersColonne() override;
    void Form_KeyDown(int& KeyCode, int Shift) override;

protected:
    int ContestoHelp() const override { return 44015; }
    QString Tabella() const override { return QStringLiteral("LiqIvaDett"); }
    void ImpostaChiave() override;
    void DefinisciCampi(LinPag& linee) override;
    bool Escluso(int Index) const override { return Index == 40 || Index == 50 || Index == 175 || Index == 210; }
    bool RigaVuota() const override;
    void RegoleCampo(int Index, bool variato) override;
    int HookPrimaSchermo(int piOper, Valore& pvRit) override;

private:
    bool aggiornaControlli_ = false;
};
