#include "invoicedata/run/FrmDatiFatXml.h"

#include "common/FrmMsgCom.h"
#include "common/MsgErrori.h"
#include "common/form/CodiciTasti.h"
#include "common/form/Decodifica.h"
#include "common/form/Tastiera.h"
#include "common/form/UtilForm.h"
#include "components/core/ErroreRun.h"
#include "components/menu/MenuClient.h"
#include "components/platform/ServizioDialoghi.h"
#include "components/stampa/OpzSta.h"
#include "components/stampanti/ServizioStampanti.h"
#include "components/util/UtilGenerali.h"
#include "contesto/Contesto.h"
#include "contesto/ImpostazioniIni.h"
#include "invoicedata/file/FileDatiFat.h"
#include "invoicedata/file/StDatiFat.h"
#include "invoicedata/run/CancDatiFat.h"
#include "invoicedata/run/DichiaranteDatiFat.h"
#include "print/anteprima/FrmVStampa.h"
#include "print/opzioni/FrmSceltaStam.h"

#include <QCheckBox>
#include <QFont>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScopeGuard>

namespace {

const QString kCaption = QStringLiteral("Estrazione file per Comunicazione Dati Fatture");
constexpr int kContestoHelp = 44097;

QString ValIni(const QString& sezione, const QString& chiave) {
    QString v;
    LeggiValIni(sezione, chiave, QString(), v);
    return v;
}

QString ParPers(const QString& chiave, const QString& predefinito) {
    if (!ctx().ggMenuClient) return predefinito;
    const QString v = ctx()
                          .ggMenuClient
                          ->LeggiValoreSess(QStringLiteral("Personal.DatiFat.§") + chiave)
                          .testo();
    return v.isEmpty() || v == MarcatoreParPers ? predefinito : v;
}

int Intero(const QString& s) { return static_cast<int>(ggUtil().ValoreNumerico(Valore(s.trimmed()))); }

}  // namespace

void PropostaComDatiFat(const QDate& data, QString& anno, QString& numero) {
    const int y = data.year(), m = data.month();
    int a = y, n = 0;
    if (y >= 2020) {
        if (m <= 3) {
            a = y - 1;
            n = y == 2020 ? 12 : 4;
        } else {
            n = (m - 1) / 3;
        }
    } else if (y == 2019 && m >= 5) {
        n = m - 1;
    } else if (m <= 4) {
        a = y - 1;
        n = 2;
    } else {
        n = m <= 10 ? 1 : 2;
    }
    anno = QString::number(a);
    numero = QString::number(n);
}

