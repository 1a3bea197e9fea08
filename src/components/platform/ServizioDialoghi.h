#pragma once
// The one seam for everything modal: message boxes, questions, input boxes
// and file dialogs. The real service shows Qt dialogs; tests use
// DialoghiScriptati, which answers from a script and keeps what was shown.
#include <QString>
#include <QStringList>
#include <optional>

// A box of the program's message form: a text and one to three buttons.
struct RichiestaMsgCom {
    QString messaggio;
    QStringList bottoni{QStringLiteral("&Ok")};  // one to three captions
    QString titolo;                               // empty: the application's title
    int larghezzaPerc = 80;
    int margine = 600;
    int dimensioneFont = 0;                       // 0: the form's own
    int bottonePredefinito = 1;
    bool sempreTesto = false;
};

// Styles and answers of the standard message box, as the platform numbers them.
namespace StileMsg {
constexpr int SoloOk = 0, OkAnnulla = 1, AnnullaRiprovaIgnora = 2, SiNoAnnulla = 3, SiNo = 4,
              RiprovaAnnulla = 5;
constexpr int Critico = 16, Domanda = 32, Esclamativo = 48, Informazione = 64;
constexpr int SecondoPredefinito = 256;
}  // namespace StileMsg
namespace RispostaMsg {
constexpr int Ok = 1, Annulla = 2, Interrompi = 3, Riprova = 4, Ignora = 5, Si = 6, No = 7;
}

struct RichiestaFile {
    QString titolo;
    QString cartella;
    QString nomeFile;
    QStringList filtri;     // "Testo (*.txt)"
    bool salvataggio = true;
    bool soloCartella = false;
};

class ServizioDialoghi {
public:
    virtual ~ServizioDialoghi() = default;
    // 1-based number of the button pressed, 0 when closed without a button.
    virtual int msgCom(const RichiestaMsgCom& r) = 0;
    // The platform's standard message box; returns a RispostaMsg value.
    virtual int msgBox(const QString& testo, int stile, const QString& titolo) = 0;
    // The menu program's own message box.
    virtual void msgMenu(const QString& testo) = 0;
    // Empty optional when the user cancelled.
    virtual std::optional<QString> inputBox(const QString& domanda, const QString& titolo,
                                            const QString& predefinito) = 0;
    virtual std::optional<QString> sceltaFile(const RichiestaFile& r) = 0;
    // The same, also telling the 1-based filter the user had chosen. By
    // default the filter is the first whose patterns the name's extension
    // matches (the first filter when none does).
    virtual std::optional<QString> sceltaFileFiltro(const RichiestaFile& r, int& filtro);
};

// The 1-based filter of `filtri` ("Testo (*.txt)") whose patterns match the
// file name's extension; 1 when none does.
int FiltroDelFile(const QStringList& filtri, const QString& file);

// The service the program installed (ggDialoghi); when none is, the program's
// default service (its real boxes, which register themselves); without either,
// a quiet stand-in that answers as Enter would (the default button, OK, no
// input, no file) and writes the text on the standard error.
ServizioDialoghi& Dialoghi();
void ImpostaDialoghiPredefiniti(ServizioDialoghi& (*predefiniti)());
