#pragma once
// The print options of one report: the output route and the settings of each
// route, plus options kept by name. Every member gives back what was set.
#include "components/core/Valore.h"

#include <QMap>
#include <QSet>
#include <QString>

class OpzSta {
public:
    // Routes of oiStaVid.
    enum Percorso { Stampante = 0, Video = 1, File = 2, LarghezzaFissa = 3 };
    // File formats of FileForm.
    enum Formato { CompatibileExcel = 0, Testo = 1, FormatoExcel = 2 };

    QString Sezione;              // the report's settings section
    int oiStaVid = Stampante;     // route
    QString osNomeStampante;      // printer; empty: the default printer
    QString NomePorta;            // its port

    int ForzaVert = 0;            // force portrait
    int FileForm = CompatibileExcel;
    QString FileName;             // target of route 2
    QString PathDefault;          // folder proposed for output files
    QString SepCampi = QStringLiteral(";");    // field separator, one character
    QString DelimStr = QStringLiteral("\"");   // text qualifier; empty: none
    bool NumNoForm = false;
    bool RadSepCampo = false;
    double Fatt = 1;              // preview display factor
    int MemVid = 1;               // the preview keeps its pages as files

    QString FisFileName;          // target of route 3: file, port or printer
    bool FisStampante = false;
    int FisMrAlt = 0;             // blank lines at the top of a page
    int FisMrBas = 0;             // blank lines at the bottom
    int FisColonne = 80;
    int FisRighe = 66;            // lines per page; 0: no pages
    QString FisCodIniComp, FisCodFinComp;
    bool FisUtilComp = false;

    // Set only; kept for whoever reads them back.
    bool VideoScelto = false;
    int NumAzzerato = 0;
    QString TestoAzzerato1, TestoAzzerato2, TestoAzzerato3;
    bool OpzNascosta = false;

    // The text shown for the current destination, given the name of the
    // program's current printer.
    QString DescrStampante(const QString& stampanteCorrente) const;
    void DescrStampante(const QString& stampanteCorrente, QString& testo) const {
        testo = DescrStampante(stampanteCorrente);
    }
    // Marks a route as not allowed (or allowed again).
    void ModoEscluso(int percorso, bool escluso);
    bool ModoEscluso(int percorso) const { return esclusi_.contains(percorso); }
    // "Compatibile Excel", "Testo", "Formato Excel".
    static QString DescrFormatoFile(int formato);
    void FormatoFoglio() {}

    // Named options, names compared without regard to case; an option never
    // set reads as empty. The type code is kept as given and not enforced.
    void ImpOpzione(const QString& nome, int tipo, const Valore& valore);
    void LeggiOpzione(const QString& nome, int tipo, Valore& valore) const;
    Valore LeggiOpzione(const QString& nome) const;

    // The automatic PDF files named through these options since the last new
    // series (a run form starts one with every run): a name already given in
    // the series gets "_2", "_3", ... before its extension, so that no
    // report of a run overwrites another's file.
    QString RiservaNomePdf(const QString& percorso);
    void NuovaSeriePdf() { pdfSerie_.clear(); }

private:
    QMap<QString, Valore> opzioni_;
    QSet<int> esclusi_;
    QSet<QString> pdfSerie_;
};
