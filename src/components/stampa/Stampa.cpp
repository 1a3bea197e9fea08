#include "components/stampa/Stampa.h"

#include "components/core/ErroreRun.h"
#include "components/platform/ServizioDialoghi.h"
#include "components/posta/ServizioPosta.h"
#include "components/stampa/FormStampaInCorso.h"
#include "components/stampa/RetroPittore.h"
#include "components/stampa/UscitaRighe.h"
#include "components/util/Percorsi.h"
#include "components/core/ContestoComponenti.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QImageReader>
#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>
#include <QPrinterInfo>
#include <QStandardPaths>

bool EDriverPdf(const QString& nome) {
    return nome.compare(QLatin1String("PDFCreator"), Qt::CaseInsensitive) == 0 ||
           nome.compare(QLatin1String("PDF995"), Qt::CaseInsensitive) == 0;
}

// --- Owner ---

void ChiamanteStampa::oiStaAtt(int valore) { ctxComponenti().giStaAtt = valore; }
int ChiamanteStampa::oiStaAtt() const { return ctxComponenti().giStaAtt; }

namespace {
const QString MarcatoreColonna = QStringLiteral("§ç^&£");

void mostra(const QString& testo) {
    if (ctxComponenti().ggDialoghi) ctxComponenti().ggDialoghi->msgBox(testo, StileMsg::SoloOk | StileMsg::Critico, QStringLiteral("Stampa"));
}
}  // namespace

// --- Print object ---

Stampa::Stampa() : registro_(RegistroStampa::Installato()) {}

Stampa::~Stampa() {
    // A document that nobody ended: close its devices so that its file is
    // whole, and free the print-in-progress flag.
    if (avviato_ && !finito_) {
        try {
            if (retro_) retro_->Fine();
            if (uscita2_) uscita2_->Chiudi(false);
        } catch (...) {
        }
        try {
            chiudiProprietario();
        } catch (...) {
        }
        chiudiInCorso();
    }
}

void Stampa::ImpCartellaTemp(const QString& cartella) {
    cartellaTemp_ = cartella;
    radiceFile_ = cartella.isEmpty() ? QStringLiteral("VStampa") : QDir(cartella).filePath(QStringLiteral("VStampa"));
}

QString Stampa::LeggiRadiceAgg() const {
    return QString::number(QCoreApplication::applicationPid()) + QLatin1Char('_');
}

void Stampa::ImpParametro(const QString& nome, int, const Valore& valore) { parametri_.insert(nome.toLower(), valore); }
Valore Stampa::LeggiParametro(const QString& nome) const { return parametri_.value(nome.toLower()); }

bool Stampa::LanciaComandoSta(const QString& nome, int, Valore& risultato) {
    if (nome.compare(QLatin1String("AttivaPdfAutom"), Qt::CaseInsensitive) != 0) {
        risultato = Valore(false);
        return false;
    }
    const QString stampante = nomeStampante();
    pdf_ = ogOpzSta && ogOpzSta->oiStaVid == OpzSta::Stampante && ogOpzSta->LeggiOpzione(QStringLiteral("PdfAutomAbil")).booleano() &&
           EDriverPdf(stampante);
    if (pdf_) {
        QString nomeFile = ogOpzSta->LeggiOpzione(QStringLiteral("PdfNomeFile")).testo().trimmed();
        if (nomeFile.isEmpty())
            nomeFile = QStringLiteral("Stampa_") + QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd_hhmmss"));
        if (!nomeFile.endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive)) nomeFile += QStringLiteral(".pdf");
        nomeFile = PercorsoLocale(nomeFile);
        if (QFileInfo(nomeFile).isRelative()) {
            QString cartella = PercorsoLocale(ogOpzSta->PathDefault.trimmed());
            if (cartella.isEmpty()) cartella = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
            if (cartella.isEmpty()) cartella = QDir::homePath();
            nomeFile = QDir(cartella).filePath(nomeFile);
        }
        filePdf_ = ogOpzSta->RiservaNomePdf(nomeFile);
    }
    risultato = Valore(pdf_);
    return pdf_;
}

