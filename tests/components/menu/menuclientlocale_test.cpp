#include "components/core/ErroreRun.h"
#include "components/menu/MenuClientLocale.h"
#include "components/menu/ProtocolloMenu.h"

#include <QCoreApplication>
#include <QLocalServer>
#include <QMutex>
#include <QTest>
#include <QThread>
#include <gtest/gtest.h>

#include "support/AppTest.h"

using namespace ProtocolloMenu;

namespace {


// A menu on its own thread, since the client blocks its thread while it
// waits for an answer. It answers each request with `risponde` and records
// the requests and the answers to its commands.
class MenuFinto : public QObject {
public:
    std::function<QJsonObject(const QJsonObject&, MenuFinto&)> risponde;

    explicit MenuFinto(const QString& chiave) : nome_(NomeSocket(chiave)) {
        moveToThread(&thread_);
        thread_.start();
        QMetaObject::invokeMethod(this, [this] {
            server_ = new QLocalServer(this);
            QLocalServer::removeServer(nome_);
            server_->listen(nome_);
            connect(server_, &QLocalServer::newConnection, this, [this] {
                sock_ = server_->nextPendingConnection();
                connect(sock_, &QLocalSocket::readyRead, this, [this] { Leggi(); });
                connect(sock_, &QLocalSocket::disconnected, this, [this] { Registra(scollegato_, true); });
            });
        }, Qt::BlockingQueuedConnection);
    }
    ~MenuFinto() override {
        QMetaObject::invokeMethod(this, [this] { delete server_; }, Qt::BlockingQueuedConnection);
        thread_.quit();
        thread_.wait();
    }

    // Called on the menu's thread only.
    void Invia(const QJsonObject& m) { sock_->write(Riga(m)); sock_->flush(); }
    void Chiudi() { sock_->disconnectFromServer(); }
    void InviaDaFuori(const QJsonObject& m) { QMetaObject::invokeMethod(this, [this, m] { Invia(m); }); }

    QList<QJsonObject> Richieste() { QMutexLocker l(&mutex_); return richieste_; }
    QList<QJsonObject> RisposteComandi() { QMutexLocker l(&mutex_); return risposteComandi_; }
    bool Scollegato() { QMutexLocker l(&mutex_); return scollegato_; }

private:
    template <class T, class V> void Registra(T& dove, const V& cosa) { QMutexLocker l(&mutex_); dove = cosa; }
    void Leggi() {
        buffer_ += sock_->readAll();
        for (const QJsonObject& m : EstraiMessaggi(buffer_)) {
            QMutexLocker l(&mutex_);
            if (m.contains(QStringLiteral("cmd"))) { risposteComandi_ << m; continue; }
            richieste_ << m;
            l.unlock();
            const QJsonObject r = risponde ? risponde(m, *this)
                                           : Risposta(m.value(QStringLiteral("id")).toInteger(), QString());
            if (!r.isEmpty()) Invia(r);
        }
    }

    QString nome_;
    QThread thread_;
    QLocalServer* server_ = nullptr;
    QLocalSocket* sock_ = nullptr;
    QByteArray buffer_;
    QMutex mutex_;
    QList<QJsonObject> richieste_, risposteComandi_;
    bool scollegato_ = false;
};

qint64 Id(const QJsonObject& m) { return m.value(QStringLiteral("id")).toInteger(); }
QString Op(const QJsonObject& m) { return m.value(QStringLiteral("op")).toString(); }
QString ChiaveUnica(const char* base) {
    return QStringLiteral("%1-%2").arg(QLatin1String(base)).arg(QCoreApplication::applicationPid());
}

}  // namespace