frmDatiFatXml::frmDatiFatXml() : FormBase(QStringLiteral("frmDatiFatXml")) {
    setWindowTitle(kCaption);
    setFixedSize(780, 560);
    setProperty("HelpContextID", kContestoHelp);

    auto etichetta = [](QWidget* padre, const QString& testo, int x, int y, int w) {
        auto* l = new QLabel(testo, padre);
        l->setGeometry(x, y, w, 22);
        return l;
    };
    auto campo = [&](QWidget* padre, int indice, const QString& testo, int x, int y, int wl, int w) {
        auto* e = new QLineEdit(padre);
        ImpostaElemento(e, QStringLiteral("txt"), indice);
        e->setGeometry(x + wl, y, w, 22);
        QLabel* l = etichetta(padre, testo, x, y, wl - 6);
        l->setBuddy(e);
        txt[indice] = e;
        return l;
    };

    auto* titolo = new QLabel(QStringLiteral("Creazione file per Comunicazione Dati Fatture"), this);
    ImpostaElemento(titolo, QStringLiteral("Label1"), 0);
    QFont grassetto = titolo->font();
    grassetto.setBold(true);
    titolo->setFont(grassetto);
    titolo->setGeometry(20, 8, 600, 24);

    auto* frame2 = new QGroupBox(QStringLiteral("Tipo operazione"), this);
    frame2->setObjectName(QStringLiteral("Frame2"));
    frame2->setGeometry(20, 36, 330, 50);
    const QString sta[] = {QStringLiteral("Prova"), QStringLiteral("Definitiva"), QStringLiteral("Rielabora")};
    for (int i = 0; i < 3; ++i) {
        OptTipoSta[i] = new QRadioButton(sta[i], frame2);
        ImpostaElemento(OptTipoSta[i], QStringLiteral("OptTipoSta"), i);
        OptTipoSta[i]->setGeometry(10 + i * 105, 20, 100, 22);
        connect(OptTipoSta[i], &QRadioButton::clicked, this, [this] { OptTipoSta_Click(); });
    }
    campo(this, 10, QStringLiteral("Anno:"), 370, 44, 50, 60)->setObjectName(QStringLiteral("LabAnno"));
    campo(this, 20, QStringLiteral("Comunicazione numero:"), 490, 44, 160, 40);

    auto* fraTipoCom = new QGroupBox(QStringLiteral("Tipo comunicazione"), this);
    fraTipoCom->setObjectName(QStringLiteral("FraTipoCom"));
    fraTipoCom->setGeometry(20, 92, 680, 120);
    optTipoCom[0] = new QRadioButton(QStringLiteral("Normale"), fraTipoCom);
    optTipoCom[1] = new QRadioButton(QStringLiteral("Cancellazione"), fraTipoCom);
    for (int i = 0; i < 2; ++i) {
        ImpostaElemento(optTipoCom[i], QStringLiteral("optTipoCom"), i);
        optTipoCom[i]->setGeometry(10, 20 + i * 26, 120, 22);
        connect(optTipoCom[i], &QRadioButton::clicked, this, [this] { optTipoCom_Click(); });
    }
    label1[100] = campo(fraTipoCom, 100, QStringLiteral("Num. Invio:"), 140, 20, 90, 40);
    label1[140] = campo(fraTipoCom, 140, QStringLiteral("Identificativo:"), 140, 46, 90, 180);
    label1[110] = campo(fraTipoCom, 110, QStringLiteral("Invio da cancellare:"), 140, 72, 130, 40);
    label1[115] = campo(fraTipoCom, 115, QStringLiteral("Base File:"), 330, 72, 70, 70);
    fraSingola = new QGroupBox(QStringLiteral("Singola registrazione"), fraTipoCom);
    fraSingola->setObjectName(QStringLiteral("fraSingola"));
    fraSingola->setGeometry(440, 14, 230, 56);
    campo(fraSingola, 120, QStringLiteral("Anno:"), 8, 24, 40, 50);
    campo(fraSingola, 130, QStringLiteral("Numero:"), 104, 24, 56, 60);

    auto* frame3 = new QGroupBox(QStringLiteral("Cosa Estrarre"), this);
    frame3->setObjectName(QStringLiteral("Frame3"));
    frame3->setGeometry(20, 218, 330, 74);
    cheCosaEstr[0] = new QCheckBox(QStringLiteral("Clienti (fatture di vendita)"), frame3);
    cheCosaEstr[1] = new QCheckBox(QStringLiteral("Fornitori (fatture di acquisto)"), frame3);
    for (int i = 0; i < 2; ++i) {
        ImpostaElemento(cheCosaEstr[i], QStringLiteral("cheCosaEstr"), i);
        cheCosaEstr[i]->setGeometry(10, 20 + i * 24, 300, 22);
        cheCosaEstr[i]->setChecked(true);
    }

    fraAziende = new QGroupBox(this);
    fraAziende->setObjectName(QStringLiteral("fraAziende"));
    fraAziende->setFlat(true);
    // To the form's right edge: the company names beside the range show whole.
    fraAziende->setGeometry(360, 218, 412, 74);
    for (const auto& [indice, testo, y] : {std::tuple{30, QStringLiteral("Identificativo azienda da:"), 8},
                                          std::tuple{40, QStringLiteral("a:"), 38}}) {
        campo(fraAziende, indice, testo, 0, y, 172, 50);
        auto* hlp = new QPushButton(QStringLiteral("..."), fraAziende);
        ImpostaElemento(hlp, QStringLiteral("ComHlp"), indice);
        hlp->setGeometry(224, y, 22, 22);
        hlp->hide();
        connect(hlp, &QPushButton::clicked, this, [this, indice] { ComHlp_Click(indice); });
        ComHlp[indice] = hlp;
        auto* d = new QLabel(fraAziende);
        ImpostaElemento(d, QStringLiteral("Lab"), indice);
        d->setGeometry(226, y, 184, 22);
        Lab[indice] = d;
    }

    FraDichiarante =
        new QGroupBox(QStringLiteral("DICHIARANTE (Compilare se diverso dal contribuente):"), this);
    FraDichiarante->setObjectName(QStringLiteral("FraDichiarante"));
    FraDichiarante->setGeometry(20, 298, 680, 52);
    campo(FraDichiarante, 80, QStringLiteral("Codice Fiscale:"), 10, 22, 110, 180);
    campo(FraDichiarante, 90, QStringLiteral("Codice carica:"), 330, 22, 100, 40);

    Frame1[1] = new QGroupBox(QStringLiteral("Tipo File:"), this);
    ImpostaElemento(Frame1[1], QStringLiteral("Frame1"), 1);
    Frame1[1]->setGeometry(250, 356, 150, 70);
    optTipoFile[0] = new QRadioButton(QStringLiteral("Formato txt"), Frame1[1]);
    optTipoFile[1] = new QRadioButton(QStringLiteral("Formato XML"), Frame1[1]);
    for (int i = 0; i < 2; ++i) {
        ImpostaElemento(optTipoFile[i], QStringLiteral("optTipoFile"), i);
        optTipoFile[i]->setGeometry(10, 20 + i * 22, 130, 22);
    }
    optTipoFile[0]->setChecked(true);
    Frame1[1]->hide();

    auto* frame1 = new QGroupBox(QStringLiteral("Tipo Elaborazione: "), this);
    ImpostaElemento(frame1, QStringLiteral("Frame1"), 0);
    Frame1[0] = frame1;
    frame1->setGeometry(20, 356, 220, 90);
    const QString elab[] = {QStringLiteral("Prep.file e Stampa"), QStringLiteral("Preparazione file"),
                            QStringLiteral("Stampa")};
    for (int i = 0; i < 3; ++i) {
        optTipoElab[i] = new QRadioButton(elab[i], frame1);
        ImpostaElemento(optTipoElab[i], QStringLiteral("optTipoElab"), i);
        optTipoElab[i]->setGeometry(10, 20 + i * 22, 200, 22);
        connect(optTipoElab[i], &QRadioButton::clicked, this, [this, i] { optTipoElab_Click(i); });
    }
    FraOrd = new QGroupBox(QStringLiteral("Ordinamento stampa"), this);
    FraOrd->setObjectName(QStringLiteral("FraOrd"));
    FraOrd->setGeometry(250, 356, 150, 70);
    optOrdin[0] = new QRadioButton(QStringLiteral("Come XML"), FraOrd);
    optOrdin[1] = new QRadioButton(QStringLiteral("Per Data"), FraOrd);
    for (int i = 0; i < 2; ++i) {
        ImpostaElemento(optOrdin[i], QStringLiteral("optOrdin"), i);
        optOrdin[i]->setGeometry(10, 20 + i * 22, 130, 22);
    }
    CheMolteAnag = new QCheckBox(QStringLiteral("Suddividere files se supera numero massimo anagrafiche"), this);
    CheMolteAnag->setObjectName(QStringLiteral("CheMolteAnag"));
    CheMolteAnag->setGeometry(410, 360, 364, 22);
    campo(this, 150, QStringLiteral("Num. massimo anagrafiche:"), 410, 386, 180, 60);
    CheEstraiAnag = new QCheckBox(QStringLiteral("Estrai anagrafiche"), this);
    CheEstraiAnag->setObjectName(QStringLiteral("CheEstraiAnag"));
    CheEstraiAnag->setGeometry(410, 414, 200, 22);
    auto* nome = new QLineEdit(this);
    ImpostaElemento(nome, QStringLiteral("txt"), 60);
    nome->hide();
    txt[60] = nome;

    etichetta(this, QStringLiteral("File estratti nella cartella:"), 20, 456, 170);
    LabDirInvio = etichetta(this, QString(), 194, 456, 416);
    LabDirInvio->setObjectName(QStringLiteral("LabDirInvio"));
    ComOpz = new QPushButton(QStringLiteral("Cambia"), this);
    ComOpz->setObjectName(QStringLiteral("ComOpz"));
    ComOpz->setGeometry(620, 455, 80, 24);
    labStaAttuale = etichetta(this, QStringLiteral("Stampante attuale:"), 20, 484, 680);
    labStaAttuale->setObjectName(QStringLiteral("labStaAttuale"));
    LabSelPiuAziende = new QLabel(this);
    LabSelPiuAziende->setObjectName(QStringLiteral("LabSelPiuAziende"));
    LabSelPiuAziende->setGeometry(20, 430, 380, 22);
    LabSelPiuAziende->hide();

    auto bottone = [this](const QString& nomeB, const QString& testo, int x, int w) {
        auto* b = new QPushButton(testo, this);
        b->setObjectName(nomeB);
        b->setGeometry(x, 516, w, 30);
        return b;
    };
    ComStampa = bottone(QStringLiteral("ComStampa"), QStringLiteral("&Elaborazione e Stampa"), 20, 170);
    cmdStaVid = bottone(QStringLiteral("cmdStaVid"), QStringLiteral("Elabora e &Stampa a Video"), 196, 180);
    comSceStam = bottone(QStringLiteral("comSceStam"), QStringLiteral("Seleziona Destinazione Stampa"), 382, 210);
    ComChiudi = bottone(QStringLiteral("ComChiudi"), QStringLiteral("&Chiudi"), 610, 90);
    connect(ComOpz, &QPushButton::clicked, this, [this] { ComOpz_Click(); });
    connect(ComStampa, &QPushButton::clicked, this, [this] { ComStampa_Click(); });
    connect(cmdStaVid, &QPushButton::clicked, this, [this] { cmdStaVid_Click(); });
    connect(comSceStam, &QPushButton::clicked, this, [this] { comSceStam_Click(); });
    connect(ComChiudi, &QPushButton::clicked, this, [this] { Scarica(); });

    const QList<QWidget*> ordine{OptTipoSta[0],  OptTipoSta[1],  OptTipoSta[2],  txt[10],        txt[20],
                                 optTipoCom[0],  txt[100],       optTipoCom[1],  txt[140],       txt[110],
                                 txt[115],       txt[120],       txt[130],       cheCosaEstr[0], cheCosaEstr[1],
                                 txt[30],        txt[40],        txt[80],        txt[90],        optTipoFile[0],
                                 optTipoFile[1], optTipoElab[0], optTipoElab[1], optTipoElab[2], optOrdin[0],
                                 optOrdin[1],    CheMolteAnag,   txt[150],       CheEstraiAnag,  txt[60],
                                 ComOpz,         ComStampa,      cmdStaVid,      comSceStam,     ComChiudi,
                                 ComHlp[30],     ComHlp[40]};
    for (int i = 1; i < ordine.size(); ++i) setTabOrder(ordine[i - 1], ordine[i]);

    OptTipoSta[0]->setChecked(true);
    optTipoCom[0]->setChecked(true);
    optTipoElab[0]->setChecked(true);
    optOrdin[0]->setChecked(true);
    FraOrd->hide();
    label1[100]->hide();
    txt[100]->hide();
    AbilDisabCanc(false);
    label1[100]->hide();
    txt[100]->hide();
    txt[150]->setText(QStringLiteral("999"));
}

