// The settlement XML file written from the communication tables, judged by the
// tax authority's schema.
#include "settlement/file/FileLiqIva.h"

#include "supporto_file.h"
#include "components/core/ErroreRun.h"
#include "components/platform/DialoghiScriptati.h"
#include "contesto/Contesto.h"

#include "components/db/GestRecordset.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <gtest/gtest.h>

using namespace filetest;

namespace {

// Each list entry starts with CR LF.
QString elenco(const QStringList& voci) {
    QString s;
    for (const QString& v : voci) s += QStringLiteral("\r\n") + v;
    return s;
}

// The lines of the file without their indentation.
QStringList righe(const QByteArray& contenuto) {
    QStringList r;
    for (const QString& l : QString::fromLatin1(contenuto).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts)) {
        QString t = l;
        while (t.startsWith(QLatin1Char('\t'))) t.remove(0, 1);
        r << t;
    }
    return r;
}

struct CasoXml {
    const char* nome;
    int anno;
    Colonne testata;        // changes to the base header
    QList<Colonne> moduli;  // changes to base modules 1, 2, ...
    bool valido;            // against the schema of the year
    QStringList presenti;   // lines that must be in the file
    QStringList assenti;    // elements (or "<iv:Element>text") that must not be
    QStringList mancanti;
    QStringList segnalazioni;
    int errori = 0;
};

const QString kMetodo = QStringLiteral(" Metodo Acconto obbligatorio in presenza di acconto");

