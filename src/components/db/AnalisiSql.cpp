#include "components/db/AnalisiSql.h"

#include <QSet>
#include <algorithm>

namespace {

bool parolaChiave(const QString& t) {
    static const QSet<QString> k = {"on", "using", "inner", "left", "right", "full", "cross", "outer", "natural",
                                    "join", "where", "group", "order", "having", "limit", "union", "except",
                                    "intersect", "window", "indexed", "not"};
    return k.contains(t.toLower());
}

}  // namespace

std::vector<TokenSql> tokenizzaSql(const QString& s) {
    std::vector<TokenSql> t;
    const int n = s.size();
    int i = 0;
    while (i < n) {
        const QChar c = s[i];
        if (c.isSpace()) { ++i; continue; }
        if (c == u'-' && i + 1 < n && s[i + 1] == u'-') {
            while (i < n && s[i] != u'\n') ++i;
            continue;
        }
        if (c == u'/' && i + 1 < n && s[i + 1] == u'*') {
            const int f = s.indexOf(QStringLiteral("*/"), i + 2);
            i = f < 0 ? n : f + 2;
            continue;
        }
        if (c == u'\'') {
            int j = i + 1;
            while (j < n && !(s[j] == u'\'' && !(j + 1 < n && s[j + 1] == u'\''))) j += s[j] == u'\'' ? 2 : 1;
            t.push_back({false, QStringLiteral("'"), i});
            i = j + 1;
            continue;
        }
        if (c == u'"' || c == u'[' || c == u'`') {
            const QChar chiusa = c == u'[' ? QChar(u']') : c;
            int j = s.indexOf(chiusa, i + 1);
            if (j < 0) j = n;
            t.push_back({true, s.mid(i + 1, j - i - 1), i});
            i = j + 1;
            continue;
        }
        if (c.isLetter() || c == u'_') {
            int j = i + 1;
            while (j < n && (s[j].isLetterOrNumber() || s[j] == u'_' || s[j] == u'$')) ++j;
            t.push_back({true, s.mid(i, j - i), i});
            i = j;
            continue;
        }
        if (c.isDigit()) {
            int j = i + 1;
            while (j < n && (s[j].isLetterOrNumber() || s[j] == u'.')) ++j;
            t.push_back({false, QStringLiteral("0"), i});
            i = j;
            continue;
        }
        t.push_back({false, QString(c), i});
        ++i;
    }
    return t;
}



AnalisiSql analizzaSql(const QString& sql) {
    static const QSet<QString> aggregati = {"count", "sum", "min", "max", "avg", "total", "group_concat"};
    static const QSet<QString> fineFrom = {"where", "group", "order", "having", "limit", "union", "except",
                                           "intersect", "window"};
    AnalisiSql a;
    const auto t = tokenizzaSql(sql);
    if (t.empty() || !t[0].ident || t[0].testo.compare(QLatin1String("select"), Qt::CaseInsensitive) != 0) return a;
    a.semplice = true;
    std::vector<char> pila;  // 'q' subquery, 'g' parentheses of joins, 'e' expression
    bool inFrom = false, attesaTabella = false;
    const auto dentro = [&](char k) { return std::find(pila.begin(), pila.end(), k) != pila.end(); };
    for (size_t i = 0; i < t.size(); ++i) {
        const TokenSql& k = t[i];
        if (!k.ident && k.testo == QLatin1String("(")) {
            const bool sub = i + 1 < t.size() && t[i + 1].ident &&
                             t[i + 1].testo.compare(QLatin1String("select"), Qt::CaseInsensitive) == 0;
            pila.push_back(sub ? 'q' : (inFrom && attesaTabella ? 'g' : 'e'));
            continue;
        }
        if (!k.ident && k.testo == QLatin1String(")")) {
            if (!pila.empty()) pila.pop_back();
            continue;
        }
        if (dentro('q')) continue;
        if (!k.ident) {
            if (k.testo == QLatin1String(",") && inFrom && !dentro('e')) attesaTabella = true;
            continue;
        }
        const QString p = k.testo.toLower();
        if (i == 1 && p == QLatin1String("distinct")) a.semplice = false;
        if (p == QLatin1String("group") || p == QLatin1String("union") || p == QLatin1String("intersect") ||
            p == QLatin1String("except"))
            a.semplice = false;
        if (aggregati.contains(p) && i + 1 < t.size() && t[i + 1].testo == QLatin1String("(")) a.semplice = false;
        if (p == QLatin1String("from") && a.posFrom < 0 && !dentro('e')) {
            a.posFrom = k.pos;
            inFrom = attesaTabella = true;
            continue;
        }
        if (!inFrom || dentro('e')) continue;
        if (fineFrom.contains(p)) {
            inFrom = false;
        } else if (p == QLatin1String("join")) {
            attesaTabella = true;
        } else if (attesaTabella) {
            attesaTabella = false;
            IstanzaTabella is{k.testo, k.testo};
            if (i + 2 < t.size() && t[i + 1].testo == QLatin1String(".") && t[i + 2].ident) {  // schema.table
                i += 2;
                is = {t[i].testo, t[i].testo};
            }
            if (i + 2 < t.size() && t[i + 1].ident && t[i + 1].testo.compare(QLatin1String("as"), Qt::CaseInsensitive) == 0 &&
                t[i + 2].ident) {
                is.alias = t[i + 2].testo;
                i += 2;
            } else if (i + 1 < t.size() && t[i + 1].ident && !parolaChiave(t[i + 1].testo)) {
                is.alias = t[i + 1].testo;
                i += 1;
            }
            a.istanze.push_back(is);
        }
    }
    return a;
}

std::vector<std::vector<TokenSql>> vociElencoSelezione(const QString& sql, const AnalisiSql& a) {
    const auto t = tokenizzaSql(a.posFrom >= 0 ? sql.left(a.posFrom) : sql);
    std::vector<std::vector<TokenSql>> voci(1);
    int livello = 0;
    for (size_t i = 1; i < t.size(); ++i) {  // past SELECT
        const QString& k = t[i].testo;
        if (!t[i].ident && k == QLatin1String("(")) ++livello;
        if (!t[i].ident && k == QLatin1String(")")) --livello;
        if (!t[i].ident && k == QLatin1String(",") && livello == 0) voci.emplace_back();
        else voci.back().push_back(t[i]);
    }
    return voci;
}
