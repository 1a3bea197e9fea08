#include "invoicedata/gestione/FrmDatiFatTestLis.h"

#include "common/FrmMsgCom.h"
#include "common/form/CodiciTasti.h"
#include "common/form/Decodifica.h"
#include "common/form/Tastiera.h"
#include "common/form/UtilForm.h"
#include "components/core/ErroreRun.h"
#include "components/util/UtilGenerali.h"
#include "contesto/Contesto.h"

#include <QFrame>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>

namespace {

const QString kCaption = QStringLiteral("Lista Testate Comunicazione Dati Fatture");
const QString kConto = QStringLiteral("|-|GruppoPartita|MastroPartita|ContoPartita");
const QString kEspressioneConto =
    QStringLiteral("DatiFatTest.GruppoPartita || '-' || DatiFatTest.MastroPartita || '-' || DatiFatTest.ContoPartita");
constexpr int kTastoCanc = 46;

QString Filtro(const char* tipoTab) {
    return QStringLiteral("TipoTab = ") + UtilGenerali().FormatoSql(Valore(QString::fromLatin1(tipoTab)), TipoDato::Testo);
}

}  // namespace

frmDatiFatTestLis::frmDatiFatTestLis() : SchermoLista(QStringLiteral("frmDatiFatTestLis"), kCaption) {
    Campo(10, QStringLiteral("Anno comunicazione:"), 8, 40, 60, 150);
    Campo(20, QStringLiteral("Numero Comunicazione:"), 250, 40, 40, 170);
    Campo(30, QString(), 0, 0, 10, 0)->hide();
    Campo(40, QString(), 0, 0, 10, 0)->hide();
    auto gruppo = [&](const QString& titolo, QRadioButton** opzioni, const QStringList& testi, int x, int larghezza,
                      void (frmDatiFatTestLis::*click)(int), const char* nome) {
        auto* g = new QGroupBox(titolo, this);
        g->setGeometry(x, 66, larghezza, 50);
        for (int i = 0; i < testi.size(); ++i) {
            auto* r = new QRadioButton(testi[i], g);
            ImpostaElemento(r, QString::fromLatin1(nome), i);
            r->setGeometry(8 + i * 110, 20, 108, 24);
            r->setContextMenuPolicy(Qt::PreventContextMenu);
            r->installEventFilter(this);
            opzioni[i] = r;
            connect(r, &QRadioButton::clicked, this, [this, click, i] { (this->*click)(i); });
        }
    };
    gruppo(QStringLiteral("Tipo fatture comunicate"), OptTipoFat, {QStringLiteral("Emesse"), QStringLiteral("Ricevute")}, 8, 240,
           &frmDatiFatTestLis::OptTipoFat_Click, "OptTipoFat");
    gruppo(QStringLiteral("Stato:"), OptStato, {QStringLiteral("Normale"), QStringLiteral("Canc. File"), QStringLiteral("Canc. Singolo")},
           260, 350, &frmDatiFatTestLis::OptStato_Click, "OptStato");
    const std::pair<int, const char*> descritti[] = {{50, "Cliente / Fornitore:"}, {60, "Tipo documento:"}, {70, "Natura:"}};
    int y = 120;
    for (const auto& [i, etichetta] : descritti) {
        Campo(i, QString::fromUtf8(etichetta), 8, y, 110, 150);
        auto* b = new QPushButton(QStringLiteral("..."), this);
        ImpostaElemento(b, QStringLiteral("ComHlp"), i);
        b->setGeometry(276, y, 26, 22);
        b->setFocusPolicy(Qt::NoFocus);
        ComHlp[i] = b;
        const int indice = i;
        connect(b, &QPushButton::clicked, this, [this, indice] { ComHlp_Click(indice); });
        auto* l = new QLabel(this);
        ImpostaElemento(l, QStringLiteral("Lab"), i);
        l->setGeometry(310, y, 300, 22);
        l->setFrameShape(QFrame::StyledPanel);
        Lab[i] = l;
        txt[i]->installEventFilter(this);
        y += 26;
    }
    setTabOrder(txt[10], txt[20]);
    // The search panel to the right of the selections, the grid below them.
    resize(1016, 600);
    if (auto* cerca = findChild<QGroupBox*>(QStringLiteral("FraCerca"))) cerca->move(614, 62);
    dbgRiga->setGeometry(4, 202, 1008, 394);
}

