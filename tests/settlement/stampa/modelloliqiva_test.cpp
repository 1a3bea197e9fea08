// The printed settlement form: every field's position, alignment and text on
// the recording back end, the conditions of the fields, the sheet geometry
// of [LiqIva], and one real PDF over the stand-in pictures.
#include "settlement/stampa/ModelloLiqIva.h"

#include "components/core/ErroreRun.h"
#include "components/db/GestRecordset.h"
#include "components/platform/DialoghiScriptati.h"
#include "components/stampa/RetroPittore.h"
#include "components/stampa/Stampa.h"
#include "print/lavoro/LavoroStampa.h"
#include "contesto/Contesto.h"
#include "support/AppTest.h"
#include "support/Fixture.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

using Riga = QHash<QString, Valore>;

LettoreCampo Lettore(const Riga& riga) {
    return [riga](const QString& nome) { return riga.value(nome); };
}

// One printed text as the test expects it.
struct Atteso {
    QString testo;
    double sinistra, destra, vert;
    QString allineamento;
};

// A text one character per box, boxes 4.9 mm apart and 5 mm wide.
QList<Atteso> Caselle(const QString& testo, double x, double y) {
    QList<Atteso> a;
    for (int i = 0; i < testo.size(); ++i)
        a.append({testo.mid(i, 1), x + i * 4.9, x + i * 4.9 + 5, y, QStringLiteral("S")});
    return a;
}
Atteso Importo(const QString& testo, double destra, double y) {
    return {testo, destra - 30, destra, y, QStringLiteral("D")};
}
Atteso Testo(const QString& testo, double sinistra, double destra, double y) {
    return {testo, sinistra, destra, y, QStringLiteral("S")};
}

QList<Atteso> Spostati(QList<Atteso> attesi, double dx, double dy) {
    for (Atteso& a : attesi) a.sinistra += dx, a.destra += dx, a.vert += dy;
    return attesi;
}

void Confronta(const RegistroStampa& registro, const QList<Atteso>& attesi) {
    const QList<VoceStampa> testi = registro.DiTipo(QStringLiteral("StampaTesto"));
    ASSERT_EQ(testi.size(), attesi.size()) << registro.Righe().join(QLatin1Char('\n')).toStdString();
    for (int i = 0; i < attesi.size(); ++i) {
        const VoceStampa& v = testi[i];
        const Atteso& a = attesi[i];
        SCOPED_TRACE(QStringLiteral("testo %1: \"%2\"").arg(i).arg(a.testo).toStdString());
        EXPECT_EQ(v.testo, a.testo);
        EXPECT_NEAR(v.sinistra, a.sinistra, 1e-4);
        EXPECT_NEAR(v.destra, a.destra, 1e-4);
        EXPECT_NEAR(v.vert, a.vert, 1e-4);
        EXPECT_EQ(v.allineamento, a.allineamento);
        EXPECT_EQ(v.slot, QStringLiteral("TestaAzienda"));
    }
}

Riga TestataCompleta() {
    return {
        {"LiqIvaTest.CodiceFiscale", "RSSMRA80A01H501U"},
        {"LiqIvaTest.Anno", 2018},
        {"LiqIvaTest.PartitaIva", "01234567890"},
        {"LiqIvaTest.PartitaIvaControllante", "09876543210"},
        {"LiqIvaTest.UltimoMese", 12},
        {"LiqIvaTest.LiquidazioneGruppo", "s"},
        {"LiqIvaTest.CFDichiarante", "BNCLRA75B41F205X"},
        {"LiqIvaTest.CodiceCaricaDichiarante", "01"},
        {"LiqIvaTest.CodiceFiscaleSocieta", "11223344556"},
        {"LiqIvaTest.CFIntermediario", "VRDGPP70C03L219K"},
        {"LiqIvaTest.ImpegnoPresentazione", "1"},
        {"LiqIvaTest.DataImpegno", QDate(2018, 3, 5)},
    };
}

