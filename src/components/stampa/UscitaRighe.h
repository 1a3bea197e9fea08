#pragma once
// The line output of the print object's routes 2 (text file: fields joined
// by the separator, qualified where needed; spreadsheet format: an .xlsx
// with one row per line, FoglioXlsx) and 3 (fixed width:
// characters placed at their columns, pages of the configured height, form
// feeds, the printer's start and end codes; to a file, or, when the options
// name a printer, handed whole to that CUPS queue as raw text with `lp`).
// Files are Windows-1252 with CR LF.
#include "components/stampa/OpzSta.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringList>
#include <memory>

class FoglioXlsx;

class UscitaRighe {
public:
    UscitaRighe();
    ~UscitaRighe();
    // Opens the options' file (relative names under PathDefault) and writes
    // the start of the first page; raises ErroreRun 75 when it cannot be written.
    static std::unique_ptr<UscitaRighe> Apri(const OpzSta& opz, bool fisso);

    // A field of the line: route 2 adds it (a spreadsheet splits it at the
    // column marker), route 3 places it at column car0 with width car, or
    // after the text so far when it is not a column.
    void Campo(const QString& testo, int car0, int car, const QString& allineamento, bool colonna);
    // Route 3: conta characters c at the end of the line.
    void Riempi(int conta, QChar c);
    void FineRiga();
    void NuovaPagina();
    // Ends the open line and writes the printer's end codes when asked.
    void Chiudi(bool completa = true);

    QString NomeFile() const { return file_.fileName(); }
    int Colonna() const { return riga_.size(); }
    int RighePagina() const { return righePagina_; }

    // The text without the column marker of the spreadsheet output.
    static QString SenzaMarcatore(const QString& testo);
    // Windows-1252 bytes; characters outside the code page become "?".
    static QByteArray In1252(const QString& s);
    // The text cut to the width and aligned "S" left, "D" right, "C" centred.
    static QString Allinea(const QString& testo, int larghezza, const QString& allineamento);

private:
    void scrivi(const QString& testo);
    QString qualifica(QString campo) const;
    void iniziaPagina();

    QFile file_;
    bool fisso_ = false;
    OpzSta opz_;
    QStringList campi_;  // route 2: fields of the line
    QString riga_;       // route 3: the line
    bool rigaAperta_ = false;
    int righePagina_ = 0;
    int pagine_ = 0;
    std::unique_ptr<FoglioXlsx> foglio_;  // route 2 in the spreadsheet format
    QString coda_;                        // route 3 to a printer: its queue
};

// The CUPS queue of a fixed-width target that names a printer: the installed
// printer of that name or port, else the target itself.
QString CodaStampaFissa(const QString& destinazione);
