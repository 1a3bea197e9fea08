#include "invoicedata/stampa/StampaDatiFat.h"

#include "common/IdentitaParti.h"
#include "components/core/Valore.h"
#include "components/stampa/Stampa.h"
#include "components/util/UtilGenerali.h"
#include "contesto/Contesto.h"
#include "print/lavoro/LavoroStampa.h"

namespace {

bool uguale(const QString& a, const char* b) { return a.trimmed().compare(QLatin1String(b), Qt::CaseInsensitive) == 0; }
bool nonZero(double d) { return ggUtil().Arrotonda(d, -8) != 0.0; }
QString emme(int n) { return QString(n, QLatin1Char('M')); }

}  // namespace

StampaDatiFat::StampaDatiFat(Stampa& st, ParametriStampaDatiFat p) : st_(st), p_(std::move(p)) {}

bool StampaDatiFat::clienti() const { return uguale(p_.cosaEstr, "E"); }

QString StampaDatiFat::importo(double valore) const { return ggUtil().FormattaValore(Valore(valore), p_.mascImporto); }

void StampaDatiFat::ImpColStampa() {
    const bool perData = p_.ordin == 1;
    st_.AzzeraColonne();
    st_.UsaFont(QStringLiteral("Titolo"));
    if (!perData) {
        miColAnag = st_.DefColonna(QStringLiteral("Fornitore: MM-MM-MMMM M"), 21, QStringLiteral("P"));
        miColNome = st_.DefColonna(emme(30), 40, QString());
        miColIdFisc = st_.DefColonna(emme(14), 16, QString());
    }
    st_.UsaFont(QStringLiteral("CorpoCampo"));
    if (perData) {
        miColProgr = st_.DefColonna(QStringLiteral("99.999"), 7, QStringLiteral("P"));
        miColAnag = st_.DefColonna(emme(13), 46, QString());
    } else {
        miColProgr = st_.DefColonna(QStringLiteral("999.999"), 7, QStringLiteral("P"));
    }
    miColTD = st_.DefColonna(QStringLiteral("TD099"), 4, QString());
    miColDataDoc = st_.DefColonna(QStringLiteral("99/99/99999"), 10, QString());
    miColNumDoc = st_.DefColonna(emme(10), 20, QString());
    miColDataReg = clienti() ? 0 : st_.DefColonna(QStringLiteral("99/99/99999"), 10, QString());
    miColTotPag = st_.DefColonna(QStringLiteral("999.999.999,99"), 15, QString());
    miColImpon = st_.DefColonna(QStringLiteral("999.999.999,99"), 15, QString());
    miColImposta = st_.DefColonna(QStringLiteral("999.999.999,99"), 15, QString());
    miColAliq = st_.DefColonna(QStringLiteral("999,99"), 6, QString());
    miColNatura = st_.DefColonna(perData ? QStringLiteral("N9xx") : QStringLiteral("N9xxxxxx"), perData ? 3 : 6, QString());
    miColEsig = st_.DefColonna(perData ? QStringLiteral("Dxx") : QStringLiteral("Dxxxxxxx"), perData ? 2 : 7, QString());
}

