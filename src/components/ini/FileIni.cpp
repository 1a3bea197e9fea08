#include "components/ini/FileIni.h"

#include "components/util/Percorsi.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QList>
#include <QLockFile>
#include <QSaveFile>
#include <QStringDecoder>
#include <QThread>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace {

enum class Codifica { Utf8, Windows1252 };

// Bytes 0x80-0x9F of Windows-1252. The five bytes the code page leaves
// unassigned map to the control character of the same number, so that every
// byte of a file reads and writes back unchanged.
constexpr char16_t Alti1252[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

const QByteArray BomUtf8("\xEF\xBB\xBF");

QString decodifica(const QByteArray& b, Codifica c) {
    if (c == Codifica::Utf8) return QString::fromUtf8(b);
    QString s;
    s.reserve(b.size());
    for (char ch : b) {
        const auto u = static_cast<unsigned char>(ch);
        s += (u >= 0x80 && u < 0xA0) ? QChar(Alti1252[u - 0x80]) : QChar(u);
    }
    return s;
}

// Nothing when the text has a character the encoding cannot hold.
std::optional<QByteArray> codifica(const QString& s, Codifica c) {
    if (c == Codifica::Utf8) return s.toUtf8();
    QByteArray b;
    b.reserve(s.size());
    for (QChar ch : s) {
        const char16_t u = ch.unicode();
        if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) {
            b += static_cast<char>(u);
            continue;
        }
        int i = 0;
        while (i < 32 && Alti1252[i] != u) ++i;
        if (i == 32) return std::nullopt;
        b += static_cast<char>(0x80 + i);
    }
    return b;
}

bool eUtf8Valido(const QByteArray& b) {
    QStringDecoder d(QStringDecoder::Utf8);
    const QString s = d.decode(b);
    return !d.hasError() && s.toUtf8() == b;
}

struct Riga {
    QByteArray byte;  // without the line ending
    QByteArray fine;  // "\r\n", "\n", or "" on a last line without one
};

// One line as the profile rules see it.
struct Analisi {
    enum Tipo { Altro, Sezione, Chiave } tipo = Altro;
    QString nome;
    QString valore;
    qsizetype inizioValore = 0;  // where the value starts in the line's text
};

Analisi analizza(const QString& riga) {
    Analisi a;
    const QString t = riga.trimmed();
    if (t.startsWith(QLatin1Char('['))) {
        const qsizetype chiusa = t.indexOf(QLatin1Char(']'));
        a.tipo = Analisi::Sezione;
        a.nome = t.mid(1, chiusa < 0 ? -1 : chiusa - 1).trimmed();
        return a;
    }
    if (t.startsWith(QLatin1Char(';'))) return a;
    const qsizetype uguale = riga.indexOf(QLatin1Char('='));
    if (uguale < 0) return a;
    a.nome = riga.left(uguale).trimmed();
    if (a.nome.isEmpty()) return a;
    a.tipo = Analisi::Chiave;
    a.valore = riga.mid(uguale + 1).trimmed();
    a.inizioValore = uguale + 1;
    while (a.inizioValore < riga.size() && riga.at(a.inizioValore).isSpace()) ++a.inizioValore;
    return a;
}

bool stessoNome(const QString& a, const QString& b) {
    return a.compare(b.trimmed(), Qt::CaseInsensitive) == 0;
}

enum class Esito { Letto, Assente, Illeggibile };

// The file as lines of bytes, read afresh on every call.
struct Documento {
    QByteArray bom;
    Codifica cod = Codifica::Utf8;
    QByteArray fineRiga = "\r\n";  // for new lines; a new file gets CR LF
    QList<Riga> righe;
    QList<QString> testi;
    QList<Analisi> analisi;

    Esito carica(const QString& percorso) {
        QFile f(percorso);
        if (!f.exists()) return Esito::Assente;
        if (!f.open(QIODevice::ReadOnly)) return Esito::Illeggibile;
        QByteArray dati = f.readAll();
        if (f.error() != QFileDevice::NoError) return Esito::Illeggibile;
        if (dati.startsWith(BomUtf8)) {
            bom = BomUtf8;
            dati.remove(0, BomUtf8.size());
        }
        cod = eUtf8Valido(dati) ? Codifica::Utf8 : Codifica::Windows1252;
        qsizetype inizio = 0;
        while (inizio < dati.size()) {
            qsizetype a = dati.indexOf('\n', inizio);
            Riga r;
            if (a < 0) {
                r.byte = dati.mid(inizio);
                inizio = dati.size();
            } else {
                const bool cr = a > inizio && dati.at(a - 1) == '\r';
                r.byte = dati.mid(inizio, a - inizio - (cr ? 1 : 0));
                r.fine = cr ? QByteArray("\r\n") : QByteArray("\n");
                inizio = a + 1;
            }
            aggiungi(righe.size(), r);
        }
        if (!righe.isEmpty() && !righe.first().fine.isEmpty()) fineRiga = righe.first().fine;
        return Esito::Letto;
    }

