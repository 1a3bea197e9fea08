#include "components/util/UtilGenerali.h"

#include "components/core/ErroreRun.h"
#include "components/platform/ServizioDialoghi.h"
#include "components/util/Percorsi.h"
#include "components/util/RecuperoDb.h"
#include "components/core/ContestoComponenti.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <algorithm>
#include <charconv>
#include <cmath>

namespace {

const QDate GiornoZero(1899, 12, 30);

Qt::CaseSensitivity sensibilita(int confronto) {
    return confronto == Confronto::IgnoraMaiuscole ? Qt::CaseInsensitive : Qt::CaseSensitive;
}

// A two-digit year falls in 1930-2029, as the suite reads typed dates.
int annoPieno(const QString& cifre) {
    const int a = cifre.toInt();
    if (cifre.size() > 2) return a;
    return a < 30 ? 2000 + a : 1900 + a;
}

// Dates as users type them and as the databases keep them: d/m/yyyy (also
// with "-" or "." and two-digit years), ddmmyyyy, ddmmyy, yyyy-mm-dd[ time].
bool leggiData(const QString& testo, QDate& data) {
    static const QRegularExpression iso(QStringLiteral("^(\\d{4})-(\\d{1,2})-(\\d{1,2})(?:[ T].*)?$"));
    static const QRegularExpression gma(QStringLiteral("^(\\d{1,2})[/.-](\\d{1,2})[/.-](\\d{1,4})$"));
    static const QRegularExpression compatta(QStringLiteral("^(\\d{2})(\\d{2})(\\d{4}|\\d{2})$"));
    const QString t = testo.trimmed();
    int g = 0, m = 0, a = 0;
    if (auto r = iso.match(t); r.hasMatch()) {
        a = r.captured(1).toInt(), m = r.captured(2).toInt(), g = r.captured(3).toInt();
    } else if (auto r2 = gma.match(t); r2.hasMatch()) {
        g = r2.captured(1).toInt(), m = r2.captured(2).toInt(), a = annoPieno(r2.captured(3));
    } else if (auto r3 = compatta.match(t); r3.hasMatch()) {
        g = r3.captured(1).toInt(), m = r3.captured(2).toInt(), a = annoPieno(r3.captured(3));
    } else {
        return false;
    }
    const QDate d(a, m, g);
    if (!d.isValid() || a < 100 || a > 9999) return false;
    data = d;
    return true;
}

// The number a value stands for; false for a text that is not a number.
bool numeroDi(const Valore& v, double& n) {
    if (v.eTesto()) return leggiNumeroItaliano(v.testo(), n);
    n = v.numero();
    return std::isfinite(n);
}

ErroreRun tipoNonCorrispondente(const QString& testo, const char* origine) {
    return ErroreRun(NumErrore::TipoNonCorrispondente,
                     QStringLiteral("Tipo non corrispondente: \"%1\"").arg(testo),
                     QStringLiteral("UtilGenerali.") + QLatin1String(origine));
}

bool eSeparatore(QChar c) { return c == QLatin1Char('\\') || c == QLatin1Char('/'); }

// Paths keep the separator they were written with: "/" when they use only
// that one, "\" otherwise.
QChar separatoreDi(const QString& a, const QString& b = {}, const QString& c = {}) {
    const QString t = a + b + c;
    return t.contains(QLatin1Char('/')) && !t.contains(QLatin1Char('\\')) ? QLatin1Char('/')
                                                                           : QLatin1Char('\\');
}

QString unisci(const QString& a, const QString& b, QChar sep) {
    if (a.isEmpty()) return b;
    if (b.isEmpty()) return a;
    const bool sa = eSeparatore(a.back()), sb = eSeparatore(b.front());
    if (sa && sb) return a + b.mid(1);
    if (sa || sb) return a + b;
    return a + sep + b;
}

}  // namespace

// --- Emptiness and conversions ---

bool UtilGenerali::EVuoto(const Valore& valore, int tipo) const {
    if (valore.eVuotoONull()) return true;
    if (tipo == TipoDato::Data) {
        QDate d;
        if (valore.eData()) d = valore.data();
        else if (valore.eTesto()) leggiData(valore.testo(), d);
        return d == DataVuota();
    }
    return false;
}

