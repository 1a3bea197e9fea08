#include "print/opzioni/OpzioniIni.h"

#include "common/FrmMsgCom.h"
#include "components/core/ErroreRun.h"
#include "components/platform/ServizioDialoghi.h"
#include "components/stampa/OpzSta.h"
#include "components/stampa/Stampa.h"
#include "components/stampanti/ServizioStampanti.h"
#include "components/util/UtilGenerali.h"
#include "print/lavoro/LavoroStampa.h"
#include "print/anteprima/frmVStaPar.h"
#include "print/opzioni/CorrMargini.h"
#include "print/opzioni/PostaStampa.h"
#include "print/opzioni/Stampanti.h"
#include "print/opzioni/TitoloPorta.h"
#include "contesto/Contesto.h"
#include "contesto/ImpostazioniIni.h"
#include "components/platform/Sessioni.h"

#include <limits>

namespace {

// Whole numbers of the options are 16-bit in the settings' terms: a larger
// stored number is a settings problem, not a silent wrap.
int intero16(double n) {
    if (n < std::numeric_limits<int16_t>::min() || n > std::numeric_limits<int16_t>::max())
        throw ErroreRun(6, QStringLiteral("Overflow"));
    return static_cast<int>(n < 0 ? n - 0.5 : n + 0.5);
}

// The character of a code 0 to 255.
QString carattere(double n) {
    if (n < 0 || n > 255) throw ErroreRun(5, QStringLiteral("Chiamata di routine o argomento non validi"));
    return QString(QChar(static_cast<int>(n)));
}

double numero(const QString& v) { return ggUtil().ValoreNumerico(v); }

bool eNumero(const QString& v) {
    double d;
    return leggiNumeroItaliano(v.trimmed(), d);
}

// A number (on when not zero) or "S".
bool siNo(const QString& v) { return eNumero(v) ? numero(v) != 0 : v.trimmed().compare(QStringLiteral("S"), Qt::CaseInsensitive) == 0; }

QString flag(bool b) { return b ? QStringLiteral("-1") : QStringLiteral("0"); }

class LettoreChiavi {
public:
    LettoreChiavi(const OpzSta& opz, const QString& esclusi) : sezione_(opz.Sezione), esclusi_(esclusi) {}

