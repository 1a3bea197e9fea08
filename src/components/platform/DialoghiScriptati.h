#pragma once
// Dialog service for tests: answers from a script, in order, and keeps the
// exact texts, titles and buttons shown. Never blocks: when the script is
// over it answers as a user closing the box would (0, Annulla, nothing).
#include "components/platform/ServizioDialoghi.h"

#include <QList>
#include <QStringList>

struct DialogoMostrato {
    QString tipo;       // "msgCom", "msgBox", "msgMenu", "inputBox", "sceltaFile"
    QString testo;
    QString titolo;
    QStringList bottoni;
    int stile = 0;
};

class DialoghiScriptati : public ServizioDialoghi {
public:
    // Answers: button numbers for msgCom, RispostaMsg for msgBox.
    QList<int> risposte;
    // Answers of input boxes and file dialogs; an empty optional is a cancel.
    QList<std::optional<QString>> risposteTesto;
    QList<DialogoMostrato> mostrati;
    // Filters chosen in file dialogs (1-based), in order; none left: the
    // filter that matches the name.
    QList<int> risposteFiltro;

    int msgCom(const RichiestaMsgCom& r) override {
        mostrati.append({QStringLiteral("msgCom"), r.messaggio, r.titolo, r.bottoni, 0});
        return risposte.isEmpty() ? 0 : risposte.takeFirst();
    }
    int msgBox(const QString& testo, int stile, const QString& titolo) override {
        mostrati.append({QStringLiteral("msgBox"), testo, titolo, {}, stile});
        if (!risposte.isEmpty()) return risposte.takeFirst();
        return (stile & 7) == StileMsg::SoloOk ? RispostaMsg::Ok : RispostaMsg::Annulla;
    }
    void msgMenu(const QString& testo) override {
        mostrati.append({QStringLiteral("msgMenu"), testo, {}, {}, 0});
    }
    std::optional<QString> inputBox(const QString& domanda, const QString& titolo, const QString&) override {
        mostrati.append({QStringLiteral("inputBox"), domanda, titolo, {}, 0});
        return risposteTesto.isEmpty() ? std::nullopt : risposteTesto.takeFirst();
    }
    std::optional<QString> sceltaFile(const RichiestaFile& r) override {
        mostrati.append({QStringLiteral("sceltaFile"), r.nomeFile, r.titolo, r.filtri, 0});
        return risposteTesto.isEmpty() ? std::nullopt : risposteTesto.takeFirst();
    }

    std::optional<QString> sceltaFileFiltro(const RichiestaFile& r, int& filtro) override {
        const auto scelto = sceltaFile(r);
        filtro = !risposteFiltro.isEmpty() ? risposteFiltro.takeFirst() : scelto ? FiltroDelFile(r.filtri, *scelto) : 1;
        return scelto;
    }

    // Texts shown, in order.
    QStringList testi() const {
        QStringList t;
        for (const auto& d : mostrati) t << d.testo;
        return t;
    }
};
