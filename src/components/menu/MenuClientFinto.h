#pragma once
// Test double of the menu link: keeps named values (names without regard to
// case), personal parameters, working date and terminal name, answers the
// menu commands from a script and records every call the program makes.
#include "components/menu/MenuClient.h"

#include <QHash>
#include <QStringList>

class MenuClientFinto : public MenuClient {
public:
    // Set-up
    bool menuAssente = false;          // RegistraProgramma and MostraMenu fail
    InfoLancio info;
    QString fileImpostazioni;
    QDate dataLavoro = QDate::currentDate();
    QString terminale = QStringLiteral("TERM01");
    void ImpostaValore(const QString& nome, const Valore& v) { valori_[nome.toLower()] = v; }
    void ImpostaParPers(const QString& sezione, const QString& chiave, const Valore& v) {
        ImpostaValore(QStringLiteral("Personal.") + sezione + QStringLiteral(".§") + chiave, v);
    }
    void ImpostaParamDbMenu(const QString& sql, const QList<Valore>& riga) { righeDbMenu_[sql] = riga; }
    // Answers of ComandoMenu, taken in order; "" when the script is over.
    QList<Valore> risposteComando;

    // What the program sent: one line per call, "Operazione|arg|arg".
    QStringList chiamate;
    QStringList messaggiMenu;  // texts of "MsgBox"

    // Lets a test play the menu: raise a command as the menu would.
    Valore InviaComando(const QString& com, const Valore& param = {}, const QString& keySec = {}) {
        Valore rit;
        SollevaEseguiComando(QStringLiteral("MENU"), keySec, com, param, rit);
        return rit;
    }

    // Lets a test play a menu that dies: the link drops.
    void PerdiCollegamento() {
        menuAssente = true;
        SollevaPerdita();
    }

    void RegistraProgramma(const QString& chiaveMenu, const QString& chiavePrg, const QString& paramAgg) override;
    InfoLancio LeggiInfoLancio() override { chiamate << QStringLiteral("InfoLancio"); return info; }
    QString FileImpostazioni() override { return fileImpostazioni; }
    Valore LeggiValoreSess(const QString& nome) override;
    void ScriviValoreSess(const QString& nome, const Valore& valore) override;
    std::optional<QList<Valore>> ParamDbMenu(const QString& sql, const QString& colonne) override;
    QDate LeggiDataLavoro() override { return dataLavoro; }
    QString NomeTerminale() override { return terminale; }
    void AttivaProgramma(const QString& keySec) override { chiamate << QStringLiteral("AttivaProgramma|") + keySec; }
    void RegistraForm(const QString& caption, const QString& nomeForm, const QString& keySec) override {
        chiamate << QStringLiteral("RegistraForm|%1|%2|%3").arg(caption, nomeForm, keySec);
    }
    void FormChiusa(const QString& keySec) override { chiamate << QStringLiteral("FormChiusa|") + keySec; }
    void RitornaAChiamante(const QString& key, const QString& keySec, const QString& param) override {
        chiamate << QStringLiteral("RitornaAChiamante|%1|%2|%3").arg(key, keySec, param);
    }
    void MostraMenu(const QString& chi) override;
    void ChiudiCollegamento() override { chiamate << QStringLiteral("ChiudiCollegamento"); }
    Valore ComandoMenu(const QString& comando, const QString& chi, Valore& parametro) override;

private:
    QHash<QString, Valore> valori_;
    QHash<QString, QList<Valore>> righeDbMenu_;
};