void Stampa::ImpInterruzione(int codice) {
    interruzione_ = codice;
    if (codice == 0) {
        annullata_ = false;
        uscita_ = false;
    } else {
        annullata_ = true;
    }
}

bool Stampa::LeggiAnnullata() {
    if (!annullata_ && ofrmStampaInCorso) elaboraEventi();
    return annullata_;
}

void Stampa::elaboraEventi() {
    // The stop button of the progress box acts only when events pass.
    if (QCoreApplication::instance()) QCoreApplication::processEvents();
}

// The options' printer, else the one the job made current.
QString Stampa::nomeStampante() const {
    return ogOpzSta && !ogOpzSta->osNomeStampante.isEmpty() ? ogOpzSta->osNomeStampante : ogPrtStam;
}

int Stampa::percorso() const { return ogOpzSta ? ogOpzSta->oiStaVid : OpzSta::Stampante; }

bool Stampa::percorsoNoto() const { return percorso() >= OpzSta::Stampante && percorso() <= OpzSta::LarghezzaFissa; }

int Stampa::PercorsoEffettivo() const {
    // The PDF of an earlier job of this object does not outlive options that no longer ask for it.
    const bool pdf = pdf_ && ogOpzSta && percorso() == OpzSta::Stampante &&
                     ogOpzSta->LeggiOpzione(QStringLiteral("PdfAutomAbil")).booleano();
    return pdf ? PercorsoPdf : percorso();
}

bool Stampa::VerificaAvvio(int, bool& nonAvviare) {
    nonAvviare = false;
    const int p = PercorsoEffettivo();
    if (!percorsoNoto()) {
        mostra(QStringLiteral("Modalità di stampa %1 non prevista.\r\nScegliere la destinazione nelle opzioni di stampa.")
                   .arg(percorso()));
        nonAvviare = true;
    } else if (ogOpzSta && ogOpzSta->ModoEscluso(percorso())) {
        // A route the print cannot take (saved options may still name it).
        mostra(QStringLiteral("Questa stampa non può essere inviata alla destinazione scelta.\r\nScegliere un'altra "
                              "destinazione nelle opzioni di stampa."));
        nonAvviare = true;
    } else if (p == OpzSta::Stampante && !retroImposto_ && !registro_) {
        const QString nome = nomeStampante();
        const QPrinterInfo info = nome.isEmpty() ? QPrinterInfo::defaultPrinter() : QPrinterInfo::printerInfo(nome);
        if (info.isNull()) {
            mostra(nome.isEmpty()
                       ? QStringLiteral("Nessuna stampante disponibile.\r\nScegliere una stampante nelle opzioni di stampa "
                                        "oppure stampare a video o su file.")
                       : QStringLiteral("La stampante \"%1\" non è disponibile.\r\nScegliere un'altra stampante nelle "
                                        "opzioni di stampa oppure stampare a video o su file.")
                             .arg(nome));
            nonAvviare = true;
        }
    } else if (p == OpzSta::File && ogOpzSta->FileName.trimmed().isEmpty()) {
        mostra(QStringLiteral("Manca il nome del file di stampa.\r\nIndicarlo nelle opzioni di stampa."));
        nonAvviare = true;
    } else if (p == OpzSta::LarghezzaFissa && ogOpzSta->FisFileName.trimmed().isEmpty()) {
        mostra(QStringLiteral("Manca il file della stampa a larghezza fissa.\r\nIndicarlo nelle opzioni di stampa."));
        nonAvviare = true;
    }
    return nonAvviare;
}

void Stampa::ImpRetro(std::unique_ptr<RetroGrafico> retro) {
    retro_ = std::move(retro);
    retroImposto_ = retro_ != nullptr;
}

double Stampa::LeggiLargPag() const {
    return pagina_.width() - bandaNonStampabile_.left() - bandaNonStampabile_.right() - dx_;
}
double Stampa::LeggiAltPag() const {
    return pagina_.height() - bandaNonStampabile_.top() - bandaNonStampabile_.bottom() - dy_;
}
QPointF Stampa::origine() const {
    return QPointF(bandaNonStampabile_.left() + dx_, bandaNonStampabile_.top() + dy_);
}

