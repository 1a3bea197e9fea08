#include "components/posta/ServizioPosta.h"

#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QUuid>

#include <curl/curl.h>

namespace {

QByteArray base64Righe(const QByteArray& dati) {
    const QByteArray b = dati.toBase64();
    QByteArray r;
    for (qsizetype i = 0; i < b.size(); i += 76) r += b.mid(i, 76) + "\r\n";
    return r;
}

// A header value: plain ASCII as it is, anything else as an encoded word.
QByteArray intestazione(const QString& v) {
    bool ascii = true;
    for (QChar c : v) ascii = ascii && c.unicode() < 128 && c.unicode() >= 32;
    if (ascii) return v.toLatin1();
    return "=?UTF-8?B?" + v.toUtf8().toBase64() + "?=";
}

// An address header: the name encoded when needed, the address as it is.
QByteArray intestazioneIndirizzo(const QString& v) {
    const QString nudo = IndirizzoNudo(v);
    const int apre = v.indexOf(QLatin1Char('<'));
    if (apre <= 0) return nudo.toLatin1();
    QString nome = v.left(apre).trimmed();
    if (nome.startsWith(QLatin1Char('"')) && nome.endsWith(QLatin1Char('"')) && nome.size() >= 2) nome = nome.mid(1, nome.size() - 2);
    if (nome.isEmpty()) return nudo.toLatin1();
    bool ascii = true;
    for (QChar c : nome) ascii = ascii && c.unicode() < 128;
    const QByteArray n = ascii ? "\"" + nome.toLatin1().replace("\"", "") + "\"" : intestazione(nome);
    return n + " <" + nudo.toLatin1() + ">";
}

struct Lettura {
    QByteArray dati;
    qsizetype pos = 0;
};

size_t leggi(char* buf, size_t dim, size_t n, void* u) {
    auto* l = static_cast<Lettura*>(u);
    const qsizetype quanti = std::min<qsizetype>(static_cast<qsizetype>(dim * n), l->dati.size() - l->pos);
    if (quanti <= 0) return 0;
    memcpy(buf, l->dati.constData() + l->pos, static_cast<size_t>(quanti));
    l->pos += quanti;
    return static_cast<size_t>(quanti);
}

RisultatoPosta smtp(const MessaggioPosta& m, const ConfigPosta& c, const QByteArray& mime) {
    static const bool iniziato = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
    if (!iniziato) return {EsitoPosta::Errore, QStringLiteral("libcurl non inizializzata")};
    if (c.server.trimmed().isEmpty()) return {EsitoPosta::Errore, QStringLiteral("server SMTP mancante")};
    const int porta = c.porta > 0 ? c.porta : (c.ssl ? 465 : 25);
    const bool implicito = c.ssl && porta == 465;
    const QByteArray url = (implicito ? "smtps://" : "smtp://") + c.server.trimmed().toUtf8() + ":" + QByteArray::number(porta);
    CURL* h = curl_easy_init();
    if (!h) return {EsitoPosta::Errore, QStringLiteral("libcurl non disponibile")};
    const QByteArray da = "<" + IndirizzoNudo(m.mittente).toUtf8() + ">";
    curl_slist* rcpt = nullptr;
    for (const QString& a : Destinatari(m.destinatario)) rcpt = curl_slist_append(rcpt, ("<" + a.toUtf8() + ">").constData());
    const QByteArray login = c.login.toUtf8(), pwd = c.password.toUtf8();
    Lettura l{mime, 0};
    curl_easy_setopt(h, CURLOPT_URL, url.constData());
    curl_easy_setopt(h, CURLOPT_MAIL_FROM, da.constData());
    curl_easy_setopt(h, CURLOPT_MAIL_RCPT, rcpt);
    if (!c.login.isEmpty()) {
        curl_easy_setopt(h, CURLOPT_USERNAME, login.constData());
        curl_easy_setopt(h, CURLOPT_PASSWORD, pwd.constData());
    }
    if (c.ssl && !implicito) curl_easy_setopt(h, CURLOPT_USE_SSL, static_cast<long>(CURLUSESSL_ALL));
    curl_easy_setopt(h, CURLOPT_READFUNCTION, leggi);
    curl_easy_setopt(h, CURLOPT_READDATA, &l);
    curl_easy_setopt(h, CURLOPT_UPLOAD, 1L);
    curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT, 30L);
    curl_easy_setopt(h, CURLOPT_TIMEOUT, 300L);
    curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L);
    char errore[CURL_ERROR_SIZE] = {};
    curl_easy_setopt(h, CURLOPT_ERRORBUFFER, errore);
    const CURLcode r = curl_easy_perform(h);
    long risposta = 0;
    curl_easy_getinfo(h, CURLINFO_RESPONSE_CODE, &risposta);
    curl_slist_free_all(rcpt);
    curl_easy_cleanup(h);
    if (r == CURLE_OK) return {EsitoPosta::Inviato, {}};
    const QString dettaglio = QString::fromUtf8(errore[0] ? errore : curl_easy_strerror(r)) +
                              (risposta ? QStringLiteral(" (risposta %1)").arg(risposta) : QString());
    // 535: authentication refused; 534/530 ask for other credentials.
    if (r == CURLE_LOGIN_DENIED || risposta == 535 || risposta == 534) return {EsitoPosta::LoginRifiutato, dettaglio};
    return {EsitoPosta::Errore, dettaglio};
}

