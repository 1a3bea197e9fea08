#include "print/lista/FrmComlinStampa.h"

#include "common/FrmMsgCom.h"
#include "components/core/ErroreRun.h"
#include "components/platform/ServizioDialoghi.h"
#include "components/stampa/OpzSta.h"
#include "components/stampanti/ServizioStampanti.h"
#include "print/lavoro/LavoroStampa.h"
#include "print/opzioni/FrmSceltaStam.h"
#include "print/opzioni/Stampanti.h"
#include "contesto/Contesto.h"

#include <QFontDialog>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

namespace {

FontStd FontIniziale() {
    FontStd f;
    f.Name = QStringLiteral("Arial");
    f.Size = 10;
    return f;
}

void MostraErrore(const std::exception& e) {
    if (const auto* r = dynamic_cast<const ErroreRun*>(&e)) frmMsgCom::MsgErrfrm(*r);
    else frmMsgCom::MsgErrfrm(ErroreRun(NumErrore::ErroreSql, QString::fromUtf8(e.what()), QStringLiteral("FrmComlinStampa")));
}

}  // namespace

FrmComlinStampa& FrmComlinStampa::Istanza() {
    static FrmComlinStampa* istanza = new FrmComlinStampa;
    return *istanza;
}

std::function<void(FrmComlinStampa&)>& FrmComlinStampa::Mostra() {
    static std::function<void(FrmComlinStampa&)> f = [](FrmComlinStampa& d) { d.exec(); };
    return f;
}

std::function<std::optional<FontStd>(const FontStd&)>& FrmComlinStampa::SceltaFont() {
    static std::function<std::optional<FontStd>(const FontStd&)> f = [](const FontStd& iniziale) -> std::optional<FontStd> {
        bool ok = false;
        QFont base(FamigliaInstallata(iniziale.Name));
        base.setPointSizeF(iniziale.Size);
        const QFont scelto = QFontDialog::getFont(&ok, base, nullptr, QStringLiteral("Scegliere il font per la stampa"));
        if (!ok) return std::nullopt;
        FontStd r;
        r.Name = scelto.family();
        r.Size = scelto.pointSizeF();
        r.Bold = scelto.bold();
        r.Italic = scelto.italic();
        r.Underline = scelto.underline();
        r.Strikethrough = scelto.strikeOut();
        return r;
    };
    return f;
}

FrmComlinStampa::FrmComlinStampa() : font_(std::make_shared<FontStd>(FontIniziale())) {
    setWindowTitle(QStringLiteral("Stampa dati della lista"));
    setModal(true);
    setFixedSize(420, 250);
    labStaAttuale = new QLabel(QStringLiteral("Stampante attuale:"), this);
    labStaAttuale->setGeometry(10, 8, 400, 40);
    labStaAttuale->setWordWrap(true);
    ComUsaDef = new QPushButton(QStringLiteral("Stampante predefinita"), this);
    ComUsaDef->setGeometry(10, 52, 190, 28);
    comSceStam = new QPushButton(QStringLiteral("Seleziona Stampante"), this);
    comSceStam->setGeometry(220, 52, 190, 28);
    FraTipSta = new QGroupBox(QStringLiteral("Stampa "), this);
    FraTipSta->setGeometry(10, 88, 195, 76);
    OptTipsta[0] = new QRadioButton(QStringLiteral("Solo le colonne visibili"), FraTipSta);
    OptTipsta[0]->setGeometry(8, 20, 180, 22);
    OptTipsta[1] = new QRadioButton(QStringLiteral("Tutte le colonne "), FraTipSta);
    OptTipsta[1]->setGeometry(8, 46, 180, 22);
    OptTipsta[1]->setChecked(true);
    fraOrientamento = new QGroupBox(QStringLiteral("Orientamento"), this);
    fraOrientamento->setGeometry(215, 88, 195, 76);
    OptOrientamento[0] = new QRadioButton(QStringLiteral("Orizzontale"), fraOrientamento);
    OptOrientamento[0]->setGeometry(8, 20, 180, 22);
    OptOrientamento[1] = new QRadioButton(QStringLiteral("Verticale"), fraOrientamento);
    OptOrientamento[1]->setGeometry(8, 46, 180, 22);
    OptOrientamento[1]->setChecked(true);
    CmdSceFont = new QPushButton(QStringLiteral("Scegli Font"), this);
    CmdSceFont->setGeometry(10, 176, 120, 28);
    CmdStampa = new QPushButton(QStringLiteral("&STAMPA"), this);
    CmdStampa->setGeometry(150, 212, 120, 30);
    CmdEsci = new QPushButton(QStringLiteral("&ESCI"), this);
    CmdEsci->setGeometry(290, 212, 120, 30);
    connect(CmdStampa, &QPushButton::clicked, this, [this] { CmdStampa_Click(); });
    connect(CmdEsci, &QPushButton::clicked, this, [this] { accept(); });
    connect(ComUsaDef, &QPushButton::clicked, this, [this] { ComUsaDef_Click(); });
    connect(comSceStam, &QPushButton::clicked, this, [this] { comSceStam_Click(); });
    connect(CmdSceFont, &QPushButton::clicked, this, [this] { CmdSceFont_Click(); });
    VisStaAttuale();
}

