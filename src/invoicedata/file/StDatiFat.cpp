#include "invoicedata/file/StDatiFat.h"

#include "common/FrmMsgCom.h"
#include "common/IdentitaParti.h"
#include "common/MsgErrori.h"
#include "components/core/ErroreRun.h"
#include "components/db/GestRecordset.h"
#include "components/db/GestoreDb.h"
#include "components/db/Interroga.h"
#include "components/util/UtilGenerali.h"
#include "contesto/Contesto.h"
#include "contesto/ImpostazioniIni.h"
#include "components/stampa/FontSta.h"
#include "components/stampa/OpzSta.h"
#include "invoicedata/stampa/StampaDatiFat.h"
#include "print/lavoro/FrmStampaInCorso.h"
#include "print/lavoro/LavoroStampa.h"

#include <QHash>
#include <QRegularExpression>

namespace E = ElementiDatiFat;

namespace {

const QString kSezione = QStringLiteral("DatiFat");
const QString kNessunaMarcata = QStringLiteral("Nessuna registrazione è stata marcata come inviata.");
const QString kStampaNonRiuscita = QStringLiteral("File completi e marcati; stampa non riuscita.\r\n");

bool uguale(const QString& a, const char* b) { return a.trimmed().compare(QLatin1String(b), Qt::CaseInsensitive) == 0; }

// The schema's patterns, compiled once each.
bool corrisponde(const QString& testo, const char* schema) {
    static QHash<const char*, QRegularExpression> compilati;
    auto it = compilati.find(schema);
    if (it == compilati.end()) it = compilati.insert(schema, QRegularExpression(QLatin1String(schema)));
    return it->match(testo).hasMatch();
}

// The own VAT number as the schema's CodiceIvaType wants it: 11 digits,
// without blanks and without an "IT" prefix; "" when it is not one.
QString partitaIvaDitta(const QString& partIva) {
    QString p = partIva.trimmed().toUpper();
    p.remove(QLatin1Char(' '));
    if (p.startsWith(QLatin1String("IT"))) p = p.mid(2);
    return corrisponde(p, "^[0-9]{11}$") ? p : QString();
}

// A VAT identifier without a leading copy of its country code.
QString senzaPaese(const QString& codice, const QString& paese) {
    const QString c = codice.trimmed();
    if (paese.size() == 2 && c.size() > 2 && c.startsWith(paese, Qt::CaseInsensitive)) return c.mid(2).trimmed();
    return c;
}

// "N2.1" and the like are written as their group "N2"; anything outside
// N1-N7 is no nature of the schema ("" then).
QString naturaSchema(const QString& natura, bool& rifiutata) {
    rifiutata = false;
    QString n = natura.trimmed().toUpper();
    if (n.isEmpty()) return n;
    static const QRegularExpression gruppo(QStringLiteral("^(N[1-7])(\\.[0-9]+)?$"));
    const auto m = gruppo.match(n);
    if (m.hasMatch()) return m.captured(1);
    rifiutata = true;
    return {};
}

// A text holding no character beyond Basic Latin.
bool soloAscii(const QString& s) {
    for (const QChar c : s)
        if (c.unicode() >= 127) return false;
    return true;
}

}  // namespace

stDatiFat::stDatiFat() { scrittura_.ImpostaDescrittore([this] { return DescAgg(); }); }

stDatiFat::~stDatiFat() = default;

int stDatiFat::oiStaAtt() const { return ctx().giStaAtt; }
void stDatiFat::oiStaAtt(int valore) { ctx().giStaAtt = valore; }

bool stDatiFat::eClienti() const { return uguale(osCosaEstr, "E"); }

// The columns are always named by literals (or the element table's), so
// their addresses stand for them: each name is looked up once a run.
Valore stDatiFat::valore(const char* colonna) const {
    auto it = indici_.find(colonna);
    if (it == indici_.end())
        it = indici_.emplace(colonna, mgRecordset->IndiceCampo(msChiaveRs, QString::fromLatin1(colonna))).first;
    return mgRecordset->LeggiCampo(msChiaveRs, it->second);
}

QString stDatiFat::campo(const char* colonna) const { return valore(colonna).testo(); }

double stDatiFat::numero(const char* colonna) const { return ggUtil().ValoreNumerico(valore(colonna)); }

QString stDatiFat::SqlWhere() const { return SqlWhere(oiTipoSta == 2 ? oiIdentif : 0); }

// The rows of one communication and kind with that send number (0: not sent).
QString stDatiFat::SqlWhere(int numInv) const {
    const UtilGenerali& u = ggUtil();
    QString s = QStringLiteral(" Where DatiFatTest.AnnoCom = ") + u.FormatoSql(Valore(oiAnno), TipoDato::Intero) +
                QStringLiteral(" And DatiFatTest.NumCom = ") + u.FormatoSql(Valore(oiNumCom), TipoDato::Intero) +
                QStringLiteral(" And DatiFatTest.NumInv = ") +
                u.FormatoSql(Valore(numInv), TipoDato::Intero) +
                QStringLiteral(" And DatiFatTest.Tipo = ") + u.FormatoSql(Valore(osCosaEstr), TipoDato::Testo);
    if (oiTipoSta != 2) s += QStringLiteral(" And DatiFatTest.Stato = ") + u.FormatoSql(Valore(QStringLiteral("N")), TipoDato::Testo);
    return s;
}

QString stDatiFat::PrepSql() const { return PrepSql(oiTipoSta == 2 ? oiIdentif : 0); }

QString stDatiFat::PrepSql(int numInv) const {
    QString s = QStringLiteral(
        "SELECT DatiFatTest.*, DatiFatDett.*, PianoConti.*, Stati.Iso, Stati.Cee, StatiStab.Iso, StatiRapp.Iso"
        " FROM DatiFatTest INNER JOIN DatiFatDett"
        " ON DatiFatTest.AnnoCom = DatiFatDett.AnnoCom"
        " AND DatiFatTest.NumCom = DatiFatDett.NumCom"
        " AND DatiFatTest.AnnoReg = DatiFatDett.AnnoReg"
        " AND DatiFatTest.NumReg = DatiFatDett.NumReg"
        " AND DatiFatTest.NumCanc = DatiFatDett.NumCanc"
        " AND DatiFatTest.Tipo = DatiFatDett.Tipo"
        " AND DatiFatTest.Stato = DatiFatDett.Stato"
        " LEFT JOIN PianoConti"
        " ON DatiFatTest.GruppoPartita = PianoConti.Gruppo"
        " AND DatiFatTest.MastroPartita = PianoConti.Mastro"
        " AND DatiFatTest.ContoPartita = PianoConti.Conto"
        " LEFT JOIN Stati"
        " ON Stati.Stato = PianoConti.Stato"
        " LEFT JOIN Stati As StatiStab"
        " ON StatiStab.Stato = PianoConti.FAStabOrgStato"
        " LEFT JOIN Stati As StatiRapp"
        " ON StatiRapp.Stato = PianoConti.FARappFiscStato");
    s += SqlWhere(numInv);
    s += QStringLiteral(" Order By DatiFatTest.AnnoCom,DatiFatTest.NumCom");
    if (oiOrdin == 0)
        s += QStringLiteral(",Pianoconti.Descrizione,DatiFatTest.GruppoPartita,DatiFatTest.MastroPartita,"
                            "DatiFatTest.ContoPartita");
    // The registration year before its number: registrations of two years
    // with the same number never interleave.
    if (eClienti())
        s += QStringLiteral(",DatiFatTest.DataDoc");
    else
        s += QStringLiteral(",DatiFatTest.DataReg,DatiFatTest.AnnoReg,DatiFatTest.NumReg");
    s += QStringLiteral(",DatiFatTest.AnnoReg,DatiFatTest.NumReg,DatiFatDett.NumDet");
    return s;
}

QString stDatiFat::DescAgg() const {
    if (msGruppoXml.isEmpty()) return {};
    QString d = msTipoAnag + QStringLiteral(": ") + msGruppoXml + QLatin1Char('-') + msMastroXml + QLatin1Char('-') +
                msContoXml;
    if (!msRifRiga.isEmpty()) d += QStringLiteral(" PN: ") + msRifRiga;
    return d;
}

