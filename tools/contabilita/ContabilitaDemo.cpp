#include "contabilita/ContabilitaDemo.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <stdexcept>
#include <string>
#include <variant>
#include <vector>

#include <sqlite3.h>

namespace {

// ---- Small tools -----------------------------------------------------------

// xorshift64*: the same seed gives the same company on every machine.
class Casuale {
public:
    explicit Casuale(uint32_t seme) : s_(0x9E3779B97F4A7C15ull ^ (uint64_t(seme) * 0x2545F4914F6CDD1Dull)) {
        if (s_ == 0) s_ = 1;
    }
    uint32_t prossimo() {
        s_ ^= s_ >> 12;
        s_ ^= s_ << 25;
        s_ ^= s_ >> 27;
        return static_cast<uint32_t>((s_ * 0x2545F4914F6CDD1Dull) >> 32);
    }
    int tra(int a, int b) { return a + static_cast<int>(prossimo() % static_cast<uint32_t>(b - a + 1)); }
    double uniforme() { return prossimo() / 4294967296.0; }
    bool probabile(double p) { return uniforme() < p; }
    template <typename T>
    const T& scegli(const std::vector<T>& v) { return v[prossimo() % v.size()]; }

private:
    uint64_t s_;
};

double centesimi(double x) { return std::round(x * 100.0) / 100.0; }

struct Data {
    int a = 0, m = 0, g = 0;
    bool valida() const { return a > 0; }
    std::string iso() const {
        char b[32];
        std::snprintf(b, sizeof b, "%04d-%02d-%02d", a, m, g);
        return b;
    }
};

// Day n of the year (0 = 1 January), also before or after it.
Data Giorno(int anno, int n) {
    std::tm t{};
    t.tm_year = anno - 1900;
    t.tm_mon = 0;
    t.tm_mday = 1 + n;
    t.tm_hour = 12;
    std::mktime(&t);
    return {t.tm_year + 1900, t.tm_mon + 1, t.tm_mday};
}

// A value bound to a statement parameter.
using Par = std::variant<std::monostate, long long, double, std::string>;
const Par kNull{};
Par Testo(const std::string& s) { return s.empty() ? kNull : Par(s); }
Par Data_(const Data& d) { return d.valida() ? Par(d.iso()) : kNull; }

class Db {
public:
    explicit Db(sqlite3* db) : db_(db) {}
    ~Db() {
        for (auto* s : istruzioni_) sqlite3_finalize(s);
    }
    [[noreturn]] void fallito(const std::string& cosa) const {
        throw std::runtime_error(cosa + ": " + sqlite3_errmsg(db_));
    }
    void esegui(const std::string& sql) {
        if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK) fallito(sql.substr(0, 120));
    }
    sqlite3_stmt* prepara(const std::string& sql) {
        sqlite3_stmt* s = nullptr;
        if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &s, nullptr) != SQLITE_OK) fallito(sql.substr(0, 120));
        istruzioni_.push_back(s);
        return s;
    }
    // "INSERT INTO t (a, b, c) VALUES (?, ?, ?)"
    sqlite3_stmt* inserimento(const std::string& tabella, const std::vector<std::string>& colonne) {
        std::string nomi, segni;
        for (const auto& c : colonne) {
            nomi += (nomi.empty() ? "" : ", ") + c;
            segni += segni.empty() ? "?" : ", ?";
        }
        return prepara("INSERT INTO " + tabella + " (" + nomi + ") VALUES (" + segni + ")");
    }
    void riga(sqlite3_stmt* s, const std::vector<Par>& valori) {
        int i = 1;
        for (const Par& v : valori) {
            if (const auto* n = std::get_if<long long>(&v)) sqlite3_bind_int64(s, i, *n);
            else if (const auto* d = std::get_if<double>(&v)) sqlite3_bind_double(s, i, *d);
            else if (const auto* t = std::get_if<std::string>(&v))
                sqlite3_bind_text(s, i, t->c_str(), static_cast<int>(t->size()), SQLITE_TRANSIENT);
            else sqlite3_bind_null(s, i);
            ++i;
        }
        if (sqlite3_step(s) != SQLITE_DONE) fallito(sqlite3_sql(s));
        sqlite3_reset(s);
    }

private:
    sqlite3* db_;
    std::vector<sqlite3_stmt*> istruzioni_;
};

// ---- Identities -------------------------------------------------------------

struct Citta {
    const char *nome, *pr, *cap, *catasto;
};
const std::vector<Citta> kCitta = {
    {"Milano", "MI", "20121", "F205"},  {"Roma", "RM", "00184", "H501"},    {"Torino", "TO", "10121", "L219"},
    {"Bologna", "BO", "40121", "A944"}, {"Napoli", "NA", "80133", "F839"},  {"Firenze", "FI", "50122", "D612"},
    {"Bergamo", "BG", "24121", "A794"}, {"Verona", "VR", "37121", "L781"},  {"Padova", "PD", "35121", "G224"},
    {"Bari", "BA", "70121", "A662"},    {"Brescia", "BS", "25121", "B157"}, {"Genova", "GE", "16121", "D969"},
};
const std::vector<std::string> kCognomi = {"Rossi",  "Russo",   "Ferrari", "Esposito", "Bianchi", "Romano",
                                           "Colombo", "Ricci",  "Marino",  "Greco",    "Bruno",   "Gallo",
                                           "Conti",  "De Luca", "Mancini", "Costa",    "Giordano", "Rizzo",
                                           "Lombardi", "Moretti", "D'Angelo", "Barbieri", "Fontana", "Santoro"};
