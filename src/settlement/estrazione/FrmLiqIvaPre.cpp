#include "settlement/estrazione/FrmLiqIvaPre.h"

#include "common/ControlliFiscali.h"
#include "common/FrmMsgCom.h"
#include "common/MsgErrori.h"
#include "common/form/Tastiera.h"
#include "common/form/UtilForm.h"
#include "components/core/ErroreRun.h"
#include "components/menu/MenuClient.h"
#include "components/util/UtilGenerali.h"
#include "contesto/Contesto.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

const QString kCaption = QStringLiteral("Estrazione dati per Liquidazione Periodica Iva");
constexpr int kContestoHelp = 44010;
constexpr int kTastoCanc = 46;

// Positions in pixels of an 800 x 600 screen; the common scaling enlarges them.
constexpr int kXCampo = 280;

}  // namespace

FrmLiqIvaPre::FrmLiqIvaPre() : FormBase(QStringLiteral("FrmLiqIvaPre")) {
    setWindowTitle(kCaption);
    setFixedSize(700, 540);
    setProperty("HelpContextID", kContestoHelp);

    auto etichetta = [](QWidget* padre, const QString& testo, int x, int y, int w) {
        auto* l = new QLabel(testo, padre);
        l->setGeometry(x, y, w, 22);
        return l;
    };
    auto campo = [&](QWidget* padre, int indice, const QString& testo, int xl, int y, int w, int max = 0) {
        auto* e = new QLineEdit(padre);
        ImpostaElemento(e, QStringLiteral("txt"), indice);
        e->setGeometry(kXCampo, y, w, 22);
        if (max > 0) e->setMaxLength(max);
        etichetta(padre, testo, xl, y, kXCampo - xl - 10)->setBuddy(e);
        txt[indice] = e;
        return e;
    };
    auto spunta = [&](QWidget* padre, int indice, const QString& testo, int x, int y, int w, bool aDestra) {
        auto* c = new QCheckBox(aDestra ? QString() : testo, padre);
        ImpostaElemento(c, QStringLiteral("Check"), indice);
        c->setGeometry(x, y, w, 22);
        if (aDestra) {
            // Label before the box, with the box lined up on the fields.
            c->setAccessibleName(testo);
            etichetta(padre, testo, x, y, kXCampo - x - 10);
            c->setGeometry(kXCampo, y, 22, 22);
        }
        Check[indice] = c;
        return c;
    };

    campo(this, 10, QStringLiteral("Anno:"), 20, 20, 60, 4);
    campo(this, 20, QStringLiteral("Numero Comunicazione (Trimestre):"), 20, 50, 30, 1);
    spunta(this, 30, QStringLiteral("Azienda con multiattività:"), 20, 80, 0, true);
    spunta(this, 33, QStringLiteral("Subfornitura:"), 20, 110, 0, true);
    campo(this, 36, QStringLiteral("Eventi eccezionali:"), 20, 140, 60);

    auto* fraDich = new QGroupBox(QStringLiteral("DICHIARANTE (Compilare se diverso dal contribuente):"), this);
    fraDich->setGeometry(10, 175, 680, 120);
    auto campoFrame = [&](QGroupBox* f, int indice, const QString& testo, int y, int w, int max = 0) {
        QLineEdit* e = campo(f, indice, testo, 10, y, w, max);
        e->move(kXCampo - f->x(), y);
        return e;
    };
    campoFrame(fraDich, 80, QStringLiteral("Codice Fiscale:"), 25, 180);
    campoFrame(fraDich, 90, QStringLiteral("Codice carica:"), 55, 40);
    campoFrame(fraDich, 100, QStringLiteral("Codice Fiscale società dichiarante:"), 85, 130);

    spunta(this, 110, QStringLiteral("Firma comunicazione dichiarante"), 20, 305, 280, false);
    spunta(this, 160, QStringLiteral("Presenza di anomalie"), 380, 305, 280, false);

    auto* fraImp = new QGroupBox(QStringLiteral("IMPEGNO ALLA PRESENTAZIONE TELEMATICA"), this);
    fraImp->setGeometry(10, 340, 680, 145);
    campoFrame(fraImp, 120, QStringLiteral("Codice Fiscale dell'incaricato:"), 25, 180);
    auto* combo = new QComboBox(fraImp);
    ImpostaElemento(combo, QStringLiteral("cob"), 130);
    combo->addItems({QStringLiteral("0 - nessun impegno"), QStringLiteral("1 - Comunicazione predisposta dal contribuente"),
                     QStringLiteral("2 - Comunicazione predisposta da chi effettua l'invio")});
    combo->setGeometry(kXCampo - fraImp->x(), 55, 390, 24);
    combo->setCurrentIndex(-1);
    etichetta(fraImp, QStringLiteral("Impegno alla presentazione:"), 10, 55, kXCampo - 30)->setBuddy(combo);
    cob[130] = combo;
    campoFrame(fraImp, 140, QStringLiteral("Data dell'impegno:"), 85, 90);
    spunta(fraImp, 150, QStringLiteral("Firma comunicazione Intermediario"), 10, 115, 300, false);

    comOk = new QPushButton(QStringLiteral("&Ok"), this);
    comOk->setObjectName(QStringLiteral("comOk"));
    comOk->setGeometry(460, 498, 100, 30);
    ComAnnulla = new QPushButton(QStringLiteral("&Annulla"), this);
    ComAnnulla->setObjectName(QStringLiteral("ComAnnulla"));
    ComAnnulla->setGeometry(580, 498, 100, 30);
    connect(comOk, &QPushButton::clicked, this, [this] { ComOk_Click(); });
    connect(ComAnnulla, &QPushButton::clicked, this, [this] { Scarica(); });

    const QList<QWidget*> ordine{txt[10],    txt[20],   Check[30], Check[33], txt[36],  txt[80],
                                 txt[90],    txt[100],  Check[110], Check[160], txt[120], cob[130],
                                 txt[140],   Check[150], comOk,     ComAnnulla};
    for (int i = 1; i < ordine.size(); ++i) setTabOrder(ordine[i - 1], ordine[i]);
}

