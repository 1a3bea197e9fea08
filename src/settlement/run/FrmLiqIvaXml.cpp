#include "settlement/run/FrmLiqIvaXml.h"

#include "common/FrmMsgCom.h"
#include "common/MsgErrori.h"
#include "common/form/CercaAzienda.h"
#include "common/form/Decodifica.h"
#include "common/form/Tastiera.h"
#include "common/form/UtilForm.h"
#include "components/core/ErroreRun.h"
#include "components/menu/MenuClient.h"
#include "components/platform/ServizioDialoghi.h"
#include "print/anteprima/FrmVStampa.h"
#include "components/stampa/OpzSta.h"
#include "components/stampanti/ServizioStampanti.h"
#include "components/util/UtilGenerali.h"
#include "print/opzioni/FrmSceltaStam.h"
#include "settlement/estrazione/FrmLiqIvaPre.h"
#include "settlement/run/NomiFileLiqIva.h"
#include "settlement/run/StLiqIva.h"
#include "contesto/Contesto.h"

#include <QFont>
#include <QScopeGuard>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace {

const QString kCaption = QStringLiteral("Preparazione file per Liquidazione Periodica Iva");
constexpr int kContestoHelp = 44018;

int Messaggio(const QString& testo) {
    return frmMsgCom::msgCom(testo, QStringLiteral("&Ok"), std::nullopt, std::nullopt, kTitoloLiqIvaXml);
}

bool SoloCifre(const QString& testo) {
    for (QChar c : testo)
        if (!c.isDigit()) return false;
    return true;
}

}  // namespace

