#include "startup/Contesto.h"

#include "components/util/UtilGenerali.h"

static std::shared_ptr<Contesto>& contestoCorrente() {
    static std::shared_ptr<Contesto> c = std::make_shared<Contesto>();
    return c;
}

Contesto& ctx() { return *contestoCorrente(); }

void ImpostaContesto(std::shared_ptr<Contesto> c) { contestoCorrente() = c ? std::move(c) : std::make_shared<Contesto>(); }

UtilGenerali& ggUtil() {
    static UtilGenerali u;
    return u;
}

UtilGenerali& ggIsolamento() {
    static UtilGenerali u;
    return u;
}
