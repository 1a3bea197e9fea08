// The pages of the print options dialog beyond the route: printer with paper
// bin and size, file, fixed width, the preview's "Cambia", and the panel
// that saves or deletes the options in the settings files.
#include "print/opzioni/FrmSceltaStam.h"

#include "common/FrmMsgCom.h"
#include "common/form/UtilForm.h"
#include "components/core/ErroreRun.h"
#include "components/pages/ModelloGriglia.h"
#include "components/platform/ServizioDialoghi.h"
#include "components/stampa/OpzSta.h"
#include "components/stampanti/ServizioStampanti.h"
#include "components/util/UtilGenerali.h"
#include "contesto/Contesto.h"
#include "contesto/ImpostazioniIni.h"
#include "print/anteprima/frmVStaPar.h"
#include "print/opzioni/ElenchiCarta.h"
#include "print/opzioni/OpzioniIni.h"
#include "print/opzioni/SalvaOpzioni.h"
#include "print/opzioni/Stampanti.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {

const QString NumCassetto = QStringLiteral("NumCassetto");
const QString NumTipoCarta = QStringLiteral("NumTipoCarta");
const QString TitoloFileStampa = QStringLiteral("Nome del file di stampa");

// Columns "N.", "Nome" and "Porta" as wide as "9999" and as the grid's
// letters "M" in its font, which the scaling sets; the grid shows them whole.
void LarghezzeGriglia(QTableWidget* g) {
    const QFontMetrics m(g->font());
    const int larghezze[3] = {m.horizontalAdvance(QStringLiteral("9999")),
                              m.horizontalAdvance(QString(g->property("LettereNome").toInt(), QLatin1Char('M'))),
                              m.horizontalAdvance(QString(g->property("LetterePorta").toInt(), QLatin1Char('M')))};
    for (int i = 0; i < 3; ++i) g->setColumnWidth(i, larghezze[i]);
    // A longer name or port widens its column, never cut.
    AllargaAlContenuto(*g);
    int totale = 0;
    for (int i = 0; i < 3; ++i) totale += g->columnWidth(i);
    g->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    g->setMinimumWidth(totale + 2 * g->frameWidth() + g->verticalScrollBar()->sizeHint().width());
}

QTableWidget* nuovaGriglia(QWidget* padre, const char* nome, int larghezzaNome, int larghezzaPorta) {
    auto* g = new QTableWidget(0, 3, padre);
    g->setObjectName(QString::fromLatin1(nome));
    g->setHorizontalHeaderLabels({QStringLiteral("N."), QStringLiteral("Nome"), QStringLiteral("Porta")});
    g->verticalHeader()->hide();
    g->setSelectionBehavior(QAbstractItemView::SelectRows);
    g->setSelectionMode(QAbstractItemView::SingleSelection);
    g->setEditTriggers(QAbstractItemView::NoEditTriggers);
    g->setProperty("LetterePorta", larghezzaPorta);
    g->setProperty("LettereNome", larghezzaNome);
    LarghezzeGriglia(g);
    return g;
}

void riempiGriglia(QTableWidget* g, const QList<StampanteInstallata>& elenco) {
    g->setRowCount(0);
    for (int k = 0; k < elenco.size(); ++k) {
        g->insertRow(k);
        g->setItem(k, 0, new QTableWidgetItem(QString::number(k)));
        g->setItem(k, 1, new QTableWidgetItem(elenco[k].nome));
        g->setItem(k, 2, new QTableWidgetItem(elenco[k].porta));
    }
}

QString cella(const QTableWidget* g, int riga, int colonna) {
    const auto* c = g->item(riga, colonna);
    return c ? c->text() : QString();
}

int16_t numero16(const QString& t) {
    return static_cast<int16_t>(std::clamp(ggUtil().Arrotonda(ggUtil().ValoreNumerico(t), 0), -32768.0, 32767.0));
}

void messaggio(const QString& t) { frmMsgCom::msgCom(t); }

}  // namespace

// --- Building ---