const std::vector<std::string> kNomiM = {"Marco", "Giuseppe", "Luca", "Andrea", "Francesco", "Paolo", "Stefano"};
const std::vector<std::string> kNomiF = {"Giulia", "Francesca", "Chiara", "Sara", "Anna", "Laura", "Elena"};
const std::vector<std::string> kAttivita = {"Forniture", "Ufficio",    "Servizi",  "Logistica", "Arredamenti",
                                            "Informatica", "Cartotecnica", "Impianti", "Edilizia", "Commerciale"};
const std::vector<std::string> kForme = {"S.r.l.", "S.p.A.", "S.n.c.", "S.a.s.", "S.r.l.s."};
const std::vector<std::string> kVie = {"Via Roma", "Via Garibaldi", "Corso Italia", "Via Mazzini", "Viale Europa",
                                       "Via Dante", "Piazza della Repubblica", "Via Verdi", "Via Manzoni"};

// An Italian VAT number with its check digit.
std::string PartitaIva(Casuale& r) {
    int d[11];
    for (int i = 0; i < 7; ++i) d[i] = r.tra(0, 9);
    d[0] = r.tra(0, 1) == 0 ? 0 : 1;  // most start with 0 or 1
    for (int i = 7; i < 10; ++i) d[i] = r.tra(0, 9);
    d[7] = 0;  // office code 001-100
    d[8] = r.tra(0, 9);
    d[9] = r.tra(1, 9);
    int somma = 0;
    for (int i = 0; i < 10; ++i) {
        int v = d[i];
        if (i % 2 == 1) {
            v *= 2;
            if (v > 9) v -= 9;
        }
        somma += v;
    }
    d[10] = (10 - somma % 10) % 10;
    std::string s;
    for (int v : d) s += static_cast<char>('0' + v);
    return s;
}

std::string Consonanti(const std::string& s, bool vocali) {
    std::string r;
    for (char c : s) {
        const char u = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        if (u < 'A' || u > 'Z') continue;
        const bool vocale = std::string("AEIOU").find(u) != std::string::npos;
        if (vocale == vocali) r += u;
    }
    return r;
}

// A person's tax code with its check letter.
std::string CodiceFiscale(const std::string& cognome, const std::string& nome, bool donna, int anno, int mese,
                          int giorno, const char* catasto) {
    std::string c = (Consonanti(cognome, false) + Consonanti(cognome, true) + "XXX").substr(0, 3);
    std::string cn = Consonanti(nome, false);
    if (cn.size() >= 4) cn = std::string() + cn[0] + cn[2] + cn[3];
    c += (cn + Consonanti(nome, true) + "XXX").substr(0, 3);
    char b[8];
    std::snprintf(b, sizeof b, "%02d", anno % 100);
    c += b;
    c += "ABCDEHLMPRST"[mese - 1];
    std::snprintf(b, sizeof b, "%02d", giorno + (donna ? 40 : 0));
    c += b;
    c += catasto;
    static const int dispari[26] = {1,  0,  5,  7,  9,  13, 15, 17, 19, 21, 2,  4,  18,
                                    20, 11, 3,  6,  8,  12, 14, 16, 10, 22, 25, 24, 23};
    int somma = 0;
    for (int i = 0; i < 15; ++i) {
        const char k = c[i];
        const int v = (k >= '0' && k <= '9') ? k - '0' : k - 'A';
        somma += i % 2 == 0 ? dispari[v] : v;
    }
    c += static_cast<char>('A' + somma % 26);
    return c;
}

struct Conto {
    std::string g, m, c;
    bool vuoto() const { return c.empty(); }
};

struct Anagrafica {
    Conto conto;
    std::string descrizione, ragSoc, cognome, nome, statoGiurid, partIva, codFisc, indirizzo, cap, comune, pr, stato;
    std::string cliForFittizio, operazRilev, beneServizio;
};

// ---- The company's tables ---------------------------------------------------

struct Controparti {
    std::vector<Conto> clienti, privati, clientiUe, clientiExtraUe, fornitori, professionisti, fornitoriUe,
        fornitoriExtraUe, fornitoriCina;
    Conto ente, dogana, fittizio, escluso;
};

const Conto kRicaviMerci{"40", "01", "000001"}, kRicaviServizi{"40", "01", "000002"},
    kRicaviTrasporti{"40", "01", "000003"}, kAcquistoMerci{"30", "01", "000001"},
    kServizi{"30", "01", "000002"}, kBeniStrumentali{"30", "01", "000003"}, kIvaAcquisti{"18", "01", "000001"},
    kIvaVendite{"18", "01", "000002"}, kIvaSospesa{"18", "01", "000003"};

