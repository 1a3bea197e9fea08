#include "ServerMenu.h"

#include "components/core/ErroreRun.h"
#include "components/menu/MenuClient.h"
#include "components/menu/ProtocolloMenu.h"

#include <QJsonDocument>
#include <cstdio>
#include <utility>

using namespace ProtocolloMenu;

namespace {
const QStringList NomiForms = {
    QStringLiteral("FrmLiqIvaPre"), QStringLiteral("frmLiqIvaTest"), QStringLiteral("FrmLiqIvaXML"),
    QStringLiteral("FrmDatiFatPre"), QStringLiteral("frmDatiFatXml"), QStringLiteral("frmDatiFatGest"),
};

QString Json(const QJsonValue& v) {
    if (v.isArray()) return QString::fromUtf8(QJsonDocument(v.toArray()).toJson(QJsonDocument::Compact));
    if (v.isObject()) return QString::fromUtf8(QJsonDocument(v.toObject()).toJson(QJsonDocument::Compact));
    // A single value: wrapped in an array and unwrapped again.
    const QByteArray a = QJsonDocument(QJsonArray{v}).toJson(QJsonDocument::Compact);
    return QString::fromUtf8(a.mid(1, a.size() - 2));
}
}  // namespace

ServerMenu::ServerMenu(const ConfigMenu& cfg, QObject* parent)
    : QObject(parent), cfg_(cfg), db_(cfg.dbMenu), didascalie_(db_.Didascalie(cfg.chiavePrg)) {
    connect(&server_, &QLocalServer::newConnection, this, &ServerMenu::NuovaConnessione);
    // The program's own output goes to the menu's error stream, so that the
    // menu's standard output carries only its documented lines.
    processo_.setProcessChannelMode(QProcess::MergedChannels);
    connect(&processo_, &QProcess::readyReadStandardOutput, this, [this] {
        const QByteArray dati = processo_.readAllStandardOutput();
        std::fwrite(dati.constData(), 1, static_cast<size_t>(dati.size()), stderr);
        std::fflush(stderr);
    });
    connect(&processo_, &QProcess::finished, this, [this](int codice, QProcess::ExitStatus stato) {
        emit Uscita(QStringLiteral("programma terminato %1").arg(stato == QProcess::NormalExit ? codice : -1));
        chiaviAperte_.clear();
        emit ProgrammaTerminato();
        if (esci_) emit FineMenu();
    });
    connect(&processo_, &QProcess::started, this,
            [this] { emit Uscita(QStringLiteral("programma avviato %1").arg(processo_.processId())); });
    connect(&processo_, &QProcess::errorOccurred, this, [this](QProcess::ProcessError e) {
        if (e == QProcess::FailedToStart) {
            emit Uscita(QStringLiteral("programma non avviato: ") + processo_.errorString());
            emit ProgrammaTerminato();
        }
    });
}

ServerMenu::~ServerMenu() {
    // The link goes first, without its handlers: they use members gone by then.
    if (programma_) {
        programma_->disconnect(this);
        delete programma_;
    }
    // The program lives only under its menu.
    if (ProgrammaInCorso()) {
        processo_.terminate();
        if (!processo_.waitForFinished(3000)) processo_.kill();
        processo_.waitForFinished(1000);
    }
}

bool ServerMenu::Avvia(QString& errore) {
    const QString nome = NomeSocket(cfg_.chiaveMenu);
    // The lock says whether a live menu serves the key: only then may a socket
    // left by a menu that died be removed. Held until this menu ends.
    blocco_ = std::make_unique<QLockFile>(NomeBloccoMenu(cfg_.chiaveMenu));
    blocco_->setStaleLockTime(0);  // a live menu keeps its key however long it runs
    if (!blocco_->tryLock(0)) {
        errore = blocco_->error() == QLockFile::LockFailedError
                     ? QStringLiteral("Un altro menu è già in esecuzione con la chiave \"%1\".\n"
                                      "Chiuderlo oppure indicare un'altra chiave nella sezione [Menu] di %2.")
                           .arg(cfg_.chiaveMenu, cfg_.fileMenu)
                     : QStringLiteral("Impossibile riservare la chiave \"%1\" del menu (%2).")
                           .arg(cfg_.chiaveMenu, NomeBloccoMenu(cfg_.chiaveMenu));
        blocco_.reset();
        return false;
    }
    QLocalServer::removeServer(nome);
    server_.setSocketOptions(QLocalServer::UserAccessOption);
    if (!server_.listen(nome)) {
        errore = QStringLiteral("Impossibile attendere il programma su ") + nome + QStringLiteral(": ") +
                 server_.errorString();
        return false;
    }
    emit Uscita(QStringLiteral("pronto ") + cfg_.chiaveMenu);
    return true;
}