QList<Atteso> AttesiTestataCompleta() {
    QList<Atteso> a;
    a << Caselle("RSSMRA80A01H501U", 88, 18) << Caselle("2018", 60, 49) << Caselle("01234567890", 72, 61)
      << Caselle("09876543210", 72, 69) << Caselle("12", 148, 69) << Caselle("X", 187, 69)
      << Caselle("BNCLRA75B41F205X", 65, 81) << Testo("01", 186.5, 196.5, 81) << Caselle("11223344556", 65, 89)
      << Caselle("VRDGPP70C03L219K", 75, 110) << Caselle("1", 69, 118) << Testo("05", 61, 68, 134)
      << Testo("03", 69, 76, 134) << Testo("2018", 77, 92, 134);
    return a;
}

Riga ModuloCompleto() {
    Riga r{{"LiqIvaTest.CodiceFiscale", "01234567890"},
           {"LiqIvaDett.Modulo", 1},
           {"LiqIvaDett.Mese", Valore::null()},
           {"LiqIvaDett.Trimestre", 2},
           {"LiqIvaDett.Subfornitura", "S"},
           {"LiqIvaDett.EventiEccezionali", "1"},
           {"LiqIvaDett.OpStraordinarie", "N"},
           {"LiqIvaDett.MetodoAcconto", "2"}};
    const QList<std::pair<const char*, double>> importi{
        {"TotaleOperazioniAttive", 1234.5},   {"TotaleOperazioniPassive", 800},
        {"IvaEsigibile", -250},               {"IvaDetratta", 99.99},
        {"IvaDovuta", 0},                     {"IvaCredito", 10},
        {"DebitoPrecedente", 20.5},           {"CreditoPeriodoPrecedente", 30},
        {"CreditoAnnoPrecedente", 40},        {"VersamentiAutoUe", 50},
        {"CreditiImposta", 60},               {"InteressiDovuti", 2.675},
        {"Acconto", 300},                     {"ImportoDaVersare", 1000000.125},
        {"ImportoACredito", 0}};
    for (const auto& [nome, valore] : importi) r.insert(QStringLiteral("LiqIvaDett.") + nome, valore);
    return r;
}

// The figures of ModuloCompleto; VP13 only when the advance is printed.
QList<Atteso> AttesiImporti(bool acconto) {
    QList<Atteso> a{Importo("1234 50", 140.9, 61),  Importo("800 00", 190, 69.2),  Importo("-250 00", 140.9, 77.4),
                    Importo("99 99", 190, 85.6),    Importo("10 00", 190, 93.8),   Importo("20 50", 140.9, 102.0),
                    Importo("30 00", 190, 110.2),   Importo("40 00", 190, 118.4),  Importo("50 00", 190, 126.6),
                    Importo("60 00", 190, 134.8),   Importo("2 68", 140.9, 143.0)};
    if (acconto) a << Caselle("2", 139, 151.2) << Importo("300 00", 190, 151.2);
    a << Importo("1000000 13", 140.9, 159.4);
    return a;
}

QList<Atteso> AttesiModuloCompleto() {
    QList<Atteso> a;
    a << Caselle("01234567890", 88, 18) << Caselle("01", 156, 36) << Caselle("2", 82, 53) << Caselle("X", 109, 53)
      << Caselle("1", 145, 53) << AttesiImporti(true);
    return a;
}

class ModelloLiqIvaTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        contesto = std::make_shared<Contesto>();
        contesto->ggDialoghi = dialoghi;
        contesto->gsFileIni = dir.filePath(QStringLiteral("qorwin.ini"));
        ImpostaContesto(contesto);
    }
    void Impostazioni(const QString& testo) {
        QFile f(contesto->gsFileIni);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(testo.toUtf8());
    }
    // Loads the geometry as the writer does, before the document starts.
    void CaricaGeometria() {
        modello.IniParamImmagine(PaginaLiqIva::Intestazione, true);
        modello.IniParamImmagine(PaginaLiqIva::Modulo, true);
    }

    QTemporaryDir dir;
    std::shared_ptr<DialoghiScriptati> dialoghi = std::make_shared<DialoghiScriptati>();
    std::shared_ptr<Contesto> contesto;
    RegistroInstallato registro;
    Stampa stampa;
    ModelloLiqIva modello;
};

