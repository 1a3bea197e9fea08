#include "common/form/Tastiera.h"

#include "common/form/Aiuto.h"
#include "common/form/MembriForm.h"
#include "common/form/UtilForm.h"
#include "components/core/ErroreRun.h"
#include "components/menu/MenuClient.h"
#include "components/platform/ServizioDialoghi.h"
#include "components/util/UtilGenerali.h"
#include "contesto/Contesto.h"

#include <QAbstractItemView>
#include <QAction>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <QToolBar>

namespace {

// The text, selection and editing of a text box, whatever its kind.
struct CasellaTesto {
    QLineEdit* riga = nullptr;
    QTextEdit* testo = nullptr;
    QPlainTextEdit* semplice = nullptr;

    explicit CasellaTesto(QWidget* w)
        : riga(qobject_cast<QLineEdit*>(w)), testo(qobject_cast<QTextEdit*>(w)),
          semplice(qobject_cast<QPlainTextEdit*>(w)) {}
    bool valida() const { return riga || testo || semplice; }
    bool multiRiga() const { return testo || semplice; }

    QString Testo() const {
        if (riga) return riga->text();
        if (testo) return testo->toPlainText();
        return semplice ? semplice->toPlainText() : QString();
    }
    void ImpostaTesto(const QString& t) const {
        if (riga) riga->setText(t);
        else if (testo) testo->setPlainText(t);
        else if (semplice) semplice->setPlainText(t);
    }
    int SelInizio() const {
        if (riga) return riga->hasSelectedText() ? riga->selectionStart() : riga->cursorPosition();
        QTextCursor c = testo ? testo->textCursor() : semplice->textCursor();
        return c.selectionStart();
    }
    int SelLunghezza() const {
        if (riga) return riga->hasSelectedText() ? static_cast<int>(riga->selectedText().size()) : 0;
        QTextCursor c = testo ? testo->textCursor() : semplice->textCursor();
        return c.selectionEnd() - c.selectionStart();
    }
    QString SelTesto() const { return Testo().mid(SelInizio(), SelLunghezza()); }
    void Seleziona(int inizio, int lunghezza) const {
        if (riga) {
            riga->setSelection(inizio, lunghezza);
            return;
        }
        QTextCursor c = testo ? testo->textCursor() : semplice->textCursor();
        c.setPosition(inizio);
        c.setPosition(inizio + lunghezza, QTextCursor::KeepAnchor);
        if (testo) testo->setTextCursor(c);
        else semplice->setTextCursor(c);
    }
    // The selection replaced; the inserted text selected.
    void SostituisciSel(const QString& nuovo) const {
        const int inizio = SelInizio();
        if (riga) {
            riga->insert(nuovo);
        } else {
            QTextCursor c = testo ? testo->textCursor() : semplice->textCursor();
            c.insertText(nuovo);
            if (testo) testo->setTextCursor(c);
            else semplice->setTextCursor(c);
        }
        Seleziona(inizio, static_cast<int>(nuovo.size()));
    }
    bool TuttoSelezionato() const { return SelLunghezza() == Testo().size(); }
};

QAction* Bottone(QToolBar* barra, const QString& chiave) {
    if (!barra) throw ErroreRun(NumErrore::OggettoNonImpostato, QStringLiteral("Variabile oggetto non impostata (barra)"));
    for (QAction* a : barra->actions())
        if (a->objectName().compare(chiave, Qt::CaseInsensitive) == 0) return a;
    return nullptr;
}

// The toolbar command of the key when the button exists and the condition holds.
void Comando(MembriForm& m, QToolBar* barra, const QString& chiave, bool serveVisibile) {
    if (chiave.isEmpty()) return;
    QAction* b = Bottone(barra, chiave);
    // No button for the key: the key means nothing on this screen.
    if (!b || !b->isEnabled() || (serveVisibile && !b->isVisible())) return;
    m.ButtonComando(b->objectName());
}

MembriForm& Membri(QWidget& form) {
    auto* m = dynamic_cast<MembriForm*>(&form);
    if (!m) throw ErroreRun(438, QStringLiteral("Proprietà o metodo non supportati"));
    return *m;
}

ComponenteDati& Componente(ComponenteDati* c) {
    if (!c) throw ErroreRun(NumErrore::OggettoNonImpostato, QStringLiteral("Variabile oggetto non impostata"));
    return *c;
}

bool Trova(const QString& testo, const QString& cercato, int da, bool avanti, int confronto, int& pos) {
    const Qt::CaseSensitivity cs = confronto == 0 ? Qt::CaseSensitive : Qt::CaseInsensitive;
    if (avanti) {
        pos = static_cast<int>(testo.indexOf(cercato, da, cs));
    } else {
        pos = ggUtil().CercaDaDestra(da, testo, cercato, confronto) - 1;
    }
    return pos >= 0;
}

// Find and replace in the active text box (Ctrl+Alt, Ctrl+Alt+Shift).
int CercaSostituisci(int& KeyCode, int Shift, QWidget& form) {
    Contesto& c = ctx();
    if (KeyCode == Tasto::Barra) c.giModoConfronto = Shift == 6 ? 1 : 0;
    if (c.giModoConfronto < 0) c.giModoConfronto = 1;
    if (KeyCode != Tasto::F && KeyCode != Tasto::S && KeyCode != Tasto::PagSu && KeyCode != Tasto::PagGiu) return 0;
    CasellaTesto box(form.focusWidget());
    if (!box.valida()) return 0;
    try {
        const UtilGenerali& u = ggUtil();
        const bool indietroShift = (Shift & Maiusc::Shift) != 0;
        bool avanti = true;
        int da = 0;
        auto prende = [&KeyCode] {
            KeyCode = 0;
            return 1;
        };
        if (KeyCode == Tasto::F || KeyCode == Tasto::S) {
            const auto r = c.ggDialoghi->inputBox(QStringLiteral("Stringa da cercare"), QString(), c.gsTestoCerca);
            if (!r || u.EVuoto(*r)) return prende();
            c.gsTestoCerca = *r;
            avanti = !indietroShift;
            da = avanti ? 0 : static_cast<int>(box.Testo().size());
        }
        if (u.EVuoto(c.gsTestoCerca)) return prende();
        if (KeyCode == Tasto::S) {
            const auto r = c.ggDialoghi->inputBox(QStringLiteral("Sostituire con"), QString(), c.gsTestoSostituisci);
            if (!r || u.EVuoto(*r)) return prende();
            c.gsTestoSostituisci = *r;
        }
        if (KeyCode == Tasto::PagSu) {
            avanti = false;
            da = box.SelInizio();
        } else if (KeyCode == Tasto::PagGiu) {
            avanti = true;
            da = box.SelInizio() + 1;
        }
        bool daSostituire = false;
        if (KeyCode == Tasto::S || ((KeyCode == Tasto::PagSu || KeyCode == Tasto::PagGiu) && Shift == 7)) {
            if (box.SelTesto().compare(c.gsTestoCerca, Qt::CaseInsensitive) == 0) {
                box.SostituisciSel(c.gsTestoSostituisci);
                if (KeyCode == Tasto::S) avanti = !indietroShift;
                // The next occurrence after the inserted text: a replacement that
                // holds the search text must not be found and replaced again.
                da = avanti ? box.SelInizio() + box.SelLunghezza() : box.SelInizio();
            } else {
                daSostituire = true;
            }
        }
        int pos = -1;
        if (Trova(box.Testo(), c.gsTestoCerca, da, avanti, c.giModoConfronto, pos)) {
            box.Seleziona(pos, static_cast<int>(c.gsTestoCerca.size()));
            if (daSostituire) box.SostituisciSel(c.gsTestoSostituisci);
        } else {
            c.ggDialoghi->msgBox(QStringLiteral("Testo non trovato"), StileMsg::SoloOk, c.gsTitoloApp);
        }
        return prende();
    } catch (const ErroreRun&) {
        KeyCode = 0;
        return 1;
    }
}

// The Ctrl keys are offered to the menu; its answer may carry a value for the field.
int TastiCtrl(int& KeyCode, int Shift, QWidget& form) {
    Contesto& c = ctx();
    if (!c.ggMenuClient) return 0;
    Valore parametro(KeyCode * (Shift == 3 ? -1 : 1));
    const QString risposta = c.ggMenuClient->ComandoMenu(QStringLiteral("TastiCtrl"), QStringLiteral("Tutti"), parametro).testo();
    if (ggUtil().ValoreNumerico(Valore(risposta)) == 1) {
        KeyCode = 0;
        return 1;
    }
    const QString iniziale = risposta.left(1).toUpper();
    if (iniziale != QLatin1String("D") && iniziale != QLatin1String("N")) return 0;
    const QString valore = risposta.mid(1).trimmed();
    QWidget* attivo = form.focusWidget();
    if (attivo && attivo->objectName() == QLatin1String("txt")) {
        CasellaTesto box(attivo);
        if (box.multiRiga()) box.SostituisciSel(valore);
        else if (box.valida()) box.ImpostaTesto(valore);
    }
    form.activateWindow();
    KeyCode = 0;
    return 1;
}

}  // namespace