void StampaDatiFat::StaIntest() {
    st_.ImpVert(st_.LeggiMrAlt());
    StampaTestataPag(st_, p_.titolo, 0, Valore(), false, QString(), QString(), p_.ragSoc, true, 0);
    QString sotto = clienti() ? QStringLiteral("CLIENTI - ") : QStringLiteral("FORNITORI - ");
    sotto += QStringLiteral("Anno: ") + QString::number(p_.anno) + QStringLiteral(" Num.Com.: ") +
             QString::number(p_.numCom);
    if (p_.tipoSta == 1) sotto += QStringLiteral(" Identificativo: ") + QString::number(p_.numInvio);
    if (p_.tipoSta == 2) sotto += QStringLiteral(" Identificativo: ") + QString::number(p_.identif);
    StampaTestoRighe(st_, sotto);
    st_.ImpVert(st_.LeggiVert() + 2);
    st_.UsaFont(QStringLiteral("CorpoLab"));
    const auto intest = [&](int col, const char* testo, const char* allin) {
        st_.ImpAllineamento(QString::fromLatin1(allin));
        st_.StampaColonna(col, Valore(QString::fromLatin1(testo)), true, 0, QString(), QString());
    };
    intest(miColProgr, "Progr.", "S");
    if (p_.ordin == 1) intest(miColAnag, clienti() ? "Cliente" : "Fornitore", "S");
    intest(miColTD, "TD", "S");
    intest(miColDataDoc, "Data Doc.", "S");
    intest(miColNumDoc, "Num. Doc.", "D");
    if (!clienti()) intest(miColDataReg, "Data Reg.", "S");
    intest(miColTotPag, "Tot. da pagare", "D");
    intest(miColImpon, "Imponibile", "D");
    intest(miColImposta, "Imposta", "D");
    intest(miColAliq, "Aliq.", "D");
    intest(miColNatura, "Natura", "S");
    intest(miColEsig, "Esigib.", "S");
    st_.ImpAllineamento(QStringLiteral("S"));
    st_.NuovaRiga();
    st_.FineIntestazione(2, 1, 2);
}

void StampaDatiFat::CtrRiga(int piNumRig) {
    if (!st_.VerificaSpazio(piNumRig, QString(), 0)) return;
    if (st_.LeggiAnnullata()) return;
    st_.NuovaPagina();
    if (st_.LeggiAnnullata()) return;
    StaIntest();
}

