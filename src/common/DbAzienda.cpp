#include "common/DbAzienda.h"

#include "common/FrmConn.h"
#include "common/FrmMsgCom.h"
#include "common/NomeDbAzienda.h"
#include "common/form/UtilForm.h"
#include "components/core/ErroreRun.h"
#include "components/db/GestRecordset.h"
#include "components/db/GestoreDb.h"
#include "components/menu/MenuClient.h"
#include "components/platform/ServizioDialoghi.h"
#include "components/util/UtilGenerali.h"
#include "contesto/Contesto.h"
#include "contesto/ImpostazioniIni.h"
#include "contesto/Isolamento.h"

#include <cmath>

namespace {

QString ValIni(const QString& sezione, const QString& chiave, const QString& predefinito) {
    QString v;
    LeggiValIni(sezione, chiave, predefinito, v);
    return v;
}

// Which failures to open a database go to the caller instead of a message.
enum class ErroriApertura { Mostrati, DannoAlChiamante, AlChiamante };

QString ApriConCredenziali(GestoreDb& gestDb, const QString& nome, const QString& pwd, const QString& connect,
                           ErroriApertura errori) {
    MenuClient& menu = *ctx().ggMenuClient;
    const bool odbc = IsConnOdbc(nome) && nome.left(5).compare(QLatin1String("ODBC;"), Qt::CaseInsensitive) != 0;
    auto credenzialiSql = [&] {
        gestDb.ScriviProprieta(QStringLiteral("DbSqlPubUID"), 12, menu.LeggiValoreSess(QStringLiteral("SqlLogin")));
        gestDb.ScriviProprieta(QStringLiteral("DbSqlPubPWD"), 12, menu.LeggiValoreSess(QStringLiteral("SqlPwd")));
    };
    if (odbc) {
        if (gestDb.LeggiProprieta(QStringLiteral("DbSqlPubPWD"), 12).eVuotoONull()) {
            if (menu.LeggiValoreSess(QStringLiteral("SqlLogin")).eVuotoONull())
                menu.LeggiValoreSess(QStringLiteral("ChiediPwdSql"));
            credenzialiSql();
        }
    } else {
        gestDb.ScriviProprieta(QStringLiteral("DbAccPWD"), 12, pwd);
    }
    for (;;) {
        try {
            // A database on a slow disk or a server may take a while.
            const CursoreOccupato occupato;
            return connect.trimmed().isEmpty() ? gestDb.ApriDatabase(nome, 0, false, false)
                                               : gestDb.ApriDatabase(nome, 0, false, false, connect);
        } catch (const ErroreRun& e) {
            const long n = ggUtil().NumeroErrore(e);
            if (odbc && n == NumErrore::ConnessioneOdbcRifiutata) {
                if (frmMsgCom::msgCom(QStringLiteral("Utente o password non validi per SQL"),
                                      QStringLiteral("&Riprovare"), QStringLiteral("&Annulla")) != 1)
                    return {};
                menu.LeggiValoreSess(QStringLiteral("ChiediPwdSql"));
                credenzialiSql();
                continue;
            }
            if (errori == ErroriApertura::AlChiamante) throw;
            if (errori == ErroriApertura::DannoAlChiamante && n == NumErrore::FileNonDatabase && !IsConnOdbc(nome))
                throw;
            if (n == NumErrore::PasswordErrata) {
                frmMsgCom::msgCom(QStringLiteral("Password non valida per questo database"));
                return QStringLiteral("Err: 3031");
            }
            frmMsgCom::MsgErrfrm(e);
            return QStringLiteral("Err: ") + QString::number(n);
        }
    }
}

}  // namespace

QString CredenzialiDb(GestoreDb& gestDb, const QString& nome, const QString& pwd, const QString& connect,
                      bool lasciaFileDanneggiato) {
    return ApriConCredenziali(gestDb, nome, pwd, connect,
                              lasciaFileDanneggiato ? ErroriApertura::DannoAlChiamante : ErroriApertura::Mostrati);
}

QString ApriDbAziendaDelGiro(GestRecordset& rs, const QString& chiave, const QString& codice) {
    Contesto& c = ctx();
    QString nome = rs.LeggiCampo(chiave, QStringLiteral("File")).testo();
    PreparaNomeDB(nome);
    const QString pwd = ggUtil().EVuoto(rs.LeggiCampo(chiave, QStringLiteral("AccPwd")), TipoDato::Testo)
                            ? QString()
                            : c.ggMenuClient->LeggiValoreSess(QStringLiteral("pwddbazie:") + codice).testo();
    QString id;
    try {
        id = ApriConCredenziali(*c.ggGestDb, nome, pwd, c.gsConnect, ErroriApertura::AlChiamante);
    } catch (const ErroreRun& e) {
        QString motivo = e.descrizione().trimmed();
        if (motivo.endsWith(QLatin1Char('.'))) motivo.chop(1);
        throw ErroreRun(e.numero(), QStringLiteral("nell'apertura del database: ") + motivo);
    }
    if (id.trimmed().isEmpty()) throw ErroreRun(0, QStringLiteral("nell'apertura del database ") + nome);
    return id;
}