int CodiceTasto(const QKeyEvent& e) {
    const int k = e.key();
    const bool tastierino = e.modifiers() & Qt::KeypadModifier;
    if (k >= Qt::Key_F1 && k <= Qt::Key_F24) return Tasto::F1 + (k - Qt::Key_F1);
    if (k >= Qt::Key_A && k <= Qt::Key_Z) return k;
    if (k >= Qt::Key_0 && k <= Qt::Key_9) return tastierino ? 96 + (k - Qt::Key_0) : k;
    switch (k) {
    case Qt::Key_Return:
    case Qt::Key_Enter: return Tasto::Invio;
    case Qt::Key_Escape: return Tasto::Esc;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return 9;
    case Qt::Key_Backspace: return 8;
    case Qt::Key_Space: return 32;
    case Qt::Key_PageUp: return Tasto::PagSu;
    case Qt::Key_PageDown: return Tasto::PagGiu;
    case Qt::Key_End: return Tasto::Fine;
    case Qt::Key_Home: return Tasto::Inizio;
    case Qt::Key_Left: return 37;
    case Qt::Key_Up: return Tasto::Su;
    case Qt::Key_Right: return 39;
    case Qt::Key_Down: return Tasto::Giu;
    case Qt::Key_Insert: return 45;
    case Qt::Key_Delete: return 46;
    case Qt::Key_Shift: return 16;
    case Qt::Key_Control: return 17;
    case Qt::Key_Alt: return 18;
    // The key of "\" gives "|" with Shift: the same key code.
    case Qt::Key_Backslash:
    case Qt::Key_Bar: return Tasto::Barra;
    case Qt::Key_Period: return tastierino ? Tasto::PuntoTastierino : 190;
    case Qt::Key_Comma: return tastierino ? Tasto::PuntoTastierino : 188;
    case Qt::Key_Minus: return tastierino ? 109 : 189;
    case Qt::Key_Plus: return tastierino ? 107 : 187;
    case Qt::Key_Asterisk: return tastierino ? 106 : 0;
    case Qt::Key_Slash: return tastierino ? 111 : 191;
    default: return 0;
    }
}