QList<QPair<QString, QString>> ServerMenu::Voci() const {
    QList<QPair<QString, QString>> voci;
    for (const QString& f : NomiForms) voci.append({f, didascalie_.value(f.toLower(), f)});
    return voci;
}

void ServerMenu::ImpostaForm(const QString& nomeForm) {
    formCorrente_ = nomeForm;
    osParam_ = QStringLiteral("/F ") + nomeForm;
    if (!cfg_.help.isEmpty()) osParam_ += QStringLiteral(" /H ") + cfg_.help;
}

void ServerMenu::Scegli(const QString& nomeForm) {
    const QString form = nomeForm.trimmed();
    if (programma_) {
        if (chiaviAperte_.contains(form.toLower())) {
            ImpostaForm(form);
            InviaComando(QStringLiteral("attiva"), QString(), form);
        } else {
            InviaComando(QStringLiteral("passaa"), form, form);
        }
        return;
    }
    if (ProgrammaInCorso()) {
        emit Uscita(QStringLiteral("errore avvia: programma in avvio"));
        return;
    }
    ImpostaForm(form);
    QStringList argomenti{QStringLiteral("/M"), cfg_.chiaveMenu, QStringLiteral("/P"),
                          cfg_.chiavePrg + QLatin1Char(' ') + form, QStringLiteral("/F"), form};
    if (!cfg_.switchI.isEmpty()) argomenti << QStringLiteral("/I") << cfg_.switchI;
    emit Uscita(QStringLiteral("avvio ") + Json(QJsonArray::fromStringList(QStringList{cfg_.programma} + argomenti)));
    processo_.start(cfg_.programma, argomenti);
}

void ServerMenu::InviaComando(const QString& com, const Valore& param, const QString& keySec) {
    if (!programma_) {
        emit Uscita(QStringLiteral("errore %1: programma non collegato").arg(com));
        return;
    }
    const qint64 n = prossimoComando_++;
    comandiInviati_.insert(n, com);
    programma_->write(Riga(Comando(n, cfg_.chiaveMenu, keySec, com, param)));
    programma_->flush();
}

void ServerMenu::Esci() {
    if (!ProgrammaInCorso()) {
        emit FineMenu();
        return;
    }
    if (comandoEsci_) return;
    esci_ = true;
    if (!programma_) {  // still starting: it has nothing to lose yet
        processo_.terminate();
        return;
    }
    comandoEsci_ = prossimoComando_;
    InviaComando(QStringLiteral("fine"), QString(), QString());
}

void ServerMenu::NuovaConnessione() {
    while (QLocalSocket* s = server_.nextPendingConnection()) {
        if (programma_) {  // one program per menu
            s->disconnectFromServer();
            s->deleteLater();
            continue;
        }
        programma_ = s;
        buffer_.clear();
        connect(s, &QLocalSocket::readyRead, this, &ServerMenu::Leggi);
        connect(s, &QLocalSocket::disconnected, this, [this, s] {
            emit Uscita(QStringLiteral("collegamento chiuso"));
            comandiInviati_.clear();
            comandoEsci_ = 0;
            richiestaCredenziali_ = 0;
            s->deleteLater();
        });
    }
}

void ServerMenu::Leggi() {
    if (!programma_) return;
    buffer_ += programma_->readAll();
    for (const QJsonObject& m : EstraiMessaggi(buffer_)) {
        if (m.contains(QStringLiteral("cmd"))) {
            const qint64 n = m.value(QStringLiteral("cmd")).toInteger();
            const QString com = comandiInviati_.take(n);
            if (n == comandoEsci_) {
                comandoEsci_ = 0;
                // Refused ("Maschera Modal", "No Chiudi"): the program stays, and so does the menu.
                if ((m.contains(QStringLiteral("ok")) && !m.value(QStringLiteral("ok")).toBool()) ||
                    !ValoreDaJson(m.value(QStringLiteral("val"))).testo().isEmpty())
                    esci_ = false;
            }
            if (m.contains(QStringLiteral("ok")) && !m.value(QStringLiteral("ok")).toBool())
                emit Uscita(QStringLiteral("errore %1: %2 %3").arg(com).arg(m.value(QStringLiteral("num")).toInteger())
                              .arg(m.value(QStringLiteral("desc")).toString()));
            else
                emit Uscita(QStringLiteral("risposta %1: %2").arg(com, Json(m.value(QStringLiteral("val")))));
            continue;
        }
        const QJsonObject r = Rispondi(m);
        if (programma_ && !r.isEmpty()) {
            programma_->write(Riga(r));
            programma_->flush();
        }
    }
}

void ServerMenu::Annota(const QString& op, const QJsonArray& args) {
    if (args.isEmpty()) emit Uscita(op);
    else emit Uscita(op + QStringLiteral(": ") + Json(args.size() == 1 ? args.at(0) : QJsonValue(args)));
}