std::shared_ptr<OpzSta> FrmComlinStampa::Opzioni() {
    if (!opz_) {
        opz_ = std::make_shared<OpzSta>();
        // With no printer installed the printer route can only fail.
        if (opz_->oiStaVid == OpzSta::Stampante && ggStampanti().Installate().isEmpty()) opz_->oiStaVid = OpzSta::Video;
    }
    return opz_;
}

void FrmComlinStampa::VisStaAttuale() {
    const auto& corrente = serviziLavoroStampa().StampanteCorrente;
    labStaAttuale->setText(Opzioni()->DescrStampante(corrente ? corrente() : QString()));
}

void FrmComlinStampa::ApriStampaLista(Comlin& lista) {
    ogComlin = &lista;
    VisStaAttuale();
    Mostra()(*this);
    // Closed: the list is handed over again at the next opening.
    if (!isVisible()) ogComlin = nullptr;
}

void FrmComlinStampa::CmdStampa_Click() {
    try {
        stampa();
    } catch (const std::exception& e) {
        MostraErrore(e);
    }
}

void FrmComlinStampa::stampa() {
    const QString titolo = ctx().gsTitoloApp;
    if (ctx().giStaAtt == 1) {
        if (ctx().ggDialoghi)
            ctx().ggDialoghi->msgBox(QStringLiteral("Si può lanciare solo una stampa alla volta"), StileMsg::SoloOk, titolo);
        return;
    }
    if (!ogComlin) {
        // The list handed itself over for one print only.
        frmMsgCom::msgCom(QStringLiteral("Nessuna lista da stampare: tornare alla lista e scegliere \"Stampa\""));
        return;
    }
    int orientamento = -1;
    if (OptOrientamento[0]->isChecked()) orientamento = 2;
    if (OptOrientamento[1]->isChecked()) orientamento = 1;
    QString colonne;
    if (OptTipsta[0]->isChecked()) colonne = QStringLiteral("V");
    if (OptTipsta[1]->isChecked()) colonne = QStringLiteral("T");
    if (fraOrientamento->isEnabled() && orientamento < 0) {
        if (ctx().ggDialoghi) ctx().ggDialoghi->msgBox(QStringLiteral("Scegliere un' orientamento"), StileMsg::SoloOk, titolo);
        OptOrientamento[0]->setFocus();
        return;
    }
    if (FraTipSta->isEnabled() && colonne.isEmpty()) {
        if (ctx().ggDialoghi) ctx().ggDialoghi->msgBox(QStringLiteral("Scegliere un tipo di stampa"), StileMsg::SoloOk, titolo);
        OptTipsta[0]->setFocus();
        return;
    }
    Stampa& st = ogComlin->ogSta();
    InizStampa(st);
    st.ogOpzSta = Opzioni();
    // The printer of the options serves this print; the default stays as it
    // is. The automatic PDF is written by the print itself, as from the run
    // forms: its driver's name needs no installed printer.
    const bool pdfAutomatico = st.ogOpzSta->LeggiOpzione(QStringLiteral("PdfAutomAbil")).booleano() &&
                               EDriverPdf(st.ogOpzSta->osNomeStampante);
    if (st.ogOpzSta->oiStaVid == OpzSta::Stampante && !pdfAutomatico && !ImpostaPrinterOpz(*st.ogOpzSta, false)) {
        frmMsgCom::msgCom(QStringLiteral("Impossibile impostare la stampante predefinita\nper stampare su ") +
                              st.ogOpzSta->osNomeStampante +
                              QStringLiteral(" uscire dal programma e rientrare\nOppure scegliere un'altra stampante"),
                          QStringLiteral("&Ok"), std::nullopt, std::nullopt, std::nullopt, 80, 600, 0, 1);
        return;
    }
    // The route of the options, the automatic PDF included, and the page
    // margins of the print options, as every other print takes them.
    IniParamStampa(st.ogOpzSta->Sezione, st, {}, 0);
    // Leaving the preview of the last print stopped that print, not this one.
    st.ImpInterruzione(0);
    // The list stays while the dialog is open, so that a print that failed,
    // or one more copy, can be started again from here.
    ogComlin->AvviaStampa(font_, orientamento, colonne);
}

