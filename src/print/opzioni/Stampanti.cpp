#include "print/opzioni/Stampanti.h"

#include "common/FrmMsgCom.h"
#include "common/form/UtilForm.h"
#include "components/core/ErroreRun.h"
#include "components/menu/MenuClient.h"
#include "components/stampa/OpzSta.h"
#include "components/util/UtilGenerali.h"
#include "contesto/Contesto.h"
#include "contesto/ImpostazioniIni.h"
#include "components/platform/Sessioni.h"

#include <QRegularExpression>

namespace {

const QString Segnaposto = QStringLiteral("%§");

bool traduzioneSpenta(const QString& schema, long sessione) {
    return sessione <= 1 || ggUtil().EVuoto(schema);
}

void avvisoStampante(const QString& inUso, const QString& voluta) {
    frmMsgCom::msgCom(QStringLiteral("Impossibile impostare la stampante predefinita\nLa stampa verrà fatta su ") +
                      inUso + QStringLiteral("\nper stampare su ") + voluta +
                      QStringLiteral(" uscire dal programma e rientrare"));
}

}  // namespace

QString SuffissoSessione(const QString& schema, long sessione) {
    return QString(schema).replace(Segnaposto, QString::number(sessione));
}

QString NomeStampanteSessione(const QString& nome, const QString& schema, long sessione) {
    if (traduzioneSpenta(schema, sessione)) return nome;
    return ggUtil().SostituisciTesto(1, nome, schema, SuffissoSessione(schema, sessione),
                                     Confronto::IgnoraMaiuscole);
}

QString NomeStampanteGenerico(const QString& nome, const QString& schema, long sessione) {
    if (traduzioneSpenta(schema, sessione)) return nome;
    return ggUtil().SostituisciTesto(1, nome, SuffissoSessione(schema, sessione), schema,
                                     Confronto::IgnoraMaiuscole);
}

bool StampanteAltraSessione(const QString& nome, long sessione, const QString& schema) {
    if (schema.isEmpty() || sessione <= 1 || ggUtil().EVuoto(nome)) return false;
    // The pattern as an expression: each "%§" takes a whole run of digits,
    // the same number wherever it appears.
    const QStringList parti = schema.split(Segnaposto);
    QString espr = QRegularExpression::escape(parti.first());
    for (int i = 1; i < parti.size(); ++i)
        espr += (i == 1 ? QStringLiteral("(\\d+)") : QStringLiteral("\\1")) + QRegularExpression::escape(parti[i]);
    const QRegularExpression re(espr, QRegularExpression::CaseInsensitiveOption);
    auto trovati = re.globalMatch(nome);
    while (trovati.hasNext()) {
        const auto m = trovati.next();
        if (parti.size() == 1) return true;  // no number in the pattern: every session's suffix
        const QString cifre = m.captured(1);
        bool ok = false;
        const qlonglong n = cifre.toLongLong(&ok);
        // Only the plain decimal form of a number is a session's suffix ("02" is none).
        if (ok && QString::number(n) == cifre && n >= 2 && n != sessione) return true;
    }
    return false;
}

QString NomeStampanteSessione(const QString& nome) {
    const auto& s = ggStampanti();
    return NomeStampanteSessione(nome, s.gsTermSessAggNome, s.giSessioneTerm);
}

QString NomeStampanteGenerico(const QString& nome) {
    const auto& s = ggStampanti();
    return NomeStampanteGenerico(nome, s.gsTermSessAggNome, s.giSessioneTerm);
}

bool StampanteAltraSessione(const QString& nome, long sessione) {
    return StampanteAltraSessione(nome, sessione, ggStampanti().gsTermSessAggNome);
}

std::optional<StampanteInstallata> StampanteDefWin(QString& nome, QString& nomeNonDisp, QString& porta) {
    nomeNonDisp.clear();
    nome = ggStampanti().NomePredefinita();
    auto s = ggStampanti().Cerca(nome);
    porta = s ? s->porta : QString();
    if (!s) {
        nomeNonDisp = nome;
        nome.clear();
    }
    return s;
}

