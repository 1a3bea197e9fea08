#include "print/opzioni/FrmSceltaStam.h"

#include "common/DialoghiQt.h"
#include "common/form/Aiuto.h"
#include "common/form/Scala.h"
#include "common/form/Tastiera.h"
#include "common/form/UtilForm.h"
#include "components/core/ErroreRun.h"
#include "components/platform/Schermo.h"
#include "components/platform/ServizioDialoghi.h"
#include "components/stampa/OpzSta.h"
#include "components/stampanti/ServizioStampanti.h"
#include "components/util/UtilGenerali.h"
#include "print/opzioni/TitoloPorta.h"
#include "contesto/Contesto.h"
#include "contesto/ImpostazioniIni.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

namespace {

QPointer<FrmSceltaStam>& istanza() {
    static QPointer<FrmSceltaStam> f;
    return f;
}

const QString PaginaDa = QStringLiteral("PaginaDa");
const QString PaginaA = QStringLiteral("PaginaA");

// Page numbers as the boxes show them: empty for 0 (no limit).
QString testoPagina(const Valore& v) {
    const auto n = static_cast<long>(v.numero());
    return n == 0 ? QString() : QString::number(n);
}

bool siMenu(const char* nome) {
    return LeggiValMenu(QString::fromLatin1(nome)).testo().compare(QStringLiteral("S"), Qt::CaseInsensitive) == 0;
}

}  // namespace

FrmSceltaStam& FrmSceltaStam::Istanza() {
    auto& f = istanza();
    if (!f) {
        f = new FrmSceltaStam();
        f->Form_Load();
    }
    return *f;
}

bool FrmSceltaStam::Caricata() { return !istanza().isNull(); }

std::function<void(FrmSceltaStam&)>& FrmSceltaStam::MostraModale() {
    static std::function<void(FrmSceltaStam&)> mostra = [](FrmSceltaStam& f) {
        AttesaUtente attesa;
        f.exec();
    };
    return mostra;
}

bool FrmSceltaStam::Apri(std::shared_ptr<OpzSta> opz) {
    if (!opz) throw ErroreRun(NumErrore::OggettoNonImpostato, QStringLiteral("Variabile oggetto non impostata (ogOpzSta)"));
    FrmSceltaStam& f = Istanza();
    f.ogOpzSta = std::move(opz);
    if (!f.VisDecodOk()) return false;
    f.SopraChiamante();
    MostraModale()(f);
    return true;
}

void FrmSceltaStam::SopraChiamante() {
    if (isVisible()) return;
    QWidget* chiamante = finestraCheChiede();
    if (chiamante) chiamante = chiamante->window();
    if (!chiamante || chiamante == this || chiamante == parentWidget()) return;
    setParent(chiamante, windowFlags());
}