TEST_F(ModelloLiqIvaTest, FrontespizioCompletoAllaGeometriaPredefinita) {
    CaricaGeometria();
    modello.StaIntest(stampa, Lettore(TestataCompleta()));
    Confronta(*registro.registro, AttesiTestataCompleta());
    EXPECT_TRUE(dialoghi->mostrati.isEmpty());
}

TEST_F(ModelloLiqIvaTest, GliSpostamentiMuovonoOgniCampoCompresiIBordiDelleDate) {
    Impostazioni(QStringLiteral("[LiqIva]\r\nSpostaX=2\r\nSpostaY=-1,5\r\n"));
    CaricaGeometria();
    modello.StaIntest(stampa, Lettore(TestataCompleta()));
    Confronta(*registro.registro, Spostati(AttesiTestataCompleta(), 2, -1.5));

    registro->Svuota();
    modello.StaModulo(stampa, Lettore(ModuloCompleto()));
    Confronta(*registro.registro, Spostati(AttesiModuloCompleto(), 2, -1.5));

    // The pictures stay where the sheet geometry puts them.
    EXPECT_EQ(modello.RettangoloFoglio(PaginaLiqIva::Intestazione), QRectF(0, 0, 202.18f, 286.0f));
}

TEST_F(ModelloLiqIvaTest, FrontespizioCondizioni) {
    struct Caso {
        const char* nome;
        Riga cambi;
        QList<Atteso> attesi;
    };
    const auto base = [](const QList<Atteso>& dopo) {
        QList<Atteso> a;
        a << Caselle("RSSMRA80A01H501U", 88, 18) << Caselle("2018", 60, 49) << Caselle("01234567890", 72, 61);
        return a + dopo;
    };
    const QList<Atteso> dichiarante = Caselle("BNCLRA75B41F205X", 65, 81) + QList<Atteso>{Testo("01", 186.5, 196.5, 81)} +
                                      Caselle("11223344556", 65, 89);
    const QList<Atteso> intermediario =
        Caselle("VRDGPP70C03L219K", 75, 110) + Caselle("1", 69, 118) +
        QList<Atteso>{Testo("05", 61, 68, 134), Testo("03", 69, 76, 134), Testo("2018", 77, 92, 134)};
    const QList<Caso> casi{
        {"senza controllante niente mese ne' gruppo",
         {{"LiqIvaTest.PartitaIvaControllante", "  "}},
         base(dichiarante + intermediario)},
        {"ultimo mese zero e gruppo N",
         {{"LiqIvaTest.UltimoMese", 0}, {"LiqIvaTest.LiquidazioneGruppo", "N"}},
         base(Caselle("09876543210", 72, 69) + dichiarante + intermediario)},
        {"senza dichiarante niente carica ne' societa'",
         {{"LiqIvaTest.CFDichiarante", Valore::null()}},
         base(Caselle("09876543210", 72, 69) + Caselle("12", 148, 69) + Caselle("X", 187, 69) + intermediario)},
        {"senza intermediario niente impegno ne' data",
         {{"LiqIvaTest.CFIntermediario", ""}},
         base(Caselle("09876543210", 72, 69) + Caselle("12", 148, 69) + Caselle("X", 187, 69) + dichiarante)},
        {"senza data d'impegno",
         {{"LiqIvaTest.DataImpegno", Valore::null()}},
         base(Caselle("09876543210", 72, 69) + Caselle("12", 148, 69) + Caselle("X", 187, 69) + dichiarante +
              Caselle("VRDGPP70C03L219K", 75, 110) + Caselle("1", 69, 118))},
        {"data d'impegno illeggibile",
         {{"LiqIvaTest.DataImpegno", "domani"}},
         base(Caselle("09876543210", 72, 69) + Caselle("12", 148, 69) + Caselle("X", 187, 69) + dichiarante +
              Caselle("VRDGPP70C03L219K", 75, 110) + Caselle("1", 69, 118))},
    };
    CaricaGeometria();
    for (const Caso& c : casi) {
        SCOPED_TRACE(c.nome);
        Riga riga = TestataCompleta();
        for (auto it = c.cambi.begin(); it != c.cambi.end(); ++it) riga.insert(it.key(), it.value());
        registro->Svuota();
        modello.StaIntest(stampa, Lettore(riga));
        Confronta(*registro.registro, c.attesi);
    }
}

