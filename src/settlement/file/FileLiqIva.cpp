#include "settlement/file/FileLiqIva.h"

#include "common/FrmMsgCom.h"
#include "common/TestiUscita.h"
#include "components/core/ErroreRun.h"
#include "components/db/GestRecordset.h"
#include "components/util/Percorsi.h"
#include "components/util/UtilGenerali.h"
#include "components/xml/SchemaXsd.h"
#include "contesto/Contesto.h"

#include <QFile>
#include <QIODevice>
#include <QRegularExpression>
#include <cmath>
#include <filesystem>
#include <system_error>

namespace {

// Run-time error numbers of file output, as the platform numbers them.
constexpr long kErroreIo = 57;
constexpr long kErroreAccessoFile = 75;

const QString kNamespaceIvp = QStringLiteral("urn:www.agenziaentrate.gov.it:specificheTecniche:sco:ivp");
const QString kNamespaceFirma = QStringLiteral("http://www.w3.org/2000/09/xmldsig#");
const QString kMetodoMancante = QStringLiteral(" Metodo Acconto obbligatorio in presenza di acconto");
constexpr int kMaxModuli = 5;
constexpr int kLungImporto = 16;

// Zero at the precision the settlement comparisons use (1e-8).
bool eZero(double d) { return ggUtil().Arrotonda(d, -8) == 0.0; }

double numero(const Valore& v) { return ggUtil().ValoreNumerico(v); }

bool eSi(const Valore& v) { return v.testo().trimmed().compare(QLatin1String("S"), Qt::CaseInsensitive) == 0; }

QString anno4(int anno) { return QStringLiteral("%1").arg(anno, 4, 10, QLatin1Char('0')); }

// A whole number as stored, without decimals; other values as text.
QString testoIntero(const Valore& v) {
    if (v.eNumero() && std::floor(v.numero()) == v.numero()) return QString::number(v.intero());
    return v.testo();
}

// The patterns of the schema's code types.
bool codiceFiscaleValido(const QString& s) {
    static const QRegularExpression re(QStringLiteral(
        "^(?:[0-9]{11}|[A-Z]{6}[0-9LMNPQRSTUV]{2}[A-Z][0-9LMNPQRSTUV]{2}[A-Z][0-9LMNPQRSTUV]{3}[A-Z])$"));
    return re.match(s).hasMatch();
}
bool partitaIvaValida(const QString& s) {
    static const QRegularExpression re(QStringLiteral("^[0-7][0-9]{10}$"));
    return re.match(s).hasMatch();
}
bool codiceNumericoValido(const QString& s) {
    static const QRegularExpression re(QStringLiteral("^[0-9]{11}$"));
    return re.match(s).hasMatch();
}

QList<int> intervallo(int da, int a) {
    QList<int> l;
    for (int i = da; i <= a; ++i) l << i;
    return l;
}
const QList<int> kCariche = intervallo(1, 9) + intervallo(11, 15);
const QList<int> kUltimiMesi = intervallo(1, 13) + QList<int>{99};
const QList<int> kMesi = intervallo(1, 12);
const QList<int> kTrimestri = intervallo(1, 5);
const QList<int> kImpegni = {1, 2};
const QList<int> kMetodi = intervallo(1, 4);
const QList<int> kModuli = intervallo(1, kMaxModuli);

// How a coded number of a row stands against the schema's list of values.
enum class Codice { Assente, Ammesso, Rifiutato };

// Absent: empty, or zero ("0", "00", 0). Otherwise a whole number of the list.
Codice valutaCodice(const Valore& v, const QList<int>& ammessi, int& n) {
    const QString t = testoIntero(v).trimmed();
    if (t.isEmpty()) return Codice::Assente;
    static const QRegularExpression intero(QStringLiteral("^[+-]?[0-9]+$"));
    if (!intero.match(t).hasMatch()) return Codice::Rifiutato;
    bool ok = false;
    const long long x = t.toLongLong(&ok);
    if (ok && x == 0) return Codice::Assente;
    if (!ok || x < 0 || x > 99 || !ammessi.contains(static_cast<int>(x))) return Codice::Rifiutato;
    n = static_cast<int>(x);
    return Codice::Ammesso;
}

// A value of the text line: control characters would break the line and
// become blanks; characters beyond the single-byte page have no byte of their
// own: `perso` tells the caller, which reports them.
QString pulitoPerRiga(const QString& s, bool* perso = nullptr) {
    QString r;
    r.reserve(s.size());
    for (const char32_t cp : s.toUcs4()) {
        if (cp < 32) {
            r += QLatin1Char(' ');
        } else if (cp > 255) {
            r += QLatin1Char('?');
            if (perso) *perso = true;
        } else {
            r += QChar(static_cast<char16_t>(cp));
        }
    }
    return r;
}

}  // namespace

