#pragma once
// The world of an invoice-data run: the shared database with its company
// list, the menu's current company in the fixture's database, other
// companies each in a database of their own, scripted dialogs and the
// menu double; on database files or on the tests' PostgreSQL cluster.
#include "components/db/GestRecordset.h"
#include "components/db/GestoreDb.h"
#include "components/menu/MenuClientFinto.h"
#include "components/platform/DialoghiScriptati.h"
#include "contesto/Contesto.h"
#include "support/AppTest.h"
#include "support/Fixture.h"
#include "support/Motori.h"

#include <gtest/gtest.h>
#include <initializer_list>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

// One registration of DatiFatTest with its send fields.
struct RegDatiFat {
    int anno = 2019, num = 2, numReg = 1;
    QString tipo = QStringLiteral("E"), stato = QStringLiteral("N");
    int numInv = 0, progr = 0, numCanc = 0;
    QString nomeFile;
};

// The world itself, outside any test: a test that compares the two engines
// builds one of each.
class MondoDatiFat {
public:
    explicit MondoDatiFat(Motore motore = Motore::File) : fx(motore) {}

    // Installs the world's context: the menu's company 001 in fx's databases.
    void Prepara() {
        AppTest();
        c = fx.InstallaContesto();
        menu = std::make_shared<MenuClientFinto>();
        dialoghi = std::make_shared<DialoghiScriptati>();
        c->ggMenuClient = menu;
        c->ggDialoghi = dialoghi;
        c->gsFileIni = fx.Cartella() + QStringLiteral("/qorwin.ini");
        menu->ImpostaValore(QStringLiteral("idazienda"), QStringLiteral("001"));
        Azienda(QStringLiteral("001"), fx.fileAzienda);
    }

    void Azienda(const QString& id, const QString& file) {
        fx.Inserisci(fx.idCondiviso, QStringLiteral("Aziende"),
                     {{"IdAzienda", id}, {"Azienda", "A" + id}, {"Descrizione", "Ditta " + id}, {"File", file}});
    }
    // Another company in a database of its own (a file, or a service on the
    // server), listed in Aziende; its name, to be opened by the test and
    // closed again before the test runs the program.
    QString AltraAzienda(const QString& id) {
        const QString file = fx.AltroDatabase(QStringLiteral("az") + id + QStringLiteral(".db"), QStringLiteral("azienda.sql"));
        Azienda(id, file);
        return file;
    }
    // What another process opens to reach a database of this world: on the
    // server the service with its login, which the process does not share.
    QString NomePerAltroProcesso(const QString& file) const {
        return fx.motore == Motore::Server ? QStringLiteral("ODBC;DSN=%1;UID=comiva;PWD=comiva").arg(file) : file;
    }
    void Registrazione(const QString& idDb, const RegDatiFat& r) {
        fx.Inserisci(idDb, QStringLiteral("DatiFatTest"),
                     {{"AnnoCom", r.anno},
                      {"NumCom", r.num},
                      {"AnnoReg", r.anno},
                      {"NumReg", r.numReg},
                      {"NumCanc", r.numCanc},
                      {"Tipo", r.tipo},
                      {"Stato", r.stato},
                      {"NumInv", r.numInv},
                      {"Progr", r.progr},
                      {"NomeFile", r.nomeFile.isEmpty() ? Valore::null() : Valore(r.nomeFile)}});
    }
    // "NumInv/Progr/NomeFile" of one registration.
    QString Invio(const QString& idDb, int numReg, const QString& tipo = QStringLiteral("E")) {
        return Leggi(idDb, QStringLiteral("Select NumInv || '/' || Progr || '/' || COALESCE(NomeFile, 'null') as V "
                                          "from DatiFatTest Where NumReg = %1 And Tipo = '%2'")
                               .arg(numReg)
                               .arg(tipo));
    }
    // The lock rows as "company terminal kind year number send", one a line.
    QString RigheLock() { return ColonneLock({"Descr1", "Descr2", "Descr3", "Long1", "Long2", "Long3"}, ' '); }
    // What the lock rows keep beside their run, "folder|withdrawal|what", one
    // a line: the folder of the run's files and, for a cancellation, what it
    // withdraws.
    QString OltreIlLock() { return ColonneLock({"Memo1", "Descr4", "Descr5"}, '|'); }
    // The given columns of the lock rows, `separatore` between them, one row a line.
    QString ColonneLock(std::initializer_list<const char*> colonne, char separatore) {
        GestRecordset rs;
        const QString k = rs.ApriRecordset(*fx.gestDb, fx.idCondiviso, {},
                                           QStringLiteral("Select * from Appoggio Where Codice = 'XMLDatiFat'"));
        QStringList righe;
        for (; !rs.FineRec(k); rs.RecSuccessivo(k)) {
            QStringList v;
            for (const char* n : colonne) v << rs.LeggiCampo(k, QLatin1String(n)).testo();
            righe << v.join(QLatin1Char(separatore));
        }
        rs.ChiudiRecordset(k);
        return righe.join(QLatin1Char('\n'));
    }
    // A lock row left behind; without a folder it is one an older version wrote.
    void RigaLock(const QString& azienda, const QString& terminale, const QString& tipo, int anno, int num, int invio,
                  const QString& cartella = {}, const QString& canc = {}, const QString& oggetto = {}) {
        const auto testo = [](const QString& s) { return s.isEmpty() ? Valore::null() : Valore(s); };
        fx.Inserisci(fx.idCondiviso, QStringLiteral("Appoggio"),
                     {{"Codice", "XMLDatiFat"},
                      {"Descr1", azienda},
                      {"Descr2", terminale},
                      {"Descr3", tipo},
                      {"Long1", anno},
                      {"Long2", num},
                      {"Long3", invio},
                      {"Memo1", testo(cartella)},
                      {"Descr4", testo(canc)},
                      {"Descr5", testo(oggetto)}});
    }
    QString Leggi(const QString& idDb, const QString& sql) {
        GestRecordset rs;
        const QString k = rs.ApriRecordset(*fx.gestDb, idDb, {}, sql);
        const QString v = rs.RecVuoto(k) ? QStringLiteral("<nessuna>") : rs.LeggiCampo(k, QStringLiteral("V")).testo();
        rs.ChiudiRecordset(k);
        return v;
    }
    QStringList Messaggi() const {
        QStringList t;
        for (const auto& d : dialoghi->mostrati) t << d.testo;
        return t;
    }

    FixtureDb fx;
    std::shared_ptr<Contesto> c;
    std::shared_ptr<MenuClientFinto> menu;
    std::shared_ptr<DialoghiScriptati> dialoghi;
};

class AmbienteLock : public ::testing::Test, public MondoDatiFat {
protected:
    // On both engines through SuMotori (support/Motori.h).
    explicit AmbienteLock(Motore motore = Motore::File) : MondoDatiFat(motore) {}
    void SetUp() override { Prepara(); }
    void TearDown() override { ImpostaContesto(nullptr); }
};