TEST(MenuClientLocale, CallsGetTheMenusAnswers) {
    AppTest();
    const QString chiave = ChiaveUnica("chiamate");
    MenuFinto menu(chiave);
    menu.risponde = [](const QJsonObject& m, MenuFinto&) {
        const qint64 id = Id(m);
        const QString op = Op(m);
        const QString arg0 = m.value(QStringLiteral("args")).toArray().at(0).toString();
        if (op == QLatin1String("InfoLancio"))
            return QJsonObject{{"id", id}, {"ok", true},
                               {"val", QJsonObject{{"osParam", "/F FrmLiqIvaXML /H aiuto.chm"},
                                                   {"osChiLancia", "ALTRO"}, {"osTipoForm", 2}}}};
        if (op == QLatin1String("LeggiDataLavoro")) return Risposta(id, QDate(2018, 3, 31));
        if (op == QLatin1String("LeggiValoreSess") && arg0 == QLatin1String("NomeDBAzie"))
            return Risposta(id, "ditta01.db");
        if (op == QLatin1String("LeggiValoreSess") && arg0.startsWith(QStringLiteral("GetParamDbMenu§~")))
            return arg0.contains(QLatin1String("'X'")) ? Risposta(id, QString())
                                                        : Risposta(id, ListaValori{"Liquidazione", ""});
        if (op == QLatin1String("ComandoMenu")) return Risposta(id, 1);
        if (op == QLatin1String("ScriviValoreSess")) return RispostaErrore(id, 5, "Valore non scrivibile");
        return Risposta(id, QString());
    };
    MenuClientLocale client(10000);
    client.RegistraProgramma(chiave, QStringLiteral("COMIVA"), QStringLiteral("LIQ1"));

    const InfoLancio info = client.LeggiInfoLancio();
    EXPECT_EQ(info.osParam, "/F FrmLiqIvaXML /H aiuto.chm");
    EXPECT_EQ(info.osChiLancia, "ALTRO");
    EXPECT_EQ(info.osTipoForm, 2);
    EXPECT_EQ(client.LeggiDataLavoro(), QDate(2018, 3, 31));
    EXPECT_EQ(client.LeggiValoreSess(QStringLiteral("NomeDBAzie")).testo(), "ditta01.db");
    const auto riga = client.ParamDbMenu(QStringLiteral("SELECT * From MenuDett WHERE Chiave='C'"),
                                         QStringLiteral("Caption,DescPrg"));
    ASSERT_TRUE(riga.has_value());
    EXPECT_EQ(*riga, (ListaValori{"Liquidazione", ""}));
    EXPECT_FALSE(client.ParamDbMenu(QStringLiteral("SELECT * From MenuDett WHERE Chiave='X'"),
                                    QStringLiteral("Caption")).has_value());
    Valore testo = QStringLiteral("Attenzione");
    EXPECT_EQ(client.ComandoMenu(QStringLiteral("MsgBox"), QStringLiteral("Tutti"), testo).intero(), 1);
    try {
        client.ScriviValoreSess(QStringLiteral("X"), 3);
        ADD_FAILURE() << "a refusal of the menu must raise";
    } catch (const ErroreRun& e) {
        EXPECT_EQ(e.numero(), 5);
        EXPECT_EQ(e.descrizione(), "Valore non scrivibile");
    }

    const QList<QJsonObject> r = menu.Richieste();
    ASSERT_GE(r.size(), 1);
    EXPECT_EQ(Op(r[0]), "RegistraProgramma");
    EXPECT_EQ(r[0].value("args").toArray(), (QJsonArray{chiave, "COMIVA", "LIQ1"}));
    EXPECT_EQ(Op(r.last()), "ScriviValoreSess");
    EXPECT_EQ(r.last().value("args").toArray(), (QJsonArray{"X", 3}));
}

