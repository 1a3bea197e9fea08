#include "settlement/gestione/FrmLiqIvaTest.h"

#include "common/ControlliFiscali.h"
#include "common/FrmMsgCom.h"
#include "components/core/ErroreRun.h"
#include "common/form/UtilForm.h"
#include "components/db/GestoreDb.h"
#include "components/menu/MenuClient.h"
#include "components/util/UtilGenerali.h"
#include "common/schermi/AnnoPredefinito.h"
#include "common/schermi/CasellaSpunta.h"
#include "settlement/gestione/FrmLiqIvaDett.h"
#include "settlement/gestione/FrmLiqIvaTestLis.h"
#include "contesto/Contesto.h"

#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>

namespace {

const QString kCaption = QStringLiteral("Gestione Liquidazione Periodica Iva - Testata");
constexpr int kTastoCanc = 46;

// The modules grid: column, alias, caption, width; amounts in the company's format.
struct ColonnaDett {
    const char* colonna;
    const char* alias;
    const char* titolo;
    int larghezza;
    bool importo;
};
constexpr ColonnaDett kColonneDett[] = {
    {"Modulo", "Modulo", "Mod", 700, false},
    {"Mese", "Mese", "Mese", 700, false},
    {"Trimestre", "Trimestre", "Trim", 700, false},
    {"TotaleOperazioniAttive", "VP2-TotOpAtt", "Op.Att", 1800, true},
    {"TotaleOperazioniPassive", "VP3-TotOpPas", "Op.Pass", 1800, true},
    {"IvaEsigibile", "VP4-IvaEsig", "IvaEsig", 1200, true},
    {"IvaDetratta", "VP5-IvaDetr", "IvaDetr", 1200, true},
    {"IvaDovuta", "VP6/1-IvaDovuta", "IvaDovuta", 1200, true},
    {"IvaCredito", "VP6/2-IvaCred", "IvaCred", 1200, true},
    {"CreditoPeriodoPrecedente", "VP8-CrPerPrec", "CrPerPrec", 1200, true},
    {"CreditoAnnoPrecedente", "VP9-CrAnPrec", "CrAnPrec", 1200, true},
    {"CreditiImposta", "VP11-CredImp", "Crediti", 1200, true},
    {"Acconto", "VP13-Acc", "Acconto", 1200, true},
    {"ImportoDaVersare", "VP14/1-ImpDaVers", "Impo.Vers", 1200, true},
    {"ImportoACredito", "VP14/2-ImpACred", "Imp.Cred", 1200, true},
};

// Mirror of a check box: ticked, not ticked, grey.
QString ValoreSpunta(int Index, Qt::CheckState stato) {
    const bool anomalie = Index == 160;
    switch (stato) {
    case Qt::Checked: return anomalie ? QStringLiteral("1") : QStringLiteral("S");
    case Qt::Unchecked: return anomalie ? QStringLiteral("0") : QStringLiteral("N");
    default: return {};
    }
}

}  // namespace

