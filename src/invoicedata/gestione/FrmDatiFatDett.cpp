#include "invoicedata/gestione/FrmDatiFatDett.h"

#include "common/FrmMsgCom.h"
#include "common/form/CodiciTasti.h"
#include "common/form/Decodifica.h"
#include "common/form/UtilForm.h"
#include "common/schermi/CasellaSpunta.h"
#include "components/core/ErroreRun.h"
#include "components/db/GestoreDb.h"
#include "components/pages/ModelloGriglia.h"
#include "components/util/UtilGenerali.h"
#include "contesto/Contesto.h"

#include <QFrame>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>

namespace {

const QString kCaption = QStringLiteral("Dettagli Comunicazione Dati Fatture");

QString FiltroNatura() {
    return QStringLiteral("TipoTab = ") + UtilGenerali().FormatoSql(Valore(QStringLiteral("FENatura")), TipoDato::Testo);
}

}  // namespace

frmDatiFatDett::frmDatiFatDett() : SchermoLinee(QStringLiteral("frmDatiFatDett"), kCaption) {
    // The header's key, counterparty and document above the lines, in four rows.
    picFisso->setGeometry(0, 36, 670, 110);
    PicDett->setGeometry(0, 148, 800, 280);
    Box(picFisso, 500, QStringLiteral("Comunicazione:  Anno:"), 170, 4, 50, 4);
    Box(picFisso, 510, QStringLiteral("Numero:"), 300, 4, 50, 228);
    Box(picFisso, 540, QStringLiteral("Numero cancellazione:"), 530, 4, 40, 364);
    Box(picFisso, 520, QStringLiteral("Registrazione PN: Anno:"), 170, 30, 50, 4);
    Box(picFisso, 530, QStringLiteral("Numero:"), 300, 30, 80, 228);
    Box(picFisso, 590, QStringLiteral("Data documento:"), 530, 30, 90, 394);
    Box(picFisso, 550, QString(), 0, 0, 10, 0)->hide();
    Box(picFisso, 560, QString(), 0, 0, 10, 0)->hide();
    Box(picFisso, 570, QStringLiteral("Cliente / Fornitore:"), 170, 56, 110, 4);
    Box(picFisso, 580, QStringLiteral("Tipo documento:"), 170, 82, 60, 4);
    Box(picFisso, 600, QStringLiteral("Numero documento:"), 530, 82, 130, 384);
    for (int i : {570, 580}) {
        auto* l = new QLabel(picFisso);
        ImpostaElemento(l, QStringLiteral("Lab"), i);
        l->setGeometry(i == 570 ? 286 : 236, i == 570 ? 56 : 82, i == 570 ? 374 : 140, 22);
        Lab[i] = l;
    }
    for (QLineEdit* b : txt) b->setReadOnly(true);
    picFisso->setEnabled(false);

    // The line number is kept out of sight, its caption too.
    Box(PicDett, 10, QString(), 60, 4, 40, 4)->hide();
    Box(PicDett, 20, QStringLiteral("Aliquota:"), 100, 4, 70, 4)->setAlignment(Qt::AlignRight);
    Box(PicDett, 30, QStringLiteral("Natura:"), 100, 30, 60, 4);
    ComHlp30 = new QPushButton(QStringLiteral("..."), PicDett);
    ImpostaElemento(ComHlp30, QStringLiteral("ComHlp"), 30);
    ComHlp30->setGeometry(164, 30, 26, 22);
    ComHlp30->setFocusPolicy(Qt::NoFocus);
    connect(ComHlp30, &QPushButton::clicked, this, [this] { ComHlp_Click(30); });
    auto* natura = new QLabel(PicDett);
    ImpostaElemento(natura, QStringLiteral("Lab"), 30);
    natura->setGeometry(196, 30, 256, 22);
    natura->setFrameShape(QFrame::StyledPanel);
    Lab[30] = natura;
    txt[30]->installEventFilter(this);
    Box(PicDett, 40, QStringLiteral("Imponibile:"), 100, 56, 120, 4)->setAlignment(Qt::AlignRight);
    Box(PicDett, 50, QStringLiteral("Imposta:"), 330, 56, 120, 250)->setAlignment(Qt::AlignRight);
    Box(PicDett, 70, QStringLiteral("Detraibile:"), 100, 82, 70, 4)->setAlignment(Qt::AlignRight);

    auto* esig = new QGroupBox(QStringLiteral("Esigibilità Iva"), PicDett);
    esig->setGeometry(460, 4, 336, 110);
    const QStringList testi{QStringLiteral("Immediata"), QStringLiteral("Differita"), QStringLiteral("Scissione dei pagamenti"),
                            QStringLiteral("Non definito (per esenti)")};
    for (int i = 0; i < 4; ++i) {
        auto* r = new QRadioButton(testi[i], esig);
        ImpostaElemento(r, QStringLiteral("OptEsig"), i);
        r->setGeometry(8, 22 + i * 21, 320, 20);
        OptEsig[i] = r;
        connect(r, &QRadioButton::clicked, this, [this, i] { OptEsig_Click(i); });
    }
    auto* c = new CasellaSpunta(QStringLiteral("Deducibile"), PicDett);
    ImpostaElemento(c, QStringLiteral("Che"), 80);
    c->setGeometry(200, 82, 130, 22);
    Che[80] = c;
    connect(c, &QCheckBox::stateChanged, this, [this] { Che_Click(80); });
    Box(PicDett, 60, QString(), 0, 0, 10, 0)->hide();
    Box(PicDett, 80, QString(), 0, 0, 10, 0)->hide();

    const QList<QWidget*> ordine{txt[20], txt[30], txt[40], txt[50], OptEsig[0], OptEsig[1], OptEsig[2], txt[70], Che[80], OptEsig[3]};
    for (int i = 1; i < ordine.size(); ++i) setTabOrder(ordine[i - 1], ordine[i]);
}