const CasoXml kCasi[] = {
    {"IVP17: comma amounts; no module number, method or extraordinary operations",
     2017, {},
     {{{"TotaleOperazioniAttive", 1234.5}, {"IvaEsigibile", 271.59}, {"IvaDovuta", 271.59}, {"Acconto", 100.0},
       {"MetodoAcconto", "2"}, {"OpStraordinarie", "S"}, {"ImportoDaVersare", 371.59}, {"Subfornitura", "S"}}},
     true,
     {"<iv:CodiceFornitura>IVP17</iv:CodiceFornitura>", "<iv:AnnoImposta>2017</iv:AnnoImposta>",
      "<iv:Trimestre>1</iv:Trimestre>", "<iv:Subfornitura>1</iv:Subfornitura>",
      "<iv:TotaleOperazioniAttive>1234,50</iv:TotaleOperazioniAttive>", "<iv:IvaEsigibile>271,59</iv:IvaEsigibile>",
      "<iv:Acconto>100,00</iv:Acconto>", "<iv:ImportoDaVersare>371,59</iv:ImportoDaVersare>"},
     {"NumeroModulo", "Metodo", "OperazioniStraordinarie", "TotaleOperazioniPassive", "Mese"},
     {}, {}},
    {"IVP18: three monthly modules, VP10 as VersamentiAutoUE, the method",
     2018, {},
     {{{"Mese", 1}, {"Trimestre", Valore::null()}, {"IvaCredito", 12.0}},
      {{"Mese", 2}, {"Trimestre", Valore::null()}, {"VersamentiAutoUe", 10.0}},
      {{"Mese", 3}, {"Trimestre", Valore::null()}, {"Acconto", 50.0}, {"MetodoAcconto", "1"}, {"OpStraordinarie", "s"}}},
     true,
     {"<iv:CodiceFornitura>IVP18</iv:CodiceFornitura>", "<iv:NumeroModulo>1</iv:NumeroModulo>",
      "<iv:NumeroModulo>2</iv:NumeroModulo>", "<iv:NumeroModulo>3</iv:NumeroModulo>", "<iv:Mese>3</iv:Mese>",
      "<iv:VersamentiAutoUE>10,00</iv:VersamentiAutoUE>", "<iv:Metodo>1</iv:Metodo>",
      "<iv:OperazioniStraordinarie>1</iv:OperazioniStraordinarie>"},
     {"Trimestre", "VersamentiAutoUe"},
     {}, {}},
    {"negative amounts: signed fields written, unsigned ones listed and left out",
     2018, {},
     {{{"IvaDovuta", -5.0}, {"ImportoDaVersare", -1.0}, {"CreditoAnnoPrecedente", -7.5}, {"IvaDetratta", -2.0},
       {"VersamentiAutoUe", -3.0}}},
     true,
     {"<iv:CreditoAnnoPrecedente>-7,50</iv:CreditoAnnoPrecedente>", "<iv:IvaDetratta>-2,00</iv:IvaDetratta>"},
     {"IvaDovuta", "ImportoDaVersare", "VersamentiAutoUE"},
     {}, {"Modulo 1: IvaDovuta negativo", "Modulo 1: VersamentiAutoUE negativo", "Modulo 1: ImportoDaVersare negativo"},
     3},
    {"an amount too long for its field is an error of the run, never cut",
     2018, {},
     {{{"ImportoACredito", 12345678901234.5}, {"TotaleOperazioniAttive", 9999999999999.99},
       {"IvaEsigibile", -123456789012345.0}}},
     true,
     {"<iv:TotaleOperazioniAttive>9999999999999,99</iv:TotaleOperazioniAttive>"},
     {"ImportoACredito", "IvaEsigibile"},
     {}, {"Modulo 1: IvaEsigibile fuori formato", "Modulo 1: ImportoACredito fuori formato"}, 2},
    {"codes trimmed, upper-cased and judged by the schema's patterns",
     2018,
     {{"CodiceFiscale", " rssmra80a01h501u "}, {"PartitaIva", "01234567897 "}, {"CFDichiarante", "01234567897"},
      {"CodiceCaricaDichiarante", "05"}, {"CodiceFiscaleSocieta", "07654321098"},
      {"PartitaIvaControllante", "07654321098"}},
     {{}},
     true,
     {"<iv:CodiceFiscale>RSSMRA80A01H501U</iv:CodiceFiscale>", "<iv:PartitaIVA>01234567897</iv:PartitaIVA>",
      "<iv:CodiceFiscaleDichiarante>01234567897</iv:CodiceFiscaleDichiarante>",
      "<iv:CFDichiarante>01234567897</iv:CFDichiarante>", "<iv:CodiceCarica>5</iv:CodiceCarica>",
      "<iv:CodiceCaricaDichiarante>5</iv:CodiceCaricaDichiarante>",
      "<iv:CodiceFiscaleSocieta>07654321098</iv:CodiceFiscaleSocieta>",
      "<iv:PIVAControllante>07654321098</iv:PIVAControllante>"},
     {}, {}, {}},
    {"optional codes outside the schema are listed and left out, never cut",
     2017,
     {{"PartitaIvaControllante", "0123456789"}, {"CodiceFiscaleSocieta", "RSSMRA80A01H501U"},
      {"CFDichiarante", "RSSMRA80A01H50"}, {"CodiceCaricaDichiarante", "10"}, {"UltimoMese", 14}},
     {{}},
     true, {},
     {"PIVAControllante", "CodiceFiscaleSocieta", "CFDichiarante", "CodiceFiscaleDichiarante", "CodiceCarica",
      "CodiceCaricaDichiarante", "UltimoMese"},
     {},
     {"CodiceFiscaleDichiarante non valido", "CodiceCarica non valido", "PIVAControllante non valido",
      "UltimoMese non valido", "CFDichiarante non valido", "CodiceCaricaDichiarante non valido",
      "CodiceFiscaleSocieta non valido"}},
    {"mandatory codes outside the schema are written whole and listed",
     2017, {{"CodiceFiscale", "IT01234567897"}, {"PartitaIva", "IT01234567897"}}, {{}},
     false,
     {"<iv:CodiceFiscale>IT01234567897</iv:CodiceFiscale>", "<iv:PartitaIVA>IT01234567897</iv:PartitaIVA>"},
     {}, {}, {"CodiceFiscale non valido", "PartitaIVA non valido"}, 2},
    {"missing mandatory codes are listed",
     2018, {{"CodiceFiscale", ""}, {"PartitaIva", "   "}}, {{}},
     false, {}, {"CodiceFiscale", "PartitaIVA"}, {"CodiceFiscale ", "PartitaIVA "}, {}, 2},
    {"a value that reaches the file is escaped, accented letters as code points",
     2018, {{"CodiceFiscale", QStringLiteral("d'amico & c.\tcitt\u00E0")}}, {{}},
     false, {"<iv:CodiceFiscale>D&apos;AMICO &amp; C. CITT&#192;</iv:CodiceFiscale>"}, {},
     {}, {"CodiceFiscale non valido"}, 1},
    {"office code, last month and exceptional events within the schema's lists",
     2018, {{"CodiceCaricaDichiarante", "15"}, {"UltimoMese", 99}, {"CFDichiarante", "BNCGLI75D45F205B"}},
     {{{"EventiEccezionali", " 9 "}}},
     true,
     {"<iv:CodiceCarica>15</iv:CodiceCarica>", "<iv:UltimoMese>99</iv:UltimoMese>",
      "<iv:EventiEccezionali>9</iv:EventiEccezionali>", "<iv:CFDichiarante>BNCGLI75D45F205B</iv:CFDichiarante>"},
     {}, {}, {}},
    {"exceptional events and advance method outside the schema's lists",
     2018, {},
     {{{"EventiEccezionali", "A"}, {"Acconto", 10.0}, {"MetodoAcconto", "5"}},
      {{"Acconto", 20.0}, {"MetodoAcconto", Valore::null()}},
      {{"Mese", 13}, {"Trimestre", 6}}},
     true, {"<iv:Acconto>10,00</iv:Acconto>", "<iv:Acconto>20,00</iv:Acconto>"},
     {"EventiEccezionali", "Metodo", "Mese", "<iv:Trimestre>6"},
     {},
     {"EventiEccezionali non valido", kMetodo, kMetodo, "Mese non valido", "Trimestre non valido",
      "Modulo 3: Mese o Trimestre mancante"},
     1},
    {"an amount stored as text that is no number is an error, never a silent zero",
     2018, {}, {{{"IvaDovuta", "dodici"}, {"ImportoDaVersare", 12.0}}},
     true, {"<iv:ImportoDaVersare>12,00</iv:ImportoDaVersare>"}, {"IvaDovuta"},
     {}, {"Modulo 1: IvaDovuta non numerico"}, 1},
    {"a module with both month and quarter, another with neither",
     2018, {},
     {{{"Mese", 2}, {"Trimestre", 1}}, {{"Mese", Valore::null()}, {"Trimestre", Valore::null()}}},
     // The schema leaves both elements optional; the Agency's rules want exactly one.
     true, {"<iv:Mese>2</iv:Mese>"}, {},
     {}, {"Modulo 1: Mese e Trimestre indicati insieme", "Modulo 2: Mese o Trimestre mancante"}, 2},
    {"a header whose columns are all Null",
     2018,
     {{"CodiceFiscale", Valore::null()}, {"PartitaIva", Valore::null()}, {"PartitaIvaControllante", Valore::null()},
      {"UltimoMese", Valore::null()}, {"LiquidazioneGruppo", Valore::null()}, {"FirmaDichiarazione", Valore::null()},
      {"FirmaIntermediario", Valore::null()}},
     {{}},
     false, {"<iv:FirmaDichiarazione>0</iv:FirmaDichiarazione>"}, {"CodiceFiscale", "PartitaIVA"},
     {"CodiceFiscale ", "PartitaIVA ", "FirmaDichiarazione"}, {}, 2},
    {"an unsigned declaration says 0 and is listed",
     2017, {{"FirmaDichiarazione", "N"}}, {{}},
     true, {"<iv:FirmaDichiarazione>0</iv:FirmaDichiarazione>"}, {}, {"FirmaDichiarazione"}, {}},
    {"intermediary without commitment and signature",
     2018,
     {{"CFIntermediario", "bncgli75d45f205b"}, {"ImpegnoPresentazione", "0"}, {"DataImpegno", QDate(2018, 3, 15)},
      {"FirmaIntermediario", "N"}},
     {{}},
     true,
     {"<iv:CFIntermediario>BNCGLI75D45F205B</iv:CFIntermediario>", "<iv:DataImpegno>15032018</iv:DataImpegno>"},
     {"ImpegnoPresentazione", "FirmaIntermediario"}, {"ImpegnoPresentazione", "FirmaIntermediario"}, {}},
    {"intermediary complete, data confirmed",
     2018,
     {{"CFIntermediario", "01234567897"}, {"ImpegnoPresentazione", "2"}, {"DataImpegno", QDate(2018, 4, 30)},
      {"FirmaIntermediario", "s"}, {"FlagConferma", "1"}},
     {{}},
     true,
     {"<iv:ImpegnoPresentazione>2</iv:ImpegnoPresentazione>", "<iv:DataImpegno>30042018</iv:DataImpegno>",
      "<iv:FirmaIntermediario>1</iv:FirmaIntermediario>", "<iv:FlagConferma>1</iv:FlagConferma>"},
     {}, {}, {}},
    {"commitment outside the schema's list",
     2018, {{"CFIntermediario", "01234567897"}, {"ImpegnoPresentazione", "3"}, {"FirmaIntermediario", "S"}}, {{}},
     true, {}, {"ImpegnoPresentazione", "DataImpegno"}, {}, {"ImpegnoPresentazione non valido"}},
    {"no intermediary: its elements are neither written nor listed",
     2018, {{"ImpegnoPresentazione", "1"}, {"DataImpegno", QDate(2018, 3, 15)}, {"FirmaIntermediario", "N"}}, {{}},
     true, {}, {"CFIntermediario", "ImpegnoPresentazione", "DataImpegno", "FirmaIntermediario"}, {}, {}},
    {"a group settlement never writes extraordinary operations",
     2018, {{"LiquidazioneGruppo", "s"}}, {{{"OpStraordinarie", "S"}}},
     true, {"<iv:LiquidazioneGruppo>1</iv:LiquidazioneGruppo>"}, {"OperazioniStraordinarie"}, {}, {}},
};

