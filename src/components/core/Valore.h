#pragma once
// The value the components pass around: empty, null, flag, whole number,
// decimal number, date or text, as the suite's variants are.
#include <QDate>
#include <QString>
#include <QList>
#include <QStringList>
#include <cstdint>
#include <memory>
#include <variant>

class Valore;
using ListaValori = QList<Valore>;

enum class TipoValore { Vuoto, Null, Booleano, Intero, Doppio, Data, Testo, Lista };

class Valore {
public:
    struct NullTag {};

    Valore() = default;
    Valore(NullTag) : v_(NullTag{}) {}
    Valore(bool b) : v_(b) {}
    Valore(int i) : v_(static_cast<int64_t>(i)) {}
    Valore(long i) : v_(static_cast<int64_t>(i)) {}
    Valore(long long i) : v_(static_cast<int64_t>(i)) {}
    Valore(double d) : v_(d) {}
    Valore(const QDate& d) : v_(d) {}
    Valore(const QString& s) : v_(s) {}
    Valore(const char* s) : v_(QString::fromUtf8(s)) {}
    // An array of values, as some menu commands carry (indexed from 0).
    Valore(const ListaValori& l) : v_(std::make_shared<const ListaValori>(l)) {}

    static Valore null() { return Valore(NullTag{}); }
    // A database text: its date when `data` is asked and the text begins
    // with one in ISO form, else the text.
    static Valore DaTestoDb(QString s, bool data);

    TipoValore tipo() const { return static_cast<TipoValore>(v_.index()); }
    bool eVuoto() const { return tipo() == TipoValore::Vuoto; }
    bool eNull() const { return tipo() == TipoValore::Null; }
    bool eNumero() const { return tipo() == TipoValore::Intero || tipo() == TipoValore::Doppio; }
    bool eTesto() const { return tipo() == TipoValore::Testo; }
    bool eData() const { return tipo() == TipoValore::Data; }
    // Empty, null or blank text.
    bool eVuotoONull() const;

    // Conversions as the program uses them: empty and null give "" and 0.
    QString testo() const;
    double numero() const;
    int64_t intero() const;
    bool booleano() const;
    QDate data() const;
    // The elements of an array; a single value gives a list of itself.
    ListaValori lista() const;

    bool operator==(const Valore& o) const;

private:
    std::variant<std::monostate, NullTag, bool, int64_t, double, QDate, QString,
                 std::shared_ptr<const ListaValori>> v_;
    friend bool operator==(NullTag, NullTag) { return true; }
};

// Reads a number written the Italian way ("1.234,56", "-2", "0,5"); a point
// alone before at most two digits counts as the decimal separator ("1.25").
// Returns false when the text is not a number.
bool leggiNumeroItaliano(const QString& testo, double& risultato);
// A number as text with the comma as decimal separator and no thousands groups.
QString numeroInTesto(double d);
