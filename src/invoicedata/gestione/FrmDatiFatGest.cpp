#include "invoicedata/gestione/FrmDatiFatGest.h"

#include "common/FrmMsgCom.h"
#include "common/form/CodiciTasti.h"
#include "common/form/Decodifica.h"
#include "common/form/Tastiera.h"
#include "common/form/UtilForm.h"
#include "common/schermi/AnnoPredefinito.h"
#include "common/schermi/CasellaSpunta.h"
#include "components/core/ErroreRun.h"
#include "components/db/GestoreDb.h"
#include "components/menu/MenuClient.h"
#include "components/util/UtilGenerali.h"
#include "contesto/Contesto.h"
#include "invoicedata/gestione/FrmDatiFatDett.h"
#include "invoicedata/gestione/FrmDatiFatTestLis.h"
#include "invoicedata/gestione/RipristinoDatiFat.h"

#include <QAction>
#include <QApplication>
#include <QFrame>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QToolBar>

namespace {

const QString kCaption = QStringLiteral("Gestione Comunicazione Dati Fatture - Testata");
const QString kConto = QStringLiteral("|-|GruppoPartita|MastroPartita|ContoPartita");
constexpr int kTastoCanc = 46;

QString FiltroDecodifiche(const char* tipoTab) {
    return QStringLiteral("TipoTab = ") + UtilGenerali().FormatoSql(Valore(QString::fromLatin1(tipoTab)), TipoDato::Testo);
}

// The lines grid: column, width, amount format.
struct ColonnaDett {
    const char* colonna;
    int larghezza;
    bool importo;
};
constexpr ColonnaDett kColonneDett[] = {
    {"Aliquota", 1000, false}, {"Natura", 700, false},         {"ImponibileImporto", 1800, true},
    {"Imposta", 1800, true},   {"EsigibilitaIva", 1500, false}, {"Detraibile", 1000, false},
    {"Deducibile", 1100, false}, {"NumDet", 0, false},
};

void Azione(QToolBar* barra, const QString& chiave, bool attiva) {
    for (QAction* a : barra->actions())
        if (a->objectName() == chiave) a->setEnabled(attiva);
}

void Messaggio(const QString& testo) { frmMsgCom::msgCom(testo, QStringLiteral("&Ok"), std::nullopt, std::nullopt, std::nullopt, 80, 600, 0, 1); }

}  // namespace

