#pragma once
// The account of a run that the user stopped ("Esci" in the preview,
// "Interrompi la stampa"): one message, part by part (a company, or a company
// and a kind), saying which files are complete, which sends were committed,
// which file was left incomplete and what was never done. Both file runs,
// over one company or a range, end a stop with it, so that no part of the
// range is left unsaid whatever page the stop came on.
#include <QString>
#include <QStringList>
#include <vector>

class RiepilogoInterruzione {
public:
    enum class Stato {
        Completo,     // its files are whole (or its print, when it writes none)
        Incompleto,   // begun and cut short: its files must not be sent
        NessunDato,   // nothing to write
        NonEseguito,  // the stop came before it began
    };
    struct Parte {
        QString nome;          // "Azienda 001", "Azienda 001 clienti"
        Stato stato = Stato::NonEseguito;
        QStringList file{};    // complete files, or those left incomplete
        int invio = 0;         // the send committed with this part, 0 none
        bool definitiva = false;  // a definitive run: say what is marked
        bool stampaInterrotta = false;  // complete, its report cut short
    };

    void Aggiungi(const Parte& parte) { parti_.push_back(parte); }
    bool Vuoto() const { return parti_.empty(); }
    // "Elaborazione interrotta", then a line a part.
    QString Testo() const;

private:
    std::vector<Parte> parti_;
};