TEST_F(ModelloLiqIvaTest, ModuloCompletoAllaGeometriaPredefinita) {
    CaricaGeometria();
    modello.StaModulo(stampa, Lettore(ModuloCompleto()));
    Confronta(*registro.registro, AttesiModuloCompleto());
}

TEST_F(ModelloLiqIvaTest, ModuloMensileSenzaAcconto) {
    Riga riga = ModuloCompleto();
    riga.insert("LiqIvaDett.Modulo", 3);
    riga.insert("LiqIvaDett.Mese", 3);
    riga.insert("LiqIvaDett.Trimestre", Valore::null());
    riga.insert("LiqIvaDett.Subfornitura", "n");
    riga.insert("LiqIvaDett.EventiEccezionali", "");
    riga.insert("LiqIvaDett.OpStraordinarie", "s");
    riga.insert("LiqIvaDett.Acconto", 0.0);
    riga.insert("LiqIvaDett.MetodoAcconto", "1");
    CaricaGeometria();
    modello.StaModulo(stampa, Lettore(riga));
    QList<Atteso> attesi;
    attesi << Caselle("01234567890", 88, 18) << Caselle("03", 156, 36) << Caselle("03", 53, 53)
           << Caselle("X", 187, 53) << AttesiImporti(false);
    Confronta(*registro.registro, attesi);
}

TEST(ModelloLiqIvaImporti, TestoDegliImporti) {
    const QList<std::pair<double, QString>> casi{
        {1234.5, "1234 50"}, {-3, "-3 00"},       {0.004, "0 00"},         {2.675, "2 68"},
        {1.005, "1 01"},     {-0.004, "0 00"},    {1234567.891, "1234567 89"}, {99.999, "100 00"}};
    for (const auto& [valore, testo] : casi) EXPECT_EQ(ModelloLiqIva::TestoImporto(valore), testo) << valore;
}

TEST_F(ModelloLiqIvaTest, ImportoZeroNonStampaNienteETestoSpaziato) {
    modello.StaImporto(stampa, 0, 140.9f);
    modello.StaImporto(stampa, 1e-9, 140.9f);
    modello.StaCampoSpazi(stampa, QString(), 88);
    EXPECT_TRUE(registro->voci.isEmpty());
    EXPECT_EQ(ModelloLiqIva::TestoSpaziato("AB"), QStringLiteral("A   B   "));
    EXPECT_EQ(ModelloLiqIva::TestoSpaziato(QString()), QString());
}

TEST_F(ModelloLiqIvaTest, ImportoNonNumericoEUnErroreDellaCorsa) {
    Riga riga = ModuloCompleto();
    riga.insert("LiqIvaDett.IvaDetratta", "dodici");
    CaricaGeometria();
    try {
        modello.StaModulo(stampa, Lettore(riga));
        FAIL() << "nessun errore";
    } catch (const ErroreRun& e) {
        EXPECT_EQ(e.numero(), NumErrore::TipoNonCorrispondente);
    }
}

