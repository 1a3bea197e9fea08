// The settlement flow on the demo: the generator's companies, started as the
// menu starts the program, extracted through the extraction form's data, then
// one run over both companies writes a file for each that the tax
// authority's schema accepts.
#include "components/db/GestoreDb.h"
#include "components/ini/FileIni.h"
#include "components/menu/MenuClientFinto.h"
#include "components/platform/DialoghiScriptati.h"
#include "components/stampa/OpzSta.h"
#include "components/stampa/Stampa.h"
#include "components/util/Percorsi.h"
#include "print/lavoro/LavoroStampa.h"
#include "print/opzioni/OpzioniIni.h"
#include "print/opzioni/PostaStampa.h"
#include "settlement/estrazione/EstrazioneLiqIva.h"
#include "settlement/estrazione/FrmLiqIvaPre.h"
#include "settlement/gestione/FrmLiqIvaDett.h"
#include "settlement/gestione/FrmLiqIvaTest.h"
#include "settlement/gestione/FrmLiqIvaTestLis.h"
#include "settlement/run/ElabLiqIva.h"
#include "settlement/run/FrmLiqIvaXml.h"
#include "settlement/run/NomiFileLiqIva.h"
#include "startup/Avvio.h"
#include "startup/Composizione.h"
#include "contesto/Contesto.h"
#include "startup/Ospite.h"
#include "AvvioDemo.h"
#include "support/AppTest.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QProcess>
#include <QRadioButton>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sqlite3.h>

namespace {

std::string Testi(const DialoghiScriptati& d) { return d.testi().join("\n | ").toStdString(); }

// xmllint's verdict on a file against the 2018 schema ("" when valid).
QString ErroriSchema(const QString& file) {
    QProcess p;
    p.start(QStringLiteral("xmllint"),
            {QStringLiteral("--nonet"), QStringLiteral("--noout"), QStringLiteral("--schema"),
             CartellaXsd() + QStringLiteral("/ivp18/fornituraIvp_2018_v1.xsd"), file});
    if (!p.waitForFinished(60000)) return QStringLiteral("xmllint non risponde");
    return p.exitCode() == 0 ? QString() : QString::fromUtf8(p.readAllStandardError());
}

class DemoLiqIva : public ::testing::Test {
protected:
    void SetUp() override {
        AppTest();
        ASSERT_TRUE(dir.isValid());
        // The generator extracts the demo's first quarter with this tool when it is built.
        ASSERT_TRUE(QFile::exists(CartellaBin() + QStringLiteral("/prepara_demo_liqiva")))
            << "costruire prepara_demo_liqiva";
        demo = dir.path() + QStringLiteral("/demo");
        ASSERT_EQ(GeneraDemo(demo), "");
    }
    void TearDown() override { ImpostaContesto(nullptr); }

    // Starts the program on a company of the demo as the menu does, with the
    // menu's values of menu.ini, and opens the extraction form. Nothing else
    // of the demo's menu changes but the current company.
    FrmLiqIvaPre* Avvia(const QString& idAzienda, const QString& fileDb, bool multiAttivita) {
        const bool avviato = AvviaDemo(demo, QStringLiteral("FrmLiqIvaPre"), c, dialoghi, [&](MenuClientFinto& menu) {
            menu.ImpostaValore(QStringLiteral("NomeDBAzie"), fileDb);
            menu.ImpostaValore(QStringLiteral("idazienda"), idAzienda);
            menu.ImpostaValore(QStringLiteral("CoGe.MultiAttivita"), multiAttivita ? "S" : "N");
        });
        if (!avviato) {
            ADD_FAILURE() << "avvio: " << Testi(*dialoghi);
            return nullptr;
        }
        auto* f = dynamic_cast<FrmLiqIvaPre*>(static_cast<Ospite*>(c->ggOspite.get())->Form(QStringLiteral("FrmLiqIvaPre")));
        EXPECT_NE(f, nullptr) << Testi(*dialoghi);
        return f;
    }

