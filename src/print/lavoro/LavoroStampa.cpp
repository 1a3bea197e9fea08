#include "print/lavoro/LavoroStampa.h"

#include "components/core/ErroreRun.h"
#include "components/menu/MenuClient.h"
#include "components/platform/ServizioDialoghi.h"
#include "print/anteprima/FrmVStampa.h"
#include "components/stampa/OpzSta.h"
#include "components/util/UtilGenerali.h"
#include "print/lavoro/FrmStampaInCorso.h"
#include "contesto/Contesto.h"
#include "contesto/ImpostazioniIni.h"

#include <QPrinterInfo>
#include <algorithm>
#include <cmath>

namespace {
const QString OpzioniStampa = QStringLiteral("Opzioni Stampa");


QString valoreMenu(const QString& nome) {
    try {
        return ctx().ggMenuClient ? ctx().ggMenuClient->LeggiValoreSess(nome).testo() : QString();
    } catch (const ErroreRun&) {
        return QString();
    }
}

QString nomeTerminale() {
    try {
        if (ctx().ggMenuClient) return ctx().ggMenuClient->NomeTerminale();
    } catch (const ErroreRun&) {
    }
    return ctx().gsNomeTerminale;
}

// A settings value looked for in the report's section, then in "Opzioni Stampa".
QString leggiDueSezioni(const QString& sezione, const QString& chiave, const QString& predefinito) {
    QString valore;
    const QString conta = LeggiValIni(sezione, chiave, predefinito, valore);
    if (conta.trimmed().toInt() <= 0) LeggiValIni(OpzioniStampa, chiave, predefinito, valore);
    return valore;
}

double numeroSicuro(const Valore& v) {
    if (v.eNumero()) return v.numero();
    double d = 0;
    return leggiNumeroItaliano(v.testo().trimmed(), d) ? d : 0;
}
}  // namespace


QPointer<Stampa>& ggStampaCorr() {
    static QPointer<Stampa> s;
    return s;
}

// --- Set-up ---

void InizStampa(Stampa& st) {
    auto& serv = serviziLavoroStampa();
    st.ofrmVStampa = FrmVStampa::Istanza();
    st.ofrmStampaInCorso = frmStampaInCorso::Istanza();
    st.ImpFormZoom(serv.FormZoom ? serv.FormZoom() : nullptr);
    st.ogPrtStam = serv.StampanteCorrente ? serv.StampanteCorrente() : QString();
    st.ImpTitoloPrg(nomeTerminale());
    st.ImpCartellaTemp(ggUtil().CartellaTemp());
    st.ImpMostraMsg(true);
    st.ImpFontLab(QStringLiteral("CorpoLab"));
    st.ImpFontCampo(QStringLiteral("CorpoCampo"));
    st.ImpParametro(QStringLiteral("UltRigaGrigia"), 12, Valore(true));
    st.ImpParametro(QStringLiteral("AttendiPdfNoStampa"), 12, Valore(-1));
    st.ImpParametro(QStringLiteral("DirImgEmail"), 12, Valore(ctx().gsDirImgEmail));
    if (serv.CaricaFontPers) serv.CaricaFontPers(st);
}

void InizStampa(Stampa& st, int, int) { InizStampa(st); }

// --- Page parameters, automatic PDF ---

QString PulisciNomeFile(const QString& valore) {
    QString r;
    r.reserve(valore.size());
    for (QChar c : valore) {
        if (c.unicode() < 32 || QStringLiteral("\\/:*?\"<>|").contains(c))
            r += QLatin1Char('_');
        else
            r += c;
    }
    return r;
}

