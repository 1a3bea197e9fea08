#include "common/form/Scala.h"

#include "common/form/MembriForm.h"
#include "common/form/UtilForm.h"
#include "components/core/ErroreRun.h"
#include "components/pages/ModelloGriglia.h"
#include "components/platform/Schermo.h"
#include "components/util/UtilGenerali.h"
#include "contesto/Contesto.h"
#include "contesto/ImpostazioniIni.h"

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QAbstractSpinBox>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QProgressBar>
#include <QRadioButton>
#include <QScreen>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableView>
#include <algorithm>
#include <cmath>

SceltaFattore SceltaFattoreForm(double argomento, double gen, double base, std::optional<double> valoreChiave,
                                double fattoreSchermo) {
    SceltaFattore r;
    r.fattore = argomento;
    if (argomento == -2) {
        if (gen == -1) {
            r.nessunaScala = true;
            return r;
        }
        if (gen != -2) r.fattore = gen;
        else r.fattore = (!valoreChiave || *valoreChiave == -2) ? base : *valoreChiave;
    }
    if (r.fattore == -1) {
        r.nessunaScala = true;
        return r;
    }
    if (r.fattore == -2) r.fattore = 0;
    if (r.fattore == 0) {
        r.fattore = fattoreSchermo;
        r.adattaAltezza = r.adattaLarghezza = true;
    }
    if (!(r.fattore > 0)) r.fattore = 1;
    return r;
}

double AdattaFattore(double fattore, bool adattaAltezza, bool adattaLarghezza, const QRect& formTwips,
                     const MisureSchermoScala& s) {
    QRect area = s.areaTwips.isEmpty() ? QRect(0, 0, s.larghezzaTwips, s.altezzaTwips) : s.areaTwips;
    if (!s.barraNascosta && s.bordoBarra == 3) {
        area.setBottom(std::min(area.bottom(), static_cast<int>(s.cimaBarraPixel * s.twipsPerPixelY) - 1));
        adattaAltezza = true;
    }
    if (area.height() < s.altezzaTwips) adattaAltezza = true;
    if (area.width() < s.larghezzaTwips) adattaLarghezza = true;
    // The frame is drawn around the form: only the rest of the area is the form's.
    const double limiteAlt = area.height() - s.corniceTwips.top() - s.corniceTwips.bottom();
    const double limiteLarg = area.width() - s.corniceTwips.left() - s.corniceTwips.right();
    const double basso = std::max(0, formTwips.top() - area.top()) + formTwips.height();
    if (adattaAltezza && basso > 0 && basso * fattore > limiteAlt) fattore = limiteAlt / basso;
    const double destra = std::max(0, formTwips.left() - area.left()) + formTwips.width();
    if (adattaLarghezza && destra > 0 && static_cast<float>(destra * fattore) > limiteLarg) fattore = limiteLarg / destra;
    return fattore;
}

int FlagEsclusione(const ListaEsclusioni& escl, const QString& nome, int indice) {
    for (const EsclusioneScala& e : escl)
        if (e.nome.compare(nome, Qt::CaseInsensitive) == 0 && (e.indice == -1 || e.indice == indice)) return e.flag;
    return 0;
}

QRect RettScalato(const QRect& r, double f, int flag) {
    if (!(flag & (FlagScala::Posizione | FlagScala::Dimensione))) {
        // Edges scaled, not sizes: two controls that touch still touch, and
        // rounding never makes them overlap by a pixel.
        const int sinistra = qRound(r.left() * f), cima = qRound(r.top() * f);
        return QRect(sinistra, cima, qRound((r.left() + r.width()) * f) - sinistra,
                     qRound((r.top() + r.height()) * f) - cima);
    }
    QRect n = r;
    if (!(flag & FlagScala::Posizione)) n.moveTo(qRound(r.left() * f), qRound(r.top() * f));
    if (!(flag & FlagScala::Dimensione)) n.setSize(QSize(qRound(r.width() * f), qRound(r.height() * f)));
    return n;
}

double DimCarattereScalata(double dimensione, double fattore) { return dimensione * fattore; }

