#pragma once
// A small bookkeeping for the invoice-data extraction tests: countries,
// accounts, causals, VAT codes and a builder of registrations (header, line
// 1 with the counterparty, the VAT lines and the other lines), real or of
// fictitious clients, written straight into a FixtureDb's company database.
#include "components/db/GestoreDb.h"
#include "components/db/Interroga.h"
#include "support/Fixture.h"

#include <QDate>
#include <QMap>
#include <QStringList>
#include <sqlite3.h>
#include <vector>

namespace contabilita {

using Riga = QMap<QString, Valore>;

// Accounts "GG-MM-CCCCCC".
inline const QString kCliente = QStringLiteral("14-01-000001");        // Italian
inline const QString kClienteUe = QStringLiteral("14-01-000002");      // German
inline const QString kClienteExtraUe = QStringLiteral("14-01-000003"); // Swiss
inline const QString kClienteIsoVuoto = QStringLiteral("14-01-000004");  // country with ISO ""
inline const QString kClienteSenzaStato = QStringLiteral("14-01-000005"); // country with no Stati row
inline const QString kClienteIsoNull = QStringLiteral("14-01-000006");  // country with ISO Null
inline const QString kClienteEscluso = QStringLiteral("14-01-000008");  // OperazRilev "E"
inline const QString kClienteFittizio = QStringLiteral("14-01-000009"); // CliForFittizio "S"
inline const QString kFornitore = QStringLiteral("24-01-000001");      // Italian
inline const QString kFornitoreUe = QStringLiteral("24-01-000002");    // German
inline const QString kDogana = QStringLiteral("24-01-000003");         // Italian customs
inline const QString kFornitoreExtraUe = QStringLiteral("24-01-000004"); // American
inline const QString kRicaviBeni = QStringLiteral("40-01-000001");
inline const QString kRicaviServizi = QStringLiteral("40-01-000002");  // BeneServizio "S"
inline const QString kCostiBeni = QStringLiteral("30-01-000001");
inline const QString kCostiServizi = QStringLiteral("30-01-000002");   // BeneServizio "S"

struct RigaIvaProva {
    QString iva = QStringLiteral("22");
    Valore imponibile = 100.0;
    Valore imposta = 22.0;
    QString conto;  // counterparty of the VAT line; "" the registration's
};

// A line after line 1.
struct RigaContoProva {
    QString conto;
    QString dareAvere;
    double importo = 0;
    double impostaIndetr = 0;
    QString iva;
    double imposta = 0;
};

struct RegProva {
    bool fittizia = false;
    int anno = 2018;
    long numReg = 1;
    QString causale = QStringLiteral("FV");
    QDate dataReg = QDate(2018, 3, 10);
    QDate dataDoc = QDate(2018, 3, 8);
    QDate dataProt = QDate(2018, 3, 9);
    Valore numDoc = "F12";
    Valore preDoc;
    Valore numProt = 12;
    Valore preProt;
    Valore importo = 122.0;
    Valore operazRilev;
    Valore ivaPerCassa;
    Valore annoIva;
    Valore periodoIva;
    // Line 1.
    QString controparte = kCliente;
    QString dareAvere = QStringLiteral("D");
    Valore importoControparte = 122.0;
    QString contoBlackList;  // "" none
    std::vector<RigaIvaProva> iva = {RigaIvaProva{}};
    // Lines 2 on; when empty, one line per VAT line on a revenue (clients) or
    // cost (suppliers) account with the line's taxable amount, code and VAT.
    std::vector<RigaContoProva> altre;
};

inline void Conto(const QString& codice, Valore& g, Valore& m, Valore& c) {
    const QStringList p = codice.split(QLatin1Char('-'));
    g = p.value(0);
    m = p.value(1);
    c = p.value(2);
}

inline void Registra(FixtureDb& fx, const RegProva& r) {
    const QString suffisso = r.fittizia ? QStringLiteral("Fitt") : QString();
    const bool vendita = r.controparte.startsWith(QLatin1String("14"));
    fx.Inserisci(fx.idAzienda, QStringLiteral("MovPnTes") + suffisso,
                 {{"Anno", r.anno}, {"NumReg", r.numReg}, {"Causale", r.causale}, {"DataReg", r.dataReg},
                  {"DataDoc", r.dataDoc}, {"NumDoc", r.numDoc}, {"PreDoc", r.preDoc}, {"DataProt", r.dataProt},
                  {"NumProt", r.numProt}, {"PreProt", r.preProt}, {"Importo", r.importo},
                  {"OperazRilev", r.operazRilev}, {"IvaPerCassa", r.ivaPerCassa}, {"AnnoIva", r.annoIva},
                  {"PeriodoIva", r.periodoIva}});
    Valore g, m, c, gb, mb, cb;
    Conto(r.controparte, g, m, c);
    if (!r.contoBlackList.isEmpty()) Conto(r.contoBlackList, gb, mb, cb);
    fx.Inserisci(fx.idAzienda, QStringLiteral("MovPnDett") + suffisso,
                 {{"Anno", r.anno}, {"NumReg", r.numReg}, {"RigReg", 1}, {"GruppoPartita", g}, {"MastroPartita", m},
                  {"ContoPartita", c}, {"DareAvere", r.dareAvere}, {"Importo", r.importoControparte},
                  {"GruppoBlackList", gb}, {"MastroBlackList", mb}, {"ContoBlackList", cb}});
    std::vector<RigaContoProva> altre = r.altre;
    if (altre.empty())
        for (const RigaIvaProva& i : r.iva)
            altre.push_back({vendita ? kRicaviBeni : kCostiBeni, vendita ? QStringLiteral("A") : QStringLiteral("D"),
                             i.imponibile.numero(), 0, i.iva, i.imposta.numero()});
    int rig = 2;
    for (const RigaContoProva& a : altre) {
        Conto(a.conto, g, m, c);
        fx.Inserisci(fx.idAzienda, QStringLiteral("MovPnDett") + suffisso,
                     {{"Anno", r.anno}, {"NumReg", r.numReg}, {"RigReg", rig++}, {"GruppoPartita", g},
                      {"MastroPartita", m}, {"ContoPartita", c}, {"DareAvere", a.dareAvere}, {"Importo", a.importo},
                      {"ImpostaIndetr", a.impostaIndetr}, {"Iva", a.iva.isEmpty() ? Valore() : Valore(a.iva)},
                      {"Imposta", a.imposta}});
    }
    int rigIva = 1;
    for (const RigaIvaProva& i : r.iva) {
        Conto(i.conto.isEmpty() ? r.controparte : i.conto, g, m, c);
        if (i.conto == QLatin1String("-")) g = m = c = Valore();
        fx.Inserisci(fx.idAzienda, QStringLiteral("MovPnIva") + suffisso,
                     {{"Anno", r.anno}, {"NumReg", r.numReg}, {"RigIva", rigIva++}, {"Iva", i.iva},
                      {"Imponibile", i.imponibile}, {"Imposta", i.imposta}, {"GruppoPartita", g},
                      {"MastroPartita", m}, {"ContoPartita", c}});
    }
}

// Countries, accounts, causals and VAT codes every test shares.
inline void Anagrafiche(FixtureDb& fx) {
    fx.Esegui(fx.idAzienda, R"(
INSERT INTO Stati (Stato, Descrizione, Iso, Cee) VALUES
  ('ITA', 'Italia', 'IT', 'S'), ('DEU', 'Germania', 'DE', 'S'), ('CHE', 'Svizzera', 'CH', 'N'),
  ('USA', 'Stati Uniti', 'US', 'N'), ('XXX', 'Senza codice', '', 'N'), ('NUL', 'Codice nullo', NULL, 'N');
INSERT INTO PianoConti (Gruppo, Mastro, Conto, Descrizione, Stato, CliForFittizio, OperazRilev, BeneServizio) VALUES
  ('14', '01', '000001', 'Rossi S.r.l.', 'ITA', 'N', NULL, NULL),
  ('14', '01', '000002', 'Müller GmbH', 'DEU', 'N', '', NULL),
  ('14', '01', '000003', 'Huber AG', 'CHE', NULL, NULL, NULL),
  ('14', '01', '000004', 'Cliente senza ISO', 'XXX', NULL, NULL, NULL),
  ('14', '01', '000005', 'Cliente senza stato', 'ZZZ', NULL, NULL, NULL),
  ('14', '01', '000006', 'Cliente ISO nullo', 'NUL', NULL, NULL, NULL),
  ('14', '01', '000008', 'Cliente escluso', 'ITA', NULL, 'e', NULL),
  ('14', '01', '000009', 'Clienti diversi', 'ITA', 'S', NULL, NULL),
  ('24', '01', '000001', 'Bianchi S.p.A.', 'ITA', NULL, NULL, NULL),
  ('24', '01', '000002', 'Schmidt KG', 'DEU', NULL, NULL, NULL),
  ('24', '01', '000003', 'Dogana di Milano', 'ITA', NULL, NULL, NULL),
  ('24', '01', '000004', 'Acme Inc.', 'USA', NULL, NULL, NULL),
  ('40', '01', '000001', 'Ricavi merci', NULL, NULL, NULL, 'N'),
  ('40', '01', '000002', 'Ricavi servizi', NULL, NULL, NULL, 'S'),
  ('30', '01', '000001', 'Acquisti merci', NULL, NULL, NULL, NULL),
  ('30', '01', '000002', 'Acquisti servizi', NULL, NULL, NULL, 's');
INSERT INTO Causali (Causale, Descrizione, TipoCausale, CausConcatenata, FATipoDoc, NotaVar, SplitPay, IvaGruppo,
  RevCharge, ImportNoCee, IntraCee, ImportAutRsm) VALUES
  ('FV', 'Fattura di vendita', 'V', NULL, NULL, 'N', 'N', NULL, 'N', 'N', 'N', 'N'),
  ('FVN', 'Vendita, flag nulli', 'v', NULL, NULL, 'N', NULL, NULL, 'N', NULL, NULL, NULL),
  ('FVX', 'Vendita, nota var. vuota', 'V', NULL, NULL, '', 'N', NULL, 'N', 'N', 'N', 'N'),
  ('NCV', 'Nota di credito a cliente', 'V', NULL, NULL, 'S', 'N', NULL, 'N', 'N', 'N', 'N'),
  ('FVS', 'Vendita, scissione pagamenti', 'V', NULL, NULL, 'N', 'S', 'SP', 'N', 'N', 'N', 'N'),
  ('FVT', 'Vendita, scissione senza gruppo', 'V', NULL, NULL, 'N', 'S', '', 'N', 'N', 'N', 'N'),
  ('FVD', 'Vendita, iva differita', 'VS', NULL, NULL, 'N', 'N', NULL, 'N', 'N', 'N', 'N'),
  ('FVI', 'Cessione intracomunitaria', 'V', NULL, NULL, 'N', 'N', NULL, 'N', 'N', 'S', 'N'),
  ('FVC', 'Intra con giroconto', 'V', 'GIR', NULL, 'N', 'N', NULL, 'N', 'N', 'S', 'N'),
  ('FVV', 'Intra, concatenata vuota', 'V', '', NULL, 'N', 'N', NULL, 'N', 'N', 'S', 'N'),
  ('AUT', 'Autofattura', 'V', NULL, NULL, 'N', 'N', NULL, 'N', 'N', 'N', 'S'),
  ('RCV', 'Vendita in reverse charge', 'V', NULL, NULL, 'N', 'N', NULL, 'S', 'N', 'N', 'N'),
  ('TD4', 'Nota di credito per causale', 'V', NULL, 'TD04', 'N', 'N', NULL, 'N', 'N', 'N', 'N'),
  ('T24', 'Tipo non previsto', 'V', NULL, 'TD24', 'N', 'N', NULL, 'N', 'N', 'N', 'N'),
  ('T20', 'Autofattura cliente fittizio', 'V', NULL, 'TD20', 'N', 'N', NULL, 'N', 'S', 'N', 'N'),
  ('FA', 'Fattura di acquisto', 'A', NULL, NULL, 'N', 'N', NULL, 'N', 'N', 'N', 'N'),
  ('FAD', 'Acquisto, iva differita', 'AS', NULL, NULL, 'N', 'N', NULL, 'N', 'N', 'N', 'N'),
  ('FAI', 'Acquisto intracomunitario', 'A', 'GIR', NULL, 'N', 'N', NULL, 'N', 'N', 'S', 'N'),
  ('NAI', 'Nota variazione intra', 'A', 'GIR', NULL, 'S', 'N', NULL, 'N', 'N', 'S', 'N'),
  ('BD', 'Bolla doganale', 'A', NULL, NULL, 'N', 'N', NULL, 'N', 'S', 'N', 'N'),
  ('BDG', 'Bolla doganale con giroconto', 'A', 'GIR', NULL, 'N', 'N', NULL, 'N', 'S', 'N', 'N'),
  ('IMP', 'Importazione con causale non giroconto', 'A', 'FA', NULL, 'N', 'N', NULL, 'N', 'S', 'N', 'N'),
  ('GIR', 'Giroconto', 'G', NULL, NULL, 'N', 'N', NULL, 'N', 'N', 'N', 'N');
INSERT INTO Tabiva (Iva, Descrizione, Aliquota, FENatura, FEForzaSplit, AllegCF, RevCharge, Imposta, RigaIva) VALUES
  ('22', 'Aliquota 22%', 22, NULL, NULL, NULL, 'N', 'S', 'VE23'),
  ('10', 'Aliquota 10%', 10, '', NULL, '', 'N', 'S', 'VE22'),
  ('Z0', 'Zero senza natura', 0, NULL, NULL, NULL, 'N', 'N', 'VE33'),
  ('N2', 'Non soggetto', 0, 'N2', NULL, NULL, 'N', 'N', 'VE32'),
  ('N2F', 'Non soggetto, split', 0, 'N2', 'S', NULL, 'N', 'N', 'VE32'),
  ('RC', 'Reverse charge', 22, 'N6', NULL, NULL, 'S', 'S', 'VE35'),
  ('ESC', 'Escluso dai dati fatture', 22, NULL, NULL, 'N', 'N', 'S', 'VE50');
)");
}

// Rows of a query on the company database, by column name.
inline QList<Riga> Leggi(FixtureDb& fx, const QString& sql) {
    QList<Riga> righe;
    if (fx.motore == Motore::Server) {
        const RisultatoSql r = LeggiTutto(*fx.gestDb, fx.idAzienda, sql, QStringLiteral("Prova"));
        for (const auto& valori : r.righe) {
            Riga riga;
            for (qsizetype c = 0; c < r.colonne.size(); ++c) riga[r.colonne[c]] = valori[c];
            righe << riga;
        }
        return righe;
    }
    sqlite3* db = fx.gestDb->DatabaseDaId(fx.idAzienda)->Handle();
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db, sql.toUtf8().constData(), -1, &st, nullptr) != SQLITE_OK) {
        sqlite3_finalize(st);
        return righe;
    }
    while (sqlite3_step(st) == SQLITE_ROW) {
        Riga r;
        for (int c = 0; c < sqlite3_column_count(st); ++c) {
            const QString nome = QString::fromUtf8(sqlite3_column_name(st, c));
            switch (sqlite3_column_type(st, c)) {
            case SQLITE_NULL: r[nome] = Valore::null(); break;
            case SQLITE_INTEGER: r[nome] = static_cast<long long>(sqlite3_column_int64(st, c)); break;
            case SQLITE_FLOAT: r[nome] = sqlite3_column_double(st, c); break;
            default: r[nome] = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, c)));
            }
        }
        righe << r;
    }
    sqlite3_finalize(st);
    return righe;
}

inline QList<Riga> Testate(FixtureDb& fx) {
    return Leggi(fx, QStringLiteral("SELECT * FROM DatiFatTest ORDER BY AnnoCom, NumCom, Tipo, AnnoReg, NumReg"));
}
inline QList<Riga> Dettagli(FixtureDb& fx) {
    return Leggi(fx, QStringLiteral("SELECT * FROM DatiFatDett ORDER BY AnnoCom, NumCom, Tipo, AnnoReg, NumReg, NumDet"));
}

}  // namespace contabilita
