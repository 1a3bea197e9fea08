#pragma once
// Recording hosts for the data-screen components: each keeps every call the
// component makes into its screen, with the arguments, and answers from a
// script (hook results, the buttons of questions).
#include "components/pages/ComPag.h"
#include "components/pages/Comlin.h"
#include "components/pages/LinPag.h"
#include "components/pages/LisPag.h"

#include <QMap>
#include <QStringList>
#include <functional>

struct Registro {
    QStringList chiamate;  // "Pri(16)", "Dop(1:[2])", "Domanda(testo)", ...
    QList<int> risposte;   // buttons of the questions, in order; none left: 0
    int rispondi(const RichiestaMsgCom& r) {
        chiamate << QStringLiteral("Domanda(") + r.messaggio + QLatin1Char(')');
        return risposte.isEmpty() ? 0 : risposte.takeFirst();
    }
    static QString arr(const QList<Valore>& a) {
        QStringList t;
        for (const Valore& v : a) t << v.testo();
        return a.isEmpty() ? QString() : QStringLiteral(":[") + t.join(QLatin1Char(',')) + QLatin1Char(']');
    }
};

class OspitePaginaReg : public OspitePagina {
public:
    Registro reg;
    QMap<int, std::function<int()>> prima;  // answers of PersPagPri by code
    QString messaggio;
    int PersPagPri(int op, int& rit, QList<Valore>& a) override {
        reg.chiamate << QStringLiteral("Pri(%1%2)").arg(op).arg(Registro::arr(a));
        const int r = prima.contains(op) ? prima[op]() : 0;
        if (r == 1) rit = 1;
        return r;
    }
    int PersPagDop(int op, int&, QList<Valore>& a) override {
        reg.chiamate << QStringLiteral("Dop(%1%2)").arg(op).arg(Registro::arr(a));
        return 0;
    }
    void ChiudiFrm() override { reg.chiamate << QStringLiteral("ChiudiFrm"); }
    void MenuFrm() override { reg.chiamate << QStringLiteral("MenuFrm"); }
    int Domanda(const RichiestaMsgCom& r) override { return reg.rispondi(r); }
    void MostraMessaggio(const QString& t) override { messaggio = t; }
    void MostraDescrizione(const QString&) override {}
};

class OspiteLineeReg : public OspiteLinee {
public:
    Registro reg;
    QMap<int, std::function<int(Valore&)>> prima;
    QString messaggio;
    int PersLPaPri(int op, Valore& rit, QList<Valore>& a) override {
        reg.chiamate << QStringLiteral("Pri(%1%2)").arg(op).arg(Registro::arr(a));
        return prima.contains(op) ? prima[op](rit) : 0;
    }
    int PersLPaDop(int op, Valore&, QList<Valore>& a) override {
        reg.chiamate << QStringLiteral("Dop(%1%2)").arg(op).arg(Registro::arr(a));
        return 0;
    }
    void PersColonne() override { reg.chiamate << QStringLiteral("PersColonne"); }
    void ChiudiFrm() override { reg.chiamate << QStringLiteral("ChiudiFrm"); }
    void MenuFrm() override { reg.chiamate << QStringLiteral("MenuFrm"); }
    int Domanda(const RichiestaMsgCom& r) override { return reg.rispondi(r); }
    void MostraMessaggio(const QString& t) override { messaggio = t; }
    void ovfrmBookmark(const QString& s) override { segnalibro = s; }
    QString ovfrmBookmark() const override { return segnalibro; }
    std::optional<QString> ChiediTesto(const QString&) override { return testoChiesto; }
    QString segnalibro;
    std::optional<QString> testoChiesto;
};

class OspiteListaReg : public OspiteLista {
public:
    Registro reg;
    Comlin* comlin = nullptr;
    LisPag* lisPag = nullptr;
    int staAtt = 0;
    QList<int> staAttVisti;
    QString PrepSql(const QString& where) override {
        reg.chiamate << QStringLiteral("PrepSql(") + where + QLatin1Char(')');
        return QStringLiteral("SELECT Anno, NumCom, CodiceFiscale FROM LiqIvaTest") +
               (where.isEmpty() ? QString() : QStringLiteral(" where ") + where) + QStringLiteral(" ORDER BY Anno, NumCom");
    }
    bool VerSelez() override {
        reg.chiamate << QStringLiteral("VerSelez");
        return !lisPag->SelezioneNonValida();
    }
    QString PersListaVarie(int, LisCampo& c, QList<Valore>&) override {
        reg.chiamate << QStringLiteral("PersListaVarie(") + c.nome + QLatin1Char(')');
        return {};
    }
    void SettaRecordset(const QString& sql) override {
        reg.chiamate << QStringLiteral("SettaRecordset");
        comlin->ImpostaRecordset(sql);
    }
    void PersColonne() override { reg.chiamate << QStringLiteral("PersColonne"); }
    void ovfrmBookmark(const QString& s) override { reg.chiamate << QStringLiteral("Bookmark(") + s + QLatin1Char(')'); }
    void ChiudiFrm() override { reg.chiamate << QStringLiteral("ChiudiFrm"); }
    void MenuFrm() override { reg.chiamate << QStringLiteral("MenuFrm"); }
    void TornaTestata() override { reg.chiamate << QStringLiteral("TornaTestata"); }
    int Domanda(const RichiestaMsgCom& r) override { return reg.rispondi(r); }
    QString TitoloLista() const override { return QStringLiteral("Lista di prova"); }
    void oiStaAtt(int v) override {
        staAtt = v;
        staAttVisti << v;
    }
    int oiStaAtt() const override { return staAtt; }
};
