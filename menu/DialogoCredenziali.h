#pragma once
// The menu's box for the SQL login, shown when the program reads
// "ChiediPwdSql": login (proposed from the menu's value) and password;
// "OK" hands them over, "Annulla" gives up.
#include <QDialog>

class QLineEdit;

class DialogoCredenziali : public QDialog {
    Q_OBJECT
public:
    explicit DialogoCredenziali(const QString& login, QWidget* parent = nullptr);

    QString Login() const;
    QString Password() const;

private:
    QLineEdit* login_ = nullptr;
    QLineEdit* password_ = nullptr;
};
