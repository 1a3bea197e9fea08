#pragma once
// The print job of a report: the set-up of a new print object, the page
// parameters from the settings files, the automatic PDF name, the font slots,
// the page header and the wrapped text lines. A writer runs them in this
// order: InizStampa, ImpChiamante, ogOpzSta, IniParamStampa, ImpInterruzione 0,
// the print-in-progress box, giStaAtt = 1, ImpFontTesta, ImpFontCorpo,
// AvviaDocumento, its pages (StaIntest after AvviaDocumento and each
// NuovaPagina), FineStampa.
#include "components/core/Valore.h"
#include "components/stampa/FontSta.h"
#include "components/stampa/Stampa.h"
#include "print/lavoro/ServiziLavoroStampa.h"

#include <QDateTime>
#include <QList>
#include <QPointer>
#include <QString>
#include <functional>


// The print object of the current job.
QPointer<Stampa>& ggStampaCorr();

// Wires a new print object: preview form, progress box, zoom form, current
// printer, terminal name, temporary folder, messages on, default slots,
// named parameters and the shared print fonts.
void InizStampa(Stampa& st);
void InizStampa(Stampa& st, int, int);

// Output route (printer, automatic PDF name, e-mail) then the nine page
// parameters. `predefiniti`: up to nine defaults in the order MrSin, MrDes,
// MrAlt, MrBas, Fatt, Dx, Dy, ForzaVert, Interl; an empty value or a missing
// one takes the built-in default. modo 0 both halves, 1 the route only, 2
// no printer preparation for route 0.
void IniParamStampa(const QString& sezione, Stampa& st, const QList<Valore>& predefiniti = {}, int modo = 0);
// True when the print object's margins and offsets, negative ones included,
// leave some printable page on the sheet and its display factor and line
// spacing are ones a page can hold; IniParamStampa treats any other
// geometry like a value that is not a number.
bool PaginaSulFoglio(const Stampa& st);

// The automatic PDF name from its pattern: each placeholder "§Nome§" of the
// table replaced by its value, each value cleaned of path separators and of
// the characters a file name cannot hold.
QString NomePdfAutomatico(const QString& modello, Stampa& st);
// A value made fit for a file name: "\ / : * ? \" < > |" and control characters become "_".
QString PulisciNomeFile(const QString& valore);

// Font slots.
FontSta NuovoFontArial();
std::shared_ptr<FontStd> NuovoFontArialCondiviso();
void ImpFontTesta(Stampa& st, FontSta& fontSta);
void ImpFontCorpo(Stampa& st, FontSta& fontSta);
void LeggiFontPers(Stampa& st, const QString& chiaveConta);
void ApplicaFontPers(Stampa& st, const QString& sezione, int conta);
// The shared print fonts of the suite under "FFPers-§-" + number.
QString NomeFontPers(int progressivo);

// The standard page header. pagina 0: the print object's own page number.
// data: an empty value means the working date. modo 1 prints nothing, 2
// nothing when the output is a file.
void StampaTestataPag(Stampa& st, const QString& titolo, int pagina = 0, const Valore& data = Valore(),
                      bool nascondiVersione = false, const QString& aggDitta = QString(),
                      const QString& secondaColonna = QString(), const QString& ragSoc = QString(),
                      bool rigaVuota = false, int modo = 0);
// A long text centred in "CorpoCampo", wrapped after ";" to the printable width.
void StampaTestoRighe(Stampa& st, const QString& testo);
// True when the print goes to a file in the spreadsheet's own format.
bool VerStaFileForm(const Stampa& st);

// A run over several companies and kinds shows its reports in one preview:
// the part of a call that is not the run's last leaves the document open,
// and the next call's part starts on a fresh page of it rather than in a new
// preview; the run ends the document when it ends before its last call.
// True when the print object holds the open document of an earlier part.
bool ParteSuccessiva(const Stampa* st);
// Starts the document, or the next part on a fresh page of the open one;
// false when the user stopped the print (or left the preview) there.
bool AvviaParte(Stampa& st);
// True when this part leaves the document open for the next call: a preview
// not stopped, and more calls follow.
bool TieniDocumento(Stampa& st, bool ultima);

// Clears the print-in-progress flag when the job's scope ends, however it
// ends: after a print that was refused, stopped or failed no later print is
// refused. Writers create one right where they set giStaAtt to 1.
class GuardiaStaAtt {
public:
    explicit GuardiaStaAtt(ChiamanteStampa* chiamante = nullptr) : chiamante_(chiamante) {}
    ~GuardiaStaAtt();
    GuardiaStaAtt(const GuardiaStaAtt&) = delete;
    GuardiaStaAtt& operator=(const GuardiaStaAtt&) = delete;

private:
    ChiamanteStampa* chiamante_;
};

// Stops the print in progress as "Interrompi la stampa" does, and ends a
// preview's wait for its reader as its "Esci" does; nothing when no print runs.
void InterrompiStampaInCorso();
