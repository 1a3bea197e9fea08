#include "components/db/RigheRecordset.h"

#include "support/Fixture.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

namespace {

// Every kind of value SQLite gives, packed and read back as the record set
// reads it; dates only for date columns.
TEST(RigheRecordset, ValoriComeLiDaSQLite) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(":memory:", &db), SQLITE_OK);
    const QString lungo(300, QChar(u'è'));
    const QByteArray sql = QStringLiteral(
                               "SELECT NULL, 0, -128, 127, 128, -70000, 5000000000, -5000000000, 1.25, 'D''Angelo',"
                               " '%1', '2024-03-15', '2024-13-45', '2024-03-15 10:30:00', 42, 7")
                               .arg(lungo)
                               .toUtf8();
    sqlite3_stmt* st = nullptr;
    ASSERT_EQ(sqlite3_prepare_v2(db, sql.constData(), -1, &st, nullptr), SQLITE_OK);
    ASSERT_EQ(sqlite3_step(st), SQLITE_ROW);
    RigheRecordset r(14, 2);
    r.AggiungiDaIstruzione(st);
    r.AggiungiDaIstruzione(st);
    sqlite3_finalize(st);
    sqlite3_close(db);

    const Valore attesi[] = {Valore::null(), 0, -128, 127, 128, -70000, 5000000000LL, -5000000000LL, 1.25,
                             "D'Angelo", lungo, "2024-03-15", "2024-13-45", "2024-03-15 10:30:00"};
    ASSERT_EQ(r.Righe(), 2u);
    for (int c = 0; c < 14; ++c) {
        SCOPED_TRACE(c);
        EXPECT_EQ(r.Leggi(1, c, false), attesi[c]);
    }
    EXPECT_EQ(r.Leggi(0, 11, true), Valore(QDate(2024, 3, 15)));
    EXPECT_EQ(r.Leggi(0, 12, true), Valore("2024-13-45"));
    EXPECT_EQ(r.Leggi(0, 13, true), Valore(QDate(2024, 3, 15)));
    EXPECT_EQ(r.Leggi(0, 0, true), Valore::null());
    EXPECT_EQ(r.Rowid(1, 0), 42);
    EXPECT_EQ(r.Rowid(1, 1), 7);
}

TEST(RigheRecordset, NuoveRigheModificheECancellazioni) {
    RigheRecordset r(3, 1);
    r.Aggiungi({Valore(), Valore(true), QDate(2024, 1, 2)}, {9});
    r.Aggiungi({1, "due", 3.5}, {10});
    EXPECT_EQ(r.Leggi(0, 0, false), Valore());
    EXPECT_EQ(r.Leggi(0, 1, false), Valore(true));
    EXPECT_EQ(r.Leggi(0, 2, true), Valore(QDate(2024, 1, 2)));
    EXPECT_EQ(r.Leggi(1, 1, false), Valore("due"));  // after reading row 0

    r.Sostituisci(0, {Valore::null(), "uno", 2.0});
    EXPECT_EQ(r.LeggiRiga(0), (std::vector<Valore>{Valore::null(), "uno", 2.0}));
    EXPECT_EQ(r.Rowid(0, 0), 9);
    EXPECT_EQ(r.LeggiRiga(1), (std::vector<Valore>{1, "due", 3.5}));

    EXPECT_EQ(r.Vive(), 2u);
    r.Cancella(1);
    r.Cancella(1);
    EXPECT_TRUE(r.Cancellata(1));
    EXPECT_FALSE(r.Cancellata(0));
    EXPECT_EQ(r.Vive(), 1u);
    EXPECT_EQ(r.Righe(), 2u);
}

}  // namespace
