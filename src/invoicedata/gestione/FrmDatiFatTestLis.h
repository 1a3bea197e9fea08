#pragma once
// The list of the invoice-data headers: one row per DatiFatTest record,
// narrowed by communication year and number, kind, state, counterparty
// account (split into its three columns), document type and the VAT nature
// of any of its lines. The header screen opens it through its page and gets
// the chosen record back.
#include "common/schermi/SchermoLista.h"

class QLabel;
class QPushButton;
class QRadioButton;

class frmDatiFatTestLis : public SchermoLista {
    Q_OBJECT
public:
    frmDatiFatTestLis();

    QMap<int, QLabel*> Lab;
    QMap<int, QPushButton*> ComHlp;
    QRadioButton* OptTipoFat[2] = {};
    QRadioButton* OptStato[3] = {};

    QString PrepSql(const QString& psWhere) override;
    QString PersListaVarie(int piTipoPers, LisCampo& pgLisCampo, QList<Valore>& pvParam) override;
    bool VerSelez() override;
    void PersColonne() override;
    // The source expression of a grid column (the account is three columns).
    QString ColToSourceField(int piColIndex);

    void txt_GotFocus(int Index) override;
    void txt_LostFocus(int Index) override;
    void txt_KeyUp(int Index, int& KeyCode, int Shift) override;
    void ComHlp_Click(int Index);
    void OptTipoFat_Click(int Index);
    void OptStato_Click(int Index);
    // Delete (46) or the right button clears the group and its hidden box.
    void Opt_KeyDown(QRadioButton* const* gruppo, int mirror, int KeyCode);
    // After "AzzSel" the option groups and the descriptions follow the boxes.
    void AzzAltro() override;

protected:
    bool eventFilter(QObject* o, QEvent* e) override;
    void DefinisciSelezioni(LisPag& pager) override;

private:
    std::optional<Valore> tipoConto() const;
};