// --- Fonts ---

void Stampa::ImpFont(const FontSta& holder, const QString& slot) {
    fonts_.insert(slot.toLower(), std::make_shared<FontStd>(holder.FontCorrente()));
}

FontSta Stampa::LeggiFont(const QString& slot) const {
    const auto f = fonts_.value(slot.toLower());
    return f ? FontSta(f, true) : FontSta(std::make_shared<FontStd>(), false);
}

bool Stampa::EsisteFont(const QString& slot) const { return fonts_.contains(slot.toLower()); }

void Stampa::UsaFont(const QString& slot) { slotUsato_ = slot; }

FontStd Stampa::fontUsato() const {
    auto f = fonts_.value(slotUsato_.toLower());
    if (!f) f = fonts_.value(fontCampo_.toLower());
    return f ? *f : FontStd{};
}

double Stampa::AltezzaRiga() const {
    if (percorso() == OpzSta::LarghezzaFissa) return 1;
    const FontStd f = fontUsato();
    return (f.Size > 0 ? f.Size : 8) * 25.4 / 72.0 * 1.15 + interl_;
}

double Stampa::LarghezzaTesto(const QString& testo) const {
    if (percorso() == OpzSta::LarghezzaFissa) return testo.size();
    const FontStd f = fontUsato();
    const double punti = f.Size > 0 ? f.Size : 8;
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return testo.size() * punti * 0.5 * 25.4 / 72.0;
    // Measured at ten times the size on a 72-dpi reference, so that hinting
    // at small sizes does not skew the width.
    static QImage riferimento = [] {
        QImage i(1, 1, QImage::Format_RGB32);
        i.setDotsPerMeterX(2835);
        i.setDotsPerMeterY(2835);
        return i;
    }();
    QFont q(FamigliaInstallata(f.Name));
    q.setPointSizeF(punti * 10);
    q.setBold(f.Bold);
    q.setItalic(f.Italic);
    const QFontMetricsF m(q, &riferimento);
    return m.horizontalAdvance(testo) / 10.0 * 25.4 / 72.0;
}

// --- Recording ---

VoceStampa Stampa::voce(const QString& op) const {
    VoceStampa v;
    v.operazione = op;
    v.pagina = numPag_;
    v.slot = slotUsato_;
    v.sinistra = sinistra_;
    v.destra = destra_;
    v.vert = vert_;
    v.allineamento = allineamento_;
    return v;
}

void Stampa::registra(VoceStampa v) {
    if (registro_) registro_->voci.append(std::move(v));
}

// --- Texts ---

void Stampa::ImpAllineamento(const QString& a) {
    const QString u = a.trimmed().toUpper();
    allineamento_ = (u == QLatin1String("D") || u == QLatin1String("C")) ? u : QStringLiteral("S");
}

QRectF Stampa::scatola() const {
    const double sin = qMax(sinistra_, mrSin_);
    double des = destra_;
    if (des <= 0 || des <= sin) des = LeggiLargPag() - mrDes_;
    if (des < sin) des = sin;
    return QRectF(sin, vert_, des - sin, AltezzaRiga());
}

void Stampa::scriviCampo(double sinMm, double desMm, int car0, int car, const QString& testo, bool colonna) {
    const int p = percorso();
    if (p == OpzSta::File || p == OpzSta::LarghezzaFissa) {
        if (uscita2_) uscita2_->Campo(testo, car0, car, allineamento_, colonna);
        return;
    }
    if (!retro_ || !avviato_ || !paginaAperta_) return;
    const QRectF box(sinMm, vert_, qMax(0.0, desMm - sinMm), AltezzaRiga());
    altezzaRigaCorrente_ = qMax(altezzaRigaCorrente_, box.height());
    retro_->Testo(box.translated(origine()), allineamento_, fontUsato(), UscitaRighe::SenzaMarcatore(testo));
}