void stDatiFat::ScriviObbligatorio(const RegolaXml& regola, const QString& valore, const QString& descAgg,
                                   bool altiComeTrattino) {
    const QString riga = scrittura_.PrepCampoXml(regola, valore, descAgg, altiComeTrattino);
    if (riga.isEmpty()) mbNonInviabile = true;
    scrittura_.ScriviRigaXml(riga);
}

bool stDatiFat::TipoDocumentoAmmesso(const QString& tipo) const {
    static const QStringList kAmmessi = {QStringLiteral("TD01"), QStringLiteral("TD04"), QStringLiteral("TD05"),
                                         QStringLiteral("TD07"), QStringLiteral("TD08"), QStringLiteral("TD10"),
                                         QStringLiteral("TD11")};
    return kAmmessi.contains(tipo.trimmed().toUpper());
}

// The company's own identity must be one the schema can carry.
bool stDatiFat::PreparaDitta() {
    msIdDitta = partitaIvaDitta(osPartitaIvaDitta);
    if (!msIdDitta.isEmpty()) return true;
    frmMsgCom::msgCom(scrittura_.Prefisso() +
                      (osPartitaIvaDitta.trimmed().isEmpty()
                           ? QStringLiteral("La ditta non ha la partita IVA: il file dei dati fatture non può "
                                            "essere scritto.")
                           : QStringLiteral("La partita IVA della ditta (%1) non è di 11 cifre: il file dei dati "
                                            "fatture non può essere scritto.")
                                 .arg(osPartitaIvaDitta.trimmed())));
    return false;
}

// How many counterparty blocks the rows need, to choose the naming of the
// send before its first file is named.
void stDatiFat::ContaBlocchi() {
    // Documents per counterparty account, from the rows the query selects
    // (the server wants a name for the subquery).
    const QString sql =
        QStringLiteral("SELECT COUNT(*) AS Documenti FROM (SELECT DISTINCT DatiFatTest.GruppoPartita AS G,"
                       " DatiFatTest.MastroPartita AS M, DatiFatTest.ContoPartita AS C, DatiFatTest.AnnoReg,"
                       " DatiFatTest.NumReg FROM DatiFatTest INNER JOIN DatiFatDett"
                       " ON DatiFatTest.AnnoCom = DatiFatDett.AnnoCom AND DatiFatTest.NumCom = DatiFatDett.NumCom"
                       " AND DatiFatTest.AnnoReg = DatiFatDett.AnnoReg AND DatiFatTest.NumReg = DatiFatDett.NumReg"
                       " AND DatiFatTest.NumCanc = DatiFatDett.NumCanc AND DatiFatTest.Tipo = DatiFatDett.Tipo"
                       " AND DatiFatTest.Stato = DatiFatDett.Stato") +
        SqlWhere() + QStringLiteral(") AS Documenti GROUP BY G, M, C");
    mlBlocchiPrevisti = 0;
    GestRecordset rs;
    const QString chiave = rs.ApriRecordset(*ctx().ggGestDb, osIdDbase, QString(), sql, false, 4);
    for (rs.PrimoRec(chiave); !rs.FineRec(chiave); rs.RecSuccessivo(chiave)) {
        const long documenti = static_cast<long>(ggUtil().ValoreNumerico(rs.LeggiCampo(chiave, QStringLiteral("Documenti"))));
        mlBlocchiPrevisti += (documenti + kMaxDocAnag - 1) / kMaxDocAnag;
    }
    rs.ChiudiRecordset(chiave);
}

void stDatiFat::ApriFile() {
    ArgomentiXmlDatiFat a;
    a.cartella = osDirInvio;
    a.codFisc = osCodiceFiscaleDitta.trimmed();
    a.annoCom = oiAnno;
    a.numComun = oiNumCom;
    a.codInvio = osCosaEstr + QString::number(miNumInvioFile);
    a.cfDich = osCfDichiarante;
    a.carica = osCodiceCaricaDichiarante;
    a.prova = oiTipoSta == 0;
    a.molteFile = mbMolteFile;
    a.contaFile = miContaFile;
    file_.emplace_back();
    ApriXmlDatiFat(a, file_.back(), scrittura_);
    msProgrFile = file_.back().progressivo;
}

bool stDatiFat::ScriviTestata() {
    scrittura_.ImpostaLivello(0);
    const bool e = eClienti();
    scrittura_.Apri(e ? QStringLiteral("DTE") : QStringLiteral("DTR"));
    scrittura_.Apri(e ? QStringLiteral("CedentePrestatoreDTE") : QStringLiteral("CessionarioCommittenteDTR"));
    scrittura_.Apri(QStringLiteral("IdentificativiFiscali"));
    scrittura_.Apri(QStringLiteral("IdFiscaleIVA"));
    scrittura_.ScriviCampo(E::kIdPaeseDitta, QStringLiteral("IT"));
    scrittura_.ScriviCampo(E::kIdCodiceDitta, msIdDitta);
    scrittura_.Chiudi(QStringLiteral("IdFiscaleIVA"));
    // The own tax code stands beside the VAT number only for a company
    // without one; the run refuses such a company, so it is never written.
    const QString cf = osCodiceFiscaleDitta.trimmed().toUpper();
    if (msIdDitta.isEmpty() && CodiceFiscaleValido(cf)) scrittura_.ScriviCampo(E::kCodiceFiscaleDitta, cf);
    scrittura_.Chiudi(QStringLiteral("IdentificativiFiscali"));
    scrittura_.Apri(QStringLiteral("AltriDatiIdentificativi"));
    if (uguale(osStatoGiurid, "G")) {
        ScriviObbligatorio(E::kDenominazioneDitta, osDittaRagSoc);
    } else {
        ScriviObbligatorio(E::kNomeDitta, osNome);
        ScriviObbligatorio(E::kCognomeDitta, osCognome);
    }
    scrittura_.Chiudi(QStringLiteral("AltriDatiIdentificativi"));
    scrittura_.Chiudi(e ? QStringLiteral("CedentePrestatoreDTE") : QStringLiteral("CessionarioCommittenteDTR"));
    return true;
}

void stDatiFat::ScriRecCoda(int piChiudi) {
    const bool e = eClienti();
    if (mbAnagAperta) {
        if (mbDocAperto) scrittura_.Chiudi(e ? QStringLiteral("DatiFatturaBodyDTE") : QStringLiteral("DatiFatturaBodyDTR"));
        scrittura_.Chiudi(e ? QStringLiteral("CessionarioCommittenteDTE") : QStringLiteral("CedentePrestatoreDTR"));
    }
    mbAnagAperta = false;
    mbDocAperto = false;
    if (piChiudi < 2) {
        scrittura_.ImpostaLivello(1);
        scrittura_.Chiudi(e ? QStringLiteral("DTE") : QStringLiteral("DTR"));
        scrittura_.ImpostaLivello(0);
        scrittura_.ScriviRigaXml(QStringLiteral("</ns2:DatiFattura>"));
    }
    if (piChiudi == 0) scrittura_.MostraElenchi();
}

void stDatiFat::ChiudiFileCompleto() {
    if (file_.empty()) return;
    scrittura_.Stacca();
    try {
        file_.back().Chiudi();
    } catch (const ErroreRun& e) {
        MsgErrore(e, QStringLiteral("(") + (msTitoloPag.isEmpty() ? msTitoloElab : msTitoloPag) +
                         QStringLiteral(") Errore durante la chiusura del file di scarico"));
        throw ErroreMostrato{};
    }
}

