#include "components/util/RecuperoTabelle.h"

#include "components/core/Valore.h"

#include <QHash>
#include <QSet>
#include <QRegularExpression>
#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <optional>
#include <sqlite3.h>

namespace RecuperoTabelle {

Genere genereDi(const QString& dichiarato) {
    const QString t = dichiarato.toUpper();
    if (t.contains(QLatin1String("DATE")) || t.contains(QLatin1String("TIME"))) return Genere::Data;
    if (t.contains(QLatin1String("CHAR")) || t.contains(QLatin1String("TEXT")) || t.contains(QLatin1String("CLOB")))
        return Genere::Testo;
    if (t == QLatin1String("SMALLINT")) return Genere::Intero16;
    if (t == QLatin1String("INTEGER") || t == QLatin1String("INT")) return Genere::Intero32;
    if (t.contains(QLatin1String("DOUBLE")) || t.contains(QLatin1String("REAL")) || t.contains(QLatin1String("FLOAT")))
        return Genere::Decimale;
    return Genere::Libero;
}

namespace {

// Day numbers of 1/1/0001 and 31/12/9999, day 0 being 30/12/1899 as the
// program counts (Valore::data): the dates it can show and write.
constexpr double kPrimoGiorno = -693593;
constexpr double kUltimoGiorno = 2958465;

bool giornoLeggibile(double n) { return std::isfinite(n) && n >= kPrimoGiorno && n < kUltimoGiorno + 1; }

bool dataLeggibile(const QDate& d) { return d.isValid() && d.year() >= 1 && d.year() <= 9999; }

// A number read into an integer column is rounded, as Valore::intero does.
bool interoNeiLimiti(double n, Genere g) {
    if (!std::isfinite(n)) return false;
    const double r = std::round(n);
    if (g == Genere::Intero16) return r >= std::numeric_limits<qint16>::min() && r <= std::numeric_limits<qint16>::max();
    return r >= std::numeric_limits<qint32>::min() && r <= std::numeric_limits<qint32>::max();
}

}  // namespace

bool leggibile(sqlite3_value* valore, Genere genere) {
    switch (sqlite3_value_type(valore)) {
    case SQLITE_NULL: return true;
    case SQLITE_BLOB:
        // The database layer hands a blob on as text: a number column does not read it.
        return genere == Genere::Libero || genere == Genere::Testo;
    case SQLITE_TEXT: {
        if (genere == Genere::Libero || genere == Genere::Testo) return true;
        const QString t = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_value_text(valore)), sqlite3_value_bytes(valore));
        if (t.trimmed().isEmpty()) return true;  // an empty value, which the files hold
        if (genere == Genere::Data) return dataLeggibile(Valore::DaTestoDb(t, true).data());
        double n = 0;
        if (!leggiNumeroItaliano(t, n)) return false;
        return genere == Genere::Decimale || interoNeiLimiti(n, genere);
    }
    case SQLITE_INTEGER: {
        const qint64 n = sqlite3_value_int64(valore);
        switch (genere) {
        case Genere::Intero16: return n >= std::numeric_limits<qint16>::min() && n <= std::numeric_limits<qint16>::max();
        case Genere::Intero32: return n >= std::numeric_limits<qint32>::min() && n <= std::numeric_limits<qint32>::max();
        case Genere::Data: return giornoLeggibile(static_cast<double>(n));
        default: return true;
        }
    }
    default: {
        const double d = sqlite3_value_double(valore);
        switch (genere) {
        case Genere::Libero:
        case Genere::Testo: return true;
        case Genere::Decimale: return std::isfinite(d);
        case Genere::Data: return giornoLeggibile(std::floor(d));
        default: return interoNeiLimiti(d, genere);
        }
    }
    }
}

QString nomeSql(const QString& nome) {
    return QLatin1Char('"') + QString(nome).replace(QLatin1Char('"'), QStringLiteral("\"\"")) + QLatin1Char('"');
}