void Stampa::StampaTesto(double larghezza, const QString& testo, bool) {
    if (annullata_ && avviato_) return;
    const QRectF b = scatola();
    VoceStampa v = voce(QStringLiteral("StampaTesto"));
    v.scatola = b;
    v.testo = testo;
    v.larghezza = larghezza;
    registra(v);
    scriviCampo(b.left(), b.right(), 0, qRound(larghezza), testo, false);
}

void Stampa::NuovaRiga() {
    VoceStampa v = voce(QStringLiteral("NuovaRiga"));
    registra(v);
    const int p = percorso();
    if ((p == OpzSta::File || p == OpzSta::LarghezzaFissa) && uscita2_) {
        uscita2_->FineRiga();
        vert_ += 1;
        return;
    }
    vert_ += qMax(altezzaRigaCorrente_, AltezzaRiga());
    altezzaRigaCorrente_ = 0;
}

// --- Columns ---

void Stampa::AzzeraColonne() { colonne_.clear(); }

int Stampa::DefColonna(const QString& testoLarghezza, int caratteri, const QString& segno) {
    const bool nuovoGruppo = colonne_.isEmpty() || segno.compare(QLatin1String("P"), Qt::CaseInsensitive) == 0;
    Colonna c;
    const double spazio = LarghezzaTesto(QStringLiteral(" "));
    c.sin = nuovoGruppo ? mrSin_ : colonne_.last().des + spazio;
    c.des = c.sin + LarghezzaTesto(testoLarghezza);
    c.car = caratteri > 0 ? caratteri : testoLarghezza.size();
    c.car0 = nuovoGruppo ? 0 : colonne_.last().car0 + colonne_.last().car + 1;
    colonne_.append(c);
    return colonne_.size();
}

double Stampa::LeggiSinColonna(int id) const {
    return id >= 1 && id <= colonne_.size() ? colonne_[id - 1].sin : 0;
}
double Stampa::LeggiDesColonna(int id) const {
    return id >= 1 && id <= colonne_.size() ? colonne_[id - 1].des : 0;
}

void Stampa::StampaColonna(int id, const Valore& valore, bool, int, const QString&, const QString&) {
    if (annullata_ && avviato_) return;
    if (id < 1 || id > colonne_.size())
        throw ErroreRun(9, QStringLiteral("Colonna di stampa %1 inesistente").arg(id), QStringLiteral("Stampa"));
    const Colonna& c = colonne_[id - 1];
    VoceStampa v = voce(QStringLiteral("StampaColonna"));
    v.colonna = id;
    v.sinistra = c.sin;
    v.destra = c.des;
    v.scatola = QRectF(c.sin, vert_, c.des - c.sin, AltezzaRiga());
    v.testo = valore.testo();
    registra(v);
    scriviCampo(c.sin, c.des, c.car0, c.car, v.testo, true);
}

bool Stampa::VerificaSpazio(int righe, const QString&, int) const {
    const int p = percorso();
    if (p == OpzSta::File) return false;
    if (p == OpzSta::LarghezzaFissa) {
        if (!ogOpzSta || ogOpzSta->FisRighe <= 0 || !uscita2_) return false;
        return uscita2_->RighePagina() + righe > ogOpzSta->FisRighe - ogOpzSta->FisMrBas;
    }
    return vert_ + righe * AltezzaRiga() > LeggiAltPag() - mrBas_;
}

// --- Fixed width ---

int Stampa::LeggiColonnaFis() const { return uscita2_ ? uscita2_->Colonna() : 0; }

void Stampa::RigaFis(int conta, const QString& riempimento, const QString& testo, bool) {
    VoceStampa v = voce(QStringLiteral("RigaFis"));
    v.larghezza = conta;
    v.testo = riempimento + testo;
    registra(v);
    if (!uscita2_ || percorso() != OpzSta::LarghezzaFissa) return;
    if (conta <= 0) {
        uscita2_->FineRiga();
        return;
    }
    const QChar c = riempimento.isEmpty() ? QLatin1Char(' ') : riempimento.at(0);
    uscita2_->Riempi(conta, c);
}

// --- Pictures ---