void FrmSceltaStam::costruisciPagine() {
    // Printer page: the printers, bin and size.
    auto* g0 = qobject_cast<QGridLayout*>(FraOpz[0]->layout());
    GriPri = nuovaGriglia(FraOpz[0], "GriPri", 45, 15);
    g0->addWidget(GriPri, 3, 0, 1, 5);
    connect(GriPri, &QTableWidget::cellClicked, this, [this](int r, int) { GriPri_Click(r); });
    g0->addWidget(new QLabel(QStringLiteral("Cassetto:"), FraOpz[0]), 4, 0);
    cboCassetti = new QComboBox(FraOpz[0]);
    cboCassetti->setObjectName(QStringLiteral("cboCassetti"));
    g0->addWidget(cboCassetti, 4, 1, 1, 4);
    g0->addWidget(new QLabel(QStringLiteral("Tipo carta:"), FraOpz[0]), 5, 0);
    cboTipoCarta = new QComboBox(FraOpz[0]);
    cboTipoCarta->setObjectName(QStringLiteral("cboTipoCarta"));
    g0->addWidget(cboTipoCarta, 5, 1, 1, 4);
    connect(cboCassetti, &QComboBox::activated, this, [this] { numeroDaCombo(cboCassetti, "NumCassetto"); });
    connect(cboTipoCarta, &QComboBox::activated, this, [this] { numeroDaCombo(cboTipoCarta, "NumTipoCarta"); });

    // Preview page: "Cambia".
    auto* g1 = qobject_cast<QGridLayout*>(FraOpz[1]->layout());
    ComOpz[1] = new QPushButton(QStringLiteral("Cambia"), FraOpz[1]);
    g1->addWidget(ComOpz[1], 0, 2);

    // File page.
    auto* g2 = new QGridLayout(FraOpz[2]);
    g2->addWidget(new QLabel(QStringLiteral("File di stampa:"), FraOpz[2]), 0, 0);
    LabFileName = new QLabel(FraOpz[2]);
    LabFileName->setObjectName(QStringLiteral("LabFileName"));
    g2->addWidget(LabFileName, 0, 1, 1, 2);
    g2->addWidget(new QLabel(QStringLiteral("Formato:"), FraOpz[2]), 1, 0);
    LabFileForm = new QLabel(FraOpz[2]);
    LabFileForm->setObjectName(QStringLiteral("LabFileForm"));
    g2->addWidget(LabFileForm, 1, 1);
    ComOpz[2] = new QPushButton(QStringLiteral("Cambia"), FraOpz[2]);
    g2->addWidget(ComOpz[2], 1, 2);
    auto* fraSep = new QGroupBox(QStringLiteral("Separatore campi :"), FraOpz[2]);
    auto* lSep = new QVBoxLayout(fraSep);
    auto* gruppoSep = new QButtonGroup(fraSep);
    const char* sep[4] = {"Ta&bulatore", "&Punto e virgola", "&Virgola", "&Spazio"};
    for (int i = 0; i < 4; ++i) {
        OptSepCampi[i] = new QRadioButton(QString::fromUtf8(sep[i]), fraSep);
        ImpostaElemento(OptSepCampi[i], QStringLiteral("OptSepCampi"), i);
        gruppoSep->addButton(OptSepCampi[i]);
        lSep->addWidget(OptSepCampi[i]);
        connect(OptSepCampi[i], &QRadioButton::clicked, this, [this, i] {
            if (!ogOpzSta) return;
            static const QString valori[4] = {QStringLiteral("\t"), QStringLiteral(";"), QStringLiteral(","),
                                              QStringLiteral(" ")};
            ogOpzSta->SepCampi = valori[i];
            VisStaAttuale();
        });
    }
    auto* fraDelim = new QGroupBox(QStringLiteral("Qualificatore testo:"), FraOpz[2]);
    auto* lDelim = new QVBoxLayout(fraDelim);
    auto* gruppoDelim = new QButtonGroup(fraDelim);
    const char* delim[3] = {"\" &Doppio apice", "' S&ingolo apice", "&Nessuno"};
    for (int i = 0; i < 3; ++i) {
        OptDelimStr[i] = new QRadioButton(QString::fromUtf8(delim[i]), fraDelim);
        ImpostaElemento(OptDelimStr[i], QStringLiteral("OptDelimStr"), i);
        gruppoDelim->addButton(OptDelimStr[i]);
        lDelim->addWidget(OptDelimStr[i]);
        connect(OptDelimStr[i], &QRadioButton::clicked, this, [this, i] {
            if (!ogOpzSta) return;
            static const QString valori[3] = {QStringLiteral("\""), QStringLiteral("'"), QString()};
            ogOpzSta->DelimStr = valori[i];
            VisStaAttuale();
        });
    }
    // On first showing the tab and the double quote are marked.
    OptSepCampi[0]->setChecked(true);
    OptDelimStr[0]->setChecked(true);
    g2->addWidget(fraSep, 2, 0);
    g2->addWidget(fraDelim, 2, 1);
    CheNumNoForm = new QCheckBox(QStringLiteral("Tolgo il formato nei campi numerici"), FraOpz[2]);
    CheNumNoForm->setObjectName(QStringLiteral("CheNumNoForm"));
    connect(CheNumNoForm, &QCheckBox::toggled, this, [this](bool on) {
        if (ogOpzSta) ogOpzSta->NumNoForm = on;
    });
    g2->addWidget(CheNumNoForm, 3, 0, 1, 3);

    // Fixed-width page.
    auto* g3 = new QGridLayout(FraOpz[3]);
    auto numeroFis = [&](QLineEdit*& t, const char* nome, const char* etichetta, int riga, int col, int OpzSta::*membro) {
        g3->addWidget(new QLabel(QString::fromUtf8(etichetta), FraOpz[3]), riga, col);
        t = new QLineEdit(FraOpz[3]);
        t->setObjectName(QString::fromLatin1(nome));
        t->setMaximumWidth(60);
        g3->addWidget(t, riga, col + 1);
        connect(t, &QLineEdit::editingFinished, this, [this, t, membro] {
            if (ogOpzSta) (*ogOpzSta).*membro = numero16(t->text());
        });
    };
    numeroFis(TxtFisMrAlt, "TxtFisMrAlt", "Righe vuote in alto:", 0, 0, &OpzSta::FisMrAlt);
    numeroFis(TxtFisMrBas, "TxtFisMrBas", "Righe vuote in basso:", 1, 0, &OpzSta::FisMrBas);
    numeroFis(TxtFisColonne, "TxtFisColonne", "Colonne:", 0, 2, &OpzSta::FisColonne);
    numeroFis(TxtFisRighe, "TxtFisRighe", "Righe per pagina:", 1, 2, &OpzSta::FisRighe);
    auto codice = [&](QLineEdit*& t, const char* nome, const char* etichetta, int riga, QString OpzSta::*membro) {
        g3->addWidget(new QLabel(QString::fromUtf8(etichetta), FraOpz[3]), riga, 0);
        t = new QLineEdit(FraOpz[3]);
        t->setObjectName(QString::fromLatin1(nome));
        g3->addWidget(t, riga, 1);
        connect(t, &QLineEdit::editingFinished, this, [this, t, membro] {
            if (ogOpzSta) (*ogOpzSta).*membro = t->text();
        });
    };
    codice(TxtFisCodIniComp, "TxtFisCodIniComp", "Inizio compresso:", 2, &OpzSta::FisCodIniComp);
    codice(TxtFisCodFinComp, "TxtFisCodFinComp", "Fine compresso:", 3, &OpzSta::FisCodFinComp);
    CheFisUtilComp = new QCheckBox(QStringLiteral("Stampo in compresso"), FraOpz[3]);
    CheFisUtilComp->setObjectName(QStringLiteral("CheFisUtilComp"));
    connect(CheFisUtilComp, &QCheckBox::toggled, this, [this](bool on) {
        if (!ogOpzSta) return;
        ogOpzSta->FisUtilComp = on;
        VisStaAttuale();
    });
    g3->addWidget(CheFisUtilComp, 2, 2, 1, 2);
    g3->addWidget(new QLabel(QStringLiteral("File di stampa:"), FraOpz[3]), 4, 0);
    LabFileStampaFis = new QLabel(FraOpz[3]);
    LabFileStampaFis->setObjectName(QStringLiteral("LabFileStampaFis"));
    g3->addWidget(LabFileStampaFis, 4, 1, 1, 2);
    ComOpz[3] = new QPushButton(QStringLiteral("&Nome File"), FraOpz[3]);
    g3->addWidget(ComOpz[3], 4, 3);
    GriPorte = nuovaGriglia(FraOpz[3], "GriPorte", 40, 10);
    g3->addWidget(GriPorte, 5, 0, 1, 4);
    connect(GriPorte, &QTableWidget::cellClicked, this, [this](int r, int) { GriPorte_Click(r); });

    for (int i = 1; i <= 3; ++i) {
        ImpostaElemento(ComOpz[i], QStringLiteral("ComOpz"), i);
        ComOpz[i]->setAutoDefault(false);
        connect(ComOpz[i], &QPushButton::clicked, this, [this, i] { ComOpz_Click(i); });
    }
}

