#pragma once
// The spreadsheet file of the print object's file route ("Formato Excel"):
// a real .xlsx with one row per printed line and one cell per field. A field
// written as a number the Italian way ("1.234,56", "-2", "0,5") becomes a
// number cell with the report's format ("#,##0.00" when it shows thousands
// groups, "0.00" when not, as many decimals as it shows), or no format at all
// when the options ask for plain numbers; every other field, codes with
// leading zeros among them, stays text.
#include <QString>
#include <QStringList>
#include <memory>

class FoglioXlsx {
public:
    // Raises ErroreRun 75 when the file cannot be created.
    explicit FoglioXlsx(const QString& file, bool numeriSenzaFormato);
    ~FoglioXlsx();
    FoglioXlsx(const FoglioXlsx&) = delete;
    FoglioXlsx& operator=(const FoglioXlsx&) = delete;

    void Riga(const QStringList& campi);
    // Writes the file; raises ErroreRun 61 when it cannot.
    void Chiudi();

    // The number format of a field, or nothing when the field is not a number.
    // Empty text for a number without format.
    static bool FormatoNumero(const QString& campo, double& valore, QString& formato);

private:
    struct Dati;
    std::unique_ptr<Dati> d_;
};
