#pragma once
// The wire of the link between the program and the menu: one JSON object per
// line (UTF-8, ending in '\n'), both ways, over a local socket named from the
// menu's key.
//
//   program -> menu  {"id":n,"op":"LeggiValoreSess","args":[...]}
//   menu -> program  {"id":n,"ok":true,"val":...}
//                    {"id":n,"ok":false,"num":429,"desc":"..."}
//   menu -> program  {"cmd":n,"op":"EseguiComando","args":[idMenu,keySec,com,param]}
//   program -> menu  {"cmd":n,"val":...}   or {"cmd":n,"ok":false,"num":..,"desc":".."}
//
// Values: empty {}, null, true/false, whole numbers as JSON integers, decimal
// numbers as {"doppio":x} (so that 2.0 stays a decimal), dates as
// {"data":"yyyy-MM-dd"}, texts as strings, arrays as JSON arrays.
#include "components/core/Valore.h"

#include <QByteArray>
#include <QJsonArray>
#include <QJsonObject>
#include <QJsonValue>
#include <QList>
#include <QString>

namespace ProtocolloMenu {

// Error number of a menu that is not running or does not answer.
constexpr long NumMenuAssente = 429;

// Name of the menu's local socket for a menu key: "comiva-menu-" and the key
// with every character outside letters, digits, '-' and '_' turned into '_',
// inside the user's private run-time folder (XDG_RUNTIME_DIR, else the folder
// "comiva-<uid>" under the temporary folder, mode 0700), so that another
// user's menu with the same key is a different socket and nobody else can
// reach or remove this one.
QString NomeSocket(const QString& chiaveMenu);
// The lock file that the menu serving a key holds for its whole life: beside
// the socket, the socket name and ".lock".
QString NomeBloccoMenu(const QString& chiaveMenu);

QJsonValue ValoreInJson(const Valore& v);
Valore ValoreDaJson(const QJsonValue& j);

// The line of a message, '\n' included.
QByteArray Riga(const QJsonObject& messaggio);
// Takes every complete line out of the buffer and returns the objects they
// hold; a line that is not a JSON object is dropped.
QList<QJsonObject> EstraiMessaggi(QByteArray& buffer);

QJsonObject Richiesta(qint64 id, const QString& op, const QJsonArray& args);
QJsonObject Risposta(qint64 id, const Valore& val);
QJsonObject RispostaErrore(qint64 id, long num, const QString& desc);
QJsonObject Comando(qint64 n, const QString& idMenu, const QString& keySec, const QString& com,
                    const Valore& param);
QJsonObject RispostaComando(qint64 n, const Valore& val);
QJsonObject RispostaComandoErrore(qint64 n, long num, const QString& desc);

}  // namespace ProtocolloMenu
