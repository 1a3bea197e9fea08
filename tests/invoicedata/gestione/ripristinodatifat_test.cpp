#include "AmbienteDatiFat.h"

#include "components/core/ErroreRun.h"
#include "invoicedata/gestione/RipristinoDatiFat.h"

#include <sqlite3.h>
#include <vector>

namespace {

using RipristinoDatiFatTest = AmbienteDatiFat;

const char* const kTestate =
    "SELECT NumCom, NumReg, Tipo, NumCanc, Stato, NumInv, Progr, COALESCE(NomeFile, '-') FROM DatiFatTest"
    " ORDER BY NumCom, NumReg, Tipo, NumCanc";
const char* const kLinee =
    "SELECT NumCom, NumReg, Tipo, NumCanc, Stato, COUNT(*) FROM DatiFatDett GROUP BY NumCom, NumReg, Tipo, NumCanc, Stato"
    " ORDER BY NumCom, NumReg, Tipo, NumCanc";

RipristinoDatiFat::Chiave ChiaveDi(const TestataDF& t, const char* stato = nullptr) {
    return {.annoCom = QString::number(t.annoCom), .numCom = QString::number(t.numCom), .annoReg = QString::number(t.annoReg),
            .numReg = QString::number(t.numReg), .numCanc = QString::number(t.numCanc), .tipo = t.tipo,
            .stato = stato ? stato : t.stato, .numInv = QString::number(t.numInv),
            .nomeFile = t.nomeFile ? t.nomeFile : ""};
}

TEST_F(RipristinoDatiFatTest, OgniCasoRigaPerRiga) {
    const struct Caso {
        const char* nome;
        std::vector<TestataDF> righe;
        int chiave = 0;                  // the record shown
        const char* statoChiave = nullptr;  // as the state box shows it
        bool rifiutato = false;
        const char* testate;             // after the restore
        const char* linee;
    } casi[] = {
        {.nome = "single cancellation: both kinds of the registration, not the others of its send",
         .righe = {{.numReg = 20, .numCanc = 1, .stato = "E", .numInv = 1, .progr = 1, .nomeFile = "DF001"},
                   {.numReg = 20, .numCanc = 1, .tipo = "R", .stato = "E", .numInv = 1, .progr = 1, .nomeFile = "DF001"},
                   {.numReg = 21, .numCanc = 1, .stato = "E", .numInv = 1, .progr = 2, .nomeFile = "DF001"}},
         .testate = "1 20 E 0 N 1 1 DF001 1 20 R 0 N 1 1 DF001 1 21 E 1 E 1 2 DF001",
         .linee = "1 20 E 0 N 1 1 20 R 0 N 1 1 21 E 1 E 1"},
        {.nome = "state box in lower case",
         .righe = {{.numReg = 20, .numCanc = 1, .stato = "E", .numInv = 1, .progr = 1, .nomeFile = "DF001"}},
         .statoChiave = "e",
         .testate = "1 20 E 0 N 1 1 DF001",
         .linee = "1 20 E 0 N 1"},
        {.nome = "single cancellation of a registration extracted again",
         .righe = {{.numReg = 20, .numCanc = 1, .stato = "E", .numInv = 1, .progr = 1, .nomeFile = "DF001"},
                   {.numCom = 2, .numReg = 20, .tipo = "R"}},
         .rifiutato = true,
         .testate = "1 20 E 1 E 1 1 DF001 2 20 R 0 N 0 0 -",
         .linee = "1 20 E 1 E 1 2 20 R 0 N 1"},
        {.nome = "file cancellation: the whole file, send marks kept",
         .righe = {{.numReg = 30, .numCanc = 2, .stato = "C", .numInv = 1, .progr = 1, .nomeFile = "DF001", .righe = 2},
                   {.numReg = 31, .numCanc = 2, .stato = "C", .numInv = 1, .progr = 2, .nomeFile = "DF001"},
                   {.numReg = 32, .numCanc = 2, .stato = "C", .numInv = 2, .progr = 1, .nomeFile = "DF002"}},
         .testate = "1 30 E 0 N 1 1 DF001 1 31 E 0 N 1 2 DF001 1 32 E 2 C 2 1 DF002",
         .linee = "1 30 E 0 N 2 1 31 E 0 N 1 1 32 E 2 C 1"},
        {.nome = "file cancellation of a send not split (no file name)",
         .righe = {{.numReg = 30, .numCanc = 2, .stato = "C", .numInv = 1, .progr = 1},
                   {.numReg = 31, .numCanc = 2, .stato = "C", .numInv = 1, .progr = 2}},
         .testate = "1 30 E 0 N 1 1 - 1 31 E 0 N 1 2 -",
         .linee = "1 30 E 0 N 1 1 31 E 0 N 1"},
        {.nome = "file cancellation with one registration extracted again",
         .righe = {{.numReg = 30, .numCanc = 2, .stato = "C", .numInv = 1, .progr = 1, .nomeFile = "DF001"},
                   {.numReg = 31, .numCanc = 2, .stato = "C", .numInv = 1, .progr = 2, .nomeFile = "DF001"},
                   {.numCom = 2, .numReg = 31}},
         .rifiutato = true,
         .testate = "1 30 E 2 C 1 1 DF001 1 31 E 2 C 1 2 DF001 2 31 E 0 N 0 0 -",
         .linee = "1 30 E 2 C 1 1 31 E 2 C 1 2 31 E 0 N 1"},
        {.nome = "last send: not sent again, progressive kept, lines untouched",
         .righe = {{.numReg = 40, .numInv = 1, .progr = 1, .nomeFile = "DF001"},
                   {.numReg = 41, .numInv = 1, .progr = 2, .nomeFile = "DF001"},
                   {.numReg = 42, .numInv = 2, .progr = 1, .nomeFile = "DF002"}},
         .chiave = 2,
         .testate = "1 40 E 0 N 1 1 DF001 1 41 E 0 N 1 2 DF001 1 42 E 0 N 0 1 -",
         .linee = "1 40 E 0 N 1 1 41 E 0 N 1 1 42 E 0 N 1"},
        {.nome = "send followed by a later send",
         .righe = {{.numReg = 40, .numInv = 1, .progr = 1, .nomeFile = "DF001"},
                   {.numReg = 42, .numInv = 2, .progr = 1, .nomeFile = "DF002"}},
         .rifiutato = true,
         .testate = "1 40 E 0 N 1 1 DF001 1 42 E 0 N 2 1 DF002",
         .linee = "1 40 E 0 N 1 1 42 E 0 N 1"},
        {.nome = "send with a record cancelled singly",
         .righe = {{.numReg = 43, .numInv = 3, .progr = 1, .nomeFile = "DF003"},
                   {.numReg = 44, .numCanc = 1, .stato = "E", .numInv = 3, .progr = 2, .nomeFile = "DF003"}},
         .rifiutato = true,
         .testate = "1 43 E 0 N 3 1 DF003 1 44 E 1 E 3 2 DF003",
         .linee = "1 43 E 0 N 1 1 44 E 1 E 1"},
    };
    for (const Caso& c : casi) {
        SCOPED_TRACE(c.nome);
        fx.Esegui(fx.idAzienda, "DELETE FROM DatiFatTest; DELETE FROM DatiFatDett;");
        for (const TestataDF& t : c.righe) Testata(t);
        const RipristinoDatiFat r(ChiaveDi(c.righe[c.chiave], c.statoChiave));
        const long bloccanti = r.Verifica(*fx.gestDb, fx.idAzienda);
        EXPECT_EQ(bloccanti > 0, c.rifiutato);
        if (!c.rifiutato) EXPECT_GT(r.Esegui(*fx.gestDb, fx.idAzienda), 0);
        EXPECT_EQ(Valori(kTestate), c.testate);
        EXPECT_EQ(Valori(kLinee), c.linee);
    }
}

TEST_F(RipristinoDatiFatTest, UnErroreSullaTestataAnnullaAncheLeLinee) {
    const TestataDF t{.numReg = 20, .numCanc = 1, .stato = "E", .numInv = 1, .progr = 1, .nomeFile = "DF001"};
    Testata(t);
    fx.Esegui(fx.idAzienda, "CREATE TRIGGER Blocca BEFORE UPDATE ON DatiFatTest BEGIN SELECT RAISE(ABORT, 'bloccato'); END;");
    const RipristinoDatiFat r(ChiaveDi(t));
    EXPECT_THROW(r.Esegui(*fx.gestDb, fx.idAzienda), ErroreRun);
    EXPECT_EQ(Valori(kLinee), "1 20 E 1 E 1") << "the lines go back with the header";
    EXPECT_NE(sqlite3_get_autocommit(fx.gestDb->DatabaseDaId(fx.idAzienda)->Handle()), 0) << "no transaction left open";
}

TEST_F(RipristinoDatiFatTest, NessunaRigaRipristinataNonÈUnSuccesso) {
    const TestataDF t{.numReg = 20, .numCanc = 1, .stato = "E", .numInv = 1, .progr = 1, .nomeFile = "DF001"};
    Testata(t);
    TestataDF altro = t;
    altro.numCanc = 7;  // the record shown no longer stands as it was
    EXPECT_EQ(RipristinoDatiFat(ChiaveDi(altro)).Esegui(*fx.gestDb, fx.idAzienda), 0);
    EXPECT_EQ(Valori(kLinee), "1 20 E 1 E 1");
}

}  // namespace