frmDatiFatGest::frmDatiFatGest() : SchermoTestata(QStringLiteral("frmDatiFatGest"), kCaption) {
    picTest->setGeometry(0, 36, 684, 120);
    PicDett->setGeometry(0, 158, 800, 370);
    dbgDett->setGeometry(4, 210, 792, 156);

    Campo(picTest, 20, QStringLiteral("Comunicazione:  Anno:"), 160, 4, 50, 8);
    Campo(picTest, 10, QStringLiteral("Numero:"), 280, 4, 40, 220);
    Campo(picTest, 30, QStringLiteral("Registrazione PN: Anno:"), 160, 30, 50, 8);
    Campo(picTest, 40, QStringLiteral("Numero:"), 280, 30, 80, 220);
    Campo(picTest, 50, QStringLiteral("Numero cancellazione:"), 520, 30, 40, 370);
    Campo(picTest, 60, QString(), 0, 0, 10)->hide();
    Campo(picTest, 70, QString(), 0, 0, 10)->hide();

    auto gruppo = [&](const QString& titolo, QRadioButton** opzioni, const QStringList& testi, int x, int larghezza,
                      auto click) {
        auto* g = new QGroupBox(titolo, picTest);
        g->setGeometry(x, 56, larghezza, 60);
        for (int i = 0; i < testi.size(); ++i) {
            auto* r = new QRadioButton(testi[i], g);
            r->setGeometry(8 + i * 110, 24, 108, 24);
            r->setContextMenuPolicy(Qt::PreventContextMenu);
            r->installEventFilter(this);
            opzioni[i] = r;
            connect(r, &QRadioButton::clicked, this, [this, click, i] { (this->*click)(i); });
        }
    };
    gruppo(QStringLiteral("Tipo Comunicazione:"), OptTipoFat, {QStringLiteral("Ft. Emesse"), QStringLiteral("Ft. Ricevute")}, 8,
           240, &frmDatiFatGest::OptTipoFat_Click);
    gruppo(QStringLiteral("Stato:"), OptStato,
           {QStringLiteral("Normale"), QStringLiteral("Canc. File"), QStringLiteral("Canc. Singolo")}, 260, 350,
           &frmDatiFatGest::OptStato_Click);
    for (int i = 0; i < 2; ++i) ImpostaElemento(OptTipoFat[i], QStringLiteral("OptTipoFat"), i);
    for (int i = 0; i < 3; ++i) ImpostaElemento(OptStato[i], QStringLiteral("OptStato"), i);

    auto conDescrizione = [&](int i, const QString& etichetta, int y, int larghezza) {
        Campo(PicDett, i, etichetta, 160, y, larghezza, 8);
        auto* b = new QPushButton(QStringLiteral("..."), PicDett);
        ImpostaElemento(b, QStringLiteral("ComHlp"), i);
        b->setGeometry(164 + larghezza, y, 26, 22);
        b->setFocusPolicy(Qt::NoFocus);
        ComHlp[i] = b;
        connect(b, &QPushButton::clicked, this, [this, i] { ComHlp_Click(i); });
        auto* l = new QLabel(PicDett);
        ImpostaElemento(l, QStringLiteral("Lab"), i);
        l->setGeometry(200 + larghezza, y, 400, 22);
        l->setFrameShape(QFrame::StyledPanel);
        Lab[i] = l;
        // An emptied box describes nothing.
        connect(txt[i], &QLineEdit::textChanged, l, [l](const QString& testo) {
            if (testo.trimmed().isEmpty()) l->clear();
        });
        txt[i]->installEventFilter(this);
    };
    conDescrizione(80, QStringLiteral("Cliente / Fornitore:"), 4, 120);
    conDescrizione(90, QStringLiteral("Tipo documento:"), 30, 60);
    Campo(PicDett, 100, QStringLiteral("Data registrazione:"), 160, 56, 90, 8);
    Campo(PicDett, 110, QStringLiteral("Data documento:"), 420, 56, 90, 290);
    Campo(PicDett, 120, QStringLiteral("Numero documento:"), 160, 82, 200, 8);
    Campo(PicDett, 130, QStringLiteral("Importo documento:"), 520, 82, 120, 380)->setAlignment(Qt::AlignRight);
    Spunta(PicDett, 140, QStringLiteral("Bolla doganale"), 660, 82, 130);
    Campo(PicDett, 140, QString(), 0, 0, 10)->hide();
    Campo(PicDett, 150, QStringLiteral("Numero invio:"), 160, 108, 50, 8)->setReadOnly(true);
    Campo(PicDett, 160, QStringLiteral("Progressivo nel file:"), 380, 108, 70, 240)->setReadOnly(true);
    Campo(PicDett, 170, QStringLiteral("Base nome file:"), 600, 108, 80, 470);
    connect(Check[140], &QCheckBox::stateChanged, this, [this] { Check_Click(140); });

    QList<QWidget*> ordine{txt[20], txt[10], txt[30], txt[40], txt[50], OptTipoFat[0], OptTipoFat[1], OptStato[0],
                           OptStato[1], OptStato[2], txt[80], txt[90], txt[100], txt[110], txt[120], txt[130], Check[140],
                           txt[150], txt[160], txt[170]};
    for (int i = 1; i < ordine.size(); ++i) setTabOrder(ordine[i - 1], ordine[i]);

    QAction* ripristina = new QAction(QStringLiteral("Ripristina"), tolComPag_);
    ripristina->setObjectName(QStringLiteral("Ripristina"));
    ripristina->setToolTip(QStringLiteral("(X) Ripristina non definitivo tutto l'invio"));
    ripristina->setEnabled(false);
    tolComPag_->addAction(ripristina);
    connect(ripristina, &QAction::triggered, this, [this] { ButtonComando(QStringLiteral("Ripristina")); });
}

void frmDatiFatGest::ImpostazionePropria(ComPag& pagina) { pagina.ImpOpzioneTestata(1); }

