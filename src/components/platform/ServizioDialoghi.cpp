#include "components/platform/ServizioDialoghi.h"

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
