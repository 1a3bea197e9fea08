#include "components/menu/ProtocolloMenu.h"

#include <QJsonDocument>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <unistd.h>

using namespace ProtocolloMenu;

TEST(ProtocolloMenu, ValuesCrossTheLineUnchanged) {
    const Valore casi[] = {
        Valore(), Valore::null(), true, false, 0, -7, 9007199254740993LL, 2.0, 2.5, -0.005,
        QDate(2018, 3, 1), QDate(), QString(), QStringLiteral("L'àè §ç~$!^ \"x\"\nriga"),
        ListaValori{0, 0, 3, QStringLiteral("dettaglio"), Valore(), Valore::null(), 1234},
        ListaValori{}, ListaValori{ListaValori{1.5, QDate(2017, 12, 31)}},
    };
    QByteArray buffer;
    for (const Valore& v : casi) buffer += Riga(Risposta(1, v));
    const QList<QJsonObject> messaggi = EstraiMessaggi(buffer);
    ASSERT_EQ(messaggi.size(), std::size(casi));
    EXPECT_TRUE(buffer.isEmpty());
    for (size_t i = 0; i < std::size(casi); ++i) {
        const Valore letto = ValoreDaJson(messaggi[i].value(QStringLiteral("val")));
        EXPECT_EQ(letto.tipo(), casi[i].tipo()) << i;
        EXPECT_TRUE(letto == casi[i]) << i << " " << casi[i].testo().toStdString();
    }
}

TEST(ProtocolloMenu, PlainNumbersWrittenByHandAreWholeWhenTheyCanBe) {
    QByteArray riga = "{\"cmd\":3,\"op\":\"EseguiComando\",\"args\":[\"M\",\"\",\"FEInvio\",[0,0,0,\"\",0,0,2.5]]}\n";
    const QList<QJsonObject> m = EstraiMessaggi(riga);
    ASSERT_EQ(m.size(), 1);
    const ListaValori el = ValoreDaJson(m[0].value(QStringLiteral("args")).toArray().at(3)).lista();
    ASSERT_EQ(el.size(), 7);
    EXPECT_EQ(el[2].tipo(), TipoValore::Intero);
    EXPECT_EQ(el[6].tipo(), TipoValore::Doppio);
}

TEST(ProtocolloMenu, KeepsPartialLinesAndDropsGarbage) {
    QByteArray buffer = "non json\n[1,2]\n{\"id\":1,\"ok\":true,\"val\":\"a\"}\n{\"id\":2,";
    const QList<QJsonObject> m = EstraiMessaggi(buffer);
    ASSERT_EQ(m.size(), 1);
    EXPECT_EQ(m[0].value(QStringLiteral("id")).toInteger(), 1);
    EXPECT_EQ(buffer, QByteArray("{\"id\":2,"));
    buffer += "\"ok\":true,\"val\":{}}\n";
    const QList<QJsonObject> resto = EstraiMessaggi(buffer);
    ASSERT_EQ(resto.size(), 1);
    EXPECT_TRUE(ValoreDaJson(resto[0].value(QStringLiteral("val"))).eVuoto());
}

TEST(ProtocolloMenu, SocketNameFromMenuKeyInAFolderPrivateToTheUser) {
    const struct { const char* chiave; const char* nome; } casi[] = {
        {"MENU01", "comiva-menu-MENU01"},
        {" m-1_a ", "comiva-menu-m-1_a"},
        {"a b/c\\d:è", "comiva-menu-a_b_c_d__"},
        {"", "comiva-menu-"},
    };
    for (const auto& c : casi) {
        SCOPED_TRACE(c.chiave);
        const QFileInfo socket(NomeSocket(QString::fromUtf8(c.chiave)));
        EXPECT_EQ(socket.fileName(), QString::fromUtf8(c.nome));
        EXPECT_TRUE(socket.isAbsolute());
        // Only the user reaches the folder: another user's menu of the same
        // key can neither answer this program nor remove this socket.
        const QFileInfo cartella(socket.absolutePath());
        EXPECT_TRUE(cartella.isDir());
        EXPECT_EQ(cartella.ownerId(), ::getuid());
        EXPECT_EQ(cartella.permissions() & (QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup | QFile::ReadOther |
                                            QFile::WriteOther | QFile::ExeOther),
                  QFile::Permissions());
        EXPECT_EQ(NomeBloccoMenu(QString::fromUtf8(c.chiave)), socket.filePath() + ".lock");
    }
}

TEST(ProtocolloMenu, ASessionFolderOthersCanEnterIsNotUsed) {
    QTemporaryDir dir;
    const QByteArray prima = qgetenv("XDG_RUNTIME_DIR");
    const bool cera = qEnvironmentVariableIsSet("XDG_RUNTIME_DIR");
    const QString aperta = dir.filePath("aperta"), privata = dir.filePath("privata");
    QDir().mkdir(aperta);
    QDir().mkdir(privata);
    QFile::setPermissions(aperta, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadOther |
                                      QFile::ExeOther);
    QFile::setPermissions(privata, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(privata));
    const QString inPrivata = NomeSocket("K");
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(aperta));
    const QString inAperta = NomeSocket("K");
    if (cera) qputenv("XDG_RUNTIME_DIR", prima);
    else qunsetenv("XDG_RUNTIME_DIR");
    EXPECT_EQ(inPrivata, privata + "/comiva-menu-K");
    EXPECT_FALSE(inAperta.startsWith(aperta)) << inAperta.toStdString();
    EXPECT_TRUE(inAperta.endsWith("/comiva-menu-K"));
}
