// The whole settlement road over two companies, each with its own database:
// the extraction of a period into LiqIvaTest and LiqIvaDett, then the file
// run over the range writing one IVP file a company. On a database file and
// on the server the rows and the files must be the same.
#include "AmbienteRun.h"
#include "common/Dichiarante.h"
#include "components/db/Interroga.h"
#include "components/stampa/OpzSta.h"
#include "settlement/estrazione/EstrazioneLiqIva.h"
#include "settlement/gestione/FrmLiqIvaTestLis.h"
#include "settlement/run/ElabLiqIva.h"

#include <QFile>
#include <QMap>

namespace {

constexpr const char* kCfPrima = "01234567897";
constexpr const char* kCfSeconda = "07654321096";

// What the road leaves behind, with nothing that tells the engine apart.
struct EsitoStrada {
    QStringList messaggi;
    QList<QList<Valore>> righe;  // both companies' communications, in order
    QList<QList<Valore>> elenco;  // the list of the first company's communications
    QMap<QString, QByteArray> file;  // by name, without the folder
    QStringList erroriSchema;
};

// An activity with the figures of the periods of 2024 and a credit at the
// start of the year; the first two months differ in what they carry forward.
void DatiIva(MondoRun& w, const QString& idDb, const char* tipoLiq, int periodi) {
    w.fx.Inserisci(idDb, QStringLiteral("DitAttivita"), {{"DitAttivita", "A1"}});
    w.fx.Inserisci(idDb, QStringLiteral("IvaRiep"),
                   {{"Anno", 2024}, {"DitAttivita", "A1"}, {"TipoLiq", tipoLiq}, {"CreditoInizioAnno", 1500.25}});
    for (int p = 1; p <= periodi; ++p)
        w.fx.Inserisci(idDb, QStringLiteral("IvaDichPeriod"),
                       {{"Anno", 2024}, {"DitAttivita", "A1"}, {"Periodo", p}, {"OpAttive", 12000.5 * p},
                        {"OpPass", 7000.0}, {"IvaDebPeriodo", 2640.11}, {"IvaCredPeriodo", 1540.0},
                        {"DebRisultPeriodo", 1100.11}, {"CredRisultPeriodo", 0.0}, {"IvaNonVersMin", 0.0},
                        {"CreditoPrec", p == 1 ? 80.0 : 0.0}, {"IvaDichPerImp13", 0.0}, {"CredSpecDetr", 0.0},
                        {"Interessi", p == 3 ? 4.4 : 0.0}, {"IvaDovutaPer", 1100.11}, {"IvaCreditoPer", 0.0},
                        {"AccontoVers", 0.0}, {"CreditIvaComp", 0.0}, {"CredF24", 100.0 * p},
                        {"IvaDichPerImp14", p == 2 ? 12.5 : 0.0}, {"IvaDichPerCamp2", "N"},
                        {"IvaDichPerCamp3", "N"}, {"IvaDichPerCamp6", p == 2 ? "S" : "N"},
                        {"IvaDichPerCamp7", p == 3 ? "2" : ""}});
}

// The declarant as the extraction form loads it, from the company's general
// declaration data; then the extraction of the first communication of 2024.
EsitoEstrazione Estrai(MondoRun& w, const QString& idDb, const char* codFisc, const char* firmatario) {
    w.fx.Inserisci(idDb, QStringLiteral("IvaDichPeriodGen"),
                   {{"CodFiscDichiarante", codFisc}, {"PartIvaDich", codFisc}, {"DichGruppo", "N"},
                    {"CodFiscFirmaDich", firmatario}, {"Carica", "1"}, {"FirmaDich", "S"},
                    {"IvaDichGenData1", QDate(2024, 4, 10)}});
    RecDichiarante dich;
    if (!CaricaDichiarante(dich, idDb)) return {EsitoEstrazione::Fallita, -1};
    DatiEstrazione d;
    d.anno = QStringLiteral("2024");
    d.numCom = QStringLiteral("1");
    d.cfDichiarante = dich.CFDichiarante;
    d.cfSocieta = dich.CodiceFiscaleSocieta;
    d.codiceCarica = dich.CodiceCaricaDichiarante;
    d.firmaDichiarazione = true;
    d.cfIntermediario = QStringLiteral("09876543217");
    d.impegno = QStringLiteral("1 - Comunicazione predisposta dal contribuente");
    d.dataImpegno = QStringLiteral("15/04/2024");
    d.firmaIntermediario = true;
    return EstraiLiqIva(d, dich);
}

QList<QList<Valore>> Comunicazione(MondoRun& w, const QString& idDb) {
    QList<QList<Valore>> righe =
        LeggiTutto(*w.fx.gestDb, idDb,
                   QStringLiteral("SELECT Anno, NumCom, CodiceFiscale, PartitaIva, FirmaDichiarazione, "
                                  "CFIntermediario, ImpegnoPresentazione, DataImpegno, FirmaIntermediario, "
                                  "CFDichiarante, CodiceCaricaDichiarante, CodiceFiscaleSocieta "
                                  "FROM LiqIvaTest ORDER BY Anno, NumCom"),
                   QStringLiteral("StradaLiqIva"))
            .righe;
    righe += LeggiTutto(*w.fx.gestDb, idDb, QStringLiteral("SELECT * FROM LiqIvaDett ORDER BY Anno, NumCom, Modulo"),
                        QStringLiteral("StradaLiqIva"))
                 .righe;
    return righe;
}

// Extracts the first communication of 2024 in both companies (the first
// monthly, the second quarterly), then writes the files of the range.
EsitoStrada Percorri(Motore motore) {
    EsitoStrada e;
    MondoRun w(motore);
    w.Prepara();
    const QString cartella = w.fx.Cartella() + QStringLiteral("/uscita");
    QDir().mkpath(cartella);

    DatiIva(w, w.fx.idAzienda, "M", 3);
    const bool primaEstratta =
        Estrai(w, w.fx.idAzienda, kCfPrima, "RSSGPP65B12F205H").stato == EsitoEstrazione::Completata;
    e.righe = Comunicazione(w, w.fx.idAzienda);
    {
        frmLiqIvaTestLis lista;
        e.elenco = LeggiTutto(*w.fx.gestDb, w.fx.idAzienda, lista.PrepSql(QStringLiteral("LiqIvaTest.Anno = 2024")),
                              QStringLiteral("StradaLiqIva"))
                       .righe;
    }
    w.AltraAzienda(QStringLiteral("002"), QStringLiteral("B2"), [&](const QString& idDb) {
        DatiIva(w, idDb, "T", 1);
        const QString propria = w.c->gsIdDbase;
        w.c->gsIdDbase = idDb;
        if (Estrai(w, idDb, kCfSeconda, "01234567897").stato != EsitoEstrazione::Completata)
            e.messaggi << "non estratta";
        e.righe += Comunicazione(w, idDb);
        w.c->gsIdDbase = propria;
    });
    if (!primaEstratta) e.messaggi << "non estratta";

    // A data folder whose name has a dot: the other company's database on the
    // server is named by its service, which no folder may be put before.
    FileIni(w.c->gsFileIni).scrivi(QStringLiteral("Base"), QStringLiteral("DirDB"), QStringLiteral("C:\\dati.2024\\"));

    ElabLiqIva run;
    run.ogOpzSta = std::make_shared<OpzSta>();
    run.ogOpzSta->oiStaVid = OpzSta::Stampante;
    run.Esegui(ParametriSoloFile(cartella, QStringLiteral("1"), QStringLiteral("002")));
    e.messaggi += w.dialoghi->testi();

    for (const QString& nome : QDir(cartella).entryList(QDir::Files, QDir::Name)) {
        QFile f(cartella + QLatin1Char('/') + nome);
        e.file[nome] = f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
        const QString errori = ErroriSchema(f.fileName(), QStringLiteral("ivp18"));
        if (!errori.isEmpty()) e.erroriSchema << nome + QStringLiteral(": ") + errori;
    }
    return e;
}

class StradaLiqIva : public ::testing::TestWithParam<Motore> {};

TEST_P(StradaLiqIva, EstrazioneEFileDiDueAziende) {
    if (GetParam() == Motore::Server) SALTA_SENZA_PG();
    const EsitoStrada e = Percorri(GetParam());

    EXPECT_EQ(e.messaggi, (QStringList{"Elaborazione terminata", "Elaborazione terminata", "Elaborazione terminata"}));
    // A header and three monthly modules, then a header and one quarterly module.
    ASSERT_EQ(e.righe.size(), 6);
    EXPECT_EQ(e.righe[0].value(7), Valore("2024-04-15"));  // DataImpegno
    // The signer: a person for the first company, a company for the second,
    // whose code the declarant holds padded to 16 and the header keeps trimmed.
    EXPECT_EQ(e.righe[0].mid(9), (QList<Valore>{"RSSGPP65B12F205H", "01", ""}));
    EXPECT_EQ(e.righe[4].mid(9), (QList<Valore>{"", "01", "01234567897"}));
    // The list: the first module's period, then each module's net VAT.
    ASSERT_EQ(e.elenco.size(), 1);
    EXPECT_EQ(e.elenco[0].mid(0, 6), (QList<Valore>{2024, 1, "M-1", -1100.11, -1100.11, -1100.11}));
    EXPECT_TRUE(e.elenco[0].value(6).eNull());
    EXPECT_EQ(e.file.keys(), (QStringList{"IT01234567897_LI_20241.xml", "IT07654321096_LI_20241.xml"}));
    EXPECT_TRUE(e.erroriSchema.isEmpty()) << e.erroriSchema.join("\n").toStdString();
    const QByteArray prima = e.file.value(QStringLiteral("IT01234567897_LI_20241.xml"));
    EXPECT_EQ(prima.count("<iv:Modulo>"), 3);
    // January: the opening credit less its F24 use; March: its own F24 use.
    EXPECT_TRUE(prima.contains("<iv:CreditoAnnoPrecedente>1400,25</iv:CreditoAnnoPrecedente>")) << prima.constData();
    EXPECT_TRUE(prima.contains("<iv:TotaleOperazioniAttive>36001,50</iv:TotaleOperazioniAttive>"));
    EXPECT_TRUE(prima.contains("<iv:InteressiDovuti>4,40</iv:InteressiDovuti>"));
    EXPECT_TRUE(prima.contains("<iv:DataImpegno>15042024</iv:DataImpegno>"));
}

// The same rows and byte for byte the same files on either engine.
TEST(StradaLiqIvaMotori, StessiDatiEStessiFile) {
    SALTA_SENZA_PG();
    const EsitoStrada file = Percorri(Motore::File);
    const EsitoStrada server = Percorri(Motore::Server);
    EXPECT_EQ(server.messaggi, file.messaggi);
    ASSERT_EQ(server.righe.size(), file.righe.size());
    for (qsizetype i = 0; i < file.righe.size(); ++i) EXPECT_EQ(server.righe[i], file.righe[i]) << "riga " << i;
    EXPECT_EQ(server.elenco, file.elenco);
    EXPECT_EQ(server.file, file.file);
}

INSTANTIATE_TEST_SUITE_P(Motori, StradaLiqIva, ValoriMotori(), NomeMotore);

}  // namespace
