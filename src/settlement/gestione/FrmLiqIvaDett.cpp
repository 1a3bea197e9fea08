#include "settlement/gestione/FrmLiqIvaDett.h"

#include "common/FrmMsgCom.h"
#include "components/core/ErroreRun.h"
#include "common/form/UtilForm.h"
#include "components/util/UtilGenerali.h"
#include "common/schermi/CasellaSpunta.h"
#include "contesto/Contesto.h"

#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>

namespace {

const QString kCaption = QStringLiteral("Dettagli Liquidazione Periodica Iva");
constexpr int kTastoCanc = 46;

// Boxes, columns and labels of the amounts, VP2 to VP14, with their column
// (0 left "DEBITI", 1 right "CREDITI") and row on the screen.
struct Importo {
    int box;
    const char* colonna;
    const char* etichetta;
    int lato;
    int riga;
    const char* nomeBreve;
};
constexpr Importo kImporti[] = {
    {60, "TotaleOperazioniAttive", "VP2  Totale oper. attive (al netto IVA):", 0, 0, ""},
    {70, "TotaleOperazioniPassive", "VP3:  Totale oper. passive (al netto IVA):", 1, 0, ""},
    {80, "IvaEsigibile", "VP4:  Iva esigibile:", 0, 2, ""},
    {90, "IvaDetratta", "VP5:  Iva detratta:", 1, 3, ""},
    {100, "IvaDovuta", "VP6: Iva dovuta:", 0, 4, ""},
    {110, "IvaCredito", "o a credito:", 1, 4, ""},
    {120, "DebitoPrecedente", "VP7:  Debito periodo precedente:", 0, 5, ""},
    {130, "CreditoPeriodoPrecedente", "VP8:  Credito periodo precedente:", 1, 6, "CredPerPrec"},
    {140, "CreditoAnnoPrecedente", "VP9:  Credito anno precedente:", 1, 7, "CredAnnoPrec"},
    {150, "VersamentiAutoUe", "VP10:  Versamenti auto UE:", 1, 8, "VersamAutoUe"},
    {160, "CreditiImposta", "VP11:  Crediti d'imposta:", 1, 9, "CredImposta"},
    {170, "InteressiDovuti", "VP12:  Interessi per liquid. trimestrale:", 0, 10, ""},
    {180, "Acconto", "VP13:  Acconto dovuto:", 1, 11, ""},
    {190, "ImportoDaVersare", "VP14:  Iva da versare", 0, 12, "ImpDaVersare"},
    {200, "ImportoACredito", "o a credito:", 1, 12, "ImpACredito"},
};

// The grid's columns after the key, in the query's order.
constexpr const char* kColonneGriglia[] = {
    "Mese", "Trimestre", "TotaleOperazioniAttive", "TotaleOperazioniPassive", "IvaEsigibile", "IvaDetratta",
    "IvaDovuta", "IvaCredito", "DebitoPrecedente", "CreditoPeriodoPrecedente", "CreditoAnnoPrecedente",
    "VersamentiAutoUe", "CreditiImposta", "InteressiDovuti", "Acconto", "MetodoAcconto", "ImportoDaVersare",
    "ImportoACredito", "Subfornitura", "EventiEccezionali", "OpStraordinarie"};

}  // namespace