frmDatiFatXml::~frmDatiFatXml() = default;

bool frmDatiFatXml::Form_Load() {
    captionIniziale_ = windowTitle();
    oiLoadOk = -1;
    try {
        Contesto& c = ctx();
        CheMolteAnag->setChecked(ParPers(QStringLiteral("Anag1000"), QStringLiteral("N")) == QLatin1String("S"));
        CaricaDichiarante(mrDichiarante, c.gsIdDbase, true);
        txt[80]->setText(mrDichiarante.CFDichiarante.trimmed().isEmpty() ? mrDichiarante.CodiceFiscaleSocieta.trimmed()
                                                                          : mrDichiarante.CFDichiarante.trimmed());
        txt[90]->setText(mrDichiarante.CodiceCaricaDichiarante.trimmed());
        CheEstraiAnag->setChecked(ParPers(QStringLiteral("EstraiAnag"), QStringLiteral("S")) == QLatin1String("S"));
        InizForm(*this);
        mbStaVideo = false;
        mgOpzSta = std::make_shared<OpzSta>();
        IniOpzSta(*mgOpzSta, osKeySec);
        VisStaAttuale();

        msDirInvio = ValIni(QStringLiteral("Base"), QStringLiteral("DirDatiFat"));
        if (msDirInvio.trimmed().isEmpty())
            msDirInvio = ValIni(QStringLiteral("Base"), QStringLiteral("DriveDB")) +
                         ValIni(QStringLiteral("Base"), QStringLiteral("DirDB"));
        LabDirInvio->setText(msDirInvio);
        txt[20]->setMaxLength(2);
        QString anno, numero;
        PropostaComDatiFat(c.gtDataLavoro.isValid() ? c.gtDataLavoro : QDate::currentDate(), anno, numero);
        txt[10]->setText(anno);
        txt[20]->setText(numero);
        txt[10]->setMaxLength(4);
        txt[30]->setText(c.ggMenuClient ? c.ggMenuClient->LeggiValoreSess(QStringLiteral("idazienda")).testo() : QString());
        DecodAzienda(30, false);
        txt[40]->setText(txt[30]->text());
        Lab[40]->setText(Lab[30]->text());
        LabSelPiuAziende->hide();
        msDirNuova.clear();
        FineInizForm(*this);
        int numInvio = 0;
        lock_.LockElab({}, true, {}, 0, 0, numInvio, {});
    } catch (const ErroreRun& e) {
        MsgErroreMenu(e, captionIniziale_ + QLatin1Char('\n'), QString());
        ctx().giChiusura = true;
        return false;
    }
    return true;
}