FrmSceltaStam::FrmSceltaStam() {
    setWindowTitle(QStringLiteral("Scelta della modalità di stampa"));
    setModal(true);

    labStaAttuale = new QLabel(this);
    labStaAttuale->setObjectName(QStringLiteral("labStaAttuale"));
    labStaAttuale->setFrameShape(QFrame::Panel);
    labStaAttuale->setFrameShadow(QFrame::Sunken);

    Fra0 = new QGroupBox(QStringLiteral("Stampa su: "), this);
    ImpostaElemento(Fra0, QStringLiteral("Fra"), 0);
    Fra0->installEventFilter(this);
    auto* strade = new QVBoxLayout(Fra0);
    const char* didascalie[4] = {"&Stampante", "&Video", "&File", "File/stam. a &lung. fissa"};
    for (int i = 0; i < 4; ++i) {
        OptStampaSu[i] = new QRadioButton(QString::fromUtf8(didascalie[i]), Fra0);
        ImpostaElemento(OptStampaSu[i], QStringLiteral("OptStampaSu"), i);
        strade->addWidget(OptStampaSu[i]);
        connect(OptStampaSu[i], &QRadioButton::clicked, this, [this, i] { OptStampaSu_Click(i); });
    }

    CheNumPag = new QCheckBox(QStringLiteral("Mess.Numero pagine"), this);
    CheNumPag->setObjectName(QStringLiteral("CheNumPag"));
    connect(CheNumPag, &QCheckBox::clicked, this, [this](bool spuntata) {
        ogOpzSta->ImpOpzione(QStringLiteral("MostraNumPag"), 12, spuntata);
    });

    auto nuovoTxt = [this](QWidget* padre, int indice) {
        auto* t = new QLineEdit(padre);
        ImpostaElemento(t, QStringLiteral("txt"), indice);
        t->setMaximumWidth(60);
        return t;
    };
    auto rigaPagine = [&](QWidget* padre, QGridLayout* g, int riga, int da, int a) {
        g->addWidget(new QLabel(QStringLiteral("Stampa Pagine da:"), padre), riga, 0);
        g->addWidget(nuovoTxt(padre, da), riga, 1);
        g->addWidget(new QLabel(QStringLiteral("a:"), padre), riga, 2);
        g->addWidget(nuovoTxt(padre, a), riga, 3);
    };

    const char* titoliPagine[4] = {"Scelta della stampante:", "Opzioni di Visualizzazione:", "Opzioni del file:",
                                   "Opzioni per la stampa / file a lunghezza fissa:"};
    // The four frames share one place; only the current route's is shown.
    pagine = new QWidget(this);
    auto* posto = new QGridLayout(pagine);
    posto->setContentsMargins(0, 0, 0, 0);
    for (int i = 0; i < 4; ++i) {
        FraOpz[i] = new QGroupBox(QString::fromUtf8(titoliPagine[i]), pagine);
        ImpostaElemento(FraOpz[i], QStringLiteral("FraOpz"), i);
        posto->addWidget(FraOpz[i], 0, 0);
        FraOpz[i]->setVisible(i == 0);
    }

    // Printer page.
    auto* g0 = new QGridLayout(FraOpz[0]);
    CheForzaVert = new QCheckBox(
        QStringLiteral("Forza la stampa in verticale (Da utilizzarsi solo in caso di foglio più grande  dell' A4)"),
        FraOpz[0]);
    CheForzaVert->setObjectName(QStringLiteral("CheForzaVert"));
    connect(CheForzaVert, &QCheckBox::clicked, this, [this](bool spuntata) {
        ogOpzSta->ForzaVert = spuntata ? -1 : 0;
        VisStaAttuale();
    });
    g0->addWidget(CheForzaVert, 0, 0, 1, 5);
    rigaPagine(FraOpz[0], g0, 1, 10, 20);
    ChePdfAutom = new QCheckBox(QStringLiteral("Nome file Pdf autom."), FraOpz[0]);
    ChePdfAutom->setObjectName(QStringLiteral("ChePdfAutom"));
    CheInviaEmail = new QCheckBox(QStringLiteral("Invia per Email"), FraOpz[0]);
    CheInviaEmail->setObjectName(QStringLiteral("CheInviaEmail"));
    connect(ChePdfAutom, &QCheckBox::clicked, this, &FrmSceltaStam::ChePdfAutom_Click);
    connect(CheInviaEmail, &QCheckBox::clicked, this, &FrmSceltaStam::CheInviaEmail_Click);
    g0->addWidget(ChePdfAutom, 2, 0, 1, 2);
    g0->addWidget(CheInviaEmail, 2, 2, 1, 3);
    g0->setColumnStretch(4, 1);

    // Preview page.
    auto* g1 = new QGridLayout(FraOpz[1]);
    g1->addWidget(new QLabel(QStringLiteral("Fattore di visualizzazione:"), FraOpz[1]), 0, 0);
    labFatt = new QLabel(FraOpz[1]);
    labFatt->setObjectName(QStringLiteral("labFatt"));
    g1->addWidget(labFatt, 0, 1);
    g1->addWidget(new QLabel(QStringLiteral("Memorizza pagine:"), FraOpz[1]), 1, 0);
    LabMemVid = new QLabel(FraOpz[1]);
    LabMemVid->setObjectName(QStringLiteral("LabMemVid"));
    g1->addWidget(LabMemVid, 1, 1);
    rigaPagine(FraOpz[1], g1, 2, 30, 40);
    g1->setColumnStretch(4, 1);

    costruisciPagine();
    costruisciSalvataggio();
    ComUsaDef = new QPushButton(QStringLiteral("Stampante predefinita"), this);
    ComUsaDef->setObjectName(QStringLiteral("ComUsaDef"));
    ComUsaDef->setAutoDefault(false);
    connect(ComUsaDef, &QPushButton::clicked, this, &FrmSceltaStam::ComUsaDef_Click);
    auto* didascaliaTot = new QLabel(QStringLiteral("Stampanti disponibili"), this);
    ImpostaElemento(didascaliaTot, QStringLiteral("Lab"), 9);
    labTotStamp = new QLabel(this);
    labTotStamp->setObjectName(QStringLiteral("labTotStamp"));
    ComParIniPE = new QPushButton(QStringLiteral("Par ini Pdf/Email"), this);
    ComParIniPE->setObjectName(QStringLiteral("ComParIniPE"));
    ComParIniPE->setAutoDefault(false);
    connect(ComParIniPE, &QPushButton::clicked, this, &FrmSceltaStam::ComParIniPE_Click);

    ComChiudi = new QPushButton(QStringLiteral("&Chiudi"), this);
    ComChiudi->setObjectName(QStringLiteral("ComChiudi"));
    ComChiudi->setAutoDefault(false);
    connect(ComChiudi, &QPushButton::clicked, this, &FrmSceltaStam::ComChiudi_Click);

    auto* alto = new QHBoxLayout;
    alto->addWidget(Fra0);
    auto* destra = new QVBoxLayout;
    destra->addWidget(CheNumPag);
    destra->addWidget(ComUsaDef);
    auto* totale = new QHBoxLayout;
    totale->addWidget(didascaliaTot);
    totale->addWidget(labTotStamp, 1);
    destra->addLayout(totale);
    destra->addWidget(ComSalOpz);
    destra->addWidget(ComCancOpz);
    destra->addWidget(ComParIniPE);
    destra->addStretch();
    destra->addWidget(ComChiudi);
    alto->addLayout(destra);
    // The two panels cover the rest of the dialog while they are shown.
    contenuto_ = new QWidget(this);
    auto* principale = new QVBoxLayout(contenuto_);
    principale->setContentsMargins(0, 0, 0, 0);
    principale->addWidget(labStaAttuale);
    principale->addLayout(alto);
    principale->addWidget(pagine);
    auto* tutto = new QVBoxLayout(this);
    // Always the size of what is shown: a panel that closes leaves no room behind.
    tutto->setSizeConstraint(QLayout::SetFixedSize);
    tutto->addWidget(contenuto_);
    scorrimentoSal_ = PannelloScorrevole(PicSalPar, tutto);
    costruisciPdfEmail(tutto);
    PicSalPar->installEventFilter(this);
    pannelloPE_->installEventFilter(this);
}

