#include "contesto/ImpostazioniIni.h"

#include "components/core/ErroreRun.h"
#include "components/ini/FileIni.h"
#include "components/menu/MenuClient.h"
#include "components/platform/ServizioDialoghi.h"
#include "contesto/Contesto.h"

QString LeggiValIni(const QString& sezione, const QString& chiave, const QString& predefinito,
                    QString& valore) {
    const int n = LeggiIni(sezione, chiave, predefinito, valore, ctx().gsFileIni, ctx().gsFileIniDb);
    return QString::number(n);
}

namespace {

bool haValore(const QString& sezione, const QString& chiave, const QString& file) {
    QString v;
    return LeggiIniFile(sezione, chiave, QString(), v, file) > 0;
}

}  // namespace

bool ScriviValIni(const QString& sezione, const QString& chiave, const QString& valore,
                  bool messaggio, bool crea, int16_t sceltaFile, int16_t flagSezione,
                  int16_t flagChiave, const std::optional<QString>& file) {
    // "\n" is the line break the message box shows.
    const QString testo = QStringLiteral("Aggiornamento del valore : ") + valore +
                          QStringLiteral("\nnella sezione : ") + sezione +
                          QStringLiteral("\nparametro : ") + chiave +
                          QStringLiteral("\nNON RIUSCITO.\n");
    auto avvisa = [&](const QString& quando) {
        if (messaggio) ctx().ggDialoghi->msgBox(testo + quando, StileMsg::SoloOk, ctx().gsTitoloApp);
    };

    const QString& fileIni = ctx().gsFileIni;
    const QString& fileIniDb = ctx().gsFileIniDb;
    QString scelto;
    if (file) {
        scelto = *file;
    } else if (haValore(sezione, chiave, fileIni)) {
        scelto = fileIni;
    } else if (!fileIniDb.isEmpty() && fileIniDb.compare(fileIni, Qt::CaseInsensitive) != 0 &&
               haValore(sezione, chiave, fileIniDb)) {
        scelto = fileIniDb;
    } else if (!crea) {
        avvisa(QStringLiteral("durante la ricerca"));
        return false;
    } else {
        scelto = (!fileIniDb.isEmpty() && sceltaFile >= 2) ? fileIniDb : fileIni;
    }

    try {
        bool fatto;
        if (flagSezione != 0)
            fatto = ScriviIniProfilo(sezione, std::nullopt, valore, scelto);
        else if (flagChiave != 0)
            fatto = ScriviIniProfilo(sezione, chiave, std::nullopt, scelto);
        else
            fatto = ScriviIniProfilo(sezione, chiave, valore, scelto);
        if (fatto) return true;
        avvisa(QStringLiteral("durante l' aggiornamento(1)"));
    } catch (...) {
        avvisa(QStringLiteral("durante l' aggiornamento(2)"));
    }
    return false;
}

namespace {

bool eMarcatore(const Valore& v) {
    return v.eTesto() && v.testo().compare(MarcatoreParPers, Qt::CaseInsensitive) == 0;
}

Valore parPers(const QString& sezione, const QString& chiave) {
    return LeggiValMenu(QStringLiteral("Personal.") + sezione + QStringLiteral(".§") + chiave);
}

}  // namespace

Valore LeggiParPers(const QString& sezione, const QString& chiave, const Valore& predefinito,
                    Valore* rispostaGrezza, const std::optional<QString>& sezioneRiserva,
                    const std::optional<QString>& chiaveRiserva) {
    Valore v = parPers(sezione, chiave);
    if (eMarcatore(v) && sezioneRiserva && chiaveRiserva) v = parPers(*sezioneRiserva, *chiaveRiserva);
    if (rispostaGrezza) *rispostaGrezza = v;
    if (eMarcatore(v)) return predefinito;
    return v;
}

// Without the menu link the named values cannot be reached: an error the
// callers already handle, not a crash.
static MenuClient& collegamentoMenu() {
    if (!ctx().ggMenuClient)
        throw ErroreRun(NumErrore::OggettoNonImpostato, QStringLiteral("Collegamento col menù assente"));
    return *ctx().ggMenuClient;
}

Valore LeggiValMenu(const QString& nome) { return collegamentoMenu().LeggiValoreSess(nome); }

void ScriviValMenu(const QString& nome, const Valore& valore) { collegamentoMenu().ScriviValoreSess(nome, valore); }