void ScriviAnagrafiche(Db& db, Casuale& r, int anno, Controparti& cp) {
    db.esegui(
        "INSERT INTO Stati (Stato, Descrizione, Iso, Cee) VALUES"
        " ('ITA', 'Italia', 'IT', 'S'), ('DEU', 'Germania', 'DE', 'S'), ('FRA', 'Francia', 'FR', 'S'),"
        " ('ESP', 'Spagna', 'ES', 'S'), ('AUT', 'Austria', 'AT', 'S'), ('CHE', 'Svizzera', 'CH', 'N'),"
        " ('USA', 'Stati Uniti d''America', 'US', 'N'), ('SMR', 'San Marino', 'SM', 'N'),"
        " ('CHN', 'Cina', 'CN', 'N');");
    db.esegui(
        "INSERT INTO Causali (Causale, Descrizione, TipoCausale, CausConcatenata, FATipoDoc, NotaVar, SplitPay,"
        " IvaGruppo, RevCharge, ImportNoCee, IntraCee, ImportAutRsm) VALUES"
        " ('FV', 'Fattura di vendita', 'V', NULL, NULL, 'N', 'N', NULL, 'N', 'N', 'N', 'N'),"
        " ('NCV', 'Nota di credito a cliente', 'V', NULL, NULL, 'S', 'N', NULL, 'N', 'N', 'N', 'N'),"
        " ('FVS', 'Fattura a ente pubblico (scissione dei pagamenti)', 'V', NULL, NULL, 'N', 'S', 'SP', 'N', 'N', 'N', 'N'),"
        " ('FVD', 'Fattura ad esigibilità differita', 'VS', NULL, NULL, 'N', 'N', NULL, 'N', 'N', 'N', 'N'),"
        " ('FVI', 'Cessione intracomunitaria', 'V', NULL, NULL, 'N', 'N', NULL, 'N', 'N', 'S', 'N'),"
        " ('FVE', 'Fattura di esportazione', 'V', NULL, NULL, 'N', 'N', NULL, 'N', 'N', 'N', 'N'),"
        " ('FVT', 'Fattura di autotrasporto', 'V', NULL, NULL, 'N', 'N', NULL, 'N', 'N', 'N', 'N'),"
        " ('AFF', 'Autofattura a cliente fittizio', 'V', NULL, 'TD20', 'N', 'N', NULL, 'N', 'S', 'N', 'N'),"
        " ('AUT', 'Autofattura per autoconsumo', 'V', NULL, NULL, 'N', 'N', NULL, 'N', 'N', 'N', 'S'),"
        " ('FVR', 'Vendita in inversione contabile', 'V', NULL, NULL, 'N', 'N', NULL, 'S', 'N', 'N', 'N'),"
        " ('FA', 'Fattura di acquisto', 'A', NULL, NULL, 'N', 'N', NULL, 'N', 'N', 'N', 'N'),"
        " ('NCA', 'Nota di credito da fornitore', 'A', NULL, NULL, 'S', 'N', NULL, 'N', 'N', 'N', 'N'),"
        " ('FAC', 'Acquisto da fornitore con iva per cassa', 'AS', NULL, NULL, 'N', 'N', NULL, 'N', 'N', 'N', 'N'),"
        " ('FAI', 'Acquisto intracomunitario', 'A', 'GIR', NULL, 'N', 'N', NULL, 'N', 'N', 'S', 'N'),"
        " ('FAR', 'Acquisto in inversione contabile (subappalto)', 'A', 'GIR', NULL, 'N', 'N', NULL, 'S', 'N', 'N', 'N'),"
        " ('BD', 'Bolla doganale di importazione', 'A', NULL, NULL, 'N', 'N', NULL, 'N', 'S', 'N', 'N'),"
        " ('FAX', 'Acquisto di servizi extra UE', 'A', 'GIR', NULL, 'N', 'N', NULL, 'N', 'S', 'N', 'N'),"
        " ('GIR', 'Giroconto di integrazione iva', 'G', NULL, NULL, 'N', 'N', NULL, 'N', 'N', 'N', 'N');");
    db.esegui(
        "INSERT INTO Tabiva (Iva, Descrizione, Aliquota, FENatura, FEForzaSplit, AllegCF, RevCharge, Imposta, RigaIva)"
        " VALUES ('22', 'Iva 22%', 22, NULL, NULL, NULL, 'N', 'S', 'VE23'),"
        " ('10', 'Iva 10%', 10, NULL, NULL, NULL, 'N', 'S', 'VE22'),"
        " ('04', 'Iva 4%', 4, NULL, NULL, NULL, 'N', 'S', 'VE21'),"
        " ('N15', 'Escluso art. 15 (spese anticipate)', 0, 'N1', NULL, 'N', 'N', 'N', ''),"
        " ('N7', 'Non soggetto art. 7-ter', 0, 'N2', NULL, NULL, 'N', 'N', 'VE34'),"
        " ('N8', 'Non imponibile art. 8 (esportazione)', 0, 'N3', NULL, NULL, 'N', 'N', 'VE30'),"
        " ('N41', 'Non imponibile art. 41 DL 331/93', 0, 'N3', NULL, NULL, 'N', 'N', 'VE30'),"
        " ('E10', 'Esente art. 10', 0, 'N4', NULL, NULL, 'N', 'N', 'VE33'),"
        " ('RC', 'Inversione contabile art. 17 c. 6', 22, 'N6', NULL, NULL, 'S', 'S', 'VE35');");
    db.esegui("INSERT INTO LibriIva (Anno, TipoReg, Pref, Descrizione, Trasportatori) VALUES"
              " (" + std::to_string(anno) + ", 'V', '', 'Registro delle fatture emesse', 'N'),"
              " (" + std::to_string(anno) + ", 'V', 'T', 'Registro delle fatture di autotrasporto', 'S'),"
              " (" + std::to_string(anno) + ", 'A', '', 'Registro degli acquisti', 'N');");

    sqlite3_stmt* ins = db.inserimento(
        "PianoConti", {"Gruppo", "Mastro", "Conto", "Descrizione", "RagSoc", "Cognome", "Nome", "StatoGiurid",
                       "PartIva", "CodFisc", "Indirizzo", "CAP", "Comune", "Pr", "Stato", "CliForFittizio",
                       "OperazRilev", "BeneServizio"});
    const auto scrivi = [&](const Anagrafica& a) {
        db.riga(ins, {a.conto.g, a.conto.m, a.conto.c, a.descrizione, Testo(a.ragSoc), Testo(a.cognome),
                      Testo(a.nome), Testo(a.statoGiurid), Testo(a.partIva), Testo(a.codFisc), Testo(a.indirizzo),
                      Testo(a.cap), Testo(a.comune), Testo(a.pr), Testo(a.stato), Testo(a.cliForFittizio),
                      Testo(a.operazRilev), Testo(a.beneServizio)});
    };
    const struct {
        Conto conto;
        const char *descrizione, *servizio;
    } mastrini[] = {{kRicaviMerci, "Ricavi per vendita di merci", "N"},
                    {kRicaviServizi, "Ricavi per prestazioni di servizi", "S"},
                    {kRicaviTrasporti, "Ricavi per autotrasporto", "S"},
                    {kAcquistoMerci, "Merci c/acquisti", "N"},
                    {kServizi, "Servizi e consulenze", "S"},
                    {kBeniStrumentali, "Beni strumentali", "N"},
                    {kIvaAcquisti, "Iva su acquisti", ""},
                    {kIvaVendite, "Iva su vendite", ""},
                    {kIvaSospesa, "Iva a esigibilità differita", ""}};
    for (const auto& m : mastrini) scrivi({.conto = m.conto, .descrizione = m.descrizione, .beneServizio = m.servizio});

    int progressivo = 1;
    const auto codice = [&](const char* g) {
        char b[8];
        std::snprintf(b, sizeof b, "%06d", progressivo++);
        return Conto{g, "01", b};
    };
    const auto societa = [&](const char* g) {
        const Citta& c = r.scegli(kCitta);
        const std::string nome = r.scegli(kCognomi) + " " + r.scegli(kAttivita) + " " + r.scegli(kForme);
        const std::string piva = PartitaIva(r);
        Anagrafica a{.conto = codice(g), .descrizione = nome, .ragSoc = nome, .statoGiurid = "G", .partIva = piva,
                     .codFisc = piva, .indirizzo = r.scegli(kVie) + ", " + std::to_string(r.tra(1, 120)),
                     .cap = c.cap, .comune = c.nome, .pr = c.pr, .stato = "ITA"};
        scrivi(a);
        return a.conto;
    };
    const auto persona = [&](const char* g, bool conPartitaIva) {
        const Citta& c = r.scegli(kCitta);
        const bool donna = r.probabile(0.5);
        const std::string cognome = r.scegli(kCognomi);
        const std::string nome = r.scegli(donna ? kNomiF : kNomiM);
        const std::string cf = CodiceFiscale(cognome, nome, donna, r.tra(1950, 1995), r.tra(1, 12), r.tra(1, 28),
                                             c.catasto);
        Anagrafica a{.conto = codice(g), .descrizione = cognome + " " + nome, .cognome = cognome, .nome = nome,
                     .statoGiurid = "F", .partIva = conPartitaIva ? PartitaIva(r) : "", .codFisc = cf,
                     .indirizzo = r.scegli(kVie) + ", " + std::to_string(r.tra(1, 120)), .cap = c.cap,
                     .comune = c.nome, .pr = c.pr, .stato = "ITA"};
        scrivi(a);
        return a.conto;
    };
    const auto estero = [&](const char* g, const char* nome, const char* stato, const char* piva, const char* citta,
                            bool personaFisica = false) {
        Anagrafica a{.conto = codice(g), .descrizione = nome, .statoGiurid = personaFisica ? "F" : "G",
                     .partIva = piva, .comune = citta, .stato = stato};
        if (personaFisica) {
            const std::string n = nome;
            const auto spazio = n.find(' ');
            a.cognome = n.substr(0, spazio);
            a.nome = n.substr(spazio + 1);
        } else {
            a.ragSoc = nome;
        }
        scrivi(a);
        return a.conto;
    };

    for (int i = 0; i < 24; ++i) cp.clienti.push_back(societa("14"));
    for (int i = 0; i < 8; ++i) cp.privati.push_back(persona("14", false));
    cp.clientiUe = {estero("14", "Müller Bürobedarf GmbH", "DEU", "123456788", "Berlin"),
                    estero("14", "Dupont Fournitures SARL", "FRA", "12345678901", "Lyon"),
                    estero("14", "García Oficinas S.L.", "ESP", "B12345674", "Madrid"),
                    estero("14", "Huber Handel GmbH", "AUT", "U12345675", "Wien"),
                    estero("14", "Schneider Anna", "DEU", "", "München", true)};
    cp.clientiExtraUe = {estero("14", "Keller Papeterie AG", "CHE", "CHE123456789", "Zürich"),
                         estero("14", "Smith Office Supply Inc.", "USA", "", "New York"),
                         estero("14", "Miller John", "USA", "", "Boston", true),
                         estero("14", "Titano Forniture S.r.l.", "SMR", "SM12345", "Serravalle")};
    for (int i = 0; i < 16; ++i) cp.fornitori.push_back(societa("24"));
    for (int i = 0; i < 4; ++i) cp.professionisti.push_back(persona("24", true));
    cp.fornitoriUe = {estero("24", "Schmidt Papier KG", "DEU", "987654325", "Hamburg"),
                      estero("24", "Lefèvre Imprimerie SA", "FRA", "98765432109", "Paris"),
                      estero("24", "Gruber Logistik GmbH", "AUT", "U98765436", "Graz")};
    cp.fornitoriExtraUe = {estero("24", "Swiss Software AG", "CHE", "CHE987654321", "Basel"),
                           estero("24", "Cloud Services LLC", "USA", "", "Seattle")};
    cp.fornitoriCina = {estero("24", "Shenzhen Stationery Co. Ltd.", "CHN", "", "Shenzhen"),
                        estero("24", "Ningbo Office Products Co.", "CHN", "", "Ningbo")};
    cp.ente = codice("14");
    scrivi({.conto = cp.ente, .descrizione = "Comune di Bergamo", .ragSoc = "Comune di Bergamo", .statoGiurid = "G",
            .codFisc = "80034840167", .indirizzo = "Piazza Matteotti, 27", .cap = "24122", .comune = "Bergamo",
            .pr = "BG", .stato = "ITA"});
    cp.dogana = codice("24");
    scrivi({.conto = cp.dogana, .descrizione = "Agenzia delle Dogane - Ufficio di Milano 2",
            .ragSoc = "Agenzia delle Dogane e dei Monopoli", .statoGiurid = "G", .partIva = "06363391001",
            .codFisc = "97210890584", .comune = "Milano", .pr = "MI", .stato = "ITA"});
    cp.fittizio = {"14", "01", "999999"};
    scrivi({.conto = cp.fittizio, .descrizione = "Clienti diversi", .ragSoc = "Clienti diversi", .stato = "ITA",
            .cliForFittizio = "S"});
    cp.escluso = {"14", "01", "999990"};
    scrivi({.conto = cp.escluso, .descrizione = "Soci c/anticipi (non rilevante)", .ragSoc = "Soci c/anticipi",
            .stato = "ITA", .operazRilev = "E"});
    // Counterparties with a name get addresses to pick from the print's
    // e-mail dialog; companies an administration office too.
    db.esegui("UPDATE PianoConti SET Email = 'conto' || Gruppo || Conto || '@clienti.esempio.it',"
              " Email2 = CASE WHEN StatoGiurid = 'G' THEN 'amministrazione' || Gruppo || Conto || '@clienti.esempio.it' END"
              " WHERE COALESCE(RagSoc, Cognome, '') <> '' AND COALESCE(CliForFittizio, '') <> 'S';");
}