class FileXml : public ::testing::Test {
protected:
    void SetUp() override {
        contesto = db.InstallaContesto();
        dialoghi = std::make_shared<DialoghiScriptati>();
        contesto->ggDialoghi = dialoghi;
    }
    QString percorso(const QString& nome = QStringLiteral("IT_LI.xml")) const { return db.Cartella() + "/" + nome; }

    FixtureDb db;
    std::shared_ptr<Contesto> contesto;
    std::shared_ptr<DialoghiScriptati> dialoghi;
};

TEST(FileXmlCasi, EachRuleOfTheSchema) {
    for (const CasoXml& c : kCasi) {
        SCOPED_TRACE(c.nome);
        FixtureDb db;
        db.InstallaContesto();
        QList<Colonne> moduli;
        for (int i = 0; i < c.moduli.size(); ++i) moduli << unisci(moduloBase(c.anno, i + 1), c.moduli[i]);
        inserisciComunicazione(db, unisci(testataBase(c.anno), c.testata), moduli);
        const QString file = db.Cartella() + "/comunicazione.xml";

        const EsitoFileLiqIva esito = ScriviFileLiqIva(*db.gestDb, db.idAzienda, c.anno, 1, true, file);

        EXPECT_TRUE(esito.trovato);
        EXPECT_EQ(esito.rifiuto, "");
        EXPECT_EQ(esito.moduli, c.moduli.size());
        EXPECT_EQ(esito.campiMancanti, elenco(c.mancanti));
        EXPECT_EQ(esito.segnalazioni, elenco(c.segnalazioni));
        EXPECT_EQ(esito.errori, c.errori);
        EXPECT_EQ(esitoXmllint(file, 0), "") << "not well-formed";
        const QString schema = esitoXmllint(file, c.anno);
        if (c.valido)
            EXPECT_EQ(schema, "");
        else
            EXPECT_NE(schema, "") << "the schema was expected to refuse this file";
        const QByteArray contenuto = leggiFile(file);
        for (const char b : contenuto) EXPECT_LT(static_cast<unsigned char>(b), 127u) << "byte outside ASCII";
        const QStringList linee = righe(contenuto);
        for (const QString& p : c.presenti) EXPECT_TRUE(linee.contains(p)) << p.toStdString();
        for (const QString& a : c.assenti)
            EXPECT_FALSE(contenuto.contains((a.startsWith('<') ? a : "<iv:" + a + ">").toLatin1())) << a.toStdString();
    }
}

