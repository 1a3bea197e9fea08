#pragma once
// The lookup-help library over the company and shared databases: tables as
// TabelleAiuto.h defines them, the list in FrmListaAiuto.
#include "components/lookup/QorAiuti.h"

#include <QList>
#include <QStringList>
#include <functional>

class FrmListaAiuto;

// Rows of a query as texts, columns in the query's order.
struct RisultatoQuery {
    QStringList colonne;
    QList<QStringList> righe;
};
RisultatoQuery EseguiQueryTesti(GestoreDb& gestDb, const QString& idDb, const QString& sql);

// Shows the list and returns true when the user chose a row. The real one
// runs the window modally; tests put their own in its place.
using MostraListaAiuto = std::function<bool(FrmListaAiuto&)>;
bool MostraListaModale(FrmListaAiuto& f);

class QorAiutiSql : public QorAiuti {
public:
    MostraListaAiuto mostraLista = MostraListaModale;

    Valore ApriListaAiuto(const QString& tabella, QWidget* casella, QWidget* etichetta, int keyCode,
                          QWidget* formAttiva, const std::optional<Valore>& tipo, int& scelta, int intero,
                          const QString& colonne, const QString& filtro) override;
    Valore DecodificaCampo(const QString& tabella, QWidget* casella, QWidget* etichetta,
                           const std::optional<Valore>& tipo, int intero1, const QString& testo, int intero2,
                           const Valore& opzionale, const QString& filtro) override;
    Valore DecodificaValore(const QString& tabella, const QString& colChiave, QWidget* casella, QWidget* etichetta,
                            int flag, int intero, int tipoChiave, const QString& colDescr,
                            const std::optional<Valore>& opz1, const std::optional<Valore>& opz2,
                            const QString& filtro) override;

private:
    QString IdDb(bool condivisa) const;
};
