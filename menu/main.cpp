// The menu stand-in: starts the program and drives it as the suite's menu
// would, from its window or from its standard input.
//
//   menuqor --ini <valori.ini> [--nogui] [--avvia <form>]
//
// --ini     the menu's values (see ConfigMenu.h); required
// --nogui   no window (the offscreen platform unless QT_QPA_PLATFORM says otherwise)
// --avvia   choose that entry at once, as a click on it would
//
// Standard input, one line each:
//   avvia <form>          choose an entry: start the program on that form, or
//                         send "attiva"/"passaa" to the running program
//   attiva [<form>]       launch information "/F <form>", then "attiva" with <form> as key
//   passaa <form>         "passaa" with <form> as parameter and as key
//   <comando> [<param>]   any other command ("fine", "esiste", "ritornoa X",
//                         "preppassaa", "keyprgprim", "FEInvio [0,0,0,\"\",0,0,3]"...);
//                         a parameter that reads as JSON is sent as that value
//                         (an array stays an array), otherwise as text
//   esci                  end the menu; a running program is sent "fine" first, and
//                         a refusal (its answer is printed) keeps both running
//   credenziali <login> <password>
//   annulla               without a window: the answer to the menu's question for
//                         the SQL login (line "ChiediPwdSql"); typed before the
//                         question, it waits for it. With the window a box asks.
//
// Standard output, one line each (values in JSON):
//   pronto <chiave menu>                 listening
//   avvio [<programma>, <switches>...]   the program is being started
//   programma avviato <pid>              its process is running
//   risposta <comando>: <valore>         the program's answer, e.g. risposta fine: ""
//   errore <comando>: <num> <testo>      the program failed the command
//   errore <comando>: programma non collegato
//   <Operazione>[: <argomenti>]          the program's notable calls: RegistraProgramma,
//                                        RegistraForm, FormChiusa, AttivaProgramma,
//                                        RitornaAChiamante, MostraMenu, ChiudiCollegamento,
//                                        ScriviValoreSess, MsgBox, TastiCtrl, ChiediPwdSql
//   credenziali SQL: <login>|annullato   the user answered the question for the SQL login
//   collegamento chiuso
//   programma terminato <codice di uscita>
//
// A second menu on a key that a live menu serves is refused: the reason goes
// to the error stream (and a message box with the window) and it exits with 1.
//
// Without a window the menu also ends when its input is closed and the program
// is not running; with the window, closing it works as "esci".
#include "ConfigMenu.h"
#include "FinestraMenu.h"
#include "ServerMenu.h"

#include "components/menu/ProtocolloMenu.h"
#include "components/platform/TraduzioniQt.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QJsonDocument>
#include <QMessageBox>
#include <QSocketNotifier>
#include <cstdio>
#include <memory>
#include <unistd.h>

namespace {

void Scrivi(const QString& riga) {
    std::fputs((riga + QLatin1Char('\n')).toUtf8().constData(), stdout);
    std::fflush(stdout);
}

// A parameter typed on a line: JSON when it reads as JSON, text otherwise.
Valore Parametro(const QString& testo) {
    if (testo.isEmpty()) return QString();
    const QJsonDocument doc = QJsonDocument::fromJson(("[" + testo + "]").toUtf8());
    if (doc.isArray() && doc.array().size() == 1) return ProtocolloMenu::ValoreDaJson(doc.array().at(0));
    return testo;
}

}  // namespace

