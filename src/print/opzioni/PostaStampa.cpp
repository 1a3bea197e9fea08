#include "print/opzioni/PostaStampa.h"

#include "common/DbAzienda.h"
#include "common/form/Decodifica.h"
#include "common/form/MembriForm.h"
#include "components/lookup/QorAiuti.h"
#include "components/core/ErroreRun.h"
#include "components/menu/MenuClient.h"
#include "components/stampa/OpzSta.h"
#include "components/stampa/Stampa.h"
#include "components/util/UtilGenerali.h"
#include "contesto/Contesto.h"
#include "contesto/ImpostazioniIni.h"
#include "print/lavoro/LavoroStampa.h"
#include "print/opzioni/FrmSceltaStam.h"

#include <QLocale>
#include <QWidget>
#include <algorithm>

namespace {

QString menu(const QString& nome) {
    try {
        return LeggiValMenu(nome).testo();
    } catch (const ErroreRun&) {
        // A value the menu does not answer is an empty parameter.
        return QString();
    }
}

bool eNome(const QString& a, const char* b) { return a.compare(QLatin1String(b), Qt::CaseInsensitive) == 0; }

}  // namespace

QString LeggiParEmail(const QString& nome) {
    if (!eNome(nome, "EmailTesto") && !eNome(nome, "EmailOggetto")) {
        const QString v = menu(nome);
        const QString tipo = menu(QStringLiteral("EmailTipoInvio"));
        if ((eNome(nome, "EmailInd") || eNome(nome, "EmailReplay")) && !v.isEmpty() && !eNome(tipo, "S") &&
            !eNome(tipo, "E"))
            return QStringLiteral("\"") + menu(QStringLiteral("EmailCentro")) + QStringLiteral("\" <") + v +
                   QStringLiteral(">");
        return v;
    }
    const QString numero = menu(QStringLiteral("EmailNumTesto")).trimmed();
    const int n = numero.isEmpty() ? 0 : static_cast<int>(ggUtil().NumeroDaStringa(numero));
    if (n < 1 || n > 5 || ctx().gsIdDbMenu.isEmpty()) return QString();
    QString testo, oggetto;
    if (!LeggiScriviAppoggio(QStringLiteral("PdfEmail"), n, testo, oggetto)) return QString();
    return eNome(nome, "EmailTesto") ? testo : oggetto;
}

QString SostituisciSegnapostiEmail(const QString& testo, bool oggetto, const QDateTime& adesso) {
    const OpzSta* opz = ggStampaCorr() && ggStampaCorr()->ogOpzSta ? ggStampaCorr()->ogOpzSta.get() : nullptr;
    auto opzione = [&](const char* n) { return opz ? opz->LeggiOpzione(QString::fromLatin1(n)).testo() : QString(); };
    QString terminale;
    try {
        if (ctx().ggMenuClient) terminale = ctx().ggMenuClient->NomeTerminale();
    } catch (const ErroreRun&) {
        // Without the menu the workstation's name stays empty.
    }
    const QLocale it(QLocale::Italian, QLocale::Italy);
    const QDate oggi = adesso.date();
    const QList<QPair<const char*, QString>> voci = {
        {"PersOgg", menu(QStringLiteral("EmailPersOggetto"))},
        {"Terminale", terminale},
        {"Login", menu(QStringLiteral("Login"))},
        {"Gruppo", menu(QStringLiteral("Gruppo"))},
        {"DescAzie", menu(QStringLiteral("descazie"))},
        {"CodiceAzie", menu(QStringLiteral("codiceazie"))},
        {"IdAzienda", menu(QStringLiteral("idazienda"))},
        {"DescPrg", opzione("StampaDescPrg")},
        {"Titolo", opzione("StampaCaption")},
        {"CodSta", opz ? opz->Sezione : QString()},
        {"Data", oggi.toString(QStringLiteral("dd/MM/yyyy"))},
        {"DataRov", oggi.toString(QStringLiteral("yyyyMMdd"))},
        {"DataLong", it.toString(oggi, QStringLiteral("dd/MMMM/yyyy"))},
        {"DataAbb", it.toString(oggi, QStringLiteral("dd/MMM/yyyy"))},
        {oggetto ? "Ora" : "OraRid", adesso.time().toString(oggetto ? QStringLiteral("hh:mm") : QStringLiteral("hhmm"))},
    };
    QString r = testo;
    for (const auto& [nome, valore] : voci)
        r.replace(QStringLiteral("§") + QString::fromLatin1(nome) + QStringLiteral("§"), valore, Qt::CaseInsensitive);
    return r;
}