// ---- Registrations ----------------------------------------------------------

struct RigaIva {
    std::string iva;
    double aliquota = 0;
    double imponibile = 0, imposta = 0;
    Conto conto;  // revenue or cost account of the line
};

struct Registrazione {
    std::string causale;
    Data dataReg, dataDoc, dataProt;
    std::string numDoc, preDoc, preProt;
    long numProt = 0;
    std::string operazRilev, ivaPerCassa;
    int annoIva = 0, periodoIva = 0;
    Conto controparte, blackList;
    bool vendita = true;     // client in debit; a purchase: supplier in credit
    bool integrata = false;  // VAT not invoiced, integrated by the company (intra, reverse charge)
    bool stornoZero = false; // the first VAT line nets to zero (goods returned in the same document)
    int segno = 1;           // -1: a credit note kept with negative amounts
    std::vector<RigaIva> iva;
};

struct CodiceIva {
    const char* codice;
    double aliquota;
};
const CodiceIva k22{"22", 22}, k10{"10", 10}, k04{"04", 4}, kN15{"N15", 0}, kN7{"N7", 0}, kN8{"N8", 0},
    kN41{"N41", 0}, kE10{"E10", 0}, kRC{"RC", 22};

class Generatore {
public:
    Generatore(Db& db, Casuale& r, const ParametriContabilita& p, const Controparti& cp)
        : db_(db), r_(r), p_(p), cp_(cp) {
        for (const char* suffisso : {"", "Fitt"}) {
            const std::string s = suffisso;
            Tabelle t;
            t.tes = db.inserimento("MovPnTes" + s, {"Anno", "NumReg", "Causale", "Descrizione", "DataReg", "DataDoc",
                                                    "NumDoc", "PreDoc", "DataProt", "NumProt", "PreProt", "Importo",
                                                    "OperazRilev", "IvaPerCassa", "AnnoIva", "PeriodoIva"});
            t.dett = db.inserimento("MovPnDett" + s,
                                    {"Anno", "NumReg", "RigReg", "GruppoPartita", "MastroPartita", "ContoPartita",
                                     "DareAvere", "Importo", "ImpostaIndetr", "GruppoBlackList", "MastroBlackList",
                                     "ContoBlackList", "Iva", "Imposta"});
            t.iva = db.inserimento("MovPnIva" + s, {"Anno", "NumReg", "RigIva", "Iva", "Imponibile", "Imposta",
                                                    "GruppoPartita", "MastroPartita", "ContoPartita"});
            tabelle_.push_back(t);
        }
    }

