#pragma once
// The QPainter back end of the graphic routes: a printer (CUPS), a PDF file
// or page images (the preview, tests). Millimetres become device pixels at
// the device's resolution; fonts keep their point size.
#include "components/stampa/RetroStampa.h"

#include <QImage>
#include <QList>
#include <QPainter>
#include <QString>
#include <memory>

class QPagedPaintDevice;

class RetroPittore : public RetroGrafico {
public:
    // The printer of that name (empty: the default printer).
    static std::unique_ptr<RetroPittore> PerStampante(const QString& nome);
    static std::unique_ptr<RetroPittore> PerPdf(const QString& file);
    // Page images at `dpi`; without tieniTutte only the page in progress
    // and the last finished one are kept.
    static std::unique_ptr<RetroPittore> PerImmagini(double dpi, bool tieniTutte = true);
    ~RetroPittore() override;

    void Avvia(const QSizeF& paginaMm) override;
    void IniziaPagina(int numero) override;
    void Testo(const QRectF& scatolaMm, const QString& allineamento, const FontStd& font,
               const QString& testo) override;
    void Immagine(const QImage& immagine, const QRectF& rettangoloMm) override;
    void FinePagina(int numero) override;
    void Fine() override;
    int Pagine() const override { return pagine_; }

    const QList<QImage>& Immagini() const { return immagini_; }
    QImage UltimaImmagine() const { return immagini_.isEmpty() ? QImage() : immagini_.last(); }

private:
    enum class Tipo { Stampante, Pdf, Immagini };
    RetroPittore() = default;
    QRectF px(const QRectF& mm) const;

    Tipo tipo_ = Tipo::Immagini;
    QString nome_;
    double dpi_ = 96;
    bool tieniTutte_ = true;
    QSizeF paginaMm_;
    std::unique_ptr<QPagedPaintDevice> dispositivo_;
    QImage corrente_;
    QPainter pittore_;
    QList<QImage> immagini_;
    int pagine_ = 0;
    bool primaPagina_ = true;
};
