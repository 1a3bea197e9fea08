#include "common/ScritturaXml.h"

#include "common/FrmMsgCom.h"
#include "common/TestiUscita.h"
#include "components/core/ErroreRun.h"
#include "components/util/UtilGenerali.h"
#include "contesto/Contesto.h"

#include <QIODevice>

namespace {

constexpr long kErroreIo = 57;
const QString kCrLf = QStringLiteral("\r\n");
const QString kDatoAssente = QStringLiteral("Dato Assente");

// Where a value may be cut at most `massimo` characters in without splitting
// a surrogate pair.
qsizetype puntoDiTaglio(const QString& s, qsizetype massimo) {
    qsizetype p = massimo;
    if (p > 0 && p < s.size() && s.at(p - 1).isHighSurrogate() && s.at(p).isLowSurrogate()) --p;
    return p;
}

// The schemas' text types hold Basic Latin and Latin-1 only: any other
// character (a surrogate pair counts as one) becomes "_".
QString soloLatino(const QString& s) {
    QString r;
    r.reserve(s.size());
    for (qsizetype i = 0; i < s.size(); ++i) {
        const QChar c = s.at(i);
        if (c.unicode() <= 0xFF) {
            r += c;
        } else {
            r += QLatin1Char('_');
            if (c.isHighSurrogate() && i + 1 < s.size() && s.at(i + 1).isLowSurrogate()) ++i;
        }
    }
    return r;
}

// Printable ASCII without the characters that XML escapes.
bool testoPiano(const QString& s) {
    for (const QChar c : s) {
        const char16_t u = c.unicode();
        if (u < 0x20 || u > 0x7E || u == u'&' || u == u'<' || u == u'>' || u == u'"' || u == u'\'') return false;
    }
    return true;
}

}  // namespace

QString TipograficiInAscii(const QString& testo) {
    QString r;
    r.reserve(testo.size());
    for (const QChar c : testo) {
        switch (c.unicode()) {
        case 0x2018: case 0x2019: case 0x201A: r += QLatin1Char('\''); break;
        case 0x201C: case 0x201D: case 0x201E: r += QLatin1Char('"'); break;
        case 0x2013: case 0x2014: r += QLatin1Char('-'); break;
        case 0x2026: r += QLatin1String("..."); break;
        case 0x20AC: r += QLatin1String("EUR"); break;
        default: r += c;
        }
    }
    return r;
}

void ScritturaXml::ApriSu(QIODevice* uscita) {
    uscita_ = uscita;
    miLivTab = 0;
    righe_ = 0;
}

void ScritturaXml::SottraimiTabXml(int piQuanti) { miLivTab = qMax(0, miLivTab - piQuanti); }

void ScritturaXml::ScriviRigaGrezza(const QByteArray& riga) {
    linea_.resize(0);
    linea_.append(riga).append("\r\n");
    scriviLinea();
}

void ScritturaXml::scriviLinea() {
    if (!uscita_)
        throw ErroreRun(kErroreIo, QStringLiteral("Il file di scarico non è aperto."), QStringLiteral("ScritturaXml"));
    if (uscita_->write(linea_) != linea_.size())
        throw ErroreRun(kErroreIo, QStringLiteral("Errore di scrittura del file: %1").arg(uscita_->errorString()),
                        QStringLiteral("ScritturaXml"));
    ++righe_;
}

void ScritturaXml::ScriviRigaXml(const QString& psRiga) {
    // A blank line is not written (the utility's emptiness of a text).
    bool vuota = true;
    for (const QChar c : psRiga)
        if (!c.isSpace()) {
            vuota = false;
            break;
        }
    if (vuota) return;
    // Built in place, as toLatin1 would (a character beyond Latin-1 as "?").
    linea_.resize(miLivTab + psRiga.size() + 2);
    char* p = linea_.data();
    for (int i = 0; i < miLivTab; ++i) *p++ = '\t';
    for (const QChar c : psRiga) *p++ = c.unicode() > 0xFF ? '?' : static_cast<char>(c.unicode());
    *p++ = '\r';
    *p = '\n';
    scriviLinea();
}

void ScritturaXml::Apri(const QString& tag) {
    ScriviRigaXml(QLatin1Char('<') + tag + QLatin1Char('>'));
    ++miLivTab;
}

void ScritturaXml::Chiudi(const QString& tag) {
    SottraimiTabXml(1);
    ScriviRigaXml(QStringLiteral("</") + tag + QLatin1Char('>'));
}

