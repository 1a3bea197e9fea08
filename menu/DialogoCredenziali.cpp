#include "DialogoCredenziali.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

DialogoCredenziali::DialogoCredenziali(const QString& login, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("DialogoCredenziali"));
    setWindowTitle(QStringLiteral("Accesso al database SQL"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Utente e password per il database SQL:"), this));
    auto* campi = new QFormLayout;
    login_ = new QLineEdit(login, this);
    login_->setObjectName(QStringLiteral("login"));
    password_ = new QLineEdit(this);
    password_->setObjectName(QStringLiteral("password"));
    password_->setEchoMode(QLineEdit::Password);
    campi->addRow(QStringLiteral("&Utente:"), login_);
    campi->addRow(QStringLiteral("&Password:"), password_);
    layout->addLayout(campi);
    auto* bottoni = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    bottoni->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
    bottoni->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Annulla"));
    connect(bottoni, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(bottoni, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(bottoni);
    // The login is usually right: the password is what is typed again.
    (login.isEmpty() ? login_ : password_)->setFocus();
}

QString DialogoCredenziali::Login() const { return login_->text().trimmed(); }
QString DialogoCredenziali::Password() const { return password_->text(); }
