#include "components/db/VerificaDb.h"
#include "components/platform/DialoghiScriptati.h"
#include "components/util/UtilGenerali.h"
#include "contesto/Contesto.h"
#include "support/DanniDb.h"
#include "support/Fixture.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sqlite3.h>

// How the recovery copies a table: the definition it gives a table whose
// stored one is garbled, which values it leaves out, and how it keeps a
// registration whole.
namespace {

using DanniDb::Valori;

QByteArray Contenuto(const QString& percorso) {
    QFile f(percorso);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void Esegui(const QString& file, const QString& sql) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(file.toUtf8().constData(), &db), SQLITE_OK);
    const int rc = sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, nullptr);
    EXPECT_EQ(rc, SQLITE_OK) << sqlite3_errmsg(db) << "\n" << sql.toStdString();
    sqlite3_close(db);
}

// Damage in place of the stored text of a definition: `da`, once in the
// file, becomes `a`, of the same length, as a bad sector leaves it.
void Guasta(const QString& file, const QByteArray& da, const QByteArray& a) {
    ASSERT_EQ(da.size(), a.size());
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    QByteArray dati = f.readAll();
    const qsizetype dove = dati.indexOf(da);
    ASSERT_GE(dove, 0) << da.toStdString();
    ASSERT_LT(dati.indexOf(da, dove + 1), 0) << da.toStdString();
    dati.replace(dove, a.size(), a);
    f.seek(0);
    f.write(dati);
}

class RecuperoTabelleTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir = std::make_unique<QTemporaryDir>();
        dialoghi = std::make_shared<DialoghiScriptati>();
        auto c = std::make_shared<Contesto>();
        c->ggDialoghi = dialoghi;
        ImpostaContesto(c);
        file = dir->filePath(QStringLiteral("dati.db"));
    }
    void TearDown() override { ImpostaContesto(nullptr); }

    // The company file with `MovPnIva` made with `definizione` (its stored
    // text) and 200 VAT lines: Imponibile 100 * n, Imposta 22 * n, and the
    // other columns given by `altre` (column names and values of line n).
    void AziendaConIva(const QString& definizione, const QString& altre = {}, const QString& valori = {}) {
        FixtureDb::CreaDatabase(file, QStringLiteral("azienda.sql"));
        QString sql = QStringLiteral("DROP TABLE MovPnIva; ") + definizione + QStringLiteral("; BEGIN;");
        for (int n = 1; n <= 200; ++n)
            sql += QStringLiteral("INSERT INTO MovPnIva (Anno, NumReg, RigIva, Iva, Imponibile, Imposta, ContoPartita%1) "
                                  "VALUES (2024, %2, 1, 'N2', %3, %4, '000%2'%5);")
                       .arg(altre)
                       .arg(n)
                       .arg(100 * n)
                       .arg(22 * n)
                       .arg(QString(valori).replace(QStringLiteral("$n"), QString::number(n)));
        Esegui(file, sql + QStringLiteral("COMMIT;"));
        segnaDaVerificare(file, "definizione danneggiata");
    }

    QString Box() const { return dialoghi->mostrati.isEmpty() ? QString() : dialoghi->mostrati[0].testo; }
    QString Conservato() const {
        const QStringList tenuti = QDir(dir->path()).entryList({"dati-danneggiato-*.db"}, QDir::Files);
        return tenuti.size() == 1 ? dir->filePath(tenuti[0]) : QString();
    }

    std::unique_ptr<QTemporaryDir> dir;
    QString file;
    std::shared_ptr<DialoghiScriptati> dialoghi;
};

const char* const kColonneIva = "Anno SMALLINT NOT NULL, NumReg INTEGER NOT NULL, RigIva SMALLINT NOT NULL, Iva VARCHAR(5)";
const char* const kContropartita = "GruppoPartita VARCHAR(2), MastroPartita VARCHAR(2), ContoPartita VARCHAR(6)";