// A counterparty block opens at the first summary written under it: count it
// against the file's limit, split when asked or when the schema's limit is
// reached, then write its identity.
void stDatiFat::ApriAnagrafica() {
    ++mlProgrAnag;
    if (!mbMolteFile && mlProgrAnag > kMaxAnagFile)
        // The count made before the first file said one file was enough.
        throw ErroreRun(5, QStringLiteral("Superato il numero massimo di %1 anagrafiche nel file.").arg(kMaxAnagFile),
                        QStringLiteral("stDatiFat"));
    if (mlProgrAnag > miMaxAnag && mbMolteFile) {
        if (miContaFile + 1 >= kMaxFileDivisi)
            throw ErroreRun(75, QStringLiteral("Superato il numero massimo di %1 file per invio (da A a Z).")
                                    .arg(kMaxFileDivisi),
                            QStringLiteral("stDatiFat"));
        ScriRecCoda(1);
        ChiudiFileCompleto();
        ++miContaFile;
        ApriFile();
        mlProgrDoc = 0;
        mlProgrAnag = 1;
        ScriviTestata();
    } else if (mlProgrAnag > miMaxAnag && !mbLimiteSuperato) {
        mbLimiteSuperato = true;
        frmMsgCom::msgCom(QStringLiteral("Superato il numero massimo di anagrafiche per file (") +
                          QString::number(oiMaxClie) + QStringLiteral(")\r\nUsare apposito flag per creare più file"));
    }
    scrittura_.ImpostaLivello(1);
    file_.back().documenti.emplace_back(scrittura_.RigheScritte(), QString());  // no registration of its own
    ScriviAnagrafica();
    mbAnagAperta = true;
    miDocAnag = 0;
}

void stDatiFat::ScriviAnagrafica() {
    const QString iso = IsoPaese(campo("Stati.Iso")).trimmed().toUpper();
    const QString partIva = campo("PianoConti.PartIva").trimmed();
    const QString codFisc = campo("PianoConti.CodFisc").trimmed();
    const bool haPartIva = HaPartIva(partIva, codFisc, iso);
    const QString conto = msGruppoXml + QLatin1Char('-') + msMastroXml + QLatin1Char('-') + msContoXml;
    const QString cfFacoltativo = codFisc.toUpper();
    const bool cfFacoltativoValido = CodiceFiscaleValido(cfFacoltativo);
    if (!corrisponde(iso, "^[A-Z]{2}$")) {
        scrittura_.Segnala(QStringLiteral("IdPaese ") + DescAgg() + QStringLiteral(" non valido"));
        mbNonInviabile = true;
    }
    mbDogana = false;

    if (eClienti()) {
        scrittura_.Apri(QStringLiteral("CessionarioCommittenteDTE"));
        scrittura_.Apri(QStringLiteral("IdentificativiFiscali"));
        if (haPartIva) {
            scrittura_.Apri(QStringLiteral("IdFiscaleIVA"));
            ScriviObbligatorio(E::kIdPaese, iso);
            ScriviObbligatorio(E::kIdCodice, senzaPaese(PartIvaCompleta(partIva, codFisc), iso));
            scrittura_.Chiudi(QStringLiteral("IdFiscaleIVA"));
            if (mbEstraiCodFisc && cfFacoltativoValido) scrittura_.ScriviCampo(E::kCodiceFiscale, cfFacoltativo);
        } else if (iso != QLatin1String("IT")) {
            scrittura_.Apri(QStringLiteral("IdFiscaleIVA"));
            ScriviObbligatorio(E::kIdPaese, iso);
            ScriviObbligatorio(E::kIdCodice, campo("PianoConti.Descrizione").left(28));
            const bool intra = uguale(campo("Stati.Cee"), "S") && uguale(campo("PianoConti.StatoGiurid"), "G");
            scrittura_.Segnala(msTipoAnag + QLatin1Char(' ') + conto +
                               (intra ? QStringLiteral(" intracomunitario senza dati fiscali")
                                      : QStringLiteral(" messa ragione sociale contabile nei dati fiscali - non bloccante")));
            scrittura_.Chiudi(QStringLiteral("IdFiscaleIVA"));
            if (mbEstraiCodFisc && !CodFiscDaUsare(codFisc, partIva).isEmpty() && cfFacoltativoValido)
                scrittura_.ScriviCampo(E::kCodiceFiscale, cfFacoltativo);
        } else {
            const QString cf = CodFiscDaUsare(codFisc, partIva).trimmed().toUpper();
            if (cf.isEmpty()) {
                // Valid for the schema, but a client without any identifier.
                scrittura_.Mancante(QStringLiteral("CodiceFiscale ") + DescAgg() +
                                    QStringLiteral(" cliente senza identificativi"));
            } else if (!CodiceFiscaleValido(cf)) {
                scrittura_.Segnala(QStringLiteral("CodiceFiscale ") + DescAgg() + QStringLiteral(" non valido"));
                mbNonInviabile = true;
                scrittura_.ScriviCampo(E::kCodiceFiscaleObbl, cf);
            } else {
                scrittura_.ScriviCampo(E::kCodiceFiscaleObbl, cf);
            }
        }
        scrittura_.Chiudi(QStringLiteral("IdentificativiFiscali"));
    } else {
        scrittura_.Apri(QStringLiteral("CedentePrestatoreDTR"));
        scrittura_.Apri(QStringLiteral("IdentificativiFiscali"));
        scrittura_.Apri(QStringLiteral("IdFiscaleIVA"));
        if (uguale(campo("DatiFatTest.BollaDoganale"), "S") && iso == QLatin1String("IT")) {
            mbDogana = true;
            ScriviObbligatorio(E::kIdPaese, QStringLiteral("OO"));
            ScriviObbligatorio(E::kIdCodice, QStringLiteral("99999999999"));
            scrittura_.Segnala(QStringLiteral("Registrazione ") + campo("DatiFatTest.AnnoReg") + QLatin1Char('/') +
                               campo("DatiFatTest.NumReg") +
                               QStringLiteral(": bolletta doganale senza fornitore straniero"));
        } else {
            ScriviObbligatorio(E::kIdPaese, iso);
            if (haPartIva) {
                ScriviObbligatorio(E::kIdCodice, senzaPaese(PartIvaCompleta(partIva, codFisc), iso));
            } else if (iso != QLatin1String("IT")) {
                ScriviObbligatorio(E::kIdCodice, QStringLiteral("Dato Assente"));
                scrittura_.Segnala(msTipoAnag + QLatin1Char(' ') + conto + QStringLiteral(" senza dati fiscali"));
            } else {
                ScriviObbligatorio(E::kIdCodice, QString());
            }
        }
        scrittura_.Chiudi(QStringLiteral("IdFiscaleIVA"));
        if (mbEstraiCodFisc && haPartIva && !mbDogana && cfFacoltativoValido)
            scrittura_.ScriviCampo(E::kCodiceFiscale, cfFacoltativo);
        scrittura_.Chiudi(QStringLiteral("IdentificativiFiscali"));
    }
    // The schema requires the supplier's names and seat: written whatever
    // the option says, which acts on clients only.
    if (obEstraiAnag || !eClienti()) ScriviAltriDati(iso);
}

