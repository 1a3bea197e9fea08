#include "components/core/ContestoComponenti.h"

static std::shared_ptr<ContestoComponenti>& contestoInstallato() {
    static std::shared_ptr<ContestoComponenti> c = std::make_shared<ContestoComponenti>();
    return c;
}

ContestoComponenti& ctxComponenti() { return *contestoInstallato(); }

void ImpostaContestoComponenti(std::shared_ptr<ContestoComponenti> c) {
    contestoInstallato() = c ? std::move(c) : std::make_shared<ContestoComponenti>();
}