    void aggiungi(qsizetype pos, const Riga& r) {
        righe.insert(pos, r);
        testi.insert(pos, decodifica(r.byte, cod));
        analisi.insert(pos, analizza(testi.at(pos)));
    }

    void togli(qsizetype da, qsizetype a) {
        righe.remove(da, a - da);
        testi.remove(da, a - da);
        analisi.remove(da, a - da);
    }

    // Index of the first header with that name, from `da` on; -1 when none.
    qsizetype sezione(const QString& nome, qsizetype da = 0) const {
        for (qsizetype i = da; i < analisi.size(); ++i)
            if (analisi.at(i).tipo == Analisi::Sezione && stessoNome(analisi.at(i).nome, nome)) return i;
        return -1;
    }

    // One past the last line of the section whose header is at `s`.
    qsizetype fineSezione(qsizetype s) const {
        qsizetype i = s + 1;
        while (i < analisi.size() && analisi.at(i).tipo != Analisi::Sezione) ++i;
        return i;
    }

    qsizetype chiave(qsizetype s, const QString& nome) const {
        const qsizetype fine = fineSezione(s);
        for (qsizetype i = s + 1; i < fine; ++i)
            if (analisi.at(i).tipo == Analisi::Chiave && stessoNome(analisi.at(i).nome, nome)) return i;
        return -1;
    }

    // Inserts new lines in the file's encoding and line ending.
    bool inserisci(qsizetype pos, const QStringList& nuove) {
        QList<Riga> codificate;
        for (const QString& t : nuove) {
            const auto b = codifica(t, cod);
            if (!b) return false;
            codificate.append({*b, fineRiga});
        }
        if (pos > 0 && righe.at(pos - 1).fine.isEmpty()) righe[pos - 1].fine = fineRiga;
        for (const Riga& r : codificate) aggiungi(pos++, r);
        return true;
    }

    bool salva(const QString& percorso) const {
        QByteArray dati = bom;
        for (const Riga& r : righe) dati += r.byte + r.fine;
        QSaveFile f(percorso);
        // In a folder the user cannot write, the file itself is rewritten in
        // place, as the platform does; elsewhere a temporary file and a rename
        // keep the write all-or-nothing.
        f.setDirectWriteFallback(true);
        if (!f.open(QIODevice::WriteOnly)) return false;
        if (f.write(dati) != dati.size()) {
            f.cancelWriting();
            return false;
        }
        return f.commit();
    }
};

// How long a write waits for another process writing the same file.
constexpr int kAttesaBloccoMs = 10000;

// Serialises the read-modify-write of one settings file between processes:
// a lock file beside it ("<file>.lock"; one left by a process that died is
// taken over), or, in a folder where no lock file can be made, a lock on the
// file itself, which stays the same file since it is then written in place.
class Blocco {
public:
    explicit Blocco(const QString& percorso) : file_(percorso + QStringLiteral(".lock")) {
        if (file_.tryLock(kAttesaBloccoMs)) {
            preso_ = true;
            return;
        }
        if (file_.error() != QLockFile::PermissionError) return;
        fd_ = ::open(QFile::encodeName(percorso).constData(), O_RDWR | O_CLOEXEC);
        if (fd_ < 0) return;
        const QDeadlineTimer scadenza(kAttesaBloccoMs);
        while (!(preso_ = ::flock(fd_, LOCK_EX | LOCK_NB) == 0) && errno == EWOULDBLOCK && !scadenza.hasExpired())
            QThread::msleep(5);
    }
    ~Blocco() {
        if (fd_ >= 0) ::close(fd_);  // lets go of the lock on the file
    }
    Blocco(const Blocco&) = delete;
    Blocco& operator=(const Blocco&) = delete;

    bool preso() const { return preso_; }

private:
    QLockFile file_;
    int fd_ = -1;
    bool preso_ = false;
};

bool haInterruzioni(const QString& s) {
    return s.contains(QLatin1Char('\n')) || s.contains(QLatin1Char('\r'));
}

// Names and values that would turn into other lines of the file are refused.
bool scritturaSicura(const QString& sezione, const QString& chiave, const QString& valore) {
    const QString s = sezione.trimmed(), k = chiave.trimmed();
    if (s.isEmpty() || k.isEmpty()) return false;
    if (haInterruzioni(s) || haInterruzioni(k) || haInterruzioni(valore)) return false;
    if (s.contains(QLatin1Char(']')) || k.contains(QLatin1Char('='))) return false;
    return !k.startsWith(QLatin1Char('[')) && !k.startsWith(QLatin1Char(';'));
}

}  // namespace

FileIni::FileIni(const QString& percorso) : percorso_(PercorsoLocale(percorso)) {}