void Stampa::StampaImmagine(const QImage& immagine, double x, double y, double larghezza, double altezza) {
    if (annullata_ && avviato_) return;
    VoceStampa v = voce(QStringLiteral("StampaImmagine"));
    v.scatola = QRectF(x, y, larghezza, altezza);
    v.dimImmagine = immagine.size();
    registra(v);
    if (retro_ && avviato_ && paginaAperta_) retro_->Immagine(immagine, v.scatola.translated(origine()));
}

void Stampa::StampaImmagine(const QString& file, double x, double y, double larghezza, double altezza) {
    QImageReader lettore(PercorsoLocale(file));
    const QImage img = lettore.read();
    if (img.isNull())
        throw ErroreRun(53, QStringLiteral("Impossibile caricare l'immagine \"%1\"").arg(file), QStringLiteral("Stampa"));
    StampaImmagine(img, x, y, larghezza, altezza);
}

// --- Document ---

void Stampa::apriRetro() {
    if (retroImposto_) {
        retro_->Avvia(pagina_);
        return;
    }
    retro_.reset();
    if (registro_) return;  // recording only: no device
    const int p = PercorsoEffettivo();
    if (p == PercorsoPdf) {
        QDir().mkpath(QFileInfo(filePdf_).absolutePath());
        retro_ = RetroPittore::PerPdf(filePdf_);
        fileUscita_ = filePdf_;
    } else if (p == OpzSta::Stampante) {
        const QString nome = nomeStampante();
        retro_ = RetroPittore::PerStampante(nome);
    } else if (p == OpzSta::Video) {
        retro_ = RetroPittore::PerImmagini(96.0 * (fatt_ > 0 ? fatt_ : 1), !ofrmVStampa);
    }
    if (retro_) retro_->Avvia(pagina_);
}

bool Stampa::paginaNellIntervallo() const {
    // The page range of the options limits what reaches the printer or the PDF.
    const int p = PercorsoEffettivo();
    if (!ogOpzSta || (p != OpzSta::Stampante && p != PercorsoPdf)) return true;
    const double da = ogOpzSta->LeggiOpzione(QStringLiteral("PaginaDa")).numero();
    const double a = ogOpzSta->LeggiOpzione(QStringLiteral("PaginaA")).numero();
    return (da <= 0 || numPag_ >= da) && (a <= 0 || numPag_ <= a);
}

void Stampa::iniziaPaginaGrafica() {
    paginaAperta_ = retro_ && paginaNellIntervallo();
    if (paginaAperta_) retro_->IniziaPagina(numPag_);
}

void Stampa::chiudiPaginaGrafica(bool ultima) {
    if (!retro_ || !paginaAperta_) return;
    paginaAperta_ = false;
    retro_->FinePagina(numPag_);
    if (PercorsoEffettivo() != OpzSta::Video || !ofrmVStampa || retroImposto_) return;
    auto* pittore = static_cast<RetroPittore*>(retro_.get());
    ofrmVStampa->PaginaPronta(pittore->UltimaImmagine(), ultima, memPag_);
}

