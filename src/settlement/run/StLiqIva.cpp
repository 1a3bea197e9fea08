#include "settlement/run/StLiqIva.h"

#include "common/FrmMsgCom.h"
#include "common/MsgErrori.h"
#include "components/core/ErroreRun.h"
#include "components/db/GestRecordset.h"
#include "components/db/GestoreDb.h"
#include "components/stampa/FontSta.h"
#include "components/stampa/OpzSta.h"
#include "components/stampa/Stampa.h"
#include "components/util/Percorsi.h"
#include "print/lavoro/FrmStampaInCorso.h"
#include "print/lavoro/LavoroStampa.h"
#include "settlement/file/FileLiqIva.h"
#include "settlement/run/NomiFileLiqIva.h"
#include "settlement/stampa/ModelloLiqIva.h"
#include "contesto/Contesto.h"

#include <QImage>

struct stLiqIva::Stato {
    QString msSezione;
    QString msTitolo;
    std::shared_ptr<FontSta> mgFontSta;
    std::shared_ptr<Stampa> mgStampa;
    std::unique_ptr<GestRecordset> mgGestRs;
    QString msKeyRs;
    std::unique_ptr<FileLiqIva> mgFile;
    ModelloLiqIva modello;
    // What one run has done so far.
    struct Run {
        QImage immagine1, immagine2;  // backgrounds of the front page and of a module page
        long righe = 0, scritte = 0;
        bool fileAperto = false, codaScritta = false, consegnato = false, schemaRifiutato = false;
        bool documentoTenuto = false;  // the preview goes on with the next company
        bool iniziata = false;         // its file or its first page was begun
    } run;
};

stLiqIva::stLiqIva() : s_(std::make_unique<Stato>()) {}
stLiqIva::~stLiqIva() = default;

int stLiqIva::oiStaAtt() const { return ctx().giStaAtt; }
void stLiqIva::oiStaAtt(int valore) { ctx().giStaAtt = valore; }

bool stLiqIva::ChiudiFile() {
    if (!s_->mgFile) return true;
    try {
        s_->mgFile->ChiudiFile();
        return true;
    } catch (const ErroreRun& e) {
        MsgErrore(e, QStringLiteral("(") + s_->msTitolo + QStringLiteral(") Errore durante la chiusura del file di scarico"));
        return false;
    }
}

namespace {

// A file name takes the tax code as it stands only when it is a plain code:
// any other character becomes "_", so that a stored value never leads the
// file into another folder.
QString CodiceNelNome(const QString& codice) {
    QString r = codice.trimmed();
    for (QChar& ch : r)
        if (!(ch.isLetterOrNumber() && ch.unicode() < 128)) ch = QLatin1Char('_');
    return r;
}

// The print-in-progress box of the print object, with the run's title and page "000".
void PreparaInCorso(Stampa& st, const QString& titolo) {
    if (auto* box = dynamic_cast<frmStampaInCorso*>(st.ofrmStampaInCorso)) box->Prepara(titolo, &st);
}

// A page's background picture; a page configured without one ("\") has none.
void Sfondo(Stampa& st, const QImage& immagine, const QRectF& r) {
    if (!immagine.isNull()) st.StampaImmagine(immagine, r.x(), r.y(), r.width(), r.height());
}

// A background picture; "\\" stands for a page without one.
void CaricaSfondo(const QString& percorso, QImage& immagine) {
    if (percorso == QLatin1String("\\")) return;
    if (!immagine.load(PercorsoLocale(percorso)))
        throw ErroreRun(NumErrore::FileNonTrovato, QStringLiteral("Impossibile caricare l'immagine ") + percorso);
}

// A step of the ending: its failure must not keep the others from running.
template <typename Passo>
void Tenta(const Passo& passo) {
    try {
        passo();
    } catch (...) {
        // The ending goes on: the failure of one step was shown by the step or does not matter.
    }
}

}  // namespace

