// From the demo bookkeeping to the files: the extraction of a communication
// and then a definitive run write files that both published schemas accept,
// and a cancellation of the clients' send writes a valid ANN file.
#include "AmbienteLock.h"

#include "../file/supporto_datifat.h"
#include "contabilita/ContabilitaDemo.h"
#include "invoicedata/estrazione/EstrazioneDatiFat.h"
#include "invoicedata/file/StDatiFat.h"
#include "invoicedata/run/CancDatiFat.h"
#include "invoicedata/run/DichiaranteDatiFat.h"
#include "invoicedata/run/ElabDatiFat.h"
#include "invoicedata/run/LockDatiFat.h"

#include <QDir>

namespace {

class DemoDatiFatTest : public AmbienteLock {};

TEST_F(DemoDatiFatTest, ExtractionThenDefinitiveRunThenCancellation) {
    sqlite3* db = fx.gestDb->DatabaseDaId(fx.idAzienda)->Handle();
    GeneraContabilita(db, {.anno = 2018, .registrazioni = 80, .righeIvaMedie = 1.5, .fittizie = 6, .seme = 3});
    if (Leggi(fx.idAzienda, "Select count(*) as V from Ditta") == "0")
        fx.Inserisci(fx.idAzienda, "Ditta", {{"CodFisc", "01234567897"}, {"PartIva", "01234567897"},
                                            {"RagSoc", "DEMO SRL"}, {"StatoGiurid", "G"}, {"Moneta", "Euro"}});
    EstrazioneDatiFat e;
    e.opzioni = {.anno = "2018", .numCom = "1", .dataDa = "01/01/2018", .dataA = "31/03/2018"};
    e.usaFittizio = true;
    ASSERT_EQ(e.Esegui().stato, EsitoDatiFat::Completata) << Messaggi().join('|').toStdString();

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
    ASSERT_TRUE(LeggiIdentitaDatiFat(fx.idAzienda, o.dichiarante));
    stDatiFat scrittore;
    LockDatiFat lock;
    ElabDatiFat elab(scrittore, lock);
    dialoghi->mostrati.clear();
    // The writer's own notices about the demo's data are answered "go on".
    dialoghi->risposte = QList<int>(20, 1);
    ASSERT_EQ(elab.Esegui(d, o), EsitoElabDatiFat::Terminato) << Messaggi().join('|').toStdString();
    const QStringList file = QDir(cartella).entryList({"*.xml"}, QDir::Files, QDir::Name);
    ASSERT_EQ(file.filter("_DF_181E1").size(), 1) << file.join(' ').toStdString();
    ASSERT_EQ(file.filter("_DF_181R1").size(), 1) << file.join(' ').toStdString();
    for (const QString& f : file) {
        SCOPED_TRACE(f.toStdString());
        EXPECT_EQ(datifat::esito20(cartella + f), "");
        EXPECT_EQ(datifat::esito21(cartella + f), "");
    }
    EXPECT_EQ(Leggi(fx.idAzienda, "Select count(*) as V from DatiFatTest Where AnnoCom = 2018 And NumCom = 1 "
                                  "And NumInv = 0 And Stato = 'N' And Tipo = 'E' And Progr > 0"),
              "0");
    EXPECT_NE(Leggi(fx.idAzienda, "Select count(*) as V from DatiFatTest Where NumInv = 1 And Tipo = 'E'"), "0");
    EXPECT_EQ(RigheLock(), "");

    QDir(cartella).removeRecursively();
    QDir().mkpath(cartella);
    d.tipoCom = TipoCom::Cancellazione;
    d.invioCanc = "1";
    d.identificativo = "4455";
    d.fornitori = false;
    dialoghi->risposte = {1};
    ASSERT_TRUE(CancXml(d, {.dirInvio = cartella, .codFiscDitta = o.dichiarante.CodiceFiscale}))
        << Messaggi().join('|').toStdString();
    const QStringList ann = QDir(cartella).entryList({"*.xml"}, QDir::Files);
    ASSERT_EQ(ann.size(), 1);
    EXPECT_EQ(datifat::esito20(cartella + ann.first()), "");
    EXPECT_EQ(datifat::esito21(cartella + ann.first()), "");
    EXPECT_EQ(Leggi(fx.idAzienda, "Select count(*) as V from DatiFatTest Where NumInv = 1 And Tipo = 'E' "
                                  "And NOT (Stato = 'C' And NumCanc = 1)"),
              "0");
}

}  // namespace