frmLiqIvaXml::frmLiqIvaXml() : FormBase(QStringLiteral("frmLiqIvaXml")) {
    setWindowTitle(kCaption);
    // Positions in pixels of an 800 x 600 screen; the common scaling enlarges them.
    setFixedSize(680, 400);
    setProperty("HelpContextID", kContestoHelp);

    auto etichetta = [this](QWidget* padre, const QString& testo, int x, int y, int w) {
        auto* l = new QLabel(testo, padre);
        l->setGeometry(x, y, w, 22);
        return l;
    };
    auto campo = [&](int indice, const QString& testo, int y, int w, int max = 0) {
        auto* e = new QLineEdit(this);
        ImpostaElemento(e, QStringLiteral("txt"), indice);
        e->setGeometry(230, y, w, 22);
        if (max > 0) e->setMaxLength(max);
        QLabel* l = etichetta(this, testo, 20, y, 200);
        l->setBuddy(e);
        txt[indice] = e;
        return l;
    };

    auto* titolo = new QLabel(QStringLiteral("Creazione file per Liquidazione Periodica Iva"), this);
    ImpostaElemento(titolo, QStringLiteral("Label1"), 0);
    QFont grassetto = titolo->font();
    grassetto.setBold(true);
    grassetto.setPointSizeF(grassetto.pointSizeF() * 1.2);
    titolo->setFont(grassetto);
    titolo->setGeometry(20, 10, 580, 26);

    campo(10, QStringLiteral("Anno:"), 45, 60, 4);
    LabSelData = campo(20, QStringLiteral("Comunicazione numero:"), 75, 30, 1);
    LabSelData->setObjectName(QStringLiteral("LabSelData"));
    for (const auto& [indice, testo, y] : {std::tuple{30, QStringLiteral("Identificativo azienda da:"), 105},
                                          std::tuple{40, QStringLiteral("a:"), 135}}) {
        campo(indice, testo, y, 80);
        txt[indice]->installEventFilter(this);
        auto* b = new QPushButton(QStringLiteral("..."), this);
        ImpostaElemento(b, QStringLiteral("ComHlp"), indice);
        b->setGeometry(315, y, 26, 22);
        b->setFocusPolicy(Qt::NoFocus);
        ComHlp[indice] = b;
        auto* d = new QLabel(this);
        ImpostaElemento(d, QStringLiteral("Lab"), indice);
        d->setGeometry(350, y, 250, 22);
        d->setFrameShape(QFrame::StyledPanel);
        Lab[indice] = d;
        const int i = indice;
        connect(b, &QPushButton::clicked, this, [this, i] {
            int tasto = Tasto::F2;
            txt_KeyUp(i, tasto, 0);
        });
    }
    LabSelPiuAziende = new QLabel(
        QStringLiteral("Selezionate più aziende: usare §CodFisc§ o il nome file sara' seguito dall'id azienda"), this);
    LabSelPiuAziende->setObjectName(QStringLiteral("LabSelPiuAziende"));
    LabSelPiuAziende->setGeometry(20, 160, 580, 22);
    LabSelPiuAziende->hide();

    Frame1[1] = new QGroupBox(QStringLiteral("Tipo File:"), this);
    ImpostaElemento(Frame1[1], QStringLiteral("Frame1"), 1);
    Frame1[1]->setGeometry(20, 188, 270, 90);
    optTipoFile[0] = new QRadioButton(QStringLiteral("Formato txt"), Frame1[1]);
    optTipoFile[1] = new QRadioButton(QStringLiteral("Formato XML"), Frame1[1]);
    Frame1[0] = new QGroupBox(QStringLiteral("Tipo Elaborazione: "), this);
    ImpostaElemento(Frame1[0], QStringLiteral("Frame1"), 0);
    Frame1[0]->setGeometry(310, 188, 290, 90);
    optTipoElab[0] = new QRadioButton(QStringLiteral("Prep.file e Stampa"), Frame1[0]);
    optTipoElab[1] = new QRadioButton(QStringLiteral("Preparazione file"), Frame1[0]);
    optTipoElab[2] = new QRadioButton(QStringLiteral("Stampa"), Frame1[0]);
    for (int i = 0; i < 2; ++i) {
        ImpostaElemento(optTipoFile[i], QStringLiteral("optTipoFile"), i);
        optTipoFile[i]->setGeometry(15, 25 + i * 26, 240, 22);
        connect(optTipoFile[i], &QRadioButton::clicked, this, [this] { optTipoFile_Click(); });
    }
    for (int i = 0; i < 3; ++i) {
        ImpostaElemento(optTipoElab[i], QStringLiteral("optTipoElab"), i);
        optTipoElab[i]->setGeometry(15, 20 + i * 22, 260, 22);
    }
    optTipoFile[1]->setChecked(true);
    optTipoElab[0]->setChecked(true);

    auto* labNome = etichetta(this, QStringLiteral("Nome File:"), 20, 292, 80);
    ImpostaElemento(labNome, QStringLiteral("Lab"), 2);
    Lab[2] = labNome;
    auto* nome = new QLineEdit(this);
    ImpostaElemento(nome, QStringLiteral("txt"), 60);
    nome->setGeometry(100, 292, 410, 22);
    labNome->setBuddy(nome);
    txt[60] = nome;
    ComOpz = new QPushButton(QStringLiteral("Cambia"), this);
    ComOpz->setObjectName(QStringLiteral("ComOpz"));
    ComOpz->setGeometry(520, 291, 80, 24);

    labStaAttuale = new QLabel(QStringLiteral("Stampante attuale:"), this);
    labStaAttuale->setObjectName(QStringLiteral("labStaAttuale"));
    labStaAttuale->setGeometry(20, 324, 580, 22);

    auto bottone = [this](const QString& nome, const QString& testo, int x, int w) {
        auto* b = new QPushButton(testo, this);
        b->setObjectName(nome);
        b->setGeometry(x, 356, w, 30);
        return b;
    };
    ComStampa = bottone(QStringLiteral("ComStampa"), QStringLiteral("&Elaborazione e Stampa"), 20, 160);
    cmdStaVid = bottone(QStringLiteral("cmdStaVid"), QStringLiteral("Elabora e &Stampa a Video"), 186, 170);
    comSceStam = bottone(QStringLiteral("comSceStam"), QStringLiteral("Seleziona Destinazione Stampa"), 362, 200);
    ComChiudi = bottone(QStringLiteral("ComChiudi"), QStringLiteral("&Chiudi"), 568, 90);

    connect(ComOpz, &QPushButton::clicked, this, [this] { ComOpz_Click(); });
    connect(ComStampa, &QPushButton::clicked, this, [this] { ComStampa_Click(); });
    connect(cmdStaVid, &QPushButton::clicked, this, [this] { cmdStaVid_Click(); });
    connect(comSceStam, &QPushButton::clicked, this, [this] { comSceStam_Click(); });
    connect(ComChiudi, &QPushButton::clicked, this, [this] { Scarica(); });

    const QList<QWidget*> ordine{txt[10],        txt[20],        txt[30],        txt[40],   optTipoFile[0],
                                 optTipoFile[1], optTipoElab[0], optTipoElab[1], optTipoElab[2], txt[60],
                                 ComOpz,         ComStampa,      cmdStaVid,      comSceStam, ComChiudi};
    for (int i = 1; i < ordine.size(); ++i) setTabOrder(ordine[i - 1], ordine[i]);

    elab.ControllaDati = [this] { return ControllaDatiLiq(); };
}

frmLiqIvaXml::~frmLiqIvaXml() = default;