void frmDatiFatGest::DefinisciCampi(ComPag& p) {
    const int anno = AnnoPredefinito(ctx().gtDataLavoro);
    auto campo = [&](int i, const QString& colonna, const char* descr, int chiave, int lunghezza = 0,
                     const QString& maschera = {}, const Valore& proposto = {}, bool contatore = false) {
        p.AggiungiCampo(colonna, txt[i],
                        {.descrizione = QString::fromUtf8(descr), .parteChiave = chiave, .proposto = proposto,
                         .lunghezza = lunghezza, .maschera = maschera, .contatore = contatore});
    };
    const QString zero = QStringLiteral("0");
    campo(20, QStringLiteral("AnnoCom"), "Anno Riferimento", 1, 4, {}, Valore(anno));
    campo(10, QStringLiteral("NumCom"), "Numero Riferimento", 1, 2, zero);
    campo(30, QStringLiteral("AnnoReg"), "Anno registrazione PN", 1, 4);
    // The registration number typed 0 asks for a new record: the kind and
    // state that follow it come from the option buttons, which hold no 0.
    campo(40, QStringLiteral("NumReg"), "Numero registrazione PN", 1, 0, zero, {}, true);
    campo(50, QStringLiteral("NumCanc"), "Numero cancellazione", 1, 0, zero, Valore(0));
    campo(60, QStringLiteral("Tipo"), "Tipo fattura comunicata", 1);
    campo(70, QStringLiteral("Stato"), "Stato", 1, 0, {}, Valore(QStringLiteral("N")));
    campo(80, kConto, "Cliente / Fornitore", 0);
    campo(90, QStringLiteral("TipoDocumento"), "Tipo Documento", 0);
    campo(100, QStringLiteral("DataReg"), "Data Registrazione", 0);
    campo(110, QStringLiteral("Datadoc"), "Data Documento", 0);
    campo(120, QStringLiteral("Numdoc"), "Numero Documento", 0);
    campo(130, QStringLiteral("ImportoTotale"), "Importo Totale Documento", 0, 0, QStringLiteral("#,###.00"));
    campo(140, QStringLiteral("BollaDoganale"), "Bolla Doganale", 0);
    // A new record has not been sent.
    campo(150, QStringLiteral("NumInv"), "Numero invio", 0, 0, zero, Valore(0));
    campo(160, QStringLiteral("Progr"), "Progressivo nel file", 0, 0, zero, Valore(0));
    campo(170, QStringLiteral("NomeFile"), "Nome file", 0);
}

SchermoLista* frmDatiFatGest::CreaLista() { return new frmDatiFatTestLis; }

SchermoLinee* frmDatiFatGest::CreaLinee() {
    auto* f = new frmDatiFatDett;
    f->osAnnoCom = txt[20]->text();
    f->osNumCom = txt[10]->text();
    f->osAnnoReg = txt[30]->text();
    f->osNumReg = txt[40]->text();
    f->osNumCanc = txt[50]->text();
    f->osTipo = txt[60]->text();
    f->osStato = txt[70]->text();
    f->osClieForn = txt[80]->text();
    f->osRagSoc = Lab[80]->text();
    f->osNumDoc = txt[120]->text();
    f->osDataDoc = txt[110]->text();
    f->osTipoDoc = txt[90]->text();
    f->osTipoDocDesc = Lab[90]->text();
    f->obAbil = ggUtil().ValoreNumerico(Valore(txt[150]->text())) == 0;
    return f;
}

QString frmDatiFatGest::chiaveDett() const {
    UtilGenerali u;
    auto lit = [&](int i, int tipo) { return u.FormatoSql(Valore(txt[i]->text().trimmed()), tipo); };
    return QStringLiteral(" WHERE DatiFatDett.AnnoCom = ") + lit(20, TipoDato::Intero) +
           QStringLiteral(" And DatiFatDett.NumCom = ") + lit(10, TipoDato::Intero) +
           QStringLiteral(" And DatiFatDett.AnnoReg = ") + lit(30, TipoDato::Intero) +
           QStringLiteral(" And DatiFatDett.NumReg = ") + lit(40, TipoDato::Lungo) +
           QStringLiteral(" And DatiFatDett.NumCanc = ") + lit(50, TipoDato::Intero) +
           QStringLiteral(" And DatiFatDett.Tipo = ") + lit(60, TipoDato::Testo) +
           QStringLiteral(" And DatiFatDett.Stato = ") + lit(70, TipoDato::Testo);
}

QString frmDatiFatGest::QueryDett() const {
    QString sql = QStringLiteral("SELECT DatiFatDett.Aliquota AS Aliquota");
    for (int i = 1; i < int(std::size(kColonneDett)); ++i)
        sql += QStringLiteral(", DatiFatDett.%1 AS \"%1\"").arg(QLatin1String(kColonneDett[i].colonna));
    return sql + QStringLiteral(" FROM DatiFatDett") + chiaveDett() +
           QStringLiteral(" ORDER BY DatiFatDett.AnnoCom, DatiFatDett.NumCom, DatiFatDett.NumDet");
}

