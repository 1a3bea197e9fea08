#include "components/menu/MenuClientLocale.h"

#include "components/core/ErroreRun.h"
#include "components/menu/ProtocolloMenu.h"

#include <QDeadlineTimer>
#include <QMetaObject>

using namespace ProtocolloMenu;

namespace {
const QString Origine = QStringLiteral("MenuClient");

ErroreRun MenuAssente() {
    return ErroreRun(NumMenuAssente, QStringLiteral("Il menu principale non è in esecuzione"), Origine);
}
}  // namespace

MenuClientLocale::MenuClientLocale(int attesaMs, QObject* parent) : QObject(parent), attesaMs_(attesaMs) {
    connect(&socket_, &QLocalSocket::readyRead, this, &MenuClientLocale::LeggiDati);
    // Queued: the drop may be seen inside a call that is waiting, and the
    // handler closes the program, which must not happen under that call.
    connect(&socket_, &QLocalSocket::disconnected, this, &MenuClientLocale::Scollegato, Qt::QueuedConnection);
}

MenuClientLocale::~MenuClientLocale() {
    *vivo_ = false;
    // Released while a command runs ("fine"): the menu still gets its answer.
    if (inComando_ && ritCorrente_ && !rimandata_) Scrivi(RispostaComando(comandoCorrente_, *ritCorrente_));
    Scollega();
}

void MenuClientLocale::Scrivi(const QJsonObject& messaggio) {
    if (!Collegato()) return;
    socket_.write(Riga(messaggio));
    socket_.flush();
}

void MenuClientLocale::Scollegato() {
    if (chiusuraVoluta_) return;
    chiusuraVoluta_ = true;  // once
    comandi_.clear();
    SollevaPerdita();
}

void MenuClientLocale::Scollega() {
    chiusuraVoluta_ = true;
    if (socket_.state() == QLocalSocket::UnconnectedState) return;
    socket_.flush();
    socket_.disconnectFromServer();
    if (socket_.state() != QLocalSocket::UnconnectedState) socket_.waitForDisconnected(1000);
}

void MenuClientLocale::LeggiDati() {
    buffer_ += socket_.readAll();
    for (const QJsonObject& m : EstraiMessaggi(buffer_)) {
        if (m.contains(QStringLiteral("cmd")))
            comandi_ << m;
        else if (m.contains(QStringLiteral("id")))
            risposte_.insert(m.value(QStringLiteral("id")).toInteger(), m);
    }
    ConsegnaComandi();
}

void MenuClientLocale::ConsegnaComandi() {
    if (inChiamata_ || inComando_) return;
    const std::shared_ptr<bool> vivo = vivo_;
    while (!comandi_.isEmpty() && Collegato()) {
        const QJsonObject m = comandi_.takeFirst();
        const qint64 n = m.value(QStringLiteral("cmd")).toInteger();
        const QJsonArray a = m.value(QStringLiteral("args")).toArray();
        Valore rit = QString();
        inComando_ = true;
        rimandata_ = false;
        comandoCorrente_ = n;
        ritCorrente_ = &rit;
        QJsonObject risposta;
        try {
            SollevaEseguiComando(a.at(0).toString(), a.at(1).toString(), a.at(2).toString(),
                                 ValoreDaJson(a.at(3)), rit);
            risposta = RispostaComando(n, rit);
        } catch (const ErroreRun& e) {
            risposta = RispostaComandoErrore(n, e.numero(), e.descrizione());
        } catch (const std::exception& e) {
            risposta = RispostaComandoErrore(n, 0, QString::fromLocal8Bit(e.what()));
        }
        if (!*vivo) return;  // the link was released inside the command and has answered
        inComando_ = false;
        ritCorrente_ = nullptr;
        if (!rimandata_) Scrivi(risposta);
        rimandata_ = false;
        if (chiudiDopoRisposta_) {
            chiudiDopoRisposta_ = false;
            comandi_.clear();
            Scollega();
        }
    }
}

QJsonValue MenuClientLocale::Chiama(const QString& op, const QJsonArray& args, bool attendeUtente) {
    if (!Collegato()) throw MenuAssente();
    const qint64 id = prossimoId_++;
    Scrivi(Richiesta(id, op, args));
    const bool eraInChiamata = inChiamata_;
    inChiamata_ = true;
    QDeadlineTimer scadenza(attendeUtente ? QDeadlineTimer(QDeadlineTimer::Forever) : QDeadlineTimer(attesaMs_));
    while (!risposte_.contains(id)) {
        if (!Collegato() || scadenza.hasExpired()) {
            inChiamata_ = eraInChiamata;
            throw ErroreRun(NumMenuAssente, QStringLiteral("Il menu non risponde"), Origine);
        }
        socket_.waitForReadyRead(scadenza.isForever() ? -1 : static_cast<int>(qMax<qint64>(1, scadenza.remainingTime())));
        if (socket_.bytesAvailable() > 0) LeggiDati();
    }
    inChiamata_ = eraInChiamata;
    const QJsonObject r = risposte_.take(id);
    // Commands that came in while waiting go out from the event loop.
    if (!comandi_.isEmpty() && !inChiamata_)
        QMetaObject::invokeMethod(this, &MenuClientLocale::ConsegnaComandi, Qt::QueuedConnection);
    if (!r.value(QStringLiteral("ok")).toBool())
        throw ErroreRun(r.value(QStringLiteral("num")).toInteger(), r.value(QStringLiteral("desc")).toString(),
                        Origine);
    return r.value(QStringLiteral("val"));
}