// A definition garbled where its column list can still be read: the table
// comes back with its columns as they were stored, whatever order or extra
// columns another program of the suite or an older layout gave it.
TEST_F(RecuperoTabelleTest, AGarbledDefinitionKeepsTheColumnsAsStored) {
    const struct {
        const char* nome;
        QString colonne;   // between RigIva's group and the counterparty
        QString coda;      // after the counterparty
        QString altre, valori, attese;  // an extra column: its name, the value of line $n, the values expected
    } formati[] = {
        {"importi scambiati", "Imposta DOUBLE PRECISION, Imponibile DOUBLE PRECISION", "", "", "", ""},
        {"colonna in più nel mezzo", "Imponibile DOUBLE PRECISION, Aliquota DOUBLE PRECISION, Imposta DOUBLE PRECISION", "",
         ", Aliquota", ", 22.5", "SELECT count(*) FROM MovPnIva WHERE Aliquota = 22.5"},
        {"colonna in più in fondo", "Imponibile DOUBLE PRECISION, Imposta DOUBLE PRECISION", ", Nota VARCHAR(20)", ", Nota",
         ", 'nota $n'", "SELECT count(*) FROM MovPnIva WHERE Nota = 'nota ' || NumReg"},
    };
    const struct {
        const char* nome;
        QByteArray da, a;
    } guasti[] = {
        {"parola chiave", "CREATE TABLE MovPnIva (", "CR\x01@TE TA#LE MovPnIva ("},
        {"chiave primaria", "PRIMARY KEY (Anno, NumReg, RigIva))", QByteArray("PRIMARY KEY (Anno, Nu").leftJustified(35, '\xfe')},
    };
    for (const auto& formato : formati)
        for (const auto& guasto : guasti) {
            SCOPED_TRACE(std::string(formato.nome) + ", " + guasto.nome);
            TearDown();
            SetUp();
            AziendaConIva(QStringLiteral("CREATE TABLE MovPnIva (%1, %2, %3%4, PRIMARY KEY (Anno, NumReg, RigIva))")
                              .arg(kColonneIva, formato.colonne, kContropartita, formato.coda),
                          formato.altre, formato.valori);
            Guasta(file, guasto.da, guasto.a);

            ASSERT_EQ(ggUtil().RiparaDb(file), 0);

            // Each value in the column it was stored in.
            EXPECT_EQ(Valori(file, "SELECT count(*) FROM MovPnIva WHERE Imponibile = 100 * NumReg AND Imposta = 22 * NumReg "
                                   "AND Iva = 'N2' AND ContoPartita = '000' || NumReg"),
                      QStringList{"200"});
            if (!formato.attese.isEmpty()) EXPECT_EQ(Valori(file, formato.attese), QStringList{"200"});
            EXPECT_EQ(Valori(file, "PRAGMA integrity_check"), QStringList{"ok"});
            EXPECT_TRUE(Box().split('\n').contains(
                "MovPnIva: definizione illeggibile, ripristinata dalle colonne ancora leggibili; 200 righe salvate, 0 perse"))
                << Box().toStdString();
        }
}

