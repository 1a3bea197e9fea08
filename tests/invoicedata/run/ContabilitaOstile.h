#pragma once
// Hostile bookkeeping for the invoice-data road, made from a seed: names with
// markup characters and non-Latin text, codes empty and too long, amounts at
// and past the limits of the file's types, rates outside 0-100, document dates
// before 1970 and after 2099, a country with a three-letter code, and as many
// counterparties and documents of one counterparty as asked. The same seed
// gives the same data. Written straight into a company database file, in one
// transaction.
#include "../estrazione/ContabilitaProva.h"

#include <QStringList>
#include <random>
#include <sqlite3.h>

namespace ostile {

struct ParametriOstili {
    uint32_t seme = 1;
    int controparti = 40;          // clients and suppliers, alternating
    int documentiPerControparte = 2;
    int documentiDiUna = 0;        // further documents of the first client
    // Share of the values drawn from a whole list; the others come from its
    // first part, which a file may carry once cleaned (markup, non-Latin
    // text, amounts and rates at their limits).
    double dose = 1.0;
};

// A list of values whose first `sani` the file's types take.
struct Valori {
    QStringList valori;
    int sani;
};

// Values the file's types take and values past them, side by side.
inline const Valori kNomi = {
    {QStringLiteral("Rossi & <Figli> \"S.r.l.\""), QStringLiteral("O'Brien ]]> -- <!-- Ltd"),
     QStringLiteral("Ελληνική Εταιρεία"), QStringLiteral("北京贸易有限公司"), QStringLiteral("Müller – “GmbH” … €"),
     QString(), QString(130, QLatin1Char('X')), QStringLiteral("  "), QStringLiteral("Tab\tA capo\r\nFine")},
    5};
inline const Valori kPartiteIva = {
    {QStringLiteral("01234567897"), QString(), QStringLiteral("123"), QStringLiteral("IT01234567897"),
     QStringLiteral("DE123456789"), QString(40, QLatin1Char('9')), QStringLiteral("ÀÈÌ<>&")},
    1};
inline const Valori kCodiciFiscali = {{QString(), QStringLiteral("RSSMRA80A01H501U"), QString(30, QLatin1Char('X')),
                                       QStringLiteral("01234567897"), QStringLiteral("<cf>")},
                                      1};
inline const Valori kCap = {{QStringLiteral("20100"), QStringLiteral("ABCDE"), QStringLiteral("1234567"), QString()}, 1};
inline const Valori kProvince = {{QStringLiteral("MI"), QStringLiteral("MIL"), QString(), QStringLiteral("m")}, 1};
inline const Valori kStati = {{QStringLiteral("ITA"), QStringLiteral("DEU"), QStringLiteral("USA"), QStringLiteral("GRC"),
                               QStringLiteral("XYZ")},
                              4};
inline const Valori kNumeriDoc = {{QStringLiteral("F1"), QStringLiteral("<n>&\"1\""), QString(),
                                   QString(40, QLatin1Char('7')), QStringLiteral("Αρ.5"), QStringLiteral("2018/ñ")},
                                  2};
// Taxable amounts: the type holds 11 integer digits and two decimals.
inline const double kImporti[] = {0.01, 1234.5,          99999999999.99, -5.55, 0.004, -99999999999.99,
                                  0.0,  100000000000.0, 999999999999.99, 1e15};
constexpr int kImportiSani = 6;
// VAT codes "H0".."H7" with these rates (the type holds 0.00-100.00).
inline const double kAliquote[] = {22, 0, 100, 4, 100.01, 150, -1, 1000};
constexpr int kAliquoteSane = 4;
inline const char* const kDate[] = {"2018-02-01", "1970-01-01", "2099-12-31", "1969-12-31", "1900-01-01", "2100-06-01"};
constexpr int kDateSane = 3;

inline QString q(const QString& s) {
    QString r = s;
    r.replace(QLatin1Char('\''), QStringLiteral("''"));
    return QLatin1Char('\'') + r + QLatin1Char('\'');
}
inline QString n(double x) { return QString::number(x, 'g', 17); }

// Writes the bookkeeping; false with the database's message in `errore`.
inline bool GeneraOstile(sqlite3* db, const ParametriOstili& p, QString& errore) {
    std::mt19937 rnd(p.seme);
    // An index into a list of `tutti` values whose first `sani` are sane.
    const auto indice = [&](size_t tutti, size_t sani) {
        const bool ostile = std::uniform_real_distribution<double>(0, 1)(rnd) < p.dose;
        return std::uniform_int_distribution<size_t>(0, (ostile ? tutti : sani) - 1)(rnd);
    };
    const auto scegli = [&](const Valori& v) -> const QString& {
        return v.valori[static_cast<qsizetype>(indice(v.valori.size(), v.sani))];
    };
    const auto importo = [&] { return kImporti[indice(std::size(kImporti), kImportiSani)]; };
    QStringList sql;
    sql << QStringLiteral("INSERT INTO Stati (Stato, Descrizione, Iso, Cee) VALUES ('XYZ', 'Tre lettere', 'XYZ', 'N'),"
                          " ('GRC', 'Grecia', 'GR', 'S')");
    for (int i = 0; i < static_cast<int>(std::size(kAliquote)); ++i)
        sql << QStringLiteral("INSERT INTO Tabiva (Iva, Descrizione, Aliquota, FENatura, RevCharge, Imposta, RigaIva)"
                              " VALUES ('H%1', 'Aliquota %2', %2, %3, 'N', 'S', 'VE%1')")
                   .arg(i)
                   .arg(n(kAliquote[i]))
                   .arg(kAliquote[i] == 0 ? QStringLiteral("'N2'") : QStringLiteral("NULL"));

    const auto conto = [](bool cliente, int i) {
        return QStringLiteral("%1-01-%2").arg(cliente ? "14" : "24").arg(100 + i, 6, 10, QLatin1Char('0'));
    };
    for (int i = 0; i < p.controparti; ++i) {
        const QStringList c = conto(i % 2 == 0, i).split(QLatin1Char('-'));
        const bool fisica = rnd() % 4 == 0;
        sql << QStringLiteral("INSERT INTO PianoConti (Gruppo, Mastro, Conto, Descrizione, RagSoc, Cognome, Nome,"
                              " StatoGiurid, PartIva, CodFisc, Indirizzo, CAP, Comune, Pr, Stato) VALUES"
                              " (%1, %2, %3, %4, %4, %5, %6, %7, %8, %9, %10, %11, %12, %13, %14)")
                   .arg(q(c[0]), q(c[1]), q(c[2]), q(scegli(kNomi)), q(scegli(kNomi)), q(scegli(kNomi)),
                        q(fisica ? QStringLiteral("F") : QStringLiteral("G")), q(scegli(kPartiteIva)),
                        q(scegli(kCodiciFiscali)))
                   .arg(q(scegli(kNomi)), q(scegli(kCap)), q(scegli(kNomi)), q(scegli(kProvince)), q(scegli(kStati)));
    }

    long numReg = 0;
    const auto documento = [&](int controparte) {
        const bool cliente = controparte % 2 == 0;
        const QStringList c = conto(cliente, controparte).split(QLatin1Char('-'));
        const QStringList r = (cliente ? contabilita::kRicaviBeni : contabilita::kCostiBeni).split(QLatin1Char('-'));
        ++numReg;
        const int codice = static_cast<int>(indice(std::size(kAliquote), kAliquoteSane));
        const double imponibile = importo();
        const double imposta = rnd() % 3 == 0 ? importo() : imponibile * kAliquote[codice] / 100;
        const QString causale = cliente ? (rnd() % 5 == 0 ? QStringLiteral("NCV") : QStringLiteral("FV"))
                                        : QStringLiteral("FA");
        // The selection reads the client's DataDoc and the supplier's DataReg;
        // the file the client's DataProt and the supplier's DataDoc.
        const QString ostile = QString::fromLatin1(kDate[indice(std::size(kDate), kDateSane)]);
        sql << QStringLiteral("INSERT INTO MovPnTes (Anno, NumReg, Causale, DataReg, DataDoc, NumDoc, PreDoc, DataProt,"
                              " NumProt, PreProt, Importo) VALUES (2018, %1, %2, '2018-03-10', %3, %4, %5, %6, %7, %8, %9)")
                   .arg(numReg)
                   .arg(q(causale), q(cliente ? QStringLiteral("2018-03-08") : ostile), q(scegli(kNumeriDoc)),
                        q(rnd() % 4 == 0 ? scegli(kNomi) : QString()), q(cliente ? ostile : QStringLiteral("2018-03-09")))
                   .arg(numReg % 7 == 0 ? 2147483647L : numReg)
                   .arg(q(rnd() % 4 == 0 ? scegli(kNomi) : QString()), n(imponibile + imposta));
        const QString dare = cliente ? QStringLiteral("D") : QStringLiteral("A");
        const QString avere = cliente ? QStringLiteral("A") : QStringLiteral("D");
        sql << QStringLiteral("INSERT INTO MovPnDett (Anno, NumReg, RigReg, GruppoPartita, MastroPartita, ContoPartita,"
                              " DareAvere, Importo) VALUES (2018, %1, 1, %2, %3, %4, %5, %6)")
                   .arg(numReg)
                   .arg(q(c[0]), q(c[1]), q(c[2]), q(dare), n(imponibile + imposta));
        sql << QStringLiteral("INSERT INTO MovPnDett (Anno, NumReg, RigReg, GruppoPartita, MastroPartita, ContoPartita,"
                              " DareAvere, Importo, ImpostaIndetr, Iva, Imposta) VALUES (2018, %1, 2, %2, %3, %4, %5, %6, 0,"
                              " 'H%7', %8)")
                   .arg(numReg)
                   .arg(q(r[0]), q(r[1]), q(r[2]), q(avere), n(imponibile))
                   .arg(codice)
                   .arg(n(imposta));
        sql << QStringLiteral("INSERT INTO MovPnIva (Anno, NumReg, RigIva, Iva, Imponibile, Imposta, GruppoPartita,"
                              " MastroPartita, ContoPartita) VALUES (2018, %1, 1, 'H%2', %3, %4, %5, %6, %7)")
                   .arg(numReg)
                   .arg(codice)
                   .arg(n(imponibile), n(imposta), q(c[0]), q(c[1]), q(c[2]));
    };
    for (int i = 0; i < p.controparti; ++i)
        for (int d = 0; d < p.documentiPerControparte; ++d) documento(i);
    for (int d = 0; d < p.documentiDiUna; ++d) documento(0);

    const QByteArray testo = (QStringLiteral("BEGIN;") + sql.join(QLatin1Char(';')) + QStringLiteral(";COMMIT;")).toUtf8();
    char* msg = nullptr;
    if (sqlite3_exec(db, testo.constData(), nullptr, nullptr, &msg) == SQLITE_OK) return true;
    errore = QString::fromUtf8(msg ? msg : "errore");
    sqlite3_free(msg);
    sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
    return false;
}

}  // namespace ostile
