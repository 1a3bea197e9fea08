#pragma once
// Extraction form of the periodic VAT settlement: proposes the year and the
// quarter, the module flags and the declarant and intermediary data, checks
// tax codes, VAT numbers and the commitment date as they are typed, and on
// "&Ok" runs the extraction, closing when it completes.
#include "common/Dichiarante.h"
#include "common/form/FormComune.h"
#include "settlement/estrazione/EstrazioneLiqIva.h"
#include "common/FormBase.h"

#include <QMap>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;

class FrmLiqIvaPre : public FormBase, public MembriForm {
    Q_OBJECT
public:
    FrmLiqIvaPre();

    // Controls by array and index, as the extraction reads them.
    QMap<int, QLineEdit*> txt;
    QMap<int, QCheckBox*> Check;
    QMap<int, QComboBox*> cob;
    QPushButton* comOk = nullptr;
    QPushButton* ComAnnulla = nullptr;

    // The declarant of the current company, filled at load.
    RecDichiarante recDichiarante;

    void ComOk_Click();
    // The options of the extraction as the fields hold them.
    DatiEstrazione DatiForm() const;

    void Form_KeyDown(int& KeyCode, int Shift) override;
    void txt_GotFocus(int Index) override;
    void txt_LostFocus(int Index) override;

    // Proposed year and quarter of a working date: the quarter before it.
    static void PropostaPeriodo(const QDate& dataLavoro, QString& anno, QString& numero);

protected:
    bool Form_Load() override;

private:
    // Asks whether to keep a value that failed its check; the field keeps the
    // error colour unless the user confirms.
    void ConfermaValore(QLineEdit* campo, const QString& domanda);
    void ControllaCodiceFiscale(QLineEdit* campo);
    void ControllaPartitaIva(QLineEdit* campo);
    // The first edit field that shows the error colour, -1 none.
    int CampoInErrore() const;
    void FuocoA(int indice);

    bool inControllo_ = false;
};
