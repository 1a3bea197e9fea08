#include "components/db/ParametriSql.h"

#include <limits>

namespace {

class Lettore {
public:
    explicit Lettore(const QString& s) : s_(s), n_(static_cast<int>(s.size())) {}
    int pos = 0;

    void Spazi() {
        while (pos < n_ && s_[pos].isSpace()) ++pos;
    }
    bool Fine() {
        Spazi();
        return pos >= n_;
    }
    // A keyword, whole and without regard to case.
    bool Parola(QLatin1String p) {
        Spazi();
        const int l = static_cast<int>(p.size());
        if (pos + l > n_ || QStringView(s_).mid(pos, l).compare(p, Qt::CaseInsensitive) != 0) return false;
        if (pos + l < n_ && Identificatore(s_[pos + l])) return false;
        pos += l;
        return true;
    }
    bool Segno(QChar c) {
        Spazi();
        if (pos >= n_ || s_[pos] != c) return false;
        ++pos;
        return true;
    }
    // A name: plain, or quoted with "", [] or ``.
    bool Nome() {
        Spazi();
        if (pos >= n_) return false;
        const QChar c = s_[pos];
        if (c == u'"' || c == u'[' || c == u'`') {
            const QChar chiusa = c == u'[' ? QChar(u']') : c;
            const int f = s_.indexOf(chiusa, pos + 1);
            if (f < 0) return false;
            pos = f + 1;
            return true;
        }
        if (!(c.isLetter() || c == u'_')) return false;
        while (pos < n_ && Identificatore(s_[pos])) ++pos;
        return true;
    }
    QChar Attuale() {
        Spazi();
        return pos < n_ ? s_[pos] : QChar();
    }
    const QString& Testo() const { return s_; }
    int Lunghezza() const { return n_; }

    static bool Identificatore(QChar c) { return c.isLetterOrNumber() || c == u'_' || c == u'$'; }

private:
    const QString& s_;
    int n_;
};

}  // namespace

std::optional<InserimentoParametrico> ParametrizzaInserimento(const QString& sql) {
    Lettore l(sql);
    if (!l.Parola(QLatin1String("insert")) || !l.Parola(QLatin1String("into")) || !l.Nome()) return std::nullopt;
    if (l.Segno(u'(')) {
        do {
            if (!l.Nome()) return std::nullopt;
        } while (l.Segno(u','));
        if (!l.Segno(u')')) return std::nullopt;
    }
    if (!l.Parola(QLatin1String("values")) || !l.Segno(u'(')) return std::nullopt;

    InserimentoParametrico r;
    const QChar* s = sql.constData();
    const int n = l.Lunghezza();
    r.modello.reserve(n + 64);
    r.modello = sql.left(l.pos).toUtf8();
    r.parametri.reserve(24);
    const auto parametro = [&r] {
        r.modello += '?';
        r.modello += QByteArray::number(static_cast<qulonglong>(r.parametri.size()));
    };
    for (bool primo = true;; primo = false) {
        if (!primo) r.modello += ", ";
        l.Spazi();
        // An optional sign stays in the text, before the parameter.
        if (l.pos < n && (s[l.pos] == u'-' || s[l.pos] == u'+')) {
            r.modello += static_cast<char>(s[l.pos].unicode());
            ++l.pos;
            l.Spazi();
        }
        if (l.pos >= n) return std::nullopt;
        const QChar c = s[l.pos];
        if (c == u'\'') {
            // To the closing quote; a doubled quote is one quote of the text.
            int j = l.pos + 1;
            bool doppie = false;
            int fine = -1;
            while (fine < 0) {
                const int k = static_cast<int>(sql.indexOf(u'\'', j));
                if (k < 0) return std::nullopt;
                if (k + 1 < n && s[k + 1] == u'\'') {
                    doppie = true;
                    j = k + 2;
                } else {
                    fine = k;
                }
            }
            QString testo = sql.mid(l.pos + 1, fine - l.pos - 1);
            if (doppie) testo.replace(QLatin1String("''"), QLatin1String("'"));
            l.pos = fine + 1;
            r.parametri.push_back({ParametroSql::Tipo::Testo, 0, testo.toUtf8()});
            parametro();
        } else if (c.isDigit() || c == u'.') {
            const int inizio = l.pos;
            bool decimale = false;
            int punti = 0;
            qint64 v = 0;
            bool troppo = false;
            while (l.pos < n && (s[l.pos].isDigit() || s[l.pos] == u'.')) {
                if (s[l.pos] == u'.') {
                    decimale = true;
                    ++punti;
                } else if (!decimale) {
                    const int cifra = s[l.pos].unicode() - u'0';
                    if (v > (std::numeric_limits<qint64>::max() - cifra) / 10) troppo = true;
                    else v = v * 10 + cifra;
                }
                ++l.pos;
            }
            if (l.pos < n && (s[l.pos] == u'e' || s[l.pos] == u'E')) {
                decimale = true;
                ++l.pos;
                if (l.pos < n && (s[l.pos] == u'+' || s[l.pos] == u'-')) ++l.pos;
                if (l.pos >= n || !s[l.pos].isDigit()) return std::nullopt;
                while (l.pos < n && s[l.pos].isDigit()) ++l.pos;
            }
            if (l.pos < n && Lettore::Identificatore(s[l.pos])) return std::nullopt;  // 0x1F, 12abc
            if (decimale) {
                if (punti > 1 || l.pos - inizio == punti) return std::nullopt;
                r.parametri.push_back(
                    {ParametroSql::Tipo::Reale, 0, QStringView(s + inizio, l.pos - inizio).toLatin1()});
                r.modello += "CAST(";
                parametro();
                r.modello += " AS REAL)";
            } else {
                if (troppo) return std::nullopt;  // beyond 64 bits SQLite reads a decimal
                r.parametri.push_back({ParametroSql::Tipo::Intero, v, {}});
                parametro();
            }
        } else if (l.Parola(QLatin1String("null"))) {
            r.modello += "NULL";
        } else {
            return std::nullopt;
        }
        if (l.Segno(u',')) continue;
        if (!l.Segno(u')')) return std::nullopt;
        r.modello += ')';
        break;
    }
    l.Segno(u';');
    if (!l.Fine()) return std::nullopt;
    return r;
}