void PrepInvioEmail(const QString& destinatario) {
    Stampa* st = ggStampaCorr();
    if (!st || !st->ogOpzSta) return;
    OpzSta& opz = *st->ogOpzSta;
    if (!opz.LeggiOpzione(QStringLiteral("EmailInvia")).booleano()) return;
    const QString login = LeggiParEmail(QStringLiteral("EmailLogin"));
    const QString pwd = LeggiParEmail(QStringLiteral("EmailPwd"));
    const QString server = LeggiParEmail(QStringLiteral("EmailServerSMTP"));
    const QString a = LeggiParEmail(QStringLiteral("EmailTo"));
    const QString temp = opz.LeggiOpzione(QStringLiteral("EmailToTemp")).testo();
    if (login.isEmpty() || pwd.isEmpty() || server.isEmpty() || (a.isEmpty() && temp.isEmpty() && destinatario.isEmpty()))
        throw ErroreRun(-123, QStringLiteral("Mancano dati necessari per l'invio dell'email\n - Login: ") + login +
                                  QStringLiteral(" - pwd compilata: ") +
                                  (pwd.isEmpty() ? QStringLiteral("No") : QStringLiteral("Sì")) +
                                  QStringLiteral(" - SMTP: ") + server + QStringLiteral(" - Emailto: ") + a +
                                  QStringLiteral(" - Ind.Temp: ") + temp);
    auto imposta = [&](const char* nome, const Valore& v) { opz.ImpOpzione(QString::fromLatin1(nome), 12, v); };
    if (destinatario.isEmpty()) imposta("EmailTo", temp.isEmpty() ? a : temp);
    imposta("EmailTipoInvio", LeggiParEmail(QStringLiteral("EmailTipoInvio")));
    auto& serv = serviziLavoroStampa();
    imposta("EmailOggetto", SostituisciSegnapostiEmail(LeggiParEmail(QStringLiteral("EmailOggetto")), true,
                                                       serv.Adesso ? serv.Adesso() : QDateTime::currentDateTime()));
    imposta("EmailTesto", SostituisciSegnapostiEmail(LeggiParEmail(QStringLiteral("EmailTesto")), false,
                                                     serv.Adesso ? serv.Adesso() : QDateTime::currentDateTime()));
    for (const char* n : {"EmailFileLog", "EmailInd", "EmailCentro", "EmailSMTPtipo", "EmailServerSMTP", "EmailReplay"})
        imposta(n, LeggiParEmail(QString::fromLatin1(n)));
    imposta("EmailFlagNotifica", Valore(LeggiValMenu(QStringLiteral("EmailFlagNotifica")).booleano()));
    for (const char* n : {"EmailLogin", "EmailPwd", "EmailUsaSSL", "EmailDirStunnel", "EmailNumPorta", "EmailLogSee"})
        imposta(n, LeggiParEmail(QString::fromLatin1(n)));
}

bool RichiestaLoginEmail(bool prepara, bool usaOpzCorrenti) {
    FrmSceltaStam& f = FrmSceltaStam::Istanza();
    if (usaOpzCorrenti && ggStampaCorr() && ggStampaCorr()->ogOpzSta) f.ogOpzSta = ggStampaCorr()->ogOpzSta;
    if (!f.ogOpzSta) f.ogOpzSta = std::make_shared<OpzSta>();
    f.oiRichDatiEmail = 1000;
    bool esito = f.RichDatiEmail();
    delete &f;
    if (prepara && esito) {
        try {
            PrepInvioEmail(QString());
        } catch (const ErroreRun&) {
            // The request is answered "no": the caller reports the failed sending.
            esito = false;
        }
    }
    return esito;
}