// Nothing of the column list can be read: the program's definition is used
// only when the rows fit it; otherwise the table stays out of the new file,
// named, kept whole in the original, and the registrations' other tables
// with it.
TEST_F(RecuperoTabelleTest, RowsThatDoNotFitTheProgramsDefinitionLeaveTheTableInTheOriginal) {
    const QString chiave = "Anno SMALLINT NOT NULL, NumReg INTEGER NOT NULL, RigIva SMALLINT NOT NULL, ";
    const QString importi = "Imponibile DOUBLE PRECISION, Imposta DOUBLE PRECISION, ";
    const struct {
        const char* nome;
        QString colonne, altre, valori;
        bool adatte;
    } casi[] = {
        {"come il programma", chiave + "Iva VARCHAR(5), " + importi + kContropartita, "", "", true},
        {"colonna in più in fondo", chiave + "Iva VARCHAR(5), " + importi + kContropartita + ", Nota VARCHAR(20)", ", Nota",
         ", 'nota $n'", false},
        {"colonna in più nel mezzo",
         chiave + "Iva VARCHAR(5), Imponibile DOUBLE PRECISION, Aliquota DOUBLE PRECISION, Imposta DOUBLE PRECISION, " +
             kContropartita,
         ", Aliquota", ", 22", false},
        {"codice IVA dove il programma legge un importo",
         chiave + "Imponibile DOUBLE PRECISION, Iva VARCHAR(5), Imposta DOUBLE PRECISION, " + kContropartita, "", "", false},
    };
    for (const auto& caso : casi) {
        SCOPED_TRACE(caso.nome);
        TearDown();
        SetUp();
        const QString definizione = QStringLiteral("CREATE TABLE MovPnIva (%1, PRIMARY KEY (Anno, NumReg, RigIva))").arg(caso.colonne);
        AziendaConIva(definizione, caso.altre, caso.valori);
        Esegui(file, "INSERT INTO MovPnTes (Anno, NumReg, Causale) SELECT Anno, NumReg, 'FV' FROM MovPnIva");
        const QByteArray testo = definizione.toUtf8();
        const qsizetype lista = testo.indexOf('(') + 1;
        Guasta(file, testo, testo.left(lista) + QByteArray(testo.size() - lista, '#'));
        const QByteArray prima = Contenuto(file);

        ASSERT_EQ(ggUtil().RiparaDb(file), 0) << Box().toStdString();

        EXPECT_EQ(Contenuto(Conservato()), prima);
        const QStringList box = Box().split('\n');
        if (caso.adatte) {
            EXPECT_TRUE(box.contains("MovPnIva: definizione illeggibile, ripristinata da quella del programma; 200 righe salvate, 0 perse"))
                << Box().toStdString();
            EXPECT_EQ(Valori(file, "SELECT count(*) FROM MovPnTes"), QStringList{"200"});
            continue;
        }
        EXPECT_TRUE(box.contains("MovPnIva: definizione illeggibile, righe che non corrispondono a quella del programma: "
                                 "tabella non copiata, conservata intera nell'originale (200 righe)"))
            << Box().toStdString();
        EXPECT_TRUE(box.contains("MovPnTes: non copiata insieme a MovPnIva, perché ogni registrazione resti intera: "
                                 "tabella non copiata, conservata intera nell'originale (200 righe)"))
            << Box().toStdString();
        EXPECT_TRUE(Valori(file, "SELECT name FROM sqlite_master WHERE name IN ('MovPnIva', 'MovPnTes', 'MovPnDett')").isEmpty());
    }
}

// A value the program itself reads is saved as it was; only what it cannot
// read at all leaves the row out, told by its key.
TEST_F(RecuperoTabelleTest, OnlyValuesTheProgramCannotReadAreSuspicious) {
    const struct {
        const char* nome;
        const char* colonna;
        const char* valore;
        bool sospetta;
    } casi[] = {
        {"importo con la virgola", "Importo", "'12,50'", false},
        {"importo con le migliaia", "Importo", "'1.000,00'", false},
        {"importo negativo", "Importo", "'-1.234,56'", false},
        {"importo con il segno più", "Importo", "' +7,5 '", false},
        {"importo enorme", "Importo", "1.284e23", false},
        {"importo quasi zero", "Importo", "1e-200", false},
        {"tabulazione verticale", "Descrizione", "'Fattura' || char(11) || 'acconto'", false},
        {"salto pagina", "Descrizione", "'Fattura' || char(12)", false},
        {"carattere di controllo", "Descrizione", "'a' || char(1) || 'b'", false},
        {"testo non UTF-8", "Descrizione", "CAST(x'4661747475726120bd' AS TEXT)", false},
        {"data all'italiana", "DataDoc", "'31/12/2024'", false},
        {"data come numero di giorno", "DataDoc", "45657", false},
        {"intero scritto all'italiana", "NumProt", "'1.234'", false},
        {"intero con decimali", "NumProt", "2.5", false},
        {"testo che non è un numero", "Importo", "'dodici'", true},
        {"dati binari in un importo", "Importo", "x'00ff'", true},
        {"importo infinito", "Importo", "1e999", true},
        {"SMALLINT oltre 16 bit", "AnnoIva", "40000", true},
        {"INTEGER oltre 32 bit", "NumProt", "5000000000", true},
        {"importo all'italiana oltre 32 bit in un INTEGER", "NumProt", "'5.000.000.000,00'", true},
        {"data inesistente", "DataDoc", "'2024-02-30'", true},
        {"data di garbage", "DataDoc", "'2018-03yB'", true},
        {"data oltre l'anno 9999", "DataDoc", "20240101", true},
    };
    FixtureDb::CreaDatabase(file, QStringLiteral("azienda.sql"));
    QString sql = "BEGIN;";
    int numReg = 0;
    for (const auto& caso : casi)
        sql += QStringLiteral("INSERT INTO MovPnTes (Anno, NumReg, Causale, %1) VALUES (2024, %2, 'FV', %3);")
                   .arg(caso.colonna)
                   .arg(++numReg)
                   .arg(caso.valore);
    Esegui(file, sql + "COMMIT;");
    QStringList prima;
    numReg = 0;
    for (const auto& caso : casi)
        prima << Valori(file, QStringLiteral("SELECT quote(%1) FROM MovPnTes WHERE NumReg = %2").arg(caso.colonna).arg(++numReg)).value(0);
    segnaDaVerificare(file, "pagina danneggiata");

    ASSERT_EQ(ggUtil().RiparaDb(file), 0);

    const QStringList box = Box().split('\n');
    numReg = 0;
    int sospette = 0;
    for (const auto& caso : casi) {
        SCOPED_TRACE(caso.nome);
        const QString n = QString::number(++numReg);
        EXPECT_EQ(box.contains("MovPnTes: Anno 2024, NumReg " + n), caso.sospetta) << Box().toStdString();
        const QStringList dopo = Valori(file, QStringLiteral("SELECT quote(%1) FROM MovPnTes WHERE NumReg = %2").arg(caso.colonna, n));
        EXPECT_EQ(dopo, caso.sospetta ? QStringList() : QStringList{prima[numReg - 1]});
        sospette += caso.sospetta;
    }
    EXPECT_TRUE(box.contains(QStringLiteral("MovPnTes: %1 righe salvate, %2 sospette, 0 perse").arg(numReg - sospette).arg(sospette)))
        << Box().toStdString();
}

