// Every form the menu opens, on the demo's companies as files and with the
// same data on the tests' PostgreSQL cluster: the program started as the menu
// starts it, each form opened by its menu name and driven through its main
// path with keys and clicks (search, list, decoding by code and by
// description, save, the runs, a cancellation, the list print and the
// report to a file). Only the program's own Italian texts may reach the user.
#include "common/form/CodiciTasti.h"
#include "common/schermi/CasellaSpunta.h"
#include "common/schermi/SchermoLinee.h"
#include "common/schermi/SchermoLista.h"
#include "components/db/GestoreDb.h"
#include "components/db/Interroga.h"
#include "components/ini/FileIni.h"
#include "components/lookup/DecodLista.h"
#include "components/lookup/FrmListaAiuto.h"
#include "components/lookup/QorAiutiSql.h"
#include "components/menu/MenuClientFinto.h"
#include "components/platform/DialoghiScriptati.h"
#include "components/stampa/OpzSta.h"
#include "common/form/CercaAzienda.h"
#include "contesto/Contesto.h"
#include "invoicedata/estrazione/FrmDatiFatPre.h"
#include "invoicedata/gestione/FrmDatiFatGest.h"
#include "invoicedata/run/FrmDatiFatXml.h"
#include "print/lista/FrmComlinStampa.h"
#include "settlement/estrazione/FrmLiqIvaPre.h"
#include "settlement/gestione/FrmLiqIvaDett.h"
#include "settlement/gestione/FrmLiqIvaTest.h"
#include "settlement/run/FrmLiqIvaXml.h"
#include "settlement/run/NomiFileLiqIva.h"
#include "startup/Avvio.h"
#include "startup/Composizione.h"
#include "startup/Ospite.h"
#include "AvvioDemo.h"
#include "support/AppTest.h"
#include "support/DatabasePg.h"
#include "support/Fixture.h"
#include "server/CopiaSuServer.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

// Readable texts in test failures.
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

namespace {

class OgniForm : public ::testing::TestWithParam<Motore> {
protected:
    void SetUp() override {
        if (GetParam() == Motore::Server) SALTA_SENZA_PG();
        AppTest();
        ASSERT_TRUE(dir.isValid());
        demo = dir.path() + QStringLiteral("/demo");
        ASSERT_EQ(GeneraDemo(demo), "");
        dbAzienda = demo + QStringLiteral("/ditta01.db");
        FileIni ini(demo + QStringLiteral("/qorwin.ini"));
        ASSERT_TRUE(ini.scrivi("Base", "DirDatiFat", demo + QStringLiteral("/datifat/")));
        QDir().mkpath(demo + QStringLiteral("/datifat"));
        if (GetParam() == Motore::Server) PortaSulServer();
    }
    void TearDown() override {
        FrmComlinStampa::Mostra() = [](FrmComlinStampa& d) { d.exec(); };
        if (c && c->ggOspite) {
            auto* o = static_cast<Ospite*>(c->ggOspite.get());
            for (const QString& nome : Ospite::NomiForms())
                if (FormBase* f = o->Form(nome)) delete f;
        }
        ImpostaContesto(nullptr);
    }