void FrmSceltaStam::costruisciSalvataggio() {
    PicSalPar = new QWidget(this);
    PicSalPar->setObjectName(QStringLiteral("PicSalPar"));
    PicSalPar->setAutoFillBackground(true);
    auto* l = new QVBoxLayout(PicSalPar);
    auto* sopra = new QHBoxLayout;
    FraQualeIni = new QGroupBox(QStringLiteral("Dove salvare"), PicSalPar);
    auto* lq = new QVBoxLayout(FraQualeIni);
    OptIniPers = new QRadioButton(QStringLiteral("Parametri di questo terminale"), FraQualeIni);
    OptIniStd = new QRadioButton(QStringLiteral("Parametri comuni a tutti i terminali"), FraQualeIni);
    OptIniPers->setObjectName(QStringLiteral("OptIniPers"));
    OptIniStd->setObjectName(QStringLiteral("OptIniStd"));
    OptIniPers->setChecked(true);
    lq->addWidget(OptIniPers);
    lq->addWidget(OptIniStd);
    auto* fraDove = new QGroupBox(QStringLiteral("In quale zona parametri"), PicSalPar);
    auto* ld = new QVBoxLayout(fraDove);
    OptSalInDef = new QRadioButton(QStringLiteral("Nei valori di default"), fraDove);
    OptSalInStamp = new QRadioButton(QStringLiteral("Solo per questa stampa"), fraDove);
    OptSalInDef->setObjectName(QStringLiteral("OptSalInDef"));
    OptSalInStamp->setObjectName(QStringLiteral("OptSalInStamp"));
    OptSalInStamp->setChecked(true);
    ld->addWidget(OptSalInDef);
    ld->addWidget(OptSalInStamp);
    sopra->addWidget(FraQualeIni);
    sopra->addWidget(fraDove);
    l->addLayout(sopra);

    auto* righe = new QWidget(PicSalPar);
    auto* g = new QGridLayout(righe);
    const auto modello = RigheSalvataggio(OpzSta(), 0, QString());
    for (const auto& r : modello) {
        Che[r.riga] = new QCheckBox(righe);
        ImpostaElemento(Che[r.riga], QStringLiteral("Che"), r.riga);
        auto* didascalia = new QLabel(r.didascalia, righe);
        ImpostaElemento(didascalia, QStringLiteral("LabDaSalvare"), r.riga);
        LabValParam[r.riga] = new QLabel(righe);
        ImpostaElemento(LabValParam[r.riga], QStringLiteral("LabValParam"), r.riga);
        const int riga = static_cast<int>(g->rowCount());
        g->addWidget(Che[r.riga], riga, 0);
        g->addWidget(didascalia, riga, 1);
        g->addWidget(LabValParam[r.riga], riga, 2);
    }
    auto* scorre = new QScrollArea(PicSalPar);
    righeSalvataggio_ = scorre;
    scorre->setWidget(righe);
    scorre->setWidgetResizable(true);
    l->addWidget(scorre);

    auto* sotto = new QHBoxLayout;
    auto bottone = [&](QPushButton*& b, const char* nome, const char* didascalia) {
        b = new QPushButton(QString::fromUtf8(didascalia), PicSalPar);
        b->setObjectName(QString::fromLatin1(nome));
        b->setAutoDefault(false);
        sotto->addWidget(b);
    };
    QPushButton *tutto, *niente;
    bottone(tutto, "ComSelTutto", "Seleziona &tutto");
    bottone(niente, "ComDeSelTutto", "Deseleziona t&utto");
    bottone(ComOk, "ComOk", "&Salvare");
    bottone(ComAnnulla, "ComAnnulla", "Annu&lla");
    l->addLayout(sotto);
    connect(tutto, &QPushButton::clicked, this, [this] { SelDeselSalOpz(true); });
    connect(niente, &QPushButton::clicked, this, [this] { SelDeselSalOpz(false); });
    connect(ComOk, &QPushButton::clicked, this, &FrmSceltaStam::ComOk_Click);
    connect(ComAnnulla, &QPushButton::clicked, this, &FrmSceltaStam::ComAnnulla_Click);
    PicSalPar->hide();

    ComSalOpz = new QPushButton(QStringLiteral("Salva op&zioni stampa"), this);
    ComCancOpz = new QPushButton(QStringLiteral("Canc. op&zioni stampa"), this);
    ComSalOpz->setObjectName(QStringLiteral("ComSalOpz"));
    ComCancOpz->setObjectName(QStringLiteral("ComCancOpz"));
    ComSalOpz->setAutoDefault(false);
    ComCancOpz->setAutoDefault(false);
    connect(ComSalOpz, &QPushButton::clicked, this, &FrmSceltaStam::ComSalOpz_Click);
    connect(ComCancOpz, &QPushButton::clicked, this, &FrmSceltaStam::ComCancOpz_Click);
}