void FrmComlinStampa::ComUsaDef_Click() {
    QString nome, nonDisp, porta;
    bool inutilizzabile = false;
    try {
        if (StampanteCambiata()) ImpostaPrinterDefWin(nome, nonDisp, porta);
        else StampanteDefWin(nome, nonDisp, porta);
        inutilizzabile = nome.trimmed().isEmpty();
    } catch (const ErroreRun&) {
        // An unreadable default counts as a missing one, handled below.
        inutilizzabile = true;
    }
    const long sessione = ggStampanti().giSessioneTerm;
    auto altraSessione = [&](const QString& n) {
        if (!StampanteAltraSessione(n, sessione)) return false;
        frmMsgCom::msgCom(QStringLiteral("La stampante (") + n +
                              QStringLiteral(") predefinita appartiene ad un'altra sessione\nScegliere una stampante o cambiare la stampante predefinita"),
                          QStringLiteral("&Ok"), std::nullopt, std::nullopt, std::nullopt, 80, 600, 0, 1);
        return true;
    };
    try {
        if (inutilizzabile) {
            if (altraSessione(nonDisp)) return;
            if (StampanteCambiata()) {
                AzzeraStampanteNonDisp(QStringLiteral("NomeStampante"), nonDisp, Opzioni()->Sezione);
                return;
            }
        } else if (altraSessione(nome)) {
            return;
        }
        Opzioni()->osNomeStampante.clear();
        Opzioni()->NomePorta = porta;
        VisStaAttuale();
    } catch (const std::exception& e) {
        MostraErrore(e);
    }
}

void FrmComlinStampa::comSceStam_Click() {
    try {
        Opzioni()->ModoEscluso(OpzSta::LarghezzaFissa, true);
        FrmSceltaStam::Apri(Opzioni());
        VisStaAttuale();
    } catch (const std::exception& e) {
        MostraErrore(e);
    }
}

void FrmComlinStampa::CmdSceFont_Click() {
    // The font dialog always opens on Arial 10; a cancel keeps the font.
    const std::optional<FontStd> scelto = SceltaFont()(FontIniziale());
    if (scelto) font_ = FontSta(std::make_shared<FontStd>(*scelto));
}
