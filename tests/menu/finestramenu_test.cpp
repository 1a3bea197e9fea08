// The menu stand-in's window, built on a menu whose captions come from the
// shared database.
#include "FinestraMenu.h"
#include "ServerMenu.h"
#include "support/AppTest.h"

#include <QDir>
#include <QListWidget>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sqlite3.h>

TEST(FinestraMenu, ShowsEveryCaptionWhole) {
    AppTest();
    QTemporaryDir dir;
    const QString db = QDir(dir.path()).filePath("comune.db");
    sqlite3* s = nullptr;
    ASSERT_EQ(sqlite3_open(db.toUtf8().constData(), &s), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(s,
                           "CREATE TABLE MenuDett (Chiave TEXT, ChiaveSec TEXT, Caption TEXT, DescPrg TEXT);"
                           "INSERT INTO MenuDett VALUES ('COMIVA','FrmLiqIvaPre',"
                           "'Liquidazione IVA periodica: estrazione dei dati dalla contabilità',NULL);"
                           "INSERT INTO MenuDett VALUES ('COMIVA','frmDatiFatGest',"
                           "'Comunicazione dati fatture: gestione delle comunicazioni estratte',NULL);",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(s);
    ConfigMenu cfg;
    cfg.dbMenu = db;
    ServerMenu server(cfg);
    FinestraMenu finestra(server);
    finestra.show();
    auto* voci = finestra.findChild<QListWidget*>();
    ASSERT_NE(voci, nullptr);
    ASSERT_EQ(voci->count(), 6);
    const QRect vista = voci->viewport()->rect();
    for (int i = 0; i < voci->count(); ++i) {
        const QListWidgetItem* v = voci->item(i);
        SCOPED_TRACE(v->text().toStdString());
        const QRect r = voci->visualItemRect(v);
        EXPECT_GE(r.width(), voci->fontMetrics().horizontalAdvance(v->text()));
        EXPECT_TRUE(vista.contains(r)) << "cut by the window";
    }
}