    ConteggiContabilita Genera() {
        const long n = std::max(1L, p_.registrazioni);
        // Mean number of VAT lines: cycling 1 .. k gives exactly 1 + (k - 1) / 2.
        ciclo_ = std::max(1, static_cast<int>(std::lround(2 * (std::max(1.0, p_.righeIvaMedie) - 1) + 1)));
        for (long i = 0; i < n; ++i) {
            const Data giorno = Giorno(p_.anno, static_cast<int>(i * 365 / n));
            Scrivi(false, i + 1, Nuova(giorno, i));
        }
        const long f = std::max(0L, p_.fittizie);
        for (long i = 0; i < f; ++i) {
            const Data giorno = Giorno(p_.anno, static_cast<int>(i * 365 / std::max(1L, f)));
            Scrivi(true, i + 1, Fittizia(giorno, i));
        }
        return conteggi_;
    }

private:
    struct Tabelle {
        sqlite3_stmt *tes, *dett, *iva;
    };

    int RigheIva(long i) const { return 1 + static_cast<int>((i * 7) % ciclo_); }

    void Righe(Registrazione& g, long i, const std::vector<CodiceIva>& codici, Conto ricavo, double min, double max) {
        const int n = RigheIva(i);
        for (int k = 0; k < n; ++k) {
            const CodiceIva& c = r_.scegli(codici);
            const double imponibile = centesimi(min + (max - min) * r_.uniforme()) * g.segno;
            g.iva.push_back({c.codice, c.aliquota, imponibile, centesimi(imponibile * c.aliquota / 100), ricavo});
        }
    }