QString frmDatiFatGest::QueryDettVuota() const {
    return QStringLiteral("Select DatiFatDett.AnnoCom from DatiFatDett where DatiFatDett.AnnoCom = -1234");
}

void frmDatiFatGest::FormatColDett() {
    ModelloGriglia& m = ModelloDett();
    for (const ColonnaDett& c : kColonneDett) {
        const QString nome = QString::fromLatin1(c.colonna);
        const int i = m.IndiceColonna(nome);
        if (i < 0) continue;
        if (c.larghezza == 0) {
            dbgDett->setColumnHidden(i, true);
            continue;
        }
        m.ImpLarghezza(nome, c.larghezza);
        if (c.importo) m.ImpFormato(nome, ctx().gsFmtImp);
    }
}

void frmDatiFatGest::CancellaDettagli() { ctx().ggGestDb->EseguiSql(ctx().gsIdDbase, QStringLiteral("Delete from DatiFatDett") + chiaveDett()); }

bool frmDatiFatGest::Inviato() const { return ggUtil().ValoreNumerico(Valore(txt[150]->text())) != 0; }

// ---- Commands and hooks

void frmDatiFatGest::ButtonComando(const QString& psKey) {
    // The key of what was sent stays as the file has it.
    if (psKey.compare(QLatin1String("VarKey"), Qt::CaseInsensitive) == 0 && Pagina().LeggiStato() == ComPag::Mostrata && Inviato()) {
        Messaggio(QStringLiteral("Non si possono modificare fatture già comunicate"));
        return;
    }
    SchermoTestata::ButtonComando(psKey);
    if (psKey.compare(QLatin1String("Ripristina"), Qt::CaseInsensitive) != 0) return;
    // Only while the button is offered: a record shown that has been sent.
    for (QAction* a : tolComPag_->actions())
        if (a->objectName() == QLatin1String("Ripristina") && a->isEnabled()) Ripristina();
}

QString frmDatiFatGest::ComandoProprio(int keyCode, int shift) const {
    if (shift == Maiusc::Alt && keyCode == 'X') return QStringLiteral("Ripristina");
    return SchermoTestata::ComandoProprio(keyCode, shift);
}

int frmDatiFatGest::PersPagPri(int piOper, int& pvRit, QList<Valore>& pvArray) {
    if (piOper == OperPag::Salva && Pagina().LeggiStato() != ComPag::Vuota) {
        QString messaggio;
        if (Pagina().LeggiStato() != ComPag::Nuova && Inviato())
            messaggio = QStringLiteral("Non si possono modificare fatture già comunicate");
        else if (txt[60]->text().trimmed().compare(QLatin1String("R"), Qt::CaseInsensitive) == 0) {
            if (ggUtil().EVuoto(Valore(txt[100]->text()), TipoDato::Testo))
                messaggio = QStringLiteral("Data registrazione obbligatoria per documenti Ricevuti");
        } else if (ggUtil().EVuoto(Valore(txt[110]->text()), TipoDato::Testo)) {
            messaggio = QStringLiteral("Data documento obbligatoria per documenti Emessi");
        }
        if (!messaggio.isEmpty()) {
            Messaggio(messaggio);
            pvRit = 1;
            return 1;
        }
        return 0;
    }
    if (piOper == OperPag::Cancella && (Inviato() || Rosso(txt[150]))) {
        Messaggio(QStringLiteral("Non si possono cancellare fatture già comunicate"));
        pvRit = 1;
        return 1;
    }
    return SchermoTestata::PersPagPri(piOper, pvRit, pvArray);
}

