#include "print/anteprima/FrmVStampa.h"

#include "components/platform/Schermo.h"

#include "common/form/Aiuto.h"
#include "common/form/Scala.h"
#include "common/form/Tastiera.h"
#include "common/form/UtilForm.h"
#include "components/core/ErroreRun.h"
#include "components/platform/Schermo.h"
#include "components/platform/ServizioDialoghi.h"
#include "components/stampa/FormStampaInCorso.h"
#include "components/stampa/Stampa.h"
#include "contesto/Contesto.h"
#include "contesto/ServizioOspite.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QImageReader>
#include <QScrollBar>
#include <QStyle>
#include <QTime>
#include <QVBoxLayout>

namespace {
QPointer<FrmVStampa>& istanza() {
    static QPointer<FrmVStampa> f;
    return f;
}
const QString Terminata = QStringLiteral("Stampa Terminata");
const QString Interrotta = QStringLiteral("Stampa Interrotta");

int msg(const QString& testo, int stile, const QString& titolo) {
    if (!ctx().ggDialoghi) return RispostaMsg::Ok;
    return ctx().ggDialoghi->msgBox(testo, stile, titolo);
}
}  // namespace

FrmVStampa* FrmVStampa::Istanza() {
    if (!istanza()) istanza() = new FrmVStampa;
    return istanza();
}

bool FrmVStampa::EsisteIstanza() { return !istanza().isNull(); }

FrmVStampa::FrmVStampa() {
    setWindowTitle(QStringLiteral("Visualizzazione Stampa"));
    auto* pannello = new QWidget(this);
    auto* riga = new QHBoxLayout(pannello);
    riga->setContentsMargins(4, 4, 4, 4);
    ComEsci = new QPushButton(QStringLiteral("&Esci"), pannello);
    riga->addWidget(ComEsci);
    const QStyle::StandardPixmap icone[5] = {QStyle::SP_CustomBase, QStyle::SP_MediaSkipBackward,
                                             QStyle::SP_MediaSeekBackward, QStyle::SP_MediaSeekForward,
                                             QStyle::SP_MediaSkipForward};
    const char* suggerimenti[5] = {"", "Prima pagina", "Pagina precedente", "Pagina successiva", "Ultima pagina"};
    for (int i = 1; i <= 4; ++i) {
        imaMuovi[i] = new QToolButton(pannello);
        imaMuovi[i]->setIcon(style()->standardIcon(icone[i]));
        imaMuovi[i]->setToolTip(QString::fromUtf8(suggerimenti[i]));
        imaMuovi[i]->setIconSize(QSize(24, 24));
        connect(imaMuovi[i], &QToolButton::clicked, this, [this, i] { imaMuovi_Click(i); });
    }
    labPage = new QLabel(QStringLiteral("Pag.000"), pannello);
    LabMsg = new QLabel(pannello);
    riga->addWidget(imaMuovi[1]);
    riga->addWidget(imaMuovi[2]);
    riga->addWidget(labPage);
    riga->addWidget(imaMuovi[3]);
    riga->addWidget(imaMuovi[4]);
    riga->addWidget(LabMsg, 1);
    connect(ComEsci, &QPushButton::clicked, this, [this] { ComEsci_Click(); });

    PicPrinc = new QScrollArea(this);
    PicPrinc->setBackgroundRole(QPalette::Dark);
    PicSec = new QLabel;
    PicSec->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    PicPrinc->setWidget(PicSec);
    PicPrinc->setWidgetResizable(false);

    auto* colonna = new QVBoxLayout(this);
    colonna->setContentsMargins(0, 0, 0, 0);
    colonna->setSpacing(0);
    colonna->addWidget(pannello);
    colonna->addWidget(PicPrinc, 1);
    resize(900, 700);

    // Load
    bEsci_ = false;
    obAttivo = true;
    for (int i = 1; i <= 4; ++i) imaMuovi[i]->setEnabled(false);
    SistImgFrecce();
    LabMsg->clear();
    osRisVidKey = QStringLiteral("StaVid");
    double fattore = -2;  // from the settings, key StaVid
    RisVidForm(*this, 0, fattore);
}

void FrmVStampa::keyPressEvent(QKeyEvent* e) {
    int codice = CodiceTasto(*e);
    TastoHelp(codice, StatoMaiusc(*e), *this, -1);
    QWidget::keyPressEvent(e);
}