void ImpostaPrinterDefWin(QString& nome, QString& nomeNonDisp, QString& porta) {
    if (!StampanteCambiata()) return;
    if (auto s = StampanteDefWin(nome, nomeNonDisp, porta)) ggStampanti().Assegna(s->nome);
}

bool StampanteCambiata() { return ggStampanti().Assegnata(); }

QList<StampanteInstallata> ElencoStampantiWin() {
    const long sessione = InfoSessione();
    QList<StampanteInstallata> elenco;
    for (const auto& s : ggStampanti().Installate())
        if (!s.nome.trimmed().isEmpty() && !StampanteAltraSessione(s.nome, sessione)) elenco.append(s);
    return elenco;
}

QString LeggiPortaStampanteWin(const QString& nome) {
    const auto s = ggStampanti().Cerca(nome);
    return s ? s->porta : QString();
}

bool StampanteReteNT(const QString& nome) {
    return LeggiValMenu(QStringLiteral("OSPlatform")).numero() == 2 && nome.startsWith(QStringLiteral("\\\\"));
}

void AzzeraStampanteNonDisp(const QString& chiave, const QString& nome, const QString& sezione) {
    frmMsgCom::msgCom(QStringLiteral("Nella lista delle stampanti non è disponibile la stampante predefinita ") +
                      nome +
                      QStringLiteral("\nUscire dal programma e rientrare per avere impostato la stampante predefinita"));
    // A failed write is shown, not passed over.
    ScriviValIni(sezione, chiave, QString(), true, true, 1);
}

bool ImpostaPrinterNome(const QString& nome, bool avvisa, const QString& nomeInUso) {
    // The hourglass for the whole check; it goes before any box.
    struct Clessidra {
        bool attiva;
        explicit Clessidra(bool a) : attiva(a) {
            if (attiva) CursoreAttesa(1);
        }
        void togli() {
            if (attiva) CursoreAttesa(0);
            attiva = false;
        }
        ~Clessidra() { togli(); }
    } clessidra(avvisa);
    try {
        if (ggUtil().EVuoto(nome) || ggStampanti().Cerca(nome)) return true;
        if (avvisa) {
            clessidra.togli();
            avvisoStampante(nomeInUso.isEmpty() ? ggStampanti().NomeCorrente() : nomeInUso, nome);
        }
    } catch (const ErroreRun& e) {
        clessidra.togli();
        frmMsgCom::MsgErrfrm(e);
    }
    return false;
}

bool SelStampanteOpz(QString& nome, OpzSta& opz, bool ripristina) {
    if (ripristina) {
        if (nome.compare(opz.osNomeStampante, Qt::CaseInsensitive) != 0) return false;
        // The printer saved for the report, as stored.
        LeggiValIni(opz.Sezione, QStringLiteral("NomeStampante"), QString(), nome);
        if (ggUtil().EVuoto(nome)) {
            QString predefinita, nonDisp, porta;
            StampanteDefWin(predefinita, nonDisp, porta);
            opz.osNomeStampante = predefinita.isEmpty() ? nonDisp : predefinita;
            opz.NomePorta = porta;
            return true;
        }
    }
    const auto s = ggStampanti().Cerca(nome);
    if (!s) return false;
    opz.osNomeStampante = s->nome;
    opz.NomePorta = s->porta;
    opz.ImpOpzione(QStringLiteral("NumCassetto"), 12, 0);
    opz.ImpOpzione(QStringLiteral("NumTipoCarta"), 12, 0);
    return true;
}

bool ImpostaPrinterOpz(OpzSta& opz, bool avvisa) {
    if (opz.osNomeStampante.isEmpty()) return true;
    if (const auto s = ggStampanti().Cerca(opz.osNomeStampante)) {
        ggStampanti().Assegna(s->nome);
        return true;
    }
    // Not installed: the job prints on the current printer. The system default
    // is left alone.
    if (avvisa) avvisoStampante(ggStampanti().NomeCorrente(), opz.osNomeStampante);
    return false;
}