TEST_F(FileXml, WholeFileLayout) {
    inserisciComunicazione(db, unisci(testataBase(2018, 2), {{"CFDichiarante", "BNCGLI75D45F205B"},
                                                            {"CodiceCaricaDichiarante", "01"}}),
                           {unisci(moduloBase(2018, 1, 2), {{"IvaEsigibile", 1500.0}, {"IvaDetratta", 400.25},
                                                            {"IvaDovuta", 1099.75}, {"ImportoDaVersare", 1099.75}}),
                            unisci(moduloBase(2018, 2, 2), {{"Trimestre", 2}, {"IvaCredito", 3.0}})});
    const EsitoFileLiqIva esito = ScriviFileLiqIva(*db.gestDb, db.idAzienda, 2018, 2, true, percorso());
    ASSERT_TRUE(esito.trovato);
    const QByteArray atteso =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
        "<iv:Fornitura xmlns:iv=\"urn:www.agenziaentrate.gov.it:specificheTecniche:sco:ivp\" "
        "xmlns:ds=\"http://www.w3.org/2000/09/xmldsig#\">\r\n"
        "\t<iv:Intestazione>\r\n"
        "\t\t<iv:CodiceFornitura>IVP18</iv:CodiceFornitura>\r\n"
        "\t\t<iv:CodiceFiscaleDichiarante>BNCGLI75D45F205B</iv:CodiceFiscaleDichiarante>\r\n"
        "\t\t<iv:CodiceCarica>1</iv:CodiceCarica>\r\n"
        "\t</iv:Intestazione>\r\n"
        "\t<iv:Comunicazione identificativo=\"00001\">\r\n"
        "\t\t<iv:Frontespizio>\r\n"
        "\t\t\t<iv:CodiceFiscale>RSSMRA80A01H501U</iv:CodiceFiscale>\r\n"
        "\t\t\t<iv:AnnoImposta>2018</iv:AnnoImposta>\r\n"
        "\t\t\t<iv:PartitaIVA>01234567897</iv:PartitaIVA>\r\n"
        "\t\t\t<iv:CFDichiarante>BNCGLI75D45F205B</iv:CFDichiarante>\r\n"
        "\t\t\t<iv:CodiceCaricaDichiarante>1</iv:CodiceCaricaDichiarante>\r\n"
        "\t\t\t<iv:FirmaDichiarazione>1</iv:FirmaDichiarazione>\r\n"
        "\t\t</iv:Frontespizio>\r\n"
        "\t\t<iv:DatiContabili>\r\n"
        "\t\t\t<iv:Modulo>\r\n"
        "\t\t\t\t<iv:NumeroModulo>1</iv:NumeroModulo>\r\n"
        "\t\t\t\t<iv:Trimestre>2</iv:Trimestre>\r\n"
        "\t\t\t\t<iv:IvaEsigibile>1500,00</iv:IvaEsigibile>\r\n"
        "\t\t\t\t<iv:IvaDetratta>400,25</iv:IvaDetratta>\r\n"
        "\t\t\t\t<iv:IvaDovuta>1099,75</iv:IvaDovuta>\r\n"
        "\t\t\t\t<iv:ImportoDaVersare>1099,75</iv:ImportoDaVersare>\r\n"
        "\t\t\t</iv:Modulo>\r\n"
        "\t\t\t<iv:Modulo>\r\n"
        "\t\t\t\t<iv:NumeroModulo>2</iv:NumeroModulo>\r\n"
        "\t\t\t\t<iv:Trimestre>2</iv:Trimestre>\r\n"
        "\t\t\t\t<iv:IvaCredito>3,00</iv:IvaCredito>\r\n"
        "\t\t\t</iv:Modulo>\r\n"
        "\t\t</iv:DatiContabili>\r\n"
        "\t</iv:Comunicazione>\r\n"
        "</iv:Fornitura>\r\n";
    EXPECT_EQ(leggiFile(percorso()), atteso);
    EXPECT_EQ(esitoXmllint(percorso(), 2018), "");
}

