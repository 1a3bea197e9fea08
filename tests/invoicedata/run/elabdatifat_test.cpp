// The file run over a range of companies, each in its own database: the
// files written validate under both schemas, the registrations are marked
// with their kind's send number, and the lock is free afterwards.
#include "AmbienteLock.h"

#include "../file/supporto_datifat.h"
#include "invoicedata/run/DichiaranteDatiFat.h"
#include "invoicedata/file/StDatiFat.h"
#include "invoicedata/run/ElabDatiFat.h"
#include "invoicedata/run/LockDatiFat.h"

#include <QDir>

namespace {

using namespace datifat;

class ElabDatiFatTest : public AmbienteLock {
protected:
    void SetUp() override {
        AmbienteLock::SetUp();
        cartella = fx.Cartella() + QStringLiteral("/invio");
        QDir().mkpath(cartella);
        Riempi(fx.idAzienda, "01234567897", "PRIMA SRL");
        const QString file2 = AltraAzienda("002");
        const QString id2 = fx.gestDb->ApriDatabase(file2);
        Riempi(id2, "12345678903", "SECONDA SRL");
        fx.gestDb->ChiudiDatabase(id2);
    }
    // A company with one client and one supplier registration of
    // communication 2017/2.
    void Riempi(const QString& idDb, const QString& codFisc, const QString& ragSoc) {
        fx.Esegui(idDb, "INSERT OR IGNORE INTO Stati (Stato, Descrizione, Iso, Cee) VALUES ('ITA','Italia','IT','S')");
        fx.Inserisci(idDb, "Ditta", {{"CodFisc", codFisc}, {"PartIva", codFisc}, {"RagSoc", ragSoc},
                                     {"StatoGiurid", "G"}, {"Moneta", "Euro"}});
        fx.Inserisci(idDb, "PianoConti", coppie(conto("000001")));
        for (const char* tipo : {"E", "R"}) {
            fx.Inserisci(idDb, "DatiFatTest", coppie(testata(tipo, 1, "000001")));
            fx.Inserisci(idDb, "DatiFatDett", coppie(riga(tipo, 1, 1)));
        }
    }
    DatiRunDatiFat Dati(TipoSta tipoSta) {
        DatiRunDatiFat d;
        d.anno = "2017";
        d.numero = "2";
        d.daAzienda = "001";
        d.aAzienda = "002";
        d.tipoSta = tipoSta;
        d.tipoElab = TipoElab::File;
        d.maxAnagrafiche = "1000";
        return d;
    }
    OpzioniElabDatiFat Opzioni() {
        OpzioniElabDatiFat o;
        o.dirInvio = cartella + QLatin1Char('/');
        LeggiIdentitaDatiFat(fx.idAzienda, o.dichiarante);
        return o;
    }
    QStringList FileScritti() { return QDir(cartella).entryList({"*.xml"}, QDir::Files, QDir::Name); }

    QString cartella;
    stDatiFat scrittore;
    LockDatiFat lock;
};

TEST_F(ElabDatiFatTest, DefinitiveRangeWritesValidFilesAndMarksEachKind) {
    ElabDatiFat elab(scrittore, lock);
    ASSERT_EQ(elab.Esegui(Dati(TipoSta::Definitiva), Opzioni()), EsitoElabDatiFat::Terminato)
        << Messaggi().join('|').toStdString();
    const QStringList file = FileScritti();
    ASSERT_EQ(file.size(), 4) << file.join(' ').toStdString();
    EXPECT_TRUE(file.filter("01234567897").size() == 2 && file.filter("12345678903").size() == 2)
        << file.join(' ').toStdString();
    for (const QString& f : file) {
        SCOPED_TRACE(f.toStdString());
        EXPECT_EQ(esito20(cartella + "/" + f), "");
        EXPECT_EQ(esito21(cartella + "/" + f), "");
    }
    EXPECT_EQ(Invio(fx.idAzienda, 1, "E").section('/', 0, 1), "1/1");
    EXPECT_EQ(Invio(fx.idAzienda, 1, "R").section('/', 0, 1), "1/1");
    EXPECT_EQ(RigheLock(), "");
    EXPECT_EQ(Messaggi().join('|'), "Elaborazione terminata");

    // Nothing is left to send: the run says so instead of "terminata".
    dialoghi->mostrati.clear();
    EXPECT_EQ(elab.Esegui(Dati(TipoSta::Definitiva), Opzioni()), EsitoElabDatiFat::NessunDato);
    EXPECT_EQ(Messaggi().join('|'), "Nessuna azienda dell'intervallo ha dati da trasmettere: nessun file scritto");
    EXPECT_EQ(RigheLock(), "");
}

TEST_F(ElabDatiFatTest, TrialRunMarksNothingAndTakesNoNumber) {
    ElabDatiFat elab(scrittore, lock);
    DatiRunDatiFat d = Dati(TipoSta::Prova);
    d.daAzienda = d.aAzienda = "002";
    ASSERT_EQ(elab.Esegui(d, Opzioni()), EsitoElabDatiFat::Terminato) << Messaggi().join('|').toStdString();
    // One company that is not the current one writes its own identity.
    const QStringList file = FileScritti();
    ASSERT_EQ(file.size(), 2);
    EXPECT_EQ(file.filter("12345678903").size(), 2) << file.join(' ').toStdString();
    EXPECT_EQ(Invio(fx.idAzienda, 1, "E"), "0/0/null");
    EXPECT_EQ(RigheLock(), "");
}

TEST_F(ElabDatiFatTest, EmptyRangeHasNothingToSend) {
    ElabDatiFat elab(scrittore, lock);
    DatiRunDatiFat d = Dati(TipoSta::Definitiva);
    d.daAzienda = d.aAzienda = "005";
    EXPECT_EQ(elab.Esegui(d, Opzioni()), EsitoElabDatiFat::NessunDato);
    EXPECT_EQ(Messaggi().join('|'), "Non c'è nessun dato da trasmettere");
}

}  // namespace
