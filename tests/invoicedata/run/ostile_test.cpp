// The invoice-data road over hostile bookkeeping made from seeds: after the
// extraction, every trial and definitive run ends either with final files that
// both published schemas accept and exactly their documents marked, or with a
// message and nothing of that kind marked.
#include "AmbienteLock.h"

#include "ContabilitaOstile.h"
#include "components/xml/SchemaXsd.h"
#include "invoicedata/estrazione/EstrazioneDatiFat.h"
#include "invoicedata/file/StDatiFat.h"
#include "invoicedata/run/DichiaranteDatiFat.h"
#include "invoicedata/run/ElabDatiFat.h"
#include "invoicedata/run/LockDatiFat.h"

#include <QDir>
#include <QFile>

namespace {

using comiva::SchemaTrasmissione;

class OstileTest : public AmbienteLock {
protected:
    void SetUp() override {
        AmbienteLock::SetUp();
        contabilita::Anagrafiche(fx);
        fx.Inserisci(fx.idAzienda, "Ditta", {{"CodFisc", "01234567897"}, {"PartIva", "01234567897"},
                                            {"RagSoc", "OSTILE SRL"}, {"StatoGiurid", "G"}, {"Moneta", "Euro"}});
        cartella = fx.Cartella() + QStringLiteral("/invio/");
        QDir().mkpath(cartella);
    }

    // One run of the kind over the extracted communication 2018/1.
    EsitoElabDatiFat Run(TipoSta tipo, bool molteAnag) {
        DatiRunDatiFat d;
        d.anno = "2018";
        d.numero = "1";
        d.daAzienda = d.aAzienda = "001";
        d.tipoSta = tipo;
        d.tipoElab = TipoElab::File;
        d.maxAnagrafiche = "1000";
        d.molteAnag = molteAnag;
        OpzioniElabDatiFat o;
        o.dirInvio = cartella;
        CaricaDichiarante(o.dichiarante, fx.idAzienda, true);
        stDatiFat scrittore;
        LockDatiFat lock;
        ElabDatiFat elab(scrittore, lock);
        dialoghi->mostrati.clear();
        // Every notice and question of the writer answered "go on".
        dialoghi->risposte = QList<int>(400, 1);
        return elab.Esegui(d, o);
    }

    // The property, kind by kind: every final file valid under both schemas;
    // the documents in the kind's final files are exactly the marked
    // registrations; a kind with nothing marked and no file was told.
    void Verifica(const std::string& caso, TipoSta tipo) {
        SCOPED_TRACE(caso);
        const QStringList finali = QDir(cartella).entryList({"*.xml"}, QDir::Files, QDir::Name);
        for (const QString& f : finali) {
            SCOPED_TRACE(f.toStdString());
            for (SchemaTrasmissione s : {SchemaTrasmissione::DatiFattura20, SchemaTrasmissione::DatiFattura21}) {
                const comiva::EsitoSchema e = comiva::ValidaSchema(cartella + f, s);
                EXPECT_TRUE(e.valido) << comiva::NomeSchema(s).toStdString() << ": " << e.descrizione().toStdString()
                                      << " | " << e.dettaglio.toStdString();
            }
        }
        for (const char* kind : {"E", "R"}) {
            SCOPED_TRACE(kind);
            const QByteArray corpo = QByteArray("<DatiFatturaBody") + (kind[0] == 'E' ? "DTE>" : "DTR>");
            long documenti = 0;
            for (const QString& f : finali) {
                QFile file(cartella + f);
                if (!file.open(QIODevice::ReadOnly)) continue;
                const QByteArray testo = file.readAll();
                if (testo.contains(kind[0] == 'E' ? "<DTE>" : "<DTR>")) documenti += testo.count(corpo);
            }
            const long marcati =
                Leggi(fx.idAzienda, QStringLiteral("Select count(*) as V from DatiFatTest Where AnnoCom = 2018 And "
                                                   "NumCom = 1 And Tipo = '%1' And NumInv > 0")
                                        .arg(QLatin1String(kind)))
                    .toLong();
            if (tipo == TipoSta::Prova) {
                EXPECT_EQ(marcati, 0);
            } else {
                EXPECT_EQ(marcati, documenti) << Messaggi().join(" | ").toStdString();
            }
            if (documenti == 0) EXPECT_FALSE(dialoghi->mostrati.isEmpty());
        }
    }

    // Bookkeeping, extraction, a trial run and a definitive run.
    void Strada(const ostile::ParametriOstili& p, bool molteAnag) {
        const std::string caso = "seme " + std::to_string(p.seme);
        QString errore;
        ASSERT_TRUE(ostile::GeneraOstile(fx.gestDb->DatabaseDaId(fx.idAzienda)->Handle(), p, errore))
            << errore.toStdString();
        EstrazioneDatiFat e;
        e.opzioni = {.anno = "2018", .numCom = "1", .dataDa = "01/01/2018", .dataA = "31/03/2018"};
        const EsitoDatiFat estratto = e.Esegui();
        ASSERT_EQ(estratto.stato, EsitoDatiFat::Completata) << caso << " " << Messaggi().join(" | ").toStdString();
        ASSERT_NE(Leggi(fx.idAzienda, "Select count(*) as V from DatiFatTest"), "0") << caso;

        Run(TipoSta::Prova, molteAnag);
        Verifica(caso + " prova", TipoSta::Prova);
        QDir(cartella).removeRecursively();
        QDir().mkpath(cartella);
        Run(TipoSta::Definitiva, molteAnag);
        Verifica(caso + " definitiva", TipoSta::Definitiva);
        EXPECT_EQ(RigheLock(), "") << caso;
    }

    QString cartella;
};

TEST_F(OstileTest, SemiDiversi) {
    // From values a file carries once cleaned to every value hostile.
    const struct {
        uint32_t seme;
        double dose;
    } casi[] = {{1, 0.0}, {2, 0.02}, {3, 0.1}, {4, 1.0}};
    for (const auto& k : casi) {
        SCOPED_TRACE(k.seme);
        // Each seed in a fresh company: the tables emptied of the last one.
        for (const char* t : {"MovPnTes", "MovPnDett", "MovPnIva", "DatiFatTest", "DatiFatDett"})
            fx.Esegui(fx.idAzienda, QStringLiteral("DELETE FROM %1").arg(QLatin1String(t)));
        fx.Esegui(fx.idAzienda, "DELETE FROM PianoConti WHERE Conto >= '000100';"
                                "DELETE FROM Tabiva WHERE Iva LIKE 'H%'; DELETE FROM Stati WHERE Stato IN ('XYZ', 'GRC')");
        QDir(cartella).removeRecursively();
        QDir().mkpath(cartella);
        Strada({.seme = k.seme, .controparti = 30, .documentiPerControparte = 3, .dose = k.dose}, false);
        // Sane values reach the file: the road is not only refusals.
        if (k.dose == 0)
            EXPECT_NE(Leggi(fx.idAzienda, "Select count(*) as V from DatiFatTest Where NumInv > 0"), "0");
    }
}

// More than a file's 1000 counterparties of each kind (the file is split even
// without the split option), and more than a block's 1000
// documents of one counterparty.
TEST_F(OstileTest, OltreIMilleControparti) {
    Strada({.seme = 7, .controparti = 2010, .documentiPerControparte = 1, .documentiDiUna = 1005, .dose = 0.0}, false);
    EXPECT_NE(Leggi(fx.idAzienda, "Select count(*) as V from DatiFatTest Where NumInv > 0"), "0");
}

}  // namespace
