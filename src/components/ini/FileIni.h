#pragma once
// Settings files with Windows profile semantics: "[Section]" lines followed by
// "key=value" lines. Section and key names are compared without regard to
// case; the first section and, inside it, the first key of a name count.
// Blanks around names and values are trimmed; values are never unescaped or
// split ("202,18" is one value), but a value between a pair of double or
// single quotes reads without them. Lines starting with ";" are comments.
//
// Every call reads the file afresh, so a write is seen at once by later
// reads. A write changes only the lines it must: order, comments, blank
// lines, line endings (CR LF or LF) and the byte encoding (UTF-8, or
// Windows-1252 for a file that is not valid UTF-8) of the rest stay as they
// were. The file is replaced atomically, so a failed write loses nothing;
// in a folder the user cannot write, a writable file is rewritten in place.
// Writes of several processes to one file take turns (a lock file beside it,
// "<file>.lock", or a lock on the file itself in a read-only folder), so that
// none loses another's keys; a write that cannot get its turn within ten
// seconds fails and changes nothing.
#include <QString>
#include <optional>

class FileIni {
public:
    // A path written the Windows way is mapped to the local one here.
    explicit FileIni(const QString& percorso);

    const QString& percorso() const { return percorso_; }

    // The key's value; nothing when the key (or the file) is absent. A key
    // written with nothing after "=" gives an empty text.
    std::optional<QString> leggi(const QString& sezione, const QString& chiave) const;

    // Replaces the value in place, or adds the key at the end of its section,
    // or adds the section at the end of the file (created when absent).
    // False, and the file untouched, when it cannot be read or written, when
    // a name or the value would break the file's lines (line breaks, "=" in
    // a key, "]" in a section name, empty names) or when the value cannot be
    // written in a Windows-1252 file.
    bool scrivi(const QString& sezione, const QString& chiave, const QString& valore);
    // Removes every line of the key in the section. True also when there was
    // nothing to remove.
    bool cancellaChiave(const QString& sezione, const QString& chiave);
    // Removes the section with all its lines (every section of that name).
    bool cancellaSezione(const QString& sezione);

private:
    QString percorso_;
};

// The platform's profile-writing call: no key removes the whole section, no
// value removes the key, otherwise the key is written. True on success.
bool ScriviIniProfilo(const QString& sezione, const std::optional<QString>& chiave,
                      const std::optional<QString>& valore, const QString& file);

// Reads a key from the main (terminal) settings file and then from the
// database (common) settings file, when given. The first file where the key
// has a non-empty value wins. valore receives that value; when no file gives
// one, "" if some file has the key with an empty value, else the default.
// Result: the number of characters of the value found, 0 when none.
int LeggiIni(const QString& sezione, const QString& chiave, const QString& predefinito,
             QString& valore, const QString& fileIni, const QString& fileIniDb);

// Reads a key from one file. valore receives the value, or the default when
// the key is absent. Result: the number of characters of the value, 0 when
// the key is absent or empty.
int LeggiIniFile(const QString& sezione, const QString& chiave, const QString& predefinito,
                 QString& valore, const QString& file);

// Whole number of a key: the default when the key is absent or empty, the
// leading digits (with an optional sign) otherwise, 0 when there are none.
int LeggiIniIntero(const QString& sezione, const QString& chiave, int predefinito,
                   const QString& file);