TEST_F(FileXml, TooManyModulesOrAModuleOutsideOneToFiveWriteNothing) {
    QList<Colonne> sei;
    for (int m = 1; m <= 6; ++m) sei << moduloBase(2018, m);
    inserisciComunicazione(db, testataBase(2018), sei);
    inserisciComunicazione(db, testataBase(2018, 2), {moduloBase(2018, 1, 2), moduloBase(2018, 7, 2)});

    EsitoFileLiqIva esito = ScriviFileLiqIva(*db.gestDb, db.idAzienda, 2018, 1, true, percorso());
    EXPECT_TRUE(esito.trovato);
    EXPECT_EQ(esito.rifiuto,
              "La comunicazione ha 6 moduli: il file ne può contenere al massimo 5.\r\nIl file non viene scritto.");
    EXPECT_FALSE(QFileInfo::exists(percorso()));

    esito = ScriviFileLiqIva(*db.gestDb, db.idAzienda, 2018, 2, false, percorso());
    EXPECT_EQ(esito.rifiuto,
              "Numero di modulo non valido: 7. I moduli vanno numerati da 1 a 5.\r\nIl file non viene scritto.");
    EXPECT_FALSE(QFileInfo::exists(percorso()));
}

TEST_F(FileXml, ACommunicationWithoutModulesMakesNoFile) {
    db.Inserisci(db.idAzienda, "LiqIvaTest", coppie(testataBase(2018)));
    const EsitoFileLiqIva esito = ScriviFileLiqIva(*db.gestDb, db.idAzienda, 2018, 1, true, percorso());
    EXPECT_FALSE(esito.trovato);
    EXPECT_FALSE(QFileInfo::exists(percorso()));
}