frmLiqIvaDett::frmLiqIvaDett() : SchermoLinee(QStringLiteral("frmLiqIvaDett"), kCaption) {
    // Wider than the frame, so that the long captions of the right column read whole.
    setFixedSize(890, 600);
    PicDett->setGeometry(0, 68, 890, 396);
    dbgRiga->setGeometry(4, 468, 882, 104);
    Box(picFisso, 500, QStringLiteral("Anno comunicazione:"), 160, 4, 60, 4)->setReadOnly(true);
    Box(picFisso, 510, QStringLiteral("Numero comunicazione:"), 400, 4, 40, 230)->setReadOnly(true);

    Box(PicDett, 10, QStringLiteral("Numero Modulo:"), 130, 4, 30, 4);
    Box(PicDett, 20, QStringLiteral("VP1:  Mese:"), 270, 4, 30, 170);
    Box(PicDett, 30, QStringLiteral("Trimestre:"), 400, 4, 30, 310);
    auto spunta = [&](int i, const QString& testo, int x, int y) {
        auto* c = new CasellaSpunta(testo, PicDett);
        ImpostaElemento(c, QStringLiteral("Che"), i);
        c->setGeometry(x, y, 170, 22);
        Che[i] = c;
        connect(c, &QCheckBox::stateChanged, this, [this, i] { Che_Click(i); });
    };
    spunta(40, QStringLiteral("Subfornitura"), 450, 4);
    Box(PicDett, 50, QStringLiteral("Eventi eccezionali:"), 160, 30, 40, 4);
    spunta(210, QStringLiteral("Oper.Straordinaria"), 220, 30);

    auto* debiti = new QLabel(QStringLiteral("DEBITI"), PicDett);
    debiti->setGeometry(300, 82, 120, 20);
    auto* crediti = new QLabel(QStringLiteral("CREDITI"), PicDett);
    crediti->setGeometry(760, 82, 120, 20);
    for (const Importo& i : kImporti) {
        const int y = i.riga == 0 ? 56 : 82 + i.riga * 24;
        const int x = i.lato == 0 ? 300 : 760;
        const int xl = i.lato == 0 ? 4 : (i.riga == 4 || i.riga == 12 ? 600 : 440);
        Box(PicDett, i.box, QString::fromUtf8(i.etichetta), x, y, 120, xl)->setAlignment(Qt::AlignRight);
    }
    auto* combo = new QComboBox(PicDett);
    ImpostaElemento(combo, QStringLiteral("Cob"), 175);
    combo->addItems({QStringLiteral("1 storico"), QStringLiteral("2 previsionale"), QStringLiteral("3 analitico-effettivo"),
                     QStringLiteral("4 sogg.sett.partic.")});
    combo->setCurrentIndex(-1);
    combo->setGeometry(200, 82 + 11 * 24, 180, 22);
    Cob[175] = combo;
    connect(combo, &QComboBox::currentIndexChanged, this, [this] { Cob_Click(175); });
    for (int i : {40, 175, 210}) Box(PicDett, i, QString(), 0, 0, 10, 0)->hide();

    QList<QWidget*> ordine{txt[10], txt[20], txt[30], Che[40], txt[50], Che[210]};
    for (const Importo& i : kImporti) {
        if (i.box == 180) ordine << Cob[175];
        ordine << txt[i.box];
    }
    for (int i = 1; i < ordine.size(); ++i) setTabOrder(ordine[i - 1], ordine[i]);
}

void frmLiqIvaDett::ImpostaChiave() {
    txt[500]->setText(osAnno);
    txt[510]->setText(osNumCom);
}

void frmLiqIvaDett::DefinisciCampi(LinPag& l) {
    const QString formato = ctx().gsFmtImp;
    Campo(l, QStringLiteral("Anno"), 500, {.parteChiave = 1, .daTestata = 2});
    Campo(l, QStringLiteral("NumCom"), 510, {.parteChiave = 1, .daTestata = 2});
    Campo(l, QStringLiteral("Modulo"), 10, {.parteChiave = 1, .numeroRiga = true, .massimo = 5, .maschera = QStringLiteral("0")});
    Campo(l, QStringLiteral("Mese"), 20);
    Campo(l, QStringLiteral("Trimestre"), 30);
    Campo(l, QStringLiteral("Subfornitura"), 40, {.predefinito = QStringLiteral("N")});
    Campo(l, QStringLiteral("EventiEccezionali"), 50);
    Campo(l, QStringLiteral("OpStraordinarie"), 210, {.predefinito = QStringLiteral("N")});
    Campo(l, QStringLiteral("MetodoAcconto"), 175);
    for (const Importo& i : kImporti)
        Campo(l, QString::fromLatin1(i.colonna), i.box, {.nomeBreve = QString::fromLatin1(i.nomeBreve), .maschera = formato});
}