bool frmLiqIvaXml::Form_Load() {
    captionIniziale_ = windowTitle();
    oiLoadOk = -1;
    try {
        Contesto& c = ctx();
        InizForm(*this);
        elab.obAnteprima = false;

        elab.ogOpzSta = std::make_shared<OpzSta>();
        IniOpzSta(*elab.ogOpzSta, osKeySec);
        EscludiRotteSuFile(*elab.ogOpzSta);
        VisStaAttuale();

        cartellaUscita_ = CartellaUscitaLiqIva();
        QString anno, numero;
        FrmLiqIvaPre::PropostaPeriodo(c.gtDataLavoro, anno, numero);
        txt[10]->setText(anno);
        txt[20]->setText(numero);

        txt[30]->setText(c.ggMenuClient ? c.ggMenuClient->LeggiValoreSess(QStringLiteral("idazienda")).testo() : QString());
        DecodAzienda(30, false);
        txt[40]->setText(txt[30]->text());
        Lab[40]->setText(Lab[30]->text());
        LabSelPiuAziende->hide();

        cartellaScelta_.clear();
        PrepNomeFile();
        FineInizForm(*this);
    } catch (const ErroreRun& e) {
        MsgErroreMenu(e, captionIniziale_ + QLatin1Char('\n'), QString());
        ctx().giChiusura = true;
        return false;
    }
    return true;
}

bool frmLiqIvaXml::Form_QueryUnload() {
    if (oiLoadOk != 1) return true;
    if (elab.StampaAttiva()) {
        Messaggio(QStringLiteral("Stampa ancora attiva, non è possibile uscire dal programma"));
        return false;
    }
    return true;
}

void frmLiqIvaXml::Form_Unload() {
    if (oiLoadOk != 1) return;
    if (elab.obAnteprima && FrmVStampa::EsisteIstanza()) FrmVStampa::Istanza()->Scarica();
}

void frmLiqIvaXml::PassaA() {
    if (ctx().ggMenuClient) ctx().ggMenuClient->RegistraForm(kTitoloLiqIvaXml, NomeForm(), osKeySec);
}

ParametriLiqIva frmLiqIvaXml::Parametri() const {
    ParametriLiqIva p;
    p.anno = txt[10]->text();
    p.numero = txt[20]->text();
    p.aziendaDa = txt[30]->text();
    p.aziendaA = txt[40]->text();
    p.nomeFile = txt[60]->text();
    p.formatoTxt = optTipoFile[0]->isChecked();
    p.tipoElab = optTipoElab[1]->isChecked() ? 1 : optTipoElab[2]->isChecked() ? 2 : 0;
    p.cartellaScelta = cartellaScelta_;
    p.captionForm = windowTitle();
    return p;
}

void frmLiqIvaXml::ComStampa_Click() {
    // Each run names its automatic PDFs afresh; within it no two collide.
    if (elab.ogOpzSta) elab.ogOpzSta->NuovaSeriePdf();
    CursoreAttesa(1);
    inElaborazione_ = true;
    const auto fine = qScopeGuard([this] { inElaborazione_ = false; });
    elab.Esegui(Parametri());
    CursoreAttesa(0);
}

void frmLiqIvaXml::VisStaAttuale() {
    if (elab.ogOpzSta) labStaAttuale->setText(elab.ogOpzSta->DescrStampante(ggStampanti().NomeCorrente()));
}

void frmLiqIvaXml::cmdStaVid_Click() {
    if (elab.ogOpzSta) StampaVideoDaForm(*this, *elab.ogOpzSta, true);
}

void frmLiqIvaXml::comSceStam_Click() {
    if (elab.ogOpzSta) FrmSceltaStam::Apri(elab.ogOpzSta);
    VisStaAttuale();
}

void frmLiqIvaXml::ComOpz_Click() {
    RichiestaFile r;
    r.titolo = QStringLiteral("Nome del file");
    r.cartella = cartellaUscita_;
    r.nomeFile = txt[60]->text();
    r.filtri = {QStringLiteral("Testo (*.txt)"), QStringLiteral("XML (*.xml)")};
    r.salvataggio = true;
    const auto scelto = ctx().ggDialoghi->sceltaFile(r);
    if (!scelto || scelto->isEmpty()) return;
    txt[60]->setText(*scelto);
    const QString cartella = CartellaDelPercorso(*scelto);
    if (!cartella.isEmpty()) cartellaScelta_ = cartella;
}

void frmLiqIvaXml::optTipoFile_Click() { PrepNomeFile(); }