TEST_F(FileXml, AnExistingFileIsReplaced) {
    QFile vecchio(percorso());
    ASSERT_TRUE(vecchio.open(QIODevice::WriteOnly));
    vecchio.write(QByteArray(5000, '~'));
    vecchio.close();
    inserisciComunicazione(db, testataBase(2018), {moduloBase(2018, 1)});
    ScriviFileLiqIva(*db.gestDb, db.idAzienda, 2018, 1, true, percorso());
    EXPECT_FALSE(leggiFile(percorso()).contains('~'));
    EXPECT_EQ(esitoXmllint(percorso(), 2018), "");
}

TEST_F(FileXml, TheSchemaCheckNamesTheModuleOfTheFault) {
    // Rows as a reader gives them, so that a module number outside the
    // schema's list reaches the file (the run refuses it before writing).
    struct Caso {
        const char* nome;
        int anno;
        Valore secondoModulo;
        QString errore;  // "" valid
    };
    const Caso casi[] = {
        {"valid", 2018, 2, ""},
        {"fault inside the second block", 2018, 7, "Modulo 7: elemento <NumeroModulo> non valido (valore \"7\") alla riga 19"},
        {"fault in the header", 2100, 2, "elemento <AnnoImposta> non valido (valore \"2100\") alla riga 9"},
    };
    for (const Caso& k : casi) {
        SCOPED_TRACE(k.nome);
        const Colonne testata = testataBase(k.anno);
        QList<Colonne> moduli = {moduloBase(k.anno, 1), moduloBase(k.anno, 2)};
        moduli[1]["Modulo"] = k.secondoModulo;
        FileLiqIva f(true);
        f.ApriFile(percorso());
        int corrente = 0;
        const LettoreRiga riga = [&](const QString& colonna) {
            return moduli[corrente].contains(colonna) ? moduli[corrente][colonna] : testata.value(colonna);
        };
        f.ScriviTestata(riga);
        for (corrente = 0; corrente < moduli.size(); ++corrente) f.ScriviRecDett(riga);
        f.ScriRecCoda();
        f.ChiudiFile();
        ASSERT_EQ(f.Errori(), 0);
        EXPECT_EQ(f.VerificaSchema(), k.errore.isEmpty());
        EXPECT_EQ(f.ErroreSchema().toStdString(), k.errore.toStdString());
        EXPECT_EQ(f.Errori(), k.errore.isEmpty() ? 0 : 1);
        EXPECT_EQ(f.NomeSchemaFile(), "IVP 2018");
    }
}

