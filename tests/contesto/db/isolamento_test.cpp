#include "support/Fixture.h"
#include "components/core/ErroreRun.h"
#include "components/db/GestoreDb.h"
#include "contesto/Contesto.h"
#include "contesto/Isolamento.h"

#include <gtest/gtest.h>

namespace {

// A server that says whether the database is on an SQL server and records
// what it is asked.
class GestoreDbFinto : public GestoreDb {
public:
    bool tipoSql = true;
    bool fallisceLettura = false, falliscEsecuzione = false;
    mutable QStringList letture;
    QStringList eseguite;

    Valore LeggiProprieta(const QString& nome, int tipo) const override {
        letture << nome;
        if (fallisceLettura) throw ErroreRun(3265, "proprietà");
        if (nome.endsWith(":DbTipoSql")) return tipoSql;
        return GestoreDb::LeggiProprieta(nome, tipo);
    }
    void EseguiSql(const QString& id, const QString& sql, int opzioni) override {
        eseguite << QString("%1|%2|%3").arg(id, sql).arg(opzioni);
        if (falliscEsecuzione) throw ErroreRun(3000, "rifiutata");
    }
};

}  // namespace

TEST(Isolamento, InviaLoStatementSoloAUnServerSql) {
    auto c = std::make_shared<Contesto>();
    auto finto = std::make_shared<GestoreDbFinto>();
    c->ggGestDb = finto;
    c->gsIdDbase = "DB7";
    ImpostaContesto(c);

    ImpIsolNonConferm();
    ImpIsolConferm(0, -1, nullptr, -1, "  ");
    ImpIsolConferm2(0, -1, nullptr, -1, "DB9");
    EXPECT_EQ(finto->letture, (QStringList{"DB7:DbTipoSql", "DB7:DbTipoSql", "DB9:DbTipoSql"}));
    EXPECT_EQ(finto->eseguite, (QStringList{"DB7|SET TRANSACTION ISOLATION LEVEL READ UNCOMMITTED|64",
                                            "DB7|SET TRANSACTION ISOLATION LEVEL READ COMMITTED|64",
                                            "DB9|SET TRANSACTION ISOLATION LEVEL READ COMMITTED|64"}));

    // The server given is used only when the program's is not asked for.
    GestoreDbFinto altro;
    ImpIsolConferm(0, -1, &altro, 0, "");
    EXPECT_EQ(altro.eseguite.size(), 1);
    EXPECT_EQ(finto->eseguite.size(), 3);

    // Not on an SQL server: the property is read, nothing is sent.
    finto->tipoSql = false;
    finto->eseguite.clear();
    ImpIsolNonConferm();
    ImpIsolConferm();
    EXPECT_TRUE(finto->eseguite.isEmpty());

    // Failures of the read or of the statement are ignored.
    finto->tipoSql = true;
    finto->falliscEsecuzione = true;
    EXPECT_NO_THROW(ImpIsolNonConferm());
    finto->fallisceLettura = true;
    EXPECT_NO_THROW(ImpIsolConferm2());
    c->ggGestDb.reset();
    EXPECT_NO_THROW(ImpIsolConferm());
    ImpostaContesto(nullptr);
}

TEST(Isolamento, SuUnFileSqliteNonInviaNulla) {
    // The real property of an SQLite database decides; only the sending is recorded.
    struct Registra : GestoreDb {
        QStringList eseguite;
        void EseguiSql(const QString& id, const QString& sql, int opzioni) override {
            eseguite << sql;
            GestoreDb::EseguiSql(id, sql, opzioni);
        }
    };
    auto c = std::make_shared<Contesto>();
    auto g = std::make_shared<Registra>();
    FixtureDb fx;
    c->ggGestDb = g;
    c->gsIdDbase = g->ApriDatabase(fx.fileAzienda);
    ImpostaContesto(c);
    ImpIsolNonConferm();
    ImpIsolConferm();
    ImpIsolConferm2();
    EXPECT_TRUE(g->eseguite.isEmpty());
    ImpostaContesto(nullptr);
}

TEST(Isolamento, IsConnOdbc) {
    const struct {
        QString nome;
        bool odbc;
    } casi[] = {
        {"ODBC;DSN=Contab", true}, {"odbc;DSN=Contab", true}, {"C:\\Dsn\\ditta.DSN", true}, {"ditta.dsn", true},
        {"Contabilita", true},     {"", true},                {"C:\\Dati\\ditta.mdb", false}, {"ditta.db", false},
        {"\\\\server\\dati\\ditta.mdb", false},
    };
    for (const auto& c : casi) EXPECT_EQ(IsConnOdbc(c.nome), c.odbc) << c.nome.toStdString();
}

TEST(Isolamento, PrepConnectOdbc) {
    const struct {
        QString nome, login, password;
        ConnessioneDb atteso;
    } casi[] = {
        {"Contab", "sa", "", {"", "ODBC;DSN=Contab;UID=sa"}},
        {"Contab", "sa", "pw", {"", "ODBC;DSN=Contab;UID=sa;PWD=pw"}},
        {"Contab", "", "pw", {"", "ODBC;DSN=Contab;"}},
        {"Contab", "  ", "pw", {"", "ODBC;DSN=Contab;"}},
        {"C:\\dsn\\ditta.Dsn", "sa", "x", {"", "ODBC;FIleDSN=C:\\dsn\\ditta.Dsn;UID=sa;PWD=x"}},
        {"odbc;DSN=Altro;UID=u", "sa", "pw", {"", "odbc;DSN=Altro;UID=u"}},
        {"C:\\Dati\\ditta.mdb", "sa", "pw", {"C:\\Dati\\ditta.mdb", ""}},
    };
    for (const auto& c : casi) {
        SCOPED_TRACE(c.nome.toStdString());
        const ConnessioneDb r = PrepConnectOdbc(c.nome, c.login, c.password);
        EXPECT_EQ(r.nome, c.atteso.nome);
        EXPECT_EQ(r.connect, c.atteso.connect);
    }
}

TEST(Isolamento, EsisteTabella) {
    FixtureDb fx;
    fx.InstallaContesto();
    EXPECT_TRUE(EsisteTabella("Ditta"));
    EXPECT_TRUE(EsisteTabella("ditta", ""));
    EXPECT_FALSE(EsisteTabella("StaLasFontPers"));
    EXPECT_TRUE(EsisteTabella("StaLasFontPers", fx.idCondiviso));
    EXPECT_FALSE(EsisteTabella("Ditta", "DB999"));
    fx.gestDb->ChiudiDatabase(fx.idCondiviso);
    EXPECT_FALSE(EsisteTabella("StaLasFontPers", fx.idCondiviso));
    ctx().ggGestDb.reset();
    EXPECT_FALSE(EsisteTabella("Ditta"));
    ImpostaContesto(nullptr);
}