void stDatiFat::ScriviAltriDati(const QString& iso) {
    scrittura_.Apri(QStringLiteral("AltriDatiIdentificativi"));
    if (mbDogana) {
        scrittura_.ScriviCampo(E::kDenominazioneFissa, QStringLiteral("Dato Assente"));
        scrittura_.Apri(QStringLiteral("Sede"));
        scrittura_.ScriviCampo(E::kIndirizzoFisso, QStringLiteral("Dato Assente"));
        scrittura_.ScriviCampo(E::kComuneFisso, QStringLiteral("Dato Assente"));
        scrittura_.ScriviCampo(E::kNazioneFissa, QStringLiteral("OO"));
        scrittura_.Chiudi(QStringLiteral("Sede"));
        scrittura_.Chiudi(QStringLiteral("AltriDatiIdentificativi"));
        return;
    }
    const QString cognome = campo("PianoConti.Cognome");
    const QString nome = campo("PianoConti.Nome");
    if (!cognome.trimmed().isEmpty() && !nome.trimmed().isEmpty()) {
        scrittura_.ScriviCampo(E::kNome, nome);
        scrittura_.ScriviCampo(E::kCognome, cognome);
    } else {
        QString ragSoc, cog, nom;
        DividiNominativo(campo("PianoConti.RagSoc"), campo("PianoConti.RagSoc2"), campo("PianoConti.Descrizione"),
                         campo("PianoConti.StatoGiurid"), campo("PianoConti.PartIva"), campo("PianoConti.CodFisc"),
                         ragSoc, cog, nom, mbPIvaGiurid);
        if (!ragSoc.trimmed().isEmpty()) {
            scrittura_.ScriviCampo(E::kDenominazione, ragSoc);
        } else {
            scrittura_.ScriviCampo(E::kNome, nom);
            scrittura_.ScriviCampo(E::kCognome, cog);
        }
    }
    const bool italia = iso == QLatin1String("IT");
    // Postcode and province are optional in the seat: written only when they
    // match the schema's pattern, otherwise reported and left out.
    const auto codiceSede = [&](const RegolaXml& regola, const QString& valore, const char* schema,
                                const QString& descAgg = {}) {
        const QString v = valore.trimmed().toUpper();
        if (v.isEmpty()) {
            scrittura_.ScriviCampo(regola, v, descAgg);  // lists a missing mandatory one
            if (regola.obblig != 0) mbNonInviabile = true;
            return;
        }
        if (!corrisponde(v, schema)) {
            scrittura_.Segnala(QString::fromLatin1(regola.elemento) + QLatin1Char(' ') +
                               (descAgg + QLatin1Char(' ') + DescAgg()).trimmed() + QStringLiteral(" non valido"));
            if (regola.obblig != 0) mbNonInviabile = true;
            return;
        }
        scrittura_.ScriviCampo(regola, v, descAgg);
    };
    scrittura_.Apri(QStringLiteral("Sede"));
    scrittura_.ScriviCampo(E::kIndirizzo, campo("PianoConti.Indirizzo"));
    if (italia) codiceSede(E::kCap, campo("PianoConti.CAP"), "^[0-9]{5}$");
    const QString comune = campo("PianoConti.Comune");
    scrittura_.ScriviCampo(E::kComune, comune.trimmed().isEmpty() ? campo("PianoConti.Localita") : comune);
    if (italia) codiceSede(E::kProvincia, campo("PianoConti.Pr"), "^[A-Z]{2}$");
    codiceSede(E::kNazione, iso, "^[A-Z]{2}$");
    scrittura_.Chiudi(QStringLiteral("Sede"));

    const QString stab = QStringLiteral("StabileOrganizzazione");
    if (!campo("PianoConti.FAStabOrgIndir").trimmed().isEmpty()) {
        scrittura_.Apri(stab);
        ScriviObbligatorio(E::kIndirizzoStab, campo("PianoConti.FAStabOrgIndir"), stab);
        codiceSede(E::kCapStab, campo("PianoConti.FAStabOrgCap"), "^[0-9]{5}$", stab);
        ScriviObbligatorio(E::kComuneStab, campo("PianoConti.FAStabOrgComune"), stab);
        codiceSede(E::kProvinciaStab, campo("PianoConti.FAStabOrgPr"), "^[A-Z]{2}$", stab);
        codiceSede(E::kNazioneStab, IsoPaese(campo("StatiStab.Iso")), "^[A-Z]{2}$", stab);
        scrittura_.Chiudi(stab);
    }
    const QString rapp = QStringLiteral("RappresentanteFiscale");
    const QString idRapp = campo("PianoConti.FARappFiscCodIdFisc");
    if (!idRapp.trimmed().isEmpty()) {
        const QString isoRapp = IsoPaese(campo("StatiRapp.Iso")).trimmed().toUpper();
        scrittura_.Apri(rapp);
        scrittura_.Apri(QStringLiteral("IdFiscaleIVA"));
        codiceSede(E::kIdPaeseRapp, isoRapp, "^[A-Z]{2}$", rapp);
        ScriviObbligatorio(E::kIdCodiceRapp, senzaPaese(idRapp, isoRapp), rapp);
        scrittura_.Chiudi(QStringLiteral("IdFiscaleIVA"));
        const QString nomeRapp = campo("PianoConti.FARappFiscRagSoc");
        if (nomeRapp.contains(QLatin1Char('-')) || nomeRapp.contains(QLatin1Char('_'))) {
            QString cog, nom;
            DividiCognomeNome(nomeRapp, cog, nom, false, true);
            scrittura_.ScriviCampo(E::kNomeRapp, nom, rapp);
            scrittura_.ScriviCampo(E::kCognomeRapp, cog, rapp);
        } else {
            scrittura_.ScriviCampo(E::kDenominazioneRapp, nomeRapp, rapp);
        }
        scrittura_.Chiudi(rapp);
    }
    scrittura_.Chiudi(QStringLiteral("AltriDatiIdentificativi"));
}

// The document block of the current registration, numbered and marked.
void stDatiFat::ApriDocumento() {
    const bool e = eClienti();
    if (miDocAnag >= kMaxDocAnag) {
        // The schema's limit: the same counterparty goes on in a new block.
        ScriRecCoda(2);
        ApriAnagrafica();
    }
    scrittura_.ImpostaLivello(2);
    scrittura_.Apri(e ? QStringLiteral("DatiFatturaBodyDTE") : QStringLiteral("DatiFatturaBodyDTR"));
    scrittura_.Apri(QStringLiteral("DatiGenerali"));
    scrittura_.ScriviCampo(E::kTipoDocumento, campo("DatiFatTest.TipoDocumento").trimmed());
    const auto data = [&](const RegolaXml& regola) {
        const QDate d = ggUtil().ValoreData(valore(regola.colonna));
        const bool vuota = !d.isValid() || d == UtilGenerali::DataVuota();
        if (!vuota && d.year() < 1970) {
            scrittura_.Segnala(QString::fromLatin1(regola.elemento) + QLatin1Char(' ') + DescAgg() +
                               QStringLiteral(" anteriore al 1970"));
            mbNonInviabile = true;
        }
        ScriviObbligatorio(regola, vuota ? QString() : d.toString(QStringLiteral("yyyy-MM-dd")));
    };
    data(E::kData);
    // Numero allows Basic Latin only: other characters become "_" and are noted.
    const QString numeroDoc = campo("DatiFatTest.NumDoc");
    ScriviObbligatorio(E::kNumero, numeroDoc, QStringLiteral(" Documento"), true);
    if (!soloAscii(numeroDoc.toUpper()))
        scrittura_.Segnala(QStringLiteral("Numero ") + DescAgg() + QStringLiteral(" caratteri non ammessi sostituiti da _"));
    if (!e) data(E::kDataRegistrazione);
    scrittura_.Chiudi(QStringLiteral("DatiGenerali"));
    mbDocAperto = true;
    ++miDocAnag;
    miRiepDoc = 0;

    ++mlProgrDoc;
    file_.back().documenti.emplace_back(scrittura_.RigheScritte(), RiferimentoRegistrazione());
    // The marks wait for the end of the pass: they are written, with the
    // record of the renames, in the short transaction of the commit.
    if (oiTipoSta == 1)
        marche_.push_back({miAnnoRegXml, mlNumRegXml, static_cast<int>(numero("DatiFatTest.NumCanc")), mlProgrDoc,
                           mbMolteFile ? msProgrFile : QString()});
}

QString stDatiFat::RiferimentoRegistrazione() const {
    return QString::number(miAnnoRegXml) + QLatin1Char('/') + QString::number(mlNumRegXml);
}

// Amounts have at most 11 integer digits and rates lie within 0-100 in the
// schema; the element tables cannot say so, and the user must read which
// value of which registration to correct before the file is refused. The
// text judged is the one the file would hold.
void stDatiFat::ControllaValore(const RegolaXml& regola, const QString& scritto) {
    const bool aliquota = &regola == &E::kAliquota || &regola == &E::kDetraibile;
    QString intera = scritto.section(QLatin1Char('.'), 0, 0);
    intera.remove(QLatin1Char('-'));
    const double v = scritto.toDouble();
    const bool fuori = aliquota ? (v < 0.0 || v > 100.0) : intera.size() > 11;
    if (!fuori) return;
    QString valore = intera;
    for (int i = valore.size() - 3; i > 0; i -= 3) valore.insert(i, QLatin1Char('.'));
    valore = (scritto.startsWith(QLatin1Char('-')) ? QStringLiteral("-") : QString()) + valore + QLatin1Char(',') +
             scritto.section(QLatin1Char('.'), 1, 1);
    scrittura_.Segnala(QStringLiteral("Registrazione ") + RiferimentoRegistrazione() + QStringLiteral(": ") +
                       QString::fromLatin1(regola.elemento) + QLatin1Char(' ') + valore +
                       (aliquota ? QStringLiteral(" fuori dall'intervallo da 0 a 100")
                                 : QStringLiteral(" oltre le 11 cifre intere ammesse")));
    mbNonInviabile = true;
}