bool frmDatiFatXml::Form_QueryUnload() {
    if (oiLoadOk != 1) return true;
    if (mgStDatiFat && mgStDatiFat->obStaAtt) {
        frmMsgCom::msgCom(QStringLiteral("Stampa ancora attiva, non è possibile uscire dal programma"),
                          QStringLiteral("&Ok"), std::nullopt, std::nullopt, kTitoloDatiFatXml);
        return false;
    }
    return true;
}

void frmDatiFatXml::Form_Unload() {
    if (oiLoadOk != 1) return;
    if (mbStaVideo && FrmVStampa::EsisteIstanza()) FrmVStampa::Istanza()->Scarica();
}

void frmDatiFatXml::PassaA() {
    if (ctx().ggMenuClient) ctx().ggMenuClient->RegistraForm(kTitoloDatiFatXml, NomeForm(), osKeySec);
}

DatiRunDatiFat frmDatiFatXml::Dati() const {
    DatiRunDatiFat d;
    d.anno = txt[10]->text();
    d.numero = txt[20]->text();
    d.daAzienda = txt[30]->text();
    d.aAzienda = txt[40]->text();
    d.cfDichiarante = txt[80]->text();
    d.caricaDichiarante = txt[90]->text();
    d.numInvio = txt[100]->text();
    d.invioCanc = txt[110]->text();
    d.baseFile = txt[115]->text();
    d.annoReg = txt[120]->text();
    d.numReg = txt[130]->text();
    d.identificativo = txt[140]->text();
    d.maxAnagrafiche = txt[150]->text();
    d.molteAnag = CheMolteAnag->isChecked();
    d.tipoSta = OptTipoSta[1]->isChecked()   ? TipoSta::Definitiva
                : OptTipoSta[2]->isChecked() ? TipoSta::Rielabora
                                             : TipoSta::Prova;
    d.tipoCom = optTipoCom[1]->isChecked() ? TipoCom::Cancellazione : TipoCom::Normale;
    d.tipoElab = optTipoElab[1]->isChecked()   ? TipoElab::File
                 : optTipoElab[2]->isChecked() ? TipoElab::Stampa
                                               : TipoElab::FileEStampa;
    d.clienti = cheCosaEstr[0]->isChecked();
    d.fornitori = cheCosaEstr[1]->isChecked();
    // A box an option has hidden holds nothing the run reads: its mark counts
    // again once it is shown.
    for (auto it = txt.cbegin(); it != txt.cend(); ++it)
        if (it.value()->isVisibleTo(this) && BackColor(it.value()) == ctx().glColErrore) {
            d.inErrore = it.key();
            break;
        }
    return d;
}

