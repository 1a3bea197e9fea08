#include "common/form/UtilForm.h"

#include "common/form/MembriForm.h"
#include "components/core/ErroreRun.h"
#include "components/platform/Schermo.h"
#include "components/platform/ServizioDialoghi.h"
#include "components/util/UtilGenerali.h"
#include "contesto/Contesto.h"
#include "contesto/ServizioOspite.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCoreApplication>
#include <QCursor>
#include <QFrame>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <QVariant>
#include <cmath>

namespace {

QString TestoCampo(const QWidget* w) {
    if (auto* l = qobject_cast<const QLineEdit*>(w)) return l->text();
    if (auto* t = qobject_cast<const QTextEdit*>(w)) return t->toPlainText();
    if (auto* p = qobject_cast<const QPlainTextEdit*>(w)) return p->toPlainText();
    return w ? w->property("text").toString() : QString();
}

void ImpostaTestoCampo(QWidget* w, const QString& testo) {
    if (auto* l = qobject_cast<QLineEdit*>(w)) l->setText(testo);
    else if (auto* t = qobject_cast<QTextEdit*>(w)) t->setPlainText(testo);
    else if (auto* p = qobject_cast<QPlainTextEdit*>(w)) p->setPlainText(testo);
    else if (w && w->property("text").isValid()) w->setProperty("text", testo);
}

// Pointer saved by the first "on" of CursoreAttesa.
bool cursoreSalvato = false;

// The hourglass, unless one is shown already; true when this call put it.
bool mettiClessidra() {
    const QCursor* attuale = QApplication::overrideCursor();
    if (attuale && attuale->shape() == Qt::WaitCursor) return false;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    return true;
}

// The loaded forms in load order: the host's top-level forms, the forms that
// ran the common set-up, then any other named window.
QList<QWidget*> FormsCaricate() {
    QList<QWidget*> forms;
    auto aggiungi = [&forms](QWidget* w) {
        if (w && !forms.contains(w)) forms << w;
    };
    if (ctx().ggOspite)
        for (QWidget* w : ctx().ggOspite->FormsCaricate()) aggiungi(w);
    for (QWidget* w : FormsIniziate()) aggiungi(w);
    for (QWidget* w : QApplication::topLevelWidgets())
        if (!w->objectName().isEmpty() && !w->inherits("QMenu")) aggiungi(w);
    return forms;
}

// The tab order of a form: its focusable controls in focus-chain order.
QList<QWidget*> OrdineTab(QWidget& form) {
    QList<QWidget*> ordine;
    const QList<QWidget*> controlli = ControlliForm(form);
    QWidget* w = form.nextInFocusChain();
    while (w && w != &form && ordine.size() <= controlli.size() * 2 + 1) {
        if (controlli.contains(w) && !ordine.contains(w)) ordine << w;
        w = w->nextInFocusChain();
    }
    // Controls outside the chain keep their collection order at the end.
    for (QWidget* c : controlli)
        if (!ordine.contains(c)) ordine << c;
    return ordine;
}

bool TabStop(const QWidget* w) { return (w->focusPolicy() & Qt::TabFocus) != 0; }

}  // namespace

QWidget* FormAttiva() {
    if (QWidget* w = QApplication::activeWindow()) return w;
    const QList<QWidget*> forms = FormsCaricate();
    for (auto it = forms.crbegin(); it != forms.crend(); ++it)
        if ((*it)->isVisible()) return *it;
    return nullptr;
}

QWidget* ControlloAttivo(QWidget* form) {
    if (!form) form = FormAttiva();
    return form ? form->focusWidget() : nullptr;
}

void SelezTestoAttivo() {
    QWidget* w = ControlloAttivo();
    if (auto* l = qobject_cast<QLineEdit*>(w)) l->selectAll();
    else if (auto* t = qobject_cast<QTextEdit*>(w)) t->selectAll();
    else if (auto* p = qobject_cast<QPlainTextEdit*>(w)) p->selectAll();
}