    // Modules of a communication in the current company's database.
    int Moduli(int anno, int numCom) {
        sqlite3* db = c->ggGestDb->DatabaseDaId(c->gsIdDbase)->Handle();
        sqlite3_stmt* st = nullptr;
        const QByteArray sql = QStringLiteral("SELECT COUNT(*) FROM LiqIvaDett WHERE Anno = %1 AND NumCom = %2")
                                   .arg(anno)
                                   .arg(numCom)
                                   .toUtf8();
        if (sqlite3_prepare_v2(db, sql.constData(), -1, &st, nullptr) != SQLITE_OK) return -1;
        const int n = sqlite3_step(st) == SQLITE_ROW ? sqlite3_column_int(st, 0) : -1;
        sqlite3_finalize(st);
        return n;
    }

    // One run over both companies from the menu's current company, writing
    // the XML file only, with the name the run form proposes. Checks the
    // final message and answers the files written, by name.
    QStringList ElaboraEntrambe(const QString& numero) {
        dialoghi->mostrati.clear();
        ElabLiqIva run;
        run.ogOpzSta = std::make_shared<OpzSta>();
        ParametriLiqIva par;
        par.anno = QStringLiteral("2018");
        par.numero = numero;
        par.aziendaDa = QStringLiteral("1");
        par.aziendaA = QStringLiteral("2");
        par.nomeFile = NomeFileProposto(CartellaUscitaLiqIva(), par.anno, par.numero, false);
        par.tipoElab = 1;
        par.captionForm = kTitoloLiqIvaXml;
        run.Esegui(par);
        EXPECT_EQ(dialoghi->testi(), QStringList{QStringLiteral("Elaborazione terminata")}) << Testi(*dialoghi);
        return QDir(CartellaUscitaLiqIva()).entryList({QStringLiteral("*_LI_2018") + numero + QStringLiteral(".xml")},
                                                      QDir::Files, QDir::Name);
    }

    void VerificaFile(const QStringList& nomi, const QString& numero) {
        const QString suffisso = QStringLiteral("_LI_2018") + numero + QStringLiteral(".xml");
        ASSERT_EQ(nomi, (QStringList{QStringLiteral("IT01234567897") + suffisso,
                                     QStringLiteral("ITBNCMRA70A01H501Y") + suffisso}));
        for (const QString& nome : nomi) {
            const QString file = QDir(CartellaUscitaLiqIva()).filePath(nome);
            EXPECT_EQ(ErroriSchema(file), QString()) << nome.toStdString();
            QFile f(file);
            ASSERT_TRUE(f.open(QIODevice::ReadOnly));
            const QByteArray xml = f.readAll();
            EXPECT_TRUE(xml.contains("<iv:CodiceFornitura>IVP18</iv:CodiceFornitura>")) << nome.toStdString();
            EXPECT_TRUE(xml.contains("<iv:Modulo>")) << nome.toStdString();
        }
    }

