#include "components/db/ParametriSql.h"

#include "components/core/ErroreRun.h"
#include "components/db/GestoreDb.h"
#include "support/Fixture.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

namespace {

TEST(ParametriSql, SoloGliInserimentiDiLetterali) {
    const struct {
        const char* sql;
        const char* modello;  // nullptr: run as it is
    } casi[] = {
        {"INSERT INTO T (A, B, C, D) VALUES (2018, 'D''Angelo', -12.5, Null)",
         "INSERT INTO T (A, B, C, D) VALUES (?1, ?2, -CAST(?3 AS REAL), NULL)"},
        {"insert into [T] values ('x');  ", "insert into [T] values (?1)"},
        {"INSERT INTO T VALUES (1e5, .5, 5., 0)", "INSERT INTO T VALUES (CAST(?1 AS REAL), CAST(?2 AS REAL), CAST(?3 AS REAL), ?4)"},
        {"INSERT INTO T VALUES (1 + 1)", nullptr},
        {"INSERT INTO T VALUES (1), (2)", nullptr},
        {"INSERT INTO T VALUES (0x1F)", nullptr},
        {"INSERT INTO T VALUES (99999999999999999999)", nullptr},
        {"INSERT INTO T VALUES (date('now'))", nullptr},
        {"INSERT INTO T SELECT * FROM U", nullptr},
        {"INSERT INTO T VALUES (1) -- commento", nullptr},
        {"INSERT INTO T VALUES ('aperta)", nullptr},
        {"UPDATE T SET A = 1", nullptr},
        {"INSERT OR REPLACE INTO T VALUES (1)", nullptr},
    };
    for (const auto& c : casi) {
        SCOPED_TRACE(c.sql);
        const auto p = ParametrizzaInserimento(QString::fromUtf8(c.sql));
        ASSERT_EQ(p.has_value(), c.modello != nullptr);
        if (p) EXPECT_EQ(p->modello, QByteArray(c.modello));
    }
    const auto p = ParametrizzaInserimento("INSERT INTO T VALUES ('D''Angelo', -7, 2.50)");
    ASSERT_TRUE(p);
    ASSERT_EQ(p->parametri.size(), 3u);
    EXPECT_EQ(p->parametri[0].testo, QByteArray("D'Angelo"));
    EXPECT_EQ(p->parametri[1].intero, 7);
    EXPECT_EQ(p->parametri[2].testo, QByteArray("2.50"));
}

// The same literals stored through the compiled pattern and as plain text
// give the same values, of the same storage class, in columns of every
// affinity; the rows affected and the errors are those of the text.
TEST(ParametriSql, StessiValoriDelTesto) {
    FixtureDb fx;
    fx.Esegui(fx.idAzienda, "CREATE TABLE P (K TEXT, I INTEGER, R DOUBLE PRECISION, T VARCHAR(10), N NUMERIC, X)");
    const char* letterali[] = {"0", "-1", "9223372036854775807", "-9223372036854775808", "12.5", "-0.1",
                               "0.30000000000000004", "123456789.123456", "1e5", "1.5e-7", ".5", "5.",
                               "'12'", "'12.50'", "'D''Angelo è qui'", "''", "Null", "'2018-03-15'"};
    sqlite3* db = fx.gestDb->DatabaseDaId(fx.idAzienda)->Handle();
    int k = 0;
    for (const char* l : letterali) {
        SCOPED_TRACE(l);
        const QString valori = QStringLiteral("%1, %1, %1, %1, %1").arg(QLatin1String(l));
        const QString testo = QStringLiteral("INSERT INTO P (K, I, R, T, N, X) VALUES ('t%1', %2)").arg(k).arg(valori);
        const QString modello = QStringLiteral("INSERT INTO P (K, I, R, T, N, X) VALUES ('m%1', %2)").arg(k).arg(valori);
        ++k;
        fx.Esegui(fx.idAzienda, testo);
        fx.gestDb->EseguiSql(fx.idAzienda, modello);
        EXPECT_EQ(fx.gestDb->DatabaseDaId(fx.idAzienda)->RecordsAffected(), 1);
        sqlite3_stmt* st = nullptr;
        ASSERT_EQ(sqlite3_prepare_v2(db,
                                     "SELECT group_concat(quote(I) || typeof(I) || quote(R) || typeof(R) || quote(T)"
                                     " || typeof(T) || quote(N) || typeof(N) || quote(X) || typeof(X), '|')"
                                     " FROM P WHERE substr(K, 2) = ?1 GROUP BY substr(K, 2)",
                                     -1, &st, nullptr),
                  SQLITE_OK);
        sqlite3_bind_text(st, 1, QByteArray::number(k - 1).constData(), -1, SQLITE_TRANSIENT);
        ASSERT_EQ(sqlite3_step(st), SQLITE_ROW);
        const QStringList due = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 0))).split('|');
        sqlite3_finalize(st);
        ASSERT_EQ(due.size(), 2);
        EXPECT_EQ(due[0], due[1]);
    }

    // A row refused by a trigger: 0 rows affected; an error is the refused
    // change, told without the statement.
    fx.Esegui(fx.idAzienda, "CREATE TRIGGER salta BEFORE INSERT ON P WHEN NEW.K = 'no' BEGIN SELECT RAISE(IGNORE); END;"
                            "CREATE TRIGGER guasto BEFORE INSERT ON P WHEN NEW.K = 'ko' BEGIN SELECT RAISE(ABORT, 'disco pieno'); END");
    fx.gestDb->EseguiSql(fx.idAzienda, "INSERT INTO P (K, I) VALUES ('no', 1)");
    EXPECT_EQ(fx.gestDb->DatabaseDaId(fx.idAzienda)->RecordsAffected(), 0);
    try {
        fx.gestDb->EseguiSql(fx.idAzienda, "INSERT INTO P (K, I) VALUES ('ko', 1)");
        ADD_FAILURE() << "nessun errore";
    } catch (const ErroreRun& e) {
        EXPECT_EQ(e.numero(), 3317) << e.descrizione().toStdString();
        EXPECT_FALSE(e.descrizione().contains("VALUES ('ko', 1)")) << e.descrizione().toStdString();
    }
    // The same pattern works again after the error; a missing table is the
    // plain statement's error.
    fx.gestDb->EseguiSql(fx.idAzienda, "INSERT INTO P (K, I) VALUES ('ok', 2)");
    EXPECT_EQ(fx.gestDb->DatabaseDaId(fx.idAzienda)->RecordsAffected(), 1);
    try {
        fx.gestDb->EseguiSql(fx.idAzienda, "INSERT INTO Manca (K) VALUES ('x')");
        ADD_FAILURE() << "nessun errore";
    } catch (const ErroreRun& e) {
        EXPECT_TRUE(e.descrizione().contains("La tabella Manca non esiste")) << e.descrizione().toStdString();
    }
    // A compiled pattern does not keep the table from being dropped.
    fx.gestDb->EseguiSql(fx.idAzienda, "DROP TABLE P");
}

}  // namespace