// A registration or communication goes into the new file whole or not at
// all: a suspicious header takes its lines with it, a suspicious line its
// header and the other lines; the others are untouched, and what was left
// out is named.
TEST_F(RecuperoTabelleTest, ARegistrationIsKeptOrLeftOutWhole) {
    const struct {
        const char* nome;
        const char* guasta;  // makes one row of registration or communication 7 suspicious
        QStringList tabelle;  // with the rows of 7 that each holds, as "Tabella:righe"
        QStringList escluse;  // the lines of the box naming the rows left out with it
    } casi[] = {
        {"testata della registrazione", "UPDATE MovPnTes SET Importo = 'dodici' WHERE NumReg = 7",
         {"MovPnTes:1", "MovPnDett:2", "MovPnIva:2"},
         {"MovPnDett: Anno 2024, NumReg 7, RigReg 1", "MovPnDett: Anno 2024, NumReg 7, RigReg 2",
          "MovPnIva: Anno 2024, NumReg 7, RigIva 1", "MovPnIva: Anno 2024, NumReg 7, RigIva 2"}},
        {"riga IVA della registrazione", "UPDATE MovPnIva SET Imposta = x'00' WHERE NumReg = 7 AND RigIva = 2",
         {"MovPnTes:1", "MovPnDett:2", "MovPnIva:2"},
         {"MovPnTes: Anno 2024, NumReg 7", "MovPnDett: Anno 2024, NumReg 7, RigReg 1", "MovPnDett: Anno 2024, NumReg 7, RigReg 2",
          "MovPnIva: Anno 2024, NumReg 7, RigIva 1"}},
        {"riga della comunicazione dei dati fattura", "UPDATE DatiFatDett SET Aliquota = 'ventidue' WHERE NumReg = 7 AND NumDet = 1",
         {"DatiFatTest:1", "DatiFatDett:2"},
         {"DatiFatTest: AnnoCom 2024, NumCom 1, AnnoReg 2024, NumReg 7, NumCanc 0, Tipo 'E', Stato 'N'",
          "DatiFatDett: AnnoCom 2024, NumCom 1, AnnoReg 2024, NumReg 7, NumCanc 0, Tipo 'E', Stato 'N', NumDet 2"}},
        {"testata della liquidazione", "UPDATE LiqIvaTest SET UltimoMese = 99999 WHERE NumCom = 7",
         {"LiqIvaTest:1", "LiqIvaDett:3"},
         {"LiqIvaDett: Anno 2024, NumCom 7, Modulo 1", "LiqIvaDett: Anno 2024, NumCom 7, Modulo 2",
          "LiqIvaDett: Anno 2024, NumCom 7, Modulo 3"}},
    };
    for (const auto& caso : casi) {
        SCOPED_TRACE(caso.nome);
        TearDown();
        SetUp();
        FixtureDb::CreaDatabase(file, QStringLiteral("azienda.sql"));
        QString sql = "BEGIN;";
        for (int n = 1; n <= 10; ++n)
            sql += QStringLiteral(
                       "INSERT INTO MovPnTes (Anno, NumReg, Causale, Importo) VALUES (2024, %1, 'FV', 122);"
                       "INSERT INTO MovPnDett (Anno, NumReg, RigReg, Importo) VALUES (2024, %1, 1, 122), (2024, %1, 2, 100);"
                       "INSERT INTO MovPnIva (Anno, NumReg, RigIva, Iva, Imponibile, Imposta) VALUES "
                       "(2024, %1, 1, '22', 50, 11), (2024, %1, 2, '22', 50, 11);"
                       "INSERT INTO DatiFatTest (AnnoCom, NumCom, AnnoReg, NumReg, Tipo, Stato, NumInv, Progr, NomeFile) "
                       "VALUES (2024, 1, 2024, %1, 'E', 'N', 3, %1, '00003');"
                       "INSERT INTO DatiFatDett (AnnoCom, NumCom, AnnoReg, NumReg, Tipo, Stato, NumDet, Aliquota, Imposta) "
                       "VALUES (2024, 1, 2024, %1, 'E', 'N', 1, 22, 11), (2024, 1, 2024, %1, 'E', 'N', 2, 22, 11);"
                       "INSERT INTO LiqIvaTest (Anno, NumCom, UltimoMese) VALUES (2024, %1, 3);"
                       "INSERT INTO LiqIvaDett (Anno, NumCom, Modulo, Mese, IvaDovuta) VALUES "
                       "(2024, %1, 1, 1, 10), (2024, %1, 2, 2, 10), (2024, %1, 3, 3, 10);")
                       .arg(n);
        Esegui(file, sql + "COMMIT;");
        Esegui(file, caso.guasta);
        segnaDaVerificare(file, "pagina danneggiata");

        ASSERT_EQ(ggUtil().RiparaDb(file), 0);

        const QStringList box = Box().split('\n');
        for (const QString& t : caso.tabelle) {
            const QString tabella = t.section(':', 0, 0);
            const int righe = t.section(':', 1).toInt();
            const QString chiave = tabella.startsWith("Liq") ? "NumCom" : "NumReg";
            SCOPED_TRACE(tabella.toStdString());
            // None of 7's rows in the new file, all the other registrations' rows there.
            EXPECT_EQ(Valori(file, QStringLiteral("SELECT count(*) FROM %1 WHERE %2 = 7").arg(tabella, chiave)), QStringList{"0"});
            EXPECT_EQ(Valori(file, QStringLiteral("SELECT count(*) FROM %1").arg(tabella)), QStringList{QString::number(9 * righe)});
            EXPECT_EQ(Valori(Conservato(), QStringLiteral("SELECT count(*) FROM %1 WHERE %2 = 7").arg(tabella, chiave)),
                      QStringList{QString::number(righe)});
        }
        // The send marks of the other documents are there as written.
        EXPECT_EQ(Valori(file, "SELECT count(*) FROM DatiFatTest WHERE NumInv = 3 AND NomeFile = '00003' AND Progr = NumReg"),
                  QStringList{Valori(file, "SELECT count(*) FROM DatiFatTest").value(0)});
        const qsizetype titolo = box.indexOf(
            "Righe della stessa registrazione di una riga sospetta o persa, non copiate perché la registrazione resti intera: "
            "da verificare nell'originale conservato");
        ASSERT_GE(titolo, 0) << Box().toStdString();
        EXPECT_EQ(box.mid(titolo + 1, caso.escluse.size()), caso.escluse) << Box().toStdString();
    }
}