    // The key from the report's section, else from "Opzioni Stampa" (unless
    // excluded). Nothing when excluded and not in the section; inSezione
    // tells where the value came from.
    std::optional<QString> leggi(const QString& chiave, const QString& predefinito, bool* inSezione = nullptr) {
        QString valore;
        const bool trovato = LeggiValIni(sezione_, chiave, predefinito, valore).toInt() > 0;
        if (inSezione) *inSezione = trovato;
        if (trovato) return valore;
        if (esclusi_.contains(QStringLiteral(",") + chiave, Qt::CaseInsensitive)) return std::nullopt;
        LeggiValIni(SezioneOpzioniStampa, chiave, predefinito, valore);
        return valore;
    }

private:
    QString sezione_;
    QString esclusi_;
};

void messaggioAltraSessione(const QString& nome) {
    frmMsgCom::msgCom(QStringLiteral("La stampante (") + nome +
                      QStringLiteral(") predefinita appartiene ad un'altra sessione\n"
                                     "Scegliere una stampante o cambiare la stampante predefinita"));
}

void boxStampante(const QString& testo) { ctx().ggDialoghi->msgBox(testo, StileMsg::SoloOk, ctx().gsTitoloApp); }

// The default printer of this session, when the program has moved its
// current printer back to it.
void controllaPredefinita(const OpzSta& opz) {
    const long sessione = ggStampanti().giSessioneTerm;
    try {
        QString nome, nonDisp, porta;
        ImpostaPrinterDefWin(nome, nonDisp, porta);
        if (nome.isEmpty()) {
            if (StampanteAltraSessione(nonDisp, sessione)) {
                messaggioAltraSessione(nonDisp);
                if (StampanteCambiata()) AzzeraStampanteNonDisp(QStringLiteral("NomeStampante"), nonDisp, opz.Sezione);
            }
        } else if (StampanteAltraSessione(nome, sessione)) {
            messaggioAltraSessione(nome);
        }
    } catch (const ErroreRun&) {
        // Only a check: the options are read all the same.
    }
}

void leggiChiavi(OpzSta& opz, const QString& esclusi, const QString& pdfPredefinito) {
    LettoreChiavi k(opz, esclusi);
    auto testo = [&](const char* chiave, QString& opzione, const QString& predefinito) {
        if (auto v = k.leggi(QString::fromLatin1(chiave), predefinito)) opzione = v->trimmed();
    };
    auto intero = [&](const char* chiave, int& opzione) {
        if (auto v = k.leggi(QString::fromLatin1(chiave), QString::number(opzione))) opzione = intero16(numero(*v));
    };
    auto vero = [&](const char* chiave, bool& opzione) {
        if (auto v = k.leggi(QString::fromLatin1(chiave), flag(opzione))) opzione = numero(*v) != 0;
    };
    auto interoNominato = [&](const char* chiave, const char* nome) {
        const QString n = QString::fromLatin1(nome);
        const QString attuale = QString::number(intero16(numero(opz.LeggiOpzione(n).testo())));
        if (auto v = k.leggi(QString::fromLatin1(chiave), attuale)) opz.ImpOpzione(n, TipoDato::Intero, intero16(numero(*v)));
    };
    auto siNoNominato = [&](const char* chiave, const char* nome, const QString& predefinito) {
        if (auto v = k.leggi(QString::fromLatin1(chiave), predefinito)) opz.ImpOpzione(QString::fromLatin1(nome), 12, siNo(*v));
    };

    intero("StaVid", opz.oiStaVid);
    testo("NomeStampante", opz.osNomeStampante, QString());
    opz.osNomeStampante = NomeStampanteSessione(opz.osNomeStampante);
    testo("NomePorta", opz.NomePorta, QString());
    intero("ForzaVert", opz.ForzaVert);
    intero("FileForm", opz.FileForm);
    testo("FileName", opz.FileName, opz.FileName);
    testo("PathDefault", opz.PathDefault, opz.PathDefault);

    const QString codiceSep = opz.SepCampi.isEmpty() ? QStringLiteral("0") : QString::number(opz.SepCampi.at(0).unicode());
    if (auto v = k.leggi(QStringLiteral("SepCampi"), codiceSep)) opz.SepCampi = carattere(numero(*v));
    if (auto v = k.leggi(QStringLiteral("DelimStr"), opz.DelimStr)) {
        const double n = numero(*v);
        opz.DelimStr = n == 0 ? *v : n == -1 ? QString() : carattere(n);
    }

    vero("NumNoForm", opz.NumNoForm);
    vero("RadSepCampo", opz.RadSepCampo);
    if (auto v = k.leggi(QStringLiteral("Fatt"), numeroInTesto(opz.Fatt))) opz.Fatt = ggUtil().NumeroDaStringa(*v);
    intero("MemVid", opz.MemVid);
    testo("FisFileName", opz.FisFileName, opz.FisFileName);
    {
        bool inSezione = false;
        if (auto v = k.leggi(QStringLiteral("FisStampante"), flag(opz.FisStampante), &inSezione))
            opz.FisStampante = inSezione ? siNo(*v) : numero(*v) != 0;
    }
    intero("FisMrAlt", opz.FisMrAlt);
    intero("FisMrBas", opz.FisMrBas);
    intero("FisColonne", opz.FisColonne);
    intero("FisRighe", opz.FisRighe);
    testo("FisCodIniComp", opz.FisCodIniComp, opz.FisCodIniComp);
    testo("FisCodFinComp", opz.FisCodFinComp, opz.FisCodFinComp);
    vero("FisUtilComp", opz.FisUtilComp);
    interoNominato("Cassetto", "NumCassetto");
    interoNominato("TipoCarta", "NumTipoCarta");

    auto acceso = [&](const char* nome) { return opz.LeggiOpzione(QString::fromLatin1(nome)).booleano(); };
    const QString pdfAttuale = acceso("PdfAutomAbil") ? QStringLiteral("S") : QStringLiteral("N");
    siNoNominato("PdfNomeAutom", "PdfAutomAbil", pdfPredefinito.isEmpty() ? pdfAttuale : pdfPredefinito);

    // The automatic PDF goes through a PDF printer that the menu enables.
    if (acceso("PdfAutomAbil")) {
        auto abilitato = [](const char* nome) {
            return LeggiValMenu(QString::fromLatin1(nome)).testo().compare(QStringLiteral("S"), Qt::CaseInsensitive) == 0;
        };
        QString pdf;
        if (abilitato("UsaPdfCreator"))
            pdf = QStringLiteral("PDFCreator");
        else if (abilitato("UsaPdf995"))
            pdf = QStringLiteral("PDF995");
        if (pdf.isEmpty()) {
            opz.ImpOpzione(QStringLiteral("PdfAutomAbil"), 12, false);
        } else {
            opz.osNomeStampante = pdf;
            ImpostaPortaStampanteOpz(opz, pdf);
        }
    }
    if (acceso("PdfAutomAbil"))
        siNoNominato("InviaEmail", "EmailInvia", acceso("EmailInvia") ? QStringLiteral("S") : QStringLiteral("N"));

    opz.NumAzzerato = 0;
    opz.TestoAzzerato1.clear();
    opz.TestoAzzerato2.clear();
    opz.TestoAzzerato3.clear();
}

// Route 0: the printer must be usable from this session.
void controllaStampante(const OpzSta& opz) {
    if (opz.oiStaVid != OpzSta::Stampante) return;
    QString nome = opz.osNomeStampante;
    if (nome.isEmpty()) {
        nome = ggStampanti().NomeCorrente();
        if (nome.isEmpty())
            boxStampante(QStringLiteral("Stampante di default non disponibile\nAndare in selezione stampanti per "
                                        "scegliere una o impostare la stampante di default da windows"));
    }
    if (StampanteAltraSessione(nome, ggStampanti().giSessioneTerm))
        boxStampante(QStringLiteral("Stampante di default di altra sessione (") + nome +
                     QStringLiteral(")\nAndare in selezione stampanti per scegliere quella del computer in uso"));
}

}  // namespace