void Stampa::AvviaDocumento() {
    if (avviato_ && !finito_) return;
    avviato_ = false;
    finito_ = false;
    numPag_ = 0;
    pagineProdotte_ = 0;
    uscita2_.reset();
    fileUscita_.clear();
    if (!ogOpzSta) ogOpzSta = std::make_shared<OpzSta>();
    const int p = PercorsoEffettivo();
    // A route the component does not know would print nothing and look done.
    if (!percorsoNoto())
        throw ErroreRun(5, QStringLiteral("Modalità di stampa %1 non prevista").arg(percorso()), QStringLiteral("Stampa"));
    pagina_ = QSizeF(210, 297);
    bandaNonStampabile_ = {};
    if (p == OpzSta::Stampante || p == OpzSta::Video) {
        const QString nome = nomeStampante();
        const QPrinterInfo info = nome.isEmpty() ? QPrinterInfo::defaultPrinter() : QPrinterInfo::printerInfo(nome);
        if (!info.isNull() && info.defaultPageSize().isValid())
            pagina_ = info.defaultPageSize().size(QPageSize::Millimeter);
        // The printer's unprintable band; the preview lays pages out as that printer prints them.
        if (!info.isNull() && !retroImposto_ && !registro_) {
            QPrinter stampante(info);
            QPageLayout impaginazione = stampante.pageLayout();
            impaginazione.setUnits(QPageLayout::Millimeter);
            bandaNonStampabile_ = impaginazione.minimumMargins();
        }
    }
    if (p == OpzSta::Stampante || p == PercorsoPdf) {
        // A paper size chosen in the options (the platform's paper number) wins over the printer's own.
        const int carta = static_cast<int>(ogOpzSta->LeggiOpzione(QStringLiteral("NumTipoCarta")).numero());
        const QPageSize scelta(QPageSize::id(carta));
        if (carta > 0 && scelta.isValid()) pagina_ = scelta.size(QPageSize::Millimeter);
    }
    if (forzaVert_ != 0 && pagina_.width() > pagina_.height()) {
        pagina_.transpose();
        bandaNonStampabile_ = QMarginsF(bandaNonStampabile_.top(), bandaNonStampabile_.right(),
                                        bandaNonStampabile_.bottom(), bandaNonStampabile_.left());
    }
    // Named parameter "Orientamento" 2: landscape (the list print asks for it).
    if (forzaVert_ == 0 && LeggiParametro(QStringLiteral("Orientamento")).intero() == 2 &&
        pagina_.width() < pagina_.height()) {
        pagina_.transpose();
        bandaNonStampabile_ = QMarginsF(bandaNonStampabile_.bottom(), bandaNonStampabile_.left(),
                                        bandaNonStampabile_.top(), bandaNonStampabile_.right());
    }

    if (p == OpzSta::File || p == OpzSta::LarghezzaFissa) {
        uscita2_ = UscitaRighe::Apri(*ogOpzSta, p == OpzSta::LarghezzaFissa);
        fileUscita_ = uscita2_->NomeFile();
    } else {
        apriRetro();
        if (p == OpzSta::Video && ofrmVStampa && !retroImposto_ && !registro_) {
            memPag_ = ogOpzSta->MemVid != 0;
            ofrmVStampa->MostraAnteprima(this);
            memPag_ = ogOpzSta->MemVid != 0;
        }
    }
    avviato_ = true;
    numPag_ = 1;
    vert_ = mrAlt_;
    altezzaRigaCorrente_ = 0;
    registra(voce(QStringLiteral("AvviaDocumento")));
    mostraPaginaInCorso();
    iniziaPaginaGrafica();
}

void Stampa::NuovaPagina() {
    if (!avviato_ || finito_) {
        AvviaDocumento();
        return;
    }
    if (annullata_) return;
    elaboraEventi();
    if (annullata_) return;
    const int p = PercorsoEffettivo();
    if ((p == OpzSta::File || p == OpzSta::LarghezzaFissa) && uscita2_) {
        uscita2_->NuovaPagina();
        ++pagineProdotte_;
    } else {
        if (!retro_ || paginaAperta_) ++pagineProdotte_;
        chiudiPaginaGrafica(false);
        if (p == OpzSta::Video && ofrmVStampa && !retroImposto_ && retro_) {
            attendiAnteprima();
            if (uscita_ || annullata_) {
                annullata_ = true;
                return;
            }
        }
    }
    ++numPag_;
    vert_ = mrAlt_;
    altezzaRigaCorrente_ = 0;
    registra(voce(QStringLiteral("NuovaPagina")));
    mostraPaginaInCorso();
    iniziaPaginaGrafica();
}

void Stampa::attendiAnteprima() {
    if (ofrmVStampa) ofrmVStampa->Continua();
}