void stDatiFat::ScriviRiepilogo() {
    const UtilGenerali& u = ggUtil();
    // An empty mandatory amount goes to the missing fields and keeps the
    // file from being sent: written as 0.00 it would pass every check.
    const auto importo = [&](const RegolaXml& regola, bool obbligatorio = true) {
        const Valore v = valore(regola.colonna);
        const QString t = obbligatorio && regola.obblig != 0 && u.EVuoto(v)
                              ? QString()
                              : ScritturaXml::NumeroPA(u.ValoreNumerico(v), 2, false, true);
        if (t.isEmpty()) mbNonInviabile = true;
        else ControllaValore(regola, t);
        scrittura_.ScriviRigaXml(scrittura_.PrepCampoXml(t, QString::fromLatin1(regola.elemento), regola.obblig, {},
                                                         regola.maxLung, regola.minLung, true, true));
    };
    // A line of rate 0 owes no tax: its empty tax is 0.00.
    const Valore aliquota = valore(E::kAliquota.colonna);
    const bool senzaImposta = !u.EVuoto(aliquota) && u.Arrotonda(u.ValoreNumerico(aliquota), -8) == 0.0;
    scrittura_.ImpostaLivello(3);
    scrittura_.Apri(QStringLiteral("DatiRiepilogo"));
    importo(E::kImponibileImporto);
    scrittura_.Apri(QStringLiteral("DatiIVA"));
    importo(E::kImposta, !senzaImposta);
    importo(E::kAliquota);
    scrittura_.Chiudi(QStringLiteral("DatiIVA"));
    bool rifiutata = false;
    const QString natura = naturaSchema(campo("DatiFatDett.Natura"), rifiutata);
    if (rifiutata)
        scrittura_.Segnala(QStringLiteral("Natura ") + DescAgg() + QStringLiteral(" non valida: ") +
                           campo("DatiFatDett.Natura").trimmed());
    scrittura_.ScriviCampo(E::kNatura, natura);
    if (ggUtil().Arrotonda(numero("DatiFatDett.Detraibile"), -8) != 0.0) importo(E::kDetraibile);
    if (uguale(campo("DatiFatDett.Deducibile"), "S")) scrittura_.ScriviCampo(E::kDeducibile, QStringLiteral("SI"));
    const QString esig = campo("DatiFatDett.EsigibilitaIVA").trimmed().toUpper();
    if (!esig.isEmpty() && !corrisponde(esig, "^[IDS]$")) {
        scrittura_.Segnala(QStringLiteral("EsigibilitaIVA ") + DescAgg() + QStringLiteral(" non valida"));
    } else {
        scrittura_.ScriviCampo(E::kEsigibilitaIva, esig);
    }
    scrittura_.Chiudi(QStringLiteral("DatiRiepilogo"));
    ++miRiepDoc;
    mbRegScritta = true;
}

// A registration that reached no summary is not in the file: say so.
void stDatiFat::ChiudiRegistrazione() {
    if (miAnnoRegXml != 0 && !mbRegScritta && !mbRegRifiutata)
        scrittura_.Segnala(QStringLiteral("Registrazione ") + QString::number(miAnnoRegXml) + QLatin1Char('/') +
                           QString::number(mlNumRegXml) + QStringLiteral(": nessuna riga estratta, documento non inviato"));
}

bool stDatiFat::ScriviRecDett() {
    mbRigaNelFile = false;
    const QString g = campo("DatiFatTest.GruppoPartita");
    const QString m = campo("DatiFatTest.MastroPartita");
    const QString c = campo("DatiFatTest.ContoPartita");
    const bool nuovaAnag = g.compare(msGruppoXml, Qt::CaseInsensitive) != 0 ||
                           m.compare(msMastroXml, Qt::CaseInsensitive) != 0 ||
                           c.compare(msContoXml, Qt::CaseInsensitive) != 0 || msGruppoXml.isEmpty();
    const int annoReg = static_cast<int>(numero("DatiFatTest.AnnoReg"));
    const long numReg = static_cast<long>(numero("DatiFatTest.NumReg"));
    if (nuovaAnag) {
        ChiudiRegistrazione();
        if (mbAnagAperta) ScriRecCoda(2);
        msGruppoXml = g;
        msMastroXml = m;
        msContoXml = c;
        miAnnoRegXml = 0;
        mlNumRegXml = 0;
    }
    if (annoReg != miAnnoRegXml || numReg != mlNumRegXml) {
        if (!nuovaAnag) ChiudiRegistrazione();
        if (mbDocAperto) {
            scrittura_.Chiudi(eClienti() ? QStringLiteral("DatiFatturaBodyDTE") : QStringLiteral("DatiFatturaBodyDTR"));
            mbDocAperto = false;
        }
        miAnnoRegXml = annoReg;
        mlNumRegXml = numReg;
        mbRegScritta = false;
        const QString tipo = campo("DatiFatTest.TipoDocumento").trimmed().toUpper();
        mbRegRifiutata = !TipoDocumentoAmmesso(tipo);
        if (mbRegRifiutata)
            scrittura_.Segnala(QStringLiteral("Registrazione ") + QString::number(annoReg) + QLatin1Char('/') +
                               QString::number(numReg) + QStringLiteral(": tipo documento ") +
                               (tipo.isEmpty() ? QStringLiteral("mancante") : tipo) +
                               QStringLiteral(" non ammesso nel file, documento non inviato"));
    }
    const QString numDet = campo("DatiFatDett.NumDet");
    msRifRiga = QString::number(miAnnoRegXml).rightJustified(4, QLatin1Char('0')) + QLatin1Char('-') +
                QString::number(mlNumRegXml) + QStringLiteral(" riga: ") + numDet;
    struct Svuota {
        QString& s;
        ~Svuota() { s.clear(); }
    } svuota{msRifRiga};

    if (mbRegRifiutata) return true;
    const bool zero = ggUtil().Arrotonda(numero("DatiFatDett.ImponibileImporto"), -8) == 0.0 &&
                      ggUtil().Arrotonda(numero("DatiFatDett.Imposta"), -8) == 0.0;
    if (zero && !mbEstraiZero) {
        scrittura_.Segnala(QStringLiteral(" ") + DescAgg().trimmed() +
                           QStringLiteral(": Riga non estratta per imponibile e imposta a 0"));
        return true;
    }
    if (mbDocAperto && miRiepDoc >= kMaxRiepDoc) {
        scrittura_.Segnala(DescAgg() + QStringLiteral(": oltre 1000 righe IVA nel documento, riga non estratta"));
        mbNonInviabile = true;
        return true;
    }
    if (!mbAnagAperta) {
        const QString rif = msRifRiga;
        msRifRiga.clear();  // entries of the counterparty carry no row reference
        ApriAnagrafica();
        msRifRiga = rif;
    }
    if (!mbDocAperto) {
        const QString rif = msRifRiga;
        msRifRiga.clear();
        ApriDocumento();
        msRifRiga = rif;
    }
    ScriviRiepilogo();
    mbRigaNelFile = true;
    return true;
}

bool stDatiFat::Annullata() const { return mgStampa && mgStampa->LeggiAnnullata(); }

