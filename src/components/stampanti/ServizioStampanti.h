#pragma once
// The printers as the program sees them: the installed printers with their
// ports, the system default printer and the program's current printer. The
// real service reads the CUPS queues through Qt; StampantiFinte is the test
// double. The program never changes the system default printer: it only
// chooses the printer of its own jobs.
#include <QList>
#include <QString>
#include <QStringList>
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

    // What the driver of a printer offers, as two parallel lists each: the
    // paper bins (numbers, names) and the paper sizes (numbers in the
    // platform's paper numbering, names). The lists come separately because
    // a driver may answer lists of different lengths; callers pair them up.
    // An empty name is the system default printer.
    virtual QList<int> NumeriCassetti(const QString& nome) const = 0;
    virtual QStringList NomiCassetti(const QString& nome) const = 0;
    virtual QList<int> NumeriFormati(const QString& nome) const = 0;
    virtual QStringList NomiFormati(const QString& nome) const = 0;
    // The number of the printer's current paper size; 0 when not known.
    virtual int FormatoCorrente(const QString& nome) const = 0;

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
// Paper sizes are the queue's supported sizes, numbered as the platform
// numbers paper sizes (A4 9, Letter 1). Qt does not tell a queue's input
// trays, so every queue offers the one automatic bin (7, "Automatico").
class StampantiQt : public ServizioStampanti {
public:
    QList<StampanteInstallata> Installate() const override;
    QString NomePredefinita() const override;
    QList<int> NumeriCassetti(const QString& nome) const override;
    QStringList NomiCassetti(const QString& nome) const override;
    QList<int> NumeriFormati(const QString& nome) const override;
    QStringList NomiFormati(const QString& nome) const override;
    int FormatoCorrente(const QString& nome) const override;
};

// The program's printer service, created on first use (StampantiQt).
ServizioStampanti& ggStampanti();
// Replaces it (tests: a fresh StampantiFinte); nullptr goes back to the real one.
void ImpostaServizioStampanti(std::shared_ptr<ServizioStampanti> s);