int frmDatiFatGest::PersPagDop(int piOper, int& pvRit, QList<Valore>& pvArray) {
    const int r = SchermoTestata::PersPagDop(piOper, pvRit, pvArray);
    try {
        switch (piOper) {
        case OperPag::CambioStato:
            aggiornaInvio(static_cast<int>(pvArray.value(0).intero()));
            break;
        case OperPag::Mostrato:
            DecodCampo(QStringLiteral("Conto"), txt[80], Lab[80]);
            DecodCampo(QStringLiteral("Decodifiche"), txt[90], Lab[90], std::nullopt, 0, {}, 0, std::nullopt,
                       FiltroDecodifiche("FETipDoc"), 0, 1);
            aggiornaInvio(Pagina().LeggiStato());
            break;
        case OperPag::NuovoRec:
            for (int i : {80, 90}) {
                Lab[i]->clear();
                Lab[i]->setStyleSheet(QStringLiteral("color: #0000ff"));
            }
            break;
        default:
            break;
        }
    } catch (const std::exception& e) {
        if (const auto* er = dynamic_cast<const ErroreRun*>(&e)) frmMsgCom::MsgErrfrm(*er);
        else frmMsgCom::MsgErrfrm(ErroreRun(NumErrore::ErroreSql, QString::fromUtf8(e.what()), objectName()));
    }
    return r;
}

void frmDatiFatGest::aggiornaInvio(int s) {
    const bool aperta = s == 1 || s == 2 || s == 7;
    txt[150]->setReadOnly(aperta);
    txt[160]->setReadOnly(aperta);
    const bool inviato = (s == ComPag::Mostrata || s == ComPag::VariaChiave) && Inviato();
    Azione(tolComPag_, QStringLiteral("Ripristina"), s == ComPag::Mostrata && ggUtil().ValoreNumerico(Valore(txt[150]->text())) > 0);
    // What was sent must keep matching the file: a sent record is read-only.
    const bool scrivibile = Pagina().AbilRW() != 0 && !inviato;
    if (s != ComPag::Vuota)
        for (int i : {80, 90, 100, 110, 120, 130, 170}) txt[i]->setReadOnly(!scrivibile);
    Check[140]->setEnabled(scrivibile);
    for (int i : {80, 90}) ComHlp[i]->setEnabled(s == ComPag::Vuota || scrivibile);
    // The option groups are key parts: set while searching or changing the key.
    const bool chiave = s == ComPag::Vuota || (s == ComPag::VariaChiave && scrivibile);
    for (QRadioButton* o : OptTipoFat) o->setEnabled(chiave);
    for (QRadioButton* o : OptStato) o->setEnabled(chiave);
}

void frmDatiFatGest::ComAnno_Click(int Index) {
    try {
        if (txt[20]->text().trimmed().isEmpty() || Rosso(txt[20])) {
            Messaggio(QStringLiteral("Scegliere l'anno"));
            txt[20]->setFocus();
            return;
        }
        if (txt[10]->text().trimmed().isEmpty() || Rosso(txt[10])) {
            Messaggio(QStringLiteral("Scegliere il numero comunicazione"));
            txt[10]->setFocus();
            return;
        }
        auto fissa = [&](int valore) {
            for (const char* c : {"AnnoCom", "NumCom"})
                if (CampoPagina* campo = Pagina().Campo(QString::fromLatin1(c))) campo->oiKeyFisso = valore;
        };
        fissa(2);
        ButtonComando(Index == 0 ? QStringLiteral("Inizio") : QStringLiteral("Fine"));
        fissa(0);
    } catch (const std::exception& e) {
        frmMsgCom::MsgErrfrm(ErroreRun(NumErrore::ErroreSql, QString::fromUtf8(e.what()), objectName()));
    }
}

// ---- Boxes

std::optional<Valore> frmDatiFatGest::tipoConto() const {
    const QString tipo = txt[60]->text().trimmed().toUpper();
    if (tipo == QLatin1String("R")) return Valore(QStringLiteral("2"));
    if (tipo == QLatin1String("E")) return Valore(QStringLiteral("3"));
    return std::nullopt;
}

void frmDatiFatGest::txt_GotFocus(int Index) {
    if (Index != 80) {
        SchermoTestata::txt_GotFocus(Index);
        return;
    }
    QLineEdit* box = txt[80];
    labDescrCampo->setText(box->toolTip());
    box->setText(ggUtil().TogliMaschera(box->text(), QStringLiteral("Conto")));
    Colora(box, ctx().glColNormale);
    SelezTestoAttivo();
    ColoreFocus(box);
}