// --- Printers, bin and size ---

void FrmSceltaStam::larghezzeGriglie() {
    LarghezzeGriglia(GriPri);
    LarghezzeGriglia(GriPorte);
}

void FrmSceltaStam::riempiGriglie() {
    QList<StampanteInstallata> elenco;
    try {
        elenco = ElencoStampantiWin();
    } catch (const ErroreRun&) {
        elenco = ggStampanti().Installate();
    }
    riempiGriglia(GriPri, elenco);
    labTotStamp->setText(QString::number(elenco.size()));
    riempiGriglia(GriPorte, ggStampanti().Installate());
}

QString FrmSceltaStam::stampanteScelta() const {
    return ogOpzSta->osNomeStampante.isEmpty() ? ggStampanti().NomeCorrente() : ogOpzSta->osNomeStampante;
}

void FrmSceltaStam::numeroDaCombo(QComboBox* c, const char* opzione) {
    ogOpzSta->ImpOpzione(QString::fromLatin1(opzione), 12, NumeroDaVoce(c->currentText()));
    VisStaAttuale();
}

void FrmSceltaStam::ImpostaCboCassetti() {
    const QString nome = stampanteScelta();
    QStringList voci{VoceNessunaImpostazione};
    const QString escluse = msStampantiNoCassetti;
    const bool senza = escluse.trimmed().compare(QStringLiteral("tutte"), Qt::CaseInsensitive) == 0 ||
                       escluse.contains(QStringLiteral(",") + nome + QStringLiteral(","), Qt::CaseInsensitive);
    if (!senza) {
        try {
            voci = VociCassetti(ggStampanti().NumeriCassetti(nome), ggStampanti().NomiCassetti(nome));
        } catch (const ErroreRun& e) {
            frmMsgCom::MsgErrfrm(e);
        }
    }
    cboCassetti->clear();
    cboCassetti->addItems(voci);
    cboCassetti->setCurrentIndex(IndiceVoce(voci, static_cast<int>(ogOpzSta->LeggiOpzione(NumCassetto).numero())));
    numeroDaCombo(cboCassetti, "NumCassetto");
}