RisultatoPosta sendmail(const QByteArray& mime) {
    QString prog = QStandardPaths::findExecutable(QStringLiteral("sendmail"));
    if (prog.isEmpty())
        prog = QStandardPaths::findExecutable(QStringLiteral("sendmail"), {QStringLiteral("/usr/sbin"), QStringLiteral("/usr/lib")});
    if (prog.isEmpty()) return {EsitoPosta::Errore, QStringLiteral("sendmail non trovato")};
    QProcess p;
    p.start(prog, {QStringLiteral("-t"), QStringLiteral("-i")});
    if (!p.waitForStarted(30000)) return {EsitoPosta::Errore, QStringLiteral("sendmail non avviato")};
    p.write(mime);
    p.closeWriteChannel();
    if (!p.waitForFinished(120000)) {
        p.kill();
        p.waitForFinished(5000);
        return {EsitoPosta::Errore, QStringLiteral("sendmail non ha risposto")};
    }
    if (p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        return {EsitoPosta::Errore, QStringLiteral("sendmail: ") + QString::fromLocal8Bit(p.readAllStandardError()).trimmed()};
    return {EsitoPosta::Inviato, {}};
}

RisultatoPosta desktop(const MessaggioPosta& m) {
    QStringList arg{QStringLiteral("--utf8"), QStringLiteral("--subject"), m.oggetto, QStringLiteral("--body"), m.testo};
    if (!m.allegato.isEmpty()) arg << QStringLiteral("--attach") << m.allegato;
    arg << Destinatari(m.destinatario);
    if (!QProcess::startDetached(QStringLiteral("xdg-email"), arg))
        return {EsitoPosta::Errore, QStringLiteral("programma di posta del desktop non avviato (xdg-email)")};
    return {EsitoPosta::Inviato, {}};
}

void annota(const ConfigPosta& c, const MessaggioPosta& m, const RisultatoPosta& r) {
    if (c.fileLog.trimmed().isEmpty()) return;
    QFile f(c.fileLog.trimmed());
    if (!f.open(QIODevice::Append)) return;  // the log is a convenience: sending has happened all the same
    const QString esito = r.esito == EsitoPosta::Inviato ? QStringLiteral("inviata")
                          : r.esito == EsitoPosta::LoginRifiutato ? QStringLiteral("login rifiutato")
                                                                  : QStringLiteral("errore");
    const QString riga = QDateTime::currentDateTime().toString(Qt::ISODate) + QStringLiteral("\t") + m.destinatario +
                         QStringLiteral("\t") + m.oggetto + QStringLiteral("\t") + esito +
                         (r.dettaglio.isEmpty() ? QString() : QStringLiteral("\t") + r.dettaglio) + QStringLiteral("\r\n");
    f.write(riga.toUtf8());
}

std::shared_ptr<ServizioPosta>& servizio() {
    static std::shared_ptr<ServizioPosta> s;
    return s;
}

}  // namespace

QString IndirizzoNudo(const QString& indirizzo) {
    const int a = indirizzo.lastIndexOf(QLatin1Char('<'));
    const int b = indirizzo.lastIndexOf(QLatin1Char('>'));
    if (a >= 0 && b > a) return indirizzo.mid(a + 1, b - a - 1).trimmed();
    return indirizzo.trimmed();
}