int StatoMaiusc(const QKeyEvent& e) {
    int s = 0;
    if (e.modifiers() & Qt::ShiftModifier) s |= Maiusc::Shift;
    if (e.modifiers() & Qt::ControlModifier) s |= Maiusc::Ctrl;
    if (e.modifiers() & Qt::AltModifier) s |= Maiusc::Alt;
    return s;
}

int GestTastiForm(int& KeyCode, int Shift, QWidget& form) {
    Contesto& c = ctx();
    if (TastoHelp(KeyCode, Shift, form)) return 1;
    c.giUltTasto = KeyCode;
    c.giUltShift = Shift;
    // Ctrl with a key; Ctrl pressed alone is not offered to the menu.
    if ((Shift == 2 || Shift == 3) && (KeyCode < 16 || KeyCode > 18)) return TastiCtrl(KeyCode, Shift, form);
    if (Shift == 6 || Shift == 7) return CercaSostituisci(KeyCode, Shift, form);
    if (KeyCode == Tasto::Invio && (Shift == 0 || Shift == 1)) {
        QWidget* attivo = form.focusWidget();
        CasellaTesto box(attivo);
        c.gbInvioNelCampo = box.multiRiga() && !box.TuttoSelezionato();
        if (!c.gbInvioNelCampo && !qobject_cast<QAbstractItemView*>(attivo)) {
            try {
                SpostaFuocoTab(1, Shift, &form);
            } catch (const ErroreRun&) {
            }
            c.gbInvioNelCampo = false;
            KeyCode = 0;
            return 1;
        }
        return 0;
    }
    return 0;
}