QString NomePdfAutomatico(const QString& modello, Stampa& st) {
    const QDateTime ora = serviziLavoroStampa().Adesso ? serviziLavoroStampa().Adesso() : QDateTime::currentDateTime();
    const QLocale it(QLocale::Italian, QLocale::Italy);
    Stampa* corr = ggStampaCorr() ? ggStampaCorr().data() : &st;
    const auto opz = corr->ogOpzSta;
    auto opzione = [&](const char* n) { return opz ? opz->LeggiOpzione(QString::fromLatin1(n)).testo() : QString(); };
    const QList<QPair<QString, QString>> tabella = {
        {QStringLiteral("Terminale"), nomeTerminale()},
        {QStringLiteral("Login"), valoreMenu(QStringLiteral("Login"))},
        {QStringLiteral("Gruppo"), valoreMenu(QStringLiteral("Gruppo"))},
        {QStringLiteral("DescAzie"), valoreMenu(QStringLiteral("descazie"))},
        {QStringLiteral("CodiceAzie"), valoreMenu(QStringLiteral("codiceazie"))},
        {QStringLiteral("IdAzienda"), valoreMenu(QStringLiteral("idazienda"))},
        {QStringLiteral("DescPrg"), opzione("StampaDescPrg")},
        {QStringLiteral("Titolo"), opzione("StampaCaption")},
        {QStringLiteral("CodSta"), opz ? opz->Sezione : QString()},
        {QStringLiteral("Data"), ora.toString(QStringLiteral("ddMMyyyy"))},
        {QStringLiteral("DataRov"), ora.toString(QStringLiteral("yyyyMMdd"))},
        {QStringLiteral("DataLong"), it.toString(ora.date(), QStringLiteral("dd MMMM yyyy"))},
        {QStringLiteral("DataAbb"), it.toString(ora.date(), QStringLiteral("dd MMM yyyy"))},
        {QStringLiteral("Ora"), ora.toString(QStringLiteral("hhmm"))},
    };
    QString nome = modello;
    for (const auto& [segnaposto, valore] : tabella)
        nome = ggUtil().SostituisciTesto(1, nome, QStringLiteral("§") + segnaposto + QStringLiteral("§"),
                                         PulisciNomeFile(valore), Confronto::IgnoraMaiuscole);
    return nome;
}

// The options' printer becomes the program's current one for this job; the
// print object follows whatever is current afterwards.
static void ScegliStampante(Stampa& st, OpzSta& opz) {
    auto& serv = serviziLavoroStampa();
    if (serv.ImpostaPrinterOpz) serv.ImpostaPrinterOpz(opz, 0);
    if (serv.StampanteCorrente) st.ogPrtStam = serv.StampanteCorrente();
}

bool PaginaSulFoglio(const Stampa& st) {
    const double sin = st.LeggiMrSin(), des = st.LeggiMrDes(), su = st.LeggiMrAlt(), giu = st.LeggiMrBas();
    const double dx = st.LeggiDx(), dy = st.LeggiDy();
    // The printable area of the sheet, wherever the page starts in it.
    const double larg = st.LeggiLargPag() + dx, alt = st.LeggiAltPag() + dy;
    const auto finito = [](double v) { return std::isfinite(v); };
    if (!finito(sin) || !finito(des) || !finito(su) || !finito(giu) || !finito(dx) || !finito(dy) ||
        !finito(st.LeggiFatt()) || !finito(st.LeggiInterl()))
        return false;
    // Margins and offsets may be negative (a printer's correction takes a
    // margin below zero): what counts is that some of the page's body, from
    // the origin's offsets and margins to the far margins, lies in the
    // printable area. A display factor and a line spacing a page can hold.
    const double sinistra = std::max(dx + sin, 0.0), destra = std::min(larg - des, larg);
    const double alto = std::max(dy + su, 0.0), basso = std::min(alt - giu, alt);
    return destra > sinistra && basso > alto && st.LeggiFatt() > 0 && st.LeggiFatt() <= 10 &&
           std::abs(st.LeggiInterl()) < alt;
}