frmLiqIvaTest::frmLiqIvaTest() : SchermoTestata(QStringLiteral("frmLiqIvaTest"), kCaption) {
    Campo(picTest, 20, QStringLiteral("Anno:"), 80, 8, 60);
    Campo(picTest, 10, QStringLiteral("Numero Comunicazione:"), 330, 8, 40, 160);

    constexpr int x = 300;
    Campo(PicDett, 30, QStringLiteral("Codice Fiscale:"), x, 4, 180);
    Campo(PicDett, 40, QStringLiteral("Partita Iva:"), x, 30, 130);
    Campo(PicDett, 50, QStringLiteral("Partita Iva della controllante:"), x, 56, 130);
    Campo(PicDett, 60, QStringLiteral("Ultimo mese:"), x, 82, 40);
    Spunta(PicDett, 70, QStringLiteral("Liquidazione di gruppo"), 500, 82, 200);

    auto* fraDich = new QGroupBox(QStringLiteral("DICHIARANTE (Compilare se diverso dal contribuente):"), PicDett);
    fraDich->setGeometry(4, 108, 792, 58);
    Campo(fraDich, 80, QStringLiteral("Codice Fiscale:"), 120, 22, 170);
    Campo(fraDich, 90, QStringLiteral("Codice carica:"), 400, 22, 40, 300);
    Campo(fraDich, 100, QStringLiteral("Codice Fiscale società dichiarante:"), 666, 22, 122, 446);
    Spunta(PicDett, 110, QStringLiteral("Firma comunicazione dichiarante"), 8, 168, 280);
    Spunta(PicDett, 160, QStringLiteral("Presenza di anomalie"), 400, 168, 280);

    auto* fraImp = new QGroupBox(QStringLiteral("IMPEGNO ALLA PRESENTAZIONE TELEMATICA"), PicDett);
    fraImp->setGeometry(4, 192, 792, 94);
    Campo(fraImp, 120, QStringLiteral("Codice Fiscale dell'incaricato:"), 220, 20, 170);
    auto* combo = new QComboBox(fraImp);
    ImpostaElemento(combo, QStringLiteral("cob"), 130);
    combo->addItems({QStringLiteral("0 - nessun impegno"), QStringLiteral("1 - Comunicazione predisposta dal contribuente"),
                     QStringLiteral("2 - Comunicazione predisposta da chi effettua l'invio")});
    combo->setGeometry(220, 44, 380, 22);
    combo->setCurrentIndex(-1);
    auto* lab = new QLabel(QStringLiteral("Impegno alla presentazione:"), fraImp);
    lab->setGeometry(8, 44, 200, 22);
    lab->setBuddy(combo);
    cob[130] = combo;
    connect(combo, qOverload<int>(&QComboBox::activated), this, [this] { Cob_Click(130); });
    Campo(fraImp, 140, QStringLiteral("Data dell'impegno:"), 220, 68, 90);
    Spunta(fraImp, 150, QStringLiteral("Firma comunicazione Intermediario"), 400, 68, 300);

    // Hidden mirrors of the check boxes and of the combo box: the stored fields.
    for (int i : {70, 110, 130, 150, 160}) {
        Campo(PicDett, i, QString(), 0, 0, 10)->hide();
    }
    for (int i : {70, 110, 150, 160})
        connect(Check[i], &QCheckBox::stateChanged, this, [this, i] { Check_Click(i); });
}

void frmLiqIvaTest::ImpostazionePropria(ComPag& pagina) {
    pagina.ImpAvvisoChiave(QStringLiteral("\nImpostare a 0 il numero riferimento per inserire"));
}

void frmLiqIvaTest::DefinisciCampi(ComPag& p) {
    const int anno = AnnoPredefinito(ctx().gtDataLavoro);
    p.AggiungiCampo(QStringLiteral("Anno"), txt[20], {.descrizione = QStringLiteral("Anno Riferimento"), .parteChiave = 1, .proposto = Valore(anno), .lunghezza = 4});
    p.AggiungiCampo(QStringLiteral("NumCom"), txt[10], {.descrizione = QStringLiteral("Numero Riferimento"), .parteChiave = 1, .lunghezza = 1, .maschera = QStringLiteral("0"), .massimo = 4});
    CaricaDichiarante(recDichiarante, QString());
    const RecDichiarante& d = recDichiarante;
    auto campo = [&](int i, const char* colonna, const char* descr, const Valore& proposto, int lunghezza = 0,
                     const QString& maschera = {}) {
        p.AggiungiCampo(QString::fromLatin1(colonna), txt[i],
                        {.descrizione = QString::fromUtf8(descr), .proposto = proposto, .lunghezza = lunghezza, .maschera = maschera});
    };
    campo(30, "CodiceFiscale", "Codice Fiscale", d.CodiceFiscale.trimmed(), 16);
    campo(40, "PartitaIva", "Partita Iva", d.PartitaIva.trimmed(), 11);
    campo(50, "PartitaIvaControllante", "Partita Iva Controllante", d.PartitaIvaControllante.trimmed(), 11);
    campo(60, "UltimoMese", "Ultimo Mese", d.UltimoMese < 1 ? Valore(QString()) : Valore(int(d.UltimoMese)), 2, QStringLiteral("0"));
    campo(70, "LiquidazioneGruppo", "Liquidazione del Gruppo", d.LiquidazioneGruppo);
    campo(80, "CFDichiarante", "Codice fiscale Dichiarante", d.CFDichiarante.trimmed(), 16);
    campo(90, "CodiceCaricaDichiarante", "Codice Carica Dichiarante", d.CodiceCaricaDichiarante.trimmed(), 2);
    campo(100, "CodiceFiscaleSocieta", "Codice Fiscale Societa Dichiarante", d.CodiceFiscaleSocieta.trimmed(), 11);
    campo(110, "FirmaDichiarazione", "", d.FirmaDichiarazione);
    campo(120, "CFIntermediario", "Codice Fiscale Intermediario", d.CFIntermediario.trimmed(), 16);
    campo(130, "ImpegnoPresentazione", "Impegno Presentazione", d.ImpegnoPresentazione);
    const bool senzaData = !d.DataImpegno.isValid() || d.DataImpegno == kDataNulla;
    campo(140, "DataImpegno", "Data dell'Impegno", senzaData ? Valore(QString()) : Valore(d.DataImpegno.toString(QStringLiteral("dd/MM/yyyy"))));
    campo(150, "FirmaIntermediario", "Firma dell'Intermediario", d.FirmaIntermediario);
    campo(160, "FlagConferma", "Presenza Anomalie", Valore(QStringLiteral("0")));
}

