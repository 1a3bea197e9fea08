#pragma once
// The standard error text, and the error boxes that show it in the
// platform's message box and in the menu's.
#include "components/core/Valore.h"

#include <QString>
#include <functional>
#include <optional>

class ErroreRun;

// Where the error's source goes when the description is taken from the error.
enum class OrigineErrore {
    DopoDescrizione,  // description + " - " + source
    InveceDescrizione // the source alone; the description only when there is no source
};

// psMsgAggPri + "Errore(" + number + "): " + description + psMsgAggDop.
// A description or number not given is taken from the error (none: "" and 0).
QString TestoErrore(const ErroreRun* errore, const std::optional<Valore>& pvError,
                    const std::optional<Valore>& pverr, const QString& psMsgAggPri,
                    const QString& psMsgAggDop, OrigineErrore origine = OrigineErrore::DopoDescrizione);

// The text in the standard message box (exclamation, OK) under the
// application's title; returns the box's answer.
int MsgErrore(const ErroreRun& errore, const QString& prima = {}, const QString& dopo = {});
int MsgErrore(const Valore& descrizione, const Valore& numero, const QString& prima = {}, const QString& dopo = {});

// The text in the menu program's box; then the connection splash goes.
void MsgErroreMenu(const ErroreRun& errore, const QString& prima = {}, const QString& dopo = {});
void MsgErroreMenu(const Valore& descrizione, const Valore& numero, const QString& prima = {},
                   const QString& dopo = {});

// The form that owns the connection splash registers how to unload it.
void ImpostaScaricaFrmConn(std::function<void()> scarica);