void FrmLiqIvaPre::PropostaPeriodo(const QDate& dataLavoro, QString& anno, QString& numero) {
    const int mese = dataLavoro.month();
    if (mese <= 3) {
        anno = QString::number(dataLavoro.year() - 1);
        numero = QStringLiteral("4");
    } else {
        anno = QString::number(dataLavoro.year());
        numero = QString::number((mese - 1) / 3);
    }
}

bool FrmLiqIvaPre::Form_Load() {
    oiLoadOk = -1;
    try {
        InizForm(*this, false, false, false, true);

        QString anno, numero;
        PropostaPeriodo(ctx().gtDataLavoro, anno, numero);
        txt[10]->setText(anno);
        txt[20]->setText(numero);

        const Valore multi = ctx().ggMenuClient ? ctx().ggMenuClient->LeggiValoreSess(QStringLiteral("CoGe.MultiAttivita"))
                                                : Valore();
        Check[30]->setChecked(multi.testo().compare(QLatin1String("S"), Qt::CaseInsensitive) == 0);

        CaricaDichiarante(recDichiarante, QString());
        txt[80]->setText(recDichiarante.CFDichiarante.trimmed());
        txt[90]->setText(recDichiarante.CodiceCaricaDichiarante.trimmed());
        txt[100]->setText(recDichiarante.CodiceFiscaleSocieta.trimmed());
        Check[110]->setChecked(true);

        txt[120]->setText(recDichiarante.CFIntermediario.trimmed());
        const bool incaricato = !ggUtil().EVuoto(txt[120]->text(), TipoDato::Testo);
        cob[130]->setCurrentIndex(-1);
        txt[140]->clear();
        if (incaricato) {
            const QString codice = recDichiarante.ImpegnoPresentazione.trimmed();
            for (int i = 0; i < cob[130]->count() && !codice.isEmpty(); ++i)
                if (cob[130]->itemText(i).section(QLatin1Char(' '), 0, 0) == codice) cob[130]->setCurrentIndex(i);
            if (recDichiarante.DataImpegno.isValid() && recDichiarante.DataImpegno != kDataNulla)
                txt[140]->setText(recDichiarante.DataImpegno.toString(QStringLiteral("dd/MM/yyyy")));
        }
        Check[150]->setChecked(incaricato);
        Check[160]->setChecked(false);

        FineInizForm(*this);
    } catch (const ErroreRun& e) {
        MsgErroreMenu(e, windowTitle() + QLatin1Char('\n'), QString());
        ctx().giChiusura = true;
        return false;
    }
    return true;
}

DatiEstrazione FrmLiqIvaPre::DatiForm() const {
    DatiEstrazione d;
    d.anno = txt[10]->text();
    d.numCom = txt[20]->text();
    d.multiAttivita = Check[30]->isChecked();
    d.subfornitura = Check[33]->isChecked();
    d.eventiEccezionali = txt[36]->text();
    d.cfDichiarante = txt[80]->text();
    d.codiceCarica = txt[90]->text();
    d.cfSocieta = txt[100]->text();
    d.firmaDichiarazione = Check[110]->isChecked();
    d.cfIntermediario = txt[120]->text();
    d.impegno = cob[130]->currentIndex() >= 0 ? cob[130]->currentText() : QString();
    d.dataImpegno = txt[140]->text();
    d.firmaIntermediario = Check[150]->isChecked();
    d.flagConferma = Check[160]->isChecked();
    return d;
}

int FrmLiqIvaPre::CampoInErrore() const {
    for (auto it = txt.begin(); it != txt.end(); ++it)
        if (BackColor(it.value()) == ctx().glColErrore) return it.key();
    return -1;
}

void FrmLiqIvaPre::FuocoA(int indice) {
    if (indice == 130) cob[130]->setFocus();
    else if (txt.contains(indice)) txt[indice]->setFocus();
}