void frmLiqIvaXml::PrepNomeFile() {
    txt[60]->setText(NomeFileProposto(cartellaUscita_, txt[10]->text(), txt[20]->text(), optTipoFile[0]->isChecked()));
}

void frmLiqIvaXml::Fuoco(int indice) {
    if (txt.contains(indice)) txt[indice]->setFocus();
}

bool frmLiqIvaXml::ControllaDatiLiq() {
    const UtilGenerali& u = ggUtil();
    auto rifiuta = [this](const QString& testo, int fuoco) {
        Messaggio(testo);
        if (fuoco >= 0) Fuoco(fuoco);
        return false;
    };
    for (auto it = txt.cbegin(); it != txt.cend(); ++it)
        if (BackColor(it.value()) == ctx().glColErrore) return rifiuta(QStringLiteral("Ci sono dei dati non validi"), it.key());
    if (u.EVuoto(txt[30]->text(), TipoDato::Testo) || u.EVuoto(txt[40]->text(), TipoDato::Testo))
        return rifiuta(QStringLiteral("Si prega di inserire entrambe le ditte da elaborare"), 30);
    if (txt[30]->text().trimmed().compare(txt[40]->text().trimmed(), Qt::CaseInsensitive) > 0)
        return rifiuta(QStringLiteral("Si prega di inserire le ditte da elaborare in ordine crescente"), 30);
    if (u.EVuoto(txt[10]->text(), TipoDato::Intero)) return rifiuta(QStringLiteral("Si prega di inserire l'anno"), 10);
    const double anno = u.ValoreNumerico(txt[10]->text());
    if (anno < 2017 || anno > 2049) return rifiuta(QStringLiteral("Anno non valido"), 10);
    if (u.EVuoto(txt[20]->text(), TipoDato::Intero))
        return rifiuta(QStringLiteral("Si prega di inserire il numero comunicazione"), 20);
    if (u.EVuoto(txt[60]->text(), TipoDato::Testo))
        return rifiuta(QStringLiteral("Si prega di indicare il nome del file"), 60);
    return true;
}

void frmLiqIvaXml::DecodAzienda(int indice, bool verifica) {
    DecodValore(QStringLiteral("Aziende"), QStringLiteral("IdAzienda"), txt[indice], Lab[indice], verifica ? 0 : -1, 0,
                TipoDato::Testo, QStringLiteral("Descrizione"));
}

void frmLiqIvaXml::AggiornaSelPiuAziende() {
    LabSelPiuAziende->setVisible(txt[30]->text().compare(txt[40]->text(), Qt::CaseInsensitive) != 0);
}

void frmLiqIvaXml::txt_GotFocus(int Index) {
    SelezTestoAttivo();
    QLineEdit* e = txt.value(Index);
    if (!e) return;
    e->setProperty("Tag", e->text());
    ColoreFocus(e);
}

void frmLiqIvaXml::txt_LostFocus(int Index) {
    QLineEdit* e = txt.value(Index);
    if (!e) return;
    ColorePerdeFocus(e);
    const Contesto& c = ctx();
    if (Index == 10 || Index == 20) {
        ImpostaBackColor(e, c.glColNormale);
        e->setText(e->text().trimmed());
        if (!SoloCifre(e->text())) ImpostaBackColor(e, c.glColErrore);
        if (e->text() != e->property("Tag").toString() && BackColor(e) != c.glColErrore) PrepNomeFile();
    } else if (Index == 30 || Index == 40) {
        e->setText(e->text().trimmed());
        DecodAzienda(Index, false);
        AggiornaSelPiuAziende();
    }
}

bool frmLiqIvaXml::eventFilter(QObject* o, QEvent* e) {
    if (e->type() == QEvent::KeyRelease && o->objectName() == QLatin1String("txt")) {
        const auto* k = static_cast<QKeyEvent*>(e);
        int codice = CodiceTasto(*k);
        txt_KeyUp(IndiceElemento(o), codice, StatoMaiusc(*k));
    }
    return FormBase::eventFilter(o, e);
}

void frmLiqIvaXml::txt_KeyUp(int Index, int& KeyCode, int Shift) {
    if ((Index != 30 && Index != 40) || Shift != 0) return;
    if (KeyCode < Tasto::F2 || KeyCode > Tasto::F5) return;
    int trovato = 0;
    try {
        DecodCampoTasto(QStringLiteral("aziende"), QStringLiteral("IdAzienda"), txt[Index], Lab[Index], KeyCode,
                        QStringLiteral("Descrizione"), trovato);
    } catch (const ErroreRun& e) {
        frmMsgCom::MsgErrfrm(e);
    }
    AggiornaSelPiuAziende();
}