TEST(MenuClientLocale, CommandsReachTheHandlerFromTheEventLoopAndAreAnswered) {
    AppTest();
    const QString chiave = ChiaveUnica("comandi");
    MenuFinto menu(chiave);
    // While the program waits for MostraMenu, the menu sends a command first.
    menu.risponde = [](const QJsonObject& m, MenuFinto& f) {
        if (Op(m) == QLatin1String("MostraMenu")) f.Invia(Comando(8, "MENU", "K2", "passaa", "FrmLiqIvaXML"));
        return Risposta(Id(m), QString());
    };
    MenuClientLocale client(10000);
    bool inChiamata = false;
    QStringList visti;
    client.ImpostaGestoreComandi([&](const QString& id, const QString& keySec, const QString& com,
                                     const Valore& param, Valore& rit) {
        EXPECT_FALSE(inChiamata) << "a command must not run inside a call";
        visti << QStringLiteral("%1|%2|%3|%4").arg(id, keySec, com, param.testo());
        if (com == QLatin1String("esiste")) rit = true;
        if (com == QLatin1String("FEInvio")) rit = static_cast<long long>(param.lista().size());
    });
    client.RegistraProgramma(chiave, QStringLiteral("COMIVA"), QString());

    menu.InviaDaFuori(Comando(7, "MENU", "", "esiste", Valore()));
    menu.InviaDaFuori(Comando(9, "MENU", "", "FEInvio", ListaValori{0, 0, 0, "", 0, 0, 12}));
    ASSERT_TRUE(QTest::qWaitFor([&] { return menu.RisposteComandi().size() == 2; }, 10000));

    inChiamata = true;
    client.MostraMenu(QStringLiteral("Tutti"));
    inChiamata = false;
    ASSERT_TRUE(QTest::qWaitFor([&] { return menu.RisposteComandi().size() == 3; }, 10000));

    const QList<QJsonObject> risp = menu.RisposteComandi();
    EXPECT_EQ(risp[0], RispostaComando(7, true));
    EXPECT_EQ(risp[1], RispostaComando(9, 7));
    EXPECT_EQ(risp[2], RispostaComando(8, QString()));
    EXPECT_EQ(visti, (QStringList{"MENU||esiste|", "MENU||FEInvio|0,0,0,,0,0,12", "MENU|K2|passaa|FrmLiqIvaXML"}));
}

TEST(MenuClientLocale, ClosingTheLinkInsideACommandStillAnswersIt) {
    AppTest();
    const QString chiave = ChiaveUnica("fine");
    MenuFinto menu(chiave);
    auto client = std::make_unique<MenuClientLocale>(10000);
    client->ImpostaGestoreComandi([&](const QString&, const QString&, const QString&, const Valore&, Valore& rit) {
        client->ChiudiCollegamento();
        client.reset();  // the program lets go of the link while closing
        rit = QString();
    });
    client->RegistraProgramma(chiave, QStringLiteral("COMIVA"), QString());
    menu.InviaDaFuori(Comando(1, "MENU", "", "fine", Valore()));
    ASSERT_TRUE(QTest::qWaitFor([&] { return menu.Scollegato(); }, 10000));
    ASSERT_EQ(menu.RisposteComandi().size(), 1);
    EXPECT_EQ(menu.RisposteComandi()[0], RispostaComando(1, QString()));
    EXPECT_EQ(Op(menu.Richieste().last()), "ChiudiCollegamento");
}

TEST(MenuClientLocale, NoMenuOrALostMenuRaisesTheRunTimeError) {
    AppTest();
    MenuClientLocale solo(10000);
    try {
        solo.RegistraProgramma(ChiaveUnica("nessuno"), QStringLiteral("COMIVA"), QString());
        ADD_FAILURE() << "registering with no menu must raise";
    } catch (const ErroreRun& e) {
        EXPECT_EQ(e.numero(), NumMenuAssente);
        EXPECT_EQ(e.descrizione(), "Il menu principale non è in esecuzione");
    }
    EXPECT_THROW(solo.MostraMenu(QStringLiteral("Tutti")), ErroreRun);

    const QString chiave = ChiaveUnica("perso");
    MenuFinto menu(chiave);
    menu.risponde = [](const QJsonObject& m, MenuFinto& f) {
        if (Op(m) == QLatin1String("NomeTerminale")) { f.Chiudi(); return QJsonObject(); }
        return Risposta(Id(m), QString());
    };
    MenuClientLocale client(10000);
    client.RegistraProgramma(chiave, QStringLiteral("COMIVA"), QString());
    EXPECT_THROW(client.NomeTerminale(), ErroreRun);
    EXPECT_THROW(client.MostraMenu(QStringLiteral("Tutti")), ErroreRun);
}

