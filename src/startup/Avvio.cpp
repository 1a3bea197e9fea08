#include "startup/Avvio.h"

#include "common/DbAzienda.h"

#include "common/form/ScQorUtilPrg.h"
#include "common/form/UtilForm.h"

#include "common/FrmMsgCom.h"
#include "common/MsgErrori.h"
#include "components/core/ErroreRun.h"
#include "components/db/GestRecordset.h"
#include "components/db/GestoreDb.h"
#include "components/ini/FileIni.h"
#include "components/menu/MenuClient.h"
#include "components/platform/Schermo.h"
#include "components/platform/ServizioDialoghi.h"
#include "components/util/UtilGenerali.h"
#include "contesto/Contesto.h"
#include "common/FrmConn.h"
#include "contesto/ImpostazioniIni.h"
#include "contesto/Isolamento.h"
#include "startup/Ospite.h"

#include <QCoreApplication>
#include <QDir>
#include <cmath>

namespace {

const QString TestoMenuAssente =
    QStringLiteral("Il menu principale non è in esecuzione\nQuesto programma non può essere eseguito autonomamente");

int MsgStd(const QString& testo, int stile) { return ctx().ggDialoghi->msgBox(testo, stile, ctx().gsTitoloApp); }

QString ValIni(const QString& sezione, const QString& chiave, const QString& predefinito) {
    QString v;
    LeggiValIni(sezione, chiave, predefinito, v);
    return v;
}

// A blank before a positive number, as the platform's conversion writes it.
QString NumeroConBlank(long n) { return n >= 0 ? QStringLiteral(" ") + QString::number(n) : QString::number(n); }

// A drive path, a network path or a local absolute path: no drive goes before it.
bool PercorsoAssoluto(const QString& p) {
    return p.mid(1, 1) == QLatin1String(":") || p.startsWith(QLatin1String("\\\\")) || p.startsWith(QLatin1Char('/'));
}

bool IdNonValido(const QString& id) {
    return id.trimmed().isEmpty() || id.left(4).compare(QLatin1String("Err:"), Qt::CaseInsensitive) == 0;
}

QString CercaFileIni(const QString& nomeFile, const QString& fileInstallazione, const QString& rigaComando) {
    const UtilGenerali& u = ggUtil();
    QStringList candidati;
    candidati << u.EstraiParametro(rigaComando, QStringLiteral("I")).trimmed();
    QString principale;
    LeggiIniFile(QStringLiteral("Setup"), QStringLiteral("IniPrincipale"), QString(), principale, fileInstallazione);
    candidati << principale.trimmed();
    const QString dirPrg = QCoreApplication::applicationDirPath();
    candidati << u.CartellaWindows() + QLatin1Char('/') + nomeFile << dirPrg + QStringLiteral("/main/") + nomeFile
              << QDir::currentPath() + QLatin1Char('/') + nomeFile << dirPrg + QLatin1Char('/') + nomeFile;
    for (const QString& c : candidati)
        if (!c.isEmpty() && u.EsisteFile(c)) return c;
    return {};
}

// "Scelta dell'INI": the database settings file; nullopt when there is none.
std::optional<QString> ScegliIniDb(const QString& precedente) {
    const QString ini = ctx().gsFileIni;
    const int n = LeggiIniIntero(QStringLiteral("Parametri Generali"), QStringLiteral("NumIni"), 0, ini);
    long scelta = 0;
    if (n > 0) {
        QString domanda = QStringLiteral("Numero di ini scelto\n(da 0 a") + NumeroConBlank(n) + QLatin1Char(')');
        for (int i = 1; i <= n; ++i) {
            QString v;
            LeggiIniFile(QStringLiteral("Lista File Ini"), QStringLiteral("OrdIniDBase") + QString::number(i), QString(),
                         v, ini);
            domanda += QLatin1Char('\n') + NumeroConBlank(i) + QStringLiteral(" -> ") + v;
        }
        const auto r = ctx().ggDialoghi->inputBox(domanda, QStringLiteral("Scelta dell'INI"), QStringLiteral("0"));
        scelta = static_cast<long>(ggUtil().ValoreNumerico(r.value_or(QString())));
    }
    if (scelta < 0) return precedente;
    if (scelta > 0) {
        QString v;
        if (LeggiIniFile(QStringLiteral("Lista File Ini"), QStringLiteral("OrdIniDBase") + QString::number(scelta),
                         QString(), v, ini) > 0)
            return v;
    }
    QString v;
    if (LeggiIniFile(QStringLiteral("Parametri Generali"), QStringLiteral("OrdIniDBase"), QString(), v, ini) > 0)
        return v;
    return std::nullopt;
}

// The trap of the two database openings: a damaged or unrecognised file may
// be recovered and opened again (true); anything else is reported (false).
bool RitentaApertura(const ErroreRun& e, const QString& nomeDb) {
    const long n = ggUtil().NumeroErrore(e);
    if (n != NumErrore::FileNonDatabase) {
        MsgStd(QStringLiteral("Errore ") + NumeroConBlank(n) + QStringLiteral(" nell'apertura del database.\nCorreggere e riprovare. (") +
                   e.descrizione() + QStringLiteral(") "),
               StileMsg::Critico);
        return false;
    }
    if (MsgStd(QStringLiteral("Errore nell'apertura del database ") + nomeDb + QStringLiteral("\nVuoi tentare di recuperarlo"),
               StileMsg::Domanda | StileMsg::OkAnnulla) != RispostaMsg::Ok)
        return false;
    int esito;
    QString motivo;
    {
        // Reading a large damaged file row by row takes a while; its report box shows the arrow.
        const CursoreOccupato occupato;
        esito = ggUtil().RiparaDb(nomeDb, &motivo);
    }
    if (esito == 0) return true;
    if (esito == NumErroreDb::FileInUso) {
        MsgStd(QStringLiteral("Errore ") + NumeroConBlank(esito) + QStringLiteral(": il database ") + nomeDb +
                   QStringLiteral(" è aperto su un altro terminale: chiudere il programma sugli altri terminali e "
                                  "riprovare.\nIl file non è stato modificato."),
               StileMsg::Critico);
        return false;
    }
    // The user asked for the recovery and waits for its outcome.
    MsgStd(QStringLiteral("Impossibile recuperare il database ") + nomeDb +
               (motivo.isEmpty() ? QString() : QStringLiteral(": ") + motivo) +
               QStringLiteral("\nIl file non è stato modificato."),
           StileMsg::Critico);
    return false;
}

}  // namespace