double UtilGenerali::ValoreNumerico(const Valore& valore) const {
    double n = 0;
    return numeroDi(valore, n) ? n : 0.0;
}

double UtilGenerali::NumeroDaStringa(const QString& testo) const {
    double n = 0;
    if (!leggiNumeroItaliano(testo, n)) throw tipoNonCorrispondente(testo, "NumeroDaStringa");
    return n;
}

bool TestoNonNumerico(const Valore& valore) {
    if (!valore.eTesto()) return false;
    const QString t = valore.testo().trimmed();
    double n = 0;
    return !t.isEmpty() && !leggiNumeroItaliano(t, n);
}

double UtilGenerali::ImportoDaTesto(const QString& testo) const { return ValoreNumerico(Valore(testo)); }

long UtilGenerali::InteroDaTesto(const QString& testo) const {
    double n = 0;
    if (!leggiNumeroItaliano(testo.section(QLatin1Char('-'), 0, 0).trimmed(), n)) return 0;
    return static_cast<long>(std::trunc(n));
}

QDate UtilGenerali::ValoreData(const Valore& valore) const {
    QDate d;
    switch (valore.tipo()) {
    case TipoValore::Data: d = valore.data(); break;
    case TipoValore::Testo: leggiData(valore.testo(), d); break;
    case TipoValore::Intero:
    case TipoValore::Doppio: d = GiornoZero.addDays(static_cast<qint64>(std::floor(valore.numero()))); break;
    default: break;
    }
    return d.isValid() ? d : DataVuota();
}

long UtilGenerali::ControllaDataCtl(QString& testo, int, bool mostraBox, QString* messaggio) const {
    if (messaggio) messaggio->clear();
    if (testo.trimmed().isEmpty()) return 0;
    QDate d;
    if (!leggiData(testo, d)) {
        const QString avviso = QStringLiteral("Data non valida");
        if (messaggio) *messaggio = avviso;
        if (mostraBox && ctxComponenti().ggDialoghi) ctxComponenti().ggDialoghi->msgBox(avviso, StileMsg::Esclamativo, {});
        return -2;
    }
    testo = d.toString(QStringLiteral("dd/MM/yyyy"));
    return static_cast<long>(GiornoZero.daysTo(d));
}

// --- Numbers ---

namespace {

// The value written with fifteen significant digits, a tie rounded away from
// zero, and read back. Without allocation: amounts are rounded several times
// for every line a run writes. The library rounds an exact tie to even, so
// a value that may be one (its sixteenth digit a 5 with nothing after) takes
// the text conversion, which rounds it up.
double quindiciCifre(double x) {
    char cifre[40];
    auto fine = std::to_chars(cifre, cifre + sizeof cifre, x, std::chars_format::scientific, 16).ptr;
    // d.ddddddddddddddddde±xx: the digits are at 0 and from 2 on.
    const char* c = cifre + (cifre[0] == '-' ? 1 : 0);
    if (c[16] == '5' && c[17] == '0') return QString::number(x, 'g', 15).toDouble();
    fine = std::to_chars(cifre, cifre + sizeof cifre, x, std::chars_format::scientific, 14).ptr;
    double r = x;
    std::from_chars(cifre, fine, r);
    return r;
}

}  // namespace

double UtilGenerali::Arrotonda(double valore, int precisione) const {
    if (!std::isfinite(valore)) return valore;
    const double fattore = std::pow(10.0, std::abs(precisione));
    const double scalato = precisione <= 0 ? valore * fattore : valore / fattore;
    // Fifteen significant digits take away the binary error of the scaling, so
    // that 2.675 * 100 is rounded as the 267.5 it stands for.
    const double pulito = quindiciCifre(scalato);
    double r = std::round(pulito);
    r = precisione <= 0 ? r / fattore : r * fattore;
    return r == 0 ? 0.0 : r;
}

double UtilGenerali::Minimo(const QList<double>& valori) const {
    return valori.isEmpty() ? 0.0 : *std::min_element(valori.begin(), valori.end());
}

double UtilGenerali::Massimo(const QList<double>& valori) const {
    return valori.isEmpty() ? 0.0 : *std::max_element(valori.begin(), valori.end());
}

// --- Texts ---

