// The fixed-width text form of the settlement file, checked position by position.
#include "settlement/file/FileLiqIva.h"

#include "supporto_file.h"
#include "contesto/Contesto.h"

#include <gtest/gtest.h>

using namespace filetest;

namespace {

struct Campo {
    int da;  // 1-based first position
    QString atteso;
    const char* cosa;
};

void controllaCampi(const QString& riga, const QList<Campo>& campi) {
    for (const Campo& c : campi)
        EXPECT_EQ(riga.mid(c.da - 1, c.atteso.size()), c.atteso) << c.cosa << " at " << c.da;
}

QString importo(const char* testo) { return QString::fromLatin1(testo).rightJustified(16, QLatin1Char(' ')); }
const QString kZero(16, QLatin1Char(' '));

class RigaTesto : public ::testing::Test {
protected:
    void SetUp() override { db.InstallaContesto(); }

    // The lines of the text file, without their CR LF (which is checked here).
    QStringList scrivi(int anno, int numCom, EsitoFileLiqIva* esito = nullptr) {
        const QString file = db.Cartella() + "/IT_LI.txt";
        const EsitoFileLiqIva e = ScriviFileLiqIva(*db.gestDb, db.idAzienda, anno, numCom, false, file);
        if (esito) *esito = e;
        const QByteArray contenuto = leggiFile(file);
        EXPECT_TRUE(contenuto.endsWith("LI \r\n"));
        QStringList righe = QString::fromLatin1(contenuto).split(QStringLiteral("\r\n"));
        EXPECT_EQ(righe.takeLast(), "");
        for (const QString& r : righe) EXPECT_FALSE(r.contains(QLatin1Char('\n')) || r.contains(QLatin1Char('\r')));
        return righe;
    }

