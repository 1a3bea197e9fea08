#include "components/util/Percorsi.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>

QString RadiceUnita() {
    const QString r = qEnvironmentVariable(VariabileRadiceUnita).trimmed();
    return QDir::cleanPath(r.isEmpty() ? QDir::homePath() + QStringLiteral("/comiva") : r);
}

// Looks each missing part up in its folder without regard to case; parts that
// match nothing are kept as written.
static QString RisolviMaiuscole(const QString& percorso) {
    if (QFileInfo::exists(percorso)) return percorso;
    const bool assoluto = percorso.startsWith(QLatin1Char('/'));
    const QStringList parti = percorso.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    QString attuale = assoluto ? QStringLiteral("/") : QString();
    for (int i = 0; i < parti.size(); ++i) {
        const QString base = attuale.isEmpty() ? QStringLiteral(".") : attuale;
        QString parte = parti[i];
        if (!QFileInfo::exists(QDir(base).filePath(parte))) {
            const QStringList voci = QDir(base).entryList(QDir::AllEntries | QDir::Hidden | QDir::System |
                                                          QDir::NoDotAndDotDot);
            bool trovata = false;
            for (const QString& v : voci)
                if (v.compare(parte, Qt::CaseInsensitive) == 0) {
                    parte = v;
                    trovata = true;
                    break;
                }
            if (!trovata) {
                // Nothing further can exist: keep the rest as written.
                QStringList resto = parti.mid(i);
                return attuale + resto.join(QLatin1Char('/'));
            }
        }
        attuale += parte;
        if (i + 1 < parti.size()) attuale += QLatin1Char('/');
    }
    return attuale;
}

QString PercorsoLocale(const QString& percorso) {
    QString p = percorso.trimmed();
    if (p.isEmpty()) return {};
    p.replace(QLatin1Char('\\'), QLatin1Char('/'));
    const bool unita = p.size() >= 2 && p[1] == QLatin1Char(':') && p[0].isLetter() && p[0].unicode() < 128;
    if (unita) {
        QString resto = p.mid(2);
        if (!resto.startsWith(QLatin1Char('/'))) resto.prepend(QLatin1Char('/'));
        p = RadiceUnita() + QLatin1Char('/') + p[0].toLower() + resto;
    } else if (p.startsWith(QStringLiteral("//"))) {
        p = RadiceUnita() + QStringLiteral("/unc/") + p.mid(2);
    }
    const bool finale = p.endsWith(QLatin1Char('/')) && p.size() > 1;
    p = QDir::cleanPath(p);
    p = RisolviMaiuscole(p);
    if (finale && !p.endsWith(QLatin1Char('/'))) p += QLatin1Char('/');
    return p;
}
