// From the demo bookkeeping to the files: the extraction of a communication
// and then a definitive run write files that both published schemas accept,
// and a cancellation of the clients' send writes a valid ANN file. On a
// company database on the server the road gives the rows and the files it
// gives on a database file.
#include "AmbienteLock.h"

#include "../file/supporto_datifat.h"
#include "components/db/Interroga.h"
#include "contabilita/ContabilitaDemo.h"
#include "invoicedata/estrazione/EstrazioneDatiFat.h"
#include "invoicedata/file/StDatiFat.h"
#include "invoicedata/run/CancDatiFat.h"
#include "invoicedata/run/DichiaranteDatiFat.h"
#include "invoicedata/run/ElabDatiFat.h"
#include "invoicedata/run/LockDatiFat.h"
#include "server/CopiaSuServer.h"

#include <QDir>
#include <QFile>
#include <map>

namespace {

// What the road leaves behind: every row of the communication's tables, one
// a line, and the files of the definitive run and of the cancellation.
struct EsitoStrada {
    QStringList righe;
    std::map<QString, QByteArray> file;
};

QStringList Righe(MondoDatiFat& m, const QString& sql) {
    const RisultatoSql r = LeggiTutto(*m.fx.gestDb, m.fx.idAzienda, sql, QStringLiteral("Prova"));
    QStringList righe;
    for (const auto& riga : r.righe) {
        QStringList v;
        for (const Valore& x : riga) v << (x.eNull() ? QStringLiteral("null") : x.testo());
        righe << v.join(QLatin1Char('|'));
    }
    return righe;
}

void LeggiFile(const QString& cartella, EsitoStrada& e) {
    for (const QString& f : QDir(cartella).entryList({"*.xml"}, QDir::Files, QDir::Name)) {
        QFile file(cartella + f);
        EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << f.toStdString();
        e.file[f] = file.readAll();
    }
}

// The demo's first quarter of 2018 in the world's company database, made on
// a file by the generator and put on the server as it is.
void Contabilita(MondoDatiFat& m) {
    const ParametriContabilita opzioni{.anno = 2018, .registrazioni = 80, .righeIvaMedie = 1.5, .fittizie = 6, .seme = 3};
    if (m.fx.motore == Motore::File) {
        GeneraContabilita(m.fx.gestDb->DatabaseDaId(m.fx.idAzienda)->Handle(), opzioni);
        return;
    }
    FixtureDb origine;
    GeneraContabilita(origine.gestDb->DatabaseDaId(origine.idAzienda)->Handle(), opzioni);
    origine.gestDb->ChiudiDatabase(origine.idAzienda);
    const QString id = m.fx.gestDb->ApriDatabase(origine.fileAzienda);
    CopiaSuServer(*m.fx.gestDb, id, m.fx.idAzienda, {});
    m.fx.gestDb->ChiudiDatabase(id);
}

// Extraction, definitive run and cancellation of the clients' send, each
// checked on its way; the world's context is installed.
EsitoStrada Strada(MondoDatiFat& m) {
    EsitoStrada esito;
    FixtureDb& fx = m.fx;
    Contabilita(m);
    if (m.Leggi(fx.idAzienda, "Select count(*) as V from Ditta") == "0")
        fx.Inserisci(fx.idAzienda, "Ditta", {{"CodFisc", "01234567897"}, {"PartIva", "01234567897"},
                                            {"RagSoc", "DEMO SRL"}, {"StatoGiurid", "G"}, {"Moneta", "Euro"}});
    EstrazioneDatiFat e;
    e.opzioni = {.anno = "2018", .numCom = "1", .dataDa = "01/01/2018", .dataA = "31/03/2018"};
    e.usaFittizio = true;
    EXPECT_EQ(e.Esegui().stato, EsitoDatiFat::Completata) << m.Messaggi().join('|').toStdString();
    EXPECT_NE(m.Leggi(fx.idAzienda, "Select count(*) as V from DatiFatDett"), "0");

    const QString cartella = fx.Cartella() + "/invio/";
    QDir().mkpath(cartella);
    DatiRunDatiFat d;
    d.anno = "2018";
    d.numero = "1";
    d.daAzienda = d.aAzienda = "001";
    d.tipoSta = TipoSta::Definitiva;
    d.tipoElab = TipoElab::File;
    d.maxAnagrafiche = "999";
    OpzioniElabDatiFat o;
    o.dirInvio = cartella;
    EXPECT_TRUE(CaricaDichiarante(o.dichiarante, fx.idAzienda, true));
    stDatiFat scrittore;
    LockDatiFat lock;
    ElabDatiFat elab(scrittore, lock);
    m.dialoghi->mostrati.clear();
    // The writer's own notices about the demo's data are answered "go on".
    m.dialoghi->risposte = QList<int>(20, 1);
    EXPECT_EQ(elab.Esegui(d, o), EsitoElabDatiFat::Terminato) << m.Messaggi().join('|').toStdString();
    const QStringList file = QDir(cartella).entryList({"*.xml"}, QDir::Files, QDir::Name);
    EXPECT_EQ(file.filter("_DF_181E1").size(), 1) << file.join(' ').toStdString();
    EXPECT_EQ(file.filter("_DF_181R1").size(), 1) << file.join(' ').toStdString();
    for (const QString& f : file) {
        SCOPED_TRACE(f.toStdString());
        EXPECT_EQ(datifat::esito20(cartella + f), "");
        EXPECT_EQ(datifat::esito21(cartella + f), "");
    }
    LeggiFile(cartella, esito);
    EXPECT_EQ(m.Leggi(fx.idAzienda, "Select count(*) as V from DatiFatTest Where AnnoCom = 2018 And NumCom = 1 "
                                    "And NumInv = 0 And Stato = 'N' And Tipo = 'E' And Progr > 0"),
              "0");
    EXPECT_NE(m.Leggi(fx.idAzienda, "Select count(*) as V from DatiFatTest Where NumInv = 1 And Tipo = 'E'"), "0");
    EXPECT_EQ(m.RigheLock(), "");

    QDir(cartella).removeRecursively();
    QDir().mkpath(cartella);
    d.tipoCom = TipoCom::Cancellazione;
    d.invioCanc = "1";
    d.identificativo = "4455";
    d.fornitori = false;
    m.dialoghi->risposte = {1};
    EXPECT_TRUE(CancXml(d, {.dirInvio = cartella, .codFiscDitta = o.dichiarante.CodiceFiscale}))
        << m.Messaggi().join('|').toStdString();
    const QStringList ann = QDir(cartella).entryList({"*.xml"}, QDir::Files);
    EXPECT_EQ(ann.size(), 1);
    for (const QString& f : ann) {
        EXPECT_EQ(datifat::esito20(cartella + f), "");
        EXPECT_EQ(datifat::esito21(cartella + f), "");
    }
    LeggiFile(cartella, esito);
    EXPECT_EQ(m.Leggi(fx.idAzienda, "Select count(*) as V from DatiFatTest Where NumInv = 1 And Tipo = 'E' "
                                    "And NOT (Stato = 'C' And NumCanc = 1)"),
              "0");
    esito.righe = Righe(m, "SELECT * FROM DatiFatTest ORDER BY AnnoCom, NumCom, AnnoReg, NumReg, NumCanc, Tipo, Stato") +
                  Righe(m, "SELECT * FROM DatiFatDett "
                           "ORDER BY AnnoCom, NumCom, AnnoReg, NumReg, NumCanc, Tipo, Stato, NumDet");
    return esito;
}

using DemoDatiFatTest = SuMotori<AmbienteLock>;

TEST_P(DemoDatiFatTest, ExtractionThenDefinitiveRunThenCancellation) {
    const EsitoStrada esito = Strada(*this);
    EXPECT_EQ(esito.file.size(), 3u);
    if (GetParam() == Motore::File) return;
    // The same road on a database file, in a world of its own.
    ImpostaContesto(nullptr);
    MondoDatiFat sulFile;
    sulFile.Prepara();
    const EsitoStrada atteso = Strada(sulFile);
    ImpostaContesto(c);
    EXPECT_EQ(esito.righe.size(), atteso.righe.size());
    for (qsizetype i = 0; i < std::min(esito.righe.size(), atteso.righe.size()); ++i)
        EXPECT_EQ(esito.righe[i], atteso.righe[i]) << "riga " << i;
    ASSERT_EQ(esito.file.size(), atteso.file.size());
    for (const auto& [nome, testo] : atteso.file) {
        SCOPED_TRACE(nome.toStdString());
        ASSERT_TRUE(esito.file.count(nome));
        EXPECT_EQ(esito.file.at(nome).toStdString(), testo.toStdString());
    }
}

INSTANTIATE_TEST_SUITE_P(Motori, DemoDatiFatTest, ValoriMotori(), NomeMotore);

}  // namespace
