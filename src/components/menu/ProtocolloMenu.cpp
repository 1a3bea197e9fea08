#include "components/menu/ProtocolloMenu.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QStandardPaths>

#include <sys/stat.h>
#include <unistd.h>

namespace {

// A folder that is the user's own and that nobody else may enter.
bool cartellaDelUtente(const QByteArray& percorso) {
    struct stat st {};
    return ::lstat(percorso.constData(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::getuid() &&
           (st.st_mode & 077) == 0;
}

// The session's run-time folder; without one, a folder of the user's own
// under the temporary folder, made private. Qt's own choice (which also
// complains on the error stream) when that name is taken by somebody else.
QString CartellaPrivata() {
    const QByteArray sessione = qgetenv("XDG_RUNTIME_DIR");
    if (!sessione.isEmpty() && cartellaDelUtente(sessione)) return QFile::decodeName(sessione);
    const QString propria = QDir::tempPath() + QStringLiteral("/comiva-%1").arg(::getuid());
    const QByteArray p = QFile::encodeName(propria);
    ::mkdir(p.constData(), 0700);
    if (cartellaDelUtente(p)) return propria;
    const QString qt = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    return qt.isEmpty() ? QDir::tempPath() : qt;
}

}  // namespace

namespace ProtocolloMenu {

QString NomeSocket(const QString& chiaveMenu) {
    QString chiave = chiaveMenu.trimmed();
    for (QChar& c : chiave)
        if (!(c.isLetterOrNumber() && c.unicode() < 128) && c != QLatin1Char('-') && c != QLatin1Char('_'))
            c = QLatin1Char('_');
    return CartellaPrivata() + QStringLiteral("/comiva-menu-") + chiave;
}

QString NomeBloccoMenu(const QString& chiaveMenu) { return NomeSocket(chiaveMenu) + QStringLiteral(".lock"); }

QJsonValue ValoreInJson(const Valore& v) {
    switch (v.tipo()) {
    case TipoValore::Vuoto: return QJsonObject();
    case TipoValore::Null: return QJsonValue(QJsonValue::Null);
    case TipoValore::Booleano: return v.booleano();
    case TipoValore::Intero: return static_cast<qint64>(v.intero());
    case TipoValore::Doppio: return QJsonObject{{QStringLiteral("doppio"), v.numero()}};
    case TipoValore::Data:
        return QJsonObject{{QStringLiteral("data"), v.data().toString(QStringLiteral("yyyy-MM-dd"))}};
    case TipoValore::Testo: return v.testo();
    case TipoValore::Lista: {
        QJsonArray a;
        for (const Valore& e : v.lista()) a.append(ValoreInJson(e));
        return a;
    }
    }
    return QJsonObject();
}

Valore ValoreDaJson(const QJsonValue& j) {
    switch (j.type()) {
    case QJsonValue::Null: return Valore::null();
    case QJsonValue::Bool: return j.toBool();
    case QJsonValue::String: return j.toString();
    case QJsonValue::Double: {
        // A plain number is whole when it can be: a script writes 2 for 2.
        const qint64 i = j.toInteger(0);
        if (i == j.toInteger(1)) return static_cast<long long>(i);
        return j.toDouble();
    }
    case QJsonValue::Array: {
        ListaValori l;
        for (const QJsonValue& e : j.toArray()) l << ValoreDaJson(e);
        return l;
    }
    case QJsonValue::Object: {
        const QJsonObject o = j.toObject();
        if (o.contains(QStringLiteral("doppio"))) return o.value(QStringLiteral("doppio")).toDouble();
        if (o.contains(QStringLiteral("data"))) {
            const QString t = o.value(QStringLiteral("data")).toString();
            if (t.isEmpty()) return QDate();
            return QDate::fromString(t, QStringLiteral("yyyy-MM-dd"));
        }
        return Valore();
    }
    case QJsonValue::Undefined: return Valore();
    }
    return Valore();
}

QByteArray Riga(const QJsonObject& messaggio) {
    return QJsonDocument(messaggio).toJson(QJsonDocument::Compact) + '\n';
}

QList<QJsonObject> EstraiMessaggi(QByteArray& buffer) {
    QList<QJsonObject> messaggi;
    qsizetype inizio = 0;
    for (qsizetype fine; (fine = buffer.indexOf('\n', inizio)) >= 0; inizio = fine + 1) {
        const QByteArray riga = buffer.mid(inizio, fine - inizio).trimmed();
        if (riga.isEmpty()) continue;
        QJsonParseError err;
        const QJsonDocument doc = QJsonDocument::fromJson(riga, &err);
        if (err.error == QJsonParseError::NoError && doc.isObject()) messaggi << doc.object();
    }
    buffer.remove(0, inizio);
    return messaggi;
}

QJsonObject Richiesta(qint64 id, const QString& op, const QJsonArray& args) {
    return {{QStringLiteral("id"), id}, {QStringLiteral("op"), op}, {QStringLiteral("args"), args}};
}

QJsonObject Risposta(qint64 id, const Valore& val) {
    return {{QStringLiteral("id"), id}, {QStringLiteral("ok"), true}, {QStringLiteral("val"), ValoreInJson(val)}};
}

QJsonObject RispostaErrore(qint64 id, long num, const QString& desc) {
    return {{QStringLiteral("id"), id}, {QStringLiteral("ok"), false},
            {QStringLiteral("num"), static_cast<qint64>(num)}, {QStringLiteral("desc"), desc}};
}

QJsonObject Comando(qint64 n, const QString& idMenu, const QString& keySec, const QString& com,
                    const Valore& param) {
    return {{QStringLiteral("cmd"), n},
            {QStringLiteral("op"), QStringLiteral("EseguiComando")},
            {QStringLiteral("args"), QJsonArray{idMenu, keySec, com, ValoreInJson(param)}}};
}

QJsonObject RispostaComando(qint64 n, const Valore& val) {
    return {{QStringLiteral("cmd"), n}, {QStringLiteral("val"), ValoreInJson(val)}};
}

QJsonObject RispostaComandoErrore(qint64 n, long num, const QString& desc) {
    return {{QStringLiteral("cmd"), n}, {QStringLiteral("ok"), false},
            {QStringLiteral("num"), static_cast<qint64>(num)}, {QStringLiteral("desc"), desc}};
}

}  // namespace ProtocolloMenu