void frmDatiFatGest::txt_KeyUp(int Index, int& KeyCode, int Shift) {
    if (Shift != 0 || KeyCode < Tasto::F2 || KeyCode > Tasto::F5) return;
    try {
        int scelta = 0;
        if (Index == 80) {
            std::optional<Valore> tipo = tipoConto();
            int tasto = KeyCode;
            if (!tipo) {
                // No kind chosen: F2 and F3 list the customers, F4 and F5 the suppliers.
                tipo = Valore(KeyCode <= Tasto::F3 ? QStringLiteral("3") : QStringLiteral("2"));
                if (KeyCode == Tasto::F4) tasto = Tasto::F2;
                if (KeyCode == Tasto::F5) tasto = Tasto::F3;
            }
            PrepListaAiuto(QStringLiteral("Conto"), txt[80], Lab[80], tasto, tipo, scelta);
        } else if (Index == 90) {
            PrepListaAiuto(QStringLiteral("Decodifiche"), txt[90], Lab[90], KeyCode, std::nullopt, scelta, {}, 0,
                           FiltroDecodifiche("FETipDoc"));
        }
    } catch (const ErroreRun& e) {
        frmMsgCom::MsgErrfrm(e);
    }
}

void frmDatiFatGest::ComHlp_Click(int Index) {
    int tasto = Tasto::F2;
    int appo = 0;
    try {
        InviaKeyUp(*this, Index, tasto, appo);
    } catch (const ErroreRun& e) {
        frmMsgCom::MsgErrfrm(e);
    }
}

bool frmDatiFatGest::RegolaCampo(int Index) {
    switch (Index) {
    case 80: {
        QLineEdit* box = txt[80];
        if (box->text().contains(QLatin1Char('-'))) {
            Colora(box, ctx().glColErrore);
            Lab[80]->clear();
        } else {
            box->setText(ggUtil().FormattaValore(Valore(box->text()), QStringLiteral("conto")));
        }
        DecodCampo(QStringLiteral("Conto"), box, Lab[80], tipoConto());
        return true;
    }
    case 100:
    case 110: {
        QString messaggio;
        ControllaCampoData(txt[Index], -2, 1, std::nullopt, &messaggio, false);
        if (!messaggio.isEmpty()) MostraMessaggio(messaggio);
        return true;
    }
    default:
        return false;
    }
}

void frmDatiFatGest::RegoleDopoCampo(int Index) {
    if (Index == 10 && !Rosso(txt[10])) {
        const double n = ggUtil().ValoreNumerico(Valore(txt[10]->text()));
        const double anno = ggUtil().ValoreNumerico(Valore(txt[20]->text()));
        // 2017 had two communications, the later years up to twelve.
        if (n < 0 || n > 12 || (anno == 2017 && n > 2)) {
            MostraMessaggio(QStringLiteral("Valore non valido per numero comunicato"));
            Colora(txt[10], ctx().glColErrore);
        }
    } else if (Index == 90) {
        DecodCampo(QStringLiteral("Decodifiche"), txt[90], Lab[90], std::nullopt, 0, {}, 0, std::nullopt,
                   FiltroDecodifiche("FETipDoc"));
    }
}

// ---- Mirrors

void frmDatiFatGest::OptTipoFat_Click(int Index) {
    txt[60]->setText(Index == 0 ? QStringLiteral("E") : Index == 1 ? QStringLiteral("R") : QString());
}

void frmDatiFatGest::OptStato_Click(int Index) {
    txt[70]->setText(Index == 0 ? QStringLiteral("N") : Index == 1 ? QStringLiteral("C") : Index == 2 ? QStringLiteral("E") : QString());
}

void frmDatiFatGest::Check_Click(int Index) {
    if (aggiornaControlli_ || Index != 140) return;
    const Qt::CheckState s = Check[140]->checkState();
    txt[140]->setText(s == Qt::Checked ? QStringLiteral("S") : s == Qt::Unchecked ? QStringLiteral("N") : QString());
}

void frmDatiFatGest::Opt_KeyDown(QRadioButton* const* gruppo, int mirror, int KeyCode) {
    if (KeyCode != kTastoCanc || Pagina().LeggiStato() != ComPag::Vuota) return;
    const int quanti = gruppo == OptTipoFat ? 2 : 3;
    for (int i = 0; i < quanti; ++i) AzzeraOpzione(gruppo[i]);
    txt[mirror]->clear();
}