void FrmSceltaStam::Form_Load() {
    AttivaAnteprimaTasti(*this);
    setProperty("HelpContextID", 88);

    ChePdfAutom->setChecked(false);
    CheInviaEmail->setChecked(false);
    try {
        // The automatic PDF needs a PDF printer that the menu enables.
        if (!siMenu("UsaPdfCreator") && !siMenu("UsaPdf995")) {
            ChePdfAutom->setVisible(false);
            CheInviaEmail->setVisible(false);
        } else if (!siMenu("StampeEmail")) {
            CheInviaEmail->setVisible(false);
        }
    } catch (const ErroreRun&) {
    }
    // Printers without a bin choice: "tutte", or names between commas.
    try {
        msStampantiNoCassetti = LeggiParPers(QStringLiteral("Tutti"), QStringLiteral("StampantiNoCassetti"), QString()).testo();
    } catch (const ErroreRun&) {
        // Without the menu's parameter every printer offers its bins.
    }
    if (msStampantiNoCassetti.trimmed().compare(QStringLiteral("tutte"), Qt::CaseInsensitive) != 0)
        msStampantiNoCassetti = QStringLiteral(",") + msStampantiNoCassetti + QStringLiteral(",");
    riempiGriglie();
    osRisVidKey = QStringLiteral("StaVid");
    try {
        double fattore = -2;
        RisVidForm(*this, 0, fattore);
    } catch (const ErroreRun&) {
    }
    larghezzeGriglie();
}

QLineEdit* FrmSceltaStam::txt(int indice) const {
    return qobject_cast<QLineEdit*>(Elemento(*this, QStringLiteral("txt"), indice));
}

bool FrmSceltaStam::VisDecodOk() {
    if (ctx().giStaAtt == 1) {
        ctx().ggDialoghi->msgBox(QStringLiteral("C'è una stampa in esecuzione. Non è possibile variare i parametri di stampa"),
                                 StileMsg::SoloOk | StileMsg::Critico, ctx().gsTitoloApp);
        return false;
    }
    VisStaAttuale();
    for (int i = 0; i < 4; ++i)
        if (ogOpzSta->ModoEscluso(i)) OptStampaSu[i]->setEnabled(false);
    // A route the caller excludes is never selected: the printer, else the preview.
    int percorso = ogOpzSta->oiStaVid;
    if (percorso >= 0 && percorso < 4 && ogOpzSta->ModoEscluso(percorso))
        percorso = !ogOpzSta->ModoEscluso(OpzSta::Stampante) ? OpzSta::Stampante : OpzSta::Video;
    if (percorso >= 0 && percorso < 4) {
        OptStampaSu[percorso]->setChecked(true);
        OptStampaSu_Click(percorso);
    }
    CheForzaVert->setChecked(ogOpzSta->ForzaVert == -1);
    MostraPagine(txt(10), txt(20));
    CheNumPag->setChecked(ogOpzSta->LeggiOpzione(QStringLiteral("MostraNumPag")).booleano());
    MostraOpzVideo();
    MostraOpzFile();
    MostraOpzFissa();
    ImpostaCboCassetti();
    ImpostaCboTipoCarta();
    return true;
}