void IniOpzSta(OpzSta& opz, const QString& osKeySec, const QString& sezione, const QString& suffisso,
               const QString& esclusi, const QString& pdfPredefinito) {
    try {
        auto& s = ggStampanti();
        s.gsTermSessAggNome = LeggiParPers(QStringLiteral("Stampanti"), QStringLiteral("TermSessAggNome"), QString()).testo();
        s.giSessioneTerm = InfoSessione();

        // The section first: a printer of another session is emptied in this
        // report's own section.
        opz.Sezione = sezione.isEmpty() ? ctx().gsChiavePrg + osKeySec + suffisso : sezione;
        controllaPredefinita(opz);

        LeggiTitoloMenuStampa(opz, osKeySec);
        leggiChiavi(opz, esclusi, pdfPredefinito);
        controllaStampante(opz);
    } catch (const ErroreRun&) {
        ctx().ggDialoghi->msgBox(QStringLiteral("(IniOpzSta) Problemi nei parametri \nnel file di inizializzazione. \n"
                                                "Uso i valori di default"),
                                 StileMsg::SoloOk | StileMsg::Critico, QStringLiteral("Errore file ini"));
    }
    // The stored factor does not depend on the screen; the preview's does.
    if (ctx().gdRisVidStaVid > 0) opz.Fatt *= ctx().gdRisVidStaVid;
}

int StampaVideoDaForm(FormStampaVideo& form, OpzSta& opz, bool ripristina) {
    const int percorso = opz.oiStaVid;
    opz.VideoScelto = true;
    opz.oiStaVid = OpzSta::Video;
    form.VisStaAttuale();
    form.ComStampa_Click();
    if (ripristina) {
        opz.oiStaVid = percorso;
        form.VisStaAttuale();
    }
    return percorso;
}

void InstallaServiziStampanti() {
    auto& s = serviziLavoroStampa();
    s.StampanteCorrente = [] { return ggStampanti().NomeCorrente(); };
    s.ImpostaPrinterOpz = [](OpzSta& opz, int avviso) { return ImpostaPrinterOpz(opz, avviso != 0); };
    s.CorrMarginiStampante = [](Stampa& st) { CorrMarginiStampante(st); };
    s.FormZoom = []() -> QWidget* { return frmVStaPar::Istanza(); };
    InstallaServiziPosta();
}