void frmDatiFatXml::ComStampa_Click() {
    if (ctx().giStaAtt == 1) {
        frmMsgCom::msgCom(QStringLiteral("Non è possibile lanciare più di una stampa alla volta"),
                          QStringLiteral("&Ok"), std::nullopt, std::nullopt, kTitoloDatiFatXml);
        return;
    }
    DatiRunDatiFat d = Dati();
    const EsitoControllo esito = ControllaDatiElab(d);
    txt[80]->setText(d.cfDichiarante);
    if (!esito.ok) {
        if (esito.focus > 0 && txt.contains(esito.focus) && txt[esito.focus]->isVisible()) txt[esito.focus]->setFocus();
        return;
    }
    ultimoEsito_.reset();
    inElaborazione_ = true;
    const auto fine = qScopeGuard([this] { inElaborazione_ = false; });
    // Each run names its automatic PDFs afresh; within it no two collide.
    if (mgOpzSta) mgOpzSta->NuovaSeriePdf();
    CursoreAttesa(1);
    if (d.tipoCom == TipoCom::Cancellazione) {
        // A cancellation stores no setting.
        CancXml(d, {.dirInvio = msDirInvio, .codFiscDitta = mrDichiarante.CodiceFiscale});
    } else {
        if (!mgStDatiFat) mgStDatiFat = std::make_unique<stDatiFat>();
        OpzioniElabDatiFat o;
        o.fileXml = !optTipoFile[0]->isChecked();
        o.ordin = optOrdin[1]->isChecked() ? 1 : 0;
        o.estraiAnag = CheEstraiAnag->isChecked();
        o.dirInvio = msDirInvio;
        o.nomeFile = txt[60]->text();
        o.dichiarante = mrDichiarante;
        o.opzSta = mgOpzSta;
        o.titolo = windowTitle();
        ElabDatiFat elab(*mgStDatiFat, lock_);
        ultimoEsito_ = elab.Esegui(d, o);
        if (elab.StampaVideo()) mbStaVideo = true;
        // Only a run that reached its end keeps the folder as the new default;
        // a stopped or failed one leaves the settings as they were.
        const bool finita = ultimoEsito_ == EsitoElabDatiFat::Terminato || ultimoEsito_ == EsitoElabDatiFat::NessunDato;
        if (finita && !msDirNuova.trimmed().isEmpty())
            ScriviValIni(QStringLiteral("Base"), QStringLiteral("DirDatiFat"), msDirNuova);
    }
    CursoreAttesa(0);
}

