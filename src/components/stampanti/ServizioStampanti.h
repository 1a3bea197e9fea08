#pragma once
// The printers as the program sees them: the installed printers with their
// ports, the system default printer and the program's current printer. The
// real service reads the CUPS queues through Qt; StampantiFinte is the test
// double. The program never changes the system default printer: it only
// chooses the printer of its own jobs.
#include <QList>
#include <QString>
#include <memory>
#include <optional>

struct StampanteInstallata {
    QString nome;   // the queue name, as the options store it
    QString porta;  // where the queue prints; the queue name when it tells nothing more
};

class ServizioStampanti {
public:
    virtual ~ServizioStampanti() = default;

    // Installed printers, in the system's order.
    virtual QList<StampanteInstallata> Installate() const = 0;
    // The system default printer's name; empty when there is none. It may name
    // a printer that is no longer installed.
    virtual QString NomePredefinita() const = 0;

    // The first installed printer of that name (case ignored), or nothing.
    std::optional<StampanteInstallata> Cerca(const QString& nome) const;

    // The program's current printer: it follows the system default until the
    // program assigns one, and stays on the assigned one afterwards.
    QString NomeCorrente() const { return assegnata_ ? nomeAssegnato_ : NomePredefinita(); }
    bool Assegnata() const { return assegnata_; }
    void Assegna(const QString& nome) {
        nomeAssegnato_ = nome;
        assegnata_ = true;
    }

    // How printer names carry the terminal session (the personal parameter
    // TermSessAggNome of section "Stampanti") and this program's session
    // number; both are set when a report's print options are read.
    QString gsTermSessAggNome;
    long giSessioneTerm = 0;

private:
    bool assegnata_ = false;
    QString nomeAssegnato_;
};

// The CUPS queues through QPrinterInfo; the port of a queue is its name.
class StampantiQt : public ServizioStampanti {
public:
    QList<StampanteInstallata> Installate() const override;
    QString NomePredefinita() const override;
};

// The program's printer service, created on first use (StampantiQt).
ServizioStampanti& ggStampanti();
// Replaces it (tests: a fresh StampantiFinte); nullptr goes back to the real one.
void ImpostaServizioStampanti(std::shared_ptr<ServizioStampanti> s);