void StampaDatiFat::StaRigaDett(const LettoreCampo& campo, const PosizioniDatiFat& posizioni) {
    const auto testo = [&](const char* c) { return campo(QString::fromLatin1(c)).testo(); };
    const auto numero = [&](const char* c) { return ggUtil().ValoreNumerico(campo(QString::fromLatin1(c))); };
    const auto data = [&](const char* c) {
        const QDate d = ggUtil().ValoreData(campo(QString::fromLatin1(c)));
        return (d.isValid() && d != UtilGenerali::DataVuota()) ? d.toString(QStringLiteral("dd/MM/yyyy")) : QString();
    };
    const auto colonna = [&](int col, const QString& v) { st_.StampaColonna(col, Valore(v), true, 0, QString(), QString()); };

    if (p_.ordin != 1) {
        const QString g = testo("DatiFatTest.GruppoPartita"), m = testo("DatiFatTest.MastroPartita"),
                      c = testo("DatiFatTest.ContoPartita");
        if (g.compare(msGruppoSta, Qt::CaseInsensitive) != 0 || m.compare(msMastroSta, Qt::CaseInsensitive) != 0 ||
            c.compare(msContoSta, Qt::CaseInsensitive) != 0 || msGruppoSta.isEmpty()) {
            if (!p_.estrFile) ++mlProgrAnag;
            if (!msGruppoSta.isEmpty()) {
                subtotale();
                mdTotPagAnag = mdImponAnag = mdImpostaAnag = mdSplitAnag = mdDiffAnag = 0;
            }
            msGruppoSta = g;
            msMastroSta = m;
            msContoSta = c;
            miAnnoRegSta = 0;
            mlNumRegSta = 0;
            CtrRiga(2);
            st_.UsaFont(QStringLiteral("Titolo"));
            st_.ImpAllineamento(QStringLiteral("S"));
            colonna(miColAnag, g + QLatin1Char('-') + m + QLatin1Char('-') + c);

            const long progrAnag = p_.estrFile ? posizioni.progrAnag : mlProgrAnag;
            QString num = QStringLiteral("%1").arg(progrAnag, 4, 10, QLatin1Char('0'));
            if (p_.molteAnag) num = QChar(static_cast<char16_t>(u'A' + posizioni.contaFile)) + num.right(3);
            QString nome;
            const QString cognome = testo("PianoConti.Cognome"), nomeP = testo("PianoConti.Nome");
            if (!ggUtil().EVuoto(Valore(cognome)) && !ggUtil().EVuoto(Valore(nomeP))) {
                nome = cognome + QStringLiteral(" ** ") + nomeP;
            } else {
                QString ragSoc, cog, nom;
                DividiNominativo(testo("PianoConti.RagSoc"), testo("PianoConti.RagSoc2"), testo("PianoConti.Descrizione"),
                                 testo("PianoConti.StatoGiurid"), testo("PianoConti.PartIva"), testo("PianoConti.CodFisc"),
                                 ragSoc, cog, nom, p_.pIvaGiurid);
                nome = ragSoc.trimmed().isEmpty() ? cog + QStringLiteral(" ** ") + nom : ragSoc;
            }
            colonna(miColNome, num + QLatin1Char(' ') + nome);

            const QString iso = IsoPaese(testo("Stati.Iso"));
            const QString partIva = testo("PianoConti.PartIva"), codFisc = testo("PianoConti.CodFisc");
            const bool italia = uguale(iso, "IT");
            const bool giurid = uguale(testo("PianoConti.StatoGiurid"), "G");
            QString ident;
            if (uguale(campo(QStringLiteral("DatiFatTest.BollaDoganale")).testo(), "S") && italia)
                ident = QStringLiteral("Bolla Dogan - OO");
            else if (HaPartIva(partIva, codFisc, iso))
                ident = (italia ? QString() : iso) + PartIvaCompleta(partIva, codFisc);
            else if (!clienti() || (!italia && uguale(testo("Stati.Cee"), "S") && giurid))
                ident = QStringLiteral("MANCANTE");
            else if (italia && partIva.trimmed().isEmpty() &&
                     (CodFiscDaUsare(codFisc, partIva).isEmpty() ||
                      (giurid && !CodFiscNumerico(CodFiscDaUsare(codFisc, partIva)))))
                ident = QStringLiteral("MANCANTE");
            else if (!italia)
                ident = iso + QLatin1Char('-') + testo("PianoConti.Descrizione");
            else
                ident = CodFiscDaUsare(codFisc, partIva);
            colonna(miColIdFisc, ident);
            st_.NuovaRiga();
        }
    }

    const double segno = uguale(testo("DatiFatTest.TipoDocumento"), "TD04") ? -1.0 : 1.0;
    CtrRiga(1);
    st_.UsaFont(QStringLiteral("CorpoCampo"));
    const int annoReg = static_cast<int>(numero("DatiFatTest.AnnoReg"));
    const long numReg = static_cast<long>(numero("DatiFatTest.NumReg"));
    if (annoReg != miAnnoRegSta || numReg != mlNumRegSta) {
        miAnnoRegSta = annoReg;
        mlNumRegSta = numReg;
        st_.ImpAllineamento(QStringLiteral("S"));
        long progr = 0;
        if (p_.tipoSta == 0) {
            if (!p_.estrFile) ++mlProgrDoc;
            progr = p_.estrFile ? posizioni.progrDoc : mlProgrDoc;
        } else if (p_.tipoSta == 1 && p_.estrFile) {
            progr = posizioni.progrDoc;  // the position just marked
        } else {
            progr = static_cast<long>(numero("DatiFatTest.Progr"));
        }
        colonna(miColProgr, QString::number(progr));
        if (p_.ordin == 1)
            colonna(miColAnag, testo("DatiFatTest.GruppoPartita") + QLatin1Char('-') + testo("DatiFatTest.MastroPartita") +
                                   QLatin1Char('-') + testo("DatiFatTest.ContoPartita") + QLatin1Char(' ') +
                                   testo("PianoConti.Descrizione"));
        colonna(miColTD, testo("DatiFatTest.TipoDocumento"));
        colonna(miColDataDoc, data("DatiFatTest.DataDoc"));
        st_.ImpAllineamento(QStringLiteral("D"));
        colonna(miColNumDoc, testo("DatiFatTest.NumDoc"));
        if (!clienti()) {
            st_.ImpAllineamento(QStringLiteral("S"));
            colonna(miColDataReg, data("DatiFatTest.DataReg"));
        }
        st_.ImpAllineamento(QStringLiteral("D"));
        const double totale = numero("DatiFatTest.ImportoTotale") * segno;
        colonna(miColTotPag, importo(totale));
        mdTotPagAnag += totale;
        mdTotPagGen += totale;
    }
    const double impon = numero("DatiFatDett.ImponibileImporto") * segno;
    const double imposta = numero("DatiFatDett.Imposta") * segno;
    const QString esig = testo("DatiFatDett.EsigibilitaIva");
    st_.ImpAllineamento(QStringLiteral("D"));
    colonna(miColImpon, importo(impon));
    colonna(miColImposta, importo(imposta));
    colonna(miColAliq, ggUtil().CreaMaschera(campo(QStringLiteral("DatiFatDett.Aliquota")), 2, false,
                                             QStringLiteral("0"), QStringLiteral("^")));
    st_.ImpAllineamento(QStringLiteral("S"));
    colonna(miColNatura, testo("DatiFatDett.Natura"));
    colonna(miColEsig, esig);
    st_.NuovaRiga();

    mdImponAnag += impon;
    mdImponGen += impon;
    mdImpostaAnag += imposta;
    mdImpostaGen += imposta;
    if (uguale(esig, "S")) {
        mdSplitAnag += imposta;
        mdSplitGen += imposta;
    } else if (uguale(esig, "D")) {
        mdDiffAnag += imposta;
        mdDiffGen += imposta;
    }
}

