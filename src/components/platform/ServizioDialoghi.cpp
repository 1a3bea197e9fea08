#include "components/platform/ServizioDialoghi.h"

#include <QDir>
#include <QFileInfo>

#include "components/core/ContestoComponenti.h"

#include <cstdio>

namespace {

class DialoghiSenzaSchermo : public ServizioDialoghi {
public:
    int msgCom(const RichiestaMsgCom& r) override {
        scrivi(r.messaggio);
        return r.bottonePredefinito;
    }
    int msgBox(const QString& testo, int, const QString&) override {
        scrivi(testo);
        return RispostaMsg::Ok;
    }
    void msgMenu(const QString& testo) override { scrivi(testo); }
    std::optional<QString> inputBox(const QString& domanda, const QString&, const QString&) override {
        scrivi(domanda);
        return std::nullopt;
    }
    std::optional<QString> sceltaFile(const RichiestaFile&) override { return std::nullopt; }

private:
    static void scrivi(const QString& testo) { std::fprintf(stderr, "%s\n", qUtf8Printable(testo)); }
};

using Fabbrica = ServizioDialoghi& (*)();
Fabbrica& predefiniti() {
    static Fabbrica f = nullptr;
    return f;
}

}  // namespace

void ImpostaDialoghiPredefiniti(Fabbrica f) { predefiniti() = f; }

ServizioDialoghi& Dialoghi() {
    if (ctxComponenti().ggDialoghi) return *ctxComponenti().ggDialoghi;
    if (predefiniti()) return predefiniti()();
    static DialoghiSenzaSchermo quieto;
    return quieto;
}

std::optional<QString> ServizioDialoghi::sceltaFileFiltro(const RichiestaFile& r, int& filtro) {
    const auto scelto = sceltaFile(r);
    filtro = scelto ? FiltroDelFile(r.filtri, *scelto) : 1;
    return scelto;
}

int FiltroDelFile(const QStringList& filtri, const QString& file) {
    for (int i = 0; i < filtri.size(); ++i) {
        const QString& f = filtri[i];
        const int a = f.indexOf(QLatin1Char('(')), b = f.lastIndexOf(QLatin1Char(')'));
        if (a < 0 || b < a) continue;
        for (const QString& schema : f.mid(a + 1, b - a - 1).split(QLatin1Char(' '), Qt::SkipEmptyParts))
            if (QDir::match(schema, QFileInfo(file).fileName())) return i + 1;
    }
    return 1;
}