// ---- Company parameters ----

DatiMoneta LeggiMoneta(const QString& codice) {
    DatiMoneta m;
    GestRecordset rs;
    const QString k = rs.ApriRecordset(*ctx().ggGestDb, ctx().gsIdDbase, {},
                                       QStringLiteral("Select * from Monete where moneta = ") +
                                           ggUtil().FormatoSql(codice, TipoDato::Testo));
    if (!rs.RecVuoto(k)) {
        m.numDec = static_cast<int>(rs.LeggiCampo(k, QStringLiteral("NumDec")).intero());
        m.numDecGest = static_cast<int>(rs.LeggiCampo(k, QStringLiteral("NumDecGest")).intero());
        m.operatore = rs.LeggiCampo(k, QStringLiteral("Operatore")).testo();
        m.cee = rs.LeggiCampo(k, QStringLiteral("Cee")).testo();
    }
    rs.ChiudiRecordset(k);
    return m;
}

static QString MascheraImporti(int decimali) { return ggUtil().CreaMaschera(0, decimali); }

// Chooses the decimals and format of the company's currency.
static void ImpostaDecimali(Contesto& c, int decLira, int decEuro) {
    c.giDecImpEuro = decEuro;
    c.gsFmtImpEuro = MascheraImporti(decEuro);
    if (c.gsCodLira.compare(c.gsMoneta, Qt::CaseInsensitive) == 0) {
        c.giDecImp = decLira;
        c.gsFmtImp = MascheraImporti(decLira);
    } else {
        c.giDecImp = c.giDecImpEuro;
        c.gsFmtImp = c.gsFmtImpEuro;
    }
}

static QString ODefault(const Valore& v, const QString& predefinito) {
    return v.eVuotoONull() ? predefinito : v.testo().trimmed();
}

void CaricaParAzienda(int) {
    Contesto& c = ctx();
    MenuClient& menu = *c.ggMenuClient;
    c.gtDataLavoro = menu.LeggiDataLavoro();
    c.gsDescDitta = menu.LeggiValoreSess(QStringLiteral("DescAzie")).testo();
    c.gsMoneta = ODefault(menu.LeggiValoreSess(QStringLiteral("Ditta.Moneta")), QStringLiteral("Euro"));
    c.gsCodLira = ODefault(menu.LeggiValoreSess(QStringLiteral("Ditta.CodLira")), QStringLiteral("L."));
    c.gsCodEuro = ODefault(menu.LeggiValoreSess(QStringLiteral("Ditta.CodEuro")), QStringLiteral("Euro"));
    const int decLira = LeggiMoneta(c.gsCodLira).numDec;
    ImpostaDecimali(c, decLira, LeggiMoneta(c.gsCodEuro).numDec);

    c.glColErrore = 255;
    c.glColNormale = 0x80000005;
    c.glColTesto = 0x80000008;
    c.glColTestoDis = 0x80000011;
    const Valore got = menu.LeggiValoreSess(QStringLiteral("ColBackGotFocus"));
    c.glColGotFocus = got.eVuotoONull() ? 0xFFFF80 : static_cast<long>(got.intero());
    const Valore lost = menu.LeggiValoreSess(QStringLiteral("ColBacklostFocus"));
    c.glColLostFocus = lost.eVuotoONull() ? 0x80000005 : static_cast<long>(lost.intero());
    c.glColForm = static_cast<long>(std::llround(
        LeggiParPers(QStringLiteral("Tutti"), QStringLiteral("ColBackForm"), Valore("0")).numero()));

    // Maximised forms: whole items of a comma-separated list of terminals, or "tutti".
    const QString lista = LeggiParPers(QStringLiteral("Tutti"), QStringLiteral("Massimizzato"), Valore("")).testo();
    const QString terminale = menu.NomeTerminale().trimmed();
    QString tutti = lista.trimmed();
    if (tutti.endsWith(QLatin1Char(','))) tutti.chop(1);
    bool massimizza = tutti.trimmed().compare(QLatin1String("tutti"), Qt::CaseInsensitive) == 0;
    for (const QString& voce : lista.split(QLatin1Char(',')))
        if (!voce.trimmed().isEmpty() && voce.trimmed().compare(terminale, Qt::CaseInsensitive) == 0) massimizza = true;
    c.gsStatoFinestra = massimizza ? QStringLiteral("2") : QString();
    c.gsNomeTerminale = terminale;

    c.gsTastierinoVirgola = LeggiParPers(QStringLiteral("Tutti"), QStringLiteral("TastierinoVirgola"), Valore("")).testo();
    c.gsDecodHelpAbil = LeggiParPers(QStringLiteral("Tutti"), QStringLiteral("DecodHelpAbil"), Valore("N")).testo();
    c.gbDecodHelpPersKey =
        LeggiParPers(QStringLiteral("Tutti"), QStringLiteral("DecodHelpPersKey"), Valore("N")).testo().trimmed().toUpper() ==
        QLatin1String("S");
    c.gsFormatoData = ValIni(QStringLiteral("Configurazioni"), QStringLiteral("FormatData"), QStringLiteral("dd/mm/yyyy"));
    c.giChiusura = false;
}

