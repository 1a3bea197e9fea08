#pragma once
// The lines screen of one invoice-data record: the DatiFatDett rows (rate,
// nature, taxable amount, tax, VAT collectability, deductible share and
// flag) of the header shown in frmDatiFatGest, under the header's seven key
// parts. A new line is numbered after the highest line of the record; the
// nature is looked up and decoded in the "FENatura" codes. The lines of a
// sent record (obAbil false) are shown read-only whatever the launch switch.
#include "common/schermi/SchermoLinee.h"

class QLabel;
class QPushButton;
class QRadioButton;

class frmDatiFatDett : public SchermoLinee {
    Q_OBJECT
public:
    frmDatiFatDett();

    QString osAnnoCom, osNumCom, osAnnoReg, osNumReg, osNumCanc, osTipo, osStato;
    QString osClieForn, osRagSoc, osDataDoc, osNumDoc, osTipoDoc, osTipoDocDesc;
    bool obAbil = true;

    QMap<int, QLabel*> Lab;
    QPushButton* ComHlp30 = nullptr;
    QRadioButton* OptEsig[4] = {};

    void ImpAbilRW(int valore) override;
    void AggNonText() override;
    QString PrepSql() const override;
    void PersColonne() override;
    void txt_KeyUp(int Index, int& KeyCode, int Shift) override;
    void Che_Click(int Index);
    void OptEsig_Click(int Index);
    void ComHlp_Click(int Index);
    // The next line number into txt(10); a non-empty text refuses it.
    QString RicUltNum();
    int PersLPaDop(int piOper, Valore& pvRit, QList<Valore>& pvArray) override;

protected:
    bool eventFilter(QObject* o, QEvent* e) override;
    int ContestoHelp() const override { return 44096; }
    QString Tabella() const override { return QStringLiteral("DatiFatDett"); }
    void ImpostaChiave() override;
    void DefinisciCampi(LinPag& linee) override;
    bool Escluso(int Index) const override { return Index == 80; }
    bool RigaVuota() const override;
    int PrimoCampo() const override { return 20; }
    void RegoleCampo(int Index, bool variato) override;
    int HookPrimaSchermo(int piOper, Valore& pvRit) override;

private:
    QString chiaveSql() const;
    void decodificaNatura();
    bool aggiornaControlli_ = false;
};
