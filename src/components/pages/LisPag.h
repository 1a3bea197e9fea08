#pragma once
// The pager of the list screens: the selection fields above the list, the
// filter text they make, the defaults they return to, and the link to the
// header page that opened the list (the chosen row's key goes back to it).
//
// Typed values reach the SQL only as literals of the utility object; a
// number field holding something else refuses the selection, marks the field
// with the error colour and says why.
#include "components/core/Valore.h"

#include <QHash>
#include <QList>
#include <QPointer>
#include <QString>
#include <QStringList>

class ComPag;
class Comlin;
class OspiteLista;
#include <QLineEdit>
#include <QToolBar>

// One selection field.
class LisCampo {
public:
    QString nome;        // field name or key list
    QPointer<QLineEdit> box;
    QString operatore;   // ">=", "<=", "=" or "pers"
    int tipo = 0;        // 3 year, 4 number, 0 text
    QString suffisso;    // "A" for the "to" field of a range
    QString predefinito;

    void LeggiNomeCampo(QString& nome_) const { nome_ = nome; }
    // The name the pager knows it by (name + suffix).
    QString Chiave() const { return nome + suffisso; }
};

class LisPag {
public:
    void ImpToolbar(QToolBar* barra) { barra_ = barra; }
    void ImpComlin(Comlin* comlin) { comlin_ = comlin; }
    Comlin* LeggiComlin() const { return comlin_; }
    void ImpForm(OspiteLista* ospite) { ospite_ = ospite; }
    // tipo: 3 year, 4 number, 0 text; suffisso "A" for the second of a range.
    void AggiungiSelezione(const QString& nome, QLineEdit* box, const QString& operatore, int tipo = 0,
                           const QString& suffisso = {});
    void ImpValoreSelezione(const QString& chiave, const QString& valore);
    void ImpColErrore(long c) { colErrore_ = c; }
    void ImpColSfondo(long c) { colSfondo_ = c; }
    // Puts the defaults in the fields.
    void ConcludiIniz();

    void ImpostaPar(const QString& nome, const Valore& v) { par_[nome.toLower()] = v; }
    Valore LeggiPar(const QString& nome) const { return par_.value(nome.toLower()); }
    QString TastoPremuto(int keyCode) const;

    // "Ricerca" runs the selection, "AzzSel" puts the defaults back,
    // "Seleziona" and "Torna" go back to the header page.
    void LanciaComando(const QString& chiave);
    // True (after marking the field and saying why) when a field holds what
    // its type cannot take.
    bool SelezioneNonValida();
    // The filter text of the fields, " And " between conditions.
    QString Filtro();
    // Key values of the current row, in the header page's key order.
    QList<Valore> ChiaveCorrente() const;

    void ImpPagTestata(ComPag* pagina) { pagina_ = pagina; }
    ComPag* LeggiPagTestata() const { return pagina_; }
    // Next / previous row of the list shown on the header page.
    bool PaginaAvanti();
    bool PaginaIndietro();

    QList<LisCampo>& Campi() { return campi_; }

private:
    bool ricerca();
    bool mostraSullaPagina(int riga);

    QPointer<QToolBar> barra_;
    Comlin* comlin_ = nullptr;
    OspiteLista* ospite_ = nullptr;
    ComPag* pagina_ = nullptr;
    QList<LisCampo> campi_;
    QHash<QString, Valore> par_;
    long colErrore_ = 255, colSfondo_ = 0x80000005;
};