int main(int argc, char* argv[]) {
    bool senzaFinestra = false;
    for (int i = 1; i < argc; ++i)
        if (qstrcmp(argv[i], "--nogui") == 0) senzaFinestra = true;
    if (senzaFinestra && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");

    QApplication app(argc, argv);
    CaricaTraduzioniQt(app);
    QCommandLineParser opzioni;
    opzioni.addOption({QStringLiteral("ini"), QStringLiteral("Valori del menu."), QStringLiteral("file")});
    opzioni.addOption({QStringLiteral("nogui"), QStringLiteral("Senza finestra.")});
    opzioni.addOption({QStringLiteral("avvia"), QStringLiteral("Voce scelta all'avvio."), QStringLiteral("form")});
    opzioni.process(app);
    if (!opzioni.isSet(QStringLiteral("ini"))) {
        std::fputs("uso: menuqor --ini <valori.ini> [--nogui] [--avvia <form>]\n", stderr);
        return 2;
    }
    ConfigMenu cfg;
    QString errore;
    if (!ConfigMenu::Leggi(opzioni.value(QStringLiteral("ini")), cfg, errore)) {
        std::fputs((errore + QLatin1Char('\n')).toUtf8().constData(), stderr);
        return 2;
    }

    ServerMenu server(cfg);
    QObject::connect(&server, &ServerMenu::Uscita, &Scrivi);
    // Before the window: a menu refused its key shows only why.
    if (!server.Avvia(errore)) {
        std::fputs((errore + QLatin1Char('\n')).toUtf8().constData(), stderr);
        if (!senzaFinestra) QMessageBox::critical(nullptr, QStringLiteral("Menu"), errore);
        return 1;
    }
    std::unique_ptr<FinestraMenu> finestra;
    if (!senzaFinestra) {
        finestra = std::make_unique<FinestraMenu>(server);
        QObject::connect(&server, &ServerMenu::MostraMenuRichiesto, finestra.get(), &FinestraMenu::InPrimoPiano);
        QObject::connect(&server, &ServerMenu::MessaggioMenu, finestra.get(), &FinestraMenu::MostraMessaggio);
        finestra->show();
    }
    app.setQuitOnLastWindowClosed(false);
    // exit, not quit: quit would ask the window, whose closing asks the menu to end.
    QObject::connect(&server, &ServerMenu::FineMenu, &app, [] { QCoreApplication::exit(0); }, Qt::QueuedConnection);

    bool ingressoChiuso = false;
    auto forseFine = [&] {
        if (senzaFinestra && ingressoChiuso && !server.ProgrammaInCorso()) QCoreApplication::exit(0);
    };
    QObject::connect(&server, &ServerMenu::ProgrammaTerminato, &app, forseFine, Qt::QueuedConnection);

    // Without a window the SQL login comes from the input; with nobody left
    // to type it, the question is given up.
    QList<std::optional<ServerMenu::CredenzialiSql>> credenzialiDigitate;
    auto rispondiCredenziali = [&] {
        if (!senzaFinestra || !server.CredenzialiSqlInAttesa()) return;
        if (!credenzialiDigitate.isEmpty()) server.RispondiCredenzialiSql(credenzialiDigitate.takeFirst());
        else if (ingressoChiuso) server.RispondiCredenzialiSql(std::nullopt);
    };
    QObject::connect(&server, &ServerMenu::CredenzialiSqlRichieste, &app, rispondiCredenziali);

    auto eseguiRiga = [&](const QString& riga) {
        const QString t = riga.trimmed();
        if (t.isEmpty()) return;
        const int spazio = t.indexOf(QLatin1Char(' '));
        const QString com = spazio < 0 ? t : t.left(spazio);
        const QString resto = spazio < 0 ? QString() : t.mid(spazio + 1).trimmed();
        auto e = [&](const char* nome) { return com.compare(QLatin1String(nome), Qt::CaseInsensitive) == 0; };
        if (e("esci")) {
            server.Esci();
        } else if (senzaFinestra && e("credenziali")) {
            const int blank = resto.indexOf(QLatin1Char(' '));
            credenzialiDigitate << ServerMenu::CredenzialiSql{blank < 0 ? resto : resto.left(blank),
                                                             blank < 0 ? QString() : resto.mid(blank + 1)};
            rispondiCredenziali();
        } else if (senzaFinestra && e("annulla")) {
            credenzialiDigitate << std::nullopt;
            rispondiCredenziali();
        } else if (e("avvia")) {
            server.Scegli(resto);
        } else if (e("attiva")) {
            if (!resto.isEmpty()) server.ImpostaForm(resto);
            server.InviaComando(com, QString(), server.FormCorrente());
        } else {
            server.InviaComando(com, Parametro(resto), e("passaa") ? resto : QString());
        }
    };

    QByteArray ingresso;
    QSocketNotifier lettore(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&lettore, &QSocketNotifier::activated, &app, [&] {
        char blocco[4096];
        const ssize_t n = ::read(STDIN_FILENO, blocco, sizeof blocco);
        if (n <= 0) {
            lettore.setEnabled(false);
            ingressoChiuso = true;
            rispondiCredenziali();
            forseFine();
            return;
        }
        ingresso.append(blocco, n);
        for (qsizetype fine; (fine = ingresso.indexOf('\n')) >= 0;) {
            const QString riga = QString::fromUtf8(ingresso.left(fine));
            ingresso.remove(0, fine + 1);
            eseguiRiga(riga);
        }
    });

    if (opzioni.isSet(QStringLiteral("avvia"))) server.Scegli(opzioni.value(QStringLiteral("avvia")));
    return app.exec();
}