bool SpostaFuocoTab(int step, std::optional<int> direzione, QWidget* form) {
    if (direzione) step = *direzione == 1 ? -std::abs(step) : std::abs(step);
    if (!form) form = FormAttiva();
    if (!form) throw ErroreRun(NumErrore::OggettoNonImpostato, QStringLiteral("Nessuna maschera attiva"));
    const QList<QWidget*> ordine = OrdineTab(*form);
    QWidget* attivo = form->focusWidget();
    const int inizio = static_cast<int>(ordine.indexOf(attivo));
    if (inizio < 0) throw ErroreRun(438, QStringLiteral("Proprietà o metodo non supportati (TabIndex)"));
    int massimo = -1;
    for (int i = 0; i < ordine.size(); ++i)
        if (TabStop(ordine[i])) massimo = i;
    if (massimo < 0 || step == 0) return false;
    int obiettivo = inizio + step;
    if (obiettivo > massimo) obiettivo = obiettivo - massimo - 1;
    else if (obiettivo < 0) obiettivo = massimo + obiettivo + 1;
    if (obiettivo < 0 || obiettivo > massimo) return false;
    const int verso = step > 0 ? 1 : -1;
    // An active control past the last tab stop is never met again on the
    // way round: one full round is the most there is to look at.
    for (int giri = 0; giri <= massimo; ++giri) {
        if (obiettivo >= ordine.size()) return false;
        QWidget* w = ordine[obiettivo];
        // A picture box (plain container) never takes the focus from here.
        const QMetaObject* mo = w->metaObject();
        const bool contenitore = mo == &QWidget::staticMetaObject || mo == &QFrame::staticMetaObject;
        const bool accetta = TabStop(w) && !contenitore && w->isEnabled() && w->isVisibleTo(form);
        if (accetta) {
            w->setFocus(verso > 0 ? Qt::TabFocusReason : Qt::BacktabFocusReason);
            return true;
        }
        obiettivo += verso;
        if (obiettivo > massimo) obiettivo = 0;
        else if (obiettivo < 0) obiettivo = massimo;
        if (obiettivo == inizio) return false;
    }
    return false;
}

long ControllaCampoData(QWidget* campo, int tipoData, int modo, std::optional<long> colNormale, QString* messaggio,
                        bool mostraBox) {
    const Contesto& c = ctx();
    const UtilGenerali& u = ggUtil();
    const long normale = colNormale.value_or(c.glColNormale);
    long risultato = 0;
    auto segnala = [&] {
        if (modo == 1 || modo == 3) ImpostaBackColor(campo, c.glColErrore);
        if (modo > 1) campo->setFocus();
    };
    try {
        QString testo = TestoCampo(campo);
        risultato = u.ControllaDataCtl(testo, tipoData, mostraBox, messaggio);
        if (testo != TestoCampo(campo)) ImpostaTestoCampo(campo, testo);
    } catch (const ErroreRun&) {
    }
    if (risultato == DataNonValida || risultato == DataErrata) {
        segnala();
        return risultato;
    }
    const QString testo = TestoCampo(campo);
    if (!u.EVuoto(testo) && !u.EVuoto(c.gsDataMinima)) {
        if (u.ValoreData(testo) >= u.ValoreData(c.gsDataMinima)) {
            ImpostaBackColor(campo, normale);
        } else {
            const QString avviso = QStringLiteral("Data troppo piccola");
            if (mostraBox && c.ggDialoghi) c.ggDialoghi->msgBox(avviso, StileMsg::SoloOk, c.gsTitoloApp);
            if (messaggio) *messaggio = avviso;
            risultato = DataNonValida;
            segnala();
        }
    } else {
        ImpostaBackColor(campo, normale);
    }
    return risultato;
}

bool FormCaricata(const QString& nome) { return IndiceForm(nome) >= 0; }

int IndiceForm(const QString& nome, const std::optional<QString>& caption) {
    const QList<QWidget*> forms = FormsCaricate();
    for (int i = 0; i < forms.size(); ++i) {
        if (forms[i]->objectName().compare(nome, Qt::CaseInsensitive) != 0) continue;
        if (caption && !forms[i]->windowTitle().contains(*caption, Qt::CaseInsensitive)) continue;
        return i;
    }
    return -1;
}

void CursoreAttesa(int attiva) {
    if (attiva != 0) {
        if (mettiClessidra()) cursoreSalvato = true;
    } else {
        if (cursoreSalvato) QApplication::restoreOverrideCursor();
        cursoreSalvato = false;
    }
}

CursoreOccupato::CursoreOccupato() {
    // A tool without a screen has no pointer to change.
    if (!qobject_cast<QApplication*>(QCoreApplication::instance())) return;
    messo_ = mettiClessidra();
}

