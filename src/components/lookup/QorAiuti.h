#pragma once
// The lookup-help library as the program drives it: decoding a code of a
// table into its description, the lookup list in which the user picks a row,
// its named settings, and the help manager whose events the program answers.
// QorAiutiSql is the library over the databases; QorAiutiFinto (AiutiFinti.h)
// is the scripted test double.
#include "components/core/Valore.h"

#include <QHash>
#include <QString>
#include <optional>

class GestoreDb;
class QWidget;

// The label text of a code that does not exist.
inline const QString TestoInesistente = QStringLiteral("** INESISTENTE **");

// Result codes of the decodings.
namespace EsitoDecod {
constexpr long Trovato = -1;       // the code exists
constexpr long Vuoto = 0;          // nothing to decode, or the list closed without a choice
constexpr long Inesistente = 1;    // the code (or the list's search) found nothing
}  // namespace EsitoDecod

// The text of a code box or description label (QLineEdit, QLabel or any
// widget with a "text" property).
QString TestoControllo(const QWidget* w);
void ImpostaTestoControllo(QWidget* w, const QString& testo);

// What the program answers to the help manager's events.
class RicevitoreAiuto {
public:
    virtual ~RicevitoreAiuto() = default;
    virtual void ClsMainMenuFrm() = 0;
    virtual void ClsPrepDecod(const QString& psId, const QString& psKeyBase, const QString& psCampo,
                              const Valore& pvValore, const Valore& pvSoloDecod, const Valore& pvSqlNoFiltro,
                              Valore& pvRitorno) = 0;
    virtual void LanciaKeyPrim(const QString& psLanciaKeyPrim) = 0;
    virtual void LanciaKeySec(const QString& psLanciaKeySec) = 0;
};

// The help manager: raises the events to the one subscriber.
class GestoreEventiAiuto {
public:
    void Sottoscrivi(RicevitoreAiuto* r) { ricevitore_ = r; }
    RicevitoreAiuto* Ricevitore() const { return ricevitore_; }

    void SollevaClsMainMenuFrm() {
        if (ricevitore_) ricevitore_->ClsMainMenuFrm();
    }
    // The program's answer; true when nobody answers.
    Valore SollevaClsPrepDecod(const QString& id, const QString& keyBase, const QString& campo,
                               const Valore& valore, const Valore& soloDecod, const Valore& sqlNoFiltro) {
        Valore ritorno(true);
        if (ricevitore_) ricevitore_->ClsPrepDecod(id, keyBase, campo, valore, soloDecod, sqlNoFiltro, ritorno);
        return ritorno;
    }
    void SollevaLanciaKeyPrim(const QString& k) {
        if (ricevitore_) ricevitore_->LanciaKeyPrim(k);
    }
    void SollevaLanciaKeySec(const QString& k) {
        if (ricevitore_) ricevitore_->LanciaKeySec(k);
    }

private:
    RicevitoreAiuto* ricevitore_ = nullptr;
};

// Named parameters of one of the library's objects (ovLeggiPar). A name never
// set reads as empty.
class ParametriAiuto {
public:
    Valore Leggi(const QString& nome) const { return valori_.value(nome.toLower()); }
    void Imposta(const QString& nome, const Valore& v) { valori_.insert(nome.toLower(), v); }

private:
    QHash<QString, Valore> valori_;
};

// The program's context handed to the library at start-up.
struct ContestoAiuti {
    GestoreDb* gestDb = nullptr;
    QString idDbase;    // company database
    QString idDbMenu;   // shared database
    long colNormale = 0x80000005;
    long colErrore = 255;
    QString tipoPrg;
    QString formatoData;
};

class QorAiuti {
public:
    virtual ~QorAiuti() = default;

    virtual void InizAiuti(const ContestoAiuti& contesto) { contesto_ = contesto; }
    const ContestoAiuti& Contesto() const { return contesto_; }

    GestoreEventiAiuto& GestoreAiuto() { return gestore_; }

    // Named settings ("PathDbMenu", "MostraImg").
    void ImpostaValore(const QString& nome, int tipo, const Valore& valore) {
        (void)tipo;
        valori_.Imposta(nome, valore);
    }
    Valore LeggiValore(const QString& nome) const { return valori_.Leggi(nome); }

    // The lookup-list form ("RetZeroRec": 1 returns at once when nothing is
    // found; "MostraImg") and its list component ("ForzaPassThrough",
    // "MargSopra", "MargSotto", "MargSin", "MargDestra").
    ParametriAiuto& FormListaAiuto() { return lista_; }
    ParametriAiuto& ComlinListaAiuto() { return comlin_; }
    // The parameter form ("CFHelpRic11", "CFHelpRic12") and its colour.
    ParametriAiuto& FormParametriAiuto() { return parametri_; }
    long olColBackOk = 0x80000005;

    // Opens the list of the table for the code box. keyCode 114 (F3) searches
    // by description, any other by code. scelta: non-zero when the user chose
    // a row (the box then holds its code, the label its description). Result
    // 1 with the label "** INESISTENTE **" when the search found nothing.
    virtual Valore ApriListaAiuto(const QString& tabella, QWidget* casella, QWidget* etichetta, int keyCode,
                                  QWidget* formAttiva, const std::optional<Valore>& tipo, int& scelta, int intero,
                                  const QString& colonne, const QString& filtro) = 0;
    // Writes the description, or "** INESISTENTE **", into the label; -1
    // when the code exists, 0 for an empty box, 1 when it does not exist.
    virtual Valore DecodificaCampo(const QString& tabella, QWidget* casella, QWidget* etichetta,
                                   const std::optional<Valore>& tipo, int intero1, const QString& testo,
                                   int intero2, const Valore& opzionale, const QString& filtro) = 0;
    // Shows the description column of the row whose key column holds the
    // box's value (tipoChiave: the value's type code, 8 text).
    virtual Valore DecodificaValore(const QString& tabella, const QString& colChiave, QWidget* casella,
                                    QWidget* etichetta, int flag, int intero, int tipoChiave,
                                    const QString& colDescr, const std::optional<Valore>& opz1,
                                    const std::optional<Valore>& opz2, const QString& filtro) = 0;

protected:
    ContestoAiuti contesto_;

private:
    GestoreEventiAiuto gestore_;
    ParametriAiuto valori_, lista_, comlin_, parametri_;
};