FrmVStampa::~FrmVStampa() = default;

QString FrmVStampa::TestoPagina(int pagina) {
    return QStringLiteral("Pag.") + QStringLiteral("%1").arg(pagina, 3, 10, QLatin1Char('0'));
}

QString FrmVStampa::FilePagina(int pagina) const {
    return radiceFile_ + QLatin1Char('.') + QStringLiteral("%1").arg(pagina, 3, 10, QLatin1Char('0'));
}

void FrmVStampa::MostraAnteprima(Stampa* st) {
    // Started from a modal dialog, the preview must be modal itself, above
    // it: a plain window would take no click while the dialog is open.
    QWidget* modale = QApplication::activeModalWidget();
    const Qt::WindowModality voluta = modale && modale != this ? Qt::ApplicationModal : Qt::NonModal;
    if (windowModality() != voluta) {
        if (isVisible()) hide();
        setWindowModality(voluta);
    }
    show();
    // The print-in-progress box, shown before the preview, stays in front of it.
    if (auto* inCorso = st ? dynamic_cast<QWidget*>(st->ofrmStampaInCorso) : nullptr; inCorso && inCorso->isVisible())
        davantiA(*inCorso, *this);
    ogStampa(st);
}

// The print object's own page-storage flag decides the arrows: it is the one
// a memory failure switches off.
void FrmVStampa::PaginaPronta(const QImage& pagina, bool ultima, bool /*memPag*/) {
    ImpImmaginePagina(pagina);
    if (ultima) {
        LabMsg->setText(Terminata);
        stampaFinita_ = true;
    }
    aggiornaFrecce();
}

void FrmVStampa::FineAnteprima(bool interrotta) {
    stampaFinita_ = true;
    if (interrotta && LabMsg->text().compare(Terminata, Qt::CaseInsensitive) != 0) {
        LabMsg->setText(Interrotta);
        // A page asked for and never drawn is no page: the last one drawn is the last.
        if (Stampa* st = stampa_; st && immagine_.isNull() && st->LeggiUltPag() > 1) {
            const int ultima = st->LeggiUltPag() - 1;
            st->ImpUltPag(ultima);
            st->ImpPagVis(ultima);
            if (st->LeggiMemPag() && st->LeggiUltPagMem() >= ultima)
                mostraPagina(ultima);
            else
                labPage->setText(TestoPagina(ultima));
        }
    }
    aggiornaFrecce();
}

// An arrow is lit when pressing it moves to another page: the earlier ones
// and the stored later ones need page storage; next asks for a new page only
// while the report has further pages.
void FrmVStampa::aggiornaFrecce() {
    std::array<bool, 5> accese{};
    if (Stampa* st = stampa_; st && !immagine_.isNull()) {
        const int vis = st->LeggiPagVis();
        const int ult = st->LeggiUltPag();
        const bool mem = st->LeggiMemPag();
        const bool finita = stampaFinita_ || LabMsg->text().compare(Terminata, Qt::CaseInsensitive) == 0;
        const int prima = iPaginaDa_ > 0 ? iPaginaDa_ : 1;
        accese[1] = mem && vis >= iPaginaDa_ && vis != prima;
        accese[2] = mem && vis > qMax(1, iPaginaDa_);
        accese[3] = (mem && vis < ult) || (vis >= ult && !finita);
        accese[4] = mem && vis != ult;
    }
    for (int i = 1; i <= 4; ++i) imaMuovi[i]->setEnabled(accese[i]);
    SistImgFrecce();
}

// The user stopped the print from the print-in-progress box: a wait for the
// next page ends, since no page will come.
bool FrmVStampa::stampaFermata() const {
    return !stampaFinita_ && stampa_ && stampa_->LeggiInterruzione() != 0;
}

void FrmVStampa::ogStampa(Stampa* st) {
    stampa_ = st;
    if (!st) return;
    radiceFile_ = st->LeggiRadiceFile() + st->LeggiRadiceAgg() + QTime::currentTime().toString(QStringLiteral("mmss"));
    st->ImpUltPagMem(0);
    st->ImpPagVis(1);
    st->ImpUltPag(1);
    labPage->setText(TestoPagina(st->LeggiPagVis()));
    iPaginaDa_ = 0;
    stampaFinita_ = false;
    if (st->ogOpzSta) {
        const double da = st->ogOpzSta->LeggiOpzione(QStringLiteral("PaginaDa")).numero();
        iPaginaDa_ = da > 0 && da < 1e9 ? static_cast<int>(da) : 0;
    }
    LabMsg->clear();
    aggiornaFrecce();  // no page drawn yet: all grey
}

