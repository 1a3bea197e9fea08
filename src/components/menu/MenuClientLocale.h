#pragma once
// The real link with the menu program: a local socket to the menu's server,
// named from the menu key. Calls are synchronous (request, then wait for the
// matching answer); the menu's commands are delivered one at a time on the
// user-interface thread from the event loop, never inside a call, and their
// answers sent back. When the link drops without ChiudiCollegamento, the
// handler of a lost link runs from the event loop.
#include "components/menu/MenuClient.h"

#include <QHash>
#include <QJsonArray>
#include <QJsonObject>
#include <QJsonValue>
#include <QLocalSocket>
#include <QObject>
#include <memory>

class MenuClientLocale : public QObject, public MenuClient {
    Q_OBJECT
public:
    // attesaMs: how long a call waits for the menu's answer.
    explicit MenuClientLocale(int attesaMs = 10000, QObject* parent = nullptr);
    ~MenuClientLocale() override;

    // Connects to the menu of that key; raises ErroreRun when none is listening.
    void RegistraProgramma(const QString& chiaveMenu, const QString& chiavePrg,
                           const QString& paramAgg) override;
    InfoLancio LeggiInfoLancio() override;
    QString FileImpostazioni() override;
    Valore LeggiValoreSess(const QString& nome) override;
    void ScriviValoreSess(const QString& nome, const Valore& valore) override;
    std::optional<QList<Valore>> ParamDbMenu(const QString& sql, const QString& colonne) override;
    QDate LeggiDataLavoro() override;
    QString NomeTerminale() override;
    void AttivaProgramma(const QString& keySec) override;
    void RegistraForm(const QString& caption, const QString& nomeForm, const QString& keySec) override;
    void FormChiusa(const QString& keySec) override;
    void RitornaAChiamante(const QString& key, const QString& keySec, const QString& param) override;
    void MostraMenu(const QString& chi) override;
    void ChiudiCollegamento() override;
    Valore ComandoMenu(const QString& comando, const QString& chi, Valore& parametro) override;
    RispostaRimandata RimandaRisposta() override;

    bool Collegato() const { return socket_.state() == QLocalSocket::ConnectedState; }

private:
    // attendeUtente: the menu asks the user first; the call waits as long as the link lasts.
    QJsonValue Chiama(const QString& op, const QJsonArray& args, bool attendeUtente = false);
    void LeggiDati();
    void ConsegnaComandi();
    void Scrivi(const QJsonObject& messaggio);
    void Scollega();
    void Scollegato();

    QLocalSocket socket_;
    QByteArray buffer_;
    int attesaMs_;
    qint64 prossimoId_ = 1;
    QHash<qint64, QJsonObject> risposte_;
    QList<QJsonObject> comandi_;
    bool inChiamata_ = false;
    bool inComando_ = false;
    bool chiudiDopoRisposta_ = false;
    bool rimandata_ = false;  // the command being handled is answered later
    bool chiusuraVoluta_ = false;  // the link ends because the program said so
    // The command being handled, so that a link released inside it still answers.
    qint64 comandoCorrente_ = 0;
    Valore* ritCorrente_ = nullptr;
    std::shared_ptr<bool> vivo_ = std::make_shared<bool>(true);
};