namespace {

QFont CarattereScalato(QFont f, double fattore) {
    if (f.pointSizeF() > 0) f.setPointSizeF(DimCarattereScalata(f.pointSizeF(), fattore));
    else if (f.pixelSize() > 0) f.setPixelSize(qRound(DimCarattereScalata(f.pixelSize(), fattore)));
    return f;
}

// Kinds whose font follows the factor: buttons, check and option boxes, text
// boxes, labels, combo and list boxes, frames, grids, the status bar, and
// spin boxes, tab strips and progress bars.
bool CarattereDaScalare(const QWidget* w) {
    return qobject_cast<const QAbstractButton*>(w) || qobject_cast<const QLineEdit*>(w) ||
           qobject_cast<const QAbstractScrollArea*>(w) || qobject_cast<const QLabel*>(w) ||
           qobject_cast<const QComboBox*>(w) || qobject_cast<const QGroupBox*>(w) ||
           qobject_cast<const QStatusBar*>(w) || qobject_cast<const QAbstractSpinBox*>(w) ||
           qobject_cast<const QTabWidget*>(w) || qobject_cast<const QProgressBar*>(w);
}

// An image shown at its own size is left where and as it is.
bool ImmagineFissa(const QWidget* w) {
    auto* l = qobject_cast<const QLabel*>(w);
    return l && !l->pixmap().isNull() && !l->hasScaledContents();
}

// A caption's text grows a little more than the factor (the font's hinting
// rounds up): a check or option box, or a left-aligned label on one line,
// widens to its text as far as the next control beside it or its frame's edge.
void allargaDidascalia(QWidget* c) {
    const auto* etichetta = qobject_cast<const QLabel*>(c);
    const bool casella = qobject_cast<const QCheckBox*>(c) || qobject_cast<const QRadioButton*>(c);
    const bool riga = etichetta && !etichetta->wordWrap() && etichetta->pixmap().isNull() &&
                      !etichetta->text().contains(QLatin1Char('\n')) &&
                      !(etichetta->alignment() & (Qt::AlignRight | Qt::AlignHCenter));
    const QString testo = etichetta ? etichetta->text() : casella ? static_cast<const QAbstractButton*>(c)->text() : QString();
    if (!(casella || riga) || testo.isEmpty() || !c->parentWidget()) return;
    const int serve = c->sizeHint().width();
    if (serve <= c->width()) return;
    const QRect g = c->geometry();
    int limite = c->parentWidget()->contentsRect().right() + 1;
    for (const QObject* o : c->parentWidget()->children()) {
        const auto* f = qobject_cast<const QWidget*>(o);
        if (!f || f == c || f->isWindow()) continue;
        const QRect h = f->geometry();
        if (h.top() <= g.bottom() && h.bottom() >= g.top() && h.left() > g.left()) limite = std::min(limite, h.left());
    }
    const int larghezza = std::min(serve, limite - g.left());
    if (larghezza > g.width()) c->resize(larghezza, g.height());
}

const Schermo& SchermoAttuale(SchermoQt& riserva) {
    return ctx().ggSchermo ? *ctx().ggSchermo : static_cast<const Schermo&>(riserva);
}

}  // namespace