void FrmSceltaStam::ImpostaCboTipoCarta() { GetPaperList(true); }

void FrmSceltaStam::GetPaperList(bool pbSettaCbo) {
    const QString nome = stampanteScelta();
    QStringList voci;
    try {
        const QList<int> numeri = ggStampanti().NumeriFormati(nome);
        const QStringList nomi = ggStampanti().NomiFormati(nome);
        // A driver that cannot tell which name goes with which size: the
        // list and the stored size stay as they were.
        if (numeri.size() != nomi.size()) {
            messaggio(QStringLiteral("Errore nel driver nella ricerca informazioni Papersize"));
            return;
        }
        voci = VociFormati(numeri, nomi, ggStampanti().FormatoCorrente(nome));
    } catch (const ErroreRun& e) {
        frmMsgCom::MsgErrfrm(e);
        return;
    }
    if (!pbSettaCbo) {
        messaggio(QStringLiteral("Formati disponibili ") + (voci.size() > 1 ? QStringLiteral("\n") : QString()) +
                  voci.mid(1).join(QStringLiteral("\n")));
        return;
    }
    cboTipoCarta->clear();
    cboTipoCarta->addItems(voci);
    cboTipoCarta->setCurrentIndex(IndiceVoce(voci, static_cast<int>(ogOpzSta->LeggiOpzione(NumTipoCarta).numero())));
    numeroDaCombo(cboTipoCarta, "NumTipoCarta");
}

void FrmSceltaStam::controlloPdfAutom() {
    if (!ChePdfAutom->isChecked()) return;
    const QString pdf = LeggiValMenu(QStringLiteral("UsaPdf995")).testo().compare(QStringLiteral("S"), Qt::CaseInsensitive) == 0
                            ? QStringLiteral("PDF995")
                            : QStringLiteral("PDFCreator");
    // Another printer prints on paper: the automatic PDF goes off, whether a
    // PDF queue is installed or not (the program writes its PDF itself).
    if (stampanteScelta().compare(pdf, Qt::CaseInsensitive) == 0) return;
    mbCaricamento = true;
    ChePdfAutom->setChecked(false);
    ogOpzSta->ImpOpzione(QStringLiteral("PdfAutomAbil"), 12, false);
    CheInviaEmail->setChecked(false);
    CheInviaEmail->setEnabled(false);
    ogOpzSta->ImpOpzione(QStringLiteral("EmailInvia"), 12, false);
    QCoreApplication::processEvents();
    mbCaricamento = false;
}