TEST_F(ModelloLiqIvaTest, GeometriaEPercorsiDalleImpostazioni) {
    CaricaGeometria();
    EXPECT_EQ(modello.RettangoloFoglio(PaginaLiqIva::Intestazione), QRectF(0, 0, 202.18f, 286.0f));
    EXPECT_EQ(modello.RettangoloFoglio(PaginaLiqIva::Modulo), QRectF(0, 0, 202.18f, 286.26f));
    EXPECT_EQ(modello.mnSpostaX, 0.f);
    EXPECT_EQ(modello.mnSpostaY, 0.f);
    EXPECT_EQ(modello.IniParamImmagine(PaginaLiqIva::Intestazione, true), QStringLiteral("LiqIvaTest.gif"));
    EXPECT_EQ(modello.IniParamImmagine(PaginaLiqIva::Modulo, true), QStringLiteral("LiqIvaDett.gif"));

    Impostazioni(QStringLiteral("[Base]\r\nDriveDB=C:\r\nDirImmagini=Immagini\r\n"
                                "[LiqIva]\r\nImgDett=Moduli.png\r\nInizioLarghezzaFoglio1=1,5\r\n"
                                "LarghezzaFoglio1=201\r\nInizioAltezzaFoglio2=2\r\nAltezzaFoglio2=280,5\r\n"
                                "SpostaX=-0,5\r\n"));
    EXPECT_EQ(modello.IniParamImmagine(PaginaLiqIva::Intestazione, true),
              QStringLiteral("C:\\Immagini\\LiqIvaTest.gif"));
    EXPECT_EQ(modello.IniParamImmagine(PaginaLiqIva::Modulo, true), QStringLiteral("C:\\Immagini\\Moduli.png"));
    EXPECT_EQ(modello.RettangoloFoglio(PaginaLiqIva::Intestazione), QRectF(1.5f, 0, 201 - 1.5f, 286.0f));
    EXPECT_EQ(modello.RettangoloFoglio(PaginaLiqIva::Modulo), QRectF(0, 2, 202.18f, 280.5f - 2));
    EXPECT_EQ(modello.mnSpostaX, -0.5f);
    EXPECT_EQ(modello.mnSpostaY, 0.f);

    Impostazioni(QStringLiteral("[Base]\r\nDriveDB=C:\r\nDirImmagini=Immagini\r\n"
                                "[LiqIva]\r\nDriveImg=D:\r\nDirImg=Modelli\r\n"));
    EXPECT_EQ(modello.IniParamImmagine(PaginaLiqIva::Intestazione, true),
              QStringLiteral("D:\\Modelli\\LiqIvaTest.gif"));
    EXPECT_TRUE(dialoghi->mostrati.isEmpty());

    // A picture name left empty is a missing picture, not the folder; "\"
    // alone is a page without a picture. The geometry is read all the same.
    Impostazioni(QStringLiteral("[Base]\r\nDriveDB=C:\r\nDirImmagini=Immagini\r\n"
                                "[LiqIva]\r\nDirImg=Modelli\r\nImgTest=\r\nImgDett= \\ \r\n"
                                "AltezzaFoglio1=280\r\nAltezzaFoglio2=281\r\n"));
    EXPECT_EQ(modello.IniParamImmagine(PaginaLiqIva::Intestazione, true), QString());
    EXPECT_EQ(modello.IniParamImmagine(PaginaLiqIva::Modulo, true), QStringLiteral("\\"));
    EXPECT_EQ(modello.RettangoloFoglio(PaginaLiqIva::Intestazione), QRectF(0, 0, 202.18f, 280.f));
    EXPECT_EQ(modello.RettangoloFoglio(PaginaLiqIva::Modulo), QRectF(0, 0, 202.18f, 281.f));
}

// A key that is not a number takes its default, as the box says; the others
// are read as usual and the box comes once.
TEST_F(ModelloLiqIvaTest, ChiaveNonNumericaUsaIlSuoPredefinito) {
    modello.mnSpostaX = 7;  // left from an earlier run
    Impostazioni(QStringLiteral("[LiqIva]\r\nLarghezzaFoglio1=largo\r\nAltezzaFoglio1=280\r\n"
                                "SpostaX=tre\r\nSpostaY=1\r\n"));
    EXPECT_EQ(modello.IniParamImmagine(PaginaLiqIva::Intestazione, true), QStringLiteral("LiqIvaTest.gif"));
    EXPECT_EQ(modello.RettangoloFoglio(PaginaLiqIva::Intestazione), QRectF(0, 0, 202.18f, 280.f));
    EXPECT_EQ(modello.mnSpostaX, 0.f);
    EXPECT_EQ(modello.mnSpostaY, 1.f);
    ASSERT_EQ(dialoghi->mostrati.size(), 1);
    EXPECT_EQ(dialoghi->mostrati[0].titolo, QStringLiteral("Errore file ini"));
    EXPECT_EQ(dialoghi->mostrati[0].stile, StileMsg::Critico);
    EXPECT_EQ(dialoghi->mostrati[0].testo,
              QStringLiteral("(IniParamStampa) Problemi nei parametri per file immagine del modello: LiqIva \r\n"
                             "nel file di inizializzazione. \r\nUso i valori di default"));

    // Without the print object's leave to warn, nothing is shown.
    dialoghi->mostrati.clear();
    modello.IniParamImmagine(PaginaLiqIva::Intestazione, false);
    EXPECT_TRUE(dialoghi->mostrati.isEmpty());
}

