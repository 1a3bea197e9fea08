#include "contesto/Contesto.h"

static std::shared_ptr<Contesto>& contestoCorrente() {
    static std::shared_ptr<Contesto> c = [] {
        auto nuovo = std::make_shared<Contesto>();
        ImpostaContestoComponenti(nuovo);
        return nuovo;
    }();
    return c;
}

Contesto& ctx() { return *contestoCorrente(); }

void ImpostaContesto(std::shared_ptr<Contesto> c) {
    contestoCorrente() = c ? std::move(c) : std::make_shared<Contesto>();
    // The components read their part of the same object.
    ImpostaContestoComponenti(contestoCorrente());
}
