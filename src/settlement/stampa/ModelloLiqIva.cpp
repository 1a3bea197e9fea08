#include "settlement/stampa/ModelloLiqIva.h"

#include "common/form/UtilForm.h"
#include "components/core/ErroreRun.h"
#include "components/db/GestRecordset.h"
#include "components/platform/ServizioDialoghi.h"
#include "components/stampa/Stampa.h"
#include "components/util/UtilGenerali.h"
#include "contesto/Contesto.h"
#include "contesto/ImpostazioniIni.h"

#include <cmath>

namespace {

constexpr float PassoCaselle = 4.9f;     // distance of the boxes on the form
constexpr float LarghezzaCasella = 5.f;  // each character's text box
constexpr float LarghezzaImporto = 30.f;

QString Testo(const LettoreCampo& campo, const char* nome) {
    return campo(QString::fromLatin1(nome)).testo();
}

bool Vuoto(const LettoreCampo& campo, const char* nome) {
    return ggUtil().EVuoto(campo(QString::fromLatin1(nome)));
}

bool Si(const LettoreCampo& campo, const char* nome) {
    return Testo(campo, nome).compare(QLatin1String("S"), Qt::CaseInsensitive) == 0;
}

// A number column; a text that is not a number is the run's error, not a zero.
double Numero(const LettoreCampo& campo, const char* nome) {
    const Valore v = campo(QString::fromLatin1(nome));
    if (!v.eTesto()) return v.numero();
    if (v.eVuotoONull()) return 0;
    double n = 0;
    if (!leggiNumeroItaliano(v.testo(), n))
        throw ErroreRun(NumErrore::TipoNonCorrispondente, QStringLiteral("Tipo non corrispondente"),
                        QString::fromLatin1(nome));
    return n;
}

// Equal to zero as the program compares amounts (eight decimals).
bool Zero(double n) { return ConfrontaVal(Valore(n), Valore(0.0)) == 0; }

QString DueCifre(long n) { return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0')); }

// Field makers of the table.
std::function<Valore(const LettoreCampo&)> Colonna(const char* nome) {
    return [nome](const LettoreCampo& c) { return Valore(Testo(c, nome)); };
}
// A column printed only when the column `se` is not empty (blanks count as empty).
std::function<Valore(const LettoreCampo&)> SePresente(const char* se, const char* nome) {
    return [se, nome](const LettoreCampo& c) { return Vuoto(c, se) ? Valore(QString()) : Valore(Testo(c, nome)); };
}
std::function<Valore(const LettoreCampo&)> Ammontare(const char* nome) {
    return [nome](const LettoreCampo& c) { return Valore(Numero(c, nome)); };
}
std::function<Valore(const LettoreCampo&)> Crocetta(const char* nome) {
    return [nome](const LettoreCampo& c) { return Valore(Si(c, nome) ? QStringLiteral("X") : QString()); };
}
// The commitment date, one part of it, when there is an intermediary.
std::function<Valore(const LettoreCampo&)> ParteData(const QString& formato) {
    return [formato](const LettoreCampo& c) {
        if (Vuoto(c, "LiqIvaTest.CFIntermediario")) return Valore(QString());
        // No date, the empty date and a text that is not a date print nothing.
        const QDate d = ggUtil().ValoreData(c(QStringLiteral("LiqIvaTest.DataImpegno")));
        if (d == UtilGenerali::DataVuota()) return Valore(QString());
        return Valore(d.toString(formato));
    };
}

QList<VoceModello> Intestazione() {
    using F = FormaVoce;
    const auto conControllante = [](const char* nome, bool (*cond)(const LettoreCampo&)) {
        return [nome, cond](const LettoreCampo& c) {
            if (Vuoto(c, "LiqIvaTest.PartitaIvaControllante") || !cond(c)) return Valore(QString());
            return nome ? Valore(Testo(c, nome)) : Valore(QStringLiteral("X"));
        };
    };
    return {
        {1, 18, 88, 0, F::Caselle, 16, QStringLiteral("Codice fiscale"), Colonna("LiqIvaTest.CodiceFiscale")},
        {2, 49, 60, 0, F::Caselle, 4, QStringLiteral("Anno d'imposta"), Colonna("LiqIvaTest.Anno")},
        {3, 61, 72, 0, F::Caselle, 11, QStringLiteral("Partita IVA"), Colonna("LiqIvaTest.PartitaIva")},
        {4, 69, 72, 0, F::Caselle, 11, QStringLiteral("Partita IVA del controllante"),
         SePresente("LiqIvaTest.PartitaIvaControllante", "LiqIvaTest.PartitaIvaControllante")},
        {4, 69, 148, 0, F::Caselle, 2, QStringLiteral("Ultimo mese"),
         conControllante("LiqIvaTest.UltimoMese",
                         [](const LettoreCampo& c) { return Numero(c, "LiqIvaTest.UltimoMese") > 0; })},
        {4, 69, 187, 0, F::Caselle, 1, QStringLiteral("Liquidazione del gruppo"),
         conControllante(nullptr, [](const LettoreCampo& c) { return Si(c, "LiqIvaTest.LiquidazioneGruppo"); })},
        {5, 81, 65, 0, F::Caselle, 16, QStringLiteral("Codice fiscale del dichiarante"),
         SePresente("LiqIvaTest.CFDichiarante", "LiqIvaTest.CFDichiarante")},
        // As wide as two boxes of the form; the shift moves both edges.
        {5, 81, 186.5f, 196.5f, F::Testo, 0, QStringLiteral("Codice carica"),
         SePresente("LiqIvaTest.CFDichiarante", "LiqIvaTest.CodiceCaricaDichiarante")},
        {6, 89, 65, 0, F::Caselle, 11, QStringLiteral("Codice fiscale societ\u00e0 dichiarante"),
         SePresente("LiqIvaTest.CFDichiarante", "LiqIvaTest.CodiceFiscaleSocieta")},
        {7, 110, 75, 0, F::Caselle, 16, QStringLiteral("Codice fiscale dell'incaricato"),
         SePresente("LiqIvaTest.CFIntermediario", "LiqIvaTest.CFIntermediario")},
        {8, 118, 69, 0, F::Caselle, 1, QStringLiteral("Impegno a presentare in via telematica"),
         SePresente("LiqIvaTest.CFIntermediario", "LiqIvaTest.ImpegnoPresentazione")},
        {9, 134, 61, 68, F::Testo, 0, QStringLiteral("giorno"), ParteData(QStringLiteral("dd"))},
        {9, 134, 69, 76, F::Testo, 0, QStringLiteral("mese"), ParteData(QStringLiteral("MM"))},
        {9, 134, 77, 92, F::Testo, 0, QStringLiteral("anno"), ParteData(QStringLiteral("yyyy"))},
    };
}

QList<VoceModello> Modulo() {
    using F = FormaVoce;
    const auto importo = [](int riga, float y, float x, const char* etichetta, const char* nome) {
        return VoceModello{riga, y, x, 0, F::Importo, 0, QString::fromUtf8(etichetta), Ammontare(nome)};
    };
    return {
        {1, 18, 88, 0, F::Caselle, 16, QStringLiteral("Codice fiscale"), Colonna("LiqIvaTest.CodiceFiscale")},
        {2, 36, 156, 0, F::Caselle, 2, QStringLiteral("Mod. N."),
         [](const LettoreCampo& c) { return Valore(DueCifre(std::lround(Numero(c, "LiqIvaDett.Modulo")))); }},
        {3, 53, 53, 0, F::Caselle, 2, QStringLiteral("VP1 Periodo di riferimento: mese"),
         [](const LettoreCampo& c) {
             const long mese = std::lround(Numero(c, "LiqIvaDett.Mese"));
             return Valore(mese > 0 ? DueCifre(mese) : QString());
         }},
        {3, 53, 82, 0, F::Caselle, 1, QStringLiteral("trimestre"),
         [](const LettoreCampo& c) {
             return Numero(c, "LiqIvaDett.Trimestre") > 0 ? Valore(Testo(c, "LiqIvaDett.Trimestre"))
                                                          : Valore(QString());
         }},
        {3, 53, 109, 0, F::Caselle, 1, QStringLiteral("Subforniture"), Crocetta("LiqIvaDett.Subfornitura")},
        {3, 53, 145, 0, F::Caselle, 1, QStringLiteral("Eventi eccezionali"),
         Colonna("LiqIvaDett.EventiEccezionali")},
        {3, 53, 187, 0, F::Caselle, 1, QStringLiteral("Operazioni straordinarie"),
         Crocetta("LiqIvaDett.OpStraordinarie")},
        importo(4, 61, 140.9f, "VP2 Totale operazioni attive (al netto dell'IVA)",
                "LiqIvaDett.TotaleOperazioniAttive"),
        importo(5, 69.2f, 190, "VP3 Totale operazioni passive (al netto dell'IVA)",
                "LiqIvaDett.TotaleOperazioniPassive"),
        importo(6, 77.4f, 140.9f, "VP4 IVA esigibile", "LiqIvaDett.IvaEsigibile"),
        importo(7, 85.6f, 190, "VP5 IVA detratta", "LiqIvaDett.IvaDetratta"),
        importo(8, 93.8f, 140.9f, "VP6 IVA dovuta", "LiqIvaDett.IvaDovuta"),
        importo(8, 93.8f, 190, "o a credito", "LiqIvaDett.IvaCredito"),
        importo(9, 102.0f, 140.9f, "VP7 Debito periodo precedente non superiore 25,82 euro",
                "LiqIvaDett.DebitoPrecedente"),
        importo(10, 110.2f, 190, "VP8 Credito periodo precedente", "LiqIvaDett.CreditoPeriodoPrecedente"),
        importo(11, 118.4f, 190, "VP9 Credito anno precedente", "LiqIvaDett.CreditoAnnoPrecedente"),
        importo(12, 126.6f, 190, "VP10 Versamenti auto UE", "LiqIvaDett.VersamentiAutoUe"),
        importo(13, 134.8f, 190, "VP11 Crediti d'imposta", "LiqIvaDett.CreditiImposta"),
        importo(14, 143.0f, 140.9f, "VP12 Interessi dovuti per liquidazioni trimestrali",
                "LiqIvaDett.InteressiDovuti"),
        {15, 151.2f, 139, 0, F::Caselle, 1, QStringLiteral("VP13 Metodo"),
         [](const LettoreCampo& c) {
             return Zero(Numero(c, "LiqIvaDett.Acconto")) ? Valore(QString())
                                                          : Valore(Testo(c, "LiqIvaDett.MetodoAcconto"));
         }},
        importo(15, 151.2f, 190, "Acconto dovuto", "LiqIvaDett.Acconto"),
        importo(16, 159.4f, 140.9f, "VP14 IVA da versare", "LiqIvaDett.ImportoDaVersare"),
        importo(16, 159.4f, 190, "o a credito", "LiqIvaDett.ImportoACredito"),
    };
}

// The sheet the form is printed on (A4, portrait): a picture lies within it.
constexpr float kLarghezzaFoglioMax = 210.f;
constexpr float kAltezzaFoglioMax = 297.f;

// One settings key of the geometry: its number, or its default when the text
// is not a number (the box is shown by the caller). An empty shift is no shift.
bool LeggiMisura(const QString& chiave, const QString& predefinito, float& misura) {
    QString testo;
    LeggiValIni(QStringLiteral("LiqIva"), chiave, predefinito, testo);
    if (predefinito.isEmpty() && testo.trimmed().isEmpty()) {
        misura = 0;
        return true;
    }
    try {
        misura = static_cast<float>(ggUtil().NumeroDaStringa(testo));
        return true;
    } catch (const ErroreRun&) {
        misura = predefinito.isEmpty() ? 0.f : static_cast<float>(ggUtil().NumeroDaStringa(predefinito));
        return false;
    }
}

}  // namespace

const QList<VoceModello>& VociModello(int pagina) {
    static const QList<VoceModello> intestazione = Intestazione();
    static const QList<VoceModello> modulo = Modulo();
    return pagina == PaginaLiqIva::Intestazione ? intestazione : modulo;
}

QString ModelloLiqIva::IniParamImmagine(int pagina, bool mostraAvvisi) {
    const bool fronte = pagina == PaginaLiqIva::Intestazione;
    QString driveDb, dirImmagini, drive, cartella, nome;
    LeggiValIni(QStringLiteral("Base"), QStringLiteral("DriveDB"), QString(), driveDb);
    LeggiValIni(QStringLiteral("Base"), QStringLiteral("DirImmagini"), QString(), dirImmagini);
    LeggiValIni(QStringLiteral("LiqIva"), QStringLiteral("DriveImg"), driveDb, drive);
    LeggiValIni(QStringLiteral("LiqIva"), QStringLiteral("DirImg"), dirImmagini, cartella);
    LeggiValIni(QStringLiteral("LiqIva"), fronte ? QStringLiteral("ImgTest") : QStringLiteral("ImgDett"),
                fronte ? QStringLiteral("LiqIvaTest.gif") : QStringLiteral("LiqIvaDett.gif"), nome);
    // No picture name configured is a missing picture, whatever the folder;
    // the name "\" alone asks for the page without a picture.
    const QString img = nome.trimmed();
    const QString percorso = img.isEmpty()                        ? QString()
                             : img == QLatin1String("\\") ? img
                                                           : ggUtil().ComponiPercorso(nome, drive, cartella);

    const QString n = fronte ? QStringLiteral("1") : QStringLiteral("2");
    const struct {
        const char* chiave;
        const char* predefinito;
        float* misura;
    } chiavi[] = {
        {"InizioLarghezzaFoglio", "0", fronte ? &mnInizioLarghezzaFoglio1 : &mnInizioLarghezzaFoglio2},
        {"LarghezzaFoglio", "202,18", fronte ? &mnLarghezzaFoglio1 : &mnLarghezzaFoglio2},
        {"InizioAltezzaFoglio", "0", fronte ? &mnInizioAltezzaFoglio1 : &mnInizioAltezzaFoglio2},
        {"AltezzaFoglio", fronte ? "286,00" : "286,26", fronte ? &mnAltezzaFoglio1 : &mnAltezzaFoglio2},
    };
    bool buoni = true;
    for (const auto& k : chiavi)
        buoni &= LeggiMisura(QString::fromLatin1(k.chiave) + n, QString::fromLatin1(k.predefinito), *k.misura);
    // A picture that starts after it ends, or lies off the sheet, is as bad as
    // a value that is no number: the page takes its defaults.
    const float x0 = *chiavi[0].misura, x1 = *chiavi[1].misura, y0 = *chiavi[2].misura, y1 = *chiavi[3].misura;
    if (!(x0 >= 0 && x0 < x1 && x1 <= kLarghezzaFoglioMax && y0 >= 0 && y0 < y1 && y1 <= kAltezzaFoglioMax)) {
        for (const auto& k : chiavi) *k.misura = static_cast<float>(ggUtil().NumeroDaStringa(QString::fromLatin1(k.predefinito)));
        buoni = false;
    }
    if (fronte) {
        buoni &= LeggiMisura(QStringLiteral("SpostaX"), QString(), mnSpostaX);
        buoni &= LeggiMisura(QStringLiteral("SpostaY"), QString(), mnSpostaY);
        // A shift that moves the fields off the sheet is no shift.
        if (!(std::abs(mnSpostaX) < kLarghezzaFoglioMax && std::abs(mnSpostaY) < kAltezzaFoglioMax)) {
            mnSpostaX = mnSpostaY = 0;
            buoni = false;
        }
    }
    if (!buoni && mostraAvvisi && ctx().ggDialoghi)
        ctx().ggDialoghi->msgBox(
            QStringLiteral("(IniParamStampa) Problemi nei parametri per file immagine del modello: LiqIva \r\n"
                           "nel file di inizializzazione. \r\nUso i valori di default"),
            StileMsg::SoloOk | StileMsg::Critico, QStringLiteral("Errore file ini"));
    return percorso;
}

QRectF ModelloLiqIva::RettangoloFoglio(int pagina) const {
    if (pagina == PaginaLiqIva::Intestazione)
        return QRectF(mnInizioLarghezzaFoglio1, mnInizioAltezzaFoglio1,
                      mnLarghezzaFoglio1 - mnInizioLarghezzaFoglio1, mnAltezzaFoglio1 - mnInizioAltezzaFoglio1);
    return QRectF(mnInizioLarghezzaFoglio2, mnInizioAltezzaFoglio2, mnLarghezzaFoglio2 - mnInizioLarghezzaFoglio2,
                  mnAltezzaFoglio2 - mnInizioAltezzaFoglio2);
}

namespace {
void StampaPagina(const ModelloLiqIva& m, Stampa& stampa, const LettoreCampo& campo, int pagina) {
    stampa.UsaFont(QStringLiteral("TestaAzienda"));
    int riga = 0;
    for (const VoceModello& v : VociModello(pagina)) {
        if (v.riga != riga) {
            riga = v.riga;
            stampa.ImpVert(m.mnSpostaY + v.y);
        }
        const Valore valore = v.valore(campo);
        switch (v.forma) {
        case FormaVoce::Caselle: m.StaCampoSpazi(stampa, valore.testo(), v.x); break;
        case FormaVoce::Importo: m.StaImporto(stampa, valore.numero(), v.x); break;
        case FormaVoce::Testo:
            if (valore.testo().isEmpty()) break;
            stampa.ImpSinistra(m.mnSpostaX + v.x);
            stampa.ImpDestra(m.mnSpostaX + v.destra);
            stampa.ImpAllineamento(QStringLiteral("S"));
            stampa.StampaTesto(0, valore.testo(), true);
            break;
        }
    }
}
}  // namespace

void ModelloLiqIva::StaIntest(Stampa& stampa, const LettoreCampo& campo) const {
    StampaPagina(*this, stampa, campo, PaginaLiqIva::Intestazione);
}

void ModelloLiqIva::StaModulo(Stampa& stampa, const LettoreCampo& campo) const {
    StampaPagina(*this, stampa, campo, PaginaLiqIva::Modulo);
}

void ModelloLiqIva::StaCampoSpazi(Stampa& stampa, const QString& psTesto, float lnPosIniX) const {
    for (int i = 0; i < psTesto.size(); ++i) {
        const float sinistra = mnSpostaX + lnPosIniX + static_cast<float>(i) * PassoCaselle;
        stampa.ImpSinistra(sinistra);
        stampa.ImpDestra(sinistra + LarghezzaCasella);
        stampa.ImpAllineamento(QStringLiteral("S"));
        stampa.StampaTesto(0, psTesto.mid(i, 1), true);
    }
}

QString ModelloLiqIva::TestoImporto(double valore) {
    QString t = QString::number(ggUtil().Arrotonda(valore, -2), 'f', 2);
    t.replace(QLatin1Char('.'), QLatin1Char(' '));
    return t;
}

void ModelloLiqIva::StaImporto(Stampa& stampa, double pdVal, float lnPosIniX) const {
    if (Zero(pdVal)) return;
    const float destra = mnSpostaX + lnPosIniX;
    stampa.ImpSinistra(destra - LarghezzaImporto);
    stampa.ImpDestra(destra);
    stampa.ImpAllineamento(QStringLiteral("D"));
    stampa.StampaTesto(0, TestoImporto(pdVal), true);
}

QString ModelloLiqIva::TestoSpaziato(const QString& psTesto) {
    QString risultato;
    for (const QChar c : psTesto) risultato += c + QStringLiteral("   ");
    return risultato;
}

LettoreCampo ModelloLiqIva::DaRecordset(const GestRecordset& gestRs, const QString& chiave) {
    return [&gestRs, chiave](const QString& nome) { return gestRs.LeggiCampo(chiave, nome); };
}