void FrmSceltaStam::ImpostaStampanteSel(bool pbPredefinita) {
    if (pbPredefinita) {
        QString nome, mancante, porta;
        try {
            StampanteDefWin(nome, mancante, porta);
        } catch (const ErroreRun&) {
            // The default printer only proposes a port; none is fine.
        }
        if (!StampanteCambiata()) {
            const QString daControllare = mancante.isEmpty() ? nome : mancante;
            if (StampanteAltraSessione(daControllare, ggStampanti().giSessioneTerm)) {
                messaggio(QStringLiteral("La stampante (") + daControllare +
                          QStringLiteral(") predefinita appartiene ad un'altra sessione\n"
                                         "Scegliere una stampante o cambiare la stampante predefinita"));
                return;
            }
        }
        ogOpzSta->ImpOpzione(NumCassetto, 12, 0);
        ogOpzSta->ImpOpzione(NumTipoCarta, 12, 0);
        ogOpzSta->osNomeStampante.clear();
        ogOpzSta->NomePorta = porta;
    } else {
        const int riga = GriPri->currentRow();
        if (riga < 0) return;
        ogOpzSta->ImpOpzione(NumCassetto, 12, 0);
        ogOpzSta->ImpOpzione(NumTipoCarta, 12, 0);
        const QString nome = cella(GriPri, riga, 1);
        if (!ImpostaPrinterNome(nome, true, ogOpzSta->osNomeStampante)) return;
        const QString porta = cella(GriPri, riga, 2);
        if (nome.compare(ogOpzSta->osNomeStampante, Qt::CaseInsensitive) != 0 && StampanteCambiata() &&
            !ggStampanti().Cerca(nome)) {
            messaggio(QStringLiteral("Attenzione: la stampante richiesta non è settabile direttamente dopo che è "
                                     "stata fatta una stampa su altra stampante\n"
                                     "Uscire e rientrare e scegliere direttamente questa stampante"));
            ogOpzSta->osNomeStampante = ggStampanti().NomeCorrente();
            ogOpzSta->NomePorta = LeggiPortaStampanteWin(ogOpzSta->osNomeStampante);
        } else {
            ogOpzSta->osNomeStampante = nome;
            ogOpzSta->NomePorta = porta;
        }
    }
    controlloPdfAutom();
    ImpostaCboCassetti();
    ImpostaCboTipoCarta();
    VisStaAttuale();
}

void FrmSceltaStam::GriPri_Click(int riga) {
    GriPri->setCurrentCell(riga, 0);
    ImpostaStampanteSel(false);
}

void FrmSceltaStam::GriPorte_Click(int riga) {
    const int n = static_cast<int>(ggUtil().ValoreNumerico(cella(GriPorte, riga, 0)));
    const auto elenco = ggStampanti().Installate();
    if (n < 0 || n >= elenco.size()) return;
    const auto& p = elenco[n];
    ogOpzSta->FisFileName = StampanteReteNT(p.nome) ? p.nome : p.porta;
    LabFileStampaFis->setText(ogOpzSta->FisFileName);
    ogOpzSta->FisStampante = true;
    VisStaAttuale();
}

void FrmSceltaStam::ComUsaDef_Click() {
    switch (ogOpzSta->oiStaVid) {
    case OpzSta::Stampante:
        try {
            if (ChePdfAutom->isChecked()) {
                ChePdfAutom->click();
                return;
            }
            if (StampanteCambiata()) {
                QString nome, mancante, porta;
                ImpostaPrinterDefWin(nome, mancante, porta);
                if (nome.isEmpty()) {
                    if (StampanteAltraSessione(mancante, ggStampanti().giSessioneTerm))
                        messaggio(QStringLiteral("La stampante (") + mancante +
                                  QStringLiteral(") predefinita appartiene ad un'altra sessione\n"
                                                 "Scegliere una stampante o cambiare la stampante predefinita"));
                    else
                        AzzeraStampanteNonDisp(QStringLiteral("NomeStampante"), mancante, ogOpzSta->Sezione);
                    return;
                }
                if (StampanteAltraSessione(nome, ggStampanti().giSessioneTerm)) {
                    messaggio(QStringLiteral("La stampante (") + nome +
                              QStringLiteral(") predefinita appartiene ad un'altra sessione\n"
                                             "Scegliere una stampante o cambiare la stampante predefinita"));
                    return;
                }
            }
            ImpostaStampanteSel(true);
        } catch (const ErroreRun&) {
            // The default printer is a convenience: a failure leaves the choice as it was.
        }
        return;
    case OpzSta::LarghezzaFissa: {
        QString nome, mancante, porta;
        const auto p = StampanteDefWin(nome, mancante, porta);
        if (nome.isEmpty() || !p) {
            AzzeraStampanteNonDisp(QStringLiteral("FisFileName"), mancante, ogOpzSta->Sezione);
            return;
        }
        ogOpzSta->FisFileName = StampanteReteNT(p->nome) ? p->nome : p->porta;
        LabFileStampaFis->setText(ogOpzSta->FisFileName);
        ogOpzSta->FisStampante = true;
        VisStaAttuale();
        return;
    }
    default: return;
    }
}