void IniParamStampa(const QString& sezione, Stampa& st, const QList<Valore>& predefiniti, int modo) {
    auto& serv = serviziLavoroStampa();
    st.ImpSezioneSta(sezione);
    ggStampaCorr() = &st;
    if (!st.ogOpzSta) st.ogOpzSta = std::make_shared<OpzSta>();
    OpzSta& opz = *st.ogOpzSta;

    const int percorso = opz.oiStaVid;
    if (percorso == OpzSta::Stampante && modo != 2) {
        ScegliStampante(st, opz);
        if (opz.LeggiOpzione(QStringLiteral("PdfAutomAbil")).booleano()) {
            auto par = [&](const char* n) {
                return serv.LeggiParEmail ? serv.LeggiParEmail(QString::fromLatin1(n)) : Valore(QString());
            };
            opz.ImpOpzione(QStringLiteral("PdfAutomImpPar"), 12,
                           Valore(ListaValori{Valore(ctx().gsFileIni), Valore(ctx().gsFileIniDb), par("UsaPdfCreator"),
                                              par("CreatorAutosaveStart"), par("UsaPdf995")}));
            opz.ImpOpzione(QStringLiteral("PdfNomeFile"), 12, Valore(NomePdfAutomatico(par("PdfNomeFile").testo(), st)));
            Valore attivo;
            st.LanciaComandoSta(QStringLiteral("AttivaPdfAutom"), 12, attivo);
            if (attivo.booleano() && opz.LeggiOpzione(QStringLiteral("EmailInvia")).booleano() && serv.PrepInvioEmail) {
                QString testo;
                try {
                    serv.PrepInvioEmail(testo);
                } catch (const ErroreRun& e) {
                    // The PDF is still made; without the data it is not sent, and the user knows why.
                    opz.ImpOpzione(QStringLiteral("EmailInvia"), 12, false);
                    ctx().ggDialoghi->msgBox(e.descrizione(), StileMsg::SoloOk | StileMsg::Esclamativo, ctx().gsTitoloApp);
                }
            }
        }
    } else if (percorso == OpzSta::Video) {
        ScegliStampante(st, opz);
    }
    if (modo == 1) return;

    // Defaults in the order MrSin, MrDes, MrAlt, MrBas, Fatt, Dx, Dy, ForzaVert, Interl.
    QStringList def = {"1", "1", "10", "10", "1", "1", "1", "0", "0"};
    for (int i = 0; i < 9 && i < predefiniti.size(); ++i)
        if (!predefiniti[i].eVuotoONull()) def[i] = predefiniti[i].testo();

    auto impostaPredefiniti = [&] {
        st.ImpMrSin(numeroSicuro(Valore(def[0])));
        st.ImpMrDes(numeroSicuro(Valore(def[1])));
        st.ImpMrAlt(numeroSicuro(Valore(def[2])));
        st.ImpMrBas(numeroSicuro(Valore(def[3])));
        st.ImpFatt(numeroSicuro(Valore(def[4])));
        st.ImpDx(numeroSicuro(Valore(def[5])));
        st.ImpDy(numeroSicuro(Valore(def[6])));
        st.ImpForzaVert(static_cast<int>(ggUtil().ValoreNumerico(Valore(def[7]))));
        st.ImpInterl(numeroSicuro(Valore(def[8])));
    };

    try {
        const UtilGenerali& u = ggUtil();
        auto leggi = [&](const char* chiave, int indice) {
            return u.NumeroDaStringa(leggiDueSezioni(sezione, QString::fromLatin1(chiave), def[indice]));
        };
        st.ImpMrSin(leggi("MrSin", 0));
        st.ImpMrDes(leggi("MrDes", 1));
        st.ImpMrAlt(leggi("MrAlt", 2));
        st.ImpMrBas(leggi("MrBas", 3));
        st.ImpFatt(leggi("Fatt", 4));
        st.ImpDx(leggi("Dx", 5));
        st.ImpDy(leggi("Dy", 6));
        st.ImpInterl(leggi("Interl", 8));
        const double forza = std::round(leggi("ForzaVert", 7));
        if (forza < -32768 || forza > 32767)
            throw ErroreRun(6, QStringLiteral("Overflow"), QStringLiteral("IniParamStampa"));
        st.ImpForzaVert(static_cast<int>(forza));
        // Geometry that leaves no page on the sheet is as bad as a value that is
        // no number, whether the report's or the printer's corrections make it.
        const auto sulFoglio = [&] {
            if (!PaginaSulFoglio(st))
                throw ErroreRun(6, QStringLiteral("Nessuna pagina stampabile sul foglio"),
                                QStringLiteral("IniParamStampa"));
        };
        sulFoglio();
        if (serv.CorrMarginiStampante) serv.CorrMarginiStampante(st);
        sulFoglio();
    } catch (const ErroreRun&) {
        if (st.LeggiMostraMsg() && ctx().ggDialoghi)
            ctx().ggDialoghi->msgBox(QStringLiteral("(IniParamStampa) Problemi nei parametri dei margini\r\n"
                                                    "nel file di inizializzazione. \r\nUso i valori di default"),
                                     StileMsg::SoloOk | StileMsg::Critico, QStringLiteral("Errore file ini"));
        impostaPredefiniti();
    }
    if (ctx().gdRisVidStaVid > 0) st.ImpFatt(st.LeggiFatt() * ctx().gdRisVidStaVid);
}

// --- Fonts ---

