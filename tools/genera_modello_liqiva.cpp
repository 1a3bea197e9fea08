// Draws stand-in pictures of the official settlement form: the front page and
// the module page, with a box for every field at the position where the
// printed form puts its value and the field's label beside it. The real
// scans of the form are configured in the settings section [LiqIva]; these
// pictures let the demo and the tests print the form without them.
//
//   genera_modello_liqiva <cartella> [--ini file] [--dpi n]
//
// writes <cartella>/LiqIvaTest.png and <cartella>/LiqIvaDett.png. Each
// picture covers the page rectangle of [LiqIva] (read from --ini, else the
// defaults), so it lands on the sheet where the form's fields are printed.
#include "components/platform/DialoghiScriptati.h"
#include "settlement/stampa/ModelloLiqIva.h"
#include "contesto/Contesto.h"

#include <QDir>
#include <QFont>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QTextStream>

#include <cmath>

namespace {

// A free text of the picture: titles and section headings, sheet millimetres.
struct Scritta {
    float x, y;
    float altezza;  // letter height
    bool grassetto;
    QString testo;
};

const QList<Scritta>& Scritte(int pagina) {
    static const QList<Scritta> fronte{
        {8, 5, 3.6f, true, QStringLiteral("COMUNICAZIONE LIQUIDAZIONI PERIODICHE IVA")},
        {8, 10, 2.4f, false, QStringLiteral("Frontespizio")},
        {8, 40, 2.8f, true, QStringLiteral("CONTRIBUENTE")},
        {8, 76, 2.8f, true, QStringLiteral("DICHIARANTE")},
        {8, 101, 2.8f, true, QStringLiteral("IMPEGNO ALLA PRESENTAZIONE TELEMATICA")},
        {8, 134, 2.4f, false, QStringLiteral("Data dell'impegno")},
    };
    static const QList<Scritta> modulo{
        {8, 5, 3.6f, true, QStringLiteral("COMUNICAZIONE LIQUIDAZIONI PERIODICHE IVA")},
        {8, 10, 2.4f, false, QStringLiteral("Quadro VP - Liquidazioni periodiche IVA")},
        {8, 46, 2.8f, true, QStringLiteral("QUADRO VP")},
        {118, 57, 2.2f, false, QStringLiteral("DEBITI")},
        {168, 57, 2.2f, false, QStringLiteral("CREDITI")},
    };
    return pagina == PaginaLiqIva::Intestazione ? fronte : modulo;
}

class Disegno {
public:
    Disegno(QImage& immagine, const QRectF& foglio, double puntiPerMm)
        : p_(&immagine), foglio_(foglio), k_(puntiPerMm) {
        p_.setRenderHint(QPainter::Antialiasing, false);
        p_.setRenderHint(QPainter::TextAntialiasing, true);
    }

    QRectF Rett(double x, double y, double larghezza, double altezza) const {
        return QRectF((x - foglio_.x()) * k_, (y - foglio_.y()) * k_, larghezza * k_, altezza * k_);
    }

    void Riquadro(double x, double y, double larghezza, double altezza, double spessore = 0.2) {
        p_.setPen(QPen(Qt::black, std::max(1.0, spessore * k_)));
        p_.setBrush(Qt::NoBrush);
        p_.drawRect(Rett(x, y, larghezza, altezza));
    }

    void Linea(double x1, double y1, double x2, double y2, double spessore = 0.2) {
        p_.setPen(QPen(Qt::black, std::max(1.0, spessore * k_)));
        p_.drawLine(Rett(x1, y1, 0, 0).topLeft(), Rett(x2, y2, 0, 0).topLeft());
    }