// --- File, fixed width, preview ---

int FrmSceltaStam::VersioneExcel() {
    // The program writes spreadsheets itself in the current format.
    return 16;
}

std::function<void(frmVStaPar&)>& FrmSceltaStam::MostraZoom() {
    static std::function<void(frmVStaPar&)> mostra = [](frmVStaPar& f) { f.exec(); };
    return mostra;
}

void FrmSceltaStam::MostraOpzFile() {
    LabFileName->setText(ogOpzSta->FileName);
    LabFileForm->setText(OpzSta::DescrFormatoFile(ogOpzSta->FileForm));
    if (ogOpzSta->FileForm == OpzSta::CompatibileExcel || ogOpzSta->FileForm == OpzSta::FormatoExcel)
        ogOpzSta->FormatoFoglio();
    CheNumNoForm->setEnabled(ogOpzSta->FileForm != OpzSta::CompatibileExcel);
    const QString sep[4] = {QStringLiteral("\t"), QStringLiteral(";"), QStringLiteral(","), QStringLiteral(" ")};
    for (int i = 0; i < 4; ++i)
        if (ogOpzSta->SepCampi == sep[i]) {
            OptSepCampi[i]->setChecked(true);
            break;
        }
    const QString delim[3] = {QStringLiteral("\""), QStringLiteral("'"), QString()};
    for (int i = 0; i < 3; ++i)
        if (ogOpzSta->DelimStr == delim[i]) {
            OptDelimStr[i]->setChecked(true);
            break;
        }
    CheNumNoForm->setChecked(ogOpzSta->NumNoForm);
}

void FrmSceltaStam::MostraOpzFissa() {
    CheFisUtilComp->setChecked(ogOpzSta->FisUtilComp);
    TxtFisMrAlt->setText(QString::number(ogOpzSta->FisMrAlt));
    TxtFisMrBas->setText(QString::number(ogOpzSta->FisMrBas));
    TxtFisRighe->setText(QString::number(ogOpzSta->FisRighe));
    TxtFisColonne->setText(QString::number(ogOpzSta->FisColonne));
    TxtFisCodFinComp->setText(ogOpzSta->FisCodFinComp);
    TxtFisCodIniComp->setText(ogOpzSta->FisCodIniComp);
    LabFileStampaFis->setText(ogOpzSta->FisFileName);
}