namespace {

Connessione inMemoria() {
    sqlite3* db = nullptr;
    sqlite3_open_v2(":memory:", &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    return Connessione(db, &sqlite3_close_v2);
}

// The parts of a definition between its first "(" and the one that closes
// it, split at the commas outside parentheses, quotes and comments (the
// stored text keeps the comments it was written with). `intera` says that
// the closing parenthesis was found with nothing after it but what may end a
// definition: otherwise the list may go on past what could be read.
QStringList parti(const QString& sql, bool& intera) {
    intera = false;
    QStringList v;
    qsizetype i = sql.indexOf(QLatin1Char('('));
    if (i < 0) return v;
    int livello = 1;
    QChar chiude;
    QString corrente;
    for (++i; i < sql.size(); ++i) {
        const QChar c = sql[i];
        if (!chiude.isNull()) {
            corrente += c;
            if (c == chiude) chiude = QChar();
            continue;
        }
        if (c == QLatin1Char('-') && sql.mid(i, 2) == QLatin1String("--")) {
            const qsizetype fine = sql.indexOf(QLatin1Char('\n'), i);
            if (fine < 0) break;
            i = fine;
            corrente += QLatin1Char(' ');
            continue;
        }
        if (c == QLatin1Char('/') && sql.mid(i, 2) == QLatin1String("/*")) {
            const qsizetype fine = sql.indexOf(QLatin1String("*/"), i + 2);
            if (fine < 0) {
                i = sql.size();
                break;
            }
            i = fine + 1;
            corrente += QLatin1Char(' ');
            continue;
        }
        if (c == QLatin1Char('\'') || c == QLatin1Char('"') || c == QLatin1Char('`')) chiude = c;
        else if (c == QLatin1Char('[')) chiude = QLatin1Char(']');
        else if (c == QLatin1Char('(')) ++livello;
        else if (c == QLatin1Char(')') && --livello == 0) break;
        else if (c == QLatin1Char(',') && livello == 1) {
            v << corrente.trimmed();
            corrente.clear();
            continue;
        }
        corrente += c;
    }
    if (i < sql.size()) {
        static const QRegularExpression coda(QStringLiteral("^\\s*((WITHOUT\\s+ROWID|STRICT)\\s*,?\\s*)*;?\\s*$"),
                                             QRegularExpression::CaseInsensitiveOption);
        intera = coda.match(sql.mid(i + 1)).hasMatch();
    }
    if (!corrente.trimmed().isEmpty() || !v.isEmpty()) v << corrente.trimmed();
    return v;
}

bool vincolo(const QString& parte) {
    static const QRegularExpression inizio(QStringLiteral("^(CONSTRAINT|PRIMARY|UNIQUE|CHECK|FOREIGN)\\b"),
                                           QRegularExpression::CaseInsensitiveOption);
    return inizio.match(parte).hasMatch();
}

struct Colonna {
    QString nome;   // empty: unreadable
    QString tipo;   // as declared, where readable
    QString testo;  // its definition, when the whole of it parses
    bool dalProgramma = false;
};

// What a memory database makes of "CREATE TABLE x (<colonne>)": the name and
// type of each column, or nothing when it does not parse.
std::optional<QList<std::pair<QString, QString>>> colonneDi(sqlite3* db, const QString& colonne) {
    sqlite3_exec(db, "DROP TABLE IF EXISTS x", nullptr, nullptr, nullptr);
    const QByteArray sql = (QStringLiteral("CREATE TABLE x (") + colonne + QLatin1Char(')')).toUtf8();
    if (sqlite3_exec(db, sql.constData(), nullptr, nullptr, nullptr) != SQLITE_OK) return std::nullopt;
    QList<std::pair<QString, QString>> c;
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db, "PRAGMA table_info(x)", -1, &st, nullptr) == SQLITE_OK)
        while (sqlite3_step(st) == SQLITE_ROW)
            c << std::pair{QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 1))),
                           QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 2)))};
    sqlite3_finalize(st);
    return c;
}

// One column of the stored text: whole when it parses alone, else the
// longest start of it that parses (its name, perhaps its type).
Colonna colonnaLetta(sqlite3* db, const QString& parte) {
    Colonna c;
    if (const auto intera = colonneDi(db, parte); intera && intera->size() == 1) {
        c.nome = intera->at(0).first;
        c.tipo = intera->at(0).second;
        c.testo = parte;
        return c;
    }
    static const QRegularExpression spazi(QStringLiteral("\\s+"));
    QList<qsizetype> fini;  // where each word ends
    for (QRegularExpressionMatchIterator it = spazi.globalMatch(parte); it.hasNext();) fini << it.next().capturedStart();
    for (qsizetype k = fini.size() - 1; k >= 0; --k) {
        const auto inizio = colonneDi(db, parte.left(fini[k]));
        if (!inizio || inizio->size() != 1) continue;
        c.nome = inizio->at(0).first;
        c.tipo = inizio->at(0).second;
        break;
    }
    return c;
}

struct Lettura {
    QList<Colonna> colonne;
    QStringList vincoli;
    bool intera = false;
};

Lettura leggi(sqlite3* db, const QString& sql) {
    Lettura l;
    for (const QString& p : parti(sql, l.intera)) {
        if (p.isEmpty()) continue;
        if (vincolo(p)) l.vincoli << p;
        else l.colonne << colonnaLetta(db, p);
    }
    return l;
}