void frmDatiFatTestLis::DefinisciSelezioni(LisPag& p) {
    p.AggiungiSelezione(QStringLiteral("AnnoCom"), txt[10], QStringLiteral("="), 3);
    p.AggiungiSelezione(QStringLiteral("NumCom"), txt[20], QStringLiteral("="), 4);
    p.AggiungiSelezione(QStringLiteral("Tipo"), txt[30], QStringLiteral("="));
    p.AggiungiSelezione(QStringLiteral("Stato"), txt[40], QStringLiteral("="));
    p.AggiungiSelezione(kConto, txt[50], QStringLiteral("pers"));
    p.AggiungiSelezione(QStringLiteral("TipoDocumento"), txt[60], QStringLiteral("="));
    p.AggiungiSelezione(QStringLiteral("Natura"), txt[70], QStringLiteral("pers"));
    p.ImpValoreSelezione(QStringLiteral("AnnoCom"), AnnoPredefinito());
}

QString frmDatiFatTestLis::PrepSql(const QString& psWhere) {
    // Every column named as the grid shows it.
    QString sql = QStringLiteral(
                      "Select DatiFatTest.AnnoCom as AnnoCom,DatiFatTest.NumCom as NumCom,DatiFatTest.Tipo as Tipo"
                      ",DatiFatTest.NumInv as Invio,DatiFatTest.Progr as Progr,DatiFatTest.AnnoReg as AnnoReg"
                      ",DatiFatTest.NumReg as NumReg,") +
                  kEspressioneConto +
                  QStringLiteral(" as Clie_Forn,DatiFatTest.TipoDocumento as TipoDocumento,DatiFatTest.DataReg as DataReg"
                                 ",DatiFatTest.DataDoc as DataDoc,DatiFatTest.NumDoc as NumDoc,DatiFatTest.Stato as Stato"
                                 ",DatiFatTest.NumCanc as Canc,DatiFatTest.ImportoTotale as ImportoTotale"
                                 ",DatiFatTest.NomeFile as NomeFile"
                                 // The header page finds the chosen row by its whole key.
                                 ",DatiFatTest.NumCanc as NumCanc from DatiFatTest");
    if (!psWhere.isEmpty()) sql += QStringLiteral(" where ") + psWhere;
    // The whole key, in the order the page browses it: an order left open is
    // the engine's own, which differs between a file and the server.
    return sql + QStringLiteral(" Order by DatiFatTest.AnnoCom, DatiFatTest.NumCom, DatiFatTest.AnnoReg, DatiFatTest.NumReg"
                                ", DatiFatTest.NumCanc, DatiFatTest.Tipo, DatiFatTest.Stato");
}

QString frmDatiFatTestLis::PersListaVarie(int piTipoPers, LisCampo& campo, QList<Valore>& pvParam) {
    if (piTipoPers != 1) return {};
    QString nome;
    campo.LeggiNomeCampo(nome);
    const QString valore = pvParam.value(1).testo().trimmed();
    if (valore.isEmpty()) return {};
    UtilGenerali u;
    if (nome == kConto) {
        QString gruppo, mastro, conto;
        DividiCodice(valore, gruppo, mastro, conto);
        return QStringLiteral(" DatiFatTest.GruppoPartita = ") + u.FormatoSql(Valore(gruppo), TipoDato::Testo) +
               QStringLiteral(" AND DatiFatTest.MastroPartita = ") + u.FormatoSql(Valore(mastro), TipoDato::Testo) +
               QStringLiteral(" AND DatiFatTest.ContoPartita = ") + u.FormatoSql(Valore(conto), TipoDato::Testo);
    }
    if (nome == QLatin1String("Natura"))
        return QStringLiteral("EXISTS (Select Natura From DatiFatDett Where DatiFatTest.AnnoCom = DatiFatDett.AnnoCom"
                              " AND DatiFatTest.NumCom = DatiFatDett.NumCom AND DatiFatTest.AnnoReg = DatiFatDett.AnnoReg"
                              " AND DatiFatTest.NumReg = DatiFatDett.NumReg AND DatiFatTest.NumCanc = DatiFatDett.NumCanc"
                              " AND DatiFatTest.Tipo = DatiFatDett.Tipo AND DatiFatTest.Stato = DatiFatDett.Stato"
                              " AND DatiFatDett.Natura = ") +
               u.FormatoSql(Valore(valore), TipoDato::Testo) + QLatin1Char(')');
    return {};
}