    Registrazione Vendita(const Data& giorno, const char* causale, const Conto& cliente, const std::string& registro = "") {
        Registrazione g;
        g.causale = causale;
        g.dataReg = g.dataDoc = g.dataProt = giorno;
        g.preDoc = g.preProt = registro;
        g.numProt = ++protocolli_[registro == "T" ? 1 : 0];
        g.numDoc = std::to_string(g.numProt);
        g.controparte = cliente;
        return g;
    }

    Registrazione Acquisto(const Data& giorno, const char* causale, const Conto& fornitore) {
        Registrazione g;
        g.causale = causale;
        g.vendita = false;
        g.dataReg = giorno;
        g.dataDoc = Giorno(giorno.a, GiornoDellAnno(giorno) - r_.tra(0, 12));
        g.numDoc = std::to_string(r_.tra(1, 2500));
        if (r_.probabile(0.2)) g.preDoc = r_.probabile(0.5) ? "FT" : "A";
        g.controparte = fornitore;
        return g;
    }

    static int GiornoDellAnno(const Data& d) {
        std::tm t{};
        t.tm_year = d.a - 1900;
        t.tm_mon = d.m - 1;
        t.tm_mday = d.g;
        t.tm_hour = 12;
        std::mktime(&t);
        return t.tm_yday;
    }

