#include "common/FrmConn.h"

#include "common/MsgErrori.h"
#include "components/menu/MenuClient.h"
#include "contesto/Contesto.h"

#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QVBoxLayout>

FrmConn::FrmConn() {
    setObjectName(QStringLiteral("frmConn"));
    setWindowTitle(QStringLiteral("Connessione al database"));
    setWindowFlag(Qt::SplashScreen);
    auto* l = new QVBoxLayout(this);
    labTitolo = new QLabel(ctx().gsTitoloApp, this);
    labVersione = new QLabel(this);
    LabDataVer = new QLabel(this);
    imgAccess = new QLabel(this);
    txtNomeDb = new QLineEdit(this);
    txtNomeDb->setReadOnly(true);
    for (QWidget* w : {static_cast<QWidget*>(labTitolo), static_cast<QWidget*>(labVersione),
                       static_cast<QWidget*>(LabDataVer), static_cast<QWidget*>(imgAccess),
                       static_cast<QWidget*>(txtNomeDb)})
        l->addWidget(w);
    resize(360, 160);
    if (QScreen* s = QGuiApplication::primaryScreen()) {
        const QRect g = s->geometry();
        move((g.width() - width()) / 2, (g.height() - height()) / 2);
    }
}

static QPointer<FrmConn>& istanza() {
    static QPointer<FrmConn> f;
    return f;
}

FrmConn& CaricaFrmConn() {
    if (!istanza()) {
        istanza() = new FrmConn();
        ImpostaScaricaFrmConn(ScaricaFrmConn);
    }
    return *istanza();
}

void MostraFrmConn(const QString& caption) {
    FrmConn& f = CaricaFrmConn();
    f.setWindowTitle(caption);
    f.show();
    f.repaint();
}

void ScaricaFrmConn() {
    // A form loaded while another one's splash is still being shown (a menu
    // command served during start-up) must not free the splash under it: it
    // goes once control is back in the event loop, and a new one is made if
    // asked for meanwhile.
    if (!istanza()) return;
    FrmConn* f = istanza().data();
    istanza() = nullptr;
    f->hide();
    f->setObjectName(QString());
    f->deleteLater();
}

void MostraVersione(int carica, int accesso) {
    if (carica == 0 && !istanza()) return;
    FrmConn& f = CaricaFrmConn();
    MenuClient* menu = ctx().ggMenuClient.get();
    f.labTitolo->setVisible(true);
    f.labVersione->setText(QStringLiteral("Versione ") + (menu ? menu->LeggiValoreSess(QStringLiteral("Versione")).testo() : QString()));
    f.labVersione->setVisible(true);
    f.LabDataVer->setText(QStringLiteral("del ") + (menu ? menu->LeggiValoreSess(QStringLiteral("DataVersione")).testo() : QString()));
    f.LabDataVer->setVisible(true);
    f.imgAccess->setVisible(accesso != 0);
}