// One run: the print set-up, the query, the file and the pages in one pass,
// then the ending, which is attempted whatever happened before it.
void stLiqIva::AvviaStampa() {
    Stato& s = *s_;
    iniziaRun();
    try {
        eseguiRun();
    } catch (const ErroreRun& e) {
        frmMsgCom::MsgErrfrm(e, {}, {}, s.msTitolo);
        ++oiErrore;
    } catch (const std::exception& e) {
        frmMsgCom::MsgErrfrm(Valore(QString::fromLocal8Bit(e.what())), Valore(0), {}, {}, s.msTitolo);
        ++oiErrore;
    }
    concludiStampa();
    avvisaFileDaNonTrasmettere();
    rilasciaRun();
}

void stLiqIva::iniziaRun() {
    Stato& s = *s_;
    obStaAtt = true;
    oiErrore = 0;
    // Nothing of an earlier company's run may survive into this one.
    obStampato = false;
    obStampaRifiutata = false;
    s.mgFile.reset();
    s.msKeyRs.clear();
    s.run = {};
    s.msSezione = ogOpzSta ? ogOpzSta->Sezione : QString();
    s.msTitolo = QStringLiteral("Liquidazione Iva Periodica ") + QStringLiteral(" - ") + osDescAzie;
}

// The data phase; each step returns false where the run goes to its ending.
void stLiqIva::eseguiRun() {
    Stato& s = *s_;
    if (obStampa && !preparaStampa()) {
        obStampaRifiutata = true;
        return;
    }
    ctx().giStaAtt = 1;
    if (!apriDati()) return;
    const LettoreRiga riga = RigaDaRecordset(*s.mgGestRs, s.msKeyRs);
    const LettoreCampo campo = ModelloLiqIva::DaRecordset(*s.mgGestRs, s.msKeyRs);
    // A stop while the preview waits before this company's first page (or
    // on that page as it begins) ends the range as a stop on any later page.
    if (obStampa && !avviaDocumento()) {
        if (annullata()) fermataUtente();
        return;
    }
    s.run.iniziata = true;
    s.mgGestRs->PrimoRec(s.msKeyRs);
    if (obEstrFile) apriFileRun(riga);
    if (obStampa) {
        Stampa& st = *s.mgStampa;
        Sfondo(st, s.run.immagine1, s.modello.RettangoloFoglio(PaginaLiqIva::Intestazione));
        s.modello.StaIntest(st, campo);
    }
    if (!scriviModuli(riga, campo)) return;
    if (obEstrFile) chiudiFileRun();
}

// The print object, the print-in-progress box and the two background pictures.
bool stLiqIva::preparaStampa() {
    Stato& s = *s_;
    if (ParteSuccessiva(s.mgStampa.get())) {
        // An earlier company left its preview open: this one goes on in it.
        PreparaInCorso(*s.mgStampa, s.msTitolo);
    } else {
        if (!s.mgStampa) s.mgStampa = std::make_shared<Stampa>();
        Stampa& st = *s.mgStampa;
        InizStampa(st, 0, 0);
        st.ImpChiamante(this);
        st.ogOpzSta = ogOpzSta;
        IniParamStampa(s.msSezione, st, {}, 0);
        st.ImpInterruzione(0);
        PreparaInCorso(st, s.msTitolo);
        bool nonAvviare = false;
        if (st.VerificaAvvio(1, nonAvviare) || nonAvviare) return false;
        st.ImpCodiceAvvio(6);
        if (st.ofrmStampaInCorso) st.ofrmStampaInCorso->MostraInCorso();
        if (PreparaStampa) PreparaStampa(st);
    }
    Stampa& st = *s.mgStampa;

    const bool avvisi = st.LeggiAvvisiIni();
    const QString percorso1 = s.modello.IniParamImmagine(PaginaLiqIva::Intestazione, avvisi);
    if (percorso1.isEmpty()) {
        frmMsgCom::msgCom(QStringLiteral("Manca file immagine di stampa intestazione"));
        return false;
    }
    const QString percorso2 = s.modello.IniParamImmagine(PaginaLiqIva::Modulo, avvisi);
    if (percorso2.isEmpty()) {
        frmMsgCom::msgCom(QStringLiteral("Manca file immagine di stampa dettagli"));
        return false;
    }
    CaricaSfondo(percorso1, s.run.immagine1);
    CaricaSfondo(percorso2, s.run.immagine2);
    return true;
}

