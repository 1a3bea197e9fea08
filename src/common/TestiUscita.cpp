#include "common/TestiUscita.h"

#include "components/util/UtilGenerali.h"
#include "contesto/Contesto.h"

namespace {

const QString kRifCr = QStringLiteral("&#xD;");
const QString kRifLf = QStringLiteral("&#xA;");

QChar carattereRiempimento(const QString& riempimento) {
    return riempimento.isEmpty() ? QLatin1Char(' ') : riempimento.at(0);
}

// Code points that a character reference may name in XML 1.0.
bool ammessoInXml(char32_t c) {
    return (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD) || (c >= 0x10000 && c <= 0x10FFFF);
}

}  // namespace

QString RiferimentiACapo(const QString& testo) {
    QString r;
    r.reserve(testo.size());
    for (qsizetype i = 0; i < testo.size(); ++i) {
        const QChar c = testo.at(i);
        if (c == QLatin1Char('\r')) {
            r += kRifCr;
            if (i + 1 < testo.size() && testo.at(i + 1) == QLatin1Char('\n')) {
                r += kRifLf;
                ++i;
            }
        } else if (c == QLatin1Char('\n')) {
            r += kRifLf;
        } else {
            r += c;
        }
    }
    return r;
}

QString CodificaTestoXml(const QString& testo, bool altiComeTrattino) {
    QString r;
    r.reserve(testo.size() + testo.size() / 4);
    const qsizetype n = testo.size();
    for (qsizetype i = 0; i < n;) {
        const QChar c = testo.at(i);
        if (c == QLatin1Char('&')) {
            const QStringView resto = QStringView(testo).mid(i, 5);
            if (resto == kRifCr || resto == kRifLf) {
                r += resto;
                i += 5;
            } else {
                r += QLatin1String("&amp;");
                ++i;
            }
            continue;
        }
        // One code point: a surrogate pair counts as one character.
        char32_t cp = c.unicode();
        qsizetype lung = 1;
        if (c.isHighSurrogate() && i + 1 < n && testo.at(i + 1).isLowSurrogate()) {
            cp = QChar::surrogateToUcs4(c, testo.at(i + 1));
            lung = 2;
        }
        i += lung;
        switch (cp) {
        case U'<': r += QLatin1String("&lt;"); continue;
        case U'>': r += QLatin1String("&gt;"); continue;
        case U'"': r += QLatin1String("&quot;"); continue;
        case U'\'': r += QLatin1String("&apos;"); continue;
        default: break;
        }
        if (cp < 32) {
            r += QLatin1Char('_');
        } else if (cp < 127) {
            r += QChar(static_cast<char16_t>(cp));
        } else if (altiComeTrattino || !ammessoInXml(cp)) {
            // A lone surrogate half or a non-character has no reference.
            r += QLatin1Char('_');
        } else {
            r += QLatin1String("&#") + QString::number(static_cast<uint>(cp)) + QLatin1Char(';');
        }
    }
    return r;
}

QString AllineaCampo(const QString& valore, int larghezza, const QString& allineamento,
                     const QString& riempimento, bool taglia) {
    // Without `taglia` a longer value stays whole; otherwise the utility's fill and cut.
    if (!taglia && valore.size() > qMax(larghezza, 0)) return valore;
    return ggUtil().Allinea(valore, larghezza, QString(carattereRiempimento(riempimento)), allineamento);
}

QString Riempitivo(int larghezza, const Valore& valore, const QString& riempimento) {
    const qsizetype conta = larghezza - valore.testo().trimmed().size();
    return conta > 0 ? QString(conta, carattereRiempimento(riempimento)) : QString();
}
