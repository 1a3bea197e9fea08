#include "common/form/Aiuto.h"

#include "common/form/CodiciTasti.h"
#include "components/platform/ServizioDialoghi.h"
#include "components/util/Percorsi.h"
#include "components/util/UtilGenerali.h"
#include "contesto/Contesto.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>
#include <QVariant>
#include <QWidget>

namespace {

long IdContesto(const QWidget* w) {
    const QVariant v = w ? w->property("HelpContextID") : QVariant();
    return v.isValid() ? static_cast<long>(v.toLongLong()) : 0;
}

void Chiama(QWidget* finestra, const QString& file, int comando, long dato) {
    Contesto& c = ctx();
    if (!c.ggHelp) c.ggHelp = std::make_shared<ServizioHelpDesktop>();
    c.ggHelp->HtmlHelp(finestra, file, comando, dato);
}

}  // namespace

void ServizioHelpDesktop::HtmlHelp(QWidget*, const QString& file, int comando, long) {
    // A topic needs the contents already open (HelpContesto opens them first).
    if (comando == ComandoHelp::Contesto) return;
    const QString locale = PercorsoLocale(file);
    if (QFileInfo::exists(locale) && QDesktopServices::openUrl(QUrl::fromLocalFile(locale))) return;
    const Contesto& c = ctx();
    if (c.ggDialoghi)
        c.ggDialoghi->msgBox(QStringLiteral("Impossibile aprire la guida:\nnessun programma per visualizzare il file ") + file,
                             StileMsg::Esclamativo, c.gsTitoloApp);
}

QString FileHelpChm() {
    const UtilGenerali& u = ggUtil();
    QString nome = ctx().gsFileHelp;
    if (u.EVuoto(nome)) return {};
    if (nome.right(4).compare(QLatin1String(".chm"), Qt::CaseInsensitive) == 0) return nome;
    // A name too short to carry an ending has no compiled twin.
    if (nome.size() < 4) return {};
    nome = nome.left(nome.size() - 4) + QStringLiteral(".chm");
    return u.EsisteFile(nome) ? nome : QString();
}

void MostraSommarioHelp(QWidget* finestra, const QString& file) { Chiama(finestra, file, ComandoHelp::Sommario, 0); }

void HelpParolaChiave(QWidget* finestra, const QString& file) { Chiama(finestra, file, ComandoHelp::Indice, 0); }

void HelpContesto(QWidget* finestra, const QString& file, long contesto) {
    MostraSommarioHelp(finestra, file);
    Chiama(finestra, file, ComandoHelp::Contesto, contesto);
}

long ContestoHelpContenitore(QWidget* controllo) {
    QWidget* contenitore = controllo ? controllo->parentWidget() : nullptr;
    if (!contenitore) return 0;
    const long id = IdContesto(contenitore);
    if (id > 0) return id;
    return ContestoHelpContenitore(contenitore);
}

long ContestoHelpAttivo(QWidget& form) {
    QWidget* attivo = form.focusWidget();
    if (!attivo) return IdContesto(&form);
    const long proprio = IdContesto(attivo);
    if (proprio >= 1) return proprio;
    const long contenitore = ContestoHelpContenitore(attivo);
    if (contenitore != 0) return contenitore;
    return IdContesto(&form);
}

bool TastoHelp(int& KeyCode, int Shift, QWidget& form, long contesto) {
    if (KeyCode != Tasto::F1) return false;
    const QString file = FileHelpChm();
    if (ggUtil().EVuoto(file)) return false;
    if (Shift == Maiusc::Ctrl) MostraSommarioHelp(&form, file);
    else if (Shift == Maiusc::Alt) HelpParolaChiave(&form, file);
    else HelpContesto(&form, file, contesto < 0 ? ContestoHelpAttivo(form) : contesto);
    KeyCode = 0;
    return true;
}
