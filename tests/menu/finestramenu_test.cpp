// The menu stand-in's window, built on a menu whose captions come from the
// shared database.
#include "DialogoCredenziali.h"
#include "FinestraMenu.h"
#include "ServerMenu.h"
#include "components/menu/ProtocolloMenu.h"
#include "support/AppTest.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QLocalSocket>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <sqlite3.h>

namespace {

// The program's end of the link, played by the test without blocking.
class ProgrammaFinto {
public:
    explicit ProgrammaFinto(const QString& chiaveMenu) {
        QObject::connect(&socket, &QLocalSocket::readyRead, [this] {
            buffer += socket.readAll();
            for (const QJsonObject& m : ProtocolloMenu::EstraiMessaggi(buffer))
                risposte.insert(m.value("id").toInteger(), ProtocolloMenu::ValoreDaJson(m.value("val")).testo());
        });
        socket.connectToServer(ProtocolloMenu::NomeSocket(chiaveMenu));
    }
    void Chiedi(qint64 id, const QString& nome) {
        socket.write(ProtocolloMenu::Riga(ProtocolloMenu::Richiesta(id, "LeggiValoreSess", {nome})));
        socket.flush();
    }
    // The menu's answer, waiting for it while the event loop runs.
    std::optional<QString> Risposta(qint64 id) {
        if (!QTest::qWaitFor([&] { return risposte.contains(id); }, 10000)) return std::nullopt;
        return risposte.value(id);
    }
    QLocalSocket socket;
    QByteArray buffer;
    QHash<qint64, QString> risposte;
};

QPushButton* Bottone(QDialog* box, const QString& testo) {
    for (QPushButton* b : box->findChildren<QPushButton*>())
        if (b->text() == testo) return b;
    return nullptr;
}

}  // namespace

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

TEST(FinestraMenu, TheSqlLoginIsAskedInABoxAndAnnullaGivesUp) {
    AppTest();
    QTemporaryDir dir;
    ConfigMenu cfg;
    cfg.dbMenu = QDir(dir.path()).filePath("comune.db");
    cfg.chiaveMenu = QStringLiteral("cred%1").arg(QCoreApplication::applicationPid());
    cfg.valori.insert("sqllogin", QStringLiteral("comiva"));
    cfg.valori.insert("sqlpwd", QStringLiteral("sbagliata"));
    ServerMenu server(cfg);
    QString errore;
    ASSERT_TRUE(server.Avvia(errore)) << errore.toStdString();
    FinestraMenu finestra(server);
    finestra.show();
    ProgrammaFinto programma(cfg.chiaveMenu);
    ASSERT_TRUE(programma.socket.waitForConnected(10000));

    struct Caso {
        const char* nome;
        QString login, password;  // typed in the box
        const char* bottone;
        QString loginAtteso, passwordAttesa;
    };
    const Caso casi[] = {
        {"login e password digitati", "mario", "giusta", "OK", "mario", "giusta"},
        {"Annulla lascia i valori", "altro", "altra", "Annulla", "mario", "giusta"},
    };
    qint64 id = 0;
    for (const Caso& caso : casi) {
        SCOPED_TRACE(caso.nome);
        const qint64 richiesta = ++id;
        programma.Chiedi(richiesta, "ChiediPwdSql");
        DialogoCredenziali* box = nullptr;
        ASSERT_TRUE(QTest::qWaitFor([&] {
            box = finestra.findChild<DialogoCredenziali*>();
            return box && box->isVisible();
        }, 10000));
        // The program waits for the user, not for the menu.
        QCoreApplication::processEvents();
        EXPECT_FALSE(programma.risposte.contains(richiesta));
        auto* login = box->findChild<QLineEdit*>("login");
        auto* password = box->findChild<QLineEdit*>("password");
        ASSERT_TRUE(login && password);
        EXPECT_EQ(login->text(), id == 1 ? "comiva" : "mario");  // the menu's login proposed
        EXPECT_EQ(password->echoMode(), QLineEdit::Password);
        login->selectAll();
        QTest::keyClicks(login, caso.login);
        QTest::keyClicks(password, caso.password);
        QPushButton* bottone = Bottone(box, caso.bottone);
        ASSERT_NE(bottone, nullptr);
        QTest::mouseClick(bottone, Qt::LeftButton);
        EXPECT_EQ(programma.Risposta(richiesta), std::optional<QString>(""));
        programma.Chiedi(++id, "SqlLogin");
        EXPECT_EQ(programma.Risposta(id), std::optional<QString>(caso.loginAtteso));
        programma.Chiedi(++id, "SqlPwd");
        EXPECT_EQ(programma.Risposta(id), std::optional<QString>(caso.passwordAttesa));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}