std::shared_ptr<FontStd> NuovoFontArialCondiviso() {
    auto f = std::make_shared<FontStd>();
    f->Name = QStringLiteral("arial");
    f->Size = 8;
    f->Bold = false;
    return f;
}

FontSta NuovoFontArial() { return FontSta(NuovoFontArialCondiviso()); }

QString NomeFontPers(int progressivo) {
    return QStringLiteral("FFPers-§-") +
           QStringLiteral("%1").arg(progressivo, progressivo >= 100 ? 4 : 2, 10, QLatin1Char('0'));
}

namespace {
void impostaSlot(Stampa& st, FontSta& fs, const char* slot, const char* nome, double dimensione, bool grassetto) {
    FontStd& f = fs.FontCorrente();
    f.Name = QString::fromLatin1(nome);
    f.Bold = grassetto;
    f.Size = dimensione;
    st.ImpFont(fs, QString::fromLatin1(slot));
}
}  // namespace

void ImpFontTesta(Stampa& st, FontSta& fs) {
    impostaSlot(st, fs, "TestaAzienda", "arial", 9, false);
    impostaSlot(st, fs, "Titolo", "arial", 9, true);
    impostaSlot(st, fs, "TestaData", "arial", 10, false);
    impostaSlot(st, fs, "TestaTitolo", "arial", 12, true);
    LeggiFontPers(st, QStringLiteral("FontPersTes"));
    st.ImpParametro(QStringLiteral("AttendiPdfNoStampa"), 12, Valore(0));
}

void ImpFontCorpo(Stampa& st, FontSta& fs) {
    impostaSlot(st, fs, "CorpoLab", "arial", 8, true);
    impostaSlot(st, fs, "CorpoLab2", "arial", 10, false);
    fs.ImpostaFont(NuovoFontArialCondiviso());
    st.ImpFont(fs, QStringLiteral("CorpoCampo"));
    impostaSlot(st, fs, "CorpoLabComp", "arial", 7, true);
    impostaSlot(st, fs, "CorpoCampoComp", "arial", 7, false);
    impostaSlot(st, fs, "LarghezzaFissa", "Courier New", 8, false);
    LeggiFontPers(st, QStringLiteral("FontPersCor"));
}

void LeggiFontPers(Stampa& st, const QString& chiaveConta) {
    const QString sezione = st.LeggiSezioneSta();
    QString valore;
    LeggiValIni(sezione, chiaveConta, QStringLiteral("0"), valore);
    const long conta = static_cast<long>(ggUtil().ValoreNumerico(Valore(valore)));
    if (conta >= 1) {
        ApplicaFontPers(st, sezione, static_cast<int>(conta));
        return;
    }
    LeggiValIni(OpzioniStampa, chiaveConta, QStringLiteral("0"), valore);
    const long contaComune = static_cast<long>(ggUtil().ValoreNumerico(Valore(valore)));
    if (contaComune >= 1) ApplicaFontPers(st, OpzioniStampa, static_cast<int>(contaComune));
}

void ApplicaFontPers(Stampa& st, const QString& sezione, int conta) {
    auto leggi = [&](const QString& chiave) {
        QString v;
        LeggiValIni(sezione, chiave, QString(), v);
        return v;
    };
    for (int n = 1; n <= conta; ++n) {
        try {
            const QString slot = leggi(QStringLiteral("CodiceFontCor") + QString::number(n));
            if (slot.isEmpty()) continue;
            FontSta holder = st.LeggiFont(slot);
            if (!holder.FontDefinito()) continue;
            FontStd& f = holder.FontCorrente();
            const QString progr = leggi(slot + QStringLiteral("_Progr"));
            if (!progr.isEmpty()) {
                const int p = static_cast<int>(ggUtil().ValoreNumerico(Valore(progr)));
                const QString condiviso = NomeFontPers(p);
                if (st.EsisteFont(condiviso)) {
                    const FontStd& s = st.LeggiFont(condiviso).FontCorrente();
                    f.Name = s.Name;
                    f.Size = s.Size;
                    f.Bold = s.Bold;
                    f.Italic = s.Italic;
                    f.Strikethrough = s.Strikethrough;
                    f.Underline = s.Underline;
                    continue;
                }
            }
            const QString nome = leggi(slot + QStringLiteral("_Name"));
            if (!nome.isEmpty()) f.Name = nome;
            const QString dimensione = leggi(slot + QStringLiteral("_Size"));
            if (!dimensione.isEmpty()) {
                double d = 0;
                if (!leggiNumeroItaliano(dimensione.trimmed(), d) || d <= 0)
                    throw ErroreRun(NumErrore::TipoNonCorrispondente, QStringLiteral("Tipo non corrispondente"));
                f.Size = d;
            }
            const QString grassetto = leggi(slot + QStringLiteral("_Bold"));
            if (!grassetto.isEmpty()) {
                const QString g = grassetto.trimmed().toLower();
                f.Bold = g == QLatin1String("s") || g == QLatin1String("true") || g == QLatin1String("vero");
            }
        } catch (const ErroreRun&) {
            // A bad entry is passed over; what it set before the error stays.
        }
    }
}