// Rows lost to a page that cannot be read take their registration with them:
// the primary key's index, on pages of its own, still tells how many rows
// each registration had, and one that came back short is left out whole,
// header and lines, named and kept in the original; the others are whole.
TEST_F(RecuperoTabelleTest, ARegistrationThatLostRowsToADamagedPageIsLeftOutWhole) {
    const struct {
        const char* nome;
        const char* danneggiata;
    } casi[] = {
        {"pagina delle righe IVA", "MovPnIva"},
        {"pagina delle testate", "MovPnTes"},
    };
    const QStringList tabelle{"MovPnTes", "MovPnDett", "MovPnIva"};
    const int registrazioni = 400;
    const QList<int> righe{1, 1, 2};  // of each registration, table by table
    for (const auto& caso : casi) {
        SCOPED_TRACE(caso.nome);
        TearDown();
        SetUp();
        FixtureDb::CreaDatabase(file, QStringLiteral("azienda.sql"));
        QString sql = "BEGIN;";
        for (int n = 1; n <= registrazioni; ++n)
            sql += QStringLiteral("INSERT INTO MovPnTes (Anno, NumReg, Causale, Descrizione) VALUES (2024, %1, 'FV', 'Fattura %1');"
                                  "INSERT INTO MovPnDett (Anno, NumReg, RigReg, Importo) VALUES (2024, %1, 1, 122);"
                                  "INSERT INTO MovPnIva (Anno, NumReg, RigIva, Iva, Imponibile, Imposta) VALUES "
                                  "(2024, %1, 1, '22', 50, 11), (2024, %1, 2, '10', 50, 5);")
                       .arg(n);
        Esegui(file, sql + "COMMIT;");
        const QList<qint64> foglie = DanniDb::Pagine(file, caso.danneggiata, "leaf");
        ASSERT_GT(foglie.size(), 2);
        DanniDb::Sovrascrivi(file, foglie[foglie.size() / 2], 0, DanniDb::DimensionePagina(file), '\x5a');
        segnaDaVerificare(file, "pagina danneggiata");

        ASSERT_EQ(ggUtil().RiparaDb(file), 0);

        // Each registration whole or absent; the absent ones, and only they, named and kept.
        QList<int> assenti;
        for (int n = 1; n <= registrazioni; ++n) {
            QStringList conti;
            for (const QString& t : tabelle)
                conti << Valori(file, QStringLiteral("SELECT count(*) FROM %1 WHERE Anno = 2024 AND NumReg = %2").arg(t).arg(n));
            if (conti == QStringList{"0", "0", "0"}) assenti << n;
            else EXPECT_EQ(conti, (QStringList{"1", "1", "2"})) << "NumReg " << n;
        }
        ASSERT_FALSE(assenti.isEmpty());
        EXPECT_LT(assenti.size(), registrazioni / 2);
        const QStringList box = Box().split('\n');
        const qsizetype titolo = box.indexOf(
            "Righe della stessa registrazione di una riga sospetta o persa, non copiate perché la registrazione resti intera: "
            "da verificare nell'originale conservato");
        ASSERT_GE(titolo, 0) << Box().toStdString();
        for (qsizetype i = 0; i < tabelle.size(); ++i) {
            const QString& t = tabelle[i];
            SCOPED_TRACE(t.toStdString());
            // The rows that were read, of the damaged table too, are excluded with their registration, not lost.
            const qint64 escluse = Valori(Conservato(), QStringLiteral("SELECT count(*) FROM %1 NOT INDEXED").arg(t)).value(0).toLongLong() -
                                   Valori(file, QStringLiteral("SELECT count(*) FROM %1").arg(t)).value(0).toLongLong();
            if (t == caso.danneggiata) {
                EXPECT_LT(escluse, assenti.size() * righe[i]);
                if (escluse == 0) continue;
            } else {
                EXPECT_EQ(escluse, assenti.size() * righe[i]);
                EXPECT_TRUE(box.contains(QStringLiteral("%1: %2 righe salvate, %3 escluse con la loro registrazione, 0 perse")
                                             .arg(t)
                                             .arg((registrazioni - assenti.size()) * righe[i])
                                             .arg(escluse)))
                    << Box().toStdString();
            }
            const QString primo = t == "MovPnTes"    ? QStringLiteral("MovPnTes: Anno 2024, NumReg %1")
                                  : t == "MovPnDett" ? QStringLiteral("MovPnDett: Anno 2024, NumReg %1, RigReg 1")
                                                     : QStringLiteral("MovPnIva: Anno 2024, NumReg %1, RigIva 1");
            if (t != caso.danneggiata)
                EXPECT_TRUE(box.mid(titolo + 1).contains(primo.arg(assenti.first()))) << Box().toStdString();
            for (int n : assenti)
                if (t != caso.danneggiata)
                    EXPECT_EQ(Valori(Conservato(), QStringLiteral("SELECT count(*) FROM %1 WHERE Anno = 2024 AND NumReg = %2").arg(t).arg(n)),
                              QStringList{QString::number(righe[i])});
        }
        EXPECT_EQ(Valori(file, "PRAGMA integrity_check"), QStringList{"ok"});
    }
}

}  // namespace
