#include "print/opzioni/PannelloPdfEmail.h"

#include "common/FrmMsgCom.h"
#include "common/form/MembriForm.h"
#include "components/core/ErroreRun.h"
#include "components/platform/ServizioDialoghi.h"
#include "components/stampa/OpzSta.h"
#include "components/util/Percorsi.h"
#include "components/util/UtilGenerali.h"
#include "contesto/Contesto.h"
#include "contesto/ImpostazioniIni.h"
#include "print/opzioni/PostaStampa.h"
#include "print/opzioni/FrmSceltaStam.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// Items of the panel, 1 to 22, with their menu names.
const char* const NomiVoci[23] = {"",
                                  "UsaPdfCreator", "UsaPdf995", "PdfNomeFile", "CreatorAutosaveStart", "EmailTo",
                                  "EmailTipoInvio", "EmailFileLog", "EmailInd", "EmailCentro", "EmailSMTPtipo",
                                  "EmailServerSMTP", "EmailReplay", "EmailFlagNotifica", "EmailLogin", "EmailPwd",
                                  "StampeEmail", "EmailNumTesto", "EmailPersOggetto", "EmailNumPorta", "EmailUsaSSL",
                                  "EmailDirStunnel", "EmailTipoNum"};
const char* const DidascalieVoci[23] = {"",
                                        "Usa PdfCreator", "Usa Pdf995", "Percorso file per pdf",
                                        "Apertura automatica file pdf dopo la stampa", "Indir. Email a cui si invia",
                                        "Tipo Invio", "File di log email", "Indirizzo email di chi invia",
                                        "Descriz. email di invio(centro)", "Tipo server (Solo per CDO)", "Server SMTP",
                                        "Indirizzo di replay", "Richiedere notifica email ricevuta ", "Login Email",
                                        "Pwd Email", "Abilitare opzione richiesta invio email", "Numero testo da usare",
                                        "Descriz. per l'oggetto email", "Numero porta SMTP",
                                        "Usa SSL per l'invio dell'email", "Directory stunnel",
                                        "Configurazione di invio email Attiva"};
const char* const Metodi[5] = {"Sendmail", "CDO", "Outlook", "See", "Non usato"};
const QString LettereMetodi[5] = {QStringLiteral("S"), QStringLiteral("C"), QStringLiteral("O"), QStringLiteral("E"), QString()};
constexpr int VociCasella[] = {1, 2, 4, 13, 16, 20};

QString nomeVoce(int voce, const QString& suffisso = {}) { return QString::fromLatin1(NomiVoci[voce]) + suffisso; }
QString par(const QString& nome) { return LeggiParEmail(nome); }
bool si(const QString& v) { return v.compare(QStringLiteral("S"), Qt::CaseInsensitive) == 0; }
QString sn(bool b) { return b ? QStringLiteral("S") : QStringLiteral("N"); }
QString interoOVuoto(const QString& v) {
    const double n = ggUtil().ValoreNumerico(Valore(v));
    return n == 0 ? QString() : QString::number(static_cast<long>(ggUtil().Arrotonda(n, 0)));
}
void messaggio(const QString& t) { frmMsgCom::msgCom(t); }
int domanda(const QString& t) {
    RichiestaMsgCom r;
    r.messaggio = t;
    r.bottoni = {QStringLiteral("&Sì"), QStringLiteral("&No")};
    return ctx().ggDialoghi->msgCom(r);
}

}  // namespace

bool PannelloPdfEmail::IndInVet(int piCheck) {
    return std::find(std::begin(maIndConfig), std::end(maIndConfig), piCheck) != std::end(maIndConfig);
}

QLineEdit* PannelloPdfEmail::txt(int indice) const { return dialogo_.txt(indice); }

QLineEdit* PannelloPdfEmail::nuovoTxt(QWidget* padre, int indice) {
    auto* t = new QLineEdit(padre);
    ImpostaElemento(t, QStringLiteral("txt"), indice);
    return t;
}