LettoreRiga RigaDaRecordset(const GestRecordset& rs, const QString& chiave) {
    return [&rs, chiave](const QString& colonna) { return rs.LeggiCampoNull(chiave, colonna); };
}

FileLiqIva::FileLiqIva(bool xml) : mbXml(xml) {
    xml_.ImpostaPrefissoTag(QStringLiteral("iv:"));
    // The settlement file has always written other characters as references.
    xml_.ConservaCaratteriEstesi(true);
}

FileLiqIva::~FileLiqIva() = default;

QString FileLiqIva::PrepSql(int anno, int numCom) {
    const UtilGenerali& u = ggUtil();
    return QStringLiteral("Select * from LiqIvaTest Inner Join LiqIvaDett") +
           QStringLiteral(" On LiqIvaTest.Anno = LiqIvaDett.Anno") +
           QStringLiteral(" And LiqIvaTest.NumCom = LiqIvaDett.NumCom") +
           QStringLiteral(" Where LiqIvaTest.Anno = ") + u.FormatoSql(Valore(anno), TipoDato::Intero) +
           QStringLiteral(" And LiqIvaTest.NumCom = ") + u.FormatoSql(Valore(numCom), TipoDato::Intero) +
           QStringLiteral(" Order By Modulo");
}

QString FileLiqIva::ControllaModuli(const QList<Valore>& moduli) {
    if (moduli.size() > kMaxModuli)
        return QStringLiteral("La comunicazione ha %1 moduli: il file ne può contenere al massimo %2.\r\n"
                              "Il file non viene scritto.")
            .arg(moduli.size())
            .arg(kMaxModuli);
    for (const Valore& m : moduli) {
        int n = 0;
        if (valutaCodice(m, kModuli, n) != Codice::Ammesso)
            return QStringLiteral("Numero di modulo non valido: %1. I moduli vanno numerati da 1 a %2.\r\n"
                                  "Il file non viene scritto.")
                .arg(m.eNull() ? QStringLiteral("vuoto") : m.testo(), QString::number(kMaxModuli));
    }
    return {};
}

QString FileLiqIva::ControllaModuli(GestRecordset& rs, const QString& chiave) {
    QList<Valore> moduli;
    if (rs.RecVuoto(chiave)) return {};
    rs.PrimoRec(chiave);
    for (; !rs.FineRec(chiave); rs.RecSuccessivo(chiave)) moduli << rs.LeggiCampoNull(chiave, QStringLiteral("Modulo"));
    rs.PrimoRec(chiave);
    return ControllaModuli(moduli);
}

QString FileLiqIva::NomeIncompleto(const QString& percorso) { return percorso + QStringLiteral(".incompleto"); }

