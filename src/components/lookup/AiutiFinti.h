#pragma once
// Scripted doubles of the lookup library: they keep every call, decode from a
// table of known codes and answer the lists from a script, without windows.
#include "components/lookup/DecodLista.h"
#include "components/lookup/QorAiuti.h"

#include <QHash>
#include <QList>
#include <QStringList>

class QorAiutiFinto : public QorAiuti {
public:
    // Known codes per table (lower-case names): code -> description.
    QHash<QString, QHash<QString, QString>> codici;

    // One scripted list: what the user does when it opens.
    struct EsitoLista {
        int scelta = 0;           // non-zero: a row was chosen
        QString codice;           // written into the box when chosen
        QString descrizione;      // written into the label when chosen
        long risultato = EsitoDecod::Vuoto;
        bool nessunaRiga = false; // nothing found: result 1 and "** INESISTENTE **"
        bool errore = false;      // the list fails
    };
    QList<EsitoLista> liste;

    struct ChiamataLista {
        QString tabella;
        int keyCode = 0;
        QString colonne;
        QString filtro;
        QString testo;            // the box's text when the list opened
        Valore retZeroRec;        // "RetZeroRec" while the list was open
        Valore forzaPassThrough;
        long colBackOk = 0;
        std::optional<Valore> tipo;
    };
    QList<ChiamataLista> chiamateLista;
    QStringList decodifiche;      // table + ":" + code, in order

    Valore ApriListaAiuto(const QString& tabella, QWidget* casella, QWidget* etichetta, int keyCode, QWidget*,
                          const std::optional<Valore>& tipo, int& scelta, int, const QString& colonne,
                          const QString& filtro) override;
    Valore DecodificaCampo(const QString& tabella, QWidget* casella, QWidget* etichetta,
                           const std::optional<Valore>& tipo, int, const QString&, int, const Valore&,
                           const QString& filtro) override;
    Valore DecodificaValore(const QString& tabella, const QString& colChiave, QWidget* casella, QWidget* etichetta,
                            int, int, int, const QString& colDescr, const std::optional<Valore>&,
                            const std::optional<Valore>&, const QString& filtro) override;

private:
    Valore Decodifica(const QString& tabella, QWidget* casella, QWidget* etichetta);
};

class DecodListaFinta : public DecodLista {
public:
    // The scripted outcome: no row at all, or the row the user picks (column
    // -> value), or nothing picked.
    bool nessunaRiga = false;
    QHash<QString, QString> rigaScelta;  // empty: the user picked nothing

    struct Chiamata {
        QString nome;
        QString idDb;
        QString sql;
        QString colChiave;
        int tasto = 0;
    };
    QList<Chiamata> chiamate;

    long DecodificaCodice(const QString& nome, GestoreDb& gestDb, const QString& idDb, const QString& sql,
                          const QString& colChiave, Valore& codice) override;
};