QString UtilGenerali::SostituisciTesto(const QString& testo, const QList<QPair<QString, QString>>& coppie,
                                       int inizio, int confronto) const {
    const int da = std::max(inizio, 1) - 1;
    if (da >= testo.size()) return testo;
    QString coda = testo.mid(da);
    for (const auto& [cerca, sostituto] : coppie)
        if (!cerca.isEmpty()) coda.replace(cerca, sostituto, sensibilita(confronto));
    return testo.left(da) + coda;
}

QString UtilGenerali::SostituisciTesto(const QString& testo, const QString& cerca,
                                       const QString& sostituto) const {
    return SostituisciTesto(testo, {{cerca, sostituto}});
}

QString UtilGenerali::SostituisciTesto(int inizio, const QString& testo, const QString& cerca,
                                       const QString& sostituto, int confronto) const {
    return SostituisciTesto(testo, {{cerca, sostituto}}, inizio, confronto);
}

int UtilGenerali::CercaDaDestra(const QString& testo, const QString& cercato, int inizio, int confronto) const {
    const int limite = (inizio < 0 || inizio > testo.size()) ? testo.size() : inizio;
    if (cercato.isEmpty() || limite < cercato.size()) return 0;
    return testo.lastIndexOf(cercato, limite - cercato.size(), sensibilita(confronto)) + 1;
}

int UtilGenerali::CercaDaDestra(int inizio, const QString& testo, const QString& cercato, int confronto) const {
    return CercaDaDestra(testo, cercato, inizio, confronto);
}

QString UtilGenerali::Allinea(const QString& testo, int larghezza, const QString& riempimento,
                              const QString& lato) const {
    if (larghezza <= 0) return {};
    const bool destra = lato.trimmed().compare(QLatin1String("D"), Qt::CaseInsensitive) == 0;
    if (testo.size() >= larghezza) return destra ? testo.right(larghezza) : testo.left(larghezza);
    const QString pieno(larghezza - testo.size(), riempimento.isEmpty() ? QLatin1Char(' ') : riempimento[0]);
    return destra ? pieno + testo : testo + pieno;
}

QString UtilGenerali::EstraiParametro(const QString& parametri, const QString& nome) const {
    struct Opzione { int inizio, fine; QString nome; };
    QList<Opzione> opzioni;
    const QString& t = parametri;
    for (int i = 0; i < t.size(); ++i) {
        if (t[i] != QLatin1Char('/') || (i > 0 && !t[i - 1].isSpace())) continue;
        int j = i + 1;
        while (j < t.size() && t[j].isLetter()) ++j;
        if (j > i + 1 && (j == t.size() || t[j].isSpace())) {
            opzioni.append({i, j, t.mid(i + 1, j - i - 1)});
            i = j - 1;
        }
    }
    QString cercato = nome.trimmed();
    if (cercato.startsWith(QLatin1Char('/'))) cercato.remove(0, 1);
    for (int k = 0; k < opzioni.size(); ++k) {
        const Opzione& o = opzioni[k];
        if (o.nome.compare(cercato, Qt::CaseInsensitive) != 0) continue;
        const int fine = k + 1 < opzioni.size() ? opzioni[k + 1].inizio : t.size();
        const QString valore = t.mid(o.fine, fine - o.fine).trimmed();
        return valore.isEmpty() ? QLatin1Char('/') + o.nome : valore;
    }
    return {};
}

// --- SQL literals and display masks ---

QString UtilGenerali::FormatoSql(const Valore& valore, int tipo) const {
    switch (tipo) {
    case TipoDato::Intero:
    case TipoDato::Lungo:
    case TipoDato::Doppio: {
        if (valore.eVuotoONull()) return QStringLiteral("Null");
        double n = 0;
        if (!numeroDi(valore, n)) throw tipoNonCorrispondente(valore.testo(), "FormatoSql");
        if (tipo != TipoDato::Doppio) return QString::number(std::llround(n));
        return n == 0 ? QStringLiteral("0") : QString::number(n, 'g', 15);
    }
    case TipoDato::Data: {
        if (valore.eVuotoONull()) return QStringLiteral("Null");
        QDate d;
        if (valore.eData()) d = valore.data();
        else if (valore.eTesto()) leggiData(valore.testo(), d);
        else if (valore.eNumero()) d = ValoreData(valore);
        if (!d.isValid()) throw tipoNonCorrispondente(valore.testo(), "FormatoSql");
        return QLatin1Char('\'') + d.toString(QStringLiteral("yyyy-MM-dd")) + QLatin1Char('\'');
    }
    default: {
        QString s = valore.testo();
        s.replace(QLatin1Char('\''), QStringLiteral("''"));
        return QLatin1Char('\'') + s + QLatin1Char('\'');
    }
    }
}