// The communication's rows; false when there are none or the modules are refused.
bool stLiqIva::apriDati() {
    Stato& s = *s_;
    s.mgGestRs = std::make_unique<GestRecordset>();
    GestRecordset& rs = *s.mgGestRs;
    s.msKeyRs = rs.ApriRecordset(*ctx().ggGestDb, osIdDbase, {}, FileLiqIva::PrepSql(oiAnno, oiNumCom));
    if (rs.RecVuoto(s.msKeyRs)) return false;
    obStampato = true;
    s.run.righe = rs.ContaRec(s.msKeyRs);
    if (obEstrFile) {
        const QString rifiuto = FileLiqIva::ControllaModuli(rs, s.msKeyRs);
        if (!rifiuto.isEmpty()) {
            frmMsgCom::msgCom(rifiuto, QStringLiteral("&Ok"), std::nullopt, std::nullopt, s.msTitolo);
            ++oiErrore;
            return false;
        }
    }
    return true;
}

bool stLiqIva::avviaDocumento() {
    Stato& s = *s_;
    Stampa& st = *s.mgStampa;
    PreparaInCorso(st, s.msTitolo);
    if (!s.mgFontSta) s.mgFontSta = std::make_shared<FontSta>();
    ImpFontTesta(st, *s.mgFontSta);
    ImpFontCorpo(st, *s.mgFontSta);
    return AvviaParte(st);
}

void stLiqIva::apriFileRun(const LettoreRiga& riga) {
    Stato& s = *s_;
    osNomeFile.replace(kSegnapostoCodFisc,
                       CodiceNelNome(s.mgGestRs->LeggiCampo(s.msKeyRs, QStringLiteral("LiqIvaTest.CodiceFiscale")).testo()),
                       Qt::CaseInsensitive);
    s.mgFile = std::make_unique<FileLiqIva>(obFileXml);
    s.mgFile->ApriFile(osNomeFile);
    s.run.fileAperto = true;
    if (obFileXml) s.mgFile->ScriviTestata(riga);
}

// One module a row: its block in the file and its page; false when the user
// stopped the print on a module's page. A stop leaves the file incomplete,
// without its closing part, whatever module it came on, and stops a range run:
// the user asked for the print to end, not for the next company's.
bool stLiqIva::scriviModuli(const LettoreRiga& riga, const LettoreCampo& campo) {
    Stato& s = *s_;
    GestRecordset& rs = *s.mgGestRs;
    for (; !rs.FineRec(s.msKeyRs); rs.RecSuccessivo(s.msKeyRs)) {
        if (obEstrFile) {
            s.mgFile->ScriviRecDett(riga);
            ++s.run.scritte;
        }
        if (obStampa) {
            Stampa& st = *s.mgStampa;
            st.NuovaPagina();
            if (annullata()) return fermataUtente();
            st.UsaFont(QStringLiteral("CorpoCampo"));
            st.ImpVert(st.LeggiMrAlt());
            Sfondo(st, s.run.immagine2, s.modello.RettangoloFoglio(PaginaLiqIva::Modulo));
            s.modello.StaModulo(st, campo);
            if (annullata()) return fermataUtente();
        }
    }
    return true;
}

// The closing tags, the file closed, the lists of missing and wrong values.
void stLiqIva::chiudiFileRun() {
    Stato& s = *s_;
    if (obFileXml) {
        s.mgFile->ScriRecCoda();
        s.run.codaScritta = true;
    }
    const bool chiuso = ChiudiFile();
    if (!chiuso) ++oiErrore;
    // The writer's own checks come first, as they name the value to correct;
    // the published schema is the last gate before the final name.
    if (chiuso && obFileXml && s.mgFile->Errori() == 0) s.run.schemaRifiutato = !s.mgFile->VerificaSchema();
    s.mgFile->MostraElenchi();
    oiErrore = static_cast<int16_t>(oiErrore + s.mgFile->Errori());
    // Only a whole file without errors takes its final name; any other stays
    // beside it under its incomplete name.
    if (!chiuso || s.mgFile->Errori() > 0) return;
    try {
        s.mgFile->Consegna();
        s.run.consegnato = true;
    } catch (const ErroreRun& e) {
        MsgErrore(e, QStringLiteral("(") + s.msTitolo + QStringLiteral(") Errore durante la chiusura del file di scarico"));
        ++oiErrore;
    }
}

