#pragma once
// Sending a message with one attachment by the method the settings name:
// "E" and "C" over SMTP (libcurl: login, port, STARTTLS or implicit TLS),
// "S" through the system's `sendmail -t`, "O" handed to the desktop's mail
// program (xdg-email), which lets the user send it. The result tells a
// refused login apart from other failures, so that the caller can ask the
// login again. The password goes to the server only: no result text, no
// log line carries it. Tests replace the service (ImpostaServizioPosta) or
// point it at a local SMTP server.
#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <memory>

struct MessaggioPosta {
    QString mittente;      // "Name" <address>, or the address alone
    QString destinatario;  // one or more addresses separated by ";" or ","
    QString rispondiA;     // empty: none
    QString oggetto;
    QString testo;
    QString allegato;      // path of the file attached; empty: none
    bool notifica = false; // ask for a read receipt
};

struct ConfigPosta {
    QString metodo;        // "E", "C" SMTP, "S" sendmail, "O" desktop
    QString server;
    int porta = 0;         // 0: 465 with SSL, else 25
    QString login;
    QString password;
    bool ssl = false;      // 465: implicit TLS; any other port: STARTTLS required
    QString fileLog;       // each sending is noted here when not empty
};

enum class EsitoPosta { Inviato, LoginRifiutato, Errore };

struct RisultatoPosta {
    EsitoPosta esito = EsitoPosta::Errore;
    QString dettaglio;     // what went wrong, never the password
};

class ServizioPosta {
public:
    virtual ~ServizioPosta() = default;
    virtual RisultatoPosta Invia(const MessaggioPosta& m, const ConfigPosta& c);
};

// The bare address of "Name" <address>.
QString IndirizzoNudo(const QString& indirizzo);
// The recipients of a list separated by ";" or ",", bare.
QStringList Destinatari(const QString& elenco);
// The whole message in MIME form (CR LF lines, text and attachment in base64).
QByteArray ComponiMime(const MessaggioPosta& m, const QDateTime& data);

ServizioPosta& ggPosta();
// Replaces the service (tests); nullptr goes back to the real one.
void ImpostaServizioPosta(std::shared_ptr<ServizioPosta> s);