TEST(MenuClientLocale, ALinkThatDropsCallsTheLostLinkHandlerOnceFromTheEventLoop) {
    AppTest();
    const QString chiave = ChiaveUnica("caduta");
    MenuFinto menu(chiave);
    // The menu dies while the program waits for an answer.
    menu.risponde = [](const QJsonObject& m, MenuFinto& f) {
        if (Op(m) == QLatin1String("NomeTerminale")) { f.Chiudi(); return QJsonObject(); }
        return Risposta(Id(m), QString());
    };
    MenuClientLocale client(10000);
    int perdite = 0;
    bool inChiamata = false;
    client.ImpostaGestorePerdita([&] {
        EXPECT_FALSE(inChiamata) << "the program must not close under a waiting call";
        ++perdite;
    });
    client.RegistraProgramma(chiave, QStringLiteral("COMIVA"), QString());
    inChiamata = true;
    EXPECT_THROW(client.NomeTerminale(), ErroreRun);
    inChiamata = false;
    ASSERT_TRUE(QTest::qWaitFor([&] { return perdite > 0; }, 10000));
    QCoreApplication::processEvents();
    EXPECT_EQ(perdite, 1);

    // A link the program closes itself is no loss.
    const QString chiave2 = ChiaveUnica("chiusa");
    MenuFinto menu2(chiave2);
    MenuClientLocale client2(10000);
    int perdite2 = 0;
    client2.ImpostaGestorePerdita([&] { ++perdite2; });
    client2.RegistraProgramma(chiave2, QStringLiteral("COMIVA"), QString());
    client2.ChiudiCollegamento();
    ASSERT_TRUE(QTest::qWaitFor([&] { return menu2.Scollegato(); }, 10000));
    QCoreApplication::processEvents();
    EXPECT_EQ(perdite2, 0);
}

// A command the program runs later is answered when it has run (or failed),
// while the commands after it are answered as they come.
TEST(MenuClientLocale, ACommandAnsweredLaterGetsItsOwnAnswerThen) {
    AppTest();
    const QString chiave = ChiaveUnica("rimandata");
    MenuFinto menu(chiave);
    MenuClientLocale client(10000);
    QList<MenuClient::RispostaRimandata> rimandate;
    client.ImpostaGestoreComandi([&](const QString&, const QString&, const QString& com, const Valore&, Valore& rit) {
        if (com == QLatin1String("esiste")) rit = true;
        else rimandate << client.RimandaRisposta();
    });
    EXPECT_EQ(client.RimandaRisposta(), nullptr) << "outside a command there is nothing to answer later";
    client.RegistraProgramma(chiave, QStringLiteral("COMIVA"), QString());

    menu.InviaDaFuori(Comando(1, "MENU", "K1", "attiva", Valore()));
    menu.InviaDaFuori(Comando(2, "MENU", "K2", "passaa", "frmDatiFatGest"));
    menu.InviaDaFuori(Comando(3, "MENU", "", "esiste", Valore()));
    ASSERT_TRUE(QTest::qWaitFor([&] { return menu.RisposteComandi().size() == 1; }, 10000));
    ASSERT_EQ(rimandate.size(), 2);
    EXPECT_EQ(menu.RisposteComandi()[0], RispostaComando(3, true));

    ASSERT_TRUE(rimandate[1]);
    rimandate[1](Valore(), 5, QStringLiteral("comando non eseguito"));
    ASSERT_TRUE(rimandate[0]);
    rimandate[0](QString(), 0, {});
    ASSERT_TRUE(QTest::qWaitFor([&] { return menu.RisposteComandi().size() == 3; }, 10000));
    EXPECT_EQ(menu.RisposteComandi()[1], RispostaComandoErrore(2, 5, QStringLiteral("comando non eseguito")));
    EXPECT_EQ(menu.RisposteComandi()[2], RispostaComando(1, QString()));
}
