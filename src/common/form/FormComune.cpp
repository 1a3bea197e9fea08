#include "common/form/FormComune.h"

#include "common/form/Scala.h"
#include "common/form/Tastiera.h"
#include "common/form/UtilForm.h"
#include "common/FrmMsgCom.h"
#include "components/core/ErroreRun.h"
#include "components/util/UtilGenerali.h"
#include "contesto/Contesto.h"
#include "common/FrmConn.h"

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QFocusEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTextEdit>
#include <QVariant>

namespace {

// Sends the form's keys to its handlers before its controls see them, and the
// focus of its "txt" elements to the form's field handlers.
class AnteprimaTasti : public QObject {
public:
    AnteprimaTasti(QWidget* form, bool pagina, bool linee, bool lista)
        : QObject(form), pagina_(pagina), linee_(linee), lista_(lista), form_(form) {
        setObjectName(QStringLiteral("AnteprimaTasti"));
        qApp->installEventFilter(this);
    }
    void Imposta(bool pagina, bool linee, bool lista) {
        pagina_ = pagina;
        linee_ = linee;
        lista_ = lista;
    }
    bool pagina_ = false, linee_ = false, lista_ = false;

protected:
    bool eventFilter(QObject* o, QEvent* e) override {
        const QEvent::Type t = e->type();
        if (t != QEvent::KeyPress && t != QEvent::FocusIn && t != QEvent::FocusOut) return false;
        if (!o->isWidgetType() || !form_) return false;
        QWidget* w = static_cast<QWidget*>(o);
        if (w->window() != form_) return false;
        if (t == QEvent::KeyPress) return Tasto(w, static_cast<QKeyEvent*>(e));
        if (w->objectName() == QLatin1String("txt")) Fuoco(w, t == QEvent::FocusIn, static_cast<QFocusEvent*>(e)->reason());
        return false;
    }

private:
    bool Tasto(QWidget* w, QKeyEvent* ke) {
        // Only the first receiver: the key propagates to the parents as copies.
        QWidget* primo = form_->focusWidget() ? form_->focusWidget() : form_.data();
        if (w != primo || sintesi_) return false;
        MembriForm* m = dynamic_cast<MembriForm*>(form_.data());
        try {
            int codice = CodiceTasto(*ke);
            if (codice != 0) {
                const int shift = StatoMaiusc(*ke);
                if (m) m->Form_KeyDown(codice, shift);
                else TastiFormComuni(*form_, codice, shift, {});
                if (codice == 0) return true;
            }
            if (ke->text().isEmpty()) return false;
            // Alt with a character is an accelerator: it types nothing.
            const Qt::KeyboardModifiers mod = ke->modifiers();
            if ((mod & Qt::AltModifier) && !(mod & Qt::ControlModifier) && ke->text().at(0).isPrint()) return true;
            const int originale = ke->text().at(0).unicode();
            int car = originale;
            if (m) m->Form_KeyPress(car);
            else car = FiltraTasto(car);
            if (car == originale) return false;
            // A dropped control character (Enter, Esc) still reaches the
            // control as a key: only its character is dropped.
            if (car == 0) return originale >= 32;
            const QString testo(QChar(static_cast<char16_t>(car)));
            const int tasto = car == ',' ? Qt::Key_Comma : static_cast<int>(QChar(car).toUpper().unicode());
            QKeyEvent nuovo(QEvent::KeyPress, tasto, ke->modifiers() & ~Qt::KeypadModifier, testo,
                            ke->isAutoRepeat(), ke->count());
            sintesi_ = true;
            QCoreApplication::sendEvent(w, &nuovo);
            sintesi_ = false;
            return true;
        } catch (const ErroreRun& err) {
            sintesi_ = false;
            frmMsgCom::MsgErrfrm(err);
            return true;
        }
    }