void InstallaServiziPosta() {
    auto& s = serviziLavoroStampa();
    s.LeggiParEmail = [](const QString& nome) { return Valore(LeggiParEmail(nome)); };
    s.PrepInvioEmail = [](QString& destinatario) { PrepInvioEmail(destinatario); };
    s.RichiestaLoginEmail = [] { return RichiestaLoginEmail(true, true); };
}

namespace {

// The address column an account picked on its code gives ("EmailPredef" of
// StAltro): a number 1-4 (above 4 counts as 4), or one of the captions' words.
int NumeroEmailPredefinita() {
    const QString v = LeggiParPers(QStringLiteral("StAltro"), QStringLiteral("EmailPredef"), Valore("1")).testo().trimmed();
    bool numero = false;
    const int n = v.toInt(&numero);
    if (numero && n > 0) return std::min(n, 4);
    const QString p = v.toLower();
    if (p == QLatin1String("principale") || p == QLatin1String("pri")) return 1;
    if (p == QLatin1String("amministrativo") || p == QLatin1String("amm")) return 2;
    if (p == QLatin1String("commerciale") || p == QLatin1String("comm")) return 3;
    if (p == QLatin1String("spedizione") || p == QLatin1String("sped")) return 4;
    return 1;
}

const char* const ColonneEmail[4] = {"Email", "Email2", "Email3", "Email4"};

}  // namespace

QString CercaEmailCliente(QWidget& form, int indice, int keyCode, int& shift, const QString& modo, bool noScrittura,
                          int& scelta) {
    (void)shift;
    scelta = 0;
    QorAiuti& aiuti = Aiuti();
    static const char* const chiavi[4][2] = {{"DescEmailPri", "Principale"},
                                             {"DescEmailAmm", "Amministrativo"},
                                             {"DescEmailComm", "Commerciale"},
                                             {"DescEmailSped", "Spedizioni"}};
    for (int i = 0; i < 4; ++i) {
        const QString n = QString::number(i + 1);
        aiuti.FormParametriAiuto().Imposta(QStringLiteral("NomeCol") + n, Valore(QString::fromLatin1(ColonneEmail[i])));
        aiuti.FormParametriAiuto().Imposta(
            QStringLiteral("DescCol") + n,
            LeggiParPers(QStringLiteral("Clienti"), QString::fromLatin1(chiavi[i][0]), Valore(chiavi[i][1])));
    }
    aiuti.FormListaAiuto().Imposta(QStringLiteral("RetField"), Valore(QString()));
    aiuti.FormListaAiuto().Imposta(QStringLiteral("Text"), Valore(QString()));
    if (keyCode < 113 || keyCode > 116) return QString();

    QWidget* casella = Elemento(form, QStringLiteral("txt"), indice);
    QWidget* etichetta = Elemento(form, QStringLiteral("Lab"), indice);
    int sceltaLista = 0;
    const Valore esito = PrepListaAiuto(QStringLiteral("Conto"), casella, etichetta, keyCode, Valore(modo), sceltaLista,
                                        QStringLiteral("§pri§,Email,Email2,Email3,Email4,§dop§"));
    (void)esito;
    const QString campo = aiuti.FormListaAiuto().Leggi(QStringLiteral("RetField")).testo();
    if (campo.isEmpty() && sceltaLista == 0) return QString();

    const bool suIndirizzo = campo.left(5).compare(QLatin1String("Email"), Qt::CaseInsensitive) == 0;
    const QString cella = aiuti.FormListaAiuto().Leggi(QStringLiteral("Text")).testo();
    auto valore = [&aiuti](const char* colonna) {
        return aiuti.FormListaAiuto().Leggi(QStringLiteral("RetVal") + QString::fromLatin1(colonna)).testo();
    };
    QString indirizzo;
    if (suIndirizzo && !cella.isEmpty()) {
        indirizzo = cella;
    } else {
        const int n = NumeroEmailPredefinita();
        if (n > 1) indirizzo = valore(ColonneEmail[n - 1]);
        if (indirizzo.isEmpty()) indirizzo = valore(ColonneEmail[0]);
    }
    if (!noScrittura && casella) casella->setProperty("text", indirizzo);
    if (suIndirizzo) scelta = campo.size() == 5 ? 1 : campo.mid(5).toInt();
    return indirizzo;
}
