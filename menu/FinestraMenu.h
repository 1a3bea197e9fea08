#pragma once
// The menu's small window: the six entries; choosing one starts or drives
// the program.
#include <QWidget>

class QListWidget;
class ServerMenu;

class FinestraMenu : public QWidget {
    Q_OBJECT
public:
    explicit FinestraMenu(ServerMenu& server);

    void InPrimoPiano();
    void MostraMessaggio(const QString& testo);
    // The program asked for the SQL login: the box that asks the user.
    void ChiediCredenziali();

protected:
    // Closing the window ends the menu, the program first.
    void closeEvent(QCloseEvent* e) override;

private:
    ServerMenu& server_;
    QListWidget* voci_ = nullptr;
};
