#pragma once
// The header screen of the invoice-data communication: one row of
// DatiFatTest (communication, registration, cancellation number, kind and
// state as the key; counterparty account over three columns, document data,
// customs-bill flag and the send marks) with the grid of its VAT lines.
// "Dettaglio" opens the lines screen, "Lista" the list of headers, and
// "Ripristina" undoes a cancellation or a send of the record shown.
//
// A sent record (send number other than 0) keeps what went into the file:
// its boxes are read-only, it is neither saved nor deleted, and its lines are
// shown read-only; only "Ripristina" changes it.
#include "common/schermi/SchermoTestata.h"

class QLabel;
class QPushButton;
class QRadioButton;

class frmDatiFatGest : public SchermoTestata {
    Q_OBJECT
public:
    frmDatiFatGest();

    QMap<int, QLabel*> Lab;
    QMap<int, QPushButton*> ComHlp;
    QRadioButton* OptTipoFat[2] = {};
    QRadioButton* OptStato[3] = {};

    void ButtonComando(const QString& psKey) override;
    QString ComandoProprio(int keyCode, int shift) const override;
    int PersPagPri(int piOper, int& pvRit, QList<Valore>& pvArray) override;
    int PersPagDop(int piOper, int& pvRit, QList<Valore>& pvArray) override;
    void ComAnno_Click(int Index) override;
    void txt_GotFocus(int Index) override;
    void txt_KeyUp(int Index, int& KeyCode, int Shift) override;
    void PassaA() override;

    void OptTipoFat_Click(int Index);
    void OptStato_Click(int Index);
    void Check_Click(int Index);
    void ComHlp_Click(int Index);
    // Delete (46) or the right button on an option clears its group in state 0.
    void Opt_KeyDown(QRadioButton* const* gruppo, int mirror, int KeyCode);
    void Ripristina();
    // The record shown has been sent.
    bool Inviato() const;

protected:
    bool eventFilter(QObject* o, QEvent* e) override;
    int ContestoHelp() const override { return 44096; }
    QString Tabella() const override { return QStringLiteral("DatiFatTest"); }
    QString TabellaDett() const override { return QStringLiteral("DatiFatDett"); }
    void ImpostazionePropria(ComPag& pagina) override;
    void DefinisciCampi(ComPag& pagina) override;
    int PrimoCampoDati() const override { return 80; }
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
    QString chiaveDett() const;
    std::optional<Valore> tipoConto() const;
    void aggiornaInvio(int stato);
};