void FineProgramma(int flag) {
    if (flag != 0 && OspiteCorrente()) OspiteCorrente()->RilasciaOggetti();
}

// ---- Company database ----

int ApriDbAzienda(const QString& nomeFile, GestoreDb& gestDb, QString& idDb, const QString& fileInstallazione,
                  const QString& rigaComando) {
    Contesto& c = ctx();
    c.gsPwdDbDitta = LeggiValMenu(QStringLiteral("PwdDbAzie")).testo();
    c.gsSepDec = ggUtil().SepDecimali();
    if (ggUtil().EVuoto(c.gsFileIni)) {
        c.gsFileIni = CercaFileIni(nomeFile, fileInstallazione, rigaComando);
        if (c.gsFileIni.isEmpty()) {
            MsgStd(QStringLiteral("File ini non trovato\nSistemare e rieseguire"), StileMsg::Critico);
            FineProgramma(-1);
            return -1;
        }
    }
    for (;;) {
        const auto iniDb = ScegliIniDb(c.gsFileIniDb);
        if (!iniDb) {
            MsgStd(QStringLiteral("File di inizializzazione non trovato\no con informazioni non corrette.\n"
                                  "Correggere e rieseguire il programma."),
                   StileMsg::Critico);
            FineProgramma(-1);
            return -1;
        }
        c.gsFileIniDb = *iniDb;
        QString vis;
        LeggiIniFile(QStringLiteral("Parametri Generali"), QStringLiteral("VisParam"), QString(), vis, c.gsFileIni);
        vis = vis.trimmed();
        if (vis.compare(QLatin1String("TUTTO"), Qt::CaseInsensitive) == 0 ||
            vis.compare(QLatin1String("DB1"), Qt::CaseInsensitive) == 0) {
            const int r = MsgStd(QStringLiteral("Parametri letti:\nFile dei parametri: ") + c.gsFileIniDb +
                                     QStringLiteral("\nDatabase: ") + c.gsNomeDB + QStringLiteral("\nTipo Connessione: ") +
                                     c.gsConnect + QLatin1Char('\n'),
                                 StileMsg::Domanda | StileMsg::SiNoAnnulla);
            if (r == RispostaMsg::No) continue;
            if (r != RispostaMsg::Si) {
                FineProgramma(-1);
                return -1;
            }
        }
        break;
    }
    for (;;) {
        try {
            MostraFrmConn(QStringLiteral("Connessione primaria al database"));
            idDb = CredenzialiDb(gestDb, c.gsNomeDB, c.gsPwdDbDitta, c.gsConnect, true);
            break;
        } catch (const ErroreRun& e) {
            if (!RitentaApertura(e, c.gsNomeDB)) {
                FineProgramma(-1);
                return -1;
            }
        }
    }
    c.gsPwdDbMenu = LeggiValMenu(QStringLiteral("AccMenuPwd")).testo();
    return 0;
}