QString UtilGenerali::CreaMaschera(const Valore& valore, int decimali, bool soloMaschera, const QString& base,
                                   const QString& riempimento) const {
    QString maschera = base;
    if (decimali > 0)
        maschera += QLatin1Char('.') +
                    QString(decimali, riempimento == QLatin1String("0") ? QLatin1Char('0') : QLatin1Char('#'));
    return soloMaschera ? maschera : FormattaValore(valore, maschera);
}

QString UtilGenerali::FormattaValore(const Valore& valore, const QString& maschera) const {
    if (maschera.trimmed().compare(QLatin1String("conto"), Qt::CaseInsensitive) == 0) {
        const QString c = TogliMaschera(valore.testo());
        if (c.size() <= 2) return c;
        QString r = c.left(2) + QLatin1Char('-') + c.mid(2, 2);
        if (c.size() > 4) r += QLatin1Char('-') + c.mid(4);
        return r;
    }
    if (valore.eVuotoONull()) return {};
    double n = 0;
    const int punto = maschera.indexOf(QLatin1Char('.'));
    const QString intera = punto < 0 ? maschera : maschera.left(punto);
    const QString decimale = punto < 0 ? QString() : maschera.mid(punto + 1);
    const bool numerica = intera.contains(QLatin1Char('0')) || intera.contains(QLatin1Char('#')) ||
                          !decimale.isEmpty();
    if (!numerica || !numeroDi(valore, n)) return valore.testo();

    const int fisse = decimale.count(QLatin1Char('0'));
    const int decimali = fisse + decimale.count(QLatin1Char('#'));
    const double r = Arrotonda(n, -decimali);
    const QString cifre = QString::number(std::fabs(r), 'f', decimali);
    QString ip = cifre.section(QLatin1Char('.'), 0, 0);
    QString dp = decimali > 0 ? cifre.section(QLatin1Char('.'), 1, 1) : QString();
    while (dp.size() > fisse && dp.endsWith(QLatin1Char('0'))) dp.chop(1);
    const int minimeIntere = intera.count(QLatin1Char('0'));
    if (ip == QLatin1String("0") && minimeIntere == 0) ip.clear();
    while (ip.size() < minimeIntere) ip.prepend(QLatin1Char('0'));
    if (intera.contains(QLatin1Char(',')))
        for (int i = ip.size() - 3; i > 0; i -= 3) ip.insert(i, QLatin1Char('.'));
    QString out = dp.isEmpty() ? ip : ip + QLatin1Char(',') + dp;
    if (r < 0) out.prepend(QLatin1Char('-'));
    return out;
}

QString UtilGenerali::TogliMaschera(const QString& testo, const QString& tipo) const {
    QString t = testo.trimmed();
    if (tipo.trimmed().compare(QLatin1String("conto"), Qt::CaseInsensitive) == 0) t.remove(QLatin1Char('-'));
    return t;
}

// --- Paths and files ---

QString UtilGenerali::ComponiPercorso(const QString& file, const QString& unita, const QString& cartella) const {
    const QString f = file.trimmed(), u = unita.trimmed(), c = cartella.trimmed();
    const QChar sep = separatoreDi(f, u, c);
    const bool assoluta = (c.size() >= 2 && c[1] == QLatin1Char(':')) || c.startsWith(QStringLiteral("\\\\")) ||
                          c.startsWith(QLatin1Char('/'));
    return unisci(assoluta ? c : unisci(u, c, sep), f, sep);
}

QString UtilGenerali::CartellaWindows() const { return PercorsoLocale(QStringLiteral("C:\\Windows")); }

QString UtilGenerali::CartellaTemp() const { return QDir::tempPath(); }

bool UtilGenerali::EsisteFile(const QString& percorso) const {
    const QString p = PercorsoLocale(percorso);
    if (p.isEmpty()) return false;
    const QFileInfo fi(p);
    return fi.exists() && !fi.isDir();
}