    // A field gets and loses the focus when the focus moves inside the form;
    // another window coming forward and going back does not count (a box
    // opened while a field is checked must not check it again).
    void Fuoco(QWidget* w, bool entrata, Qt::FocusReason motivo) {
        const bool finestra = motivo == Qt::ActiveWindowFocusReason || motivo == Qt::PopupFocusReason;
        if (entrata) {
            if (finestra && w == ultimoEntrato_) return;
            ultimoEntrato_ = w;
        } else {
            if (finestra) return;
            ultimoEntrato_ = nullptr;
        }
        const int indice = IndiceElemento(w);
        MembriForm* m = dynamic_cast<MembriForm*>(form_.data());
        try {
            if (m) {
                if (entrata) m->txt_GotFocus(indice);
                else m->txt_LostFocus(indice);
            } else if (entrata) {
                SelezTestoAttivo();
                ColoreFocus(w);
            } else {
                ColorePerdeFocus(w);
            }
        } catch (const ErroreRun& err) {
            frmMsgCom::MsgErrfrm(err);
        }
    }

public:
    static void TastiFormComuni(QWidget& form, int& codice, int shift, const QString& proprio) {
        if (GestTastiForm(codice, shift, form) > 0) return;
        auto* a = form.findChild<AnteprimaTasti*>(QStringLiteral("AnteprimaTasti"), Qt::FindDirectChildrenOnly);
        if (!a) return;
        TastiComandi(codice, shift, form, a->pagina_, a->linee_, a->lista_, proprio);
    }

private:
    QPointer<QWidget> form_;
    QPointer<QWidget> ultimoEntrato_;
    bool sintesi_ = false;
};


QWidget* ComeWidget(MembriForm* m) {
    QWidget* w = dynamic_cast<QWidget*>(m);
    if (!w) throw ErroreRun(438, QStringLiteral("Proprietà o metodo non supportati"));
    return w;
}

ComponenteDati* Richiesto(ComponenteDati* c, const char* nome) {
    if (!c)
        throw ErroreRun(NumErrore::OggettoNonImpostato,
                        QStringLiteral("Variabile oggetto non impostata (%1)").arg(QLatin1String(nome)));
    return c;
}

MembriForm& Membri(QWidget& form) {
    auto* m = dynamic_cast<MembriForm*>(&form);
    if (!m) throw ErroreRun(438, QStringLiteral("Proprietà o metodo non supportati"));
    return *m;
}

// The components that receive the scaling parameters, as the blocks say.
QList<ComponenteDati*> ComponentiScala(QWidget& form, bool pagina, bool linee, bool lista) {
    QList<ComponenteDati*> c;
    if (!pagina && !linee && !lista) return c;
    MembriForm& m = Membri(form);
    if (pagina) c << Richiesto(m.ogComPag(), "ogComPag");
    if (linee) c << Richiesto(m.ogLinPag(), "ogLinPag");
    if (lista) c << Richiesto(m.ogLisPag(), "ogLisPag") << Richiesto(m.ogComlin(), "ogComlin");
    return c;
}

}  // namespace

// ---- MembriForm defaults

void MembriForm::Form_KeyDown(int& KeyCode, int Shift) {
    AnteprimaTasti::TastiFormComuni(*ComeWidget(this), KeyCode, Shift, ComandoProprio(KeyCode, Shift));
}

void MembriForm::Form_KeyPress(int& KeyAscii) { KeyAscii = FiltraTasto(KeyAscii); }

void MembriForm::txt_GotFocus(int Index) {
    SelezTestoAttivo();
    ColoreFocus(Elemento(*ComeWidget(this), QStringLiteral("txt"), Index));
}

void MembriForm::txt_LostFocus(int Index) {
    ColorePerdeFocus(Elemento(*ComeWidget(this), QStringLiteral("txt"), Index));
}

// ---- Set-up

QString TitoloForm(const QString& caption, const std::optional<QString>& testo) {
    return caption + QStringLiteral(" - ") + (testo ? *testo : ctx().gsDescDitta);
}

void AttivaAnteprimaTasti(QWidget& form, bool pagina, bool linee, bool lista) {
    auto* a = form.findChild<AnteprimaTasti*>(QStringLiteral("AnteprimaTasti"), Qt::FindDirectChildrenOnly);
    if (a) a->Imposta(pagina, linee, lista);
    else new AnteprimaTasti(&form, pagina, linee, lista);
}