void FrmSceltaStam::VisStaAttuale() {
    labStaAttuale->setText(ogOpzSta->DescrStampante(ggStampanti().NomeCorrente()));
}

void FrmSceltaStam::OptStampaSu_Click(int indice) {
    for (QGroupBox* f : FraOpz) f->setEnabled(false);
    FraOpz[indice]->setEnabled(true);
    for (int i = 0; i < 4; ++i) FraOpz[i]->setVisible(i == indice);
    if (indice == OpzSta::Video) ogOpzSta->VideoScelto = true;
    ogOpzSta->oiStaVid = indice;
    VisStaAttuale();
}

void FrmSceltaStam::MostraPagine(QLineEdit* da, QLineEdit* a) {
    da->setText(testoPagina(ogOpzSta->LeggiOpzione(PaginaDa)));
    a->setText(testoPagina(ogOpzSta->LeggiOpzione(PaginaA)));
}

void FrmSceltaStam::MostraOpzVideo() {
    labFatt->setText(QString::number(ggUtil().Arrotonda(ogOpzSta->Fatt * 100, 0)));
    LabMemVid->setText(ogOpzSta->MemVid == 1 ? QStringLiteral("Si") : QStringLiteral("No"));
    MostraPagine(txt(30), txt(40));
}

void FrmSceltaStam::Form_Activate() {
    mbCaricamento = true;
    const bool pdf = ogOpzSta->LeggiOpzione(QStringLiteral("PdfAutomAbil")).booleano() && !ChePdfAutom->isHidden();
    ChePdfAutom->setChecked(pdf);
    CheInviaEmail->setEnabled(pdf);
    if (ogOpzSta->LeggiOpzione(QStringLiteral("EmailInvia")).booleano() && !CheInviaEmail->isHidden())
        CheInviaEmail->setChecked(true);
    QCoreApplication::processEvents();
    mbCaricamento = false;
}

void FrmSceltaStam::txt_GotFocus(int Index) {
    QLineEdit* t = txt(Index);
    if (!t) return;
    SelezTestoAttivo();
    ColoriFrmStampa(t);
    t->setProperty("Tag", t->text());
}

void FrmSceltaStam::txt_LostFocus(int Index) {
    QLineEdit* t = txt(Index);
    if (!t) return;
    if (Index >= 1000) {
        numeroPdfEmailLasciato(Index);
        return;
    }
    // A page number, shown whole and empty for 0; 0 is no limit.
    const double letto = std::clamp(ggUtil().Arrotonda(ggUtil().ValoreNumerico(t->text()), 0), -32768.0, 32767.0);
    const int n = static_cast<int>(letto);
    t->setText(n == 0 ? QString() : QString::number(n));
    ogOpzSta->ImpOpzione(Index == 10 || Index == 30 ? PaginaDa : PaginaA, 12, n);
    // The printer and preview pages show the same range.
    const int gemello = Index == 10 ? 30 : Index == 20 ? 40 : Index == 30 ? 10 : 20;
    if (QLineEdit* g = txt(gemello)) {
        g->setText(t->text());
        ImpostaBackColor(g, BackColor(t));
    }
}

void FrmSceltaStam::Form_KeyDown(int& KeyCode, int Shift) {
    if (TastoHelp(KeyCode, Shift, *this, -1)) return;
    if (KeyCode == Tasto::Invio && (Shift & (Maiusc::Ctrl | Maiusc::Alt)) == 0) {
        try {
            SpostaFuocoTab(1, Shift, this);
        } catch (const ErroreRun&) {
        }
        KeyCode = 0;
    }
}

void FrmSceltaStam::Form_KeyPress(int& KeyAscii) {
    if (KeyAscii == Tasto::Invio || KeyAscii == Tasto::Esc) KeyAscii = 0;
}