// ---- Shared database ----

int ApriDbComune() {
    Contesto& c = ctx();
    QString nome;
    if (LeggiValIni(QStringLiteral("Menu"), QStringLiteral("NomeDB"), QString(), nome) == QLatin1String("0")) {
        MsgStd(QStringLiteral("File di inizializzazioni: \n") + c.gsFileIni +
                   QStringLiteral("\n non trovato  o con informazioni non corrette.\nCorreggere e rieseguire il programma."),
               StileMsg::Critico);
        FineProgramma(-1);
        return -1;
    }
    c.gsNomeDbMenu = nome;
    c.gsDriveDbMenu.clear();
    if (!PercorsoAssoluto(nome)) {
        c.gsDriveDbMenu = ValIni(QStringLiteral("Menu"), QStringLiteral("DriveDB"), QString());
        c.gsNomeDbMenu = c.gsDriveDbMenu + nome;
    }
    c.gsConnectMenu = ValIni(QStringLiteral("Menu"), QStringLiteral("Connect"), QString());
    for (;;) {
        try {
            MostraFrmConn(QStringLiteral("Connessione database Comune"));
            c.gsIdDbMenu = CredenzialiDb(*c.ggGestDb, c.gsNomeDbMenu, c.gsPwdDbMenu, c.gsConnectMenu, true);
            break;
        } catch (const ErroreRun& e) {
            if (!RitentaApertura(e, c.gsNomeDbMenu)) {
                FineProgramma(-1);
                return -1;
            }
        }
    }
    ScaricaFrmConn();
    return IdNonValido(c.gsIdDbMenu) ? -1 : 0;
}

// ---- Start-up sequence ----

// Automatic factor for the screen: the design is 800 x 600.
static double FattoreSchermo() {
    SchermoQt s;
    const QSize d = s.DimensioniPixel();
    if (d.width() <= 0 || d.height() <= 0) return 1.0;
    return ggUtil().Arrotonda(std::min(d.width() / 800.0, d.height() / 600.0), -2);
}

static void LeggiFattoriVideo(Contesto& c) {
    auto fattore = [](const QString& chiave, const QString& predefinito) {
        return ggUtil().ImportoDaTesto(ValIni(QStringLiteral("Risoluzione Video"), chiave, predefinito));
    };
    c.gdRisVidGen = fattore(QStringLiteral("Generale"), QStringLiteral("0"));
    c.gdRisVidBase = c.gdRisVidGen != -2 ? c.gdRisVidGen : fattore(QStringLiteral("PersBase"), QStringLiteral("0"));
    auto specifico = [&](const QString& chiave) {
        double v = fattore(chiave, QStringLiteral("-2"));
        if (v == -2) v = c.gdRisVidGen != -2 ? c.gdRisVidGen : c.gdRisVidBase;
        if (v == -2 || v == 0) v = FattoreSchermo();
        return v;
    };
    c.gdRisVidStaVid = specifico(QStringLiteral("StaVid"));
    c.gdRisVidHelp = specifico(QStringLiteral("Help"));
    c.gdRisVidMsg = specifico(QStringLiteral("MsgCom"));
}