void frmDatiFatGest::AggNonTextSchermo() {
    const QString bolla = txt[140]->text().trimmed().toUpper();
    Check[140]->setCheckState(bolla == QLatin1String("S") ? Qt::Checked : bolla == QLatin1String("N") ? Qt::Unchecked : Qt::PartiallyChecked);
    const QString tipo = txt[60]->text().trimmed().toUpper();
    const int t = tipo == QLatin1String("E") ? 0 : tipo == QLatin1String("R") ? 1 : -1;
    if (t < 0) for (QRadioButton* o : OptTipoFat) AzzeraOpzione(o);
    else OptTipoFat[t]->setChecked(true);
    const QString stato = txt[70]->text().trimmed().toUpper();
    const int s = stato == QLatin1String("N") ? 0 : stato == QLatin1String("C") ? 1 : stato == QLatin1String("E") ? 2 : -1;
    if (s < 0) for (QRadioButton* o : OptStato) AzzeraOpzione(o);
    else OptStato[s]->setChecked(true);
}

bool frmDatiFatGest::eventFilter(QObject* o, QEvent* e) {
    const QString nome = o->objectName();
    const bool tipo = nome == QLatin1String("OptTipoFat"), stato = nome == QLatin1String("OptStato");
    if (tipo || stato) {
        const bool canc = e->type() == QEvent::KeyPress && CodiceTasto(*static_cast<QKeyEvent*>(e)) == kTastoCanc;
        const bool destro = e->type() == QEvent::MouseButtonPress && static_cast<QMouseEvent*>(e)->button() == Qt::RightButton;
        if (canc || destro) Opt_KeyDown(tipo ? OptTipoFat : OptStato, tipo ? 60 : 70, kTastoCanc);
    } else if (nome == QLatin1String("txt") && e->type() == QEvent::KeyRelease) {
        const auto* k = static_cast<QKeyEvent*>(e);
        int codice = CodiceTasto(*k);
        txt_KeyUp(IndiceElemento(o), codice, StatoMaiusc(*k));
    }
    return SchermoTestata::eventFilter(o, e);
}

// ---- Restoring

void frmDatiFatGest::Ripristina() {
    if (InVar()) {
        Messaggio(QStringLiteral("Salvare i dati prima di effettuare questa operazione"));
        return;
    }
    const RipristinoDatiFat ripristino({.annoCom = txt[20]->text(), .numCom = txt[10]->text(), .annoReg = txt[30]->text(),
                                        .numReg = txt[40]->text(), .numCanc = txt[50]->text(), .tipo = txt[60]->text(),
                                        .stato = txt[70]->text(), .numInv = txt[150]->text(), .nomeFile = txt[170]->text()});
    GestoreDb& db = *ctx().ggGestDb;
    try {
        if (ripristino.Verifica(db, ctx().gsIdDbase) > 0) {
            Messaggio(QStringLiteral("Impossibile effettuare questa operazione perchè ") + ripristino.Motivo());
            return;
        }
        auto domanda = [](const QString& testo) {
            return frmMsgCom::msgCom(testo, QStringLiteral("&Ok"), QStringLiteral("&Annulla"), std::nullopt, std::nullopt, 80, 600, 0, 2);
        };
        if (domanda(QStringLiteral("Confermi il ripristino a non ") + ripristino.Oggetto()) != 1) return;
        if (domanda(QStringLiteral("L'operazione che si sta eseguendo potrebbe non essere compatibile con l'invio dei dati: Proseguire")) != 1)
            return;
        if (ripristino.Esegui(db, ctx().gsIdDbase) == 0) {
            Messaggio(QStringLiteral("Nessun record ripristinato: i dati visualizzati non corrispondono più all'archivio"));
        } else if (ripristino.caso() != RipristinoDatiFat::Invio) {
            // The restored record now stands under its key as not cancelled.
            txt[50]->setText(QStringLiteral("0"));
            txt[70]->setText(QStringLiteral("N"));
        }
    } catch (const ErroreRun& e) {
        frmMsgCom::MsgErrfrm(e);
    }
    ComPag& p = Pagina();
    const int prima = p.LeggiOpzioneTestata();
    p.ImpOpzioneTestata(4);
    SchermoTestata::ButtonComando(QStringLiteral("Ricerca"));
    p.ImpOpzioneTestata(prima);
    QApplication::processEvents();
}

void frmDatiFatGest::PassaA() {
    // Registered under the name the menu opens it by, so that "ritornoa" finds it.
    if (ctx().ggMenuClient)
        ctx().ggMenuClient->RegistraForm(QStringLiteral("Gestione Comunicazione Dati Fatture"), QStringLiteral("frmDatiFatGest"), osKeySec);
}