bool frmDatiFatXml::ElaborazioneAttiva() const { return inElaborazione_ || (mgStDatiFat && mgStDatiFat->obStaAtt); }

void frmDatiFatXml::VisStaAttuale() {
    if (mgOpzSta) labStaAttuale->setText(mgOpzSta->DescrStampante(ggStampanti().NomeCorrente()));
}

void frmDatiFatXml::cmdStaVid_Click() {
    if (!mgOpzSta) mgOpzSta = std::make_shared<OpzSta>();
    StampaVideoDaForm(*this, *mgOpzSta, true);
}

void frmDatiFatXml::comSceStam_Click() {
    if (!mgOpzSta) mgOpzSta = std::make_shared<OpzSta>();
    FrmSceltaStam::Apri(mgOpzSta);
    VisStaAttuale();
}

void frmDatiFatXml::ComOpz_Click() {
    ArgomentiXmlDatiFat a;
    a.cartella = msDirInvio;
    a.codFisc = mrDichiarante.CodiceFiscale.trimmed();
    a.annoCom = Intero(txt[10]->text());
    a.numComun = Intero(txt[20]->text());
    a.codInvio = QStringLiteral("1");
    RichiestaFile r;
    r.titolo = QStringLiteral("Nome del file");
    r.cartella = msDirInvio;
    r.nomeFile = NomeSoloDatiFat(a);
    r.filtri = {QStringLiteral("XML (*.xml)")};
    r.salvataggio = true;
    const auto scelto = ctx().ggDialoghi->sceltaFile(r);
    // A dialog given up changes nothing.
    if (!scelto || scelto->trimmed().isEmpty()) return;
    const int sep = std::max(scelto->lastIndexOf(QLatin1Char('/')), scelto->lastIndexOf(QLatin1Char('\\')));
    if (sep < 0) return;
    const QString cartella = scelto->left(sep + 1);
    if (cartella.compare(msDirInvio, Qt::CaseInsensitive) != 0) msDirNuova = cartella;
    msDirInvio = cartella;
    LabDirInvio->setText(msDirInvio);
}