// The print object, its options and the print-in-progress box; false when
// the job must not start.
bool stDatiFat::PreparaStampaRun() {
    if (ParteSuccessiva(mgStampa.get())) {
        // An earlier call left its preview open: this one goes on in it.
        if (auto* box = dynamic_cast<frmStampaInCorso*>(mgStampa->ofrmStampaInCorso)) box->Prepara(msTitoloPag, mgStampa.get());
        return true;
    }
    if (!mgStampa) mgStampa = std::make_shared<Stampa>();
    Stampa& st = *mgStampa;
    InizStampa(st, 0, 0);
    st.ImpChiamante(this);
    st.ogOpzSta = ogOpzSta;
    IniParamStampa(ogOpzSta ? ogOpzSta->Sezione : QString(), st, {}, 0);
    st.ImpInterruzione(0);
    if (auto* box = dynamic_cast<frmStampaInCorso*>(st.ofrmStampaInCorso)) box->Prepara(msTitoloPag, &st);
    if (PreparaStampa) PreparaStampa(st);
    bool nonAvviare = false;
    if (st.ControllaAvvio(1, nonAvviare) || nonAvviare) return false;
    st.ImpValoreAvvio(6);
    if (st.ofrmStampaInCorso) st.ofrmStampaInCorso->MostraInCorso();
    return true;
}

// The end of the print job. In a preview that more calls follow the
// document stays open for them (the next part starts on a page of its own);
// a stop there tells the run to stop.
void stDatiFat::ConcludiStampa() {
    if (!obStampa || !mgStampa) {
        ctx().giStaAtt = 0;
        mgStampa.reset();
        return;
    }
    Stampa& st = *mgStampa;
    try {
        if (TieniDocumento(st, oiUltimaDitta != 0)) return;
        if (oiUltimaDitta == 0 && ogOpzSta && ogOpzSta->oiStaVid == OpzSta::Video && st.DocumentoAvviato() &&
            st.LeggiAnnullata())
            oiErrore = -1;
    } catch (const ErroreRun&) {
        // The job is ended below all the same; its error was the print's own.
    }
    try {
        st.FineStampa();
    } catch (const ErroreRun& e) {
        ErroreStampa(e);
    }
    mgStampa.reset();
}

void stDatiFat::concludiDocumento() {
    if (ParteSuccessiva(mgStampa.get())) {
        try {
            mgStampa->FineStampa();
        } catch (const ErroreRun& e) {
            ErroreStampa(e);
        }
    }
    mgStampa.reset();
}

// A print error after the commit leaves the send as it is: it is said so.
void stDatiFat::ErroreStampa(const ErroreRun& e) {
    frmMsgCom::MsgErrfrm(e, mbConfermato ? scrittura_.Prefisso() + kStampaNonRiuscita : QString(), {}, msTitoloPag);
    if (oiErrore >= 0) ++oiErrore;
}

// --- The end of the file: write, check, commit, final name ---

// The files are whole: closing tags, the lists of the run, closed.
void stDatiFat::ChiudiCorpo() {
    ChiudiRegistrazione();
    if (mlProgrAnag == 0) {
        // The schema wants at least one counterparty.
        scrittura_.Segnala(QStringLiteral("Nessun documento estratto nel file"));
        mbNonInviabile = true;
    }
    ScriRecCoda(0);
    ChiudiFileCompleto();
}

// The writer's own checks first, so that the user reads which value to
// correct; then every file against both published schemas. False (after the
// message) when the send must not go: its files keep the temporary name.
bool stDatiFat::Controlla() {
    if (mbNonInviabile) {
        NonInviabile(QStringLiteral("Il file contiene dati che lo schema dei dati fatture non ammette (vedere le "
                                    "segnalazioni)"));
        return false;
    }
    for (const FileXmlDatiFat& f : file_) {
        const QString errore = ControllaSchemiDatiFat(f);
        if (errore.isEmpty()) continue;
        mbNonInviabile = true;
        NonInviabile(errore);
        return false;
    }
    return true;
}

void stDatiFat::NonInviabile(const QString& motivo) {
    QString testo = scrittura_.Prefisso() + motivo + QStringLiteral(": non deve essere inviato e resta con l'estensione \"") +
                    kSuffissoIncompleto + QStringLiteral("\".");
    if (oiTipoSta == 1) testo += QStringLiteral("\r\n") + kNessunaMarcata;
    frmMsgCom::msgCom(testo);
    ++oiErrore;
}

// The files of the send as the record of pending renames keeps them.
std::vector<RinominaDatiFat> stDatiFat::Rinomine() const {
    std::vector<RinominaDatiFat> r;
    for (const FileXmlDatiFat& f : file_)
        r.push_back({.provvisorio = f.provvisorio,
                     .definitivo = f.percorso,
                     .operazione = OperazioneRinomina::Invio,
                     .annoCom = oiAnno,
                     .numCom = oiNumCom,
                     .tipo = osCosaEstr,
                     .numero = oiNumInvio,
                     .nomeFile = mbMolteFile ? f.progressivo : QString()});
    return r;
}

// Marks the documents [inizio, fine) in one statement, so that a server pays
// one round trip per block, not one per document. Each row must still be
// unsent: a registration another user changed meanwhile fails the run.
void stDatiFat::Marca(size_t inizio, size_t fine) {
    GestoreDb& db = *ctx().ggGestDb;
    QStringList righe;
    for (size_t i = inizio; i < fine; ++i) {
        const MarcaDatiFat& m = marche_[i];
        righe << QStringLiteral("(%1, %2, %3, %4, %5)")
                     .arg(m.annoReg)
                     .arg(m.numReg)
                     .arg(m.numCanc)
                     .arg(m.progr)
                     .arg(m.nomeFile.isEmpty() ? QStringLiteral("NULL") : ggUtil().FormatoSql(m.nomeFile, TipoDato::Testo));
    }
    // VALUES names its columns column1.. on both engines; an empty file name
    // keeps the row's own.
    const QString chiave = QStringLiteral("DatiFatTest.AnnoCom = %1 AND DatiFatTest.NumCom = %2 AND DatiFatTest.Tipo = ")
                               .arg(oiAnno)
                               .arg(oiNumCom) +
                           ggUtil().FormatoSql(osCosaEstr, TipoDato::Testo) + QStringLiteral(" AND DatiFatTest.Stato = 'N'");
    db.EseguiSql(osIdDbase,
                 QStringLiteral("UPDATE DatiFatTest SET NumInv = %1, Progr = v.column4, "
                                "NomeFile = COALESCE(v.column5, DatiFatTest.NomeFile) FROM (VALUES %2) AS v WHERE ")
                         .arg(oiNumInvio)
                         .arg(righe.join(QStringLiteral(", "))) +
                     chiave +
                     QStringLiteral(" AND DatiFatTest.AnnoReg = v.column1 AND DatiFatTest.NumReg = v.column2 AND "
                                    "DatiFatTest.NumCanc = v.column3 AND DatiFatTest.NumInv = 0"));
    if (db.DatabaseDaId(osIdDbase)->RecordsAffected() == static_cast<long>(fine - inizio)) return;
    // Name the first registration the statement did not mark.
    for (size_t i = inizio; i < fine; ++i) {
        const MarcaDatiFat& m = marche_[i];
        const RisultatoSql r = LeggiTutto(
            db, osIdDbase,
            QStringLiteral("SELECT NumInv FROM DatiFatTest WHERE ") + chiave +
                QStringLiteral(" AND DatiFatTest.AnnoReg = %1 AND DatiFatTest.NumReg = %2 AND DatiFatTest.NumCanc = %3")
                    .arg(m.annoReg)
                    .arg(m.numReg)
                    .arg(m.numCanc),
            QStringLiteral("stDatiFat"));
        if (r.righe.size() != 1 || r.righe[0].value(0).intero() != oiNumInvio || i + 1 == fine)
            throw ErroreRun(3197,
                            QStringLiteral("La registrazione %1/%2 è stata cambiata da un altro utente "
                                           "durante l'elaborazione")
                                .arg(m.annoReg)
                                .arg(m.numReg),
                            QStringLiteral("stDatiFat"));
    }
}