CursoreOccupato::~CursoreOccupato() {
    if (messo_) QApplication::restoreOverrideCursor();
}

AttesaUtente::AttesaUtente() {
    const QCursor* attuale = QApplication::overrideCursor();
    freccia_ = attuale && attuale->shape() != Qt::ArrowCursor;
    if (freccia_) QApplication::setOverrideCursor(Qt::ArrowCursor);
}

AttesaUtente::~AttesaUtente() {
    if (freccia_) QApplication::restoreOverrideCursor();
}

void NascondiFormAperte() {
    const QList<QWidget*> forms = FormsCaricate();
    for (auto it = forms.crbegin(); it != forms.crend(); ++it) {
        QWidget* f = *it;
        const QVariant v = f->property("oiNoHelp");
        if (!v.isValid()) continue;
        if (v.toInt() > 0 && f->isVisible()) {
            f->setProperty("oiNoHelp", 2);
            f->hide();
        }
    }
}

void AzzeraOpzione(QAbstractButton* bottone) {
    if (!bottone) return;
    // Exclusive buttons cannot be cleared one by one: the group lets go for a moment.
    const bool esclusivo = bottone->autoExclusive();
    bottone->setAutoExclusive(false);
    bottone->setChecked(false);
    bottone->setAutoExclusive(esclusivo);
}

Valore InviaKeyUp(QWidget& form, int indice, int& keyCode, int& appo) {
    auto* m = dynamic_cast<MembriForm*>(&form);
    if (!m) throw ErroreRun(438, QStringLiteral("Proprietà o metodo non supportati"));
    const QString nome = appo == 0 ? QStringLiteral("txt") : QStringLiteral("txtAppo");
    QWidget* campo = Elemento(form, nome, indice);
    if (!campo) throw ErroreRun(340, QStringLiteral("L'elemento della matrice di controllo non esiste"));
    campo->setFocus();
    QCoreApplication::processEvents();
    if (appo == 0) m->txt_KeyUp(indice, keyCode, 0);
    else m->txtAppo_KeyUp(indice, keyCode, 0);
    return {};
}

int ConfrontaVal(const Valore& primo, const Valore& secondo, int precisione) {
    if (secondo.eNull()) return primo.testo().isEmpty() ? 0 : 1;
    const double x = primo.numero();
    const double y = secondo.numero();
    // Without rounding when it cannot change the answer: equal values stay
    // equal, and rounding moves a value below 10^14 units of the last place
    // kept by at most 0.55 of that unit (Arrotonda keeps 15 significant
    // digits, then rounds), so values more than two units apart keep their
    // order. Amounts compared at -8 almost always fall here.
    if (x == y) return 0;
    if (precisione <= 0 && precisione >= -12 && std::isfinite(x) && std::isfinite(y)) {
        static const double unita[13] = {1,    1e-1, 1e-2, 1e-3, 1e-4,  1e-5, 1e-6,
                                         1e-7, 1e-8, 1e-9, 1e-10, 1e-11, 1e-12};
        const double u = unita[-precisione];
        if (std::fabs(x) < 1e14 * u && std::fabs(y) < 1e14 * u && std::fabs(x - y) > 2 * u) return x < y ? -1 : 1;
    }
    const UtilGenerali& u = ggUtil();
    const double a = u.Arrotonda(x, precisione);
    const double b = u.Arrotonda(y, precisione);
    return a < b ? -1 : (a > b ? 1 : 0);
}

int BoolDaFlag(int flag) { return flag == -1 ? -1 : 0; }

double FattoreSchermo(int larghezza, int altezza) {
    const UtilGenerali& u = ggUtil();
    const double f = u.Arrotonda(u.Minimo({static_cast<float>(larghezza) / 800.0f, static_cast<float>(altezza) / 600.0f}), -2);
    return f == 0 ? 1 : f;
}

double RisoluzioneSchermo(int& larghezza, int& altezza) {
    const Contesto& c = ctx();
    SchermoQt primario;
    const Schermo& s = c.ggSchermo ? *c.ggSchermo : static_cast<const Schermo&>(primario);
    const QSize d = s.DimensioniPixel();
    larghezza = d.width();
    altezza = d.height();
    return FattoreSchermo(larghezza, altezza);
}
