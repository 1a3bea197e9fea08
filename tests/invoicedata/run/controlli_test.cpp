// The checks of the invoice-data run form: the rules of the boxes and the
// check before a run, each condition with its message and its focus.
#include "AmbienteLock.h"

#include "invoicedata/run/ControlliRunDatiFat.h"

namespace {

using namespace CampoDatiFat;

// A form filled so that every condition holds.
DatiRunDatiFat Valido() {
    DatiRunDatiFat d;
    d.anno = "2019";
    d.numero = "2";
    d.daAzienda = "001";
    d.aAzienda = "001";
    d.cfDichiarante = "RSSMRA80A01H501U";
    d.caricaDichiarante = "1";
    return d;
}

class ControllaDatiElabTest : public AmbienteLock {};

TEST_F(ControllaDatiElabTest, ConditionsInOrderWithMessageAndFocus) {
    struct Caso {
        const char* nome;
        std::function<void(DatiRunDatiFat&)> modifica;
        QString messaggio;  // empty: the run may go on
        int focus = 0;
    };
    const std::vector<Caso> casi = {
        {"all valid", [](auto&) {}, ""},
        {"red box first, whatever else",
         [](auto& d) { d.inErrore = Numero; d.anno = ""; d.clienti = d.fornitori = false; },
         "Ci sono dei dati non validi", Numero},
        {"one company missing", [](auto& d) { d.aAzienda = " "; },
         "Si prega di inserire entrambe le ditte da elaborare", DaAzienda},
        {"range 5 to 3", [](auto& d) { d.daAzienda = "5"; d.aAzienda = "3"; },
         "Si prega di inserire le ditte da elaborare in ordine crescente", DaAzienda},
        {"range compared without case", [](auto& d) { d.daAzienda = "ab"; d.aAzienda = "AB"; }, ""},
        {"year missing", [](auto& d) { d.anno = ""; }, "Si prega di inserire l'anno", Anno},
        {"year 2016", [](auto& d) { d.anno = "2016"; }, "Anno non valido", Anno},
        {"year 2050", [](auto& d) { d.anno = "2050"; }, "Anno non valido", Anno},
        {"year 2017 passes", [](auto& d) { d.anno = "2017"; }, ""},
        {"year 2049 passes", [](auto& d) { d.anno = "2049"; }, ""},
        {"number 0", [](auto& d) { d.numero = "0"; }, "Si prega di inserire il numero comunicazione", Anno},
        {"tax code of 12", [](auto& d) { d.cfDichiarante = "RSSMRA80A01H"; },
         "Codice fiscale dichiarante non valido", Anno},
        {"tax code with a symbol", [](auto& d) { d.cfDichiarante = "0123456789-"; },
         "Codice fiscale dichiarante non valido", Anno},
        {"11 digits pass", [](auto& d) { d.cfDichiarante = "01234567897"; }, ""},
        {"no declarant passes", [](auto& d) { d.cfDichiarante = ""; d.caricaDichiarante = ""; }, ""},
        {"tax code without office", [](auto& d) { d.caricaDichiarante = ""; },
         "Dichiarante: compilare sia il codice fiscale che la carica oppure nessuno dei due", CfDichiarante},
        {"office without tax code", [](auto& d) { d.cfDichiarante = ""; },
         "Dichiarante: compilare sia il codice fiscale che la carica oppure nessuno dei due", CfDichiarante},
        {"office 16", [](auto& d) { d.caricaDichiarante = "16"; }, "Codice carica non valido", CaricaDichiarante},
        {"office not a number", [](auto& d) { d.caricaDichiarante = "1'"; }, "Codice carica non valido",
         CaricaDichiarante},
        {"office 15 passes", [](auto& d) { d.caricaDichiarante = "15"; }, ""},
        {"split files without maximum", [](auto& d) { d.molteAnag = true; d.maxAnagrafiche = ""; },
         "Inserire il numero massimo di anagrafiche", MaxAnagrafiche},
        {"maximum 1000 passes", [](auto& d) { d.molteAnag = true; d.maxAnagrafiche = "1000"; }, ""},
        {"maximum looked at only when splitting", [](auto& d) { d.maxAnagrafiche = "0"; }, ""},
        {"definitive as report only",
         [](auto& d) { d.tipoSta = TipoSta::Definitiva; d.tipoElab = TipoElab::Stampa; },
         "Impossibile effettuare esecuzione in definitiva solo in stampa"},
        {"trial as report only passes", [](auto& d) { d.tipoElab = TipoElab::Stampa; }, ""},
        {"trial cancellation", [](auto& d) { d.tipoCom = TipoCom::Cancellazione; },
         "Impossibile effettuare cancellazione in prova"},
        {"repeat without send number", [](auto& d) { d.tipoSta = TipoSta::Rielabora; d.numInvio = "0"; },
         "Inserire il numero invio da Rielaborare", NumInvio},
        {"cancellation as report only",
         [](auto& d) { d.tipoSta = TipoSta::Rielabora; d.tipoCom = TipoCom::Cancellazione; d.tipoElab = TipoElab::Stampa; },
         "Tipo elaborazione non valido per comunicazioni di cancellazione"},
        {"cancellation without identifier",
         [](auto& d) { d.tipoSta = TipoSta::Definitiva; d.tipoCom = TipoCom::Cancellazione; d.invioCanc = "1"; },
         "Mettere l'identificativo ricevuto al momento dell'invio del file che si vuole cancellare", Identificativo},
        {"identifier of 19 digits",
         [](auto& d) {
             d.tipoSta = TipoSta::Definitiva; d.tipoCom = TipoCom::Cancellazione; d.invioCanc = "1";
             d.identificativo = "1234567890123456789";
         },
         "Identificativo non valido: indicare da 1 a 18 cifre", Identificativo},
        {"identifier with a quote",
         [](auto& d) {
             d.tipoSta = TipoSta::Definitiva; d.tipoCom = TipoCom::Cancellazione; d.invioCanc = "1";
             d.identificativo = "12'3";
         },
         "Identificativo non valido: indicare da 1 a 18 cifre", Identificativo},
        {"registration year without number",
         [](auto& d) {
             d.tipoSta = TipoSta::Definitiva; d.tipoCom = TipoCom::Cancellazione; d.identificativo = "123";
             d.annoReg = "2019";
         },
         "Inserire sia l'anno che il numero da cancellare", AnnoReg},
        {"send and registration together",
         [](auto& d) {
             d.tipoSta = TipoSta::Rielabora; d.tipoCom = TipoCom::Cancellazione; d.identificativo = "123";
             d.annoReg = "2019"; d.numReg = "4"; d.invioCanc = "1";
         },
         "Impossibile cancellare un intero file (indicando numero invio) ed una singola registrazione "
         "contemporaneamente",
         InvioCanc},
        {"neither send nor registration",
         [](auto& d) { d.tipoSta = TipoSta::Definitiva; d.tipoCom = TipoCom::Cancellazione; d.identificativo = "123"; },
         "Indicare il numero invio file da cancellare o il riferimento alla singola registrazione", InvioCanc},
        {"whole send to cancel passes",
         [](auto& d) {
             d.tipoSta = TipoSta::Definitiva; d.tipoCom = TipoCom::Cancellazione; d.identificativo = " 123 ";
             d.invioCanc = "2";
         },
         ""},
        {"nothing to extract", [](auto& d) { d.clienti = d.fornitori = false; }, "Selezionare cosa estrarre"},
        {"nothing to extract in a cancellation",
         [](auto& d) {
             d.tipoSta = TipoSta::Definitiva; d.tipoCom = TipoCom::Cancellazione; d.identificativo = "123";
             d.invioCanc = "2"; d.clienti = d.fornitori = false;
         },
         "Selezionare cosa estrarre"},
    };
    for (const Caso& k : casi) {
        SCOPED_TRACE(k.nome);
        dialoghi->mostrati.clear();
        DatiRunDatiFat d = Valido();
        k.modifica(d);
        const EsitoControllo e = ControllaDatiElab(d);
        EXPECT_EQ(e.ok, k.messaggio.isEmpty());
        EXPECT_EQ(e.focus, k.focus);
        EXPECT_EQ(Messaggi().join('|'), k.messaggio);
        if (!k.messaggio.isEmpty()) {
            ASSERT_EQ(dialoghi->mostrati.size(), 1);
            EXPECT_EQ(dialoghi->mostrati.first().titolo, "Estrazione XML Dati Fatture");
        }
    }
}

TEST_F(ControllaDatiElabTest, TaxCodeIsTrimmedAndUpperCasedInItsBox) {
    DatiRunDatiFat d = Valido();
    d.cfDichiarante = "  rssmra80a01h501u ";
    EXPECT_TRUE(ControllaDatiElab(d).ok);
    EXPECT_EQ(d.cfDichiarante, "RSSMRA80A01H501U");
}

TEST_F(ControllaDatiElabTest, MaximumAbove1000IsAQuestion) {
    struct Caso {
        const char* nome;
        int risposta;
        bool ok;
        int focus;
    };
    for (const Caso& k : {Caso{"confirmed", 1, true, 0}, Caso{"declined", 2, false, MaxAnagrafiche},
                          Caso{"closed", 0, false, MaxAnagrafiche}}) {
        SCOPED_TRACE(k.nome);
        dialoghi->mostrati.clear();
        dialoghi->risposte = {k.risposta};
        DatiRunDatiFat d = Valido();
        d.molteAnag = true;
        d.maxAnagrafiche = "1001";
        const EsitoControllo e = ControllaDatiElab(d);
        EXPECT_EQ(e.ok, k.ok);
        EXPECT_EQ(e.focus, k.focus);
        ASSERT_EQ(dialoghi->mostrati.size(), 1);
        EXPECT_EQ(dialoghi->mostrati.first().testo,
                  "Numero mssimo anagrafiche superiore a quello consentito: confermare ugualmente");
        EXPECT_EQ(dialoghi->mostrati.first().bottoni, (QStringList{"&Ok", "&Annulla"}));
    }
}

TEST(RegoleCampiDatiFat, YearNumberOfficeAndSendRules) {
    struct Caso {
        const char* nome;
        std::optional<ErroreCampo> esito;
        std::optional<ErroreCampo> atteso;
    };
    const ErroreCampo anno{Anno, "Anno comunicazione non valido"};
    const ErroreCampo numero{Numero, "Numero comunicazione non valido"};
    const ErroreCampo invio{NumInvio, "Numero invio non valido"};
    const std::vector<Caso> casi = {
        {"2016 with a number marks the year", RegolaAnnoNumero(2016, 1), anno},
        {"2016 without number: left to the run", RegolaAnnoNumero(2016, 0), std::nullopt},
        {"2017/2 passes", RegolaAnnoNumero(2017, 2), std::nullopt},
        {"2017/3 marks the number", RegolaAnnoNumero(2017, 3), numero},
        {"2018/12 passes", RegolaAnnoNumero(2018, 12), std::nullopt},
        {"2018/13 marks the number", RegolaAnnoNumero(2018, 13), numero},
        {"office 12 passes", RegolaCodiceCarica("12"), std::nullopt},
        {"office 123", RegolaCodiceCarica("123"), ErroreCampo{CaricaDichiarante, "Codice carica non valido"}},
        {"send 0 passes", RegolaNumeroInvio(NumInvio, 0), std::nullopt},
        {"send 9 passes", RegolaNumeroInvio(NumInvio, 9), std::nullopt},
        {"send 10", RegolaNumeroInvio(NumInvio, 10), invio},
        {"send -1", RegolaNumeroInvio(NumInvio, -1), invio},
        {"send to cancel 10", RegolaNumeroInvio(InvioCanc, 10), ErroreCampo{InvioCanc, "Numero invio non valido"}},
    };
    for (const Caso& k : casi) {
        SCOPED_TRACE(k.nome);
        EXPECT_EQ(k.esito.has_value(), k.atteso.has_value());
        if (k.esito && k.atteso) {
            EXPECT_EQ(k.esito->indice, k.atteso->indice);
            EXPECT_EQ(k.esito->messaggio, k.atteso->messaggio);
        }
    }
}

}  // namespace