void FrmVStampa::Continua() {
    bProsegui_ = false;
    inAttesa_ = true;
    AttesaUtente attesa;
    // The events handled here may unload the form and delete it.
    QPointer<FrmVStampa> vivo(this);
    if (attesaScriptata) {
        attesaScriptata(*this);
    } else {
        while (vivo && !bEsci_ && !bProsegui_ && obAttivo && !stampaFermata())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents | QEventLoop::AllEvents);
    }
    if (!vivo) return;
    inAttesa_ = false;
    bEsci_ = false;
}

void FrmVStampa::SistImgFrecce() {
    // Qt draws a disabled button greyed; nothing else to swap.
    for (int i = 1; i <= 4; ++i) imaMuovi[i]->update();
}

void FrmVStampa::ImpImmaginePagina(const QImage& img) {
    immagine_ = img;
    PicSec->setPixmap(QPixmap::fromImage(img));
    PicSec->resize(img.size());
}

void FrmVStampa::SvuotaPagina() {
    immagine_ = QImage();
    PicSec->clear();
}

bool FrmVStampa::salvaPagina(int pagina) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool ok = !immagine_.isNull() && immagine_.save(FilePagina(pagina), "PNG");
    QApplication::restoreOverrideCursor();
    return ok;
}

void FrmVStampa::erroreMemoria() {
    msg(QStringLiteral("Non c'è abbastanza memoria per memorizzare le pagine:\r\nProvare con una dimensione di "
                       "caratteri minore.\r\nMEMORIZZAZIONE DISABILITATA"),
        StileMsg::SoloOk, ctx().gsTitoloApp);
    if (!stampa_) return;
    stampa_->ImpMemPag(false);
    stampa_->ImpPagVis(stampa_->LeggiUltPag());
    labPage->setText(TestoPagina(stampa_->LeggiPagVis()));
    aggiornaFrecce();  // without storage first, previous and last go grey
}

void FrmVStampa::mostraPagina(int pagina) {
    labPage->setText(TestoPagina(pagina));
    QApplication::setOverrideCursor(Qt::WaitCursor);
    QImageReader lettore(FilePagina(pagina), "PNG");
    const QImage img = lettore.read();
    QApplication::restoreOverrideCursor();
    if (img.isNull()) {
        msg(QStringLiteral("Errore File non trovato in gestione pagine a video ( 53)"), StileMsg::SoloOk,
            ctx().gsTitoloApp);
        return;
    }
    ImpImmaginePagina(img);
}

void FrmVStampa::imaMuovi_Click(int indice) {
    Stampa* st = stampa_;
    // While a page is still being drawn (the stop button lets events through)
    // the arrows wait for it: the page on screen is not finished yet.
    if (!st || !inAttesa_) return;
    PicPrinc->horizontalScrollBar()->setValue(0);
    PicPrinc->verticalScrollBar()->setValue(0);
    const int vis = st->LeggiPagVis();
    if (vis == st->LeggiUltPag() && vis > st->LeggiUltPagMem() && st->LeggiMemPag()) {
        if (!salvaPagina(vis)) {
            erroreMemoria();
            return;
        }
        st->ImpUltPagMem(vis);
    }
    const bool mem = st->LeggiMemPag();
    switch (indice) {
    case 1:
        if (mem && vis >= iPaginaDa_) {
            st->ImpPagVis(iPaginaDa_ > 0 ? iPaginaDa_ : 1);
            mostraPagina(st->LeggiPagVis());
        }
        break;
    case 2:
        if (vis > qMax(1, iPaginaDa_) && mem) {
            st->ImpPagVis(vis - 1);
            mostraPagina(vis - 1);
        }
        break;
    case 3: {
        const int nuova = vis + 1;
        if (nuova <= st->LeggiUltPag() && mem) {
            st->ImpPagVis(nuova);
            mostraPagina(nuova);
        } else if (nuova > st->LeggiUltPag() && !stampaFinita_ &&
                   LabMsg->text().compare(Terminata, Qt::CaseInsensitive) != 0) {
            st->ImpPagVis(nuova);
            labPage->setText(TestoPagina(nuova));
            st->ImpUltPag(nuova);
            SvuotaPagina();
            bProsegui_ = true;
        }
        break;
    }
    case 4:
        if (mem) {
            st->ImpPagVis(st->LeggiUltPag());
            mostraPagina(st->LeggiPagVis());
        }
        break;
    default:
        break;
    }
    // While a page asked for is drawn the arrows keep their state (a press is
    // ignored until it is on screen): greying them would take the keyboard
    // focus off the next arrow at every page.
    if (!bProsegui_) aggiornaFrecce();
}