    void Scrivi(const QRectF& mm, double altezza, bool grassetto, int allineamento, const QString& testo) {
        QFont f(QStringLiteral("Arial"));
        f.setPixelSize(std::max(1, static_cast<int>(std::lround(altezza * k_))));
        f.setBold(grassetto);
        p_.setFont(f);
        p_.setPen(Qt::black);
        p_.drawText(Rett(mm.x(), mm.y(), mm.width(), mm.height()), allineamento | Qt::TextWordWrap, testo);
    }

private:
    QPainter p_;
    QRectF foglio_;
    double k_;
};

// A letter of the "TestaAzienda" font printed at (x, y) stands at the left of
// its text box, below y: the boxes start a little left of and above it.
constexpr double SopraRiga = 0.8, PrimaDelTesto = 1.0, AltezzaCasella = 4.8, Etichetta = 2.1;

void DisegnaPagina(QImage& immagine, const QRectF& foglio, double puntiPerMm, int pagina) {
    immagine.fill(Qt::white);
    Disegno d(immagine, foglio, puntiPerMm);
    d.Riquadro(foglio.x() + 3, foglio.y() + 2, foglio.width() - 6, foglio.height() - 4, 0.4);
    for (const Scritta& s : Scritte(pagina))
        d.Scrivi(QRectF(s.x, s.y - 0.5, 190, s.altezza * 1.6), s.altezza, s.grassetto, Qt::AlignLeft | Qt::AlignTop,
                 s.testo);
    d.Scrivi(QRectF(8, foglio.bottom() - 9, 186, 5), 2.0, false, Qt::AlignLeft | Qt::AlignVCenter,
             QStringLiteral("Immagine sostitutiva del modello ufficiale: le scansioni del modello si configurano "
                            "nella sezione [LiqIva] del file di impostazioni."));

    double finePrecedente = 0;
    int riga = 0;
    for (const VoceModello& v : VociModello(pagina)) {
        if (v.riga != riga) {
            riga = v.riga;
            finePrecedente = 8;
        }
        const double alto = v.y - SopraRiga;
        double inizio = v.x - PrimaDelTesto, fine = v.x;
        switch (v.forma) {
        case FormaVoce::Caselle:
            for (int i = 0; i < v.caselle; ++i) d.Riquadro(inizio + i * 4.9, alto, 4.9, AltezzaCasella);
            fine = inizio + v.caselle * 4.9;
            break;
        case FormaVoce::Testo:
            fine = v.destra;
            d.Riquadro(inizio, alto, fine - inizio, AltezzaCasella);
            break;
        case FormaVoce::Importo:
            // Right-aligned at x: the box closes just after it, and a tick
            // marks the blank that stands for the decimal comma.
            inizio = v.x - 30;
            fine = v.x + PrimaDelTesto;
            d.Riquadro(inizio, alto, fine - inizio, AltezzaCasella);
            d.Linea(v.x - 4.6, alto + AltezzaCasella - 1.4, v.x - 4.6, alto + AltezzaCasella);
            break;
        }
        // The label goes at the left of its boxes when there is room, else above.
        const double spazio = inizio - 1.5 - finePrecedente;
        if (spazio >= 12)
            d.Scrivi(QRectF(finePrecedente, alto, spazio, AltezzaCasella), Etichetta, false,
                     Qt::AlignRight | Qt::AlignVCenter, v.etichetta);
        else
            d.Scrivi(QRectF(inizio - 6, alto - 2.9, fine - inizio + 12, 2.8), Etichetta * 0.85, false,
                     Qt::AlignHCenter | Qt::AlignBottom, v.etichetta);
        finePrecedente = fine + 1.5;
    }
}

int Uso(QTextStream& err) {
    err << "uso: genera_modello_liqiva <cartella> [--ini file] [--dpi n]\n";
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QTextStream err(stderr);

    QString cartella, ini;
    int dpi = 150;
    const QStringList argomenti = app.arguments().mid(1);
    for (int i = 0; i < argomenti.size(); ++i) {
        const QString& a = argomenti[i];
        if (a == QLatin1String("--ini") && i + 1 < argomenti.size()) {
            ini = argomenti[++i];
        } else if (a == QLatin1String("--dpi") && i + 1 < argomenti.size()) {
            bool ok = false;
            dpi = argomenti[++i].toInt(&ok);
            if (!ok || dpi < 50 || dpi > 1200) return Uso(err);
        } else if (!a.startsWith(QLatin1String("--")) && cartella.isEmpty()) {
            cartella = a;
        } else {
            return Uso(err);
        }
    }
    if (cartella.isEmpty()) return Uso(err);

    auto contesto = std::make_shared<Contesto>();
    auto dialoghi = std::make_shared<DialoghiScriptati>();
    contesto->gsFileIni = ini;
    contesto->ggDialoghi = dialoghi;
    ImpostaContesto(contesto);

    ModelloLiqIva modello;
    modello.IniParamImmagine(PaginaLiqIva::Intestazione, true);
    modello.IniParamImmagine(PaginaLiqIva::Modulo, true);
    for (const QString& avviso : dialoghi->testi()) err << avviso << "\n";

    if (!QDir().mkpath(cartella)) {
        err << "Impossibile creare la cartella " << cartella << "\n";
        return 1;
    }
    const double puntiPerMm = dpi / 25.4;
    const struct {
        int pagina;
        const char* nome;
    } pagine[] = {{PaginaLiqIva::Intestazione, "LiqIvaTest.png"}, {PaginaLiqIva::Modulo, "LiqIvaDett.png"}};
    for (const auto& p : pagine) {
        const QRectF foglio = modello.RettangoloFoglio(p.pagina);
        if (foglio.width() <= 0 || foglio.height() <= 0) {
            err << "Dimensioni del foglio non valide in [LiqIva]\n";
            return 1;
        }
        QImage immagine(static_cast<int>(std::lround(foglio.width() * puntiPerMm)),
                        static_cast<int>(std::lround(foglio.height() * puntiPerMm)), QImage::Format_RGB32);
        immagine.setDotsPerMeterX(static_cast<int>(std::lround(puntiPerMm * 1000)));
        immagine.setDotsPerMeterY(static_cast<int>(std::lround(puntiPerMm * 1000)));
        DisegnaPagina(immagine, foglio, puntiPerMm, p.pagina);
        const QString file = QDir(cartella).filePath(QString::fromLatin1(p.nome));
        if (!immagine.convertToFormat(QImage::Format_Grayscale8).save(file, "PNG")) {
            err << "Impossibile scrivere " << file << "\n";
            return 1;
        }
    }
    return 0;
}