void FrmSceltaStam::ComOpz_Click(int Index) {
    if (Index == 1) {
        frmVStaPar zoom;
        if (ogOpzSta->Fatt == 0) ogOpzSta->Fatt = 1;
        const double s = ctx().gdRisVidStaVid;
        const double perc = s > 0 ? ggUtil().Arrotonda(ogOpzSta->Fatt / s * 100, 0) : std::trunc(ogOpzSta->Fatt * 100);
        zoom.VsbProp->setValue(static_cast<int>(perc));
        zoom.CheMemVid->setChecked(ogOpzSta->MemVid != 0);
        MostraZoom()(zoom);
        // Closed with its close box: the options stay as they were.
        if (zoom.Confermato()) {
            const double v = zoom.VsbProp->value();
            ogOpzSta->Fatt = s > 0 ? static_cast<float>(ggUtil().Arrotonda(v / 100 * s, -4)) : v / 100;
            ogOpzSta->MemVid = zoom.CheMemVid->isChecked() ? 1 : 0;
            ogOpzSta->VideoScelto = true;
        }
        MostraOpzVideo();
        return;
    }
    if (Index != 2 && Index != 3) return;
    ogOpzSta->VideoScelto = false;
    RichiestaFile r;
    r.titolo = TitoloFileStampa;
    r.cartella = ogOpzSta->PathDefault;
    r.nomeFile = Index == 2 ? ogOpzSta->FileName : ogOpzSta->FisFileName;
    const int v = Index == 2 ? VersioneExcel() : -1;
    if (Index == 3)
        r.filtri = {QStringLiteral("Testo (*.txt)")};
    else if (v >= 0)
        r.filtri = {QStringLiteral("Formato Excel (*.") + (v >= 12 ? QStringLiteral("xlsx") : QStringLiteral("xls")) +
                        QStringLiteral(")"),
                    QStringLiteral("Compatibile Excel (*.csv *.txt)"), QStringLiteral("Testo (*.txt)")};
    else
        r.filtri = {QStringLiteral("Compatibile Excel (*.csv *.txt)"), QStringLiteral("Testo (*.txt)")};
    int filtro = 1;
    const auto scelto = ctx().ggDialoghi->sceltaFileFiltro(r, filtro);
    // Cancelled: file, format, target and printer stay as they were.
    if (!scelto || scelto->isEmpty()) return;
    fileDialogo_ = *scelto;
    if (Index == 3) {
        ogOpzSta->FisFileName = *scelto;
        LabFileStampaFis->setText(*scelto);
        ogOpzSta->FisStampante = false;
        VisStaAttuale();
        return;
    }
    ogOpzSta->FileName = *scelto;
    if (v >= 0)
        ogOpzSta->FileForm = filtro == 1 ? OpzSta::FormatoExcel : filtro == 3 ? OpzSta::Testo : OpzSta::CompatibileExcel;
    else
        ogOpzSta->FileForm = filtro == 2 ? OpzSta::Testo : OpzSta::CompatibileExcel;
    MostraOpzFile();
    VisStaAttuale();
}

// --- Saving the options ---

void FrmSceltaStam::MettiValOpz() {
    for (const auto& r : RigheSalvataggio(*ogOpzSta, ctx().gdRisVidStaVid, fileDialogo_))
        LabValParam[r.riga]->setText(r.mostrato);
    // The rows as wide as their values, so that none is cut.
    righeSalvataggio_->setMinimumWidth(righeSalvataggio_->widget()->sizeHint().width() +
                                       righeSalvataggio_->verticalScrollBar()->sizeHint().width() +
                                       2 * righeSalvataggio_->frameWidth());
}

void FrmSceltaStam::SelDeselSalOpz(bool selez) {
    for (QCheckBox* c : Che) c->setChecked(selez);
}

void FrmSceltaStam::ComSalOpz_Click() {
    MettiValOpz();
    SelDeselSalOpz(true);
    PicSalPar->show();
    PicSalPar->raise();
    modoSalvataggio_ = 0;
    FraQualeIni->setTitle(QStringLiteral("Dove salvare"));
    ComOk->setText(QStringLiteral("&Salvare"));
}

void FrmSceltaStam::ComCancOpz_Click() {
    ComSalOpz_Click();
    modoSalvataggio_ = -1;
    FraQualeIni->setTitle(QStringLiteral("Dove cancellare"));
    ComOk->setText(QStringLiteral("&Cancellare"));
}

void FrmSceltaStam::ComOk_Click() {
    const QString file = OptIniPers->isChecked() ? ctx().gsFileIni : ctx().gsFileIniDb;
    const QString sezione = OptSalInDef->isChecked() ? SezioneOpzioniStampa : ogOpzSta->Sezione;
    const bool cancella = modoSalvataggio_ != 0;
    if (file.isEmpty() || sezione.isEmpty()) {
        messaggio(file.isEmpty() ? QStringLiteral("Manca il file dei parametri comuni a tutti i terminali")
                                 : QStringLiteral("Questa stampa non ha una zona parametri propria"));
        return;
    }
    QSet<int> spuntate;
    for (int i = 0; i < 25; ++i)
        if (Che[i]->isChecked()) spuntate.insert(i);
    const QStringList mancate =
        ApplicaSalvataggio(RigheSalvataggio(*ogOpzSta, ctx().gdRisVidStaVid, fileDialogo_), spuntate, cancella,
                           OptIniPers->isChecked(), sezione, file);
    if (!mancate.isEmpty()) {
        // The panel stays open: nothing looks saved that was not.
        messaggio((cancella ? QStringLiteral("Non è stato possibile cancellare dal file ")
                            : QStringLiteral("Non è stato possibile salvare nel file ")) +
                  file + QStringLiteral("\nsezione [") + sezione + QStringLiteral("]:\n") + mancate.join(QStringLiteral(", ")));
        return;
    }
    PicSalPar->hide();
}

void FrmSceltaStam::ComAnnulla_Click() { PicSalPar->hide(); }
