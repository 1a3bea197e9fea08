#pragma once
// The host side of the program: the hidden main form, the dispatch of the
// six top-level forms, the menu's commands, returning to the menu and the
// closing of the program.
#include "components/core/Valore.h"
#include "components/menu/MenuClient.h"
#include "contesto/ServizioOspite.h"

#include <QLabel>
#include <QList>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <map>

class FormBase;

// Hidden main form: owner of messages and of the two timers of the closing
// and of the deferred focus. It shows only while the program closes: a small
// window in the middle of the work area saying "Chiusura in corso".
class FormPrincipale : public QWidget {
    Q_OBJECT
public:
    FormPrincipale();
    // Shown without taking the focus from the forms' own questions.
    void MostraChiusura(const QRect& areaLavoro);
    int oiChiudi = 1;
    int oiFlagVarie = 0;
    QString osNomeForm;
    int oiTmpAttesa = 100;
    QTimer timChiudi;
    QTimer timVarie;
    QLabel* lblChiusura = nullptr;
};

class Ospite : public ServizioOspite {
public:
    using FabbricaForm = std::function<FormBase*()>;

    Ospite();
    ~Ospite() override;

    // The six names the menu can ask for, mapped to the form each opens.
    static const QStringList& NomiForms();
    // Replaces the factory of one of the six forms (the subsystems register theirs).
    void ImpostaFabbrica(const QString& nome, FabbricaForm f);

    FormPrincipale* frmPrincipale() { return frmPrincipale_; }

    // Loaded forms in load order; index 0 is the hidden main form.
    QList<QWidget*> FormsCaricate() const override;
    int IndiceForm(const QString& nome) const;
    bool FormCaricata(const QString& nome) const { return IndiceForm(nome) > 0; }
    FormBase* Form(const QString& nome) const;
    void RegistraCaricata(FormBase* f) override;
    void RimuoviCaricata(FormBase* f) override;

    // Dispatch
    void ApriFormRichiesta(const QString& nome, int modo, const QString& chiave, const QString& keyLancia,
                           const QString& keySecLancia, const QString& paramLancia);
    void timVarie_Timer();

    // Menu commands
    void EseguiComandoMenu(const QString& idMenu, const QString& keySec, const QString& com,
                           const Valore& param, Valore& rit);
    void MsgAvvisoProg(const QString& testo, int codice, int chiudi);

    // Returning to the menu and closing
    void RitornaMenu() override { TornaAlMenu(); }
    void TornaAlMenu();
    void FormScaricata(FormBase* form, bool flag) override;
    void LanciaChiamante(const QString& key, const QString& keySec, const QString& param);
    void ChiudiRichiesto(int flag) override { RichiestaChiusura(flag); }
    void RichiestaChiusura(int flag);
    bool TentaChiusura(int& modo);
    bool ChiudiProg() { return ChiudiProgramma(); }
    bool ChiudiProgramma();
    bool ScaricaForms(const QString& caption);
    // The main form saying "Chiusura in corso", in the middle of the work area.
    void MostraChiusura();
    void RilasciaOggetti();
    void ChiudiDaTimer();
    void timChiudi_Timer();
    // The menu link dropped without "fine" (the menu ended or crashed): the
    // boxes and modal forms on screen are dismissed (nobody may be there to
    // answer them, and their questions were for the menu's session), then the
    // program closes as "fine" would and ends; the closing timer waits for
    // the dismissed boxes to go.
    void CollegamentoPerso();
    // The start-up runs between these two: a link lost or a "fine" meanwhile
    // closes the program only once the start-up has returned, never under
    // its feet ("fine" is then answered "" at once). Any other command that
    // would open or show something waits too (answered "" at once): it runs
    // once the start-up has opened the databases, and is refused when the
    // start-up failed (it has said why, and the program closes). Where the
    // link allows it, the menu has its answer once the command has run.
    void InizioAvvio() { avvioInCorso_ = true; }
    void FineAvvio(bool riuscito = true);
    // True when no form keeps the program open.
    bool NessunaFormAperta() const;

    // Parameters of the "FEInvio"/"FEAttesa" notices, elements indexed from 0.
    static QString TestoAvvisoFE(const QString& com, const QList<Valore>& elementi);

    // Seams: whether a modal box is on screen, and what ends the program.
    std::function<bool()> ModaleAperta;
    std::function<void()> AlTermine;
    // Dismisses the modal boxes and forms on screen, as Esc would.
    std::function<void()> ChiudiModali;
    bool Terminato() const { return terminato_; }
    // Pending messages let through once.
    std::function<void()> LasciaPassareMessaggi;
    // Stops the print in progress as its "Interrompi" does, and ends a
    // preview's wait for its reader.
    std::function<void()> InterrompiStampa;
    // True while a print or a form's run is in progress.
    bool ElaborazioneInCorso() const;

private:
    void ChiudiModaliSenzaMenu();
    // A failed form that leaves no other form open ends the program with exit status 1.
    void SegnaUscitaConErrore();
    bool AttendiFineElaborazione();
    bool AttivaForm(FormBase*& form, const QString& nome, int modo, const QString& chiave,
                    const QString& keyLancia, const QString& keySecLancia, const QString& paramLancia);

    FormPrincipale* frmPrincipale_ = nullptr;
    QList<QPointer<FormBase>> caricate_;
    std::map<QString, FabbricaForm> fabbriche_;  // keyed by lower-case name
    bool terminato_ = false;
    bool menuPerso_ = false;  // the link dropped: forms close without the menu
    bool avvioInCorso_ = false;
    bool fineDopoAvvio_ = false;
    struct ComandoInAttesa {
        QString idMenu, keySec, com;
        Valore param;
        MenuClient::RispostaRimandata risposta;  // empty: answered when it came
    };
    QList<ComandoInAttesa> dopoAvvio_;
    void EseguiDopoAvvio();
    void RifiutaDopoAvvio(const QString& motivo);
};

// The host installed in the program's context, nullptr when none is.
Ospite* OspiteCorrente();