void MenuClientLocale::RegistraProgramma(const QString& chiaveMenu, const QString& chiavePrg,
                                         const QString& paramAgg) {
    if (!Collegato()) {
        chiusuraVoluta_ = false;
        socket_.connectToServer(NomeSocket(chiaveMenu));
        if (!socket_.waitForConnected(attesaMs_)) {
            chiusuraVoluta_ = true;
            socket_.abort();
            throw MenuAssente();
        }
    }
    Chiama(QStringLiteral("RegistraProgramma"), {chiaveMenu, chiavePrg, paramAgg});
}

InfoLancio MenuClientLocale::LeggiInfoLancio() {
    const QJsonObject o = Chiama(QStringLiteral("InfoLancio"), {}).toObject();
    InfoLancio info;
    info.osParam = o.value(QStringLiteral("osParam")).toString();
    info.osChiLancia = o.value(QStringLiteral("osChiLancia")).toString();
    info.osKeySecLancia = o.value(QStringLiteral("osKeySecLancia")).toString();
    info.osParamLancia = o.value(QStringLiteral("osParamLancia")).toString();
    info.osTipoForm = o.value(QStringLiteral("osTipoForm")).toInt();
    return info;
}

QString MenuClientLocale::FileImpostazioni() {
    return ValoreDaJson(Chiama(QStringLiteral("FileImpostazioni"), {})).testo();
}

Valore MenuClientLocale::LeggiValoreSess(const QString& nome) {
    // The menu answers "ChiediPwdSql" once the user has typed the login:
    // however long that takes, only a lost link ends the wait.
    const bool attendeUtente = nome.compare(QLatin1String("ChiediPwdSql"), Qt::CaseInsensitive) == 0;
    return ValoreDaJson(Chiama(QStringLiteral("LeggiValoreSess"), {nome}, attendeUtente));
}

void MenuClientLocale::ScriviValoreSess(const QString& nome, const Valore& valore) {
    Chiama(QStringLiteral("ScriviValoreSess"), {nome, ValoreInJson(valore)});
}

std::optional<QList<Valore>> MenuClientLocale::ParamDbMenu(const QString& sql, const QString& colonne) {
    const QString sep = QStringLiteral("§~");
    const QJsonValue v = Chiama(QStringLiteral("LeggiValoreSess"),
                                {QStringLiteral("GetParamDbMenu") + sep + sql + sep + colonne});
    if (!v.isArray()) return std::nullopt;
    return ValoreDaJson(v).lista();
}

QDate MenuClientLocale::LeggiDataLavoro() {
    return ValoreDaJson(Chiama(QStringLiteral("LeggiDataLavoro"), {})).data();
}

QString MenuClientLocale::NomeTerminale() {
    return ValoreDaJson(Chiama(QStringLiteral("NomeTerminale"), {})).testo();
}

void MenuClientLocale::AttivaProgramma(const QString& keySec) {
    Chiama(QStringLiteral("AttivaProgramma"), {keySec});
}

void MenuClientLocale::RegistraForm(const QString& caption, const QString& nomeForm, const QString& keySec) {
    Chiama(QStringLiteral("RegistraForm"), {caption, nomeForm, keySec});
}

void MenuClientLocale::FormChiusa(const QString& keySec) {
    Chiama(QStringLiteral("FormChiusa"), {keySec});
}

void MenuClientLocale::RitornaAChiamante(const QString& key, const QString& keySec, const QString& param) {
    Chiama(QStringLiteral("RitornaAChiamante"), {key, keySec, param});
}

void MenuClientLocale::MostraMenu(const QString& chi) {
    Chiama(QStringLiteral("MostraMenu"), {chi});
}

void MenuClientLocale::ChiudiCollegamento() {
    chiusuraVoluta_ = true;
    if (!Collegato()) return;
    try {
        Chiama(QStringLiteral("ChiudiCollegamento"), {});
    } catch (const ErroreRun&) {
        // The menu is gone already: the link is over either way.
    }
    // Inside a command ("fine") the answer still has to go out first.
    if (inComando_)
        chiudiDopoRisposta_ = true;
    else
        Scollega();
}

MenuClient::RispostaRimandata MenuClientLocale::RimandaRisposta() {
    if (!inComando_) return nullptr;
    rimandata_ = true;
    const qint64 n = comandoCorrente_;
    const std::shared_ptr<bool> vivo = vivo_;
    return [this, vivo, n](const Valore& valore, long numero, const QString& descrizione) {
        if (!*vivo) return;  // the link is gone, and the menu with it
        Scrivi(numero == 0 ? RispostaComando(n, valore) : RispostaComandoErrore(n, numero, descrizione));
    };
}

Valore MenuClientLocale::ComandoMenu(const QString& comando, const QString& chi, Valore& parametro) {
    return ValoreDaJson(Chiama(QStringLiteral("ComandoMenu"), {comando, chi, ValoreInJson(parametro)}));
}