// The marks and the record of the renames in one short transaction: both
// or neither. A failure leaves the files under the temporary name.
void stDatiFat::Conferma() {
    GestoreDb& db = *ctx().ggGestDb;
    try {
        CreaTabellaRinomine(osIdDbase);
        db.IniziaTransazione(osIdDbase);
        try {
            for (size_t inizio = 0; inizio < marche_.size(); inizio += kMarchePerIstruzione)
                Marca(inizio, std::min(marche_.size(), inizio + kMarchePerIstruzione));
            RegistraRinomine(osIdDbase, Rinomine());
            db.ConfermaTransazione(osIdDbase);
        } catch (...) {
            try {
                db.AnnullaTransazione(osIdDbase);
            } catch (const ErroreRun&) {
                // A failed COMMIT may have ended the transaction itself.
            }
            throw;
        }
    } catch (const ErroreRun& e) {
        frmMsgCom::MsgErrfrm(e,
                             scrittura_.Prefisso() +
                                 QStringLiteral("Le marcature di invio non sono state salvate: il file dei dati fatture "
                                                "resta con l'estensione \"") +
                                 kSuffissoIncompleto + QStringLiteral("\" e non deve essere inviato.\r\n") +
                                 kNessunaMarcata + QStringLiteral("\r\n"),
                             {}, msTitoloPag.isEmpty() ? msTitoloElab : msTitoloPag);
        mbEsitoDetto = true;
        throw ErroreMostrato{};
    }
    mbConfermato = true;
    if (DopoConferma) DopoConferma();
}

// The files take their final names; once the send is committed a rename
// that fails is completed by the next run, which finds its record.
void stDatiFat::NomiDefinitivi() {
    const std::vector<RinominaDatiFat> rinomine = Rinomine();
    try {
        for (const RinominaDatiFat& r : rinomine) {
            if (!DaiNomeDefinitivo(r))
                throw ErroreRun(53, QStringLiteral("File %1 non trovato").arg(r.provvisorio), QStringLiteral("stDatiFat"));
            fileScritti_ << r.definitivo;
        }
        if (mbConfermato) CancellaRinomine(osIdDbase, rinomine);
    } catch (const ErroreRun& e) {
        frmMsgCom::MsgErrfrm(e,
                             scrittura_.Prefisso() +
                                 (mbConfermato ? QStringLiteral("Le registrazioni sono marcate come inviate ma i file "
                                                                "non hanno tutti il nome definitivo: la prossima "
                                                                "elaborazione lo completerà.\r\n")
                                               : QStringLiteral("Il file dei dati fatture resta con l'estensione \"") +
                                                     kSuffissoIncompleto + QStringLiteral("\".\r\n")),
                             {}, msTitoloPag.isEmpty() ? msTitoloElab : msTitoloPag);
        mbEsitoDetto = true;
        throw ErroreMostrato{};
    }
    mbFileConclusi = true;
}

// A stop or a failure before the commit: the files stay incomplete.
void stDatiFat::Incompleto(bool fermato) {
    scrittura_.Stacca();
    for (FileXmlDatiFat& f : file_) {
        try {
            f.Chiudi();
        } catch (const ErroreRun&) {
            // The run already failed and says so below; the file stays temporary.
        }
        fileIncompleti_ << f.provvisorio;
    }
    if (fermato && obStopAlChiamante) return;
    QString testo = scrittura_.Prefisso() +
                    QStringLiteral("Il file dei dati fatture non è stato completato e non deve essere inviato: resta "
                                   "con l'estensione \"") +
                    kSuffissoIncompleto + QStringLiteral("\".");
    if (oiTipoSta == 1) testo += QStringLiteral("\r\n") + kNessunaMarcata;
    frmMsgCom::msgCom(testo);
}

void stDatiFat::ConcludiFile(bool fermato) {
    if (fermato) {
        oiErrore = -1;
        return Incompleto(true);
    }
    ChiudiCorpo();
    if (!Controlla()) return;
    if (oiTipoSta == 1) Conferma();
    NomiDefinitivi();
}

// --- The run ---

void stDatiFat::AzzeraStato() {
    obStaAtt = true;
    oiErrore = 0;
    obStampato = false;
    fileScritti_.clear();
    fileIncompleti_.clear();
    mbParteIniziata = mbStampaInterrotta = false;
    file_.clear();
    marche_.clear();
    report_.reset();
    mbNonInviabile = false;
    mbConfermato = false;
    mbFileIniziato = mbFileConclusi = mbEsitoDetto = false;
    miContaFile = 0;
    mlProgrDoc = 0;
    mlProgrAnag = 0;
    mbLimiteSuperato = false;
    msGruppoXml.clear();
    msMastroXml.clear();
    msContoXml.clear();
    miAnnoRegXml = 0;
    mlNumRegXml = 0;
    msRifRiga.clear();
    mbAnagAperta = mbDocAperto = mbRegScritta = mbRegRifiutata = mbRigaNelFile = false;
    msTitoloElab = QStringLiteral("Estrazione Dati: Comunicazione Fatture ") + QStringLiteral(" - ") + osDescAzie;
}

// The report's object, started on its document; false when it was stopped.
bool stDatiFat::AvviaReport() {
    Stampa& st = *mgStampa;
    if (!mgFontSta) mgFontSta = std::make_shared<FontSta>();
    ImpFontTesta(st, *mgFontSta);
    ImpFontCorpo(st, *mgFontSta);
    if (!AvviaParte(st)) {
        // Stopped while the preview waited before this part's first page:
        // the run stops as after a stop on any later page.
        if (Annullata()) oiErrore = -1;
        return false;
    }
    mbParteIniziata = true;
    ParametriStampaDatiFat p;
    p.titolo = msTitoloPag;
    p.ragSoc = osDittaRagSoc;
    p.cosaEstr = osCosaEstr;
    p.anno = oiAnno;
    p.numCom = oiNumCom;
    p.tipoSta = oiTipoSta;
    p.numInvio = oiNumInvio;
    p.identif = oiIdentif;
    p.ordin = oiOrdin;
    p.estrFile = obEstrFile;
    p.molteAnag = obMolteAnag;
    p.pIvaGiurid = mbPIvaGiurid;
    p.mascImporto = ggUtil().CreaMaschera(Valore(0), ctx().giDecImpEuro);
    report_ = std::make_unique<StampaDatiFat>(st, p);
    report_->ImpColStampa();
    return true;
}

// The files' split and the first file with its header; false when the send
// would need more files than a send may have.
bool stDatiFat::AvviaFile() {
    ContaBlocchi();
    // Never above the schema's 1000; without split files a maximum of 0
    // warns at the first counterparty.
    miMaxAnag = qBound(obMolteAnag ? 1 : 0, oiMaxClie, kMaxAnagFile);
    mbMolteFile = obMolteAnag;
    if (!mbMolteFile && mlBlocchiPrevisti > kMaxAnagFile) {
        mbMolteFile = true;
        miMaxAnag = kMaxAnagFile;
        frmMsgCom::msgCom(scrittura_.Prefisso() +
                          QStringLiteral("Superato il numero massimo di anagrafiche per file (%1)\r\n"
                                         "Il file viene diviso in più file di %1 anagrafiche al massimo")
                              .arg(kMaxAnagFile));
    }
    if (mbMolteFile && (mlBlocchiPrevisti + miMaxAnag - 1) / miMaxAnag > kMaxFileDivisi) {
        frmMsgCom::msgCom(scrittura_.Prefisso() +
                          QStringLiteral("Con %1 anagrafiche per file servirebbero più di %2 file (da A a "
                                         "Z): aumentare il numero massimo di anagrafiche per file.\r\n"
                                         "Il file non viene scritto.")
                              .arg(miMaxAnag)
                              .arg(kMaxFileDivisi));
        ++oiErrore;
        return false;
    }
    mbFileIniziato = mbParteIniziata = true;
    ApriFile();
    ScriviTestata();
    return true;
}