QString frmLiqIvaDett::PrepSql() const {
    UtilGenerali u;
    QString sql = QStringLiteral("SELECT LiqIvaDett.Anno, LiqIvaDett.NumCom, LiqIvaDett.Modulo");
    for (const char* c : kColonneGriglia) sql += QStringLiteral(",LiqIvaDett.") + QLatin1String(c);
    return sql + QStringLiteral(" FROM LiqIvaDett WHERE LiqIvaDett.Anno = ") +
           u.FormatoSql(Valore(txt[500]->text()), TipoDato::Intero) + QStringLiteral(" And LiqIvaDett.NumCom = ") +
           u.FormatoSql(Valore(txt[510]->text()), TipoDato::Lungo) +
           QStringLiteral(" ORDER BY LiqIvaDett.Anno,LiqIvaDett.NumCom,LiqIvaDett.Modulo");
}

void frmLiqIvaDett::PersColonne() {
    LinPag& l = Linee();
    auto colonna = [&](const QString& nome, int larghezza, const QString& formato) {
        try {
            l.ImpColonna(nome, larghezza, formato);
        } catch (const ErroreRun&) {
            // One column that cannot be set leaves the others as they are set.
        }
    };
    for (const char* c : {"Modulo", "Mese", "Trimestre", "Subfornitura", "EventiEccezionali", "OpStraordinarie"})
        colonna(QString::fromLatin1(c), 600, {});
    for (const Importo& i : kImporti)
        if (i.box >= 60 && i.box <= 180) colonna(QString::fromLatin1(i.colonna), 1200, ctx().gsFmtImpEuro);
    colonna(QStringLiteral("MetodoAcconto"), 600, {});
    colonna(QStringLiteral("ImportoDaVersare"), 1200, ctx().gsFmtImpEuro);
    colonna(QStringLiteral("ImportoACredito"), 1200, ctx().gsFmtImpEuro);
}

bool frmLiqIvaDett::RigaVuota() const {
    // Only a new module nobody typed in goes without a question: whatever the
    // user typed is not dropped silently.
    return ggUtil().EVuoto(Valore(txt[10]->text()), TipoDato::Testo) &&
           const_cast<frmLiqIvaDett*>(this)->Linee().NuovaIntatta();
}

// ---- Rules

void frmLiqIvaDett::RegoleCampo(int Index, bool variato) {
    struct Intervallo {
        int box;
        int massimo;
        const char* messaggio;
    };
    // Module, month and quarter start from 1, as their messages say.
    static constexpr Intervallo kIntervalli[] = {
        {10, 5, "Campo Modulo: inserire valore tra 1 e 5"},
        {20, 12, "Campo mese: inserire valore tra 1 e 12"},
        {30, 5, "Campo trimestre: inserire valore tra 1 e 5"},
    };
    for (const Intervallo& r : kIntervalli) {
        if (r.box != Index) continue;
        QLineEdit* box = txt[Index];
        if (box->text().trimmed().isEmpty()) return;
        const double n = ggUtil().ValoreNumerico(Valore(box->text()));
        if (n < 1 || n > r.massimo) {
            Colora(box, ctx().glColErrore);
            MostraMessaggio(QString::fromUtf8(r.messaggio));
        }
        return;
    }
    if (variato && Index >= 100 && Index <= 180) CalcIvaDaVers_O_Cred();
}

