// The automatic PDF boxes of the print options dialog, its PDF and e-mail
// panel and the login request of a print.
#include "print/opzioni/FrmSceltaStam.h"

#include "common/FrmMsgCom.h"
#include "components/stampa/OpzSta.h"
#include "contesto/Contesto.h"
#include "print/opzioni/PannelloPdfEmail.h"
#include "print/opzioni/PostaStampa.h"
#include "print/opzioni/Stampanti.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>

namespace {
bool siPar(const char* nome) {
    return LeggiParEmail(QString::fromLatin1(nome)).compare(QStringLiteral("S"), Qt::CaseInsensitive) == 0;
}
}  // namespace

QScrollArea* FrmSceltaStam::PannelloScorrevole(QWidget* pannello, QVBoxLayout* tutto) {
    // A panel may be taller than a screen: it scrolls inside the dialog.
    auto* s = new QScrollArea(this);
    s->setFrameShape(QFrame::NoFrame);
    s->setWidgetResizable(true);
    s->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    const bool nascosto = pannello->isHidden();
    s->setWidget(pannello);  // which shows it
    pannello->setVisible(!nascosto);
    s->setVisible(!nascosto);
    tutto->addWidget(s);
    return s;
}

void FrmSceltaStam::costruisciPdfEmail(QVBoxLayout* tutto) {
    PicPdfEmail = new PannelloPdfEmail(*this);
    pannelloPE_ = PicPdfEmail;
    scorrimentoPE_ = PannelloScorrevole(PicPdfEmail, tutto);
}

void FrmSceltaStam::ComParIniPE_Click() { PicPdfEmail->Apri(); }

void FrmSceltaStam::numeroPdfEmailLasciato(int indice) {
    if (txt(indice) && txt(indice)->property("NumeroPE").toBool()) PicPdfEmail->NumeroLasciato(indice);
}

void FrmSceltaStam::FineRichiestaEmail(bool confermata) {
    hide();
    QDialog::done(confermata ? QDialog::Accepted : QDialog::Rejected);
}

void FrmSceltaStam::CheInviaEmail_Click() {
    if (mbCaricamento) return;
    ogOpzSta->ImpOpzione(QStringLiteral("EmailInvia"), 12, CheInviaEmail->isChecked());
}

void FrmSceltaStam::ChePdfAutom_Click() {
    if (mbCaricamento) return;
    if (ChePdfAutom->isChecked()) {
        ImpostaPdfAutom();
        return;
    }
    CheInviaEmail->setChecked(false);
    CheInviaEmail_Click();
    CheInviaEmail->setEnabled(false);
    ogOpzSta->ImpOpzione(QStringLiteral("EmailInvia"), 12, false);
    ogOpzSta->ImpOpzione(QStringLiteral("PdfAutomAbil"), 12, false);
    ImpostaPdfAutom();
}

void FrmSceltaStam::ImpostaPdfAutom() {
    const bool ripristina = !ChePdfAutom->isChecked();
    QString driver;
    if (siPar("UsaPdfCreator"))
        driver = QStringLiteral("PDFCreator");
    else if (siPar("UsaPdf995"))
        driver = QStringLiteral("PDF995");
    if (!driver.isEmpty()) {
        QString nome = driver;
        bool cambiata = SelStampanteOpz(nome, *ogOpzSta, ripristina);
        if (!cambiata && !ripristina) {
            // The print component writes the PDF itself: the driver's name
            // needs no installed queue.
            ogOpzSta->osNomeStampante = driver;
            ogOpzSta->NomePorta = driver;
            ogOpzSta->ImpOpzione(QStringLiteral("NumCassetto"), 12, 0);
            ogOpzSta->ImpOpzione(QStringLiteral("NumTipoCarta"), 12, 0);
            cambiata = true;
        }
        if (cambiata) VisStaAttuale();
    }
    if (!ChePdfAutom->isChecked()) return;
    CheInviaEmail->setEnabled(true);
    // The tick itself turns the automatic PDF on, so that it takes effect and
    // is shown again on the next activation.
    ogOpzSta->ImpOpzione(QStringLiteral("PdfAutomAbil"), 12, true);
    ogOpzSta->ImpOpzione(QStringLiteral("PdfNomeFile"), 12, LeggiParEmail(QStringLiteral("PdfNomeFile")));
    ogOpzSta->ImpOpzione(QStringLiteral("PdfAutomImpPar"), 12,
                         Valore(ListaValori{Valore(ctx().gsFileIni), Valore(ctx().gsFileIniDb),
                                            Valore(LeggiParEmail(QStringLiteral("UsaPdfCreator"))),
                                            Valore(LeggiParEmail(QStringLiteral("CreatorAutosaveStart"))),
                                            Valore(LeggiParEmail(QStringLiteral("UsaPdf995")))}));
}

bool FrmSceltaStam::RichDatiEmail() {
    PicPdfEmail->Apri();
    frmMsgCom::msgCom(QStringLiteral("Login o password non valida per spedizione email"));
    SopraChiamante();
    MostraModale()(*this);
    const bool esito = oiRichDatiEmail != 200;
    oiRichDatiEmail = 0;
    return esito;
}
