#include "FinestraMenu.h"

#include "DialogoCredenziali.h"
#include "ServerMenu.h"

#include <QCloseEvent>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

FinestraMenu::FinestraMenu(ServerMenu& server) : server_(server) {
    setWindowTitle(QStringLiteral("Menu"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Comunicazioni IVA"), this));
    voci_ = new QListWidget(this);
    for (const auto& [form, caption] : server_.Voci()) {
        auto* voce = new QListWidgetItem(caption, voci_);
        voce->setData(Qt::UserRole, form);
    }
    // As wide and as tall as its captions, so that none is cut.
    voci_->setSizeAdjustPolicy(QAbstractScrollArea::AdjustToContents);
    voci_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    voci_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    layout->addWidget(voci_);
    auto* apri = new QPushButton(QStringLiteral("&Apri"), this);
    layout->addWidget(apri);
    auto scegli = [this] {
        if (QListWidgetItem* v = voci_->currentItem()) server_.Scegli(v->data(Qt::UserRole).toString());
    };
    connect(voci_, &QListWidget::itemActivated, this, scegli);
    connect(apri, &QPushButton::clicked, this, scegli);
    adjustSize();
    setMinimumSize(sizeHint());
    connect(&server_, &ServerMenu::CredenzialiSqlRichieste, this, &FinestraMenu::ChiediCredenziali);
}

void FinestraMenu::ChiediCredenziali() {
    // Not blocking: the menu keeps serving while the user types.
    auto* box = new DialogoCredenziali(server_.LoginSql(), this);
    box->setAttribute(Qt::WA_DeleteOnClose);
    connect(box, &QDialog::finished, this, [this, box](int esito) {
        if (esito == QDialog::Accepted) server_.RispondiCredenzialiSql(ServerMenu::CredenzialiSql{box->Login(), box->Password()});
        else server_.RispondiCredenzialiSql(std::nullopt);
    });
    box->open();
    box->raise();
    box->activateWindow();
}

void FinestraMenu::InPrimoPiano() {
    showNormal();
    raise();
    activateWindow();
}

void FinestraMenu::MostraMessaggio(const QString& testo) {
    // Not modal: the program waits for the answer, not for the user.
    auto* box = new QMessageBox(QMessageBox::Information, QStringLiteral("Menu"), testo, QMessageBox::Ok, this);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setModal(false);
    box->show();
}

void FinestraMenu::closeEvent(QCloseEvent* e) {
    if (server_.ProgrammaInCorso()) e->ignore();
    server_.Esci();
}