// Print set-up, parameters, the company's identity, the query, the report
// and the first file; false when there is nothing to write or print.
bool stDatiFat::PreparaPassata() {
    bool avviata = true;
    if (obStampa) {
        msTitoloPag = msTitoloElab;
        avviata = PreparaStampaRun();
    }
    mbEstraiZero = uguale(LeggiParPers(kSezione, QStringLiteral("EstraiZero"), Valore(QStringLiteral("S"))).testo(), "S");
    mbPIvaGiurid = uguale(LeggiParPers(kSezione, QStringLiteral("PIvaGiurid"), Valore(QStringLiteral("N"))).testo(), "S");
    mbEstraiCodFisc =
        uguale(LeggiParPers(kSezione, QStringLiteral("EstraiCodFisc"), Valore(QStringLiteral("N"))).testo(), "S");
    ctx().giStaAtt = 1;
    scrittura_.SvuotaElenchi();
    scrittura_.ImpostaPrefisso(obUnicaAzie ? QString() : QStringLiteral("Azienda ") + osIdAzienda + QStringLiteral(": "));
    msTipoAnag = eClienti() ? QStringLiteral("Cliente") : QStringLiteral("Fornitore");
    miNumInvioFile = oiTipoSta == 2 ? oiIdentif : oiNumInvio;

    if (!avviata) {
        // The print component refused to start the job and said why:
        // nothing is read, and the run stops rather than go on as done.
        oiErrore = -1;
        return false;
    }
    if (obEstrFile && !PreparaDitta()) {
        ++oiErrore;
        return false;
    }
    // Read once, row by row, forward only: the run's memory does not grow
    // with the documents. No transaction is held while reading (nor while a
    // preview waits for the user): the marks are written after the pass.
    mgRecordset = std::make_unique<GestRecordset>();
    indici_.clear();
    msChiaveRs = mgRecordset->ApriRecordset(*ctx().ggGestDb, osIdDbase, QString(), PrepSql(), false, 8);
    obStampato = !mgRecordset->RecVuoto(msChiaveRs);
    if (!obStampato) return false;
    if (obStampa && !reportDopoInvio() && !AvviaReport()) return false;
    if (obEstrFile && !AvviaFile()) return false;
    return true;
}

// The pass over the query: the file, then the report of what reached it.
// False when the user stopped the print.
bool stDatiFat::Passata() {
    if (report_) report_->StaIntest();
    for (mgRecordset->PrimoRec(msChiaveRs); !mgRecordset->FineRec(msChiaveRs); mgRecordset->RecSuccessivo(msChiaveRs)) {
        if (obEstrFile) ScriviRecDett();
        if (!obStampa || !mgStampa) continue;
        // Only what the file holds is reported: a row left out or refused
        // is neither printed nor added to the totals.
        if (report_ && (!obEstrFile || mbRigaNelFile))
            report_->StaRigaDett([this](const QString& c) { return mgRecordset->LeggiCampo(msChiaveRs, c); },
                                 PosizioniDatiFat{mlProgrDoc, mlProgrAnag, miContaFile});
        if (DopoRiga) DopoRiga(*mgStampa);
        if (Annullata()) return false;
    }
    return true;
}

void stDatiFat::ChiudiQuery() {
    if (!mgRecordset) return;
    try {
        mgRecordset->ChiudiRecordset(msChiaveRs);
    } catch (const ErroreRun&) {
        // Closing a query that failed to open: nothing is left to release.
    }
    mgRecordset.reset();
}

void stDatiFat::AvviaStampa() {
    AzzeraStato();
    try {
        if (PreparaPassata()) {
            const bool fermato = !Passata();
            ChiudiQuery();   // the reading is over before any write begins
            if (obEstrFile) ConcludiFile(fermato);  // write, check, commit, final name
            if (mbConfermato && mbFileConclusi && InvioConcluso) InvioConcluso();
            if (reportDopoInvio() && mbFileConclusi) StampaInviati();
            else if (report_ && !fermato && !Annullata()) report_->ChiudiStampa();  // the report's totals
        }
    } catch (const std::exception& ex) {
        const QString titolo = obStampa ? msTitoloPag : msTitoloElab;
        const auto* e = dynamic_cast<const ErroreRun*>(&ex);
        if (mbFileConclusi && e) {
            ErroreStampa(*e);
        } else if (e) {
            frmMsgCom::MsgErrfrm(*e, {}, {}, titolo);
            if (oiErrore >= 0) ++oiErrore;
        } else if (!dynamic_cast<const ErroreMostrato*>(&ex)) {
            frmMsgCom::MsgErrfrm(ErroreRun(51, QString::fromLocal8Bit(ex.what()), QStringLiteral("stDatiFat")), {}, {},
                                 titolo);
            if (oiErrore >= 0) ++oiErrore;
        } else if (oiErrore >= 0) {
            ++oiErrore;
        }
        // Files begun and never committed stay under their temporary names.
        if (mbFileIniziato && !mbConfermato && !mbFileConclusi && !mbEsitoDetto) Incompleto();
    }
    ChiudiQuery();
    scrittura_.Stacca();
    file_.clear();
    ConcludiStampa();
    report_.reset();
    obStaAtt = false;
}

// A definitive send prints its report only once its files and marks are
// committed: no transaction and no reading is held while the preview, a box
// or the print options wait for the user.
bool stDatiFat::reportDopoInvio() const { return obStampa && obEstrFile && oiTipoSta == 1; }

// The report of the send just committed, from its marked rows, read whole
// before the first page; each row's positions are the ones the file gave it.
void stDatiFat::StampaInviati() {
    if (!AvviaReport()) {
        mbStampaInterrotta = Annullata();
        return;
    }
    GestRecordset rs;
    const QString chiave = rs.ApriRecordset(*ctx().ggGestDb, osIdDbase, QString(), PrepSql(oiNumInvio), false, 2);
    struct Chiudi {
        GestRecordset& rs;
        const QString& chiave;
        ~Chiudi() {
            try {
                rs.ChiudiRecordset(chiave);
            } catch (const ErroreRun&) {
                // A set read whole: closing it releases nothing the database holds.
            }
        }
    } chiudi{rs, chiave};
    const auto campo = [&](const QString& c) { return rs.LeggiCampo(chiave, c); };
    const auto testo = [&](const char* c) { return campo(QString::fromLatin1(c)).testo(); };
    PosizioniDatiFat pos;
    QString file, conto;
    int annoReg = 0, documentiBlocco = 0;
    long numReg = 0;
    bool primo = true;
    report_->StaIntest();
    for (rs.PrimoRec(chiave); !rs.FineRec(chiave); rs.RecSuccessivo(chiave)) {
        const QString nomeFile = testo("DatiFatTest.NomeFile");
        if (!primo && nomeFile.compare(file, Qt::CaseInsensitive) != 0) {
            ++pos.contaFile;
            pos.progrAnag = 0;
            conto.clear();
        }
        file = nomeFile;
        primo = false;
        const QString questoConto = testo("DatiFatTest.GruppoPartita") + QLatin1Char('-') +
                                    testo("DatiFatTest.MastroPartita") + QLatin1Char('-') + testo("DatiFatTest.ContoPartita");
        const int anno = static_cast<int>(ggUtil().ValoreNumerico(campo(QStringLiteral("DatiFatTest.AnnoReg"))));
        const long numero = static_cast<long>(ggUtil().ValoreNumerico(campo(QStringLiteral("DatiFatTest.NumReg"))));
        const bool nuovoDocumento = anno != annoReg || numero != numReg || questoConto.compare(conto, Qt::CaseInsensitive) != 0;
        // A counterparty block of the file holds at most kMaxDocAnag documents.
        if (questoConto.compare(conto, Qt::CaseInsensitive) != 0 || (nuovoDocumento && documentiBlocco >= kMaxDocAnag)) {
            ++pos.progrAnag;
            documentiBlocco = 0;
        }
        if (nuovoDocumento) ++documentiBlocco;
        conto = questoConto;
        annoReg = anno;
        numReg = numero;
        pos.progrDoc = static_cast<long>(ggUtil().ValoreNumerico(campo(QStringLiteral("DatiFatTest.Progr"))));
        report_->StaRigaDett(campo, pos);
        if (DopoRiga) DopoRiga(*mgStampa);
        if (Annullata()) {
            // Only the print stops: the send is whole and marked.
            mbStampaInterrotta = true;
            if (!obStopAlChiamante)
                frmMsgCom::msgCom(scrittura_.Prefisso() + QStringLiteral("File completi e marcati; stampa interrotta."));
            oiErrore = -1;
            return;
        }
    }
    report_->ChiudiStampa();
}