    Registrazione Nuova(const Data& giorno, long i) {
        const std::vector<CodiceIva> ordinari = {k22, k22, k22, k22, k10, k10, k04};
        const int x = r_.tra(0, 999);
        Registrazione g;
        // Issued documents, some 55 in 100.
        if (x < 300) {
            g = Vendita(giorno, "FV", r_.scegli(cp_.clienti));
            Righe(g, i, ordinari, r_.probabile(0.7) ? kRicaviMerci : kRicaviServizi, 40, 4000);
        } else if (x < 340) {
            g = Vendita(giorno, "FV", r_.scegli(cp_.privati));
            Righe(g, i, {k22, k10}, kRicaviMerci, 20, 900);
        } else if (x < 360) {
            g = Vendita(giorno, "FV", r_.scegli(cp_.clienti));
            Righe(g, i, {k22}, kRicaviServizi, 100, 2000);
            g.iva.front() = {kE10.codice, 0, g.iva.front().imponibile, 0, kRicaviServizi};
        } else if (x < 380) {
            g = Vendita(giorno, "FVS", cp_.ente);
            Righe(g, i, {k22, k10}, kRicaviServizi, 200, 6000);
        } else if (x < 400) {
            g = Vendita(giorno, "FVD", r_.scegli(cp_.clienti));
            Righe(g, i, ordinari, kRicaviMerci, 100, 3000);
        } else if (x < 412) {
            g = Vendita(giorno, "FV", r_.scegli(cp_.clienti));
            g.ivaPerCassa = "S";
            Righe(g, i, ordinari, kRicaviMerci, 100, 3000);
        } else if (x < 440) {
            g = Vendita(giorno, "NCV", r_.scegli(cp_.clienti));
            g.segno = -1;
            Righe(g, i, ordinari, kRicaviMerci, 20, 800);
        } else if (x < 470) {
            g = Vendita(giorno, "FVI", r_.scegli(cp_.clientiUe));
            Righe(g, i, {kN41}, kRicaviMerci, 300, 9000);
        } else if (x < 488) {
            g = Vendita(giorno, "FVE", r_.scegli(cp_.clientiExtraUe));
            Righe(g, i, {kN8}, kRicaviMerci, 300, 9000);
        } else if (x < 506) {
            // Haulage: a document of the month's last days goes in the next VAT period.
            g = Vendita(giorno, "FVT", r_.scegli(cp_.clienti), "T");
            if (giorno.g > 20) {
                g.annoIva = giorno.m == 12 ? giorno.a + 1 : giorno.a;
                g.periodoIva = giorno.m == 12 ? 1 : giorno.m + 1;
            }
            Righe(g, i, {k22}, kRicaviTrasporti, 200, 2500);
        } else if (x < 512) {
            g = Vendita(giorno, "AUT", r_.scegli(cp_.clienti));
            Righe(g, i, {k22}, kRicaviMerci, 20, 300);
        } else if (x < 518) {
            g = Vendita(giorno, "FVR", r_.scegli(cp_.clienti));
            Righe(g, i, {kRC}, kRicaviMerci, 200, 3000);
        } else if (x < 523) {
            g = Vendita(giorno, "FV", cp_.escluso);
            Righe(g, i, {k22}, kRicaviMerci, 50, 500);
        } else if (x < 528) {
            g = Vendita(giorno, "FV", r_.scegli(cp_.clienti));
            g.operazRilev = "I";
            Righe(g, i, {k22}, kRicaviMerci, 50, 500);
        } else if (x < 540) {
            g = Vendita(giorno, "FV", r_.scegli(cp_.clienti));
            Righe(g, i, {k22}, kRicaviServizi, 100, 1500);
            g.iva.push_back({kN15.codice, 0, centesimi(r_.tra(1000, 20000) / 100.0), 0, kRicaviServizi});
        } else if (x < 545) {
            g = Vendita(giorno, "FV", r_.scegli(cp_.clienti));
            // A document cancelled in itself: one line sold and taken back.
            g.stornoZero = true;
            Righe(g, i, {k22}, kRicaviMerci, 100, 1500);
            g.iva.resize(1);
            g.iva.front().imponibile = g.iva.front().imposta = 0;
        } else if (x < 550) {
            g = Vendita(giorno, "FV", r_.scegli(cp_.clientiExtraUe));
            Righe(g, i, {kN7}, kRicaviServizi, 300, 3000);
        }
        // Received documents.
        else if (x < 800) {
            g = Acquisto(giorno, "FA", r_.scegli(cp_.fornitori));
            Righe(g, i, ordinari, r_.probabile(0.75) ? kAcquistoMerci : kServizi, 40, 5000);
        } else if (x < 830) {
            g = Acquisto(giorno, "FA", r_.scegli(cp_.professionisti));
            Righe(g, i, {k22}, kServizi, 300, 2500);
        } else if (x < 855) {
            g = Acquisto(giorno, "NCA", r_.scegli(cp_.fornitori));
            g.segno = -1;
            Righe(g, i, ordinari, kAcquistoMerci, 20, 800);
        } else if (x < 870) {
            g = Acquisto(giorno, "FAC", r_.scegli(cp_.fornitori));
            Righe(g, i, {k22}, kServizi, 100, 1500);
        } else if (x < 920) {
            g = Acquisto(giorno, "FAI", r_.scegli(cp_.fornitoriUe));
            g.integrata = true;
            Righe(g, i, {k22}, r_.probabile(0.65) ? kAcquistoMerci : kServizi, 300, 8000);
        } else if (x < 940) {
            g = Acquisto(giorno, "FAR", r_.scegli(cp_.fornitori));
            g.integrata = true;
            Righe(g, i, {kRC}, kServizi, 500, 9000);
        } else if (x < 965) {
            // The customs office's bill; the foreign supplier on the counterparty line.
            g = Acquisto(giorno, "BD", cp_.dogana);
            g.blackList = r_.scegli(cp_.fornitoriCina);
            g.numDoc = std::to_string(r_.tra(10000, 99999));
            g.preDoc = "DOG";
            Righe(g, i, {k22}, kAcquistoMerci, 500, 12000);
        } else {
            g = Acquisto(giorno, "FAX", r_.scegli(cp_.fornitoriExtraUe));
            g.integrata = true;
            Righe(g, i, {k22}, kServizi, 100, 3000);
        }
        return g;
    }

