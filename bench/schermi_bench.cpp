// The data screens on large tables, as the user meets them: the invoice-data
// list opened from its header screen ("Lista", which reads the rows of the
// default year) and its "Aggiorna"; the settlement lines screen opened from
// its header ("Dettaglio") and the save of one edited line. Beside each, the
// floor: the same query read through the database layer (LeggiTutto), which
// every load pays before the grid shows a row.
// Each size's company is written once, into a temporary folder, and kept
// while the process runs: headers of one year, and one settlement
// communication with as many modules.
#include "components/db/GestoreDb.h"
#include "components/db/Interroga.h"
#include "components/lookup/AiutiFinti.h"
#include "components/menu/MenuClientFinto.h"
#include "components/pages/ModelloGriglia.h"
#include "components/platform/DialoghiScriptati.h"
#include "contesto/Contesto.h"
#include "invoicedata/gestione/FrmDatiFatGest.h"
#include "invoicedata/gestione/FrmDatiFatTestLis.h"
#include "settlement/gestione/FrmLiqIvaDett.h"
#include "settlement/gestione/FrmLiqIvaTest.h"
#include "support/Fixture.h"
#include "applicazione.h"

#include <QCoreApplication>
#include <QLineEdit>
#include <benchmark/benchmark.h>

#include <functional>
#include <map>
#include <memory>

namespace {

// `righe` invoice-data headers of 2018 (with one line each) and one
// settlement communication, 2018/1, of `righe` modules. Values vary from row
// to row as a year of work does: accounts, documents, dates, amounts.
void Scrivi(FixtureDb& fx, long righe) {
    const QString id = fx.idAzienda;
    fx.Esegui(id, "INSERT INTO Ditta (CodFisc, PartIva, RagSoc, StatoGiurid) VALUES"
                  " ('01234567897', '01234567897', 'GRANDE SRL', 'G')");
    fx.Esegui(id, "INSERT INTO IvaDichPeriodGen (DichGruppo, CodFiscFirmaDich, Carica, FirmaDich) VALUES"
                  " ('N', 'RSSGPP65B12F205H', '1', 'S')");
    fx.Esegui(id, "INSERT INTO LiqIvaTest (Anno, NumCom, CodiceFiscale, PartitaIva, LiquidazioneGruppo, FirmaDichiarazione,"
                  " FirmaIntermediario, ImpegnoPresentazione, FlagConferma) VALUES"
                  " (2018, 1, '01234567897', '01234567897', 'N', 'N', '', '2', 'S')");
    const QString n = QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1) ").arg(righe);
    fx.Esegui(id, n + QStringLiteral(
                          "INSERT INTO DatiFatTest (AnnoCom, NumCom, AnnoReg, NumReg, NumCanc, Tipo, Stato, NumInv, Progr,"
                          " GruppoPartita, MastroPartita, ContoPartita, TipoDocumento, DataDoc, NumDoc, DataReg,"
                          " ImportoTotale, BollaDoganale) "
                          "SELECT 2018, 1 + i % 3, 2018, i, 0, CASE WHEN i % 4 = 0 THEN 'R' ELSE 'E' END, 'N', 0, 0,"
                          " '04', '01', substr('000000' || (i % 5000), -6), 'TD01',"
                          " '2018-' || substr('0' || (1 + i % 12), -2) || '-' || substr('0' || (1 + i % 28), -2),"
                          " (i % 900) || '/A', '2018-' || substr('0' || (1 + i % 12), -2) || '-28',"
                          " 100 + (i % 10000) * 1.37, 'N' FROM n"));
    fx.Esegui(id, n + QStringLiteral(
                          "INSERT INTO DatiFatDett (AnnoCom, NumCom, AnnoReg, NumReg, NumCanc, Tipo, Stato, NumDet, Aliquota,"
                          " Natura, ImponibileImporto, Imposta, EsigibilitaIva, Deducibile) "
                          "SELECT 2018, 1 + i % 3, 2018, i, 0, CASE WHEN i % 4 = 0 THEN 'R' ELSE 'E' END, 'N', 1, 22, '',"
                          " 100 + (i % 10000), 22 + (i % 10000) * 0.22, 'I', 'N' FROM n"));
    fx.Esegui(id, n + QStringLiteral(
                          "INSERT INTO LiqIvaDett (Anno, NumCom, Modulo, Mese, IvaEsigibile, IvaDetratta, IvaDovuta,"
                          " ImportoDaVersare, ImportoACredito, Subfornitura, OpStraordinarie, MetodoAcconto) "
                          "SELECT 2018, 1, i, 1 + i % 12, (i % 7000) * 3.1, (i % 5000) * 1.7, (i % 7000) * 1.4,"
                          " (i % 7000) * 1.4, 0, 'N', 'S', '2' FROM n"));
}

