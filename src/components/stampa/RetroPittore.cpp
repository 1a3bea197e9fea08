#include "components/stampa/RetroPittore.h"

#include "components/core/ErroreRun.h"

#include <QFileInfo>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QPrinter>
#include <QPrinterInfo>

namespace {
QFont fontQt(const FontStd& f) {
    QFont q(FamigliaInstallata(f.Name));
    q.setPointSizeF(f.Size > 0 ? f.Size : 8);
    q.setBold(f.Bold);
    q.setItalic(f.Italic);
    q.setUnderline(f.Underline);
    q.setStrikeOut(f.Strikethrough);
    return q;
}
}  // namespace

std::unique_ptr<RetroPittore> RetroPittore::PerStampante(const QString& nome) {
    std::unique_ptr<RetroPittore> r(new RetroPittore);
    r->tipo_ = Tipo::Stampante;
    r->nome_ = nome;
    return r;
}

std::unique_ptr<RetroPittore> RetroPittore::PerPdf(const QString& file) {
    std::unique_ptr<RetroPittore> r(new RetroPittore);
    r->tipo_ = Tipo::Pdf;
    r->nome_ = file;
    return r;
}

std::unique_ptr<RetroPittore> RetroPittore::PerImmagini(double dpi, bool tieniTutte) {
    std::unique_ptr<RetroPittore> r(new RetroPittore);
    r->tipo_ = Tipo::Immagini;
    r->dpi_ = dpi > 0 ? dpi : 96;
    r->tieniTutte_ = tieniTutte;
    return r;
}

RetroPittore::~RetroPittore() {
    if (pittore_.isActive()) pittore_.end();
}

void RetroPittore::Avvia(const QSizeF& paginaMm) {
    paginaMm_ = paginaMm;
    primaPagina_ = true;
    const QPageSize formato(paginaMm, QPageSize::Millimeter);
    const QPageLayout impaginazione(formato, paginaMm.width() > paginaMm.height() ? QPageLayout::Landscape
                                                                                   : QPageLayout::Portrait,
                                    QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
    if (tipo_ == Tipo::Pdf) {
        const QFileInfo fi(nome_);
        auto w = std::make_unique<QPdfWriter>(nome_);
        w->setResolution(300);
        w->setPageLayout(QPageLayout(formato, QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
        w->setCreator(QStringLiteral("Comunicazioni IVA"));
        dpi_ = 300;
        dispositivo_ = std::move(w);
        if (!pittore_.begin(dispositivo_.get()))
            throw ErroreRun(75, QStringLiteral("Impossibile creare il file PDF \"%1\"").arg(nome_),
                            QStringLiteral("Stampa"));
    } else if (tipo_ == Tipo::Stampante) {
        const QPrinterInfo info = nome_.isEmpty() ? QPrinterInfo::defaultPrinter() : QPrinterInfo::printerInfo(nome_);
        if (info.isNull())
            throw ErroreRun(482,
                            nome_.isEmpty() ? QStringLiteral("Nessuna stampante disponibile")
                                            : QStringLiteral("La stampante \"%1\" non è disponibile").arg(nome_),
                            QStringLiteral("Stampa"));
        auto p = std::make_unique<QPrinter>(info, QPrinter::HighResolution);
        p->setFullPage(true);
        p->setPageLayout(impaginazione);
        dpi_ = p->resolution();
        dispositivo_ = std::move(p);
        if (!pittore_.begin(dispositivo_.get()))
            throw ErroreRun(482, QStringLiteral("Impossibile avviare la stampa su \"%1\"").arg(info.printerName()),
                            QStringLiteral("Stampa"));
    }
}

QRectF RetroPittore::px(const QRectF& mm) const {
    const double k = dpi_ / 25.4;
    return QRectF(mm.x() * k, mm.y() * k, mm.width() * k, mm.height() * k);
}

void RetroPittore::IniziaPagina(int) {
    if (tipo_ == Tipo::Immagini) {
        const double k = dpi_ / 25.4;
        corrente_ = QImage(qMax(1, qRound(paginaMm_.width() * k)), qMax(1, qRound(paginaMm_.height() * k)),
                           QImage::Format_RGB32);
        const int dpm = qRound(dpi_ / 0.0254);
        corrente_.setDotsPerMeterX(dpm);
        corrente_.setDotsPerMeterY(dpm);
        corrente_.fill(Qt::white);
        pittore_.begin(&corrente_);
    } else if (!primaPagina_) {
        dispositivo_->newPage();
    }
    primaPagina_ = false;
    pittore_.setRenderHint(QPainter::Antialiasing);
    pittore_.setRenderHint(QPainter::TextAntialiasing);
    pittore_.setRenderHint(QPainter::SmoothPixmapTransform);
    pittore_.setPen(Qt::black);
}

void RetroPittore::Testo(const QRectF& scatolaMm, const QString& allineamento, const FontStd& font,
                         const QString& testo) {
    if (!pittore_.isActive()) return;
    pittore_.setFont(fontQt(font));
    int flag = Qt::AlignTop | Qt::TextDontClip | Qt::TextSingleLine;
    if (allineamento == QLatin1String("D"))
        flag |= Qt::AlignRight;
    else if (allineamento == QLatin1String("C"))
        flag |= Qt::AlignHCenter;
    else
        flag |= Qt::AlignLeft;
    pittore_.drawText(px(scatolaMm), flag, testo);
}

void RetroPittore::Immagine(const QImage& immagine, const QRectF& rettangoloMm) {
    if (!pittore_.isActive() || immagine.isNull()) return;
    const QRectF r = px(rettangoloMm);
    // A picture shrunk onto a page image is first scaled by averaging, so its
    // thin box lines and small labels survive; sampling would drop most of
    // them. Printers and the PDF take the picture whole.
    const QSize dest(qRound(r.width()), qRound(r.height()));
    if (tipo_ == Tipo::Immagini && dest.width() > 0 && dest.height() > 0 &&
        (dest.width() < immagine.width() || dest.height() < immagine.height())) {
        pittore_.drawImage(QRectF(r.topLeft(), QSizeF(dest)),
                           immagine.scaled(dest, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
        return;
    }
    pittore_.drawImage(r, immagine);
}

void RetroPittore::FinePagina(int) {
    ++pagine_;
    if (tipo_ != Tipo::Immagini) return;
    if (pittore_.isActive()) pittore_.end();
    if (!tieniTutte_) immagini_.clear();
    immagini_.append(corrente_);
}

void RetroPittore::Fine() {
    if (pittore_.isActive()) pittore_.end();
    dispositivo_.reset();
}