    Registrazione Fittizia(const Data& giorno, long i) {
        Registrazione g;
        if (i % 2 == 0) {
            // Self-invoice for services bought abroad, on the fictitious client.
            g = Vendita(giorno, "AFF", cp_.fittizio);
            Righe(g, i, {k22}, kRicaviServizi, 100, 2000);
        } else {
            g = Vendita(giorno, "FV", cp_.fittizio);
            Righe(g, i, {k22, k10}, kRicaviMerci, 20, 400);
        }
        g.numProt = static_cast<long>(i + 1);
        g.numDoc = "C" + std::to_string(i + 1);
        g.preProt = g.preDoc = "";
        return g;
    }

    void Scrivi(bool fittizia, long numReg, const Registrazione& g) {
        const Tabelle& t = tabelle_[fittizia ? 1 : 0];
        const long long anno = p_.anno;
        double imponibile = 0, imposta = 0;
        for (const RigaIva& v : g.iva) {
            imponibile += v.imponibile;
            imposta += v.imposta;
        }
        const double totale = centesimi(g.integrata ? imponibile : imponibile + imposta);
        const std::string lato = g.vendita ? "D" : "A";
        const std::string opposto = g.vendita ? "A" : "D";
        db_.riga(t.tes, {anno, static_cast<long long>(numReg), g.causale, (g.vendita ? "Documento emesso n. " : "Documento ricevuto n. ") + g.numDoc,
                         Data_(g.dataReg), Data_(g.dataDoc), Testo(g.numDoc), Testo(g.preDoc), Data_(g.dataProt),
                         g.numProt ? Par(static_cast<long long>(g.numProt)) : kNull, Testo(g.preProt), totale,
                         Testo(g.operazRilev), Testo(g.ivaPerCassa),
                         g.annoIva ? Par(static_cast<long long>(g.annoIva)) : kNull,
                         g.periodoIva ? Par(static_cast<long long>(g.periodoIva)) : kNull});
        long long rig = 1;
        const auto dett = [&](const Conto& c, const std::string& da, double importo, const Conto& bl,
                              const std::string& iva, double impostaRiga) {
            db_.riga(t.dett, {anno, static_cast<long long>(numReg), rig++, c.g, c.m, c.c, da, centesimi(importo), 0.0,
                              Testo(bl.g), Testo(bl.m), Testo(bl.c), Testo(iva),
                              iva.empty() ? kNull : Par(centesimi(impostaRiga))});
            ++conteggi_.righe;
        };
        dett(g.controparte, lato, totale, g.blackList, "", 0);
        for (const RigaIva& v : g.iva) {
            if (g.stornoZero && &v == &g.iva.front()) {
                // Sold and taken back in the same document on one code.
                const double x = centesimi(r_.tra(5000, 50000) / 100.0);
                dett(v.conto, opposto, x, {}, v.iva, x * v.aliquota / 100);
                dett(v.conto, opposto, -x, {}, v.iva, -x * v.aliquota / 100);
                continue;
            }
            dett(v.conto, opposto, v.imponibile, {}, v.iva, v.imposta);
        }
        if (imposta != 0) {
            dett(g.vendita ? kIvaVendite : kIvaAcquisti, opposto, imposta, {}, "", 0);
            if (g.integrata) dett(kIvaVendite, lato, imposta, {}, "", 0);
        }
        long long rigIva = 1;
        for (const RigaIva& v : g.iva) {
            db_.riga(t.iva, {anno, static_cast<long long>(numReg), rigIva++, v.iva, centesimi(v.imponibile),
                             centesimi(v.imposta), g.controparte.g, g.controparte.m, g.controparte.c});
            ++conteggi_.righeIva;
        }
        ++conteggi_.registrazioni;
    }

    Db& db_;
    Casuale& r_;
    const ParametriContabilita& p_;
    const Controparti& cp_;
    std::vector<Tabelle> tabelle_;
    long protocolli_[2] = {0, 0};
    int ciclo_ = 1;
    ConteggiContabilita conteggi_;
};

}  // namespace

ConteggiContabilita GeneraContabilita(sqlite3* db, const ParametriContabilita& p) {
    Db d(db);
    d.esegui("BEGIN IMMEDIATE");
    try {
        Casuale r(p.seme);
        Controparti cp;
        ScriviAnagrafiche(d, r, p.anno, cp);
        Generatore g(d, r, p, cp);
        const ConteggiContabilita c = g.Genera();
        d.esegui("COMMIT");
        return c;
    } catch (...) {
        sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
        throw;
    }
}
