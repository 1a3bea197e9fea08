#pragma once
// The menu's side of the link: the local server named from the menu key, the
// answers to the program's calls, the commands sent to it, and the program's
// process.
#include "ConfigMenu.h"
#include "DbMenu.h"

#include <QHash>
#include <QJsonArray>
#include <QJsonObject>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QObject>
#include <QPointer>
#include <QProcess>
#include <QSet>
#include <memory>
#include <optional>

class ServerMenu : public QObject {
    Q_OBJECT
public:
    explicit ServerMenu(const ConfigMenu& cfg, QObject* parent = nullptr);
    ~ServerMenu() override;

    // Starts listening; false with a message when a live menu already serves
    // the key (its socket is left alone) or the socket cannot be made.
    bool Avvia(QString& errore);

    // The six forms the menu offers, with the caption each entry shows.
    QList<QPair<QString, QString>> Voci() const;
    // Choosing an entry: starts the program on that form, or sends "attiva"
    // (form already registered under its key) or "passaa" to the running one.
    void Scegli(const QString& nomeForm);
    // Sends one command; its answer comes out as a line.
    void InviaComando(const QString& com, const Valore& param, const QString& keySec);

    // The form the launch information names ("/F form /H help"), and its key.
    void ImpostaForm(const QString& nomeForm);
    const QString& FormCorrente() const { return formCorrente_; }

    // Ends the menu: a linked program is asked to close first ("fine") and a
    // refusal keeps both running; the menu ends once the program has.
    void Esci();

    bool ProgrammaInCorso() const { return processo_.state() != QProcess::NotRunning; }

    // The program read "ChiediPwdSql": the menu asks the user for the SQL
    // login (CredenzialiSqlRichieste) and answers the program only once
    // RispondiCredenzialiSql comes: with a login and password, which become
    // "SqlLogin" and "SqlPwd", or without (Annulla: the values stay).
    struct CredenzialiSql {
        QString login;
        QString password;
    };
    void RispondiCredenzialiSql(const std::optional<CredenzialiSql>& credenziali);
    bool CredenzialiSqlInAttesa() const { return richiestaCredenziali_ != 0; }
    QString LoginSql() const;

signals:
    // One line for the standard output.
    void Uscita(const QString& testo);
    void MostraMenuRichiesto();
    void MessaggioMenu(const QString& testo);
    void ProgrammaTerminato();
    void FineMenu();
    void CredenzialiSqlRichieste();

private:
    void NuovaConnessione();
    void Leggi();
    QJsonObject Rispondi(const QJsonObject& richiesta);
    void Annota(const QString& op, const QJsonArray& args);

    ConfigMenu cfg_;
    DbMenu db_;
    QHash<QString, QString> didascalie_;
    std::unique_ptr<QLockFile> blocco_;
    QLocalServer server_;
    QPointer<QLocalSocket> programma_;
    QByteArray buffer_;
    QProcess processo_;
    qint64 prossimoComando_ = 1;
    QHash<qint64, QString> comandiInviati_;
    // Secondary keys with a form of the program open on them.
    QSet<QString> chiaviAperte_;
    QString osParam_;
    QString formCorrente_;
    qint64 comandoEsci_ = 0;  // the "fine" that Esci sent, while it waits
    bool esci_ = false;
    qint64 richiestaCredenziali_ = 0;  // the program's call waiting for the SQL login
};
