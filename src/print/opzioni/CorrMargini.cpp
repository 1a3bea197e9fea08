#include "print/opzioni/CorrMargini.h"

#include "components/stampa/OpzSta.h"
#include "components/stampa/Stampa.h"
#include "components/stampanti/ServizioStampanti.h"
#include "components/util/UtilGenerali.h"
#include "contesto/Contesto.h"
#include "contesto/ImpostazioniIni.h"

std::optional<double> CorrezioneMargine(const QString& nomeStampante, const QString& chiave) {
    const QString sezione = ggUtil().EVuoto(nomeStampante) ? ggStampanti().NomeCorrente() : nomeStampante;
    QString valore;
    if (LeggiValIni(sezione, chiave, QStringLiteral("0"), valore).toInt() <= 0) return std::nullopt;
    return ggUtil().NumeroDaStringa(valore);
}

void CorrMarginiStampante(Stampa& st) {
    const QString nome = st.ogOpzSta ? st.ogOpzSta->osNomeStampante : QString();
    struct Margine {
        const char* chiave;
        double (Stampa::*leggi)() const;
        void (Stampa::*imposta)(double);
    };
    const Margine margini[] = {{"MrSin", &Stampa::LeggiMrSin, &Stampa::ImpMrSin},
                               {"MrDes", &Stampa::LeggiMrDes, &Stampa::ImpMrDes},
                               {"MrAlt", &Stampa::LeggiMrAlt, &Stampa::ImpMrAlt},
                               {"MrBas", &Stampa::LeggiMrBas, &Stampa::ImpMrBas}};
    for (const auto& m : margini)
        if (const auto c = CorrezioneMargine(nome, QString::fromLatin1(m.chiave)))
            (st.*m.imposta)((st.*m.leggi)() + *c);
}