// Ending: every step is attempted. In a preview that more companies follow
// the document stays open for them (the next one starts on a page of its
// own); a stop there ends the range.
void stLiqIva::concludiStampa() {
    Stato& s = *s_;
    if (obStampato && obEstrFile) ChiudiFile();
    if (!obStampa || !s.mgStampa) {
        ctx().giStaAtt = 0;
        return;
    }
    Stampa& st = *s.mgStampa;
    Tenta([&] { s.run.documentoTenuto = TieniDocumento(st, oiUltimaDitta != 0); });
    if (s.run.documentoTenuto) return;
    if (oiUltimaDitta == 0 && ogOpzSta && ogOpzSta->oiStaVid == OpzSta::Video && st.DocumentoAvviato() &&
        st.LeggiAnnullata())
        oiErrore = -1;
    Tenta([&] { st.FineStampa(); });
}

void stLiqIva::concludiDocumento() {
    Stato& s = *s_;
    if (ParteSuccessiva(s.mgStampa.get())) Tenta([&] { s.mgStampa->FineStampa(); });
    s.mgStampa.reset();
}

// A file cut short by a stop or a failure, or with errors, keeps its
// incomplete name beside any earlier file of the final name: it must not be
// sent. One that could not be created has had its own message.
void stLiqIva::avvisaFileDaNonTrasmettere() {
    Stato& s = *s_;
    if (!s.run.fileAperto || s.run.consegnato) return;
    // A stop is told by the run, with every company of the range.
    if (oiErrore < 0) return;
    const QString lasciato = QStringLiteral("\r\nÈ stato lasciato come ") + s.mgFile->PercorsoAttuale() + QStringLiteral(".");
    if (s.run.schemaRifiutato) {
        frmMsgCom::msgCom(QStringLiteral("Il file ") + osNomeFile + QStringLiteral(" non è conforme allo schema ") +
                              s.mgFile->NomeSchemaFile() + QStringLiteral(" (") + s.mgFile->ErroreSchema() +
                              QStringLiteral(") e non deve essere inviato.") + lasciato,
                          QStringLiteral("&Ok"), std::nullopt, std::nullopt, s.msTitolo);
        return;
    }
    const bool incompleto = s.run.scritte < s.run.righe || (obFileXml && !s.run.codaScritta);
    const bool conErrori = s.mgFile->Errori() > 0;
    frmMsgCom::msgCom(QStringLiteral("Il file ") + osNomeFile +
                          (incompleto || !conErrori ? QStringLiteral(" è incompleto")
                                                    : QStringLiteral(" contiene valori errati")) +
                          QStringLiteral(" e non deve essere trasmesso.") + lasciato,
                      QStringLiteral("&Ok"), std::nullopt, std::nullopt, s.msTitolo);
}

void stLiqIva::rilasciaRun() {
    Stato& s = *s_;
    Tenta([&] {
        if (s.mgGestRs && !s.msKeyRs.isEmpty()) s.mgGestRs->ChiudiRecordset(s.msKeyRs);
    });
    s.mgGestRs.reset();
    if (!s.run.documentoTenuto) s.mgStampa.reset();
    obStaAtt = false;
}

bool stLiqIva::ParteIniziata() const { return obStampato && (s_->run.iniziata || s_->run.fileAperto); }
bool stLiqIva::FileCompleto() const { return s_->run.consegnato; }
QString stLiqIva::FileLasciato() const {
    return s_->run.fileAperto && s_->mgFile ? s_->mgFile->PercorsoAttuale() : QString();
}

bool stLiqIva::fermataUtente() {
    oiErrore = -1;
    return false;
}

bool stLiqIva::annullata() const { return s_->mgStampa && s_->mgStampa->LeggiAnnullata(); }
