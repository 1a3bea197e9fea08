#pragma once
// The link with the suite's menu program, as the program calls it. The real
// client talks to the menu stand-in over a local socket; MenuClientFinto is
// the test double.
#include "components/core/Valore.h"

#include <QDate>
#include <QList>
#include <QString>
#include <functional>
#include <optional>

// Launch information that the menu hands over, read by member name.
struct InfoLancio {
    QString osParam;         // launch parameter: switches "H", "F", "RO"
    QString osChiLancia;     // key of the launching program
    QString osKeySecLancia;  // its secondary key
    QString osParamLancia;   // its parameter
    int osTipoForm = 0;      // window state of the first form
};

// Personal parameter that the menu does not know.
inline const QString MarcatoreParPers = QStringLiteral("§ç~$!^");

class MenuClient {
public:
    // The menu's command: key, secondary key, command, parameter, answer.
    using GestoreComando = std::function<void(const QString& psIdMenu, const QString& psKeySec,
                                              const QString& psCom, const Valore& pvParam,
                                              Valore& pvRitComando)>;

    virtual ~MenuClient() = default;

    // Raises ErroreRun when the menu is not running.
    virtual void RegistraProgramma(const QString& chiaveMenu, const QString& chiavePrg,
                                   const QString& paramAgg) = 0;
    virtual InfoLancio LeggiInfoLancio() = 0;
    virtual QString FileImpostazioni() = 0;
    // A named value; "" when absent. "Personal." + section + ".§" + key gives
    // the personal parameter or MarcatoreParPers.
    virtual Valore LeggiValoreSess(const QString& nome) = 0;
    virtual void ScriviValoreSess(const QString& nome, const Valore& valore) = 0;
    // First row of a query of the shared database, columns in list order;
    // nothing when there is no row.
    virtual std::optional<QList<Valore>> ParamDbMenu(const QString& sql, const QString& colonne) = 0;
    virtual QDate LeggiDataLavoro() = 0;
    virtual QString NomeTerminale() = 0;
    virtual void AttivaProgramma(const QString& keySec) = 0;
    virtual void RegistraForm(const QString& caption, const QString& nomeForm, const QString& keySec) = 0;
    virtual void FormChiusa(const QString& keySec) = 0;
    virtual void RitornaAChiamante(const QString& key, const QString& keySec, const QString& param) = 0;
    // Raises ErroreRun when the menu cannot be reached.
    virtual void MostraMenu(const QString& chi) = 0;
    virtual void ChiudiCollegamento() = 0;
    // "MsgBox" and "TastiCtrl"; returns the menu's answer.
    virtual Valore ComandoMenu(const QString& comando, const QString& chi, Valore& parametro) = 0;

    // Called inside the command handler by a program that runs the command
    // later: the answer then goes out through the function returned (once),
    // with numeroErrore 0 for a command done. nullptr where the link can
    // only answer when the handler returns.
    using RispostaRimandata = std::function<void(const Valore& valore, long numeroErrore, const QString& descrizione)>;
    virtual RispostaRimandata RimandaRisposta() { return nullptr; }

    void ImpostaGestoreComandi(GestoreComando g) { gestore_ = std::move(g); }
    bool HaGestoreComandi() const { return static_cast<bool>(gestore_); }
    // Called from the event loop when the link drops without ChiudiCollegamento
    // (the menu ended or crashed): the program cannot live without its menu.
    void ImpostaGestorePerdita(std::function<void()> g) { perdita_ = std::move(g); }

protected:
    // Raises the EseguiComando event on the program's side.
    void SollevaEseguiComando(const QString& idMenu, const QString& keySec, const QString& com,
                              const Valore& param, Valore& rit) {
        // A copy: the handler may release the link while it runs ("fine").
        GestoreComando g = gestore_;
        if (g) g(idMenu, keySec, com, param, rit);
    }

    void SollevaPerdita() {
        std::function<void()> g = perdita_;
        if (g) g();
    }

private:
    GestoreComando gestore_;
    std::function<void()> perdita_;
};