void ScritturaXml::Mancante(const QString& voce) { msCampiMancanti += kCrLf + msPrefAzienda + voce; }

void ScritturaXml::Segnala(const QString& voce) { msSegnalazioni += kCrLf + msPrefAzienda + voce; }

void ScritturaXml::SvuotaElenchi() {
    msCampiMancanti.clear();
    msSegnalazioni.clear();
}

void ScritturaXml::MostraElenchi() const {
    if (!ggUtil().EVuoto(Valore(msCampiMancanti)))
        frmMsgCom::msgCom(QStringLiteral("Campi obbligatori mancanti ") + msCampiMancanti);
    if (!ggUtil().EVuoto(Valore(msSegnalazioni)))
        frmMsgCom::msgCom(QStringLiteral("Segnalazioni di errore ") + msSegnalazioni);
}

QString ScritturaXml::PrepCampoXml(const QString& psValore, const QString& psChiave, int piObblig,
                                   const QString& psDescAgg, int piMaxLung, int piMinLung, bool pbUcase,
                                   bool pbNumerico, bool altiComeTrattino) {
    const UtilGenerali& u = ggUtil();
    QString w = pbUcase ? psValore.toUpper() : psValore;
    // Most values are plain printable ASCII: no character to map, escape or
    // turn into a reference, so the text passes through unchanged.
    const bool piano = testoPiano(w);
    if (!piano && !conservaEstesi_) w = soloLatino(TipograficiInAscii(w));
    // The entry's text, built only when an entry is made.
    const auto voce = [&] {
        return psChiave + QLatin1Char(' ') +
               (psDescAgg + QLatin1Char(' ') + (descrittore_ ? descrittore_() : QString())).trimmed();
    };
    if (!piano) w.replace(QLatin1Char('\t'), QLatin1Char(' '));
    if (w == QLatin1String("100-01-01")) w.clear();
    if (piObblig == 3 && u.EVuoto(Valore(w))) w = piMaxLung == 2 ? QStringLiteral("DA") : kDatoAssente.left(piMaxLung);

    const bool manca = (pbNumerico && piObblig == -2) ? u.EVuoto(Valore(w), TipoDato::Doppio)
                                                      : (piObblig != 0 && u.EVuoto(Valore(w)));
    if (manca) Mancante(voce());
    if (u.EVuoto(Valore(w))) return {};

    // Cut on the value's own characters, then turn line breaks into
    // references and escape: a reference is never cut in half.
    QString testo = w;
    if (piMaxLung > 0 && w.size() > piMaxLung) {
        testo = w.left(puntoDiTaglio(w, piMaxLung));
        Segnala(voce() + QStringLiteral(" troncato"));
    }
    if (piMinLung > 0 && w.size() < piMinLung) Segnala(voce() + QStringLiteral(" troppo corto"));

    const QString contenuto = piano ? testo : CodificaTestoXml(RiferimentiACapo(testo), altiComeTrattino);
    if (psChiave.isEmpty()) return contenuto;
    QString riga;
    riga.reserve(2 * (prefissoTag_.size() + psChiave.size()) + contenuto.size() + 5);
    riga.append(QLatin1Char('<')).append(prefissoTag_).append(psChiave).append(QLatin1Char('>')).append(contenuto);
    riga.append(QLatin1String("</")).append(prefissoTag_).append(psChiave).append(QLatin1Char('>'));
    return riga;
}

QString ScritturaXml::PrepCampoXml(const RegolaXml& regola, const QString& valore, const QString& descAgg,
                                   bool altiComeTrattino) {
    return PrepCampoXml(valore, QString::fromLatin1(regola.elemento), regola.obblig, descAgg, regola.maxLung,
                        regola.minLung, true, false, altiComeTrattino);
}

void ScritturaXml::ScriviCampo(const RegolaXml& regola, const QString& valore, const QString& descAgg,
                               bool altiComeTrattino) {
    ScriviRigaXml(PrepCampoXml(regola, valore, descAgg, altiComeTrattino));
}

QString ScritturaXml::NumeroPA(double pvNumero, int piDec, bool pbVuotoSeZero, bool pbSepDecPunto) {
    if (pbVuotoSeZero && ggUtil().Arrotonda(pvNumero, -8) == 0.0) return {};
    double r = ggUtil().Arrotonda(pvNumero, -piDec);
    if (r == 0.0) r = 0.0;  // no "-0.00"
    QString t = QString::number(r, 'f', qMax(piDec, 0));
    if (!pbSepDecPunto) t.replace(QLatin1Char('.'), QLatin1Char(','));
    return t;
}
