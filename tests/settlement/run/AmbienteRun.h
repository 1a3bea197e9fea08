#pragma once
// The world of a settlement run: the shared database with its Aziende, the
// menu's current company in the fixture's company database, further
// companies each in its own database, scripted dialogs and the menu double;
// as files, or on the tests' PostgreSQL cluster.
#include "components/db/GestoreDb.h"
#include "components/ini/FileIni.h"
#include "components/menu/MenuClientFinto.h"
#include "components/platform/DialoghiScriptati.h"
#include "contesto/Contesto.h"
#include "settlement/run/ElabLiqIva.h"
#include "support/AppTest.h"
#include "support/Motori.h"
#include "support/Fixture.h"

#include <QDate>
#include <QProcess>
#include <gtest/gtest.h>
#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

// Readable texts in test failures.
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

// xmllint's verdict on a file against the IVP schema of its year, "ivp17" or
// "ivp18" ("" when valid).
inline QString ErroriSchema(const QString& file, const QString& cartella) {
    const QString xsd = CartellaXsd() + QLatin1Char('/') + cartella + QLatin1Char('/') +
                        (cartella == QLatin1String("ivp18") ? QStringLiteral("fornituraIvp_2018_v1.xsd")
                                                           : QStringLiteral("fornituraIvp_2017_v1.xsd"));
    QProcess p;
    p.start(QStringLiteral("xmllint"), {QStringLiteral("--nonet"), QStringLiteral("--noout"), QStringLiteral("--schema"),
                                        xsd, file});
    if (!p.waitForFinished(60000)) return QStringLiteral("xmllint non risponde");
    return p.exitCode() == 0 ? QString() : QString::fromUtf8(p.readAllStandardError());
}

// A run of 2024 that writes the file only, from the company 001 to `aziendaA`,
// one file a company named by its taxpayer code in `cartella`.
inline ParametriLiqIva ParametriSoloFile(const QString& cartella, const QString& numero, const QString& aziendaA) {
    ParametriLiqIva par;
    par.anno = QStringLiteral("2024");
    par.numero = numero;
    par.aziendaDa = QStringLiteral("001");
    par.aziendaA = aziendaA;
    par.nomeFile = cartella + QStringLiteral("/IT§CodFisc§_LI_2024") + numero + QStringLiteral(".xml");
    par.tipoElab = 1;
    par.captionForm = QStringLiteral("Preparazione file");
    return par;
}

// The world itself, on either engine: a test fixture derives from it, and a
// test that compares the engines builds one of each.
class MondoRun {
public:
    explicit MondoRun(Motore motore = Motore::File) : fx(motore) {}
    virtual ~MondoRun() { ImpostaContesto(nullptr); }

    void Prepara() {
        AppTest();
        c = fx.InstallaContesto();
        menu = std::make_shared<MenuClientFinto>();
        dialoghi = std::make_shared<DialoghiScriptati>();
        c->ggMenuClient = menu;
        c->ggDialoghi = dialoghi;
        c->gsFileIni = fx.Cartella() + QStringLiteral("/qorwin.ini");
        c->gsMoneta = QStringLiteral("Euro");
        c->giDecImp = 2;
        menu->ImpostaValore(QStringLiteral("idazienda"), QStringLiteral("001"));
        // The menu's current company: the fixture's own database.
        Azienda(QStringLiteral("001"), QStringLiteral("A1"), QStringLiteral("Prima S.r.l."), fx.fileAzienda);
        DatiDitta(fx.idAzienda, QStringLiteral("Euro"));
    }

    void Azienda(const QString& id, const QString& codice, const QString& descrizione, const QString& file,
                 const QString& accPwd = {}) {
        fx.Inserisci(fx.idCondiviso, QStringLiteral("Aziende"),
                     {{"IdAzienda", id}, {"Azienda", codice}, {"Descrizione", descrizione}, {"File", file},
                      {"AccPwd", accPwd}});
    }
    void DatiDitta(const QString& idDb, const QString& moneta) {
        fx.Inserisci(idDb, QStringLiteral("Ditta"),
                     {{"CodFisc", "01234567897"}, {"PartIva", "01234567897"}, {"RagSoc", "Ditta"}, {"Moneta", moneta}});
    }
    // Another company in a database of its own on the fixture's engine (a
    // file, or a service of the server); the callback fills it while open.
    QString AltraAzienda(const QString& id, const QString& codice, const std::function<void(const QString&)>& riempi = {}) {
        const QString file = fx.AltroDatabase(QStringLiteral("az") + id + QStringLiteral(".db"), QStringLiteral("azienda.sql"));
        const QString idDb = fx.gestDb->ApriDatabase(file);
        DatiDitta(idDb, QStringLiteral("Euro"));
        if (riempi) riempi(idDb);
        fx.gestDb->ChiudiDatabase(idDb);
        Azienda(id, codice, QStringLiteral("Ditta ") + id, file);
        return file;
    }

    FixtureDb fx;
    std::shared_ptr<Contesto> c;
    std::shared_ptr<MenuClientFinto> menu;
    std::shared_ptr<DialoghiScriptati> dialoghi;
};

class AmbienteRun : public ::testing::Test, public MondoRun {
protected:
    explicit AmbienteRun(Motore motore = Motore::File) : MondoRun(motore) {}
    void SetUp() override { Prepara(); }
    void TearDown() override { ImpostaContesto(nullptr); }
};