void RidimControlli(QWidget& form, double fattore, const ListaEsclusioni& escl) {
    if (!(fattore != 1 && fattore > 0)) return;
    const QList<QWidget*> controlli = ControlliForm(form);
    // Design fonts first: a container's new font must not reach its children twice.
    QList<QFont> caratteri;
    for (QWidget* c : controlli) caratteri << c->font();
    const QSize dimensione(qRound(form.width() * fattore), qRound(form.height() * fattore));
    // A form of fixed size ignores resize(): it grows with its controls all the same.
    if (form.minimumSize() == form.maximumSize()) form.setFixedSize(dimensione);
    else form.resize(dimensione);
    form.setFont(CarattereScalato(form.font(), fattore));
    for (int i = 0; i < controlli.size(); ++i) {
        QWidget* c = controlli[i];
        if (ImmagineFissa(c)) {
            c->setFont(caratteri[i]);
            continue;
        }
        const int flag = FlagEsclusione(escl, c->objectName(), IndiceElemento(c));
        c->setGeometry(RettScalato(c->geometry(), fattore, flag));
        if (flag & FlagScala::Carattere || !CarattereDaScalare(c)) {
            c->setFont(caratteri[i]);
            continue;
        }
        c->setFont(CarattereScalato(caratteri[i], fattore));
        if (auto* griglia = qobject_cast<QTableView*>(c)) {
            griglia->horizontalHeader()->setFont(CarattereScalato(caratteri[i], fattore));
            griglia->verticalHeader()->setFont(CarattereScalato(caratteri[i], fattore));
            // The larger font needs wider columns.
            AllargaAlContenuto(*griglia);
        }
        if (auto* barra = qobject_cast<QStatusBar*>(c)) {
            for (QWidget* pannello : barra->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
                if (pannello->minimumWidth() > 0)
                    pannello->setMinimumWidth(qRound(pannello->minimumWidth() * fattore));
        }
        if (qobject_cast<QListView*>(c)) {
            // A list box keeps a visible height; a few steps at most.
            for (int h = 61; c->height() * TwipsPerPixel <= 60 && h < 61 + 3 * TwipsPerPixel; h += 1)
                c->resize(c->width(), (h + TwipsPerPixel - 1) / TwipsPerPixel);
        }
    }
    // Once every control stands at its scaled place.
    for (QWidget* c : controlli) allargaDidascalia(c);
}

double RisVidForm(QWidget& form, int mantieniDim, double& fattore, const ListaEsclusioni& escl) {
    const Contesto& c = ctx();
    // Whatever its size, a window shown or grown comes back inside the work area.
    if (mantieniDim == 0 && form.isWindow()) TieniNelloSchermo(form);
    try {
        ScriviMembro(form, "odRisVidVal", Valore(1.0));
    } catch (const ErroreRun&) {
    }
    std::optional<double> valoreChiave;
    if (fattore == -2 && c.gdRisVidGen == -2) {
        try {
            QString chiave = HaMembro(form, "osRisVidKey") ? LeggiMembro(form, "osRisVidKey").testo().trimmed() : QString();
            if (chiave.isEmpty()) {
                const QString keySec = LeggiMembro(form, "osKeySec").testo().trimmed();
                if (!keySec.isEmpty()) chiave = c.gsChiavePrg + QLatin1Char('-') + keySec;
            }
            if (!chiave.isEmpty()) {
                QString testo;
                LeggiValIni(QStringLiteral("Risoluzione Video"), chiave, QStringLiteral("-2"), testo);
                valoreChiave = ggUtil().ImportoDaTesto(testo);
            }
        } catch (const ErroreRun&) {
            valoreChiave.reset();
        }
    }
    SchermoQt primario;
    const Schermo& schermo = SchermoAttuale(primario);
    int larg = 0, alt = 0;
    const QSize px = schermo.DimensioniPixel();
    larg = px.width();
    alt = px.height();
    const SceltaFattore scelta = SceltaFattoreForm(fattore, c.gdRisVidGen, c.gdRisVidBase, valoreChiave,
                                                   FattoreSchermo(larg, alt));
    fattore = scelta.fattore;
    if (scelta.nessunaScala) return 1;
    if (fattore != 1 && mantieniDim == 0) {
        MisureSchermoScala m;
        m.larghezzaTwips = schermo.LarghezzaTwips();
        m.altezzaTwips = schermo.AltezzaTwips();
        int bordo = -1;
        long cima = 0;
        m.barraNascosta = schermo.PosBarraApp(bordo, cima);
        m.bordoBarra = bordo;
        m.cimaBarraPixel = cima;
        m.twipsPerPixelY = TwipsPerPixel;
        const QRect area = schermo.AreaDisponibile();
        m.areaTwips = QRect(area.topLeft() * TwipsPerPixel, area.size() * TwipsPerPixel);
        m.corniceTwips = CorniceFinestra(form) * TwipsPerPixel;
        // The work area is in the screen's own coordinates: so is the form's
        // place. Its size is the inside only, since the frame is counted apart.
        const QScreen* suo = form.screen();
        const QRect g(form.frameGeometry().topLeft() - (suo ? suo->geometry().topLeft() : QPoint()), form.size());
        const QRect twips(g.left() * TwipsPerPixel, g.top() * TwipsPerPixel, g.width() * TwipsPerPixel,
                          g.height() * TwipsPerPixel);
        fattore = AdattaFattore(fattore, scelta.adattaAltezza, scelta.adattaLarghezza, twips, m);
    }
    try {
        ScriviMembro(form, "odRisVidVal", Valore(fattore));
    } catch (const ErroreRun&) {
    }
    if (mantieniDim == 0) RidimControlli(form, fattore, escl);
    return fattore;
}