void FrmLiqIvaPre::ComOk_Click() {
    const int errato = CampoInErrore();
    if (errato >= 0) {
        FuocoA(errato);
        frmMsgCom::msgCom(QStringLiteral("Data Errata o Campo Errato"));
        return;
    }
    CursoreAttesa(1);
    const EsitoEstrazione esito = EstraiLiqIva(DatiForm(), recDichiarante);
    CursoreAttesa(0);
    if (esito.stato == EsitoEstrazione::Completata) {
        Scarica();
        return;
    }
    if (esito.campoFocus >= 0) FuocoA(esito.campoFocus);
}

void FrmLiqIvaPre::Form_KeyDown(int& KeyCode, int Shift) {
    // Delete in the commitment list takes the choice away.
    if (KeyCode == kTastoCanc && Shift == 0 && focusWidget() == cob[130]) {
        cob[130]->setCurrentIndex(-1);
        KeyCode = 0;
        return;
    }
    MembriForm::Form_KeyDown(KeyCode, Shift);
}

void FrmLiqIvaPre::txt_GotFocus(int Index) {
    SelezTestoAttivo();
    if (txt.contains(Index)) ColoreFocus(txt[Index]);
}

void FrmLiqIvaPre::txt_LostFocus(int Index) {
    QLineEdit* campo = txt.value(Index);
    if (!campo || inControllo_) return;
    ColorePerdeFocus(campo);
    switch (Index) {
    case 10:
    case 20:
        ImpostaBackColor(campo, ctx().glColNormale);
        if (!txt[10]->text().trimmed().isEmpty()) {
            // Plain digits are rewritten as the number ("0" as nothing); any
            // other text is kept for the user to correct and marked, so that
            // "&Ok" refuses it instead of finding the field wiped.
            const QString testo = campo->text().trimmed();
            bool cifre = true;
            for (QChar c : testo) cifre = cifre && c >= QLatin1Char('0') && c <= QLatin1Char('9');
            if (cifre) {
                const long long n = testo.toLongLong();
                campo->setText(n == 0 ? QString() : QString::number(n));
            } else {
                ImpostaBackColor(campo, ctx().glColErrore);
            }
        }
        break;
    case 36: {
        // Only the codes the file can carry ("1", "9") or nothing: any other
        // value would be dropped from every module when the file is written.
        const QString codice = campo->text().trimmed();
        campo->setText(codice);
        const bool ammesso = codice.isEmpty() || codice == QLatin1String("1") || codice == QLatin1String("9");
        ImpostaBackColor(campo, ammesso ? ctx().glColNormale : ctx().glColErrore);
        if (!ammesso) {
            inControllo_ = true;
            frmMsgCom::msgCom(QStringLiteral("Eventi eccezionali: indicare 1 oppure 9, o lasciare vuoto."));
            inControllo_ = false;
        }
        break;
    }
    case 80:
    case 120:
        campo->setText(campo->text().trimmed().toUpper());
        ControllaCodiceFiscale(campo);
        break;
    case 100:
        campo->setText(campo->text().trimmed());
        ControllaPartitaIva(campo);
        break;
    case 140:
        ControllaCampoData(campo, -2, 1, std::nullopt, nullptr, true);
        break;
    default:
        break;
    }
}

void FrmLiqIvaPre::ControllaCodiceFiscale(QLineEdit* campo) {
    const QString testo = campo->text();
    bool numerico = false;
    testo.toLongLong(&numerico);
    if (testo.size() == 11 && numerico) {
        if (ContrPartIva(testo, QString(), QStringLiteral("IT"), 11, 0) != 0) {
            ConfermaValore(campo, QStringLiteral("Codice fiscale (Partita Iva) Errato. Lo vuoi confermare?"));
            return;
        }
    } else if (ContrCodFisc(testo, false) != 0) {
        ConfermaValore(campo, QStringLiteral("Codice Fiscale Errato.  Lo vuoi confermare?"));
        return;
    }
    ImpostaBackColor(campo, ctx().glColNormale);
}

void FrmLiqIvaPre::ControllaPartitaIva(QLineEdit* campo) {
    if (ContrPartIva(campo->text(), QString(), QStringLiteral("IT"), 11, 0) != 0) {
        ConfermaValore(campo, QStringLiteral("Partita Iva Errata. La vuoi confermare?"));
        return;
    }
    ImpostaBackColor(campo, ctx().glColNormale);
}

void FrmLiqIvaPre::ConfermaValore(QLineEdit* campo, const QString& domanda) {
    ImpostaBackColor(campo, ctx().glColErrore);
    // The box takes the focus away from the field the user moved to: that
    // field's own lost-focus check must not run underneath this one.
    inControllo_ = true;
    const int risposta = frmMsgCom::msgCom(domanda, QStringLiteral("Sì"), QStringLiteral("No"));
    inControllo_ = false;
    if (risposta == 1) ImpostaBackColor(campo, ctx().glColNormale);
}