void frmDatiFatDett::ImpostaChiave() {
    const QString valori[] = {osAnnoCom, osNumCom, osAnnoReg, osNumReg, osNumCanc, osTipo, osStato};
    for (int i = 0; i < 7; ++i) txt[500 + i * 10]->setText(valori[i]);
    txt[570]->setText(osClieForn);
    Lab[570]->setText(osRagSoc);
    txt[580]->setText(osTipoDoc);
    Lab[580]->setText(osTipoDocDesc);
    txt[600]->setText(osNumDoc);
    txt[590]->setText(osDataDoc);
}

void frmDatiFatDett::DefinisciCampi(LinPag& l) {
    const char* chiavi[] = {"AnnoCom", "NumCom", "AnnoReg", "NumReg", "numCanc", "Tipo", "Stato"};
    for (int i = 0; i < 7; ++i) Campo(l, QString::fromLatin1(chiavi[i]), 500 + i * 10, {.parteChiave = 1, .daTestata = 2});
    // "0" until saved: the number is given then, after the highest stored.
    Campo(l, QStringLiteral("NumDet"), 10, {.parteChiave = 1, .predefinito = QStringLiteral("0")});
    Campo(l, QStringLiteral("Aliquota"), 20, {.maschera = QStringLiteral("#,##0.000")});
    Campo(l, QStringLiteral("Natura"), 30);
    Campo(l, QStringLiteral("ImponibileImporto"), 40, {.maschera = ctx().gsFmtImp});
    Campo(l, QStringLiteral("Imposta"), 50, {.maschera = ctx().gsFmtImp});
    Campo(l, QStringLiteral("Detraibile"), 70, {.maschera = QStringLiteral("#,###.000")});
    Campo(l, QStringLiteral("Deducibile"), 80, {.predefinito = QStringLiteral("N")});
    Campo(l, QStringLiteral("EsigibilitaIva"), 60);
}

void frmDatiFatDett::ImpAbilRW(int valore) {
    // The lines of a sent record stay as they went into the file.
    SchermoLinee::ImpAbilRW(obAbil ? valore : 0);
}

