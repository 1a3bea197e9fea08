#include "components/posta/ServizioPosta.h"

#include "components/platform/DialoghiScriptati.h"
#include "components/stampa/FormStampaInCorso.h"
#include "components/stampa/Stampa.h"
#include "contesto/Contesto.h"
#include "support/AppTest.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <QTimeZone>

#include <gtest/gtest.h>

namespace {

const QString Utente = QStringLiteral("studio@esempio.it");
const QString Parola = QStringLiteral("Segreta!42");

QByteArray leggi(const QString& file) {
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The SMTP server of the test, on a free port of 127.0.0.1, with a login.
class ServerSmtp {
public:
    explicit ServerSmtp(const QString& cartella) : cartella_(cartella) {
        const QString python = QFile::exists(QStringLiteral("/usr/bin/python3")) ? QStringLiteral("/usr/bin/python3")
                                                                                  : QStringLiteral("python3");
        p_.start(python, {CartellaSorgenti() + QStringLiteral("/tests/components/posta/server_smtp.py"), cartella, Utente, Parola});
        const QDeadlineTimer limite(30000);
        while (!p_.canReadLine() && p_.state() != QProcess::NotRunning && !limite.hasExpired())
            p_.waitForReadyRead(static_cast<int>(std::max<qint64>(1, limite.remainingTime())));
        porta = p_.canReadLine() ? p_.readLine().trimmed().toInt() : 0;
        errore = QString::fromLocal8Bit(p_.readAllStandardError());
    }
    ~ServerSmtp() {
        p_.closeWriteChannel();
        if (!p_.waitForFinished(10000)) {
            p_.kill();
            p_.waitForFinished(5000);
        }
    }
    QByteArray messaggio(int n) const { return leggi(QDir(cartella_).filePath(QStringLiteral("messaggio%1.eml").arg(n))); }
    QByteArray busta(int n) const { return leggi(QDir(cartella_).filePath(QStringLiteral("messaggio%1.busta").arg(n))); }
    int porta = 0;
    QString errore;

private:
    QString cartella_;
    QProcess p_;
};

// The part of a MIME message that follows the headers of the part whose
// headers contain `tipo`, decoded from base64.
QByteArray parte(const QByteArray& mime, const QByteArray& tipo) {
    const qsizetype i = mime.indexOf("Content-Type: " + tipo);
    if (i < 0) return {};
    const qsizetype inizio = mime.indexOf("\r\n\r\n", i) + 4;
    const qsizetype fine = mime.indexOf("\r\n--", inizio);
    return QByteArray::fromBase64(mime.mid(inizio, fine - inizio).replace("\r\n", ""));
}

// The print-in-progress box asking the login again: each question puts the
// next password of its list into the options.
class BoxLogin : public FormStampaInCorso {
public:
    std::shared_ptr<OpzSta> opz;
    QStringList nuovePassword;
    int domande = 0;
    void MostraInCorso() override {}
    void ScaricaInCorso() override {}
    void ImpPaginaInCorso(int) override {}
    bool ChiediEmailLogPwd() override {
        ++domande;
        if (nuovePassword.isEmpty()) return false;
        opz->ImpOpzione(QStringLiteral("EmailPwd"), 12, nuovePassword.takeFirst());
        return true;
    }
};

class PostaTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    std::shared_ptr<Contesto> c = std::make_shared<Contesto>();
    std::shared_ptr<DialoghiScriptati> dialoghi = std::make_shared<DialoghiScriptati>();
    std::shared_ptr<OpzSta> opz = std::make_shared<OpzSta>();

    void SetUp() override {
        AppTest();
        c->ggDialoghi = dialoghi;
        ImpostaContesto(c);
    }
    void TearDown() override { ImpostaContesto(nullptr); }

    // The options of an automatic PDF sent by "See" through the test's server.
    void opzioniEmail(int porta, const QString& password) {
        opz->oiStaVid = OpzSta::Stampante;
        opz->osNomeStampante = QStringLiteral("PDFCreator");
        opz->PathDefault = dir.path();
        auto imp = [&](const char* n, const Valore& v) { opz->ImpOpzione(QString::fromLatin1(n), 12, v); };
        imp("PdfAutomAbil", true);
        imp("PdfNomeFile", QStringLiteral("liquidazione"));
        imp("EmailInvia", true);
        imp("EmailTipoInvio", QStringLiteral("E"));
        imp("EmailServerSMTP", QStringLiteral("127.0.0.1"));
        imp("EmailNumPorta", QString::number(porta));
        imp("EmailLogin", Utente);
        imp("EmailPwd", password);
        imp("EmailInd", QStringLiteral("\"Studio Bianchi\" <studio@esempio.it>"));
        imp("EmailReplay", QStringLiteral("segreteria@esempio.it"));
        imp("EmailTo", QStringLiteral("cliente@esempio.it"));
        imp("EmailOggetto", QStringLiteral("Liquidazione IVA 03/2018"));
        imp("EmailTesto", QStringLiteral("Buongiorno,\nin allegato la liquidazione.\nCordiali saluti"));
        imp("EmailFileLog", dir.filePath(QStringLiteral("posta.log")));
    }
    // Prints one page to the automatic PDF, which then goes by e-mail.
    void stampa(FormStampaInCorso* box) {
        Stampa st;
        st.ogOpzSta = opz;
        st.ofrmStampaInCorso = box;
        Valore attivo;
        ASSERT_TRUE(st.LanciaComandoSta(QStringLiteral("AttivaPdfAutom"), 12, attivo));
        st.AvviaDocumento();
        st.StampaTesto(0, QStringLiteral("Liquidazione periodica IVA"));
        st.FineStampa();
    }
};

TEST_F(PostaTest, AutomaticPdfReachesTheServerWithSubjectBodyAndAttachment) {
    ServerSmtp server(dir.filePath(QString()));
    ASSERT_GT(server.porta, 0) << server.errore.toStdString();
    opzioniEmail(server.porta, Parola);
    stampa(nullptr);

    EXPECT_TRUE(dialoghi->mostrati.isEmpty()) << dialoghi->testi().join("|").toStdString();
    EXPECT_EQ(server.busta(1), "studio@esempio.it\ncliente@esempio.it\n");
    const QByteArray m = server.messaggio(1);
    ASSERT_FALSE(m.isEmpty());
    EXPECT_TRUE(m.contains("\r\nSubject: Liquidazione IVA 03/2018\r\n"));
    EXPECT_TRUE(m.contains("\r\nTo: cliente@esempio.it\r\n"));
    EXPECT_TRUE(m.contains("\r\nReply-To: segreteria@esempio.it\r\n"));
    EXPECT_TRUE(m.startsWith("From: \"Studio Bianchi\" <studio@esempio.it>\r\n"));
    EXPECT_EQ(parte(m, "text/plain"), "Buongiorno,\r\nin allegato la liquidazione.\r\nCordiali saluti");
    EXPECT_TRUE(m.contains("filename=\"liquidazione.pdf\""));
    EXPECT_TRUE(parte(m, "application/pdf").startsWith("%PDF"));
    EXPECT_EQ(parte(m, "application/pdf"), leggi(dir.filePath(QStringLiteral("liquidazione.pdf"))));
    EXPECT_FALSE(leggi(dir.filePath(QStringLiteral("posta.log"))).contains(Parola.toUtf8()));
}

TEST_F(PostaTest, RefusedLoginAsksAgainAndSendsWithTheNewData) {
    struct Caso {
        const char* nome;
        QStringList risposte;  // passwords the user gives at each question; none: gives up
        int domande;
        bool inviato;
    } casi[] = {
        {.nome = "corrected at the first question", .risposte = {Parola}, .domande = 1, .inviato = true},
        {.nome = "wrong again, then corrected", .risposte = {"ancora-sbagliata", Parola}, .domande = 2, .inviato = true},
        {.nome = "user gives up", .risposte = {}, .domande = 1, .inviato = false},
    };
    for (const auto& caso : casi) {
        SCOPED_TRACE(caso.nome);
        QTemporaryDir ricevuti;
        ServerSmtp server(ricevuti.path());
        ASSERT_GT(server.porta, 0) << server.errore.toStdString();
        opzioniEmail(server.porta, QStringLiteral("sbagliata"));
        dialoghi->mostrati.clear();
        BoxLogin box;
        box.opz = opz;
        box.nuovePassword = caso.risposte;
        stampa(&box);
        EXPECT_EQ(box.domande, caso.domande);
        EXPECT_EQ(!server.messaggio(1).isEmpty(), caso.inviato);
        if (caso.inviato) {
            EXPECT_TRUE(dialoghi->mostrati.isEmpty());
        } else {
            // Told, never as a success, and without the password.
            ASSERT_EQ(dialoghi->mostrati.size(), 1);
            EXPECT_TRUE(dialoghi->mostrati[0].testo.startsWith(QStringLiteral("Invio dell'email non riuscito.")));
            EXPECT_FALSE(dialoghi->mostrati[0].testo.contains(QStringLiteral("sbagliata")));
        }
    }
}

// "Sendmail" pipes the whole message to `sendmail -t`; "Outlook" hands it to
// the desktop's mail program. Stand-ins of both keep what they were given.
TEST_F(PostaTest, SendmailAndTheDesktopMailProgram) {
    const QString bin = dir.filePath("bin");
    QDir().mkpath(bin);
    auto script = [&](const char* nome, const QByteArray& corpo) {
        QFile f(bin + "/" + nome);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("#!/bin/sh\n" + corpo);
        f.setPermissions(f.permissions() | QFileDevice::ExeOwner);
    };
    const QString uscita = dir.filePath("uscita");
    script("sendmail", ("echo \"$@\" > '" + uscita + ".arg'; cat > '" + uscita + "'\n").toUtf8());
    script("xdg-email", ("for a in \"$@\"; do echo \"$a\"; done > '" + uscita + ".tmp'; mv '" + uscita + ".tmp' '" +
                         uscita + ".xdg'\n").toUtf8());
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", bin.toUtf8() + ":" + path);
    QFile pdf(dir.filePath("stampa.pdf"));
    ASSERT_TRUE(pdf.open(QIODevice::WriteOnly));
    pdf.write("%PDF-1.4 prova");
    pdf.close();
    MessaggioPosta m;
    m.mittente = QStringLiteral("studio@esempio.it");
    m.destinatario = QStringLiteral("cliente@esempio.it");
    m.oggetto = QStringLiteral("Liquidazione");
    m.testo = QStringLiteral("In allegato.");
    m.allegato = pdf.fileName();
    ConfigPosta c;
    c.metodo = QStringLiteral("S");
    c.password = Parola;
    EXPECT_EQ(ggPosta().Invia(m, c).esito, EsitoPosta::Inviato);
    EXPECT_EQ(leggi(uscita + ".arg"), "-t -i\n");
    EXPECT_TRUE(leggi(uscita).startsWith("From: studio@esempio.it\r\nTo: cliente@esempio.it\r\n"));
    EXPECT_EQ(parte(leggi(uscita), "application/pdf"), "%PDF-1.4 prova");
    EXPECT_FALSE(leggi(uscita).contains(Parola.toUtf8()));

    c.metodo = QStringLiteral("O");
    EXPECT_EQ(ggPosta().Invia(m, c).esito, EsitoPosta::Inviato);
    // The desktop's program runs on its own: its arguments are awaited, within a bound.
    const QDeadlineTimer limite(30000);
    while (!QFile::exists(uscita + ".xdg") && !limite.hasExpired()) QThread::yieldCurrentThread();
    EXPECT_EQ(leggi(uscita + ".xdg"), "--utf8\n--subject\nLiquidazione\n--body\nIn allegato.\n--attach\n" +
                                          pdf.fileName().toUtf8() + "\ncliente@esempio.it\n");

    // A missing attachment or recipient is a failure, never a sending.
    m.allegato = dir.filePath("manca.pdf");
    EXPECT_EQ(ggPosta().Invia(m, c).esito, EsitoPosta::Errore);
    m.allegato.clear();
    m.destinatario.clear();
    EXPECT_EQ(ggPosta().Invia(m, c).esito, EsitoPosta::Errore);
    qputenv("PATH", path);
}

TEST_F(PostaTest, AddressesAndMimeHeaders) {
    EXPECT_EQ(IndirizzoNudo(QStringLiteral("\"Studio\" <a@b.it>")), "a@b.it");
    EXPECT_EQ(IndirizzoNudo(QStringLiteral(" a@b.it ")), "a@b.it");
    EXPECT_EQ(Destinatari(QStringLiteral("a@b.it; \"C\" <c@d.it>,,e@f.it")), QStringList({"a@b.it", "c@d.it", "e@f.it"}));
    MessaggioPosta m;
    m.mittente = QStringLiteral("\"Società Rossi\" <a@b.it>");
    m.destinatario = QStringLiteral("c@d.it");
    m.oggetto = QStringLiteral("Liquidazione è pronta");
    m.notifica = true;
    const QByteArray mime = ComponiMime(m, QDateTime(QDate(2018, 4, 16), QTime(9, 30), QTimeZone::utc()));
    EXPECT_TRUE(mime.startsWith("From: =?UTF-8?B?" + QStringLiteral("Società Rossi").toUtf8().toBase64() + "?= <a@b.it>\r\n"));
    EXPECT_TRUE(mime.contains("\r\nSubject: =?UTF-8?B?" + m.oggetto.toUtf8().toBase64() + "?=\r\n"));
    EXPECT_TRUE(mime.contains("\r\nDisposition-Notification-To: "));
    EXPECT_TRUE(mime.contains("\r\nDate: Mon, 16 Apr 2018 09:30:00 +0000\r\n"));
    EXPECT_FALSE(mime.contains("application/pdf"));
}

}  // namespace