ParametriMoneta ParametriMoneta::Leggi() {
    const Contesto& c = ctx();
    return {c.gsMoneta, c.gsCodLira, c.gsCodEuro, c.gsFmtImp, c.gsFmtImpEuro, c.giDecImp, c.giDecImpEuro};
}

void ParametriMoneta::Rimetti() const {
    Contesto& c = ctx();
    c.gsMoneta = moneta;
    c.gsCodLira = codLira;
    c.gsCodEuro = codEuro;
    c.gsFmtImp = fmtImp;
    c.gsFmtImpEuro = fmtImpEuro;
    c.giDecImp = decImp;
    c.giDecImpEuro = decImpEuro;
}

bool LeggiDefaultDitta(const QString& idDb) {
    Contesto& c = ctx();
    const ParametriMoneta prima = ParametriMoneta::Leggi();
    GestRecordset rs;
    QString k;
    try {
        k = rs.ApriRecordset(*c.ggGestDb, idDb, {}, QStringLiteral("Select * from TabMagazzino"));
        rs.ChiudiRecordset(k);
        k = rs.ApriRecordset(*c.ggGestDb, idDb, {}, QStringLiteral("Select * from Ditta"));
        if (rs.RecVuoto(k)) throw ErroreRun(NumErrore::NessunRecordCorrente, QStringLiteral("Nessun record in Ditta"));
        c.gsMoneta = ODefault(rs.LeggiCampo(k, QStringLiteral("Ditta.Moneta")), QStringLiteral("Euro"));
        c.gsCodLira = ODefault(rs.LeggiCampo(k, QStringLiteral("Ditta.CodLira")), QStringLiteral("L."));
        c.gsCodEuro = ODefault(rs.LeggiCampo(k, QStringLiteral("Ditta.CodEuro")), QStringLiteral("Euro"));
        rs.ChiudiRecordset(k);
        auto decimali = [&](const QString& codice, int senzaRiga) {
            k = rs.ApriRecordset(*c.ggGestDb, idDb, {},
                                 QStringLiteral("Select * from Monete where moneta = ") +
                                     ggUtil().FormatoSql(codice, TipoDato::Testo));
            const int d = rs.RecVuoto(k) ? senzaRiga : static_cast<int>(rs.LeggiCampo(k, QStringLiteral("NumDec")).intero());
            rs.ChiudiRecordset(k);
            return d;
        };
        const int decLira = decimali(c.gsCodLira, 0);
        ImpostaDecimali(c, decLira, decimali(c.gsCodEuro, 2));
        return true;
    } catch (const ErroreRun& e) {
        // A half-read company would mix two companies' currencies: keep the previous one whole.
        prima.Rimetti();
        frmMsgCom::MsgErrfrm(e, QStringLiteral("Errore in lettura dati default ditta"));
        return false;
    }
}

Valore LeggiOSPlatform() { return ctx().ggMenuClient->LeggiValoreSess(QStringLiteral("OSPlatform")); }

bool LeggiScriviAppoggio(const QString& codice, int slot, QString& memo, QString& descrizione) {
    if (slot < 1 || slot > 5) {
        memo.clear();
        descrizione.clear();
        return false;
    }
    try {
        GestRecordset rs;
        const QString k = rs.ApriRecordset(*ctx().ggGestDb, ctx().gsIdDbMenu, {},
                                           QStringLiteral("Select * from Appoggio Where Codice = ") +
                                               ggUtil().FormatoSql(codice, TipoDato::Testo));
        const bool trovato = !rs.RecVuoto(k);
        descrizione = trovato ? rs.LeggiCampo(k, QStringLiteral("Descr") + QString::number(slot)).testo() : QString();
        memo = trovato ? rs.LeggiCampo(k, QStringLiteral("Memo") + QString::number(slot)).testo() : QString();
        rs.ChiudiRecordset(k);
        return trovato;
    } catch (const ErroreRun& e) {
        frmMsgCom::MsgErrfrm(e);
        return false;
    }
}

