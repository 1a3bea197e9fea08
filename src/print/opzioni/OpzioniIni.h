#pragma once
// A report's print options from the settings files: each key is looked for in
// the report's own section, then in "Opzioni Stampa". Also the print straight
// to the preview from a run form.
#include <QString>

class OpzSta;
class Stampa;

inline const QString SezioneOpzioniStampa = QStringLiteral("Opzioni Stampa");

// Fills the options of the report of the form whose menu key is `osKeySec`.
// The section is `sezione`, or the program key + osKeySec + `suffisso`.
// `esclusi` lists keys not to be taken from "Opzioni Stampa", each with a
// comma before it (",NomeStampante,StaVid"). `pdfPredefinito` ("S"/"N")
// is the default of the automatic PDF when not empty. Bad settings are
// reported under "Errore file ini"; the options read so far are kept.
void IniOpzSta(OpzSta& opz, const QString& osKeySec, const QString& sezione = {},
               const QString& suffisso = {}, const QString& esclusi = {},
               const QString& pdfPredefinito = {});

// What StampaVideoDaForm needs of a run form.
class FormStampaVideo {
public:
    virtual ~FormStampaVideo() = default;
    // Shows the destination of the form's print options.
    virtual void VisStaAttuale() = 0;
    // Runs the form's whole print with its present options.
    virtual void ComStampa_Click() = 0;
};

// Runs the form's print to the preview; with `ripristina` the route goes back
// afterwards. Returns the route the options had.
int StampaVideoDaForm(FormStampaVideo& form, OpzSta& opz, bool ripristina);

// Hands the job set-up the printer routines it calls at the start of every
// job: the current printer, the options' printer made current, and the
// margin corrections. Called once at start-up (and by tests).
void InstallaServiziStampanti();