TEST_F(FileXml, AFileThatCannotBeCreatedIsARunTimeError) {
    inserisciComunicazione(db, testataBase(2018), {moduloBase(2018, 1)});
    EXPECT_THROW(ScriviFileLiqIva(*db.gestDb, db.idAzienda, 2018, 1, true, db.Cartella() + "/manca/IT_LI.xml"),
                 ErroreRun);
}

TEST_F(FileXml, TheTwoListsAreShownOnceEachAtTheEnd) {
    inserisciComunicazione(db, unisci(testataBase(2018), {{"FirmaDichiarazione", "N"}, {"PartitaIva", ""}}),
                           {unisci(moduloBase(2018, 1), {{"IvaDovuta", -5.0}})});
    FileLiqIva f(true);
    f.MostraElenchi();
    EXPECT_TRUE(dialoghi->mostrati.isEmpty()) << "nothing to show, no box";

    const EsitoFileLiqIva esito = ScriviFileLiqIva(*db.gestDb, db.idAzienda, 2018, 1, true, percorso());
    EXPECT_TRUE(dialoghi->mostrati.isEmpty()) << "the whole-file call leaves the showing to its caller";
    EXPECT_EQ(esito.campiMancanti, "\r\nPartitaIVA \r\nFirmaDichiarazione");

    GestRecordset rs;
    const QString chiave = rs.ApriRecordset(*db.gestDb, db.idAzienda, {}, FileLiqIva::PrepSql(2018, 1));
    FileLiqIva file(true);
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    file.ApriSu(&buffer);
    file.ScriviTestata(RigaDaRecordset(rs, chiave));
    file.ScriviRecDett(RigaDaRecordset(rs, chiave));
    file.ScriRecCoda();
    file.ChiudiFile();
    rs.ChiudiRecordset(chiave);
    file.MostraElenchi();
    ASSERT_EQ(dialoghi->mostrati.size(), 2);
    EXPECT_EQ(dialoghi->mostrati[0].testo, "Campi obbligatori mancanti \r\nPartitaIVA \r\nFirmaDichiarazione");
    EXPECT_EQ(dialoghi->mostrati[1].testo, "Segnalazioni di errore \r\nModulo 1: IvaDovuta negativo");
    EXPECT_EQ(dialoghi->mostrati[1].bottoni, QStringList{"&Ok"});
}

}  // namespace
