#include "common/DialoghiQt.h"

#include "common/FrmMsgCom.h"
#include "common/form/UtilForm.h"
#include "components/core/ErroreRun.h"
#include "components/menu/MenuClient.h"
#include "components/platform/Schermo.h"
#include "contesto/Contesto.h"
#include "contesto/ServizioOspite.h"

#include <algorithm>
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>

DialoghiQt::DialoghiQt(std::shared_ptr<const Schermo> schermo)
    : schermo_(schermo ? std::move(schermo) : std::make_shared<SchermoQt>()) {}

QWidget* finestraCheChiede() {
    // Between the closing of one box and the next the window manager may not
    // have given the activation back yet: the last window found stands in.
    static QPointer<QWidget> ultima;
    if (QWidget* modale = QApplication::activeModalWidget()) return modale;
    if (QWidget* attiva = QApplication::activeWindow()) return ultima = attiva;
    if (ultima && ultima->isVisible()) return ultima;
    if (const auto& ospite = ctx().ggOspite) {
        const QList<QWidget*> forms = ospite->FormsCaricate();
        for (auto f = forms.crbegin(); f != forms.crend(); ++f)
            if ((*f)->isVisible()) return *f;
        if (!forms.isEmpty()) return forms.first();
    }
    return nullptr;
}

static QString titoloOApp(const QString& titolo) { return titolo.isEmpty() ? ctx().gsTitoloApp : titolo; }

int DialoghiQt::msgCom(const RichiestaMsgCom& r) {
    frmMsgCom f(*schermo_, finestraCheChiede());
    f.Prepara(r);
    return f.Esegui();
}

int DialoghiQt::msgBox(const QString& testo, int stile, const QString& titolo) {
    struct Bottone { int risposta; QMessageBox::ButtonRole ruolo; const char* testo; };
    static const QList<QList<Bottone>> gruppi = {
        {{RispostaMsg::Ok, QMessageBox::AcceptRole, "OK"}},
        {{RispostaMsg::Ok, QMessageBox::AcceptRole, "OK"}, {RispostaMsg::Annulla, QMessageBox::RejectRole, "Annulla"}},
        {{RispostaMsg::Interrompi, QMessageBox::RejectRole, "Interrompi"},
         {RispostaMsg::Riprova, QMessageBox::AcceptRole, "Riprova"},
         {RispostaMsg::Ignora, QMessageBox::AcceptRole, "Ignora"}},
        {{RispostaMsg::Si, QMessageBox::YesRole, "Sì"}, {RispostaMsg::No, QMessageBox::NoRole, "No"},
         {RispostaMsg::Annulla, QMessageBox::RejectRole, "Annulla"}},
        {{RispostaMsg::Si, QMessageBox::YesRole, "Sì"}, {RispostaMsg::No, QMessageBox::NoRole, "No"}},
        {{RispostaMsg::Riprova, QMessageBox::AcceptRole, "Riprova"},
         {RispostaMsg::Annulla, QMessageBox::RejectRole, "Annulla"}},
    };
    const int gruppo = stile & 7;
    const QList<Bottone>& bottoni = gruppi[gruppo < gruppi.size() ? gruppo : 0];

    QMessageBox box(finestraCheChiede());
    box.setWindowTitle(titoloOApp(titolo));
    box.setText(testo);
    box.setTextFormat(Qt::PlainText);
    switch (stile & 0x70) {
    case StileMsg::Critico: box.setIcon(QMessageBox::Critical); break;
    case StileMsg::Domanda: box.setIcon(QMessageBox::Question); break;
    case StileMsg::Esclamativo: box.setIcon(QMessageBox::Warning); break;
    case StileMsg::Informazione: box.setIcon(QMessageBox::Information); break;
    default: break;
    }
    QList<QPushButton*> creati;
    QPushButton* esc = nullptr;
    for (const Bottone& b : bottoni) {
        QPushButton* p = box.addButton(QString::fromUtf8(b.testo), b.ruolo);
        creati << p;
        if (b.risposta == RispostaMsg::Annulla) esc = p;
    }
    // Esc answers Annulla where there is one, and OK when OK is alone.
    if (!esc && bottoni.size() == 1) esc = creati[0];
    box.setEscapeButton(esc);
    const int predefinito = (stile >> 8) & 3;
    box.setDefaultButton(creati[std::min<int>(predefinito, creati.size() - 1)]);
    AttesaUtente attesa;
    box.exec();
    const int i = creati.indexOf(qobject_cast<QPushButton*>(box.clickedButton()));
    if (i >= 0) return bottoni[i].risposta;
    return esc ? bottoni[creati.indexOf(esc)].risposta : RispostaMsg::Annulla;
}

void DialoghiQt::msgMenu(const QString& testo) {
    if (MenuClient* menu = ctx().ggMenuClient.get()) {
        try {
            Valore parametro(testo);
            menu->ComandoMenu(QStringLiteral("MsgBox"), QStringLiteral("Tutti"), parametro);
            return;
        } catch (const ErroreRun&) {
            // The menu is gone: show the text here instead.
        }
    }
    msgBox(testo, StileMsg::SoloOk | StileMsg::Esclamativo, QString());
}

std::optional<QString> DialoghiQt::inputBox(const QString& domanda, const QString& titolo,
                                            const QString& predefinito) {
    bool ok = false;
    AttesaUtente attesa;
    const QString t = QInputDialog::getText(finestraCheChiede(), titoloOApp(titolo), domanda,
                                            QLineEdit::Normal, predefinito, &ok);
    if (!ok) return std::nullopt;
    return t;
}

std::optional<QString> DialoghiQt::sceltaFile(const RichiestaFile& r) {
    AttesaUtente attesa;
    QWidget* padre = finestraCheChiede();
    const QString titolo = titoloOApp(r.titolo);
    const QString filtri = r.filtri.join(QStringLiteral(";;"));
    QString scelto;
    if (r.soloCartella) {
        scelto = QFileDialog::getExistingDirectory(padre, titolo, r.cartella);
    } else {
        const QString iniziale = r.nomeFile.isEmpty() ? r.cartella : QDir(r.cartella).filePath(r.nomeFile);
        scelto = r.salvataggio ? QFileDialog::getSaveFileName(padre, titolo, iniziale, filtri)
                               : QFileDialog::getOpenFileName(padre, titolo, iniziale, filtri);
    }
    if (scelto.isEmpty()) return std::nullopt;
    return scelto;
}

std::optional<QString> DialoghiQt::sceltaFileFiltro(const RichiestaFile& r, int& filtro) {
    if (r.soloCartella || !r.salvataggio) {
        filtro = 1;
        return sceltaFile(r);
    }
    AttesaUtente attesa;
    QWidget* padre = finestraCheChiede();
    const QString iniziale = r.nomeFile.isEmpty() ? r.cartella : QDir(r.cartella).filePath(r.nomeFile);
    QString sceltoFiltro;
    const QString scelto = QFileDialog::getSaveFileName(padre, titoloOApp(r.titolo), iniziale,
                                                        r.filtri.join(QStringLiteral(";;")), &sceltoFiltro);
    filtro = std::max<int>(1, static_cast<int>(r.filtri.indexOf(sceltoFiltro)) + 1);
    if (scelto.isEmpty()) return std::nullopt;
    return scelto;
}

namespace {
// The real boxes serve wherever the program has not installed a service of its own.
ServizioDialoghi& reali() {
    static DialoghiQt d;
    return d;
}
[[maybe_unused]] const bool registrati = (ImpostaDialoghiPredefiniti(&reali), true);
}  // namespace