QJsonObject ServerMenu::Rispondi(const QJsonObject& m) {
    const qint64 id = m.value(QStringLiteral("id")).toInteger();
    const QString op = m.value(QStringLiteral("op")).toString();
    const QJsonArray a = m.value(QStringLiteral("args")).toArray();
    const QString a0 = a.at(0).toString();
    try {
        if (op == QLatin1String("LeggiValoreSess")) {
            const QStringList parti = a0.split(QStringLiteral("§~"));
            if (parti.size() == 3 && parti[0].compare(QLatin1String("GetParamDbMenu"), Qt::CaseInsensitive) == 0) {
                const auto riga = db_.PrimaRiga(parti[1], parti[2]);
                return riga ? Risposta(id, *riga) : Risposta(id, QString());
            }
            if (a0.compare(QLatin1String("ChiediPwdSql"), Qt::CaseInsensitive) == 0) {
                // Answered when the user has answered.
                richiestaCredenziali_ = id;
                Annota(a0, {});
                emit CredenzialiSqlRichieste();
                return {};
            }
            const auto it = cfg_.valori.constFind(a0.toLower());
            if (it != cfg_.valori.constEnd()) return Risposta(id, *it);
            if (a0.startsWith(QLatin1String("Personal."), Qt::CaseInsensitive)) return Risposta(id, MarcatoreParPers);
            return Risposta(id, QString());
        }
        if (op == QLatin1String("InfoLancio"))
            return {{QStringLiteral("id"), id}, {QStringLiteral("ok"), true},
                    {QStringLiteral("val"), QJsonObject{{QStringLiteral("osParam"), osParam_},
                                                        {QStringLiteral("osChiLancia"), QString()},
                                                        {QStringLiteral("osKeySecLancia"), QString()},
                                                        {QStringLiteral("osParamLancia"), QString()},
                                                        {QStringLiteral("osTipoForm"), cfg_.tipoForm}}}};
        if (op == QLatin1String("FileImpostazioni")) return Risposta(id, cfg_.fileIni);
        if (op == QLatin1String("LeggiDataLavoro")) return Risposta(id, cfg_.dataLavoro);
        if (op == QLatin1String("NomeTerminale")) return Risposta(id, cfg_.terminale);
        if (op == QLatin1String("ScriviValoreSess")) {
            cfg_.valori.insert(a0.toLower(), ValoreDaJson(a.at(1)));
        } else if (op == QLatin1String("RegistraForm")) {
            chiaviAperte_.insert(a.at(2).toString().toLower());
        } else if (op == QLatin1String("FormChiusa")) {
            chiaviAperte_.remove(a0.toLower());
        } else if (op == QLatin1String("RegistraProgramma")) {
            chiaviAperte_.insert(a.at(2).toString().toLower());
        } else if (op == QLatin1String("AttivaProgramma")) {
            chiaviAperte_.insert(a0.toLower());
        } else if (op == QLatin1String("MostraMenu")) {
            emit MostraMenuRichiesto();
        } else if (op == QLatin1String("ComandoMenu")) {
            // "MsgBox" shows its text; no Ctrl key is taken ("TastiCtrl" answers "").
            Annota(a0, {a.at(2)});
            if (a0.compare(QLatin1String("MsgBox"), Qt::CaseInsensitive) == 0)
                emit MessaggioMenu(ValoreDaJson(a.at(2)).testo());
            return Risposta(id, QString());
        } else if (op != QLatin1String("RitornaAChiamante") && op != QLatin1String("ChiudiCollegamento")) {
            return RispostaErrore(id, NumErrore::OggettoInesistente, QStringLiteral("Operazione sconosciuta: ") + op);
        }
        Annota(op, a);
        return Risposta(id, QString());
    } catch (const ErroreRun& e) {
        return RispostaErrore(id, e.numero(), e.descrizione());
    }
}

QString ServerMenu::LoginSql() const { return cfg_.valori.value(QStringLiteral("sqllogin")).testo(); }

void ServerMenu::RispondiCredenzialiSql(const std::optional<CredenzialiSql>& credenziali) {
    const qint64 id = std::exchange(richiestaCredenziali_, 0);
    if (credenziali) {
        cfg_.valori.insert(QStringLiteral("sqllogin"), credenziali->login);
        cfg_.valori.insert(QStringLiteral("sqlpwd"), credenziali->password);
    }
    emit Uscita(credenziali ? QStringLiteral("credenziali SQL: ") + Json(credenziali->login)
                            : QStringLiteral("credenziali SQL: annullato"));
    if (id == 0 || !programma_) return;  // the program is gone meanwhile
    programma_->write(Riga(Risposta(id, QString())));
    programma_->flush();
}
