#include "common/form/Decodifica.h"

#include "common/form/ScQorUtilPrg.h"
#include "common/form/UtilForm.h"
#include "components/core/ErroreRun.h"
#include "components/lookup/QorAiuti.h"
#include "components/util/UtilGenerali.h"
#include "contesto/Contesto.h"
#include "contesto/ImpostazioniIni.h"

#include <QApplication>
#include <QCoreApplication>
#include <QWidget>

namespace {

bool MessaggioVisibile() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->inherits("frmMsgCom") && w->isVisible()) return true;
    return false;
}

bool EConto(const QString& tabella) { return tabella.compare(QLatin1String("Conto"), Qt::CaseInsensitive) == 0; }

QString ParPers(const QString& sezione, const QString& chiave) {
    return LeggiParPers(sezione, chiave, Valore(QString())).testo();
}

// The list key that the user's options give for an automatic list.
int TastoAutomatico(const QString& tabella) {
    const Contesto& c = ctx();
    const UtilGenerali& u = ggUtil();
    int tasto = -1;
    if (c.gbDecodHelpPersKey) {
        const double n = u.ValoreNumerico(LeggiParPers(QStringLiteral("Tutti"), QStringLiteral("Hlp") + tabella, Valore("0")));
        if (n != 0) tasto = static_cast<int>(n) + 111;
    }
    if (tasto == -1) {
        const QString abil = c.gsDecodHelpAbil.trimmed();
        bool numero = false;
        const int n = abil.toInt(&numero);
        if (abil.compare(QLatin1String("C"), Qt::CaseInsensitive) == 0) tasto = 113;
        else if (abil.compare(QLatin1String("D"), Qt::CaseInsensitive) == 0) tasto = 114;
        else if (numero && n >= 1) tasto = -(n + 1);
        else tasto = -1;
    }
    return tasto;
}

}  // namespace

QorAiuti& Aiuti() {
    if (!ctx().ggAiuti) CreaAiuti();
    return *ctx().ggAiuti;
}

Valore DecodCampo(const QString& tabella, QWidget* casella, QWidget* etichetta, const std::optional<Valore>& tipo,
                  int intero1, const QString& testo, int intero2, const std::optional<Valore>& opzionale,
                  const QString& filtro, int diretto, int attesa) {
    const Valore opz = opzionale.value_or(Valore(QString()));
    if (diretto == -1 || ggUtil().EVuoto(TestoControllo(casella)))
        return Aiuti().DecodificaCampo(tabella, casella, etichetta, tipo, intero1, testo, intero2, opz, filtro);
    const QString smascherato = EConto(tabella) ? ggUtil().TogliMaschera(TestoControllo(casella), QStringLiteral("Conto")) : QString();
    return DecodCodice(tabella, casella, etichetta, tipo, intero1, testo, intero2, opz, filtro, attesa, smascherato);
}

Valore DecodCodice(const QString& tabella, QWidget* casella, QWidget* etichetta, const std::optional<Valore>& tipo,
                   int intero1, const QString& testo, int intero2, const std::optional<Valore>& opzionale,
                   const QString& filtro, int attesa, const QString& codiceSmascherato) {
    QorAiuti& aiuti = Aiuti();
    const UtilGenerali& u = ggUtil();
    const Valore opz = opzionale.value_or(Valore(QString()));
    const Valore retZeroRec = aiuti.FormListaAiuto().Leggi(QStringLiteral("RetZeroRec"));
    const Valore codice = aiuti.DecodificaCampo(tabella, casella, etichetta, tipo, intero1, testo, intero2, opz, filtro);
    if (codice.numero() == EsitoDecod::Trovato || u.EVuoto(TestoControllo(casella)) ||
        ctx().gsDecodHelpAbil.trimmed().compare(QLatin1String("N"), Qt::CaseInsensitive) == 0 || MessaggioVisibile())
        return codice;
    if (attesa == 0) QCoreApplication::processEvents();
    int tasto = TastoAutomatico(tabella);

    const bool sostituito = !codiceSmascherato.isEmpty();
    const QString testoSalvato = TestoControllo(casella);
    if (sostituito) ImpostaTestoControllo(casella, codiceSmascherato);
    aiuti.FormListaAiuto().Imposta(QStringLiteral("RetZeroRec"), Valore(1));
    int scelta = 0;
    try {
        for (int giro = 0; giro < 2; ++giro) {
            const Valore r = PrepListaAiuto(tabella, casella, etichetta, tasto, tipo, scelta, QString(), 0, filtro);
            if (!(r.numero() == EsitoDecod::Inesistente &&
                  TestoControllo(etichetta).compare(TestoInesistente, Qt::CaseInsensitive) == 0))
                break;
            tasto = tasto == 113 ? 114 : 113;
        }
    } catch (...) {
        // A list that fails leaves the settings and the typed text as they were.
        aiuti.FormListaAiuto().Imposta(QStringLiteral("RetZeroRec"), retZeroRec);
        if (sostituito) ImpostaTestoControllo(casella, testoSalvato);
        throw;
    }
    aiuti.FormListaAiuto().Imposta(QStringLiteral("RetZeroRec"), retZeroRec);
    if (scelta == 0) {
        if (sostituito) ImpostaTestoControllo(casella, testoSalvato);
        return Valore(false);
    }
    if (EConto(tabella) && sostituito)
        ImpostaTestoControllo(casella, u.FormattaValore(Valore(TestoControllo(casella)), QStringLiteral("conto")));
    return aiuti.DecodificaCampo(tabella, casella, etichetta, tipo, intero1, testo, intero2, opz, filtro);
}