SchermoLista* frmLiqIvaTest::CreaLista() { return new frmLiqIvaTestLis; }

SchermoLinee* frmLiqIvaTest::CreaLinee() {
    auto* f = new frmLiqIvaDett;
    f->osAnno = txt[20]->text();
    f->osNumCom = txt[10]->text();
    return f;
}

QString frmLiqIvaTest::chiaveSql() const {
    UtilGenerali u;
    return QStringLiteral(" WHERE LiqIvaDett.Anno = ") + u.FormatoSql(Valore(txt[20]->text()), TipoDato::Intero) +
           QStringLiteral(" And LiqIvaDett.NumCom = ") + u.FormatoSql(Valore(txt[10]->text()), TipoDato::Lungo);
}

QString frmLiqIvaTest::QueryDett() const {
    QString sql = QStringLiteral("SELECT LiqIvaDett.Modulo AS Modulo");
    for (int i = 1; i < int(std::size(kColonneDett)); ++i)
        sql += QStringLiteral(", LiqIvaDett.%1 AS \"%2\"").arg(QLatin1String(kColonneDett[i].colonna), QLatin1String(kColonneDett[i].alias));
    return sql + QStringLiteral(" FROM LiqIvaDett") + chiaveSql() +
           QStringLiteral(" ORDER BY LiqIvaDett.Anno, LiqIvaDett.NumCom, LiqIvaDett.Modulo");
}

QString frmLiqIvaTest::QueryDettVuota() const {
    return QStringLiteral("Select LiqIvaDett.Anno from LiqIvaDett where LiqIvaDett.Anno = -1234");
}

void frmLiqIvaTest::FormatColDett() {
    ModelloGriglia& m = ModelloDett();
    for (const ColonnaDett& c : kColonneDett) {
        const QString alias = QString::fromLatin1(c.alias);
        const int i = m.IndiceColonna(alias);
        if (i < 0) continue;
        m.ImpTitolo(i, QString::fromLatin1(c.titolo));
        m.ImpLarghezza(alias, c.larghezza);
        if (c.importo) m.ImpFormato(alias, ctx().gsFmtImp);
    }
}

void frmLiqIvaTest::CancellaDettagli() {
    UtilGenerali u;
    ctx().ggGestDb->EseguiSql(ctx().gsIdDbase,
                              QStringLiteral("Delete from LiqIvaDett WHERE LiqIvaDett.Anno = ") +
                                  u.FormatoSql(Valore(txt[20]->text()), TipoDato::Intero) +
                                  QStringLiteral(" And LiqIvaDett.NumCom = ") + u.FormatoSql(Valore(txt[10]->text()), TipoDato::Lungo));
}

// ---- Boxes

bool frmLiqIvaTest::RegolaCampo(int Index) {
    switch (Index) {
    case 30:
    case 80:
    case 120:
        controllaCodiceFiscale(Index);
        return true;
    case 40:
    case 50:
    case 100:
        controllaPartitaIva(Index);
        return true;
    case 60: {
        QLineEdit* box = txt[60];
        try {
            Pagina().ControllaCampo(Pagina().CampoDiControllo(box));
        } catch (const ErroreRun&) {
            // Not a page field before loading: the range check alone.
        }
        if (!box->text().trimmed().isEmpty() && !Rosso(box)) {
            const double n = ggUtil().ValoreNumerico(Valore(box->text()));
            if (n < 0 || n > 12) {
                Colora(box, ctx().glColErrore);
                MostraMessaggio(QStringLiteral("Campo ultimo mese: inserire valore tra 1 e 12"));
            }
        }
        return true;
    }
    case 140: {
        QString messaggio;
        ControllaCampoData(txt[140], -2, 1, std::nullopt, &messaggio, false);
        if (!messaggio.isEmpty()) MostraMessaggio(messaggio);
        return true;
    }
    default:
        return false;
    }
}

