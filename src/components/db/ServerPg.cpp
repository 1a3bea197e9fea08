#include "components/db/ServerPg.h"

#include "components/db/ErroriDb.h"

#include <QLoggingCategory>
#include <QHash>
#include <QRegularExpression>
#include <QStringList>
#include <libpq-fe.h>
#include <vector>

namespace {

Q_LOGGING_CATEGORY(logPg, "comiva.db")

QString testo(const char* s) { return s ? QString::fromUtf8(s).trimmed() : QString(); }

// The statement's own error, or "" when it went well; the rows when kept.
struct Esito {
    bool ok = false;
    long righe = 0;
    QString sqlstate;
    QString messaggio;
    ServerPg::Risultato risultato;
};

bool riuscito(ExecStatusType s) { return s == PGRES_COMMAND_OK || s == PGRES_TUPLES_OK || s == PGRES_EMPTY_QUERY; }

Esito esitoDi(pg_conn* c, PGresult* r, bool tieniRighe) {
    Esito e;
    if (r && riuscito(PQresultStatus(r))) {
        e.ok = true;
        // Only a change counts: a query's status carries its rows too.
        const QByteArray stato(PQcmdStatus(r));
        if (stato.startsWith("INSERT") || stato.startsWith("UPDATE") || stato.startsWith("DELETE") ||
            stato.startsWith("MERGE"))
            e.righe = QByteArray(PQcmdTuples(r)).toLong();
    } else {
        e.sqlstate = r ? testo(PQresultErrorField(r, PG_DIAG_SQLSTATE)) : QString();
        e.messaggio = r ? testo(PQresultErrorField(r, PG_DIAG_MESSAGE_PRIMARY)) : QString();
        if (e.messaggio.isEmpty()) e.messaggio = testo(PQerrorMessage(c));
        // A connection gone is a failure of the network, whatever the statement.
        if (PQstatus(c) != CONNECTION_OK) e.sqlstate = QStringLiteral("08006");
    }
    if (e.ok && tieniRighe) e.risultato = ServerPg::Risultato(r);
    else PQclear(r);
    return e;
}

Esito eseguiUna(pg_conn* c, const QByteArray& sql) { return esitoDi(c, PQexec(c, sql.constData()), false); }

// Takes back what the statements since the savepoint did, and the savepoint.
void annullaIstruzione(pg_conn* c) {
    if (PQstatus(c) == CONNECTION_OK)
        eseguiUna(c, "ROLLBACK TO SAVEPOINT comiva_istruzione; RELEASE SAVEPOINT comiva_istruzione");
}

// Statements with their savepoint and its release sent at once: one round
// trip when they go well, a second to take the statements back when not. The
// server answers the savepoint, each statement and the release in turn, and
// stops at the first failure; the rows changed are the last statement's, as
// PQexec gives them.
Esito eseguiInSavepoint(pg_conn* c, const QByteArray& sql) {
    const QByteArray tutto = "SAVEPOINT comiva_istruzione;\n" + sql + "\n;RELEASE SAVEPOINT comiva_istruzione";
    if (!PQsendQuery(c, tutto.constData())) return esitoDi(c, nullptr, false);
    std::vector<PGresult*> risultati;
    while (PGresult* r = PQgetResult(c)) risultati.push_back(r);
    PGresult* scelto = nullptr;  // the failure, else the last statement's
    for (PGresult* r : risultati)
        if (!riuscito(PQresultStatus(r))) {
            scelto = r;
            break;
        }
    if (!scelto && risultati.size() >= 3) scelto = risultati[risultati.size() - 2];
    for (PGresult* r : risultati)
        if (r != scelto) PQclear(r);
    Esito e;
    if (scelto) e = esitoDi(c, scelto, false);
    else if (risultati.empty()) e = esitoDi(c, nullptr, false);
    else e.ok = true;  // nothing but blanks between savepoint and release
    if (!e.ok) annullaIstruzione(c);
    return e;
}

// Runs a statement; inside a transaction under a savepoint, so that a
// failure takes back only its own work and the transaction goes on.
template <typename F>
Esito protetta(pg_conn* c, bool inTransazione, const QString& sql, const QString& origine, F esegui) {
    if (inTransazione) {
        const Esito s = eseguiUna(c, "SAVEPOINT comiva_istruzione");
        if (!s.ok) throw ServerPg::ErroreDaPg(s.sqlstate, s.messaggio, sql, origine);
    }
    Esito e = esegui();
    if (inTransazione && e.ok && PQstatus(c) == CONNECTION_OK) eseguiUna(c, "RELEASE SAVEPOINT comiva_istruzione");
    if (inTransazione && !e.ok) annullaIstruzione(c);
    if (!e.ok) throw ServerPg::ErroreDaPg(e.sqlstate, e.messaggio, sql, origine);
    return e;
}

// "SET TRANSACTION" outside a transaction would set nothing, and inside one
// the server refuses it once the transaction has read (the program's own take
// their lock first): the isolation the program asks for holds for the
// session's transactions from the next one on.
QString adattaIsolamento(const QString& sql) {
    static const QRegularExpression re(QStringLiteral("^\\s*SET\\s+TRANSACTION\\s+ISOLATION\\s+LEVEL\\b"),
                                       QRegularExpression::CaseInsensitiveOption);
    const auto m = re.match(sql);
    if (!m.hasMatch()) return sql;
    return QStringLiteral("SET SESSION CHARACTERISTICS AS TRANSACTION ISOLATION LEVEL") + sql.mid(m.capturedEnd());
}

// Statements that open or close the transaction itself take no savepoint.
bool controllaTransazione(const QString& sql) {
    static const QRegularExpression re(
        QStringLiteral("^\\s*(BEGIN|START|COMMIT|END|ROLLBACK|ABORT|SAVEPOINT|RELEASE|PREPARE\\s+TRANSACTION)\\b"),
        QRegularExpression::CaseInsensitiveOption);
    return re.match(sql).hasMatch();
}

void silenzioso(void*, const char* messaggio) { qCDebug(logPg).noquote() << testo(messaggio); }

}  // namespace