QString TipoChiaveAiuto(const QString& specifica, const QString& testo, int keyCode) {
    bool numero = false;
    const double n = specifica.trimmed().toDouble(&numero);
    if (numero && n >= 0) return specifica.trimmed();
    QString resto = specifica.trimmed();
    QString predefinito = QStringLiteral("0");
    bool fisso = false;
    if (resto.startsWith(QLatin1Char('x'), Qt::CaseInsensitive)) {
        fisso = true;
        resto = resto.mid(1);
    }
    const QString iniziale = resto.left(1).toLower();
    if (iniziale == QLatin1String("g")) predefinito = QStringLiteral("1");
    else if (iniziale == QLatin1String("c")) predefinito = QStringLiteral("3");
    else if (iniziale == QLatin1String("f")) predefinito = QStringLiteral("2");
    if (predefinito != QLatin1String("0")) resto = resto.mid(1);
    if (keyCode == 113) return fisso ? QStringLiteral("0") : resto;
    if ((predefinito != QLatin1String("0") && predefinito == resto) ||
        (fisso && testo.startsWith(resto, Qt::CaseInsensitive)))
        return predefinito;
    const QString primo = testo.left(1).toLower();
    if (primo == QLatin1String("g")) return QStringLiteral("1");
    if (primo == QLatin1String("c")) return QStringLiteral("3");
    if (primo == QLatin1String("f")) return QStringLiteral("2");
    return predefinito;
}

Valore PrepListaAiuto(const QString& tabella, QWidget* casella, QWidget* etichetta, int keyCode,
                      const std::optional<Valore>& tipo, int& scelta, const QString& colonneAgg, int intero,
                      const QString& filtro) {
    if (!(keyCode < 0 || (keyCode >= 113 && keyCode <= 123))) return {};
    QorAiuti& aiuti = Aiuti();
    const Contesto& c = ctx();
    QString colonne;
    // Preparation: a setting that cannot be read or set stays as it was.
    try {
        QString chiaveColonne = tabella + QStringLiteral("Campi");
        if (EConto(tabella)) {
            const QString suffisso = TipoChiaveAiuto(tipo ? tipo->testo() : QString(), TestoControllo(casella), keyCode);
            if (suffisso != QLatin1String("0")) chiaveColonne += suffisso;
            for (const char* nome : {"CFHelpRic11", "CFHelpRic12"})
                aiuti.FormParametriAiuto().Imposta(QString::fromLatin1(nome),
                                                  Valore(ParPers(QStringLiteral("Tutti"), QString::fromLatin1(nome))));
        }
        colonne = ParPers(QStringLiteral("Help"), chiaveColonne);
        if (EConto(tabella) && colonne.isEmpty()) colonne = ParPers(QStringLiteral("Help"), tabella + QStringLiteral("Campi"));
        if (colonne.left(4).compare(QLatin1String(",No,"), Qt::CaseInsensitive) == 0) colonne.clear();
        colonne += colonneAgg;
        aiuti.ComlinListaAiuto().Imposta(
            QStringLiteral("ForzaPassThrough"),
            Valore(ParPers(QStringLiteral("Help"), tabella + QStringLiteral("SQLPass")).trimmed().compare(
                       QLatin1String("S"), Qt::CaseInsensitive) == 0));
    } catch (const ErroreRun&) {
    }
    const long colSalvato = aiuti.olColBackOk;
    aiuti.olColBackOk = c.glColGotFocus;
    for (const char* m : {"MargSopra", "MargSotto", "MargSin", "MargDestra"})
        aiuti.ComlinListaAiuto().Imposta(QString::fromLatin1(m), Valore(0));
    auto immaginiSpente = [&aiuti] {
        aiuti.ImpostaValore(QStringLiteral("MostraImg"), 12, Valore(false));
        aiuti.FormListaAiuto().Imposta(QStringLiteral("MostraImg"), Valore(false));
    };
    immaginiSpente();
    try {
        NascondiFormAperte();
    } catch (const ErroreRun&) {
    }
    Valore risultato;
    try {
        risultato = aiuti.ApriListaAiuto(tabella, casella, etichetta, keyCode, FormAttiva(), tipo, scelta, intero,
                                         colonne, filtro);
    } catch (...) {
        aiuti.olColBackOk = colSalvato;
        immaginiSpente();
        throw;
    }
    aiuti.olColBackOk = colSalvato;
    immaginiSpente();
    return risultato;
}

Valore DecodValore(const QString& tabella, const QString& colChiave, QWidget* casella, QWidget* etichetta, int flag,
                   int intero1, int intero2, const QString& colDescr, const std::optional<Valore>& opz1,
                   const std::optional<Valore>& opz2, const QString& filtro) {
    return Aiuti().DecodificaValore(tabella, colChiave, casella, etichetta, flag, intero1, intero2, colDescr,
                                    opz1.value_or(Valore(QString())), opz2, filtro);
}