std::optional<QString> FileIni::leggi(const QString& sezione, const QString& chiave) const {
    Documento d;
    if (d.carica(percorso_) != Esito::Letto) return std::nullopt;
    const qsizetype s = d.sezione(sezione);
    if (s < 0) return std::nullopt;
    const qsizetype k = d.chiave(s, chiave);
    if (k < 0) return std::nullopt;
    // Like the platform's profile reads: a value between a pair of double or
    // single quotes is read without them (a quoted path keeps its blanks).
    const QString& v = d.analisi.at(k).valore;
    if (v.size() >= 2 && (v.front() == QLatin1Char('"') || v.front() == QLatin1Char('\'')) && v.back() == v.front())
        return v.mid(1, v.size() - 2);
    return v;
}

bool FileIni::scrivi(const QString& sezione, const QString& chiave, const QString& valore) {
    if (!scritturaSicura(sezione, chiave, valore)) return false;
    const Blocco blocco(percorso_);
    if (!blocco.preso()) return false;
    Documento d;
    if (d.carica(percorso_) == Esito::Illeggibile) return false;
    const qsizetype s = d.sezione(sezione);
    if (s < 0) {
        if (!d.inserisci(d.righe.size(), {QLatin1Char('[') + sezione.trimmed() + QLatin1Char(']'),
                                          chiave.trimmed() + QLatin1Char('=') + valore}))
            return false;
        return d.salva(percorso_);
    }
    const qsizetype k = d.chiave(s, chiave);
    if (k >= 0) {
        // Only the value changes: the key's spelling and the blanks before
        // the value stay as they are.
        const auto b = codifica(d.testi.at(k).left(d.analisi.at(k).inizioValore) + valore, d.cod);
        if (!b) return false;
        if (*b == d.righe.at(k).byte) return true;
        d.righe[k].byte = *b;
        return d.salva(percorso_);
    }
    qsizetype pos = d.fineSezione(s);
    while (pos > s + 1 && d.testi.at(pos - 1).trimmed().isEmpty()) --pos;
    if (!d.inserisci(pos, {chiave.trimmed() + QLatin1Char('=') + valore})) return false;
    return d.salva(percorso_);
}

bool FileIni::cancellaChiave(const QString& sezione, const QString& chiave) {
    if (!QFile::exists(percorso_)) return true;
    const Blocco blocco(percorso_);
    if (!blocco.preso()) return false;
    Documento d;
    const Esito e = d.carica(percorso_);
    if (e != Esito::Letto) return e == Esito::Assente;
    const qsizetype s = d.sezione(sezione);
    if (s < 0) return true;
    // Every line of the key goes, so that a duplicate cannot show through.
    bool tolta = false;
    qsizetype k;
    while ((k = d.chiave(s, chiave)) >= 0) {
        d.togli(k, k + 1);
        tolta = true;
    }
    return !tolta || d.salva(percorso_);
}

bool FileIni::cancellaSezione(const QString& sezione) {
    if (!QFile::exists(percorso_)) return true;
    const Blocco blocco(percorso_);
    if (!blocco.preso()) return false;
    Documento d;
    const Esito e = d.carica(percorso_);
    if (e != Esito::Letto) return e == Esito::Assente;
    bool tolta = false;
    qsizetype s;
    while ((s = d.sezione(sezione)) >= 0) {
        d.togli(s, d.fineSezione(s));
        tolta = true;
    }
    return !tolta || d.salva(percorso_);
}

bool ScriviIniProfilo(const QString& sezione, const std::optional<QString>& chiave,
                      const std::optional<QString>& valore, const QString& file) {
    FileIni f(file);
    if (!chiave) return f.cancellaSezione(sezione);
    if (!valore) return f.cancellaChiave(sezione, *chiave);
    return f.scrivi(sezione, *chiave, *valore);
}

int LeggiIni(const QString& sezione, const QString& chiave, const QString& predefinito,
             QString& valore, const QString& fileIni, const QString& fileIniDb) {
    bool vuota = false;
    for (const QString& file : {fileIni, fileIniDb}) {
        if (file.isEmpty()) continue;
        const auto v = FileIni(file).leggi(sezione, chiave);
        if (!v) continue;
        if (!v->isEmpty()) {
            valore = *v;
            return static_cast<int>(valore.size());
        }
        vuota = true;
    }
    valore = vuota ? QString() : predefinito;
    return 0;
}

int LeggiIniFile(const QString& sezione, const QString& chiave, const QString& predefinito,
                 QString& valore, const QString& file) {
    const auto v = FileIni(file).leggi(sezione, chiave);
    valore = v.value_or(predefinito);
    return v ? static_cast<int>(v->size()) : 0;
}

int LeggiIniIntero(const QString& sezione, const QString& chiave, int predefinito,
                   const QString& file) {
    const auto v = FileIni(file).leggi(sezione, chiave);
    if (!v || v->isEmpty()) return predefinito;
    qsizetype fine = (v->startsWith(QLatin1Char('-')) || v->startsWith(QLatin1Char('+'))) ? 1 : 0;
    while (fine < v->size() && v->at(fine).isDigit()) ++fine;
    bool ok = false;
    const int n = v->left(fine).toInt(&ok);
    return ok ? n : 0;
}