// Two names of one length that differ in one or two letters: a name hit by damage.
bool vicini(const QString& a, const QString& b) {
    if (a.size() != b.size()) return false;
    int diversi = 0;
    for (qsizetype i = 0; i < a.size(); ++i)
        if (a[i].toLower() != b[i].toLower()) ++diversi;
    return diversi <= 2;
}

// Columns whose name cannot be read, or reads one or two letters off, take the
// name of the program's column at their place: between the same two columns
// that both lists name, as many columns the stored text lacks as are unread.
void nomiDalProgramma(QList<Colonna>& letti, const QList<Colonna>& programma) {
    QHash<QString, qsizetype> posizione;
    for (qsizetype i = 0; i < programma.size(); ++i) posizione.insert(programma[i].nome.toLower(), i);
    QSet<QString> presenti;
    for (const Colonna& c : letti) presenti.insert(c.nome.toLower());
    qsizetype i = 0;
    qsizetype prima = -1;  // the program's position of the last column both name
    while (i < letti.size()) {
        if (posizione.contains(letti[i].nome.toLower())) {
            prima = posizione.value(letti[i].nome.toLower());
            ++i;
            continue;
        }
        qsizetype fine = i;
        while (fine < letti.size() && !posizione.contains(letti[fine].nome.toLower())) ++fine;
        const qsizetype dopo = fine < letti.size() ? posizione.value(letti[fine].nome.toLower()) : programma.size();
        QList<qsizetype> mancanti;
        for (qsizetype p = prima + 1; p < dopo; ++p)
            if (!presenti.contains(programma[p].nome.toLower())) mancanti << p;
        if (dopo > prima && mancanti.size() == fine - i)
            for (qsizetype k = 0; k < mancanti.size(); ++k) {
                Colonna& c = letti[i + k];
                const Colonna& p = programma[mancanti[k]];
                if (!c.nome.isEmpty() && !vicini(c.nome, p.nome)) continue;
                c.nome = p.nome;
                c.testo.clear();
                c.dalProgramma = true;
                presenti.insert(p.nome.toLower());
            }
        i = fine;
    }
}

// The definition a read uses to see values past the last column: spare
// columns up to the most a read can give.
QString conColonneInPiu(sqlite3* db, const QString& tabella, const QStringList& colonne) {
    QStringList tutte = colonne;
    // The read selects the rowid too, and a result has no more columns than a table.
    const int massimo = sqlite3_limit(db, SQLITE_LIMIT_COLUMN, -1) - 1;
    for (int n = 1; tutte.size() < massimo; ++n) tutte << QStringLiteral("\"__recupero_oltre_%1\"").arg(n);
    return QStringLiteral("CREATE TABLE ") + nomeSql(tabella) + QStringLiteral(" (") + tutte.join(QStringLiteral(", ")) +
           QLatin1Char(')');
}

bool siLegge(sqlite3* db, const QString& sql) {
    sqlite3_stmt* st = nullptr;
    const bool ok = sqlite3_prepare_v2(db, sql.toUtf8().constData(), -1, &st, nullptr) == SQLITE_OK;
    sqlite3_finalize(st);
    return ok;
}

}  // namespace

