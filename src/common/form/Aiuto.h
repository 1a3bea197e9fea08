#pragma once
// Help keys: F1 opens the topic of the field with the focus (or of its
// container, or of the form), Ctrl+F1 the table of contents, Alt+F1 the index,
// in the compiled help file named at start-up.
#include <QList>
#include <QString>

class QWidget;

// The help viewer (commands as HTML Help numbers them).
namespace ComandoHelp {
constexpr int Sommario = 1, Indice = 2, Contesto = 15;
}

class ServizioHelp {
public:
    virtual ~ServizioHelp() = default;
    virtual void HtmlHelp(QWidget* finestra, const QString& file, int comando, long dato) = 0;
};

// Opens the help file with the desktop's viewer for its type; the viewer
// cannot jump to a topic, so the topic call opens nothing more. When no
// viewer opens the file the user is told so.
class ServizioHelpDesktop : public ServizioHelp {
public:
    void HtmlHelp(QWidget* finestra, const QString& file, int comando, long dato) override;
};

// Test double: records the calls.
class ServizioHelpFinto : public ServizioHelp {
public:
    struct Chiamata {
        QString file;
        int comando = 0;
        long dato = 0;
    };
    QList<Chiamata> chiamate;
    void HtmlHelp(QWidget*, const QString& file, int comando, long dato) override {
        chiamate.append({file, comando, dato});
    }
};

// True when the key was F1 (KeyCode then 0). contesto -1: the active control's.
bool TastoHelp(int& KeyCode, int Shift, QWidget& form, long contesto = -1);
// The compiled help file: the application's help file, its ".chm" twin when
// it has another ending (empty when the twin does not exist).
QString FileHelpChm();
void HelpContesto(QWidget* finestra, const QString& file, long contesto);
void MostraSommarioHelp(QWidget* finestra, const QString& file);
void HelpParolaChiave(QWidget* finestra, const QString& file);
long ContestoHelpAttivo(QWidget& form);
long ContestoHelpContenitore(QWidget* controllo);