bool InizProgramma(const QString& rigaComando, const FabbricaMenuClient& creaMenu) {
    Contesto& c = ctx();
    const UtilGenerali& u = ggUtil();
    c.gsTipoPrg = QStringLiteral("p");
    c.gsMotivoNoChiudi.clear();
    c.gsChiaveMenu = u.EstraiParametro(rigaComando, QStringLiteral("M")).trimmed();
    c.gsChiavePrg = u.EstraiParametro(rigaComando, QStringLiteral("P")).trimmed();
    const int blank = c.gsChiavePrg.indexOf(QLatin1Char(' '));
    c.gsParamAgg = blank >= 0 ? c.gsChiavePrg.mid(blank + 1) : QString();
    if (blank >= 0) c.gsChiavePrg = c.gsChiavePrg.left(blank);
    if (!OspiteCorrente()) c.ggOspite = std::make_shared<Ospite>();
    Ospite& ospite = *OspiteCorrente();
    struct GuardiaAvvio {
        Ospite& o;
        bool riuscito = false;
        explicit GuardiaAvvio(Ospite& ospite) : o(ospite) { o.InizioAvvio(); }
        ~GuardiaAvvio() { o.FineAvvio(riuscito); }
    } guardia(ospite);
    auto fallita = [&] {
        ScaricaFrmConn();
        c.giCodiceUscita = 1;
        ospite.ChiudiDaTimer();
        return false;
    };

    // Link with the menu.
    try {
        c.ggMenuClient = creaMenu();
        if (!c.ggMenuClient) throw ErroreRun(429, QStringLiteral("Menu assente"));
        c.ggMenuClient->ImpostaGestoreComandi(
            [&ospite](const QString& id, const QString& k, const QString& com, const Valore& p, Valore& r) {
                ospite.EseguiComandoMenu(id, k, com, p, r);
            });
        c.ggMenuClient->ImpostaGestorePerdita([&ospite] { ospite.CollegamentoPerso(); });
        c.ggMenuClient->RegistraProgramma(c.gsChiaveMenu, c.gsChiavePrg, c.gsParamAgg);
    } catch (const ErroreRun&) {
        frmMsgCom::msgCom(TestoMenuAssente);
        return fallita();
    }
    InfoLancio info;
    try {
        info = c.ggMenuClient->LeggiInfoLancio();
    } catch (const ErroreRun&) {
        frmMsgCom::msgCom(QStringLiteral("Problemi col collegamento col menù\nForse questo programma non è stato lanciato correttamente"));
        return fallita();
    }
    c.gsFileHelp = u.EstraiParametro(info.osParam, QStringLiteral("H")).trimmed();
    try {
        c.gsFileIni = c.ggMenuClient->FileImpostazioni();
        MostraVersione(-1, -1);
        c.gsNomeDB = c.ggMenuClient->LeggiValoreSess(QStringLiteral("NomeDBAzie")).testo();
        c.gsConnect = c.ggMenuClient->LeggiValoreSess(QStringLiteral("ConnectDBAzie")).testo();
        if (!c.ggGestDb) c.ggGestDb = std::make_shared<GestoreDb>();
        if (ApriDbAzienda(QStringLiteral("qorwin.ini"), *c.ggGestDb, c.gsIdDbase, FileInstallazione, rigaComando) != 0 ||
            IdNonValido(c.gsIdDbase))
            return fallita();
        CaricaParAzienda(0);
        // Without the shared database nothing can run: stop here.
        if (ApriDbComune() != 0) return fallita();
        CreaAiuti();
        LeggiFattoriVideo(c);
        QString dir;
        if (LeggiValIni(QStringLiteral("Base"), QStringLiteral("DirImgEmail"), QString(), dir) == QLatin1String("0"))
            LeggiValIni(QStringLiteral("Base"), QStringLiteral("DirImmagini"), QString(), dir);
        if (!PercorsoAssoluto(dir))
            dir = u.ComponiPercorso(QString(), ValIni(QStringLiteral("Base"), QStringLiteral("DriveDB"), QString()), dir);
        c.gsDirImgEmail = dir;
        c.gsFormDaAprire = u.EstraiParametro(rigaComando, QStringLiteral("F")).trimmed();
        c.gbLisSpostaCurs =
            ValIni(QStringLiteral("Config"), QStringLiteral("LisSpostaCurs"), QStringLiteral("N")).toUpper() == QLatin1String("S");
        c.gsDataMinima = LeggiParPers(QStringLiteral("Tutti"), QStringLiteral("DataMinima"), Valore("01/01/1900")).testo();
        const InfoLancio lancio = c.ggMenuClient->LeggiInfoLancio();
        ospite.ApriFormRichiesta(c.gsFormDaAprire, -1, c.gsParamAgg, lancio.osChiLancia, lancio.osKeySecLancia,
                                 lancio.osParamLancia);
        guardia.riuscito = true;
        return true;
    } catch (const ErroreRun& e) {
        const long n = u.NumeroErrore(e);
        if (n == 5) MsgStd(TestoMenuAssente, StileMsg::Critico);
        else if (n == NumErrore::MemoriaEsaurita)
            MsgStd(QStringLiteral("Memoria esaurita\nChiudere qualche programma e riprovare"), StileMsg::Critico);
        else
            MsgStd(QStringLiteral("Errore (") + QString::number(n) + QStringLiteral("): ") + e.descrizione() +
                       QStringLiteral("\nProbabilmente il menù non è stato avviato correttamente"),
                   StileMsg::SoloOk);
        return fallita();
    }
}