    QTemporaryDir dir;
    QString demo;
    std::shared_ptr<Contesto> c;
    std::shared_ptr<DialoghiScriptati> dialoghi;
};

// What a user of the demo finds: the first quarter is already extracted for
// both companies, so one run from the menu's company writes both files.
TEST_F(DemoLiqIva, LaDemoHaIlPrimoTrimestreGiaEstrattoPerEntrambeLeDitte) {
    ASSERT_NE(Avvia(QStringLiteral("1"), demo + QStringLiteral("/ditta01.db"), false), nullptr);
    EXPECT_EQ(Moduli(2018, 1), 3);  // monthly: one module per month
    VerificaFile(ElaboraEntrambe(QStringLiteral("1")), QStringLiteral("1"));
}

// Each company extracted as its extraction form proposes (the working date's
// quarter before), replacing the demo's earlier extraction after the
// confirmation, then one run over both.
// The demo's e-mails of a print carry a subject and a text, with the
// placeholders filled in for the company.
TEST_F(DemoLiqIva, LeEmailDellaDemoHannoOggettoETesto) {
    ASSERT_NE(Avvia("1", demo + "/ditta01.db", false), nullptr);
    const FileIni ini(demo + QStringLiteral("/menu.ini"));
    auto* menu = static_cast<MenuClientFinto*>(c->ggMenuClient.get());
    for (const char* nome : {"EmailNumTesto", "descazie", "codiceazie"})
        menu->ImpostaValore(QString::fromLatin1(nome), ini.leggi("Valori", QString::fromLatin1(nome)).value_or(QString()));
    const QDateTime adesso(QDate(2018, 5, 15), QTime(9, 30));
    for (const char* nome : {"EmailOggetto", "EmailTesto"}) {
        SCOPED_TRACE(nome);
        const QString modello = LeggiParEmail(QString::fromLatin1(nome));
        EXPECT_TRUE(modello.contains("§DescAzie§")) << modello.toStdString();
        const QString testo = SostituisciSegnapostiEmail(modello, QLatin1String(nome) == "EmailOggetto", adesso);
        EXPECT_TRUE(testo.contains("Rossi Forniture S.r.l.")) << testo.toStdString();
        EXPECT_FALSE(testo.contains("§")) << testo.toStdString();
    }
}

// Two demos side by side never write into one folder: the automatic PDFs
// and the output files of each go to its own.
TEST_F(DemoLiqIva, LeStampeDellaDemoRestanoNellaSuaCartella) {
    ASSERT_NE(Avvia("1", demo + "/ditta01.db", false), nullptr);
    const QString cartella = QFileInfo(demo + "/pdf").canonicalFilePath();
    ASSERT_FALSE(cartella.isEmpty()) << "the demo has no folder of its own for its prints";
    OpzSta opz;
    IniOpzSta(opz, QStringLiteral("FrmLiqIvaXML"));
    EXPECT_EQ(QFileInfo(PercorsoLocale(opz.PathDefault)).canonicalFilePath(), cartella);
    const FileIni ini(demo + QStringLiteral("/menu.ini"));
    static_cast<MenuClientFinto*>(c->ggMenuClient.get())
        ->ImpostaValore("PdfNomeFile", ini.leggi("Valori", "PdfNomeFile").value_or(QString()));
    Stampa st;
    const QString pdf = NomePdfAutomatico(LeggiParEmail("PdfNomeFile"), st);
    EXPECT_EQ(QFileInfo(QFileInfo(pdf).absolutePath()).canonicalFilePath(), cartella) << pdf.toStdString();
}

TEST_F(DemoLiqIva, EstrazioneDiEntrambeLeDittePoiUnaSolaElaborazione) {
    struct Ditta {
        QString id, file;
        bool multi;
        int moduli;
    };
    const Ditta ditte[] = {{QStringLiteral("1"), demo + QStringLiteral("/ditta01.db"), false, 3},
                           {QStringLiteral("2"), demo + QStringLiteral("/ditta02.db"), true, 1}};
    for (const Ditta& d : ditte) {
        SCOPED_TRACE(d.file.toStdString());
        FrmLiqIvaPre* f = Avvia(d.id, d.file, d.multi);
        ASSERT_NE(f, nullptr);
        EXPECT_EQ(f->txt[10]->text(), "2018");
        EXPECT_EQ(f->txt[20]->text(), "1");
        dialoghi->mostrati.clear();
        dialoghi->risposte = {1};  // "&Conferma" the replacement
        const EsitoEstrazione esito = EstraiLiqIva(f->DatiForm(), f->recDichiarante);
        EXPECT_EQ(esito.stato, EsitoEstrazione::Completata) << Testi(*dialoghi);
        EXPECT_EQ(dialoghi->testi(), (QStringList{QStringLiteral("Confermi cancellazione di estrazione precedente"),
                                                  QStringLiteral("Elaborazione terminata")}));
        EXPECT_EQ(Moduli(2018, 1), d.moduli);
    }

    ASSERT_NE(Avvia(QStringLiteral("1"), demo + QStringLiteral("/ditta01.db"), false), nullptr);
    VerificaFile(ElaboraEntrambe(QStringLiteral("1")), QStringLiteral("1"));
}

// The same run from the run form, as the menu's entry opens it: the form
// proposes the working date's quarter and the menu's company; the user
// widens the range to the second company and asks for the file only.
TEST_F(DemoLiqIva, DalModuloDiElaborazione) {
    ASSERT_NE(Avvia(QStringLiteral("1"), demo + QStringLiteral("/ditta01.db"), false), nullptr);
    static_cast<Ospite*>(c->ggOspite.get())->ApriFormRichiesta(QStringLiteral("FrmLiqIvaXML"), 0, QStringLiteral("FrmLiqIvaXML"), {}, {}, {});
    auto* f = dynamic_cast<frmLiqIvaXml*>(static_cast<Ospite*>(c->ggOspite.get())->Form(QStringLiteral("frmLiqIvaXml")));
    ASSERT_NE(f, nullptr) << Testi(*dialoghi);
    EXPECT_EQ(f->txt[10]->text(), "2018");
    EXPECT_EQ(f->txt[20]->text(), "1");
    EXPECT_EQ(f->txt[30]->text(), "1");
    EXPECT_EQ(f->txt[60]->text(), CartellaUscitaLiqIva() + QStringLiteral("IT§CodFisc§_LI_20181.xml"));
    f->txt[40]->setText(QStringLiteral("2"));
    f->optTipoElab[1]->setChecked(true);
    dialoghi->mostrati.clear();
    f->ComStampa_Click();
    EXPECT_EQ(dialoghi->testi(), QStringList{QStringLiteral("Elaborazione terminata")}) << Testi(*dialoghi);
    VerificaFile(QDir(CartellaUscitaLiqIva()).entryList({QStringLiteral("*_LI_20181.xml")}, QDir::Files, QDir::Name),
                 QStringLiteral("1"));
}


// The management screens on the demo: the menu opens the header of the
// extracted communication, its modules and its list; a module changed there
// is what the next run writes.
TEST_F(DemoLiqIva, ModuloCorrettoDallaGestioneFinisceNelFile) {
    ASSERT_NE(Avvia(QStringLiteral("1"), demo + QStringLiteral("/ditta01.db"), false), nullptr);
    static_cast<Ospite*>(c->ggOspite.get())->ApriFormRichiesta(QStringLiteral("frmLiqIvaTest"), 0, QStringLiteral("frmLiqIvaTest"), {}, {}, {});
    auto* t = dynamic_cast<frmLiqIvaTest*>(static_cast<Ospite*>(c->ggOspite.get())->Form(QStringLiteral("frmLiqIvaTest")));
    ASSERT_NE(t, nullptr) << Testi(*dialoghi);
    t->txt[20]->setText(QStringLiteral("2018"));
    t->txt[10]->setText(QStringLiteral("1"));
    t->ButtonComando(QStringLiteral("Ricerca"));
    EXPECT_EQ(t->ModelloDett().rowCount(), 3) << Testi(*dialoghi);

    t->ButtonComando(QStringLiteral("Lista"));
    ASSERT_NE(t->ListaForm(), nullptr);
    EXPECT_EQ(t->ListaForm()->Lista().Modello().rowCount(), 1);
    t->ListaForm()->ButtonComando(QStringLiteral("Torna"));

    t->ButtonComando(QStringLiteral("Dettaglio"));
    auto* d = qobject_cast<frmLiqIvaDett*>(t->LineeAperte());
    ASSERT_NE(d, nullptr) << Testi(*dialoghi);
    d->txt_GotFocus(170);
    d->txt[170]->setText(QStringLiteral("12,34"));
    d->txt_LostFocus(170);
    d->ButtonComando(QStringLiteral("Salva"));
    d->ButtonComando(QStringLiteral("Chiudi"));
    EXPECT_TRUE(t->isEnabled());

    const QStringList nomi = ElaboraEntrambe(QStringLiteral("1"));
    ASSERT_FALSE(nomi.isEmpty());
    QFile f(QDir(CartellaUscitaLiqIva()).filePath(nomi.first()));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_TRUE(f.readAll().contains("<iv:InteressiDovuti>12,34</iv:InteressiDovuti>"));
}

}  // namespace
