#include "common/ControlliFiscali.h"

namespace {

bool soloCifre(const QString& t) {
    for (QChar c : t)
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) return false;
    return true;
}

int cifra(QChar c) { return c.unicode() - '0'; }

bool lettera(QChar c) { return c >= QLatin1Char('A') && c <= QLatin1Char('Z'); }

// Digits of a personal code may be replaced by these letters (0 to 9) when
// two people would otherwise share the same code.
bool cifraOSostituto(QChar c) {
    return (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || QStringLiteral("LMNPQRSTUV").contains(c);
}

bool schemaPersonale(const QString& c) {
    // Surname and name, year, month, day, place, check letter.
    static const char kSchema[] = "LLLLLLNNLNNLNNNL";
    for (int i = 0; i < 16; ++i) {
        const bool ok = kSchema[i] == 'L' ? lettera(c.at(i)) : cifraOSostituto(c.at(i));
        if (!ok) return false;
    }
    return true;
}

int valoreDispari(QChar c) {
    static const int kLettere[26] = {1,  0,  5,  7,  9,  13, 15, 17, 19, 21, 2,  4,  18,
                                     20, 11, 3,  6,  8,  12, 14, 16, 10, 22, 25, 24, 23};
    const int i = c.isDigit() ? cifra(c) : c.unicode() - 'A';
    return kLettere[i];
}

int valorePari(QChar c) { return c.isDigit() ? cifra(c) : c.unicode() - 'A'; }

}  // namespace

int ContrPartIva(const QString& numero, const QString& marcatoreEstero, const QString& codPaese,
                 int lunghezza1, int lunghezza2) {
    if (codPaese.isEmpty() && !marcatoreEstero.isEmpty()) return 0;
    const bool italiana =
        marcatoreEstero.isEmpty() || codPaese.compare(QLatin1String("IT"), Qt::CaseInsensitive) == 0;
    if (numero.isEmpty()) return 0;
    if (!italiana) {
        if (lunghezza1 == 0 && lunghezza2 == 0) return 0;
        const int n = static_cast<int>(numero.size());
        return (n == lunghezza1 && n != 0) || (n == lunghezza2 && n != 0) ? 0 : 1;
    }
    if (numero.size() != 11 || !soloCifre(numero) || numero == QLatin1String("00000000000")) return 1;
    int somma = 0;
    for (int i = 0; i < 10; ++i) {
        int v = cifra(numero.at(i));
        if (i % 2 == 1) {
            v *= 2;
            if (v > 9) v -= 9;
        }
        somma += v;
    }
    const int controllo = (10 - somma % 10) % 10;
    return controllo == cifra(numero.at(10)) ? 0 : 1;
}

int ContrCodFisc(const QString& codice, bool soloPersonale) {
    if (codice.isEmpty()) return 0;
    if (codice.size() == 11 && !soloPersonale) return ContrPartIva(codice, QString(), QStringLiteral("IT"), 11, 11);
    if (codice.size() != 16) return 1;
    const QString c = codice.toUpper();
    if (c.size() != 16 || !schemaPersonale(c)) return 1;
    int somma = 0;
    for (int i = 0; i < 15; ++i) somma += (i % 2 == 0) ? valoreDispari(c.at(i)) : valorePari(c.at(i));
    return QChar(u'A' + somma % 26) == c.at(15) ? 0 : 1;
}