void Stampa::FineStampa() {
    struct Chiusura {
        Stampa* s;
        ~Chiusura() {
            s->finito_ = true;
            try {
                s->chiudiProprietario();
            } catch (...) {
            }
            s->chiudiInCorso();
        }
    } chiusura{this};
    registra(voce(QStringLiteral("FineStampa")));
    if (!avviato_ || finito_) {
        finito_ = true;
        return;
    }
    const int p = PercorsoEffettivo();
    if ((p == OpzSta::File || p == OpzSta::LarghezzaFissa) && uscita2_) {
        uscita2_->Chiudi();
        ++pagineProdotte_;
        uscita2_.reset();
        return;
    }
    if (!retro_) {
        ++pagineProdotte_;
        return;
    }
    if (!annullata_ || p != OpzSta::Video) {
        if (paginaAperta_) ++pagineProdotte_;
        chiudiPaginaGrafica(true);
    }
    retro_->Fine();
    if (p == PercorsoPdf && !annullata_ && ogOpzSta->LeggiOpzione(QStringLiteral("EmailInvia")).booleano()) inviaPosta();
    if (p == OpzSta::Video && ofrmVStampa && !retroImposto_) {
        // The preview stays on screen until the user leaves it; the print
        // itself is over, so nothing is left to interrupt.
        chiudiInCorso();
        ofrmVStampa->FineAnteprima(annullata_);
        while (!uscita_ && ofrmVStampa && ofrmVStampa->AnteprimaAttiva()) {
            const bool scriptato = ofrmVStampa->AttesaScriptata();
            ofrmVStampa->Continua();
            if (scriptato && !uscita_) break;
        }
        terminaAnteprima();
    }
}

void Stampa::inviaPosta() {
    auto opzione = [this](const char* n) { return ogOpzSta->LeggiOpzione(QString::fromLatin1(n)); };
    for (;;) {
        MessaggioPosta m;
        m.mittente = opzione("EmailInd").testo();
        m.destinatario = opzione("EmailTo").testo();
        m.rispondiA = opzione("EmailReplay").testo();
        m.oggetto = opzione("EmailOggetto").testo();
        m.testo = opzione("EmailTesto").testo();
        m.allegato = filePdf_;
        m.notifica = opzione("EmailFlagNotifica").booleano();
        ConfigPosta c;
        c.metodo = opzione("EmailTipoInvio").testo();
        c.server = opzione("EmailServerSMTP").testo();
        c.porta = static_cast<int>(opzione("EmailNumPorta").numero());
        c.login = opzione("EmailLogin").testo();
        c.password = opzione("EmailPwd").testo();
        c.ssl = opzione("EmailUsaSSL").testo().trimmed().compare(QLatin1String("S"), Qt::CaseInsensitive) == 0;
        c.fileLog = PercorsoLocale(opzione("EmailFileLog").testo().trimmed());
        const RisultatoPosta r = ggPosta().Invia(m, c);
        VoceStampa v = voce(QStringLiteral("InviaEmail"));
        v.testo = m.destinatario;
        registra(v);
        if (r.esito == EsitoPosta::Inviato) return;
        // A refused login is asked again; new data send the message again.
        if (r.esito == EsitoPosta::LoginRifiutato && ofrmStampaInCorso && ofrmStampaInCorso->ChiediEmailLogPwd()) continue;
        mostra(QStringLiteral("Invio dell'email non riuscito.\r\nIl file PDF \"%1\" è stato creato ma non inviato.\r\n%2")
                   .arg(filePdf_, r.dettaglio));
        return;
    }
}

void Stampa::terminaAnteprima() {
    finito_ = true;
    chiudiProprietario();
    if (ofrmVStampa) ofrmVStampa->Scarica();
}

// The box follows the pages of every writer, also of one that prints no
// standard page header (which writes its own page number there).
void Stampa::mostraPaginaInCorso() {
    if (ofrmStampaInCorso) ofrmStampaInCorso->ImpPaginaInCorso(numPag_);
}

// The print-in-progress box goes when the print has ended, however it ended
// (the preview closes it itself when the user leaves).
void Stampa::chiudiInCorso() {
    try {
        if (ofrmStampaInCorso) ofrmStampaInCorso->ScaricaInCorso();
    } catch (...) {
    }
}

void Stampa::chiudiProprietario() {
    if (chiamante_)
        chiamante_->oiStaAtt(0);
    else
        ctxComponenti().giStaAtt = 0;
}
