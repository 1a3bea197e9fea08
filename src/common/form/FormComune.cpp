#include "common/form/FormComune.h"

#include "common/form/Scala.h"
#include "common/form/Tastiera.h"
#include "common/form/UtilForm.h"
#include "common/FrmMsgCom.h"
#include "components/core/ErroreRun.h"
#include "components/util/UtilGenerali.h"
#include "startup/Contesto.h"
#include "startup/FrmConn.h"

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

constexpr long ColFacciaBottone = 0x8000000F;  // button face: forms, labels, frames, buttons
constexpr long ColSfondoFinestra = 0x80000005; // window background: edit fields and lists

bool CampoDiTesto(const QWidget* w) {
    return qobject_cast<const QLineEdit*>(w) || qobject_cast<const QTextEdit*>(w) ||
           qobject_cast<const QPlainTextEdit*>(w) || qobject_cast<const QAbstractSpinBox*>(w) ||
           qobject_cast<const QComboBox*>(w) ||
           (qobject_cast<const QAbstractScrollArea*>(w) != nullptr);
}

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

QList<QPointer<QWidget>>& Iniziate() {
    static QList<QPointer<QWidget>> forms;
    return forms;
}

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

// ---- Members by name

bool HaMembro(const QObject& o, const char* nome) { return o.property(nome).isValid(); }

Valore LeggiMembro(const QObject& o, const char* nome) {
    const QVariant v = o.property(nome);
    if (!v.isValid())
        throw ErroreRun(438, QStringLiteral("Proprietà o metodo non supportati (%1)").arg(QLatin1String(nome)));
    switch (v.typeId()) {
    case QMetaType::Bool: return Valore(v.toBool());
    case QMetaType::Int:
    case QMetaType::Long:
    case QMetaType::LongLong:
    case QMetaType::Short:
    case QMetaType::UInt: return Valore(static_cast<long long>(v.toLongLong()));
    case QMetaType::Double:
    case QMetaType::Float: return Valore(v.toDouble());
    case QMetaType::QDate: return Valore(v.toDate());
    default: return Valore(v.toString());
    }
}

void ScriviMembro(QObject& o, const char* nome, const Valore& v) {
    const QVariant attuale = o.property(nome);
    if (!attuale.isValid())
        throw ErroreRun(438, QStringLiteral("Proprietà o metodo non supportati (%1)").arg(QLatin1String(nome)));
    QVariant nuovo;
    switch (attuale.typeId()) {
    case QMetaType::Bool: nuovo = v.booleano(); break;
    case QMetaType::Int:
    case QMetaType::Short: nuovo = static_cast<int>(v.intero()); break;
    case QMetaType::Long:
    case QMetaType::LongLong: nuovo = static_cast<qlonglong>(v.intero()); break;
    case QMetaType::Double:
    case QMetaType::Float: nuovo = v.numero(); break;
    default: nuovo = v.testo(); break;
    }
    o.setProperty(nome, nuovo);
}

// ---- Control arrays

void ImpostaElemento(QWidget* w, const QString& nome, int indice) {
    w->setObjectName(nome);
    w->setProperty("Index", indice);
}

int IndiceElemento(const QObject* w) {
    const QVariant v = w ? w->property("Index") : QVariant();
    return v.isValid() ? v.toInt() : -1;
}

QWidget* Elemento(const QWidget& form, const QString& nome, int indice) {
    for (QWidget* w : form.findChildren<QWidget*>(nome))
        if (IndiceElemento(w) == indice) return w;
    return nullptr;
}

// ---- Colours

QColor ColoreQt(long colore) {
    if ((colore & 0xFF000000L) == 0x80000000L) {
        const QPalette p = QApplication::palette();
        switch (colore & 0xFF) {
        case 0x05: return p.color(QPalette::Base);            // window background
        case 0x08: return p.color(QPalette::Text);            // window text
        case 0x11: return p.color(QPalette::Disabled, QPalette::Text);  // grey text
        case 0x12: return p.color(QPalette::ButtonText);
        case 0x0D: return p.color(QPalette::Highlight);
        case 0x0E: return p.color(QPalette::HighlightedText);
        default: return p.color(QPalette::Window);            // button face and the rest
        }
    }
    return QColor(static_cast<int>(colore & 0xFF), static_cast<int>((colore >> 8) & 0xFF),
                  static_cast<int>((colore >> 16) & 0xFF));
}

long BackColor(const QWidget* w) {
    const QVariant v = w->property("BackColor");
    if (v.isValid()) return static_cast<long>(v.toLongLong());
    return CampoDiTesto(w) ? ColSfondoFinestra : ColFacciaBottone;
}

void ImpostaBackColor(QWidget* w, long colore) {
    w->setProperty("BackColor", static_cast<qlonglong>(colore));
    QPalette p = w->palette();
    const QColor c = ColoreQt(colore);
    if (CampoDiTesto(w)) {
        p.setColor(QPalette::Base, c);
    } else {
        p.setColor(QPalette::Window, c);
        p.setColor(QPalette::Button, c);
        w->setAutoFillBackground(true);
    }
    w->setPalette(p);
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

QList<QWidget*> FormsIniziate() {
    QList<QWidget*> forms;
    Iniziate().removeAll(nullptr);
    for (const QPointer<QWidget>& f : Iniziate()) forms << f.data();
    return forms;
}

void InizForm(QWidget& form, bool pagina, bool linee, bool lista, bool soloLetturaOnorato) {
    Contesto& c = ctx();
    if (!Iniziate().contains(&form)) Iniziate().append(&form);
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

// ---- The form's controls

QList<QWidget*> ControlliForm(const QWidget& form) {
    // A control is a widget placed on the form or inside a frame or picture
    // box; the inner parts of composite widgets are not controls.
    auto contenitore = [&form](const QWidget* w) {
        if (w == &form) return true;
        const QMetaObject* mo = w->metaObject();
        return mo == &QWidget::staticMetaObject || mo == &QFrame::staticMetaObject ||
               mo == &QGroupBox::staticMetaObject;
    };
    QList<QWidget*> risultato;
    for (QWidget* w : form.findChildren<QWidget*>()) {
        if (w->isWindow()) continue;
        bool ok = true;
        for (QWidget* p = w->parentWidget(); p && p != &form; p = p->parentWidget())
            if (!contenitore(p) || p->isWindow()) {
                ok = false;
                break;
            }
        if (ok && contenitore(w->parentWidget())) risultato << w;
    }
    return risultato;
}