PannelloPdfEmail::PannelloPdfEmail(FrmSceltaStam& dialogo) : QWidget(&dialogo), dialogo_(dialogo) {
    setObjectName(QStringLiteral("PicPdfEmail"));
    setAutoFillBackground(true);
    auto* l = new QVBoxLayout(this);
    l->addWidget(new QLabel(QStringLiteral("Parametri per stampe pdf ed email"), this));
    auto* comuni = new QGridLayout;
    comuni->addWidget(new QLabel(QStringLiteral("Salvare"), this), 0, 0);
    int riga = 1;
    auto salva = [&](QGridLayout* g, int r, int indice, QWidget* padre) {
        auto* c = new QCheckBox(padre);
        ImpostaElemento(c, QStringLiteral("ChePdfEmailSalva"), indice);
        ChePdfEmailSalva[indice] = c;
        g->addWidget(c, r, 0);
    };
    auto casella = [&](QGridLayout* g, int r, int voce, int c, QWidget* padre) {
        auto* b = new QCheckBox(QString::fromUtf8(DidascalieVoci[voce]), padre);
        ImpostaElemento(b, QStringLiteral("ChePdfEmailVal"), 100 * c + voce);
        ChePdfEmailVal[100 * c + voce] = b;
        g->addWidget(b, r, 1, 1, 2);
    };
    auto testo = [&](QGridLayout* g, int r, int voce, int c, QWidget* padre, bool cerca = false) {
        g->addWidget(new QLabel(QString::fromUtf8(DidascalieVoci[voce]), padre), r, 1);
        QLineEdit* t = nuovoTxt(padre, 1000 + 100 * c + voce);
        if (voce == 15) t->setEchoMode(QLineEdit::Password);
        g->addWidget(t, r, 2);
        if (cerca) {
            auto* b = new QPushButton(QStringLiteral("Cerca"), padre);
            ImpostaElemento(b, QStringLiteral("ComCerca"), 1000 + 100 * c + voce);
            b->setAutoDefault(false);
            const int indice = 1000 + 100 * c + voce;
            connect(b, &QPushButton::clicked, this, [this, indice] { ComCerca_Click(indice); });
            g->addWidget(b, r, 3);
        }
    };
    for (int voce : {1, 2, 3, 4, 5, 7, 13, 16, 22}) {
        salva(comuni, riga, voce, this);
        if (voce == 3 || voce == 7) {
            testo(comuni, riga, voce, 0, this, true);
        } else if (voce == 5) {
            comuni->addWidget(new QLabel(QString::fromUtf8(DidascalieVoci[5]), this), riga, 1);
            auto* posto = new QWidget(this);
            auto* lp = new QGridLayout(posto);
            lp->setContentsMargins(0, 0, 0, 0);
            // The three recipients share one place; only the current shows.
            for (int i : {1005, 1505, 1515}) lp->addWidget(nuovoTxt(posto, i), 0, 0);
            comuni->addWidget(posto, riga, 2);
            CboEmailToNum = new QComboBox(this);
            CboEmailToNum->setObjectName(QStringLiteral("CboEmailToNum"));
            CboEmailToNum->addItems({QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")});
            comuni->addWidget(CboEmailToNum, riga, 3);
            connect(CboEmailToNum, &QComboBox::activated, this, [this](int i) {
                miEmailToCor = i + 1;
                MostraEmailToCor(false);
            });
        } else if (voce == 22) {
            comuni->addWidget(new QLabel(QString::fromUtf8(DidascalieVoci[22]), this), riga, 1);
            CboEmailTipoNum = new QComboBox(this);
            CboEmailTipoNum->setObjectName(QStringLiteral("CboEmailTipoNum"));
            CboEmailTipoNum->addItems({QStringLiteral("Scelta 1"), QStringLiteral("Scelta 2"), QStringLiteral("Scelta 3")});
            comuni->addWidget(CboEmailTipoNum, riga, 2);
            connect(CboEmailTipoNum, &QComboBox::activated, this, [this](int i) {
                miEmailTipoCor = i + 1;
                MostraEmailTipoCor(false);
            });
        } else {
            casella(comuni, riga, voce, 0, this);
        }
        ++riga;
    }
    comuni->addWidget(new QLabel(QStringLiteral("Indir. temporaneo"), this), riga, 1);
    QLineEdit* temporaneo = nuovoTxt(this, 1520);
    temporaneo->installEventFilter(this);
    comuni->addWidget(temporaneo, riga, 2);
    ComHlp1520 = new QPushButton(QStringLiteral("..."), this);
    ImpostaElemento(ComHlp1520, QStringLiteral("ComHlp"), 1520);
    ComHlp1520->setFocusPolicy(Qt::NoFocus);
    connect(ComHlp1520, &QPushButton::clicked, this, [this] { txt1520_KeyUp(113, 0); });
    comuni->addWidget(ComHlp1520, riga, 3);
    l->addLayout(comuni);

    auto* posto = new QWidget(this);
    auto* lPosto = new QGridLayout(posto);
    lPosto->setContentsMargins(0, 0, 0, 0);
    for (int c = 0; c < 3; ++c) {
        PicEmailAttiva[c] = new QWidget(posto);
        ImpostaElemento(PicEmailAttiva[c], QStringLiteral("PicEmailAttiva"), c);
        lPosto->addWidget(PicEmailAttiva[c], 0, 0);
        auto* g = new QGridLayout(PicEmailAttiva[c]);
        int r = 0;
        for (int voce : maIndConfig) {
            salva(g, r, 100 * c + voce, PicEmailAttiva[c]);
            if (voce == 6) {
                auto* fra = new QGroupBox(QStringLiteral("Tipo Invio"), PicEmailAttiva[c]);
                auto* lf = new QHBoxLayout(fra);
                for (int k = 0; k < (c == 0 ? 4 : 5); ++k) {
                    auto* o = new QRadioButton(QString::fromLatin1(Metodi[k]), fra);
                    ImpostaElemento(o, QStringLiteral("OptPETipoInvio"), 5 * c + k);
                    OptPETipoInvio[5 * c + k] = o;
                    lf->addWidget(o);
                }
                g->addWidget(fra, r, 1, 1, 3);
            } else if (voce == 20) {
                casella(g, r, voce, c, PicEmailAttiva[c]);
            } else {
                testo(g, r, voce, c, PicEmailAttiva[c], voce == 21);
            }
            ++r;
        }
    }
    l->addWidget(posto);
    for (int i : {1017, 1019, 1117, 1119, 1217, 1219}) txt(i)->setProperty("NumeroPE", true);

    auto* fraDove = new QGroupBox(QStringLiteral("Dove salvare"), this);
    auto* ld = new QHBoxLayout(fraDove);
    OptPEDove[0] = new QRadioButton(QStringLiteral("Parametri di questo terminale"), fraDove);
    OptPEDove[1] = new QRadioButton(QStringLiteral("Parametri comuni a tutti i terminali"), fraDove);
    for (int i = 0; i < 2; ++i) {
        ImpostaElemento(OptPEDove[i], QStringLiteral("OptPEDove"), i);
        ld->addWidget(OptPEDove[i]);
    }
    OptPEDove[0]->setChecked(true);
    l->addWidget(fraDove);

    auto* bottoni = new QHBoxLayout;
    auto bottone = [&](QPushButton*& b, const char* nome, const char* didascalia, void (PannelloPdfEmail::*azione)()) {
        b = new QPushButton(QString::fromUtf8(didascalia), this);
        b->setObjectName(QString::fromLatin1(nome));
        b->setAutoDefault(false);
        bottoni->addWidget(b);
        connect(b, &QPushButton::clicked, this, azione);
    };
    bottone(ComPEOk, "ComPEOk", "&Ok", &PannelloPdfEmail::ComPEOk_Click);
    bottone(ComPEAnnulla, "ComPEAnnulla", "&Annulla", &PannelloPdfEmail::ComPEAnnulla_Click);
    bottone(ComPESalva, "ComPESalva", "&Salva su file Ini", &PannelloPdfEmail::ComPESalva_Click);
    bottone(ComPECanc, "ComPECanc", "&Cancella su file Ini", &PannelloPdfEmail::ComPECanc_Click);
    bottone(ComPERileggi, "ComPERileggi", "&Rileggi da file Ini", &PannelloPdfEmail::ComPERileggi_Click);
    bottone(ComPeDatiCor, "ComPeDatiCor", "Ri&leggi dati correnti", &PannelloPdfEmail::ComPeDatiCor_Click);
    ComPESel = new QPushButton(QStringLiteral("S&eleziona tutto"), this);
    ComPEDesel = new QPushButton(QStringLiteral("&Deseleziona tutto"), this);
    ComPESel->setObjectName(QStringLiteral("ComPESel"));
    ComPEDesel->setObjectName(QStringLiteral("ComPEDesel"));
    bottoni->addWidget(ComPESel);
    bottoni->addWidget(ComPEDesel);
    connect(ComPESel, &QPushButton::clicked, this, [this] { PESelDeselSalOpz(true); });
    connect(ComPEDesel, &QPushButton::clicked, this, [this] { PESelDeselSalOpz(false); });
    l->addLayout(bottoni);
    hide();
}

void PannelloPdfEmail::Apri() {
    show();
    raise();
    PESelDeselSalOpz(true);
    MostraIniPE();
}

void PannelloPdfEmail::nascondi() { hide(); }

void PannelloPdfEmail::MostraIniPE() {
    ChePdfEmailVal[1]->setChecked(si(par(nomeVoce(1))));
    ChePdfEmailVal[2]->setChecked(si(par(nomeVoce(2))));
    txt(1003)->setText(par(nomeVoce(3)));
    ChePdfEmailVal[4]->setChecked(si(par(nomeVoce(4))));
    txt(1005)->setText(par(QStringLiteral("EmailTo1")));
    txt(1505)->setText(par(QStringLiteral("EmailTo2")));
    txt(1515)->setText(par(QStringLiteral("EmailTo3")));
    miEmailToCor = std::clamp(static_cast<int>(ggUtil().ValoreNumerico(Valore(par(QStringLiteral("EmailToNum"))))), 1, 3);
    MostraEmailToCor(true);

    // No configuration number: the single configuration without digits. The
    // recipient number chosen by the user is left as it is.
    miEmailTipoCor = std::max(0, static_cast<int>(ggUtil().ValoreNumerico(Valore(par(nomeVoce(22))))));
    if (miEmailTipoCor == 0) {
        miEmailTipoCor = 1;
        mbPiuConfig = false;
    } else {
        mbPiuConfig = true;
    }
    miEmailTipoCor = std::min(miEmailTipoCor, 3);
    MostraEmailTipoCor(true);

    for (int c = 0; c < (mbPiuConfig ? 3 : 1); ++c) {
        const QString suf = mbPiuConfig ? QString::number(c + 1) : QString();
        const QString tipo = par(nomeVoce(6, suf));
        int k = 0;
        if (tipo.compare(QStringLiteral("C"), Qt::CaseInsensitive) == 0) k = 1;
        else if (tipo.compare(QStringLiteral("O"), Qt::CaseInsensitive) == 0) k = 2;
        else if (tipo.compare(QStringLiteral("E"), Qt::CaseInsensitive) == 0) k = 3;
        else k = (c != 0 && tipo.isEmpty()) ? 4 : 0;
        OptPETipoInvio[5 * c + k]->setChecked(true);
        const int b = 1000 + 100 * c;
        txt(b + 8)->setText(LeggiValMenu(nomeVoce(8, suf)).testo());
        txt(b + 9)->setText(par(nomeVoce(9, suf)));
        txt(b + 10)->setText(par(nomeVoce(10, suf)));
        txt(b + 11)->setText(par(nomeVoce(11, suf)));
        txt(b + 12)->setText(LeggiValMenu(nomeVoce(12, suf)).testo());
        txt(b + 14)->setText(par(nomeVoce(14, suf)));
        txt(b + 15)->setText(par(nomeVoce(15, suf)));
        txt(b + 17)->setText(interoOVuoto(par(nomeVoce(17, suf))));
        txt(b + 18)->setText(par(nomeVoce(18, suf)));
        txt(b + 19)->setText(interoOVuoto(par(nomeVoce(19, suf))));
        ChePdfEmailVal[100 * c + 20]->setChecked(si(par(nomeVoce(20, suf))));
        txt(b + 21)->setText(par(nomeVoce(21, suf)));
    }
    txt(1007)->setText(par(nomeVoce(7)));
    ChePdfEmailVal[13]->setChecked(LeggiValMenu(nomeVoce(13)).booleano());
    ChePdfEmailVal[16]->setChecked(si(par(nomeVoce(16))));
    ImpostaBackColor(txt(1017), ctx().glColNormale);
    txt(1520)->setText(dialogo_.ogOpzSta ? dialogo_.ogOpzSta->LeggiOpzione(QStringLiteral("EmailToTemp")).testo() : QString());
}

void PannelloPdfEmail::MostraEmailToCor(bool pbAggCob) {
    const int caselle[3] = {1005, 1505, 1515};
    for (int i = 0; i < 3; ++i) txt(caselle[i])->setVisible(i == miEmailToCor - 1);
    if (pbAggCob) CboEmailToNum->setCurrentIndex(miEmailToCor - 1);
}

void PannelloPdfEmail::MostraEmailTipoCor(bool pbAggCob) {
    for (int c = 0; c < 3; ++c) PicEmailAttiva[c]->setVisible(c == miEmailTipoCor - 1);
    if (pbAggCob) CboEmailTipoNum->setCurrentIndex(miEmailTipoCor - 1);
}

void PannelloPdfEmail::AggIniPE() {
    auto scrivi = [](const QString& nome, const Valore& v) { ScriviValMenu(nome, v); };
    scrivi(nomeVoce(1), sn(ChePdfEmailVal[1]->isChecked()));
    scrivi(nomeVoce(2), sn(ChePdfEmailVal[2]->isChecked()));
    scrivi(nomeVoce(3), txt(1003)->text());
    scrivi(nomeVoce(4), sn(ChePdfEmailVal[4]->isChecked()));
    const int caselle[3] = {1005, 1505, 1515};
    for (int i = 0; i < 3; ++i) scrivi(QStringLiteral("EmailTo%1").arg(i + 1), txt(caselle[i])->text());
    scrivi(QStringLiteral("EmailToNum"), Valore(miEmailToCor));
    scrivi(nomeVoce(5), txt(caselle[miEmailToCor - 1])->text());
    for (int c = 0; c < (mbPiuConfig ? 3 : 1); ++c) {
        const QString suf = mbPiuConfig ? QString::number(c + 1) : QString();
        QString tipo = LettereMetodi[0];
        for (int k = 1; k < 5; ++k)
            if (OptPETipoInvio.contains(5 * c + k) && OptPETipoInvio[5 * c + k]->isChecked()) tipo = LettereMetodi[k];
        scrivi(nomeVoce(6, suf), tipo);
        const int b = 1000 + 100 * c;
        for (int voce : {8, 9, 10, 11, 12, 14, 15}) scrivi(nomeVoce(voce, suf), txt(b + voce)->text());
        scrivi(nomeVoce(17, suf), Valore(static_cast<int64_t>(ggUtil().ValoreNumerico(Valore(txt(b + 17)->text())))));
        scrivi(nomeVoce(18, suf), txt(b + 18)->text());
        scrivi(nomeVoce(19, suf), Valore(static_cast<int64_t>(ggUtil().ValoreNumerico(Valore(txt(b + 19)->text())))));
        scrivi(nomeVoce(20, suf), ChePdfEmailVal[100 * c + 20]->isChecked() ? QStringLiteral("S") : QString());
        scrivi(nomeVoce(21, suf), txt(b + 21)->text());
    }
    scrivi(nomeVoce(7), txt(1007)->text());
    scrivi(nomeVoce(13), Valore(ChePdfEmailVal[13]->isChecked()));
    scrivi(nomeVoce(16), sn(ChePdfEmailVal[16]->isChecked()));
    if (dialogo_.ogOpzSta) dialogo_.ogOpzSta->ImpOpzione(QStringLiteral("EmailToTemp"), 12, txt(1520)->text());
    scrivi(nomeVoce(22), Valore(miEmailTipoCor));
}

QString PannelloPdfEmail::SalvaCancIniPE() const {
    QString s = OptPEDove[1]->isChecked() ? QStringLiteral("g") : QStringLiteral("p");
    for (int c = 0; c < 3; ++c)
        for (int voce = 1; voce <= 22; ++voce) {
            if (c > 0 && (!IndInVet(voce) || voce == 22)) {
                s += QLatin1Char('X');
                continue;
            }
            const QCheckBox* b = ChePdfEmailSalva.value(100 * c + voce);
            s += b && b->isChecked() ? QLatin1Char('S') : QLatin1Char('N');
        }
    return s;
}

bool PannelloPdfEmail::CtrlTxtValidi() {
    for (QLineEdit* t : dialogo_.findChildren<QLineEdit*>(QStringLiteral("txt")))
        if (BackColor(t) == ctx().glColErrore) {
            messaggio(QStringLiteral("ci sono dei dati non validi"));
            if (t->isVisible()) t->setFocus();
            return false;
        }
    // This program sends SSL mail itself, but the suite's other programs and
    // terminals read the same parameters and need the stunnel folder.
    for (int c = 0; c < 3; ++c) {
        if (!ChePdfEmailVal[100 * c + 20]->isChecked()) continue;
        if (!OptPETipoInvio[5 * c + 3]->isChecked()) {
            messaggio(QStringLiteral("L'uso di SSL è possibile solo usando tipo invio 'See'"));
            return false;
        }
        const QString cartella = txt(1021 + 100 * c)->text();
        if (ggUtil().EVuoto(Valore(cartella), TipoDato::Testo)) {
            messaggio(QStringLiteral("Con l'uso di SSL è obbligatorio inserire la directory stunnel"));
            return false;
        }
        // Named as the terminals store it ("C:\\stunnel" too), looked for here.
        if (!QFileInfo(PercorsoLocale(cartella.trimmed())).isDir()) {
            messaggio(QStringLiteral("La directory stunnel è inesistente"));
            return false;
        }
    }
    return true;
}

void PannelloPdfEmail::PESelDeselSalOpz(bool pbSelez) {
    for (QCheckBox* b : std::as_const(ChePdfEmailSalva)) b->setChecked(pbSelez);
    if (pbSelez)
        for (int i : {15, 115, 215}) ChePdfEmailSalva[i]->setChecked(false);
}

void PannelloPdfEmail::ComPEOk_Click() {
    if (!CtrlTxtValidi()) return;
    AggIniPE();
    if (dialogo_.oiRichDatiEmail != 1000) {
        nascondi();
        return;
    }
    const int a = mbPiuConfig ? 100 * (miEmailTipoCor - 1) : 0;
    const bool manca = txt(1014 + a)->text().isEmpty() || txt(1015 + a)->text().isEmpty() ||
                       txt(1011 + a)->text().isEmpty() ||
                       (LeggiValMenu(QStringLiteral("EmailTo")).testo().isEmpty() && txt(1520)->text().isEmpty());
    if (manca) {
        messaggio(QStringLiteral("mancano dati obbligatori per l'invio dell'email"));
        return;
    }
    dialogo_.FineRichiestaEmail(true);
}

void PannelloPdfEmail::ComPEAnnulla_Click() {
    if (dialogo_.oiRichDatiEmail == 1000) {
        if (domanda(QStringLiteral("Confermi annullamento invio email")) != 1) return;
        dialogo_.oiRichDatiEmail = 200;
        dialogo_.FineRichiestaEmail(false);
        return;
    }
    if (domanda(QStringLiteral("Confermi uscita senza salvataggio")) == 1) nascondi();
}

void PannelloPdfEmail::ComPESalva_Click() {
    if (!CtrlTxtValidi()) return;
    AggIniPE();
    ScriviValMenu(QStringLiteral("ScriviIniComuni"), QStringLiteral("+") + SalvaCancIniPE() + QStringLiteral("V"));
    if (dialogo_.oiRichDatiEmail != 1000) nascondi();
}

void PannelloPdfEmail::ComPECanc_Click() {
    ScriviValMenu(QStringLiteral("ScriviIniComuni"), QStringLiteral("-") + SalvaCancIniPE() + QStringLiteral("V"));
    ScriviValMenu(QStringLiteral("LeggiIniComuni"), Valore(1));
    if (dialogo_.oiRichDatiEmail != 1000) nascondi();
}

void PannelloPdfEmail::ComPERileggi_Click() {
    ScriviValMenu(QStringLiteral("LeggiIniComuni"), Valore(1));
    MostraIniPE();
}

void PannelloPdfEmail::ComPeDatiCor_Click() { MostraIniPE(); }

void PannelloPdfEmail::ComCerca_Click(int indice) {
    QLineEdit* t = txt(indice);
    RichiestaFile r;
    if (indice % 100 == 21) {
        r.titolo = QStringLiteral("Directory per stunnel");
        r.cartella = t->text();
        r.soloCartella = true;
        r.salvataggio = false;
        if (const auto s = ctx().ggDialoghi->sceltaFile(r)) t->setText(ggUtil().SistemaPercorso(*s + QStringLiteral("/")));
        return;
    }
    r.nomeFile = t->text();
    if (indice == 1003) {
        r.titolo = QStringLiteral("Nome del file per pdf");
    } else {
        r.titolo = QStringLiteral("Nome del file per log");
        r.filtri = {QStringLiteral("Testo (*.txt)")};
    }
    if (const auto s = ctx().ggDialoghi->sceltaFile(r)) t->setText(*s);
}

void PannelloPdfEmail::NumeroLasciato(int indice) {
    QLineEdit* t = txt(indice);
    if (!t || t->text().compare(t->property("Tag").toString(), Qt::CaseInsensitive) == 0) return;
    double n = 0;
    const QString v = t->text().trimmed();
    if (!v.isEmpty() && !leggiNumeroItaliano(v, n)) {
        ImpostaBackColor(t, ctx().glColErrore);
        return;
    }
    t->setText(v.isEmpty() ? QString() : QString::number(static_cast<long>(ggUtil().Arrotonda(n, 0))));
    ImpostaBackColor(t, ctx().glColNormale);
}

bool PannelloPdfEmail::eventFilter(QObject* o, QEvent* e) {
    if (e->type() == QEvent::KeyRelease && o == txt(1520)) {
        const auto* k = static_cast<QKeyEvent*>(e);
        if (k->key() >= Qt::Key_F2 && k->key() <= Qt::Key_F5 && k->modifiers() == Qt::NoModifier)
            txt1520_KeyUp(113 + (k->key() - Qt::Key_F2), 0);
    }
    return QWidget::eventFilter(o, e);
}

void PannelloPdfEmail::txt1520_KeyUp(int keyCode, int shift) {
    int scelta = 0;
    try {
        CercaEmailCliente(dialogo_, 1520, keyCode, shift, QStringLiteral("x1"), false, scelta);
    } catch (const ErroreRun& e) {
        frmMsgCom::MsgErrfrm(e);
    }
}