void FrmSceltaStam::keyPressEvent(QKeyEvent* e) {
    // Neither Enter nor Escape closes the dialog.
    switch (e->key()) {
    case Qt::Key_Escape:
    case Qt::Key_Return:
    case Qt::Key_Enter: e->accept(); return;
    default: QDialog::keyPressEvent(e);
    }
}

bool FrmSceltaStam::event(QEvent* e) {
    if (e->type() == QEvent::WindowActivate && ogOpzSta) Form_Activate();
    return QDialog::event(e);
}

bool FrmSceltaStam::eventFilter(QObject* o, QEvent* e) {
    // The hidden switch on the route frame.
    if (o == Fra0 && e->type() == QEvent::MouseButtonDblClick && ogOpzSta) ogOpzSta->OpzNascosta = true;
    if ((o == PicSalPar || o == pannelloPE_) &&
        (e->type() == QEvent::ShowToParent || e->type() == QEvent::HideToParent)) {
        const bool pagina = PicSalPar->isHidden() && pannelloPE_->isHidden();
        // A panel makes the dialog grow, and the fit to the screen may move
        // it: when the panels are gone it goes back where it stood.
        if (!pagina && contenuto_->isVisible() && isVisible()) posPrimaPannello_ = pos();
        const bool torna = pagina && !contenuto_->isVisible() && posPrimaPannello_;
        // The page comes back only once the panel's room is gone, so that the
        // dialog never holds both.
        if (!pagina) contenuto_->setVisible(false);
        auto* pannello = static_cast<QWidget*>(o);
        QScrollArea* scorrimento = o == pannelloPE_ ? scorrimentoPE_ : scorrimentoSal_;
        // As wide and as tall as the panel where the screen allows, frame
        // included; scrolled beyond.
        const int barra = scorrimento->verticalScrollBar()->sizeHint().width();
        const QRect area = screen() ? screen()->availableGeometry() : QRect(0, 0, 1024, 768);
        const QMargins cornice = CorniceFinestra(*this);
        const QMargins margini = layout() ? layout()->contentsMargins() : QMargins();
        const int largMassima = area.width() - cornice.left() - cornice.right() - margini.left() - margini.right();
        const int larghezza = pannello->sizeHint().width() + barra;
        const bool stretto = larghezza > largMassima;
        scorrimento->setHorizontalScrollBarPolicy(stretto ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
        scorrimento->setMinimumWidth(std::min(larghezza, largMassima));
        const int sotto = stretto ? scorrimento->horizontalScrollBar()->sizeHint().height() : 0;
        scorrimento->setMinimumHeight(std::min(pannello->sizeHint().height() + sotto, area.height() * 3 / 4));
        scorrimento->setVisible(!pannello->isHidden());
        if (pagina) contenuto_->setVisible(true);
        if (torna) {
            // Once back at the page's size, where it stood.
            QTimer::singleShot(0, this, [this, p = *posPrimaPannello_] { move(p); });
            posPrimaPannello_.reset();
        }
    }
    return QDialog::eventFilter(o, e);
}

bool FrmSceltaStam::ControlliChiusura() {
    if (!ogOpzSta) return true;
    QString messaggio;
    const QString manca = QStringLiteral("In caso di stampa su file è obbligatorio specificare il nome file.");
    if (ogOpzSta->oiStaVid == OpzSta::File && ogOpzSta->FileName.isEmpty())
        messaggio = manca;
    else if (ogOpzSta->oiStaVid == OpzSta::LarghezzaFissa && ogOpzSta->FisFileName.isEmpty())
        messaggio = manca;
    else {
        // "A" 0 means to the last page, so any first page goes with it.
        const double da = ogOpzSta->LeggiOpzione(PaginaDa).numero();
        const double a = ogOpzSta->LeggiOpzione(PaginaA).numero();
        if (a != 0 && da > a) messaggio = QStringLiteral("Selezione Pagina Da maggiore di Pagina A");
    }
    if (messaggio.isEmpty()) return true;
    ctx().ggDialoghi->msgBox(messaggio, StileMsg::SoloOk, ctx().gsTitoloApp);
    return false;
}

void FrmSceltaStam::ComChiudi_Click() { done(QDialog::Accepted); }

void FrmSceltaStam::done(int r) {
    // A login request closed by the window's box is abandoned, never taken
    // for new data (which would send again with the refused login).
    if (oiRichDatiEmail == 1000)
        oiRichDatiEmail = 200;
    else if (!ControlliChiusura())
        return;
    QDialog::done(r);
    // Unloaded: the next opening loads a new instance.
    if (istanza() == this) istanza() = nullptr;
    deleteLater();
}