void TastiComandi(int& KeyCode, int Shift, QWidget& form, bool pagina, bool linee, bool lista,
                  const QString& comandoProprio) {
    if (!pagina && !linee && !lista) return;
    MembriForm& m = Membri(form);
    if (pagina) {
        QToolBar* barra = m.tolComPag();
        if (Shift == Maiusc::Alt) {
            switch (KeyCode) {
            case Tasto::PagSu: Comando(m, barra, QStringLiteral("Precedente"), false); break;
            case Tasto::PagGiu: Comando(m, barra, QStringLiteral("Successivo"), false); break;
            case Tasto::Inizio: Comando(m, barra, QStringLiteral("Inizio"), false); break;
            case Tasto::Fine: Comando(m, barra, QStringLiteral("Fine"), false); break;
            default: {
                const QString chiave =
                    comandoProprio.isEmpty() ? Componente(m.ogComPag()).TastoPremuto(KeyCode) : comandoProprio;
                Comando(m, barra, chiave, true);
            }
            }
        } else if (KeyCode == Tasto::F10 && Shift == 0 && comandoProprio.isEmpty()) {
            if (Componente(m.ogComPag()).oiFlagOpe() == 0) {
                m.ButtonComando(QStringLiteral("Ricerca"));
            } else {
                QAction* salva = Bottone(barra, QStringLiteral("Salva"));
                if (salva && salva->isVisible() && salva->isEnabled()) {
                    m.ButtonComando(QStringLiteral("Salva"));
                    QCoreApplication::processEvents();
                }
            }
            KeyCode = 0;
        }
    }
    if (lista) {
        if (Shift == 0 && KeyCode == Tasto::Su) {
            m.ButtonComando(QStringLiteral("Precedente"));
            return;
        }
        if (Shift == 0 && KeyCode == Tasto::Giu) {
            m.ButtonComando(QStringLiteral("Successiva"));
            return;
        }
        if (Shift == Maiusc::Alt) {
            const QString chiave =
                comandoProprio.isEmpty() ? Componente(m.ogLisPag()).TastoPremuto(KeyCode) : comandoProprio;
            Comando(m, m.tolComlin(), chiave, true);
        }
    }
    if (linee) {
        try {
            CasellaTesto box(form.focusWidget());
            const bool navigazione = !(box.multiRiga() && !box.TuttoSelezionato());
            if (Shift == 0 && navigazione) {
                const char* chiave = nullptr;
                switch (KeyCode) {
                case Tasto::PagSu: chiave = "PageUp"; break;
                case Tasto::PagGiu: chiave = "PageDown"; break;
                case Tasto::Su: chiave = "Precedente"; break;
                case Tasto::Giu: chiave = "Successiva"; break;
                default: break;
                }
                if (chiave) {
                    m.ButtonComando(QString::fromLatin1(chiave));
                    return;
                }
            }
            if (Shift == Maiusc::Alt) {
                const QString chiave =
                    comandoProprio.isEmpty() ? Componente(m.ogLinPag()).TastoPremuto(KeyCode) : comandoProprio;
                Comando(m, m.tolLinPag(), chiave, true);
            }
        } catch (const ErroreRun&) {
        }
    }
}

int FiltraTasto(int KeyAscii) {
    const Contesto& c = ctx();
    if (KeyAscii == '.' && c.gsTastierinoVirgola.compare(QLatin1String("S"), Qt::CaseInsensitive) == 0 &&
        c.giUltTasto == Tasto::PuntoTastierino && c.giUltShift == 0)
        return ',';
    if ((KeyAscii == Tasto::Invio && !c.gbInvioNelCampo) || KeyAscii == Tasto::Esc) return 0;
    return KeyAscii;
}

void ColoreFocus(QWidget* campo) {
    if (!campo) return;
    const Contesto& c = ctx();
    if (c.glColGotFocus != c.glColLostFocus)
        for (QWidget* w : campo->window()->findChildren<QWidget*>(QStringLiteral("txt")))
            if (BackColor(w) == c.glColGotFocus) ImpostaBackColor(w, c.glColLostFocus);
    if (BackColor(campo) != c.glColErrore) ImpostaBackColor(campo, c.glColGotFocus);
}

void ColorePerdeFocus(QWidget* campo) {
    if (!campo) return;
    const Contesto& c = ctx();
    if (BackColor(campo) != c.glColErrore) ImpostaBackColor(campo, c.glColLostFocus);
}

void DividiCodice(const QString& codice, QString& gruppo, QString& mastro, QString& conto) {
    gruppo = codice.left(2);
    if (codice.contains(QLatin1Char('-'))) {
        mastro = codice.mid(3, 2);
        conto = codice.mid(6);
    } else {
        mastro = codice.mid(2, 2);
        conto = codice.mid(4);
    }
}