Ripristino ripristina(const QString& tabella, const QString& conservata, const QString& programma) {
    const Connessione db = inMemoria();
    Ripristino r;
    if (!db) return r;
    Lettura letta = leggi(db.get(), conservata);
    const Lettura delProgramma = programma.isEmpty() ? Lettura{} : leggi(db.get(), programma);
    const bool qualcosa = std::any_of(letta.colonne.cbegin(), letta.colonne.cend(), [](const Colonna& c) { return !c.nome.isEmpty(); });

    if (!qualcosa) {
        // Nothing of the stored text can be read: the program's definition, which its rows must fit.
        if (programma.isEmpty()) return r;
        QStringList colonne;
        for (const Colonna& c : delProgramma.colonne) colonne << c.testo;
        r.fonte = Ripristino::Fonte::Programma;
        r.sql = programma;
        r.colonne = static_cast<int>(delProgramma.colonne.size());
        r.lettura = conColonneInPiu(db.get(), tabella, colonne);
        r.conforme = true;
        return r;
    }

    nomiDalProgramma(letta.colonne, delProgramma.colonne);
    // Unreadable parts after the last column read may be a table constraint
    // as well as columns: they are left out, and the rows must then show that
    // no value stands past the columns read.
    bool finePerduta = false;
    while (!letta.colonne.isEmpty() && letta.colonne.last().nome.isEmpty()) {
        letta.colonne.removeLast();
        finePerduta = true;
    }
    if (std::any_of(letta.colonne.cbegin(), letta.colonne.cend(), [](const Colonna& c) { return c.nome.isEmpty(); }))
        return r;  // a column whose name nobody can tell: its values would have no place
    QHash<QString, const Colonna*> delProgrammaPerNome;
    for (const Colonna& c : delProgramma.colonne) delProgrammaPerNome.insert(c.nome.toLower(), &c);
    if (!letta.intera) {
        // The list may go on past the text still readable: the program's
        // columns after the last one read, and the rows must fit them.
        QSet<QString> presenti;
        for (const Colonna& c : letta.colonne) presenti.insert(c.nome.toLower());
        qsizetype ultima = -1;
        for (qsizetype p = 0; p < delProgramma.colonne.size(); ++p)
            if (presenti.contains(delProgramma.colonne[p].nome.toLower())) ultima = p;
        for (qsizetype p = ultima + 1; p < delProgramma.colonne.size(); ++p)
            if (!presenti.contains(delProgramma.colonne[p].nome.toLower())) {
                Colonna c = delProgramma.colonne[p];
                c.testo.clear();
                c.dalProgramma = true;
                letta.colonne << c;
            }
    }

    QStringList colonne;
    bool dalProgramma = false;
    for (const Colonna& c : letta.colonne) {
        dalProgramma = dalProgramma || c.dalProgramma;
        if (!c.testo.isEmpty()) {
            colonne << c.testo;
            continue;
        }
        const Colonna* p = delProgrammaPerNome.value(c.nome.toLower());
        // The program's whole definition of the column, unless the stored type reads as another kind.
        if (p && (c.tipo.isEmpty() || genereDi(c.tipo) == genereDi(p->tipo))) colonne << p->testo;
        else colonne << nomeSql(c.nome) + (c.tipo.isEmpty() ? QString() : QLatin1Char(' ') + c.tipo);
    }
    const QString testa = QStringLiteral("CREATE TABLE ") + nomeSql(tabella) + QStringLiteral(" (");
    QStringList vincoli;
    for (const QString& v : letta.vincoli)
        if (siLegge(db.get(), testa + (colonne + vincoli + QStringList{v}).join(QStringLiteral(", ")) + QLatin1Char(')')))
            vincoli << v;
    // A primary key lost with the text comes back from the program's, where it names columns still there.
    const auto chiave = [](const QString& v) { return v.startsWith(QLatin1String("PRIMARY"), Qt::CaseInsensitive); };
    if (std::none_of(vincoli.cbegin(), vincoli.cend(), chiave) &&
        std::none_of(colonne.cbegin(), colonne.cend(), [](const QString& c) { return c.contains(QLatin1String("PRIMARY KEY"), Qt::CaseInsensitive); }))
        for (const QString& v : delProgramma.vincoli)
            if (chiave(v) && siLegge(db.get(), testa + (colonne + vincoli + QStringList{v}).join(QStringLiteral(", ")) + QLatin1Char(')')))
                vincoli << v;
    r.sql = testa + (colonne + vincoli).join(QStringLiteral(", ")) + QLatin1Char(')');
    if (!siLegge(db.get(), r.sql)) return r;
    r.fonte = dalProgramma ? Ripristino::Fonte::Programma : Ripristino::Fonte::Testo;
    r.colonne = static_cast<int>(colonne.size());
    r.conforme = !letta.intera || finePerduta;
    r.lettura = r.conforme ? conColonneInPiu(db.get(), tabella, colonne) : r.sql;
    return r;
}

const QList<Gruppo>& gruppi() {
    static const QList<Gruppo> g = {
        {{QStringLiteral("MovPnTes"), QStringLiteral("MovPnDett"), QStringLiteral("MovPnIva")},
         {QStringLiteral("Anno"), QStringLiteral("NumReg")}},
        {{QStringLiteral("MovPnTesFitt"), QStringLiteral("MovPnDettFitt"), QStringLiteral("MovPnIvaFitt")},
         {QStringLiteral("Anno"), QStringLiteral("NumReg")}},
        {{QStringLiteral("DatiFatTest"), QStringLiteral("DatiFatDett")},
         {QStringLiteral("AnnoCom"), QStringLiteral("NumCom"), QStringLiteral("AnnoReg"), QStringLiteral("NumReg"),
          QStringLiteral("NumCanc"), QStringLiteral("Tipo"), QStringLiteral("Stato")}},
        {{QStringLiteral("LiqIvaTest"), QStringLiteral("LiqIvaDett")}, {QStringLiteral("Anno"), QStringLiteral("NumCom")}},
    };
    return g;
}

const Gruppo* gruppoDi(const QString& tabella) {
    for (const Gruppo& g : gruppi())
        if (g.tabelle.contains(tabella, Qt::CaseInsensitive)) return &g;
    return nullptr;
}

}  // namespace RecuperoTabelle