// A picture whose start and end are swapped, or that lies off the sheet, and
// a shift off the sheet: the page takes its defaults, as for a value that is
// no number.
TEST_F(ModelloLiqIvaTest, GeometriaFuoriDalFoglioUsaIPredefiniti) {
    const struct {
        const char* nome;
        const char* ini;
        int pagina;
        QRectF atteso;
        float spostaX, spostaY;
    } casi[] = {
        {"start and end swapped", "LarghezzaFoglio2=0\r\nInizioLarghezzaFoglio2=202\r\n", PaginaLiqIva::Modulo,
         QRectF(0, 0, 202.18f, 286.26f), 0, 0},
        {"beyond the sheet", "AltezzaFoglio1=1500\r\n", PaginaLiqIva::Intestazione, QRectF(0, 0, 202.18f, 286.f),
         0, 0},
        {"negative start", "InizioAltezzaFoglio1=-20\r\n", PaginaLiqIva::Intestazione,
         QRectF(0, 0, 202.18f, 286.f), 0, 0},
        {"shift off the sheet", "SpostaX=1000\r\nSpostaY=2\r\n", PaginaLiqIva::Intestazione,
         QRectF(0, 0, 202.18f, 286.f), 0, 0},
    };
    for (const auto& k : casi) {
        SCOPED_TRACE(k.nome);
        dialoghi->mostrati.clear();
        Impostazioni(QStringLiteral("[LiqIva]\r\n") + QString::fromLatin1(k.ini));
        modello.IniParamImmagine(k.pagina, true);
        EXPECT_EQ(modello.RettangoloFoglio(k.pagina), k.atteso);
        if (k.pagina == PaginaLiqIva::Intestazione) {
            EXPECT_EQ(modello.mnSpostaX, k.spostaX);
            EXPECT_EQ(modello.mnSpostaY, k.spostaY);
        }
        ASSERT_EQ(dialoghi->mostrati.size(), 1);
        EXPECT_EQ(dialoghi->mostrati[0].titolo, QStringLiteral("Errore file ini"));
    }
}

// The fields come from the writer's query over the real tables.
TEST(ModelloLiqIvaDb, StampaDallaQueryDelleTabelle) {
    FixtureDb db;
    auto contesto = db.InstallaContesto();
    contesto->ggDialoghi = std::make_shared<DialoghiScriptati>();
    db.Inserisci(db.idAzienda, "LiqIvaTest",
                 {{"Anno", 2018}, {"NumCom", 1}, {"CodiceFiscale", "01234567890"}, {"PartitaIva", "01234567890"},
                  {"PartitaIvaControllante", ""}, {"UltimoMese", 0}, {"CFDichiarante", "BNCLRA75B41F205X"},
                  {"CodiceCaricaDichiarante", "05"}, {"CFIntermediario", "VRDGPP70C03L219K"},
                  {"ImpegnoPresentazione", "2"}, {"DataImpegno", QDate(2018, 11, 30)}});
    db.Inserisci(db.idAzienda, "LiqIvaDett",
                 {{"Anno", 2018}, {"NumCom", 1}, {"Modulo", 2}, {"Trimestre", 1}, {"Subfornitura", "N"},
                  {"OpStraordinarie", "N"}, {"IvaEsigibile", 1500.4}, {"ImportoACredito", 7.1}});
    GestRecordset gestRs;
    const QString chiave = gestRs.ApriRecordset(
        *db.gestDb, db.idAzienda, QString(),
        "Select * from LiqIvaTest Inner Join LiqIvaDett On LiqIvaTest.Anno = LiqIvaDett.Anno"
        " And LiqIvaTest.NumCom = LiqIvaDett.NumCom Where LiqIvaTest.Anno = 2018 And LiqIvaTest.NumCom = 1"
        " Order By Modulo");
    RegistroInstallato registro;
    Stampa stampa;
    ModelloLiqIva modello;
    modello.IniParamImmagine(PaginaLiqIva::Intestazione, true);
    modello.IniParamImmagine(PaginaLiqIva::Modulo, true);
    const LettoreCampo campo = ModelloLiqIva::DaRecordset(gestRs, chiave);
    modello.StaIntest(stampa, campo);
    modello.StaModulo(stampa, campo);
    gestRs.ChiudiRecordset(chiave);
    EXPECT_EQ(registro->Testi().join(QString()),
              QStringLiteral("01234567890" "2018" "01234567890" "BNCLRA75B41F205X" "05" "VRDGPP70C03L219K" "2"
                             "30" "11" "2018"
                             "01234567890" "02" "1" "1500 40" "7 10"));
}