void FrmVStampa::ComEsci_Click() {
    if (stampa_) stampa_->ImpUscita(true);
    if (!attesaScriptata) {
        QPointer<FrmVStampa> vivo(this);
        QCoreApplication::processEvents();
        if (!vivo) return;
    }
    bEsci_ = true;
    if (stampa_) stampa_->ImpInterruzione(2);
    if (ctx().giStaAtt == 0) Scarica();
}

bool FrmVStampa::Scarica() {
    if (scaricata_) return true;
    if (ctx().giStaAtt == 1) {
        msg(QStringLiteral("Non si puo' uscire\r\nStampa ancora attiva"), StileMsg::SoloOk | StileMsg::Critico,
            QStringLiteral("Visualizzazione Stampe"));
        return false;
    }
    scaricata_ = true;
    obAttivo = false;
    bEsci_ = true;  // a pending wait ends
    try {
        cancellaPagine();
    } catch (const ErroreRun& e) {
        // The rest of the closing goes on: a print object left counting pages
        // and a progress box left on screen would outlive the preview.
        msg(QStringLiteral("Errore %1 in chiusura stampa a video ( %2)").arg(e.descrizione()).arg(e.numero()),
            StileMsg::SoloOk, ctx().gsTitoloApp);
    }
    if (Stampa* st = stampa_) {
        st->ImpUltPagMem(0);
        st->ImpPagVis(1);
        st->ImpUltPag(1);
        st->ImpUscita(true);
        st->ImpInterruzione(1);
        if (st->ofrmStampaInCorso) st->ofrmStampaInCorso->ScaricaInCorso();
        st->ofrmStampaInCorso = nullptr;
    }
    stampa_ = nullptr;
    hide();
    if (istanza() == this) istanza() = nullptr;
    deleteLater();
    if (ctx().ggOspite) ctx().ggOspite->ChiudiRichiesto(0);
    return true;
}

// Every entry named after the base goes; one that cannot go (a folder, a file
// the system keeps) is left where it is and named in the error, after the
// others have gone. An entry already gone is no failure.
void FrmVStampa::cancellaPagine() {
    if (radiceFile_.isEmpty()) return;
    const QFileInfo base(radiceFile_);
    const QDir cartella(base.absolutePath());
    QStringList rimasti;
    const auto voci = cartella.entryInfoList({base.fileName() + QStringLiteral(".*")},
                                             QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
    for (const QFileInfo& voce : voci) {
        const QString nome = voce.absoluteFilePath();
        if (!QFile::remove(nome) && QFileInfo::exists(nome))
            rimasti << QLatin1Char('"') + QDir::toNativeSeparators(nome) + QLatin1Char('"');
    }
    if (rimasti.size() == 1)
        throw ErroreRun(75, QStringLiteral("Impossibile cancellare il file di pagina ") + rimasti.first(),
                        QStringLiteral("FrmVStampa"));
    if (!rimasti.isEmpty())
        throw ErroreRun(75, QStringLiteral("Impossibile cancellare i file di pagina ") + rimasti.join(QStringLiteral(", ")),
                        QStringLiteral("FrmVStampa"));
}

void FrmVStampa::closeEvent(QCloseEvent* e) {
    if (!scaricata_ && stampaFinita_ && inAttesa_ && stampa_) {
        // The print has ended and waits only for the user to leave: closing
        // the window leaves, and the print object unloads the form.
        e->ignore();
        stampa_->ImpUscita(true);
        bEsci_ = true;
        return;
    }
    if (scaricata_ || Scarica())
        e->accept();
    else
        e->ignore();
}
