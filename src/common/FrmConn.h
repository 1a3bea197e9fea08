#pragma once
// The splash shown while a database is being opened: the suite's title, its
// version and what is being loaded.
#include <QLabel>
#include <QLineEdit>
#include <QWidget>

class FrmConn : public QWidget {
    Q_OBJECT
public:
    FrmConn();
    QLabel* labTitolo;
    QLabel* labVersione;
    QLabel* LabDataVer;
    QLabel* imgAccess;
    QLineEdit* txtNomeDb;
};

// The one splash, created on first use; shown with the given caption.
FrmConn& CaricaFrmConn();
void MostraFrmConn(const QString& caption);
void ScaricaFrmConn();
// Fills the version labels from the menu's values.
void MostraVersione(int carica, int accesso);