// One real PDF over the stand-in pictures: a front page and two modules.
TEST(ModelloLiqIvaPdf, PagineDelModelloInPdf) {
    AppTest();
    QTemporaryDir dir;
    auto contesto = std::make_shared<Contesto>();
    contesto->ggDialoghi = std::make_shared<DialoghiScriptati>();
    contesto->gsFileIni = dir.filePath(QStringLiteral("qorwin.ini"));
    {
        QFile f(contesto->gsFileIni);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QStringLiteral("[LiqIva]\r\nDirImg=%1\r\nImgTest=LiqIvaTest.png\r\nImgDett=LiqIvaDett.png\r\n")
                    .arg(CartellaSorgenti() + QStringLiteral("/data/liqiva"))
                    .toUtf8());
    }
    ImpostaContesto(contesto);

    ModelloLiqIva modello;
    const QString fronte = modello.IniParamImmagine(PaginaLiqIva::Intestazione, true);
    const QString moduli = modello.IniParamImmagine(PaginaLiqIva::Modulo, true);
    ASSERT_TRUE(QFile::exists(fronte)) << fronte.toStdString();
    ASSERT_TRUE(QFile::exists(moduli)) << moduli.toStdString();
    // The stand-in pictures are drawn for the default sheet geometry: drawn
    // in its rectangle, a picture is not stretched.
    for (const auto& [file, pagina] : {std::pair{fronte, PaginaLiqIva::Intestazione}, {moduli, PaginaLiqIva::Modulo}}) {
        const QImage immagine(file);
        const QRectF r = modello.RettangoloFoglio(pagina);
        EXPECT_NEAR(immagine.width() / r.width(), immagine.height() / r.height(), 0.01) << file.toStdString();
    }

    const QString pdf = dir.filePath(QStringLiteral("modello.pdf"));
    {
        Stampa stampa;
        stampa.ogOpzSta = std::make_shared<OpzSta>();
        stampa.ImpRetro(RetroPittore::PerPdf(pdf));
        FontSta font;
        ImpFontTesta(stampa, font);
        stampa.AvviaDocumento();
        const QRectF r1 = modello.RettangoloFoglio(PaginaLiqIva::Intestazione);
        stampa.StampaImmagine(fronte, r1.x(), r1.y(), r1.width(), r1.height());
        modello.StaIntest(stampa, Lettore(TestataCompleta()));
        const QRectF r2 = modello.RettangoloFoglio(PaginaLiqIva::Modulo);
        for (int modulo = 1; modulo <= 2; ++modulo) {
            stampa.NuovaPagina();
            stampa.StampaImmagine(moduli, r2.x(), r2.y(), r2.width(), r2.height());
            Riga riga = ModuloCompleto();
            riga.insert("LiqIvaDett.Modulo", modulo);
            modello.StaModulo(stampa, Lettore(riga));
        }
        stampa.FineStampa();
        EXPECT_EQ(stampa.PagineProdotte(), 3);
    }
    QFile f(pdf);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray contenuto = f.readAll();
    ASSERT_TRUE(contenuto.startsWith("%PDF"));
    const QRegularExpression pagina(QStringLiteral("/Type\\s*/Page(?![s\\w])"));
    EXPECT_EQ(QString::fromLatin1(contenuto).count(pagina), 3);
    EXPECT_TRUE(contenuto.contains("/FontDescriptor")) << "nessun testo disegnato";
    EXPECT_TRUE(contenuto.contains("/Subtype /Image")) << "nessuna immagine disegnata";
}

}  // namespace
