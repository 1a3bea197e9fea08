#pragma once
// The program's side of the lookup library: owns the library object and
// answers its help manager's events (back to the menu, preparing a decoding,
// keys handed over for the menu).
#include "components/lookup/QorAiuti.h"

#include <functional>
#include <memory>

class scQorUtilPrg : public RicevitoreAiuto {
public:
    using FabbricaAiuti = std::function<std::shared_ptr<QorAiuti>()>;
    // Creates the library (the real one when no maker is given) and
    // subscribes to its help manager.
    explicit scQorUtilPrg(FabbricaAiuti fabbrica = nullptr);
    ~scQorUtilPrg() override;

    std::shared_ptr<QorAiuti> ogQorAiuti;

    void ClsMainMenuFrm() override;
    void ClsPrepDecod(const QString& psId, const QString& psKeyBase, const QString& psCampo, const Valore& pvValore,
                      const Valore& pvSoloDecod, const Valore& pvSqlNoFiltro, Valore& pvRitorno) override;
    void LanciaKeyPrim(const QString& psLanciaKeyPrim) override;
    void LanciaKeySec(const QString& psLanciaKeySec) override;
};

// Creates the program's one instance when missing, keeps it and its library
// in the context (ggScUtilPrg, ggAiuti) and hands the library the context.
void CreaAiuti(scQorUtilPrg::FabbricaAiuti fabbrica = nullptr);