QStringList Destinatari(const QString& elenco) {
    QStringList r;
    for (const QString& a : elenco.split(QRegularExpression(QStringLiteral("[;,]")), Qt::SkipEmptyParts))
        if (!IndirizzoNudo(a).isEmpty()) r << IndirizzoNudo(a);
    return r;
}

QByteArray ComponiMime(const MessaggioPosta& m, const QDateTime& data) {
    const QByteArray confine = "=_comiva_" + QUuid::createUuid().toString(QUuid::Id128).toLatin1();
    QByteArray a;
    QStringList dest;
    for (const QString& d : Destinatari(m.destinatario)) dest << d;
    a += "From: " + intestazioneIndirizzo(m.mittente) + "\r\n";
    a += "To: " + dest.join(QStringLiteral(", ")).toLatin1() + "\r\n";
    if (!m.rispondiA.trimmed().isEmpty()) a += "Reply-To: " + intestazioneIndirizzo(m.rispondiA) + "\r\n";
    if (m.notifica) a += "Disposition-Notification-To: " + intestazioneIndirizzo(m.mittente) + "\r\n";
    a += "Subject: " + intestazione(m.oggetto) + "\r\n";
    const int scarto = data.offsetFromUtc() / 60;
    a += "Date: " + QLocale::c().toString(data, QStringLiteral("ddd, dd MMM yyyy hh:mm:ss ")).toLatin1() +
         QStringLiteral("%1%2%3").arg(scarto < 0 ? '-' : '+').arg(std::abs(scarto) / 60, 2, 10, QLatin1Char('0'))
             .arg(std::abs(scarto) % 60, 2, 10, QLatin1Char('0')).toLatin1() + "\r\n";
    a += "Message-ID: <" + QUuid::createUuid().toString(QUuid::Id128).toLatin1() + "@comiva>\r\n";
    a += "MIME-Version: 1.0\r\n";
    a += "Content-Type: multipart/mixed; boundary=\"" + confine + "\"\r\n\r\n";
    a += "--" + confine + "\r\n";
    a += "Content-Type: text/plain; charset=UTF-8\r\nContent-Transfer-Encoding: base64\r\n\r\n";
    a += base64Righe(QString(m.testo).replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QLatin1Char('\n'), QStringLiteral("\r\n")).toUtf8());
    if (!m.allegato.isEmpty()) {
        QFile f(m.allegato);
        const QByteArray dati = f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
        const QString nome = QFileInfo(m.allegato).fileName();
        const QByteArray tipo = nome.endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive) ? "application/pdf" : "application/octet-stream";
        a += "--" + confine + "\r\n";
        a += "Content-Type: " + tipo + "; name=\"" + intestazione(nome) + "\"\r\n";
        a += "Content-Transfer-Encoding: base64\r\n";
        a += "Content-Disposition: attachment; filename=\"" + intestazione(nome) + "\"\r\n\r\n";
        a += base64Righe(dati);
    }
    a += "--" + confine + "--\r\n";
    return a;
}

RisultatoPosta ServizioPosta::Invia(const MessaggioPosta& m, const ConfigPosta& c) {
    RisultatoPosta r;
    if (Destinatari(m.destinatario).isEmpty()) {
        r = {EsitoPosta::Errore, QStringLiteral("destinatario mancante")};
    } else if (!m.allegato.isEmpty() && !QFileInfo::exists(m.allegato)) {
        r = {EsitoPosta::Errore, QStringLiteral("allegato inesistente: ") + m.allegato};
    } else {
        const QString metodo = c.metodo.trimmed().toUpper();
        if (metodo == QLatin1String("O"))
            r = desktop(m);
        else if (metodo == QLatin1String("E") || metodo == QLatin1String("C"))
            r = smtp(m, c, ComponiMime(m, QDateTime::currentDateTime()));
        else
            r = sendmail(ComponiMime(m, QDateTime::currentDateTime()));
    }
    annota(c, m, r);
    return r;
}

ServizioPosta& ggPosta() {
    auto& s = servizio();
    if (!s) s = std::make_shared<ServizioPosta>();
    return *s;
}

void ImpostaServizioPosta(std::shared_ptr<ServizioPosta> s) { servizio() = std::move(s); }