    FixtureDb db;
};

TEST_F(RigaTesto, EveryFieldInItsPositions) {
    inserisciComunicazione(
        db,
        unisci(testataBase(2018, 2),
               {{"PartitaIvaControllante", "07654321098"}, {"UltimoMese", 12}, {"LiquidazioneGruppo", "S"},
                {"CFDichiarante", "BNCGLI75D45F205B"}, {"CodiceCaricaDichiarante", "01"},
                {"CodiceFiscaleSocieta", "01234567897"}, {"CFIntermediario", "VRDLGU70A01F205X"},
                {"ImpegnoPresentazione", "1"}, {"DataImpegno", QDate(2018, 3, 15)}, {"FirmaIntermediario", "S"}}),
        {unisci(moduloBase(2018, 1, 2),
                {{"Trimestre", 2}, {"Subfornitura", "S"}, {"EventiEccezionali", "1"}, {"OpStraordinarie", "s"},
                 {"TotaleOperazioniAttive", 1234.5}, {"TotaleOperazioniPassive", 2.0}, {"IvaEsigibile", 3.0},
                 {"IvaDetratta", 4.0}, {"IvaDovuta", 5.0}, {"IvaCredito", 6.0}, {"DebitoPrecedente", 7.0},
                 {"CreditoPeriodoPrecedente", 8.0}, {"CreditoAnnoPrecedente", -9.0}, {"CreditiImposta", 11.0},
                 {"InteressiDovuti", 12.0}, {"Acconto", 100.0}, {"MetodoAcconto", "2"}, {"ImportoDaVersare", 14.0},
                 {"ImportoACredito", 15.0}, {"VersamentiAutoUe", 10.0}}),
         // No advance: the method field is left out even though a method is stored.
         unisci(moduloBase(2018, 2, 2), {{"Mese", 11}, {"Trimestre", Valore::null()}, {"MetodoAcconto", "3"},
                                         {"ImportoDaVersare", 14.0}, {"VersamentiAutoUe", 10.0}})});

    const QStringList righe = scrivi(2018, 2);
    ASSERT_EQ(righe.size(), 2);
    const QString& r1 = righe[0];
    EXPECT_EQ(r1.size(), 425);
    controllaCampi(r1, {
        {1, QStringLiteral("20182-").leftJustified(30, ' '), "year, number and hyphen"},
        {31, "2018", "year"},
        {35, " ", "blank"},
        {36, QStringLiteral("01234567897").leftJustified(20, ' '), "VAT number"},
        {56, "1", "subcontracting"},
        {57, "1", "exceptional events"},
        {58, "S", "extraordinary operations"},
        {59, QStringLiteral("07654321098").leftJustified(20, ' '), "controlling VAT number"},
        {79, "12", "last month"},
        {81, "1", "group settlement"},
        {82, "BNCGLI75D45F205B", "declarant"},
        {98, "01", "office code"},
        {100, QStringLiteral("01234567897").leftJustified(16, ' '), "declaring company"},
        {116, "1", "declaration signed"},
        {117, "VRDLGU70A01F205X", "intermediary"},
        {133, "1", "commitment"},
        {134, "20180315", "commitment date"},
        {142, "1", "intermediary signs"},
        {143, "RSSMRA80A01H501U", "tax code"},
        {159, "1    ", "module"},
        {164, "  ", "month"},
        {166, "2", "quarter"},
        {167, importo("1234,50"), "VP2"},
        {183, importo("2,00"), "VP3"},
        {199, importo("3,00"), "VP4"},
        {215, importo("4,00"), "VP5"},
        {231, importo("5,00"), "VP6 debit"},
        {247, importo("6,00"), "VP6 credit"},
        {263, importo("7,00"), "VP7"},
        {279, importo("8,00"), "VP8"},
        {295, importo("-9,00"), "VP9"},
        {311, importo("11,00"), "VP11"},
        {327, importo("12,00"), "VP12"},
        {343, importo("2,00"), "advance method"},
        {359, importo("100,00"), "VP13"},
        {375, importo("14,00"), "VP14 debit"},
        {391, importo("15,00"), "VP14 credit"},
        {407, importo("10,00"), "VP10"},
        {423, "LI ", "end"},
    });

    const QString& r2 = righe[1];
    EXPECT_EQ(r2.size(), 409);
    // The communication's fields repeat on every line; 56-58 belong to the module.
    EXPECT_EQ(r2.left(55), r1.left(55));
    EXPECT_EQ(r2.mid(58, 100), r1.mid(58, 100));
    controllaCampi(r2, {
        {159, "2    ", "module"},
        {164, "11", "month"},
        {166, " ", "quarter"},
        {167, kZero, "zero VP2"},
        {343, kZero, "VP13 without the method field"},
        {359, importo("14,00"), "VP14 debit"},
        {375, kZero, "VP14 credit"},
        {391, importo("10,00"), "VP10"},
        {407, "LI ", "end"},
    });
}

TEST_F(RigaTesto, AwkwardValuesKeepThePositions) {
    inserisciComunicazione(
        db,
        unisci(testataBase(2017, 3),
               {{"PartitaIva", "0123456789012345678901234"}, {"UltimoMese", 0}, {"LiquidazioneGruppo", ""},
                {"CFDichiarante", "rssmra\t80a01h501u"}, {"CodiceCaricaDichiarante", "123"},
                {"FirmaDichiarazione", "N"}, {"CFIntermediario", QStringLiteral("D'ANGELO\r\nCITT\u00C0 \u20AC")},
                {"DataImpegno", Valore::null()}, {"FirmaIntermediario", ""}}),
        {unisci(moduloBase(2017, 1, 3),
                {{"Trimestre", 3}, {"Subfornitura", ""}, {"EventiEccezionali", "19"},
                 {"ImportoDaVersare", 123456789012345.0}, {"Acconto", 5.0}, {"MetodoAcconto", "1"}})});

    EsitoFileLiqIva esito;
    const QStringList righe = scrivi(2017, 3, &esito);
    ASSERT_EQ(righe.size(), 1);
    const QString& r = righe[0];
    EXPECT_EQ(r.size(), 425);
    controllaCampi(r, {
        {1, QStringLiteral("20173-").leftJustified(30, ' '), "year, number and hyphen"},
        {36, "01234567890123456789", "VAT number cut to its 20 positions"},
        {56, "1", "subcontracting empty is 1"},
        {57, "1", "exceptional events cut to one position"},
        {58, "N", "no extraordinary operations"},
        {79, "  ", "last month 0"},
        {81, "1", "group settlement empty is 1"},
        {82, "rssmra 80a01h501", "declarant: as stored, a tab is a blank, cut to 16"},
        {98, "12", "office code cut to 2"},
        {116, "0", "declaration not signed"},
        {117, QStringLiteral("D'ANGELO  CITT\u00C0 "), "intermediary: line break as blanks, cut to 16"},
        {133, " ", "no commitment"},
        {134, "        ", "no commitment date: eight blanks"},
        {142, "0", "intermediary does not sign"},
        {343, importo("1,00"), "advance method"},
        {359, importo("5,00"), "VP13"},
        {375, kZero, "VP14 debit too long: blank, never cut"},
        {423, "LI ", "end"},
    });
    // Every value cut or changed on the way is an error of the run, named with its module.
    EXPECT_EQ(esito.segnalazioni,
              "\r\nPartitaIVA non valido"
              "\r\nPartitaIva troppo lungo"
              "\r\nModulo 1: EventiEccezionali troppo lungo"
              "\r\nCFDichiarante troppo lungo"
              "\r\nCodiceCaricaDichiarante troppo lungo"
              "\r\nCFIntermediario contiene caratteri non ammessi"
              "\r\nCFIntermediario troppo lungo"
              "\r\nModulo 1: ImportoDaVersare fuori formato");
    EXPECT_EQ(esito.errori, 8);
    EXPECT_EQ(esito.campiMancanti, "");
}

}  // namespace