// --- Page header and text lines ---

bool VerStaFileForm(const Stampa& st) {
    return st.ogOpzSta && st.ogOpzSta->oiStaVid == OpzSta::File && st.ogOpzSta->FileForm == OpzSta::FormatoExcel;
}

void StampaTestataPag(Stampa& st, const QString& titolo, int pagina, const Valore& data, bool nascondiVersione,
                      const QString& aggDitta, const QString& secondaColonna, const QString& ragSoc, bool rigaVuota,
                      int modo) {
    QString versione = QStringLiteral("Qorvane ") + valoreMenu(QStringLiteral("versione"));
    QString stampaVersione = QStringLiteral("S");
    try {
        stampaVersione =
            LeggiParPers(QStringLiteral("Stampe"), QStringLiteral("StampaVersione"), Valore(QStringLiteral("S"))).testo();
    } catch (const ErroreRun&) {
        // Without the menu the page still gets its header, version shown.
    }
    if (stampaVersione.compare(QLatin1String("N"), Qt::CaseInsensitive) == 0 || nascondiVersione)
        versione = QString(versione.size(), QLatin1Char(' '));
    const QString studio = valoreMenu(QStringLiteral("studio"));
    const QString testoStudio = studio.isEmpty() ? QString() : QStringLiteral("Studio: ") + studio + QLatin1Char(' ');
    QString ditta = testoStudio + QStringLiteral("Ditta: ") +
                    (ragSoc.isEmpty() ? valoreMenu(QStringLiteral("ditta.ragsoc")) : ragSoc);
    if (!aggDitta.isEmpty()) ditta += QLatin1Char(' ') + aggDitta;
    const QString testoData = data.eVuotoONull()
                                  ? ctx().gtDataLavoro.toString(QStringLiteral("dd/MM/yyyy"))
                                  : (data.eData() ? data.data().toString(QStringLiteral("dd/MM/yyyy")) : data.testo());
    const int C = st.ogOpzSta ? st.ogOpzSta->FisColonne : 0;

    const int numero = pagina == 0 ? st.LeggiNumPag() : pagina;
    const QString testoPagina =
        QStringLiteral("Pag. ") +
        (pagina == 0 ? QString::number(numero) : QStringLiteral("%1").arg(pagina, 3, 10, QLatin1Char('0')));
    if (st.ofrmStampaInCorso) st.ofrmStampaInCorso->ImpPaginaInCorso(numero);

    const int percorso = st.ogOpzSta ? st.ogOpzSta->oiStaVid : OpzSta::Stampante;
    if (modo == 1 || (modo == 2 && percorso == OpzSta::File)) return;

    if (percorso == OpzSta::LarghezzaFissa) {
        st.ImpAllineamento(QStringLiteral("S"));
        st.StampaTesto(0, versione, true);
        st.ImpAllineamento(QStringLiteral("D"));
        st.StampaTesto(C > 0 ? C - (versione.size() + 1) : 0, ditta, true);
        st.RigaFis(0, QString(), QString(), true);
        st.ImpAllineamento(QStringLiteral("S"));
        st.StampaTesto(0, testoData, true);
        int larghezzaTitolo = 0;
        if (C > 0) {
            if (testoData.size() > testoPagina.size()) {
                larghezzaTitolo = C - (testoData.size() + 1) * 2;
            } else {
                larghezzaTitolo = C - (testoPagina.size() + 1) * 2;
                if (testoPagina.size() - testoData.size() > 1)
                    st.RigaFis(testoPagina.size() - testoData.size(), QStringLiteral(" "), QStringLiteral(";"), true);
            }
        }
        st.ImpAllineamento(QStringLiteral("C"));
        st.StampaTesto(larghezzaTitolo, titolo, true);
        st.ImpAllineamento(QStringLiteral("D"));
        st.StampaTesto(C > 0 ? C - st.LeggiColonnaFis() : 0, testoPagina, true);
        st.RigaFis(0, QString(), QString(), true);
        st.RigaFis(0, QString(), QString(), true);
        return;
    }

    st.ImpIndicatore(0);
    st.UsaFont(QStringLiteral("TestaAzienda"));
    st.ImpSinistra(0);
    st.ImpDestra(0);
    st.ImpAllineamento(QStringLiteral("S"));
    st.StampaTesto(0, versione, true);
    if (st.LeggiAnnullata()) return;
    st.ImpAllineamento(QStringLiteral("D"));
    if (VerStaFileForm(st) && !secondaColonna.isEmpty())
        ditta += QStringLiteral("§ç^&£") + secondaColonna;
    st.StampaTesto(0, ditta, true);
    st.NuovaRiga();
    if (rigaVuota) st.NuovaRiga();
    st.ImpAllineamento(QStringLiteral("S"));
    st.UsaFont(QStringLiteral("TestaData"));
    st.StampaTesto(0, testoData, true);
    st.ImpAllineamento(QStringLiteral("C"));
    st.UsaFont(QStringLiteral("TestaTitolo"));
    st.StampaTesto(0, titolo, true);
    st.ImpAllineamento(QStringLiteral("D"));
    st.UsaFont(QStringLiteral("TestaData"));
    st.StampaTesto(0, testoPagina, true);
    st.NuovaRiga();
}