void InizForm(QWidget& form, bool pagina, bool linee, bool lista, bool soloLetturaOnorato) {
    Contesto& c = ctx();
    RegistraFormIniziata(form);
    // 1. The user's background colour on the form and on what shows the button face.
    if (c.glColForm != 0) {
        try {
            ImpostaBackColor(&form, c.glColForm);
            for (QWidget* w : ControlliForm(form))
                if (BackColor(w) == ColFacciaBottone) ImpostaBackColor(w, c.glColForm);
        } catch (const ErroreRun&) {
        }
    }
    // 2. The loading splash, for the whole load.
    try {
        MostraVersione(-1, 0);
        MostraFrmConn(QStringLiteral("Caricamento maschera"));
        FrmConn& splash = CaricaFrmConn();
        splash.txtNomeDb->setText(splash.windowTitle() + QLatin1Char(' ') + form.windowTitle());
        splash.repaint();
    } catch (const ErroreRun&) {
    }
    // 3. Labels show "&" as it is: a label marks an access key only for its buddy.
    for (QLabel* l : form.findChildren<QLabel*>()) l->setBuddy(nullptr);
    // 4. The caption names the company.
    form.setWindowTitle(TitoloForm(form.windowTitle()));
    // 5. Key preview.
    AttivaAnteprimaTasti(form, pagina, linee, lista);
    // 6. The read-only switch of the launch parameter.
    if (soloLetturaOnorato) {
        const QString ro = ggUtil().EstraiParametro(LeggiMembro(form, "osParam").testo(), QStringLiteral("RO"));
        ScriviMembro(form, "oiAbilRW", Valore(ro.compare(QLatin1String("/RO"), Qt::CaseInsensitive) == 0 ? 0 : 1));
    }
    // 7. The factor for the components, before they lay out the form.
    try {
        double fattore = -2;
        RisVidForm(form, 1, fattore);
        if (fattore > 0)
            for (ComponenteDati* comp : ComponentiScala(form, pagina, linee, lista))
                comp->ImpostaPar(QStringLiteral("RisVid"), Valore(fattore));
    } catch (const ErroreRun&) {
    }
}

void FineInizForm(QWidget& form, bool pagina, bool linee, bool lista) {
    // 1. Window state asked by the user (2 maximised).
    bool ok = false;
    const int stato = ctx().gsStatoFinestra.trimmed().toInt(&ok);
    if (ok) {
        if (stato == 2) form.setWindowState(form.windowState() | Qt::WindowMaximized);
        else if (stato == 1) form.setWindowState(form.windowState() | Qt::WindowMinimized);
        else form.setWindowState(form.windowState() & ~(Qt::WindowMaximized | Qt::WindowMinimized));
    }
    // 2-3. Read-only state to the components; the row counter.
    if (pagina) Richiesto(Membri(form).ogComPag(), "ogComPag")->ImpostaAbilRW(static_cast<int>(LeggiMembro(form, "oiAbilRW").intero()));
    if (linee) {
        MembriForm& m = Membri(form);
        ComponenteDati* lin = Richiesto(m.ogLinPag(), "ogLinPag");
        lin->ImpostaAbilRW(static_cast<int>(LeggiMembro(form, "oiAbilRW").intero()));
        QString corrente, totale;
        lin->RecCorrSuTot(corrente, totale);
        QLineEdit* riga = m.txtRiga();
        if (!riga) throw ErroreRun(NumErrore::OggettoNonImpostato, QStringLiteral("Variabile oggetto non impostata (txtRiga)"));
        riga->setText(corrente + QStringLiteral(" / ") + totale);
    }
    // 4. The splash goes.
    ScaricaFrmConn();
    // 5. The form scaled for real.
    try {
        double fattore = -2;
        RisVidForm(form, 0, fattore);
        if (fattore > 0)
            for (ComponenteDati* comp : ComponentiScala(form, pagina, linee, lista))
                comp->ImpostaPar(QStringLiteral("RisVidFatta"), Valore(true));
    } catch (const ErroreRun&) {
    }
}

