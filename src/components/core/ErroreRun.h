#pragma once
// The one run-time error of the components: number, description, source.
// A procedure with work to protect catches it and shows it.
#include <QString>
#include <stdexcept>

class ErroreRun : public std::runtime_error {
public:
    ErroreRun(long numero, const QString& descrizione, const QString& origine = {})
        : std::runtime_error(descrizione.toStdString()), numero_(numero),
          descrizione_(descrizione), origine_(origine) {}

    long numero() const { return numero_; }
    const QString& descrizione() const { return descrizione_; }
    const QString& origine() const { return origine_; }

private:
    long numero_;
    QString descrizione_;
    QString origine_;
};

// Numbers the program tests.
namespace NumErrore {
constexpr long TipoNonCorrispondente = 13;
constexpr long MemoriaEsaurita = 7;
constexpr long FileNonTrovato = 53;
constexpr long OggettoNonImpostato = 91;
constexpr long ImpossibileMostrare = 364;
constexpr long FormModale = 401;
constexpr long PasswordErrata = 3031;
constexpr long ConnessioneOdbcRifiutata = 3059;
constexpr long FileNonDatabase = 3343;
constexpr long ErroreSql = 3000;
constexpr long OggettoInesistente = 3265;
constexpr long NessunRecordCorrente = 3021;
constexpr long DatiEmailMancanti = -123;
}  // namespace NumErrore