void frmLiqIvaTest::RegoleDopoCampo(int Index) {
    if (Index != 10 || Rosso(txt[10])) return;
    const double n = ggUtil().ValoreNumerico(Valore(txt[10]->text()));
    if (n < 0 || n > 4) {
        MostraMessaggio(QStringLiteral("Valore non valido per numero comunicato"));
        Colora(txt[10], ctx().glColErrore);
    }
}

void frmLiqIvaTest::controllaCodiceFiscale(int Index) {
    QLineEdit* box = txt[Index];
    box->setText(box->text().trimmed().toUpper());
    const QString testo = box->text();
    bool numerico = false;
    testo.toLongLong(&numerico);
    if (testo.size() == 11 && numerico) {
        if (ContrPartIva(testo, QString(), QStringLiteral("IT"), 11, 0) != 0) {
            conferma(Index, QStringLiteral("Codice fiscale (Partita Iva) Errato. Lo vuoi confermare?"));
            return;
        }
    } else if (ContrCodFisc(testo, false) != 0) {
        conferma(Index, QStringLiteral("Codice Fiscale Errato.  Lo vuoi confermare?"));
        return;
    }
    Colora(box, ctx().glColNormale);
}

void frmLiqIvaTest::controllaPartitaIva(int Index) {
    QLineEdit* box = txt[Index];
    box->setText(box->text().trimmed());
    if (ContrPartIva(box->text(), QString(), QStringLiteral("IT"), 11, 0) != 0) {
        MostraMessaggio(QStringLiteral("Partita Iva Errata. La vuoi confermare?"));
        conferma(Index, QStringLiteral("Partita Iva Errata. La vuoi confermare?"));
        return;
    }
    Colora(box, ctx().glColNormale);
}

void frmLiqIvaTest::conferma(int Index, const QString& domanda) {
    Colora(txt[Index], ctx().glColErrore);
    // The question takes the focus: the box the user moved to is not checked underneath.
    const int prima = indiceComando_;
    indiceComando_ = Index;
    const int risposta = frmMsgCom::msgCom(domanda, QStringLiteral("Sì"), QStringLiteral("No"), std::nullopt, std::nullopt, 80, 600, 0, 1);
    indiceComando_ = prima;
    if (risposta == 1) Colora(txt[Index], ctx().glColNormale);
}

// ---- Mirrors

void frmLiqIvaTest::Check_Click(int Index) {
    // Showing a stored row sets the boxes from the mirrors, not the other way.
    if (aggiornaControlli_ || !Check.contains(Index) || !txt.contains(Index)) return;
    txt[Index]->setText(ValoreSpunta(Index, Check[Index]->checkState()));
}

void frmLiqIvaTest::Cob_Click(int Index) {
    if (indiceComando_ >= 0 || Index != 130) return;
    const QString testo = cob[130]->currentIndex() < 0 ? QString() : cob[130]->currentText();
    txt[130]->setText(testo.left(1));
}

void frmLiqIvaTest::cob_KeyDown(int Index, int KeyCode, int Shift) {
    if (KeyCode == kTastoCanc && Shift == 0 && cob.contains(Index)) {
        cob[Index]->setCurrentIndex(-1);
        if (txt.contains(Index)) txt[Index]->clear();
    }
}

void frmLiqIvaTest::Form_KeyDown(int& KeyCode, int Shift) {
    if (KeyCode == kTastoCanc && Shift == 0 && focusWidget() == cob[130]) {
        cob_KeyDown(130, KeyCode, Shift);
        KeyCode = 0;
        return;
    }
    SchermoTestata::Form_KeyDown(KeyCode, Shift);
}

void frmLiqIvaTest::AggNonTextSchermo() {
    for (int i : {70, 110, 150, 160}) {
        const QString v = txt[i]->text().trimmed().toUpper();
        const QString si = i == 160 ? QStringLiteral("1") : QStringLiteral("S");
        const QString no = i == 160 ? QStringLiteral("0") : QStringLiteral("N");
        Check[i]->setCheckState(v == si ? Qt::Checked : v == no ? Qt::Unchecked : Qt::PartiallyChecked);
    }
    const QString codice = txt[130]->text().trimmed();
    int scelta = -1;
    for (int i = 0; i < cob[130]->count() && !codice.isEmpty(); ++i)
        if (cob[130]->itemText(i).section(QLatin1Char(' '), 0, 0) == codice) scelta = i;
    cob[130]->setCurrentIndex(scelta);
}

void frmLiqIvaTest::PassaA() {
    if (ctx().ggMenuClient)
        ctx().ggMenuClient->RegistraForm(QStringLiteral("Gestione Liquidazione Periodica Iva"), QStringLiteral("frmLiqIvaTest"), osKeySec);
}