QString frmDatiFatDett::chiaveSql() const {
    UtilGenerali u;
    auto lit = [&](int i, int tipo) { return u.FormatoSql(Valore(txt[i]->text().trimmed()), tipo); };
    return QStringLiteral(" WHERE DatiFatDett.AnnoCom = ") + lit(500, TipoDato::Intero) +
           QStringLiteral(" And DatiFatDett.NumCom = ") + lit(510, TipoDato::Intero) +
           QStringLiteral(" And DatiFatDett.AnnoReg = ") + lit(520, TipoDato::Intero) +
           QStringLiteral(" And DatiFatDett.NumReg = ") + lit(530, TipoDato::Lungo) +
           QStringLiteral(" And DatiFatDett.NumCanc = ") + lit(540, TipoDato::Intero) +
           QStringLiteral(" And DatiFatDett.Tipo = ") + lit(550, TipoDato::Testo) +
           QStringLiteral(" And DatiFatDett.Stato = ") + lit(560, TipoDato::Testo);
}

QString frmDatiFatDett::PrepSql() const {
    return QStringLiteral("SELECT DatiFatDett.AnnoCom, DatiFatDett.NumCom,DatiFatDett.AnnoReg, DatiFatDett.NumReg"
                          ",DatiFatDett.NumCanc,DatiFatDett.Tipo,DatiFatDett.Stato,DatiFatDett.NumDet,DatiFatDett.Aliquota"
                          ",DatiFatDett.Natura,DatiFatDett.ImponibileImporto,DatiFatDett.Imposta,DatiFatDett.Detraibile"
                          ",DatiFatDett.Deducibile,DatiFatDett.EsigibilitaIva FROM DatiFatDett") +
           chiaveSql() + QStringLiteral(" ORDER BY DatiFatDett.AnnoCom,DatiFatDett.NumCom,DatiFatDett.NumDet");
}

void frmDatiFatDett::PersColonne() {
    LinPag& l = Linee();
    const std::tuple<const char*, int, QString> colonne[] = {
        {"Aliquota", 900, {}},           {"Natura", 800, {}},
        {"Deducibile", 600, {}},         {"Detraibile", 800, {}},
        {"EsigibilitaIva", 800, {}},     {"ImponibileImporto", 1200, ctx().gsFmtImpEuro},
        {"Imposta", 1200, ctx().gsFmtImpEuro},
    };
    for (const auto& [nome, larghezza, formato] : colonne) {
        try {
            l.ImpColonna(QString::fromLatin1(nome), larghezza, formato);
        } catch (const ErroreRun&) {
            // One column that cannot be set leaves the others as they are set.
        }
    }
    // The key repeats the header shown above: the grid shows the lines' own data.
    if (const auto* m = qobject_cast<const ModelloGriglia*>(dbgRiga->model()))
        for (const char* k : {"AnnoCom", "NumCom", "AnnoReg", "NumReg", "NumCanc", "Tipo", "Stato"})
            if (const int i = m->IndiceColonna(QString::fromLatin1(k)); i >= 0) dbgRiga->setColumnHidden(i, true);
}

bool frmDatiFatDett::RigaVuota() const {
    // A rate of 0 and no nature are not enough: amounts typed in a new line
    // are not dropped without a question.
    return ggUtil().ImportoDaTesto(txt[20]->text()) == 0 && ggUtil().EVuoto(Valore(txt[30]->text()), TipoDato::Testo) &&
           const_cast<frmDatiFatDett*>(this)->Linee().NuovaIntatta();
}

QString frmDatiFatDett::RicUltNum() {
    ModelloGriglia ultima;
    ultima.Carica(*ctx().ggGestDb, ctx().gsIdDbase,
                  QStringLiteral("Select MAX(NumDet) as NumDet from DatiFatDett") + chiaveSql());
    const double massimo = ultima.rowCount() == 0 ? 0 : ultima.Cella(0, 0).numero();
    txt[10]->setText(QString::number(static_cast<long long>(massimo) + 1));
    return {};
}