QString UtilGenerali::SistemaPercorso(const QString& percorso) const {
    QString t = percorso.trimmed();
    if (t.isEmpty()) return {};
    // Doubled separators collapsed, a network prefix "\\" kept.
    const int testa = (t.size() >= 2 && eSeparatore(t[0]) && eSeparatore(t[1])) ? 2 : 0;
    for (int i = t.size() - 1; i > testa; --i)
        if (eSeparatore(t[i]) && eSeparatore(t[i - 1])) t.remove(i, 1);
    const auto radice = [](const QString& s) {
        return s.size() == 1 ? eSeparatore(s[0]) : (s.size() == 3 && s[1] == QLatin1Char(':') && eSeparatore(s[2]));
    };
    if (eSeparatore(t.back())) {
        if (!radice(t) && t.size() > testa) t.chop(1);
        return t;
    }
    if (QFileInfo(PercorsoLocale(t)).isDir()) return t;
    int ultimo = t.size() - 1;
    while (ultimo >= 0 && !eSeparatore(t[ultimo])) --ultimo;
    if (ultimo < 0) return {};
    const QString cartella = t.left(ultimo + 1);
    return radice(cartella) ? cartella : t.left(ultimo);
}

QString UtilGenerali::UnisciPercorso(const QString& cartella, const QString& nome) const {
    return unisci(cartella.trimmed(), nome.trimmed(), separatoreDi(cartella));
}

// --- Errors and system values ---

long UtilGenerali::NumeroErrore(const ErroreRun& errore) const { return errore.numero(); }

QString UtilGenerali::TestoErrore(long numero) const {
    switch (numero) {
    case 0: return {};
    case 5: return QStringLiteral("Argomento o chiamata di routine non valida");
    case 6: return QStringLiteral("Overflow");
    case NumErrore::MemoriaEsaurita: return QStringLiteral("Memoria esaurita");
    case 9: return QStringLiteral("Indice fuori dall'intervallo");
    case 11: return QStringLiteral("Divisione per zero");
    case NumErrore::TipoNonCorrispondente: return QStringLiteral("Tipo non corrispondente");
    case NumErrore::FileNonTrovato: return QStringLiteral("File non trovato");
    case NumErrore::OggettoNonImpostato: return QStringLiteral("Oggetto non impostato");
    case NumErrore::ImpossibileMostrare: return QStringLiteral("Impossibile mostrare la maschera");
    case NumErrore::FormModale: return QStringLiteral("È aperta una maschera modale");
    case NumErrore::ErroreSql: return QStringLiteral("Errore del database");
    case NumErrore::NessunRecordCorrente: return QStringLiteral("Nessun record corrente");
    case NumErrore::PasswordErrata: return QStringLiteral("Password non valida");
    case NumErrore::ConnessioneOdbcRifiutata: return QStringLiteral("Accesso al database rifiutato");
    case NumErrore::OggettoInesistente: return QStringLiteral("Elemento non trovato");
    case NumErrore::FileNonDatabase: return QStringLiteral("Formato del database non riconosciuto");
    case NumErrore::DatiEmailMancanti: return QStringLiteral("Dati per l'invio e-mail mancanti");
    default: return QStringLiteral("Errore %1").arg(numero);
    }
}

int UtilGenerali::RiparaDb(const QString& fileDatabase, QString* motivo) const {
    const QString file = PercorsoLocale(fileDatabase.trimmed());
    EsitoRecupero esito;
    const int r = recuperaDatabase(file, &esito);
    if (motivo) *motivo = esito.motivo;
    // The user asked for the repair: what it saved, what it lost and where
    // the original is are told before the work goes on.
    if (r == 0 && ctxComponenti().ggDialoghi)
        ctxComponenti().ggDialoghi->msgBox(esito.resoconto(esito.file.isEmpty() ? file : esito.file),
                                           esito.conPerdite() ? StileMsg::Esclamativo : StileMsg::Informazione, {});
    return r;
}

UtilGenerali& ggUtil() {
    static UtilGenerali u;
    return u;
}

UtilGenerali& ggIsolamento() {
    static UtilGenerali u;
    return u;
}