namespace ServerPg {

Origine OrigineDaNome(const QString& nome, const QString& connect) {
    Origine o;
    QString n = nome.trimmed();
    QString c = connect.trimmed();
    if (n.startsWith(QStringLiteral("ODBC;"), Qt::CaseInsensitive)) c = n;
    if (c.startsWith(QStringLiteral("ODBC;"), Qt::CaseInsensitive)) {
        for (const QString& parte : c.mid(5).split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            const qsizetype uguale = parte.indexOf(QLatin1Char('='));
            if (uguale < 0) continue;
            const QString chiave = parte.left(uguale).trimmed().toUpper();
            const QString valore = parte.mid(uguale + 1);
            if (chiave == QLatin1String("DSN") || chiave == QLatin1String("FILEDSN")) n = valore.trimmed();
            else if (chiave == QLatin1String("UID")) o.utente = valore.trimmed();
            else if (chiave == QLatin1String("PWD")) o.password = valore;
        }
    }
    if (n.endsWith(QStringLiteral(".dsn"), Qt::CaseInsensitive)) n.chop(4);
    // A file data-source name may carry a folder: the service is its base name.
    n = n.section(QLatin1Char('/'), -1).section(QLatin1Char('\\'), -1);
    o.servizio = n;
    return o;
}

pg_conn* Connetti(const Origine& origine, int attesaBloccoMs) {
    const QByteArray servizio = origine.servizio.toUtf8();
    const QByteArray utente = origine.utente.toUtf8();
    const QByteArray password = origine.password.toUtf8();
    // Dates travel as ISO text whatever the server's own settings.
    const QByteArray opzioni =
        QStringLiteral("-c lock_timeout=%1 -c datestyle=ISO").arg(std::max(1, attesaBloccoMs)).toUtf8();
    std::vector<const char*> chiavi{"service", "connect_timeout", "application_name", "options", "client_encoding"};
    std::vector<const char*> valori{servizio.constData(), "10", "comiva", opzioni.constData(), "UTF8"};
    if (!utente.isEmpty()) {
        chiavi.push_back("user");
        valori.push_back(utente.constData());
    }
    if (!password.isEmpty()) {
        chiavi.push_back("password");
        valori.push_back(password.constData());
    }
    chiavi.push_back(nullptr);
    valori.push_back(nullptr);
    pg_conn* c = PQconnectdbParams(chiavi.data(), valori.data(), 0);
    if (c && PQstatus(c) == CONNECTION_OK) {
        PQsetNoticeProcessor(c, silenzioso, nullptr);
        return c;
    }
    const QString dettaglio = c ? testo(PQerrorMessage(c)) : QStringLiteral("memoria esaurita");
    // Whether the server asked for a password tells a refused login from a
    // server that cannot be reached, whatever language its messages are in.
    const bool login = c && (PQconnectionNeedsPassword(c) || PQconnectionUsedPassword(c));
    PQfinish(c);
    qCWarning(logPg).noquote() << "connessione al servizio" << origine.servizio << "non riuscita:" << dettaglio;
    if (login)
        throw ErroreRun(NumErrore::ConnessioneOdbcRifiutata,
                        QStringLiteral("Accesso al database \"%1\" rifiutato: utente o password non validi.")
                            .arg(origine.servizio),
                        kOrigineGestoreDb);
    if (dettaglio.contains(QLatin1String("definition of service")) || origine.servizio.isEmpty())
        throw ErroreRun(NumErroreDb::ConnessioneServerFallita,
                        QStringLiteral("Il database \"%1\" non è definito tra i servizi di database (pg_service.conf).")
                            .arg(origine.servizio),
                        kOrigineGestoreDb);
    throw ErroreRun(NumErroreDb::ConnessioneServerFallita,
                    QStringLiteral("Impossibile collegarsi al server del database \"%1\": il server non risponde o "
                                   "non accetta il collegamento.")
                        .arg(origine.servizio),
                    kOrigineGestoreDb);
}

void Chiudi(pg_conn* c) {
    if (c) PQfinish(c);
}

bool InTransazione(pg_conn* c) {
    const PGTransactionStatusType s = PQtransactionStatus(c);
    return s == PQTRANS_INTRANS || s == PQTRANS_INERROR || s == PQTRANS_ACTIVE;
}

long Esegui(pg_conn* c, const QString& sql, const QString& origine) {
    // A transaction some failure left aborted would end as a rollback that
    // the server reports as done: a commit of it is a failure.
    static const QRegularExpression conferma(QStringLiteral("^\\s*(COMMIT|END)\\b"),
                                             QRegularExpression::CaseInsensitiveOption);
    if (PQtransactionStatus(c) == PQTRANS_INERROR && conferma.match(sql).hasMatch()) {
        eseguiUna(c, "ROLLBACK");
        throw ErroreRun(NumErrore::ErroreSql,
                        QStringLiteral("Transazione annullata: un errore precedente ha impedito di confermarla."), origine);
    }
    const QByteArray testoSql = adattaIsolamento(sql).toUtf8();
    const bool inTransazione = InTransazione(c) && !controllaTransazione(sql);
    const Esito e = inTransazione ? eseguiInSavepoint(c, testoSql) : eseguiUna(c, testoSql);
    if (!e.ok) throw ErroreDaPg(e.sqlstate, e.messaggio, sql, origine);
    return e.righe;
}

Risultato::~Risultato() { PQclear(r_); }

Risultato& Risultato::operator=(Risultato&& altro) noexcept {
    if (this != &altro) {
        PQclear(r_);
        r_ = altro.r_;
        altro.r_ = nullptr;
    }
    return *this;
}

int Risultato::Righe() const { return r_ ? PQntuples(r_) : 0; }
int Risultato::Colonne() const { return r_ ? PQnfields(r_) : 0; }
bool Risultato::Null(int riga, int colonna) const { return PQgetisnull(r_, riga, colonna) != 0; }
const char* Risultato::Testo(int riga, int colonna) const { return PQgetvalue(r_, riga, colonna); }
int Risultato::Lunghezza(int riga, int colonna) const { return PQgetlength(r_, riga, colonna); }

Risultato EseguiParametri(pg_conn* c, const QString& sql, const std::vector<ParametroPg>& parametri,
                          const QString& origine) {
    const QByteArray testoSql = sql.toUtf8();
    std::vector<const char*> valori;
    valori.reserve(parametri.size());
    for (const ParametroPg& p : parametri) valori.push_back(p ? p->constData() : nullptr);
    return protetta(c, InTransazione(c), sql, origine, [&] {
               return esitoDi(c,
                              PQexecParams(c, testoSql.constData(), static_cast<int>(valori.size()), nullptr,
                                           valori.data(), nullptr, nullptr, 0),
                              true);
           })
        .risultato;
}

ParametroPg Parametro(const Valore& v) {
    switch (v.tipo()) {
    case TipoValore::Vuoto:
    case TipoValore::Null: return std::nullopt;
    case TipoValore::Booleano:
    case TipoValore::Intero: return QByteArray::number(static_cast<qlonglong>(v.intero()));
    case TipoValore::Doppio: return QString::number(v.numero(), 'g', 17).toUtf8();
    case TipoValore::Data:
        if (!v.data().isValid()) return std::nullopt;
        return v.data().toString(Qt::ISODate).toUtf8();
    case TipoValore::Testo: return v.testo().toUtf8();
    case TipoValore::Lista:
        throw ErroreRun(NumErrore::TipoNonCorrispondente,
                        QStringLiteral("Un elenco di valori non si può scrivere in un campo."), kOrigineGestRecordset);
    }
    return std::nullopt;
}

TipoPg TipoDi(unsigned oid) {
    switch (oid) {
    case 20: case 21: case 23: case 26: return TipoPg::Intero;  // int8, int2, int4, oid
    case 16: return TipoPg::Booleano;
    case 700: case 701: case 1700: return TipoPg::Decimale;      // float4, float8, numeric
    case 1082: case 1114: case 1184: return TipoPg::Data;        // date, timestamp, timestamptz
    default: return TipoPg::Testo;
    }
}

std::vector<TipoPg> TipiDi(const Risultato& r) {
    std::vector<TipoPg> t;
    for (int i = 0; i < r.Colonne(); ++i) t.push_back(TipoDi(PQftype(r.Dati(), i)));
    return t;
}

Valore ValoreDi(const Risultato& r, int riga, int colonna, TipoPg tipo, bool data) {
    if (r.Null(riga, colonna)) return Valore::null();
    const char* t = r.Testo(riga, colonna);
    switch (tipo) {
    case TipoPg::Intero: return Valore(static_cast<long long>(std::strtoll(t, nullptr, 10)));
    case TipoPg::Booleano: return Valore(static_cast<long long>(t[0] == 't' ? 1 : 0));
    case TipoPg::Decimale: return Valore(QByteArray(t).toDouble());
    default: return Valore::DaTestoDb(QString::fromUtf8(t, r.Lunghezza(riga, colonna)), data);
    }
}

bool EsisteTabella(pg_conn* c, const QString& nome) {
    const QByteArray n = nome.trimmed().toUtf8();
    const char* parametri[1] = {n.constData()};
    PGresult* r = PQexecParams(c,
                               "SELECT 1 FROM pg_catalog.pg_tables WHERE lower(tablename) = lower($1) "
                               "AND schemaname = ANY (current_schemas(false))",
                               1, nullptr, parametri, nullptr, nullptr, 0);
    const bool ok = r && PQresultStatus(r) == PGRES_TUPLES_OK;
    const bool c1 = ok && PQntuples(r) > 0;
    const QString sqlstate = r ? testo(PQresultErrorField(r, PG_DIAG_SQLSTATE)) : QString();
    const QString messaggio = testo(PQerrorMessage(c));
    PQclear(r);
    if (!ok) throw ErroreDaPg(sqlstate, messaggio, QString(), kOrigineGestoreDb);
    return c1;
}

namespace {

// The table or column the server's message names as missing ("relation
// \"x\" does not exist", "column x.y does not exist", "column \"y\" of
// relation \"x\" does not exist"); "" when the message reads otherwise (a
// server speaking another language).
QString NomeMancante(const QString& messaggio) {
    static const QRegularExpression relazione(QStringLiteral("relation \"([^\"]+)\" does not exist"));
    static const QRegularExpression colonna(
        QStringLiteral("column \"?([^\" ]+)\"?(?: of relation \"([^\"]+)\")? does not exist"));
    if (const auto m = colonna.match(messaggio); m.hasMatch())
        return m.captured(2).isEmpty() ? m.captured(1) : m.captured(2) + QLatin1Char('.') + m.captured(1);
    if (const auto m = relazione.match(messaggio); m.hasMatch()) return m.captured(1);
    return {};
}

}  // namespace

ErroreRun ErroreDaPg(const QString& sqlstate, const QString& messaggio, const QString& sql, const QString& origine) {
    if (sql.isEmpty()) qCWarning(logPg).noquote() << "errore" << sqlstate << messaggio;
    else qCWarning(logPg).noquote() << "errore" << sqlstate << messaggio << "nell'istruzione:" << sql.simplified();
    auto e = [&](long numero, const QString& t) { return ErroreRun(numero, t, origine); };
    const QString classe = sqlstate.left(2);
    if (sqlstate == QLatin1String("23505"))
        return e(NumErroreDb::ValoriDuplicati,
                 QStringLiteral("Modifica non eseguita: creerebbe valori duplicati nella chiave o in un indice."));
    if (sqlstate == QLatin1String("23502"))
        return e(NumErroreDb::CampoObbligatorio, QStringLiteral("Modifica non eseguita: un campo obbligatorio è vuoto."));
    if (sqlstate == QLatin1String("23503"))
        return e(NumErroreDb::RecordCorrelatoMancante,
                 QStringLiteral("Modifica non eseguita: manca il record correlato richiesto."));
    if (classe == QLatin1String("23"))
        return e(NumErroreDb::RegolaConvalida,
                 QStringLiteral("Modifica non eseguita: uno o più valori non rispettano le regole della tabella."));
    if (sqlstate == QLatin1String("55P03") || sqlstate == QLatin1String("40001") ||
        sqlstate == QLatin1String("40P01") || sqlstate == QLatin1String("57014"))
        return e(NumErroreDb::DatabaseBloccato,
                 QStringLiteral("Il database è in uso da parte di un altro utente o programma e non è disponibile in "
                                "questo momento. Riprovare più tardi."));
    if (sqlstate == QLatin1String("25006") || sqlstate == QLatin1String("42501"))
        return e(NumErroreDb::SolaLettura,
                 QStringLiteral("Impossibile aggiornare: il database è di sola lettura o l'utente non ha i permessi."));
    if (sqlstate == QLatin1String("53100"))
        return e(NumErroreDb::DiscoPieno,
                 QStringLiteral("Spazio su disco insufficiente: il database non può essere aggiornato."));
    if (classe == QLatin1String("08") || classe == QLatin1String("58") || classe == QLatin1String("57"))
        return e(NumErroreDb::ErroreDisco, QStringLiteral("Errore del disco o della rete durante l'accesso al database."));
    if (classe == QLatin1String("53")) return e(NumErrore::MemoriaEsaurita, QStringLiteral("Memoria esaurita."));
    if (sqlstate == QLatin1String("42P01"))
        return e(NumErroreDb::TabellaInesistente, TestoStrutturaNonAggiornata(true, NomeMancante(messaggio)));
    if (sqlstate == QLatin1String("42703"))
        return e(NumErroreDb::CampoInesistente, TestoStrutturaNonAggiornata(false, NomeMancante(messaggio)));
    // The server's own words are in its language and name its internals:
    // they go to the log above, the user reads what kind of failure it was.
    return e(NumErrore::ErroreSql, QStringLiteral("Errore del database: ") + DescrizioneSqlState(sqlstate) +
                                       QStringLiteral(" (codice ") + (sqlstate.isEmpty() ? QStringLiteral("?") : sqlstate) +
                                       QStringLiteral(")."));
}

QString DescrizioneSqlState(const QString& sqlstate) {
    static const QHash<QString, QString> noti = {
        {QStringLiteral("42601"), QStringLiteral("istruzione SQL non valida")},
        {QStringLiteral("42P01"), QStringLiteral("tabella inesistente")},
        {QStringLiteral("42703"), QStringLiteral("colonna inesistente")},
        {QStringLiteral("42883"), QStringLiteral("funzione od operatore non disponibile per questi tipi di dato")},
        {QStringLiteral("42804"), QStringLiteral("tipo di dato non corrispondente")},
        {QStringLiteral("42704"), QStringLiteral("oggetto non definito nel database")},
        {QStringLiteral("42702"), QStringLiteral("nome di colonna ambiguo")},
        {QStringLiteral("22001"), QStringLiteral("testo troppo lungo per il campo")},
        {QStringLiteral("22003"), QStringLiteral("numero fuori dall'intervallo del campo")},
        {QStringLiteral("22007"), QStringLiteral("data non valida")},
        {QStringLiteral("22008"), QStringLiteral("data non valida")},
        {QStringLiteral("22012"), QStringLiteral("divisione per zero")},
        {QStringLiteral("22P02"), QStringLiteral("valore non valido per il tipo del campo")},
        {QStringLiteral("25P02"), QStringLiteral("transazione annullata da un errore precedente")},
    };
    if (const auto it = noti.constFind(sqlstate); it != noti.constEnd()) return *it;
    const QString classe = sqlstate.left(2);
    if (classe == QLatin1String("22")) return QStringLiteral("valore non valido");
    if (classe == QLatin1String("42")) return QStringLiteral("istruzione SQL non accettata dal server");
    return QStringLiteral("operazione non eseguita dal server");
}

QString SchemaPerServer(const QString& sql) {
    static const QRegularExpression re(QStringLiteral("\\bVARCHAR\\s*\\(\\s*\\d+\\s*\\)\\s+COLLATE\\s+NOCASE\\b"),
                                       QRegularExpression::CaseInsensitiveOption);
    QString s = sql;
    s.replace(re, QStringLiteral("CITEXT"));
    return QStringLiteral("CREATE EXTENSION IF NOT EXISTS citext;\n") + s;
}

}  // namespace ServerPg