// The company of that size, written on first use.
FixtureDb& Azienda(long righe) {
    static std::map<long, std::unique_ptr<FixtureDb>> aziende;
    auto& fx = aziende[righe];
    if (!fx) {
        fx = std::make_unique<FixtureDb>(Motore::File);
        Scrivi(*fx, righe);
    }
    return *fx;
}

// A fresh program context on the company, as the menu leaves it for the
// management screens.
struct Ambiente {
    std::shared_ptr<Contesto> contesto;
    std::shared_ptr<DialoghiScriptati> dialoghi = std::make_shared<DialoghiScriptati>();
    explicit Ambiente(FixtureDb& fx) {
        bench::App();
        contesto = fx.InstallaContesto();
        contesto->ggDialoghi = dialoghi;
        contesto->ggMenuClient = std::make_shared<MenuClientFinto>();
        contesto->ggAiuti = std::make_shared<QorAiutiFinto>();
        contesto->gtDataLavoro = QDate(2018, 6, 15);
        contesto->gsFmtImp = contesto->gsFmtImpEuro = QStringLiteral("#,##0.00");
    }
    ~Ambiente() {
        // The screens release their parts with deleteLater.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        ImpostaContesto(nullptr);
    }
};

void Righe(benchmark::State& state, long righe) {
    state.counters["righe"] = static_cast<double>(righe);
    state.SetItemsProcessed(state.iterations() * righe);
}

// The header screen of the invoice data, loaded and shown.
frmDatiFatGest* TestataDatiFat() {
    auto* t = new frmDatiFatGest;
    t->Carica();
    t->show();
    return t;
}

frmDatiFatTestLis* ApriLista(frmDatiFatGest& t) {
    t.ButtonComando(QStringLiteral("Lista"));
    return qobject_cast<frmDatiFatTestLis*>(t.ListaForm());
}

// A screen opened from its header, timed alone: the header is made and
// dropped outside the timing. `apri` answers the rows the screen shows, -1
// when it did not open.
template <typename Testata>
void MisuraApertura(benchmark::State& state, Testata* (*testata)(), long (*apri)(Testata&), const char* errore) {
    FixtureDb& fx = Azienda(state.range(0));
    Ambiente a(fx);
    for (auto _ : state) {
        state.PauseTiming();
        Testata* t = testata();
        state.ResumeTiming();
        if (apri(*t) != state.range(0)) {
            state.SkipWithError(errore);
            break;
        }
        state.PauseTiming();
        delete t;
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        state.ResumeTiming();
    }
    Righe(state, state.range(0));
}

// The screen's own query, read through the layer as its grid reads it.
void MisuraPavimento(benchmark::State& state, const std::function<QString()>& sqlDelloSchermo) {
    FixtureDb& fx = Azienda(state.range(0));
    QString sql;
    {
        Ambiente a(fx);
        sql = sqlDelloSchermo();
    }
    long lette = 0;
    for (auto _ : state) {
        const RisultatoSql r = LeggiTutto(*fx.gestDb, fx.idAzienda, sql, kOrigineGestRecordset);
        lette = static_cast<long>(r.righe.size());
        benchmark::DoNotOptimize(r.righe.data());
    }
    if (lette != state.range(0)) state.SkipWithError("righe lette diverse dalle attese");
    Righe(state, state.range(0));
}

