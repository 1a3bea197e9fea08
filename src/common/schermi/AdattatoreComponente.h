#pragma once
// The page, lines and list components as the common form routines see them
// (ComponenteDati): scaling parameters, read-only switch, Alt keys, the
// page's operation flag and the row counter, each passed on when the
// component has it.
#include "common/form/FormComune.h"

template <class C>
class AdattatoreComponente : public ComponenteDati {
public:
    explicit AdattatoreComponente(C& c) : c_(c) {}
    void ImpostaPar(const QString& nome, const Valore& valore) override { c_.ImpostaPar(nome, valore); }
    Valore LeggiPar(const QString& nome) const override { return c_.LeggiPar(nome); }
    void ImpostaAbilRW(int abilRW) override {
        if constexpr (requires { c_.ImpostaAbilRW(abilRW); }) c_.ImpostaAbilRW(abilRW);
    }
    int AbilRW() const override {
        if constexpr (requires { c_.AbilRW(); }) return c_.AbilRW();
        else return 1;
    }
    QString TastoPremuto(int keyCode) override {
        if constexpr (requires { c_.TastoPremuto(keyCode); }) return c_.TastoPremuto(keyCode);
        else return {};
    }
    int oiFlagOpe() const override {
        if constexpr (requires { c_.oiFlagOpe(); }) return c_.oiFlagOpe();
        else return 0;
    }
    void RecCorrSuTot(QString& corrente, QString& totale) const override {
        if constexpr (requires { c_.RecCorrSuTot(corrente, totale); }) c_.RecCorrSuTot(corrente, totale);
        else ComponenteDati::RecCorrSuTot(corrente, totale);
    }

private:
    C& c_;
};
