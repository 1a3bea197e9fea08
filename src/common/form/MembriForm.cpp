#include "common/form/MembriForm.h"

#include "components/core/ErroreRun.h"

#include <QAbstractScrollArea>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLineEdit>
#include <QPalette>
#include <QPointer>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <QVariant>

namespace {

bool CampoDiTesto(const QWidget* w) {
    return qobject_cast<const QLineEdit*>(w) || qobject_cast<const QTextEdit*>(w) ||
           qobject_cast<const QPlainTextEdit*>(w) || qobject_cast<const QAbstractSpinBox*>(w) ||
           qobject_cast<const QComboBox*>(w) ||
           (qobject_cast<const QAbstractScrollArea*>(w) != nullptr);
}

QList<QPointer<QWidget>>& Iniziate() {
    static QList<QPointer<QWidget>> forms;
    return forms;
}

}  // namespace

QList<QWidget*> FormsIniziate() {
    QList<QWidget*> forms;
    Iniziate().removeAll(nullptr);
    for (const QPointer<QWidget>& f : Iniziate()) forms << f.data();
    return forms;
}

void RegistraFormIniziata(QWidget& form) {
    if (!Iniziate().contains(&form)) Iniziate().append(&form);
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
