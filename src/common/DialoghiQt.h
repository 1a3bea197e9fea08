#pragma once
// The real dialog service: the message form, QMessageBox for the standard
// box, the menu program's box through the menu link, QInputDialog and
// QFileDialog.
#include "components/platform/ServizioDialoghi.h"

#include <memory>

class QWidget;
class Schermo;

// The window a box belongs to: the box or dialog on screen, else the active
// window, else the last form of the program on screen, else the main form.
// A box is centred on it and stays in front of it.
QWidget* finestraCheChiede();

class DialoghiQt : public ServizioDialoghi {
public:
    // Without a screen service the primary screen is read.
    explicit DialoghiQt(std::shared_ptr<const Schermo> schermo = nullptr);

    // A box asked for while another is on screen opens on top of it, modal
    // as well, and returns its own answer: no message is lost.
    int msgCom(const RichiestaMsgCom& r) override;
    int msgBox(const QString& testo, int stile, const QString& titolo) override;
    // Without a menu to show it, the text goes to the standard box.
    void msgMenu(const QString& testo) override;
    std::optional<QString> inputBox(const QString& domanda, const QString& titolo,
                                    const QString& predefinito) override;
    std::optional<QString> sceltaFile(const RichiestaFile& r) override;
    std::optional<QString> sceltaFileFiltro(const RichiestaFile& r, int& filtro) override;

private:
    std::shared_ptr<const Schermo> schermo_;
};