    // The demo's three databases copied onto the cluster, and the settings
    // and the companies naming them by their services.
    void PortaSulServer() {
        GestoreDb g;
        g.ScriviProprieta(QStringLiteral("DbSqlPubUID"), 12, Valore(QStringLiteral("comiva")));
        g.ScriviProprieta(QStringLiteral("DbSqlPubPWD"), 12, Valore(QStringLiteral("comiva")));
        QStringList servizi;
        for (const auto& [file, schema] : {std::pair{"comune.db", "condiviso.sql"}, std::pair{"ditta01.db", "azienda.sql"},
                                           std::pair{"ditta02.db", "azienda.sql"}}) {
            server.push_back(std::make_unique<DatabasePg>());
            QFile s(CartellaSorgenti() + QStringLiteral("/schema/") + QLatin1String(schema));
            ASSERT_TRUE(s.open(QIODevice::ReadOnly));
            const QString idFile = g.ApriDatabase(demo + QLatin1Char('/') + QLatin1String(file));
            const QString idServer = g.ApriDatabase(server.back()->Servizio());
            CopiaSuServer(g, idFile, idServer, QString::fromUtf8(s.readAll()));
            g.ChiudiDatabase(idFile);
            g.ChiudiDatabase(idServer);
            servizi << server.back()->Servizio();
        }
        server[0]->Esegui(QStringLiteral("UPDATE aziende SET file = '%1' WHERE idazienda = '1';"
                                         "UPDATE aziende SET file = '%2' WHERE idazienda = '2'")
                              .arg(servizi[1], servizi[2]));
        FileIni ini(demo + QStringLiteral("/qorwin.ini"));
        ASSERT_TRUE(ini.scrivi("Menu", "NomeDB", servizi[0]));
        ASSERT_TRUE(ini.scrivi("Menu", "DriveDB", QString()));
        dbAzienda = servizi[1];
    }

    // The program on the demo's first company, started on `form` as the menu
    // starts it.
    Ospite* Avvia(const QString& form) {
        const bool avviato = AvviaDemo(demo, form, c, dialoghi, [this](MenuClientFinto& menu) {
            menu.ImpostaValore(QStringLiteral("NomeDBAzie"), dbAzienda);
            if (GetParam() != Motore::Server) return;
            menu.ImpostaValore(QStringLiteral("SqlLogin"), QStringLiteral("comiva"));
            menu.ImpostaValore(QStringLiteral("SqlPwd"), QStringLiteral("comiva"));
        });
        if (!avviato) {
            ADD_FAILURE() << "avvio: " << Testi();
            return nullptr;
        }
        auto* ospite = static_cast<Ospite*>(c->ggOspite.get());
        // The lists answer as a user does: Enter on the row the typed text placed.
        const auto invio = [](FrmListaAiuto& f) {
            QTest::keyClick(f.txtRicerca, Qt::Key_Return);
            return f.result() == QDialog::Accepted;
        };
        if (auto* aiuti = dynamic_cast<QorAiutiSql*>(c->ggAiuti.get())) aiuti->mostraLista = invio;
        else ADD_FAILURE() << "la libreria di aiuto non è quella su database";
        if (auto* ditte = dynamic_cast<DecodListaSql*>(&DecodDitte())) ditte->mostraLista = invio;
        return ospite;
    }

    template <class F>
    F* Apri(const QString& nomeMenu, const QString& nomeForm) {
        auto* ospite = static_cast<Ospite*>(c->ggOspite.get());
        if (!ospite->Form(nomeForm)) ospite->ApriFormRichiesta(nomeMenu, 0, nomeMenu, {}, {}, {});
        auto* f = dynamic_cast<F*>(ospite->Form(nomeForm));
        EXPECT_NE(f, nullptr) << nomeMenu.toStdString() << ": " << Testi();
        return f;
    }

    std::string Testi() const { return dialoghi ? dialoghi->testi().join("\n | ").toStdString() : std::string(); }

    // Nothing the user read came from the engine: no English text of the
    // server or of the library, no statement.
    void SoloTestiItaliani() {
        for (const QString& t : dialoghi->testi())
            for (const char* straniero : {"ERROR", "error:", "syntax", "does not exist", "collation", "relation",
                                          "column", "operator", "select ", "SELECT", "near \"", "no such"})
                EXPECT_FALSE(t.contains(QLatin1String(straniero))) << t.toStdString();
    }

    QString Valore1(const QString& sql) {
        const RisultatoSql r = LeggiTutto(*c->ggGestDb, c->gsIdDbase, sql, QStringLiteral("Prova"));
        return r.righe.isEmpty() ? QStringLiteral("?") : r.righe.first().value(0).testo();
    }

    // A key pressed and released on a widget, as the user types it.
    static void Tasto(QWidget* w, Qt::Key k) {
        w->setFocus();
        QTest::keyClick(w, k);
    }