void frmDatiFatXml::optTipoCom_Click() {
    const bool canc = optTipoCom[1]->isChecked();
    fraAziende->setVisible(!canc);
    // A cancellation works on the current company and its declarant; when the
    // boxes already name it, the declarant the user typed stays.
    const QString corrente =
        canc && ctx().ggMenuClient ? ctx().ggMenuClient->LeggiValoreSess(QStringLiteral("idazienda")).testo() : QString();
    const auto giaCorrente = [&](int i) { return txt[i]->text().trimmed().compare(corrente, Qt::CaseInsensitive) == 0; };
    if (canc && !(giaCorrente(30) && giaCorrente(40))) {
        txt[30]->setText(corrente);
        txt[40]->setText(corrente);
        DecodAzienda(30, false);
        Lab[40]->setText(Lab[30]->text());
        DichiaranteDaAziende();
    }
    AbilDisabCanc(canc);
}

void frmDatiFatXml::optTipoElab_Click(int Index) {
    FraOrd->setVisible(Index == 2);
    if (Index != 2) optOrdin[0]->setChecked(true);
}

void frmDatiFatXml::OptTipoSta_Click() {
    const bool rielabora = OptTipoSta[2]->isChecked();
    label1[100]->setVisible(rielabora);
    txt[100]->setVisible(rielabora);
}

void frmDatiFatXml::AbilDisabCanc(bool pbAbilDisab) {
    // A box emptied here loses its mark too: an empty box is no bad value.
    const auto svuota = [this](int i) {
        txt[i]->clear();
        ImpostaBackColor(txt[i], ctx().glColNormale);
    };
    for (int i : {110, 115}) {
        label1[i]->setVisible(pbAbilDisab);
        txt[i]->setVisible(pbAbilDisab);
        if (!pbAbilDisab) svuota(i);
    }
    fraSingola->setVisible(pbAbilDisab);
    if (!pbAbilDisab) {
        svuota(120);
        svuota(130);
    }
    label1[140]->setVisible(pbAbilDisab);
    txt[140]->setVisible(pbAbilDisab);
    label1[100]->setVisible(!pbAbilDisab);
    txt[100]->setVisible(!pbAbilDisab);
}