int frmDatiFatDett::HookPrimaSchermo(int piOper, Valore& pvRit) {
    if (piOper == OperLin::NuovaRiga) {
        Lab[30]->clear();
        return 0;
    }
    if (piOper != OperLin::Salva || ggUtil().ValoreNumerico(Valore(txt[10]->text())) != 0) return 0;
    const QString rifiuto = RicUltNum();
    if (rifiuto.isEmpty()) return 0;
    pvRit = Valore(rifiuto);
    return 1;
}

int frmDatiFatDett::PersLPaDop(int piOper, Valore& pvRit, QList<Valore>& pvArray) {
    const int r = SchermoLinee::PersLPaDop(piOper, pvRit, pvArray);
    try {
        if (piOper == OperLin::Annulla) Colora(txt[20], ctx().glColNormale);
        else if (piOper == OperLin::Mostrata) decodificaNatura();
    } catch (const ErroreRun& e) {
        frmMsgCom::MsgErrfrm(e);
    }
    return r;
}

void frmDatiFatDett::decodificaNatura() {
    DecodCampo(QStringLiteral("Decodifiche"), txt[30], Lab[30], std::nullopt, 0, {}, 0, std::nullopt, FiltroNatura(), -1, 0);
}

void frmDatiFatDett::RegoleCampo(int Index, bool variato) {
    if (Index == 30 && variato) decodificaNatura();
}

void frmDatiFatDett::txt_KeyUp(int Index, int& KeyCode, int Shift) {
    if (Index != 30 || Shift != 0 || KeyCode < Tasto::F2 || KeyCode > Tasto::F2 + 5) return;
    try {
        int scelta = 0;
        PrepListaAiuto(QStringLiteral("Decodifiche"), txt[30], Lab[30], KeyCode, std::nullopt, scelta, {}, 0, FiltroNatura());
    } catch (const ErroreRun& e) {
        frmMsgCom::MsgErrfrm(e);
    }
}

void frmDatiFatDett::ComHlp_Click(int Index) {
    int tasto = Tasto::F2;
    int appo = 0;
    try {
        InviaKeyUp(*this, Index, tasto, appo);
    } catch (const ErroreRun& e) {
        frmMsgCom::MsgErrfrm(e);
    }
}

bool frmDatiFatDett::eventFilter(QObject* o, QEvent* e) {
    if (o == txt.value(30) && e->type() == QEvent::KeyRelease) {
        const auto* k = static_cast<QKeyEvent*>(e);
        int codice = CodiceTasto(*k);
        txt_KeyUp(30, codice, StatoMaiusc(*k));
    }
    return SchermoLinee::eventFilter(o, e);
}

// ---- Mirrors

void frmDatiFatDett::Che_Click(int Index) {
    if (aggiornaControlli_ || Index != 80) return;
    const Qt::CheckState s = Che[80]->checkState();
    txt[80]->setText(s == Qt::Checked ? QStringLiteral("S") : s == Qt::Unchecked ? QStringLiteral("N") : QString());
}

void frmDatiFatDett::OptEsig_Click(int Index) {
    txt[60]->setText(Index == 0 ? QStringLiteral("I") : Index == 1 ? QStringLiteral("D") : Index == 2 ? QStringLiteral("S") : QString());
}

void frmDatiFatDett::AggNonText() {
    aggiornaControlli_ = true;
    const QString ded = txt[80]->text().trimmed().toUpper();
    Che[80]->setCheckState(ded == QLatin1String("S") ? Qt::Checked : ded == QLatin1String("N") ? Qt::Unchecked : Qt::PartiallyChecked);
    const QString esig = txt[60]->text().trimmed().toUpper();
    OptEsig[esig == QLatin1String("I") ? 0 : esig == QLatin1String("D") ? 1 : esig == QLatin1String("S") ? 2 : 3]->setChecked(true);
    aggiornaControlli_ = false;
}