    // The list print of a list screen, through its dialog, to a text file.
    void StampaLista(SchermoLista& lista, const QString& file) {
        FrmComlinStampa::Mostra() = [file](FrmComlinStampa& d) {
            d.Opzioni()->oiStaVid = OpzSta::File;
            d.Opzioni()->FileForm = OpzSta::Testo;
            d.Opzioni()->FileName = file;
            QTest::mouseClick(d.CmdStampa, Qt::LeftButton);
        };
        lista.ButtonComando(QStringLiteral("Stampa"));
        EXPECT_GT(QFileInfo(file).size(), 0) << Testi();
    }

    QTemporaryDir dir;
    QString demo, dbAzienda;
    std::vector<std::unique_ptr<DatabasePg>> server;
    std::shared_ptr<Contesto> c;
    std::shared_ptr<DialoghiScriptati> dialoghi;
};

// The settlement: extraction, the header with its list, its print and a
// module saved, then the run form deciding companies by code and by
// description and writing the files of a range.
TEST_P(OgniForm, Liquidazione) {
    ASSERT_NE(Avvia(QStringLiteral("FrmLiqIvaPre")), nullptr);
    auto* pre = Apri<FrmLiqIvaPre>(QStringLiteral("FrmLiqIvaPre"), QStringLiteral("FrmLiqIvaPre"));
    ASSERT_NE(pre, nullptr);
    dialoghi->risposte = {1};  // the earlier extraction is replaced
    QTest::mouseClick(pre->comOk, Qt::LeftButton);
    EXPECT_EQ(dialoghi->testi().value(dialoghi->testi().size() - 1), "Elaborazione terminata") << Testi();

    auto* t = Apri<frmLiqIvaTest>(QStringLiteral("frmLiqIvaTest"), QStringLiteral("frmLiqIvaTest"));
    ASSERT_NE(t, nullptr);
    t->txt[20]->setText(QStringLiteral("2018"));
    t->txt[10]->setText(QStringLiteral("1"));
    t->ButtonComando(QStringLiteral("Ricerca"));
    EXPECT_EQ(t->ModelloDett().rowCount(), 3) << Testi();
    t->ButtonComando(QStringLiteral("Lista"));
    ASSERT_NE(t->ListaForm(), nullptr) << Testi();
    EXPECT_EQ(t->ListaForm()->Lista().Modello().rowCount(), 1);
    StampaLista(*t->ListaForm(), demo + QStringLiteral("/lista-liqiva.txt"));
    t->ListaForm()->ButtonComando(QStringLiteral("Torna"));
    t->ButtonComando(QStringLiteral("Dettaglio"));
    auto* d = qobject_cast<frmLiqIvaDett*>(t->LineeAperte());
    ASSERT_NE(d, nullptr) << Testi();
    d->txt_GotFocus(170);
    d->txt[170]->setText(QStringLiteral("12,34"));
    d->txt_LostFocus(170);
    d->ButtonComando(QStringLiteral("Salva"));
    d->ButtonComando(QStringLiteral("Chiudi"));
    EXPECT_EQ(Valore1(QStringLiteral("SELECT COUNT(*) FROM LiqIvaDett WHERE Anno = 2018 AND NumCom = 1 AND "
                                     "InteressiDovuti = 12.34")),
              "1")
        << Testi();

    auto* x = Apri<frmLiqIvaXml>(QStringLiteral("FrmLiqIvaXML"), QStringLiteral("frmLiqIvaXml"));
    ASSERT_NE(x, nullptr);
    EXPECT_EQ(x->Lab[30]->text(), "Rossi Forniture S.r.l.") << Testi();
    // The lookup button is F2; F3 looks the description up.
    x->txt[40]->setText(QStringLiteral("2"));
    QTest::mouseClick(x->ComHlp[40], Qt::LeftButton);
    EXPECT_EQ(x->Lab[40]->text(), "Bianchi Mario - Ferramenta") << Testi();
    x->txt[40]->setText(QStringLiteral("Bianchi"));
    int f3 = Tasto::F3;
    x->txt_KeyUp(40, f3, 0);
    EXPECT_EQ(x->txt[40]->text(), "2") << Testi();
    EXPECT_EQ(x->Lab[40]->text(), "Bianchi Mario - Ferramenta") << Testi();
    x->optTipoElab[1]->setChecked(true);
    dialoghi->mostrati.clear();
    QTest::mouseClick(x->ComStampa, Qt::LeftButton);
    EXPECT_EQ(dialoghi->testi(), QStringList{"Elaborazione terminata"}) << Testi();
    EXPECT_EQ(QDir(CartellaUscitaLiqIva()).entryList({QStringLiteral("*_LI_20181.xml")}, QDir::Files).size(), 2);
    SoloTestiItaliani();
}

// The invoice data: extraction, the header found and decoded, its account
// chosen by code and by description and saved, the list and its print,
// then a trial run with its report to a file, the definitive run and the
// cancellation of the suppliers' send.
TEST_P(OgniForm, DatiFatture) {
    ASSERT_NE(Avvia(QStringLiteral("FrmDatiFatPre")), nullptr);
    auto* pre = Apri<FrmDatiFatPre>(QStringLiteral("FrmDatiFatPre"), QStringLiteral("FrmDatiFatPre"));
    ASSERT_NE(pre, nullptr);
    QTest::mouseClick(pre->comOk, Qt::LeftButton);
    EXPECT_EQ(dialoghi->testi(), QStringList{"Elaborazione terminata"}) << Testi();

    auto* t = Apri<frmDatiFatGest>(QStringLiteral("frmDatiFatGest"), QStringLiteral("frmDatiFatGest"));
    ASSERT_NE(t, nullptr);
    t->txt[20]->setText(QStringLiteral("2018"));
    t->txt[10]->setText(QStringLiteral("1"));
    t->ButtonComando(QStringLiteral("Ricerca"));
    ASSERT_EQ(t->Pagina().LeggiStato(), ComPag::Mostrata) << Testi();
    EXPECT_FALSE(t->Lab[80]->text().isEmpty()) << Testi();
    EXPECT_FALSE(t->Lab[90]->text().isEmpty()) << Testi();
    EXPECT_GT(t->ModelloDett().rowCount(), 0);
    const QString conto = t->txt[80]->text(), descrizione = t->Lab[80]->text();
    Tasto(t->txt[80], Qt::Key_F2);
    EXPECT_EQ(t->txt[80]->text(), conto) << Testi();
    EXPECT_EQ(t->Lab[80]->text(), descrizione) << Testi();
    t->txt[80]->setText(descrizione.left(6));
    Tasto(t->txt[80], Qt::Key_F3);
    EXPECT_TRUE(t->Lab[80]->text().startsWith(descrizione.left(6), Qt::CaseInsensitive)) << Testi();
    t->txt[80]->setText(conto);
    t->txt[90]->setText(QStringLiteral("td04"));
    Tasto(t->txt[90], Qt::Key_F2);
    EXPECT_EQ(t->Lab[90]->text(), "Nota di credito") << Testi();
    const QString reg = t->txt[40]->text(), tipo = t->txt[60]->text();
    QTest::mouseClick(t->Check[140], Qt::LeftButton);
    const QString bolla = t->txt[140]->text();
    t->ButtonComando(QStringLiteral("Salva"));
    EXPECT_EQ(Valore1(QStringLiteral("SELECT BollaDoganale || TipoDocumento FROM DatiFatTest WHERE AnnoCom = 2018 AND "
                                     "NumCom = 1 AND NumReg = %1 AND Tipo = '%2'")
                          .arg(reg, tipo)),
              bolla + QStringLiteral("TD04"))
        << Testi();
    t->ButtonComando(QStringLiteral("Lista"));
    ASSERT_NE(t->ListaForm(), nullptr) << Testi();
    EXPECT_EQ(QString::number(t->ListaForm()->Lista().Modello().rowCount()),
              Valore1(QStringLiteral("SELECT COUNT(*) FROM DatiFatTest WHERE AnnoCom = 2018 AND NumCom = 1")));
    StampaLista(*t->ListaForm(), demo + QStringLiteral("/lista-datifat.txt"));
    t->ListaForm()->ButtonComando(QStringLiteral("Torna"));

    // The report of the run goes to a file along the route of its options.
    const QString resoconto = demo + QStringLiteral("/resoconto.txt");
    FileIni ini(demo + QStringLiteral("/qorwin.ini"));
    ASSERT_TRUE(ini.scrivi("COMIVAfrmDatiFatXml", "StaVid", "2"));
    ASSERT_TRUE(ini.scrivi("COMIVAfrmDatiFatXml", "FileForm", "1"));
    ASSERT_TRUE(ini.scrivi("COMIVAfrmDatiFatXml", "FileName", resoconto));
    auto* x = Apri<frmDatiFatXml>(QStringLiteral("frmDatiFatXml"), QStringLiteral("frmDatiFatXml"));
    ASSERT_NE(x, nullptr);
    EXPECT_EQ(x->Lab[30]->text(), "Rossi Forniture S.r.l.") << Testi();
    x->txt_GotFocus(40);
    x->txt[40]->setText(QStringLiteral("2"));
    x->txt_LostFocus(40);
    EXPECT_EQ(x->Lab[40]->text(), "Bianchi Mario - Ferramenta") << Testi();
    x->txt_GotFocus(40);
    x->txt[40]->setText(QStringLiteral("1"));
    x->txt_LostFocus(40);
    x->txt[10]->setText(QStringLiteral("2018"));
    x->txt[20]->setText(QStringLiteral("1"));
    QTest::mouseClick(x->OptTipoSta[0], Qt::LeftButton);
    QTest::mouseClick(x->optTipoElab[0], Qt::LeftButton);
    dialoghi->mostrati.clear();
    dialoghi->risposte = {1, 1, 1};
    QTest::mouseClick(x->ComStampa, Qt::LeftButton);
    EXPECT_EQ(x->UltimoEsito(), EsitoElabDatiFat::Terminato) << Testi();
    EXPECT_GT(QFileInfo(resoconto).size(), 0) << Testi();
    EXPECT_EQ(Valore1(QStringLiteral("SELECT COUNT(*) FROM DatiFatTest WHERE NumInv <> 0")), "0");

    QTest::mouseClick(x->OptTipoSta[1], Qt::LeftButton);
    QTest::mouseClick(x->optTipoElab[1], Qt::LeftButton);
    dialoghi->mostrati.clear();
    QTest::mouseClick(x->ComStampa, Qt::LeftButton);
    ASSERT_EQ(x->UltimoEsito(), EsitoElabDatiFat::Terminato) << Testi();
    EXPECT_EQ(Valore1(QStringLiteral("SELECT COUNT(*) FROM DatiFatTest WHERE AnnoCom = 2018 AND NumCom = 1 AND "
                                     "NumInv = 0")),
              "0")
        << Testi();
    const int inviati = QDir(demo + QStringLiteral("/datifat")).entryList({"*.xml"}, QDir::Files).size();
    EXPECT_GE(inviati, 2) << Testi();

    QTest::mouseClick(x->optTipoCom[1], Qt::LeftButton);
    x->cheCosaEstr[0]->setChecked(false);
    x->txt[110]->setText(QStringLiteral("1"));
    x->txt[140]->setText(QStringLiteral("987654321"));
    dialoghi->mostrati.clear();
    dialoghi->risposte = {1};
    QTest::mouseClick(x->ComStampa, Qt::LeftButton);
    EXPECT_EQ(Valore1(QStringLiteral("SELECT COUNT(*) FROM DatiFatTest WHERE Tipo = 'R' AND Stato <> 'C'")), "0")
        << Testi();
    EXPECT_EQ(QDir(demo + QStringLiteral("/datifat")).entryList({"*.xml"}, QDir::Files).size(), inviati + 1)
        << Testi();
    SoloTestiItaliani();
}

INSTANTIATE_TEST_SUITE_P(Motori, OgniForm, ::testing::Values(Motore::File, Motore::Server),
                         [](const ::testing::TestParamInfo<Motore>& p) {
                             return p.param == Motore::Server ? "Server" : "File";
                         });

}  // namespace