void frmLiqIvaDett::CalcIvaDaVers_O_Cred() {
    const UtilGenerali& u = ggUtil();
    auto importo = [&](int i) { return u.ImportoDaTesto(txt[i]->text()); };
    if (u.ValoreNumerico(Valore(txt[30]->text())) == 5 && u.ValoreNumerico(Valore(txt[20]->text())) == 0) {
        txt[190]->setText(QStringLiteral("0"));
        txt[200]->setText(QStringLiteral("0"));
        return;
    }
    const double debito = importo(100) + importo(120) + importo(170);
    const double credito = importo(110) + importo(130) + importo(140) + importo(150) + importo(160) + importo(180);
    const int confronto = ConfrontaVal(Valore(debito), Valore(credito), -8);
    if (confronto > 0) {
        txt[190]->setText(u.FormattaValore(Valore(debito - credito), ctx().gsFmtImpEuro));
        txt[200]->clear();
    } else if (confronto == 0) {
        txt[190]->setText(QStringLiteral("0"));
        txt[200]->setText(QStringLiteral("0"));
    } else {
        txt[190]->clear();
        txt[200]->setText(u.FormattaValore(Valore(credito - debito), ctx().gsFmtImpEuro));
    }
}

int frmLiqIvaDett::HookPrimaSchermo(int piOper, Valore& pvRit) {
    if (piOper != OperLin::Salva) return 0;
    const UtilGenerali& u = ggUtil();
    const double versare = u.ImportoDaTesto(txt[190]->text());
    const double credito = u.ImportoDaTesto(txt[200]->text());
    if (ConfrontaVal(Valore(versare), Valore(0.0), -8) == 0 || ConfrontaVal(Valore(credito), Valore(0.0), -8) == 0) return 0;
    const QString primo = QStringLiteral("Impossibile compilare sia l'Iva da versare che quella a credito");
    const int risposta = frmMsgCom::msgCom(primo + QStringLiteral("\nSalvare ugualmente"), QStringLiteral("&Ok"),
                                           QStringLiteral("&Annulla"), std::nullopt, std::nullopt, 80, 600, 0, 2);
    if (risposta == 1) return 0;
    MostraMessaggio(primo);
    pvRit = Valore(QStringLiteral("ImportoDaVersare"));
    return 1;
}

// ---- Mirrors

void frmLiqIvaDett::Che_Click(int Index) {
    if (aggiornaControlli_ || !Che.contains(Index)) return;
    const Qt::CheckState s = Che[Index]->checkState();
    txt[Index]->setText(s == Qt::Checked ? QStringLiteral("S") : s == Qt::Unchecked ? QStringLiteral("N") : QString());
}

void frmLiqIvaDett::Cob_Click(int Index) {
    if (aggiornaControlli_ || Index != 175) return;
    const int i = Cob[175]->currentIndex();
    txt[175]->setText(i < 0 ? QString() : QString::number(i + 1));
}

void frmLiqIvaDett::cob_KeyDown(int Index, int KeyCode, int Shift) {
    if (Index == 175 && KeyCode == kTastoCanc && Shift == 0) {
        Cob[175]->setCurrentIndex(-1);
        txt[175]->clear();
    }
}

void frmLiqIvaDett::Form_KeyDown(int& KeyCode, int Shift) {
    if (KeyCode == kTastoCanc && Shift == 0 && focusWidget() == Cob[175]) {
        cob_KeyDown(175, KeyCode, Shift);
        KeyCode = 0;
        return;
    }
    SchermoLinee::Form_KeyDown(KeyCode, Shift);
}

void frmLiqIvaDett::AggNonText() {
    // Showing a stored module sets the controls from the mirrors, not back.
    aggiornaControlli_ = true;
    for (int i : {40, 210}) {
        const QString v = txt[i]->text().trimmed().toUpper();
        Che[i]->setCheckState(v == QLatin1String("S") ? Qt::Checked : v == QLatin1String("N") ? Qt::Unchecked : Qt::PartiallyChecked);
    }
    bool ok = false;
    const int metodo = txt[175]->text().trimmed().toInt(&ok);
    Cob[175]->setCurrentIndex(ok && metodo >= 1 && metodo <= 4 ? metodo - 1 : -1);
    aggiornaControlli_ = false;
}