void StampaTestoRighe(Stampa& st, const QString& testo) {
    const int C = st.ogOpzSta ? st.ogOpzSta->FisColonne : 0;
    if (testo.size() <= 2) return;
    const bool fisso = st.ogOpzSta && st.ogOpzSta->oiStaVid == OpzSta::LarghezzaFissa;
    const double utile = st.LeggiLargPag() - st.LeggiMrSin() - st.LeggiMrDes() - 2;
    st.ImpSinistra(0);
    st.ImpDestra(0);
    st.ImpAllineamento(QStringLiteral("C"));
    st.UsaFont(QStringLiteral("CorpoCampo"));
    QString resto = testo;
    if (resto.startsWith(QLatin1String("; "))) resto = resto.mid(2);
    QString riga;
    QString pezzo;
    do {
        const int pv = resto.indexOf(QLatin1Char(';'));
        if (pv >= 0) {
            pezzo = resto.left(pv + 1);
            resto = resto.mid(pv + 1);
        } else {
            pezzo = resto;
            resto.clear();
        }
        const QString prova = riga + pezzo;
        const bool troppoLunga = fisso ? (C != 0 && prova.size() > C) : st.LarghezzaTesto(prova) > utile;
        if (!pezzo.isEmpty() && !troppoLunga) {
            riga += pezzo;
        } else {
            st.StampaTesto(C, riga.trimmed(), true);
            st.NuovaRiga();
            riga = pezzo;
            if (resto.startsWith(QLatin1String("; "))) resto = resto.mid(2);
        }
    } while (!pezzo.isEmpty());
    st.NuovaRiga();
}

// --- Parts of one preview ---

bool ParteSuccessiva(const Stampa* st) { return st && st->DocumentoAperto(); }

bool AvviaParte(Stampa& st) {
    if (ParteSuccessiva(&st))
        st.NuovaPagina();
    else
        st.AvviaDocumento();
    return !st.LeggiAnnullata();
}

bool TieniDocumento(Stampa& st, bool ultima) {
    return !ultima && st.DocumentoAperto() && st.ogOpzSta && st.ogOpzSta->oiStaVid == OpzSta::Video &&
           st.PercorsoEffettivo() == OpzSta::Video && !st.LeggiAnnullata();
}

void InterrompiStampaInCorso() {
    if (ctx().giStaAtt == 0) return;
    if (Stampa* st = ggStampaCorr()) st->ImpInterruzione(1);
    if (FrmVStampa::EsisteIstanza() && FrmVStampa::Istanza()->InAttesa()) FrmVStampa::Istanza()->ComEsci_Click();
}

GuardiaStaAtt::~GuardiaStaAtt() {
    try {
        if (chiamante_)
            chiamante_->oiStaAtt(0);
        else
            ctx().giStaAtt = 0;
    } catch (...) {
    }
}