void frmDatiFatXml::ComHlp_Click(int Index) {
    int tasto = Tasto::F2;
    txt_KeyUp(Index, tasto, 0);
}

void frmDatiFatXml::DecodAzienda(int indice, bool verifica) {
    DecodValore(QStringLiteral("Aziende"), QStringLiteral("IdAzienda"), txt[indice], Lab[indice], verifica ? 0 : -1, 0,
                TipoDato::Testo, QStringLiteral("Descrizione"));
}

void frmDatiFatXml::DichiaranteDaAziende() {
    const bool unica = txt[30]->text().compare(txt[40]->text(), Qt::CaseInsensitive) == 0;
    FraDichiarante->setEnabled(unica);
    if (!unica) {
        txt[80]->clear();
        txt[90]->clear();
        if (optTipoCom[1]->isChecked()) {
            optTipoCom[0]->setChecked(true);
            fraAziende->setVisible(true);
            AbilDisabCanc(false);
        }
        return;
    }
    const QString corrente =
        ctx().ggMenuClient ? ctx().ggMenuClient->LeggiValoreSess(QStringLiteral("idazienda")).testo() : QString();
    if (txt[30]->text().compare(corrente, Qt::CaseInsensitive) != 0) {
        QString cf, carica;
        LeggiDichiarante({}, txt[30]->text(), cf, carica);
        txt[80]->setText(cf.trimmed());
        txt[90]->setText(carica.trimmed());
    } else {
        txt[80]->setText(mrDichiarante.CFDichiarante.trimmed().isEmpty() ? mrDichiarante.CodiceFiscaleSocieta.trimmed()
                                                                          : mrDichiarante.CFDichiarante.trimmed());
        txt[90]->setText(mrDichiarante.CodiceCaricaDichiarante.trimmed());
    }
}

void frmDatiFatXml::Segna(int indice, const QString& messaggio) {
    ImpostaBackColor(txt[indice], ctx().glColErrore);
    frmMsgCom::msgCom(messaggio);
}

void frmDatiFatXml::txt_GotFocus(int Index) {
    SelezTestoAttivo();
    QLineEdit* e = txt.value(Index);
    if (!e) return;
    e->setProperty("Tag", e->text());
    ColoreFocus(e);
}

void frmDatiFatXml::txt_LostFocus(int Index) {
    QLineEdit* e = txt.value(Index);
    if (!e) return;
    ColorePerdeFocus(e);
    const bool cambiato = e->text().compare(e->property("Tag").toString(), Qt::CaseInsensitive) != 0;
    switch (Index) {
    case 10: case 20: case 90: case 100: case 110: case 120: case 130:
        ImpostaBackColor(e, ctx().glColNormale);
        e->setText(e->text().trimmed());
        if (!cambiato) break;
        if (Index == 10 || Index == 20) {
            if (auto err = RegolaAnnoNumero(Intero(txt[10]->text()), Intero(txt[20]->text())))
                Segna(err->indice, err->messaggio);
        } else if (Index == 90) {
            if (auto err = RegolaCodiceCarica(e->text())) Segna(err->indice, err->messaggio);
        } else if (Index == 100 || Index == 110) {
            if (auto err = RegolaNumeroInvio(Index, Intero(e->text()))) Segna(err->indice, err->messaggio);
        }
        break;
    case 30: case 40:
        // The same id with blanks around it is no change of company.
        e->setText(e->text().trimmed());
        if (e->text().compare(e->property("Tag").toString().trimmed(), Qt::CaseInsensitive) == 0) break;
        DecodAzienda(Index, false);
        DichiaranteDaAziende();
        break;
    default:
        break;
    }
}

void frmDatiFatXml::txt_KeyUp(int, int&, int) {}
