#include "print/opzioni/SalvaOpzioni.h"

#include "components/core/Valore.h"
#include "components/stampa/OpzSta.h"
#include "components/util/UtilGenerali.h"
#include "contesto/ImpostazioniIni.h"
#include "print/opzioni/Stampanti.h"

#include <QFileInfo>

#include <algorithm>

namespace {

QString siNo(bool b) { return b ? QStringLiteral("Sì") : QStringLiteral("No"); }
QString flag(bool b) { return b ? QStringLiteral("-1") : QStringLiteral("0"); }
bool vuoto(const QString& t) { return ggUtil().EVuoto(Valore(t), TipoDato::Testo); }

QString descrPercorso(int p) {
    switch (p) {
    case OpzSta::Stampante: return QStringLiteral("Stampante");
    case OpzSta::Video: return QStringLiteral("Video");
    case OpzSta::File: return QStringLiteral("File");
    case OpzSta::LarghezzaFissa: return QStringLiteral("Fissa");
    default: return QString::number(p);
    }
}

QString descrCarattere(const QString& c) {
    if (c == QStringLiteral("\t")) return QStringLiteral("Tab");
    if (c == QStringLiteral(" ")) return QStringLiteral("Spazio");
    return c;
}

int16_t intero16(const Valore& v) {
    const double n = ggUtil().Arrotonda(v.numero(), 0);
    return static_cast<int16_t>(std::clamp(n, -32768.0, 32767.0));
}

}  // namespace

QList<RigaSalvataggio> RigheSalvataggio(const OpzSta& opz, double fattoreVideo, const QString& fileDialogo) {
    QList<RigaSalvataggio> r;
    auto riga = [&](int n, const char* didascalia, const char* chiave, const QString& valore, const QString& mostrato,
                    bool rimuovi = false) {
        r.append({n, QString::fromUtf8(didascalia), QString::fromLatin1(chiave), valore, mostrato, rimuovi});
    };
    auto testo = [&](int n, const char* didascalia, const char* chiave, const QString& valore) {
        riga(n, didascalia, chiave, valore, valore, vuoto(valore));
    };
    auto numero = [&](int n, const char* didascalia, const char* chiave, int valore) {
        riga(n, didascalia, chiave, QString::number(valore), QString::number(valore));
    };

    riga(0, "Dove stampare:", "StaVid", QString::number(opz.oiStaVid), descrPercorso(opz.oiStaVid));
    riga(1, "Forza verticale:", "ForzaVert", QString::number(opz.ForzaVert), siNo(opz.ForzaVert == -1));
    testo(2, "File di stampa per stampe su file:", "FileName", opz.FileName);
    riga(3, "Formato di stampa per stampe su file:", "FileForm", QString::number(opz.FileForm),
         OpzSta::DescrFormatoFile(opz.FileForm));
    {
        QString cartella;
        if (!fileDialogo.isEmpty()) cartella = ggUtil().SistemaPercorso(QFileInfo(fileDialogo).path());
        if (cartella.isEmpty()) cartella = opz.PathDefault;
        riga(4, "Path di default:", "PathDefault", opz.PathDefault, cartella, vuoto(opz.PathDefault));
    }
    // A separator is stored by its character code; an empty one has no code
    // and its key goes, so the reader keeps its default.
    riga(5, "Separatore campi per stampe su file:", "SepCampi",
         opz.SepCampi.isEmpty() ? QString() : QString::number(opz.SepCampi.at(0).unicode()), descrCarattere(opz.SepCampi),
         opz.SepCampi.isEmpty());
    riga(6, "Qualificatore testo per stampe su file:", "DelimStr",
         opz.DelimStr.isEmpty() ? QStringLiteral("-1") : QString::number(opz.DelimStr.at(0).unicode()), opz.DelimStr,
         !opz.DelimStr.isEmpty() && vuoto(opz.DelimStr));
    riga(7, "Tolgo il formato nei campi numerici  per stampe su file:", "NumNoForm", flag(opz.NumNoForm),
         siNo(opz.NumNoForm));
    {
        // The stored factor does not depend on the screen; written with a
        // decimal comma, the form the reader takes whatever the locale.
        const double f = fattoreVideo > 0 ? ggUtil().Arrotonda(opz.Fatt / fattoreVideo, -2) : opz.Fatt;
        const QString t = numeroInTesto(f);
        riga(8, "Fattore di visualizzazione:", "Fatt", t, t);
    }
    numero(9, "Memorizza pagine per stampa a video:", "MemVid", opz.MemVid);
    testo(10, "Nome file per stampa fissa:", "FisFileName", opz.FisFileName);
    riga(11, "Stampa fissa su:", "FisStampante", flag(opz.FisStampante), siNo(opz.FisStampante));
    numero(12, "Righe vuote in alto per stampa fissa:", "FisMrAlt", opz.FisMrAlt);
    numero(13, "Righe vuote in basso per stampa fissa:", "FisMrBas", opz.FisMrBas);
    numero(14, "Numero di colonne per stampa fissa:", "FisColonne", opz.FisColonne);
    numero(15, "Righe per pagina per stampa fissa:", "FisRighe", opz.FisRighe);
    testo(16, "Sequenza inizio compresso:", "FisCodIniComp", opz.FisCodIniComp);
    testo(17, "Sequenza fine compresso:", "FisCodFinComp", opz.FisCodFinComp);
    riga(18, "Stampa in compresso per stampa fissa:", "FisUtilComp", flag(opz.FisUtilComp), siNo(opz.FisUtilComp));
    riga(19, "Nome stampante:", "NomeStampante", NomeStampanteGenerico(opz.osNomeStampante), opz.osNomeStampante,
         vuoto(opz.osNomeStampante));
    testo(20, "Porta stampante:", "NomePorta", opz.NomePorta);
    auto carta = [&](int n, const char* didascalia, const char* chiave, const char* opzione) {
        const int v = intero16(opz.LeggiOpzione(QString::fromLatin1(opzione)));
        riga(n, didascalia, chiave, QString::number(v), v > 0 ? QString::number(v) : QStringLiteral("Default"), v == 0);
    };
    carta(21, "Cassetto:", "Cassetto", "NumCassetto");
    carta(24, "Tipo carta:", "TipoCarta", "NumTipoCarta");
    auto sn = [&](const char* o) {
        return opz.LeggiOpzione(QString::fromLatin1(o)).booleano() ? QStringLiteral("S") : QStringLiteral("N");
    };
    riga(22, "Nome file Pdf autom.", "PdfNomeAutom", sn("PdfAutomAbil"), QString());
    riga(23, "Invia per Email", "InviaEmail", sn("EmailInvia"), QString());
    return r;
}

QStringList ApplicaSalvataggio(const QList<RigaSalvataggio>& righe, const QSet<int>& spuntate, bool cancella,
                               bool interaSezione, const QString& sezione, const QString& file) {
    QStringList mancate;
    bool tutte = true;
    for (const auto& r : righe) tutte = tutte && spuntate.contains(r.riga);
    if (cancella && interaSezione && tutte) {
        if (!ScriviValIni(sezione, QString(), QString(), false, true, 1, 1, 0, file))
            mancate << QStringLiteral("[") + sezione + QStringLiteral("]");
        return mancate;
    }
    for (const auto& r : righe) {
        if (!spuntate.contains(r.riga)) continue;
        const bool rimuovi = cancella || r.rimuovi;
        if (!ScriviValIni(sezione, r.chiave, rimuovi ? QString() : r.valore, false, true, 1, 0, rimuovi ? 1 : 0, file))
            mancate << r.chiave;
    }
    return mancate;
}