void FileLiqIva::ApriFile(const QString& percorso) {
    // The file grows under its incomplete name: a stop, a failure or a crash
    // leaves an earlier complete file of the final name as it was.
    const QString finale = PercorsoLocale(percorso);
    auto file = std::make_unique<QFile>(NomeIncompleto(finale));
    if (!file->open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw ErroreRun(kErroreAccessoFile,
                        QStringLiteral("Impossibile creare il file %1: %2").arg(percorso, file->errorString()),
                        QStringLiteral("stLiqIva"));
    msPercorsoFinale = finale;
    msPercorsoAttuale = file->fileName();
    mgUscita = file.get();
    mgFile = std::move(file);
    xml_.ApriSu(mgUscita);
}

QString FileLiqIva::Consegna() {
    if (mgFile) ChiudiFile();
    if (msPercorsoAttuale.isEmpty() || msPercorsoAttuale == msPercorsoFinale) return msPercorsoAttuale;
    std::error_code ec;
    // rename replaces an earlier file of the final name in one step.
    std::filesystem::rename(std::filesystem::path(msPercorsoAttuale.toStdString()),
                            std::filesystem::path(msPercorsoFinale.toStdString()), ec);
    if (ec)
        throw ErroreRun(kErroreAccessoFile,
                        QStringLiteral("Impossibile rinominare il file %1 in %2: %3")
                            .arg(msPercorsoAttuale, msPercorsoFinale, QString::fromLocal8Bit(ec.message().c_str())),
                        QStringLiteral("stLiqIva"));
    msPercorsoAttuale = msPercorsoFinale;
    return msPercorsoAttuale;
}

void FileLiqIva::ApriSu(QIODevice* uscita) {
    mgFile.reset();
    mgUscita = uscita;
    xml_.ApriSu(mgUscita);
}

void FileLiqIva::ChiudiFile() {
    if (!mgFile) {
        mgUscita = nullptr;
        xml_.Stacca();
        return;
    }
    auto* file = static_cast<QFile*>(mgFile.get());
    const bool ok = file->flush();
    const QString errore = file->errorString();
    file->close();
    mgFile.reset();
    mgUscita = nullptr;
    xml_.Stacca();
    if (!ok) throw ErroreRun(kErroreIo, QStringLiteral("Errore di scrittura del file: %1").arg(errore),
                             QStringLiteral("stLiqIva"));
}

void FileLiqIva::Scrivi(const QByteArray& byte) {
    if (!mgUscita)
        throw ErroreRun(kErroreIo, QStringLiteral("Il file di scarico non è aperto."), QStringLiteral("stLiqIva"));
    if (mgUscita->write(byte) != byte.size())
        throw ErroreRun(kErroreIo, QStringLiteral("Errore di scrittura del file: %1").arg(mgUscita->errorString()),
                        QStringLiteral("stLiqIva"));
}

void FileLiqIva::ScriviRigaXml(const QString& psRiga) { xml_.ScriviRigaXml(psRiga); }

void FileLiqIva::SottraimiTabXml(int piQuanti) { xml_.SottraimiTabXml(piQuanti); }

void FileLiqIva::Segnala(const QString& voce) { xml_.Segnala(voce); }

void FileLiqIva::Errore(const QString& voce, bool delModulo) {
    Segnala(delModulo && miModulo > 0 ? QStringLiteral("Modulo %1: ").arg(miModulo) + voce : voce);
    ++miErrori;
}

// A value of the text line, left-aligned in its width. One longer than the
// width, or with a character the single-byte line cannot hold, would be cut
// or changed: when `giudica`, an error of the run.
QString FileLiqIva::AdattaRiga(const QString& nome, const QString& valore, int larghezza, bool giudica,
                               bool delModulo) {
    bool perso = false;
    const QString pulito = pulitoPerRiga(valore, &perso);
    QString utile = pulito;
    while (utile.endsWith(QLatin1Char(' '))) utile.chop(1);
    if (giudica && perso) Errore(nome + QStringLiteral(" contiene caratteri non ammessi"), delModulo);
    if (giudica && utile.size() > larghezza) Errore(nome + QStringLiteral(" troppo lungo"), delModulo);
    return AllineaCampo(pulito, larghezza, QStringLiteral("S"), QStringLiteral(" "), true);
}

// The taxpayer's codes of the text line: mandatory, and valid by the schema's patterns.
void FileLiqIva::ControllaCodiciRiga(const LettoreRiga& riga) {
    const auto codice = [&](const char* colonna, const QString& elemento, bool (*valido)(const QString&)) {
        const QString v = riga(QString::fromLatin1(colonna)).testo().trimmed().toUpper();
        if (v.isEmpty()) {
            xml_.Mancante(elemento + QLatin1Char(' '));
            ++miErrori;
        } else if (!valido(v)) {
            Errore(elemento + QStringLiteral(" non valido"), false);
        }
    };
    codice("CodiceFiscale", QStringLiteral("CodiceFiscale"), codiceFiscaleValido);
    codice("PartitaIva", QStringLiteral("PartitaIVA"), partitaIvaValida);
}

QString FileLiqIva::PrepCampoXml(const QString& psValore, const QString& psChiave, int piObblig,
                                 const QString& psDescAgg, int piMaxLung, int piMinLung, bool pbUcase,
                                 bool pbNumerico) {
    return xml_.PrepCampoXml(psValore, psChiave, piObblig, psDescAgg, piMaxLung, piMinLung, pbUcase, pbNumerico);
}

QString FileLiqIva::NumeroPA(double pvNumero, int piDec, bool pbVuotoSeZero) {
    return ScritturaXml::NumeroPA(pvNumero, piDec, pbVuotoSeZero, false);
}

QString FileLiqIva::FormattaImporto(double pdVal) {
    if (eZero(pdVal)) return QString(kLungImporto, QLatin1Char(' '));
    const QString t = NumeroPA(pdVal, 2, false);
    return t.size() > kLungImporto ? t : t.rightJustified(kLungImporto, QLatin1Char(' '));
}

QString FileLiqIva::BiancoSeN(const QString& psVal) {
    return psVal.compare(QLatin1String("N"), Qt::CaseInsensitive) == 0 ? QStringLiteral(" ") : QStringLiteral("1");
}

QString FileLiqIva::ValFirma(const QString& psVal) {
    return psVal.compare(QLatin1String("S"), Qt::CaseInsensitive) == 0 ? QStringLiteral("1") : QStringLiteral("0");
}

// A code of the front page: trimmed, upper case, tested against the schema's
// pattern and never cut. An invalid mandatory code is written all the same
// (leaving it out would not make the file valid either) and reported; an
// invalid optional one is reported and left out.
void FileLiqIva::ScriviCodice(const QString& valore, const QString& elemento, int obblig,
                              bool (*valido)(const QString&)) {
    const QString v = valore.trimmed().toUpper();
    if (!v.isEmpty() && !valido(v)) {
        if (obblig == 0) {
            Segnala(elemento + QStringLiteral(" non valido"));
            return;
        }
        // The Agency rejects the file: an error of the run.
        Errore(elemento + QStringLiteral(" non valido"));
    } else if (v.isEmpty() && obblig != 0) {
        ++miErrori;
    }
    ScriviRigaXml(PrepCampoXml(v, elemento, obblig, {}, 0, 0, true, false));
}

// A coded number: written only when it is one of the schema's values; any
// other non-zero value is reported and left out.
bool FileLiqIva::ScriviEnumerato(const Valore& valore, const QString& elemento, const QList<int>& ammessi) {
    int n = 0;
    switch (valutaCodice(valore, ammessi, n)) {
    case Codice::Assente: return false;
    case Codice::Rifiutato: Segnala(elemento + QStringLiteral(" non valido")); return false;
    case Codice::Ammesso: ScriviRigaXml(PrepCampoXml(QString::number(n), elemento, -1, {}, 0, 0, true, false));
    }
    return true;
}

// A module states its period by exactly one of month and quarter.
void FileLiqIva::ControllaPeriodo(bool mese, bool trimestre) {
    if (mese && trimestre)
        Errore(QStringLiteral("Mese e Trimestre indicati insieme"));
    else if (!mese && !trimestre)
        Errore(QStringLiteral("Mese o Trimestre mancante"));
}

// The figure of an amount column; a text that is not a number is an error of
// the run (it would be taken as 0 and the figure lost).
double FileLiqIva::Importo(const LettoreRiga& riga, const QString& colonna) {
    const Valore v = riga(colonna);
    if (TestoNonNumerico(v)) Errore(colonna + QStringLiteral(" non numerico"));
    return numero(v);
}

// An amount element. Zero writes nothing. The schema's unsigned fields take
// no negative figure, and a figure too long for the field is never cut: both
// leave the element out and are errors of the run.
void FileLiqIva::ScriviImporto(const LettoreRiga& riga, const QString& colonna, const QString& elemento,
                               bool conSegno) {
    const double d = Importo(riga, colonna);
    if (eZero(d)) return;
    const QString t = NumeroPA(d, 2, false);
    if (!conSegno && t.startsWith(QLatin1Char('-'))) {
        Errore(elemento + QStringLiteral(" negativo"));
        return;
    }
    if (t.size() > kLungImporto) {
        Errore(elemento + QStringLiteral(" fuori formato"));
        return;
    }
    ScriviRigaXml(PrepCampoXml(t, elemento, -1, {}, kLungImporto, 4, true, true));
}

void FileLiqIva::ScriviTestata(const LettoreRiga& riga) {
    miModulo = 0;
    const auto campo = [&](const char* nome) { return riga(QString::fromLatin1(nome)); };
    const auto riga1 = [&](const QString& valore, const char* elemento) {
        ScriviRigaXml(PrepCampoXml(valore, QString::fromLatin1(elemento), -1, {}, 0, 0, true, false));
    };
    const int anno = static_cast<int>(numero(campo("Anno")));
    miAnno = anno;

    ScriviRigaXml(QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>"));
    ScriviRigaXml(QStringLiteral("<iv:Fornitura xmlns:iv=\"%1\" xmlns:ds=\"%2\">").arg(kNamespaceIvp, kNamespaceFirma));
    xml_.AlzaTab();

    ScriviRigaXml(QStringLiteral("<iv:Intestazione>"));
    xml_.AlzaTab();
    riga1(anno < 2018 ? QStringLiteral("IVP17") : QStringLiteral("IVP18"), "CodiceFornitura");
    ScriviCodice(campo("CFDichiarante").testo(), QStringLiteral("CodiceFiscaleDichiarante"), 0, codiceFiscaleValido);
    ScriviEnumerato(campo("CodiceCaricaDichiarante"), QStringLiteral("CodiceCarica"), kCariche);
    SottraimiTabXml(1);
    ScriviRigaXml(QStringLiteral("</iv:Intestazione>"));

    ScriviRigaXml(QStringLiteral("<iv:Comunicazione identificativo=\"00001\">"));
    xml_.AlzaTab();
    ScriviRigaXml(QStringLiteral("<iv:Frontespizio>"));
    xml_.AlzaTab();
    ScriviCodice(campo("CodiceFiscale").testo(), QStringLiteral("CodiceFiscale"), -1, codiceFiscaleValido);
    riga1(anno4(anno), "AnnoImposta");
    ScriviCodice(campo("PartitaIva").testo(), QStringLiteral("PartitaIVA"), -1, partitaIvaValida);
    ScriviCodice(campo("PartitaIvaControllante").testo(), QStringLiteral("PIVAControllante"), 0, partitaIvaValida);
    ScriviEnumerato(campo("UltimoMese"), QStringLiteral("UltimoMese"), kUltimiMesi);
    if (eSi(campo("LiquidazioneGruppo"))) riga1(QStringLiteral("1"), "LiquidazioneGruppo");
    ScriviCodice(campo("CFDichiarante").testo(), QStringLiteral("CFDichiarante"), 0, codiceFiscaleValido);
    ScriviEnumerato(campo("CodiceCaricaDichiarante"), QStringLiteral("CodiceCaricaDichiarante"), kCariche);
    ScriviCodice(campo("CodiceFiscaleSocieta").testo(), QStringLiteral("CodiceFiscaleSocieta"), 0,
                 codiceNumericoValido);
    // The element is mandatory: an unsigned communication says "0" and is listed.
    const QString firma = campo("FirmaDichiarazione").testo().trimmed();
    riga1(ValFirma(firma), "FirmaDichiarazione");
    if (firma.compare(QLatin1String("S"), Qt::CaseInsensitive) != 0)
        xml_.Mancante(QStringLiteral("FirmaDichiarazione"));

    if (!campo("CFIntermediario").testo().trimmed().isEmpty()) {
        ScriviCodice(campo("CFIntermediario").testo(), QStringLiteral("CFIntermediario"), 0, codiceFiscaleValido);
        int impegno = 0;
        switch (valutaCodice(campo("ImpegnoPresentazione"), kImpegni, impegno)) {
        case Codice::Assente: xml_.Mancante(QStringLiteral("ImpegnoPresentazione")); break;
        case Codice::Rifiutato: Segnala(QStringLiteral("ImpegnoPresentazione non valido")); break;
        case Codice::Ammesso: riga1(QString::number(impegno), "ImpegnoPresentazione"); break;
        }
        const QDate data = ggUtil().ValoreData(campo("DataImpegno"));
        if (data.isValid() && data != UtilGenerali::DataVuota())
            riga1(data.toString(QStringLiteral("ddMMyyyy")), "DataImpegno");
        if (eSi(campo("FirmaIntermediario")))
            riga1(QStringLiteral("1"), "FirmaIntermediario");
        else
            xml_.Mancante(QStringLiteral("FirmaIntermediario"));
    }
    if (campo("FlagConferma").testo().trimmed() == QLatin1String("1")) riga1(QStringLiteral("1"), "FlagConferma");
    SottraimiTabXml(1);
    ScriviRigaXml(QStringLiteral("</iv:Frontespizio>"));
    ScriviRigaXml(QStringLiteral("<iv:DatiContabili>"));
    xml_.AlzaTab();
}

void FileLiqIva::ScriviRecDett(const LettoreRiga& riga) {
    if (mbXml)
        ScriviModuloXml(riga);
    else
        ScriviRigaTesto(riga);
}

void FileLiqIva::ScriviModuloXml(const LettoreRiga& riga) {
    const auto campo = [&](const char* nome) { return riga(QString::fromLatin1(nome)); };
    const auto riga1 = [&](const QString& valore, const char* elemento) {
        ScriviRigaXml(PrepCampoXml(valore, QString::fromLatin1(elemento), -1, {}, 0, 0, true, false));
    };
    const auto importo = [&](const char* colonna, bool conSegno, const char* elemento = nullptr) {
        ScriviImporto(riga, QString::fromLatin1(colonna), QString::fromLatin1(elemento ? elemento : colonna), conSegno);
    };
    const bool dal2018 = numero(campo("Anno")) >= 2018;
    miModulo = static_cast<int>(numero(campo("Modulo")));
    moduliScritti_ << miModulo;

    ScriviRigaXml(QStringLiteral("<iv:Modulo>"));
    xml_.AlzaTab();
    if (dal2018) riga1(testoIntero(campo("Modulo")), "NumeroModulo");
    const bool mese = ScriviEnumerato(campo("Mese"), QStringLiteral("Mese"), kMesi);
    const bool trimestre = ScriviEnumerato(campo("Trimestre"), QStringLiteral("Trimestre"), kTrimestri);
    ControllaPeriodo(mese, trimestre);
    if (eSi(campo("Subfornitura"))) riga1(QStringLiteral("1"), "Subfornitura");
    const QString eventi = campo("EventiEccezionali").testo().trimmed();
    if (eventi == QLatin1String("1") || eventi == QLatin1String("9"))
        riga1(eventi, "EventiEccezionali");
    else if (!eventi.isEmpty())
        Segnala(QStringLiteral("EventiEccezionali non valido"));
    if (dal2018 && eSi(campo("OpStraordinarie")) && !eSi(campo("LiquidazioneGruppo")))
        riga1(QStringLiteral("1"), "OperazioniStraordinarie");

    importo("TotaleOperazioniAttive", true);
    importo("TotaleOperazioniPassive", true);
    importo("IvaEsigibile", true);
    importo("IvaDetratta", true);
    importo("IvaDovuta", false);
    importo("IvaCredito", false);
    importo("DebitoPrecedente", false);
    importo("CreditoPeriodoPrecedente", false);
    importo("CreditoAnnoPrecedente", true);
    importo("VersamentiAutoUe", false, "VersamentiAutoUE");
    importo("CreditiImposta", false);
    importo("InteressiDovuti", false);
    if (dal2018 && !eZero(numero(campo("Acconto")))) {
        int metodo = 0;
        if (valutaCodice(campo("MetodoAcconto"), kMetodi, metodo) == Codice::Ammesso)
            riga1(QString::number(metodo), "Metodo");
        else
            Segnala(kMetodoMancante);
    }
    importo("Acconto", false);
    importo("ImportoDaVersare", false);
    importo("ImportoACredito", false);
    SottraimiTabXml(1);
    ScriviRigaXml(QStringLiteral("</iv:Modulo>"));
}

void FileLiqIva::ScriRecCoda() {
    SottraimiTabXml(1);
    ScriviRigaXml(QStringLiteral("</iv:DatiContabili>"));
    SottraimiTabXml(1);
    ScriviRigaXml(QStringLiteral("</iv:Comunicazione>"));
    SottraimiTabXml(1);
    ScriviRigaXml(QStringLiteral("</iv:Fornitura>"));
}

void FileLiqIva::ScriviRigaTesto(const LettoreRiga& riga) {
    const auto campo = [&](const char* nome) { return riga(QString::fromLatin1(nome)); };
    miModulo = static_cast<int>(numero(campo("Modulo")));
    // The communication's values repeat on every line: they are judged on the
    // first line only, and reported without a module.
    const bool primaRiga = !mbTestataControllata;
    if (primaRiga) ControllaCodiciRiga(riga);
    mbTestataControllata = true;
    const auto testo = [&](const char* nome, int larghezza) {
        return AdattaRiga(QString::fromLatin1(nome), campo(nome).testo(), larghezza, primaRiga, false);
    };
    const auto testoModulo = [&](const char* nome, int larghezza) {
        return AdattaRiga(QString::fromLatin1(nome), campo(nome).testo(), larghezza, true, true);
    };
    // A month or other period number: blanks unless above 0.
    const auto periodo = [&](const char* nome, int larghezza, bool giudica, bool delModulo) {
        const Valore v = campo(nome);
        return numero(v) > 0 ? AdattaRiga(QString::fromLatin1(nome), testoIntero(v), larghezza, giudica, delModulo)
                             : QString(larghezza, QLatin1Char(' '));
    };
    int n = 0;
    ControllaPeriodo(valutaCodice(campo("Mese"), kMesi, n) == Codice::Ammesso,
                     valutaCodice(campo("Trimestre"), kTrimestri, n) == Codice::Ammesso);
    // An amount that does not fit its 16 positions is never cut: the field
    // stays blank and the run counts an error.
    const auto importo = [&](const QString& nome, double valore) {
        const QString t = FormattaImporto(valore);
        if (t.size() <= kLungImporto) return t;
        Errore(nome + QStringLiteral(" fuori formato"));
        return QString(kLungImporto, QLatin1Char(' '));
    };
    const auto importoCampo = [&](const char* nome) {
        const QString colonna = QString::fromLatin1(nome);
        return importo(colonna, Importo(riga, colonna));
    };

    const int anno = static_cast<int>(numero(campo("Anno")));
    QString r;
    r.reserve(430);
    r += AdattaRiga(QStringLiteral("NumCom"), anno4(anno) + testoIntero(campo("NumCom")) + QLatin1Char('-'), 30,
                    primaRiga, false);
    r += anno4(anno);
    r += QLatin1Char(' ');
    r += testo("PartitaIva", 20);
    r += BiancoSeN(campo("Subfornitura").testo());
    r += testoModulo("EventiEccezionali", 1);
    r += eSi(campo("OpStraordinarie")) ? QLatin1Char('S') : QLatin1Char('N');
    r += testo("PartitaIvaControllante", 20);
    r += periodo("UltimoMese", 2, primaRiga, false);
    r += BiancoSeN(campo("LiquidazioneGruppo").testo());
    r += testo("CFDichiarante", 16);
    r += testo("CodiceCaricaDichiarante", 2);
    r += testo("CodiceFiscaleSocieta", 16);
    r += ValFirma(campo("FirmaDichiarazione").testo());
    r += testo("CFIntermediario", 16);
    r += testo("ImpegnoPresentazione", 1);
    const QDate data = ggUtil().ValoreData(campo("DataImpegno"));
    r += (data.isValid() && data != UtilGenerali::DataVuota()) ? data.toString(QStringLiteral("yyyyMMdd"))
                                                               : QString(8, QLatin1Char(' '));
    r += ValFirma(campo("FirmaIntermediario").testo());
    r += testo("CodiceFiscale", 16);
    r += AdattaRiga(QStringLiteral("Modulo"), testoIntero(campo("Modulo")), 5, true, true);
    r += periodo("Mese", 2, true, true);
    r += periodo("Trimestre", 1, true, true);
    for (const char* nome : {"TotaleOperazioniAttive", "TotaleOperazioniPassive", "IvaEsigibile", "IvaDetratta",
                             "IvaDovuta", "IvaCredito", "DebitoPrecedente", "CreditoPeriodoPrecedente",
                             "CreditoAnnoPrecedente", "CreditiImposta", "InteressiDovuti"})
        r += importoCampo(nome);
    // The method field is there only with an advance and a method.
    if (!eZero(numero(campo("Acconto"))) && !ggUtil().EVuoto(campo("MetodoAcconto")))
        r += importo(QStringLiteral("MetodoAcconto"), numero(campo("MetodoAcconto")));
    for (const char* nome : {"Acconto", "ImportoDaVersare", "ImportoACredito", "VersamentiAutoUe"})
        r += importoCampo(nome);
    r += QStringLiteral("LI ");
    Scrivi(r.toLatin1() + "\r\n");
}

void FileLiqIva::MostraElenchi() const { xml_.MostraElenchi(); }

namespace {

comiva::SchemaTrasmissione schemaDellAnno(int anno) {
    return anno < 2018 ? comiva::SchemaTrasmissione::Ivp2017 : comiva::SchemaTrasmissione::Ivp2018;
}

// The block a line of the file lies in: the number of the module blocks opened
// and not yet closed up to that line (1-based), 0 outside every block.
int bloccoAllaRiga(const QString& percorso, int riga) {
    QFile f(percorso);
    if (riga <= 0 || !f.open(QIODevice::ReadOnly)) return 0;
    int aperti = 0;
    bool dentro = false;
    for (int n = 1; n <= riga && !f.atEnd(); ++n) {
        const QByteArray linea = f.readLine().trimmed();
        if (linea == "<iv:Modulo>") {
            ++aperti;
            dentro = true;
        } else if (linea == "</iv:Modulo>" && n < riga) {
            dentro = false;
        }
    }
    return dentro ? aperti : 0;
}

}  // namespace

QString FileLiqIva::NomeSchemaFile() const { return comiva::NomeSchema(schemaDellAnno(miAnno)); }

bool FileLiqIva::VerificaSchema() {
    msErroreSchema.clear();
    const comiva::EsitoSchema esito = comiva::ValidaSchema(msPercorsoAttuale, schemaDellAnno(miAnno));
    if (esito.valido) return true;
    // The line tells the module: the user corrects that module's row.
    const int blocco = bloccoAllaRiga(msPercorsoAttuale, esito.riga);
    msErroreSchema = blocco > 0 && blocco <= moduliScritti_.size()
                         ? QStringLiteral("Modulo %1: ").arg(moduliScritti_[blocco - 1]) + esito.descrizione()
                         : esito.descrizione();
    ++miErrori;
    return false;
}