bool frmDatiFatTestLis::VerSelez() { return !Pager().SelezioneNonValida(); }

void frmDatiFatTestLis::PersColonne() {
    Comlin& c = Lista();
    const std::pair<const char*, int> larghezze[] = {
        {"AnnoCom", 800}, {"NumCom", 500},  {"Tipo", 500},    {"AnnoReg", 800}, {"NumReg", 700},
        {"Clie_Forn", 1100}, {"TipoDocumento", 600}, {"DataReg", 900}, {"DataDoc", 900}, {"NumDoc", 1000},
        {"Progr", 500},   {"Stato", 500},   {"Invio", 500},   {"Canc", 500},    {"ImportoTotale", 1200},
    };
    for (const auto& [nome, larghezza] : larghezze) c.LarghezzaColonna(QString::fromLatin1(nome), larghezza);
    c.FormatoColonna(QStringLiteral("ImportoTotale"), QStringLiteral("#,##0.00"));
    c.TitoloColonna(QStringLiteral("NomeFile"), QStringLiteral("BaseNome"));
    c.LarghezzaColonna(QStringLiteral("NomeFile"), 1100);
    const int chiave = c.Modello().columnCount() - 1;
    if (chiave > 0) dbgRiga->setColumnHidden(chiave, true);
}

QString frmDatiFatTestLis::ColToSourceField(int piColIndex) {
    const QString nome = Lista().Modello().Colonne().value(piColIndex);
    if (nome == QLatin1String("Clie_Forn")) return kEspressioneConto;
    if (nome == QLatin1String("Invio")) return QStringLiteral("DatiFatTest.NumInv");
    if (nome == QLatin1String("Canc")) return QStringLiteral("DatiFatTest.NumCanc");
    return QStringLiteral("DatiFatTest.") + nome;
}

// ---- Boxes

std::optional<Valore> frmDatiFatTestLis::tipoConto() const {
    const QString tipo = txt[30]->text().trimmed().toUpper();
    if (tipo == QLatin1String("R")) return Valore(QStringLiteral("2"));
    if (tipo == QLatin1String("E")) return Valore(QStringLiteral("3"));
    return std::nullopt;
}

void frmDatiFatTestLis::txt_GotFocus(int Index) {
    if (Index == 50) {
        txt[50]->setText(ggUtil().TogliMaschera(txt[50]->text(), QStringLiteral("Conto")));
        ImpostaBackColor(txt[50], ctx().glColNormale);
    }
    MembriForm::txt_GotFocus(Index);
}

void frmDatiFatTestLis::txt_LostFocus(int Index) {
    QLineEdit* box = txt.value(Index);
    if (!box) return;
    ColorePerdeFocus(box);
    try {
        switch (Index) {
        case 10:
        case 20:
            // Shown as a whole number; anything else stays for the user to see.
            if (double n = 0; leggiNumeroItaliano(box->text().trimmed(), n))
                box->setText(QString::number(static_cast<long long>(n)));
            break;
        case 50:
            if (box->text().contains(QLatin1Char('-'))) {
                ImpostaBackColor(box, ctx().glColErrore);
                Lab[50]->clear();
            } else {
                box->setText(ggUtil().FormattaValore(Valore(box->text()), QStringLiteral("conto")));
            }
            DecodCampo(QStringLiteral("Conto"), box, Lab[50], tipoConto());
            break;
        case 70:
            DecodCampo(QStringLiteral("Decodifiche"), box, Lab[70], std::nullopt, 0, {}, 0, std::nullopt, Filtro("FENatura"), -1, 0);
            break;
        default:
            break;
        }
    } catch (const ErroreRun& e) {
        frmMsgCom::MsgErrfrm(e);
    }
}