void BM_ListaDatiFatApertura(benchmark::State& state) {
    MisuraApertura<frmDatiFatGest>(
        state, TestataDatiFat,
        [](frmDatiFatGest& t) -> long {
            frmDatiFatTestLis* l = ApriLista(t);
            return l ? l->Lista().Modello().rowCount() : -1;
        },
        "la lista non mostra le righe attese");
}
BENCHMARK(BM_ListaDatiFatApertura)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_ListaDatiFatAggiorna(benchmark::State& state) {
    FixtureDb& fx = Azienda(state.range(0));
    Ambiente a(fx);
    std::unique_ptr<frmDatiFatGest> t(TestataDatiFat());
    frmDatiFatTestLis* l = ApriLista(*t);
    if (!l) {
        state.SkipWithError("lista non aperta");
        return;
    }
    for (auto _ : state) l->ButtonComando(QStringLiteral("Aggiorna"));
    if (l->Lista().Modello().rowCount() != state.range(0)) state.SkipWithError("la lista non mostra le righe attese");
    Righe(state, state.range(0));
}
BENCHMARK(BM_ListaDatiFatAggiorna)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_ListaDatiFatPavimento(benchmark::State& state) {
    MisuraPavimento(state, [] {
        std::unique_ptr<frmDatiFatGest> t(TestataDatiFat());
        frmDatiFatTestLis* l = ApriLista(*t);
        return l ? l->Lista().Sql() : QString();
    });
}
BENCHMARK(BM_ListaDatiFatPavimento)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond);

// The settlement header on communication 2018/1.
frmLiqIvaTest* TestataLiqIva() {
    auto* t = new frmLiqIvaTest;
    t->Carica();
    t->show();
    t->txt[20]->setText(QStringLiteral("2018"));
    t->txt[10]->setText(QStringLiteral("1"));
    t->ButtonComando(QStringLiteral("Ricerca"));
    return t;
}

frmLiqIvaDett* ApriLinee(frmLiqIvaTest& t) {
    t.ButtonComando(QStringLiteral("Dettaglio"));
    auto* d = qobject_cast<frmLiqIvaDett*>(t.LineeAperte());
    if (d) d->timLinPag_Timer();
    return d;
}

void BM_LineeLiqIvaApertura(benchmark::State& state) {
    MisuraApertura<frmLiqIvaTest>(
        state, TestataLiqIva,
        [](frmLiqIvaTest& t) -> long {
            frmLiqIvaDett* d = ApriLinee(t);
            return d ? d->Linee().Modello().rowCount() : -1;
        },
        "le linee non mostrano le righe attese");
}
BENCHMARK(BM_LineeLiqIvaApertura)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond);

// One edited line saved: the month of the first module, changed each time.
void BM_LineeLiqIvaSalvaRiga(benchmark::State& state) {
    FixtureDb& fx = Azienda(state.range(0));
    Ambiente a(fx);
    std::unique_ptr<frmLiqIvaTest> t(TestataLiqIva());
    frmLiqIvaDett* d = ApriLinee(*t);
    if (!d) {
        state.SkipWithError("linee non aperte");
        return;
    }
    int mese = 1;
    for (auto _ : state) {
        state.PauseTiming();
        d->ButtonComando(QStringLiteral("Inizio"));
        mese = mese % 12 + 1;
        d->txt_GotFocus(20);
        d->txt[20]->setText(QString::number(mese));
        d->txt_LostFocus(20);
        state.ResumeTiming();
        d->ButtonComando(QStringLiteral("Salva"));
    }
    if (d->Linee().LeggiStato() != LinPag::Scorrimento || d->Linee().Modello().TestoCella(0, d->Linee().Modello().IndiceColonna(QStringLiteral("Mese"))) != QString::number(mese))
        state.SkipWithError("riga non salvata");
    Righe(state, state.range(0));
}
BENCHMARK(BM_LineeLiqIvaSalvaRiga)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_LineeLiqIvaPavimento(benchmark::State& state) {
    MisuraPavimento(state, [] {
        std::unique_ptr<frmLiqIvaTest> t(TestataLiqIva());
        frmLiqIvaDett* d = ApriLinee(*t);
        return d ? d->PrepSql() : QString();
    });
}
BENCHMARK(BM_LineeLiqIvaPavimento)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace
