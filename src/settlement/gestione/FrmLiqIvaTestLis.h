#pragma once
// The list of the settlement communications: one row per LiqIvaTest header,
// narrowed by ranges of year and number, with the period of its first module
// (PrimoPer) and the net VAT of each of its five modules (CalcIva_1 to
// CalcIva_5: the credit when there is one, otherwise the payable amount with
// its sign changed), shown in the company's amount format.
#include "common/schermi/SchermoLista.h"

class frmLiqIvaTestLis : public SchermoLista {
    Q_OBJECT
public:
    frmLiqIvaTestLis();

    QString PrepSql(const QString& psWhere) override;
    // The sub-select of the net VAT of one module.
    static QString PrepSqlImpIva(int piNum);
    bool VerSelez() override;
    void PersColonne() override;

protected:
    void DefinisciSelezioni(LisPag& pager) override;
    void FormattaSelezione(int Index) override;
};