void frmDatiFatTestLis::txt_KeyUp(int Index, int& KeyCode, int Shift) {
    if (Shift != 0 || KeyCode < Tasto::F2 || KeyCode > Tasto::F5) return;
    try {
        int scelta = 0;
        if (Index == 50) {
            std::optional<Valore> tipo = tipoConto();
            int tasto = KeyCode;
            if (!tipo) {
                // No kind chosen: F2 and F3 list the customers, F4 and F5 the suppliers.
                tipo = Valore(KeyCode <= Tasto::F3 ? QStringLiteral("3") : QStringLiteral("2"));
                if (KeyCode == Tasto::F4) tasto = Tasto::F2;
                if (KeyCode == Tasto::F5) tasto = Tasto::F3;
            }
            PrepListaAiuto(QStringLiteral("Conto"), txt[50], Lab[50], tasto, tipo, scelta);
        } else if (Index == 60 || Index == 70) {
            PrepListaAiuto(QStringLiteral("Decodifiche"), txt[Index], Lab[Index], KeyCode, std::nullopt, scelta, {}, 0,
                           Filtro(Index == 60 ? "FETipDoc" : "FENatura"));
        }
    } catch (const ErroreRun& e) {
        frmMsgCom::MsgErrfrm(e);
    }
}

void frmDatiFatTestLis::ComHlp_Click(int Index) {
    int tasto = Tasto::F2;
    int appo = 0;
    try {
        InviaKeyUp(*this, Index, tasto, appo);
    } catch (const ErroreRun& e) {
        frmMsgCom::MsgErrfrm(e);
    }
}

void frmDatiFatTestLis::OptTipoFat_Click(int Index) {
    txt[30]->setText(Index == 0 ? QStringLiteral("E") : Index == 1 ? QStringLiteral("R") : QString());
}

void frmDatiFatTestLis::OptStato_Click(int Index) {
    txt[40]->setText(Index == 0 ? QStringLiteral("N") : Index == 1 ? QStringLiteral("C") : Index == 2 ? QStringLiteral("E") : QString());
}

void frmDatiFatTestLis::Opt_KeyDown(QRadioButton* const* gruppo, int mirror, int KeyCode) {
    if (KeyCode != kTastoCanc) return;
    const int quanti = gruppo == OptTipoFat ? 2 : 3;
    for (int i = 0; i < quanti; ++i) AzzeraOpzione(gruppo[i]);
    txt[mirror]->clear();
}

void frmDatiFatTestLis::AzzAltro() {
    auto segui = [](QRadioButton* const* gruppo, int quanti, const QString& valore, const QStringList& codici) {
        const int scelto = codici.indexOf(valore.trimmed().toUpper());
        for (int i = 0; i < quanti; ++i) {
            if (i == scelto) gruppo[i]->setChecked(true);
            else AzzeraOpzione(gruppo[i]);
        }
    };
    segui(OptTipoFat, 2, txt[30]->text(), {QStringLiteral("E"), QStringLiteral("R")});
    segui(OptStato, 3, txt[40]->text(), {QStringLiteral("N"), QStringLiteral("C"), QStringLiteral("E")});
    for (auto it = Lab.cbegin(); it != Lab.cend(); ++it)
        if (txt.value(it.key()) && txt[it.key()]->text().trimmed().isEmpty()) it.value()->clear();
}

bool frmDatiFatTestLis::eventFilter(QObject* o, QEvent* e) {
    const QString nome = o->objectName();
    const bool tipo = nome == QLatin1String("OptTipoFat"), stato = nome == QLatin1String("OptStato");
    if (tipo || stato) {
        const bool canc = e->type() == QEvent::KeyPress && CodiceTasto(*static_cast<QKeyEvent*>(e)) == kTastoCanc;
        const bool destro = e->type() == QEvent::MouseButtonPress && static_cast<QMouseEvent*>(e)->button() == Qt::RightButton;
        if (canc || destro) Opt_KeyDown(tipo ? OptTipoFat : OptStato, tipo ? 30 : 40, kTastoCanc);
    } else if (nome == QLatin1String("txt") && e->type() == QEvent::KeyRelease) {
        const auto* k = static_cast<QKeyEvent*>(e);
        int codice = CodiceTasto(*k);
        txt_KeyUp(IndiceElemento(o), codice, StatoMaiusc(*k));
    }
    return SchermoLista::eventFilter(o, e);
}