// "(di cui split: amount, diff.: amount)" in a text box, when either is not zero.
void StampaDatiFat::stampaNota(double split, double diff, double sin, double des) {
    QString nota;
    if (nonZero(split)) nota += QStringLiteral(", split: ") + importo(split);
    if (nonZero(diff)) nota += QStringLiteral(", diff.: ") + importo(diff);
    if (nota.isEmpty()) return;
    nota = QStringLiteral("(di cui") + nota.mid(1) + QLatin1Char(')');
    st_.ImpSinistra(sin);
    st_.ImpDestra(des);
    st_.ImpAllineamento(QStringLiteral("S"));
    st_.StampaTesto(nota.size(), nota, true);
}

void StampaDatiFat::subtotale() {
    CtrRiga(1);
    st_.UsaFont(QStringLiteral("Titolo"));
    stampaNota(mdSplitAnag, mdDiffAnag, st_.LeggiSinColonna(miColAliq), 0);
    st_.ImpAllineamento(QStringLiteral("D"));
    const auto colonna = [&](int col, const QString& v) { st_.StampaColonna(col, Valore(v), true, 0, QString(), QString()); };
    colonna(miColNumDoc, QStringLiteral("Tot. ") + msGruppoSta + QLatin1Char('-') + msMastroSta + QLatin1Char('-') + msContoSta);
    colonna(miColTotPag, importo(mdTotPagAnag));
    colonna(miColImpon, importo(mdImponAnag));
    colonna(miColImposta, importo(mdImpostaAnag));
    st_.NuovaRiga();
}

void StampaDatiFat::ChiudiStampa() {
    if (p_.ordin != 1 && !msGruppoSta.isEmpty()) subtotale();
    CtrRiga(1);
    st_.UsaFont(QStringLiteral("Titolo"));
    if (p_.ordin == 1)
        stampaNota(mdSplitGen, mdDiffGen, st_.LeggiSinColonna(miColProgr), st_.LeggiDesColonna(miColDataDoc));
    else
        stampaNota(mdSplitGen, mdDiffGen, st_.LeggiSinColonna(miColAliq), 0);
    st_.ImpAllineamento(QStringLiteral("D"));
    const auto colonna = [&](int col, const QString& v) { st_.StampaColonna(col, Valore(v), true, 0, QString(), QString()); };
    colonna(miColNumDoc, QStringLiteral("Totale"));
    colonna(miColTotPag, importo(mdTotPagGen));
    colonna(miColImpon, importo(mdImponGen));
    colonna(miColImposta, importo(mdImpostaGen));
    st_.NuovaRiga();
}
