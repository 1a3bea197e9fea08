#include "common/FormBase.h"

#include "components/menu/MenuClient.h"
#include "contesto/Contesto.h"
#include "contesto/ServizioOspite.h"

#include <QCloseEvent>
#include <QLabel>
#include <QVBoxLayout>

FormBase::FormBase(const QString& nomeForm, QWidget* parent) : QWidget(parent), nomeForm_(nomeForm) {
    setObjectName(nomeForm);
}

void FormBase::Carica() {
    oiLoadOk = -1;
    caricata_ = true;
    if (ctx().ggOspite) ctx().ggOspite->RegistraCaricata(this);
    if (Form_Load()) oiLoadOk = 1;
}

bool FormBase::Scarica() {
    if (!caricata_) return true;
    if (scaricando_) return true;
    if (!Form_QueryUnload()) return false;
    scaricando_ = true;
    Form_Unload();
    caricata_ = false;
    hide();
    ServizioOspite* o = ctx().ggOspite.get();
    if (o) o->RimuoviCaricata(this);
    if (oiLoadOk == 1 && o) o->FormScaricata(this, true);
    scaricando_ = false;
    deleteLater();
    return true;
}

void FormBase::closeEvent(QCloseEvent* e) {
    // Closing the window is unloading the form.
    if (Scarica()) e->accept();
    else e->ignore();
}

void FormBase::PassaA() {
    if (ctx().ggMenuClient) ctx().ggMenuClient->RegistraForm(windowTitle(), nomeForm_, osKeySec);
}

void FormBase::MenuFrm() {
    if (ctx().ggOspite) ctx().ggOspite->RitornaMenu();
}

FormSegnaposto::FormSegnaposto(const QString& nomeForm) : FormBase(nomeForm) {
    setWindowTitle(nomeForm + QStringLiteral(" - funzione non ancora disponibile"));
    auto* l = new QVBoxLayout(this);
    l->addWidget(new QLabel(QStringLiteral("Maschera %1: non ancora disponibile.").arg(nomeForm), this));
    resize(400, 120);
}
