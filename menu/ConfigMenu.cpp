#include "ConfigMenu.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHostInfo>

namespace {
// The settings-file engine reads one key at a time; the menu needs whole
// sections, so it reads its own small file here: "[Section]" and "key=value"
// lines, ";" comments, the first key of a name wins.
using Sezioni = QList<QPair<QString, QList<QPair<QString, QString>>>>;

Sezioni LeggiSezioni(const QByteArray& dati) {
    Sezioni sezioni;
    for (const QString& grezza : QString::fromUtf8(dati).split(QLatin1Char('\n'))) {
        const QString riga = grezza.trimmed();
        if (riga.isEmpty() || riga.startsWith(QLatin1Char(';'))) continue;
        if (riga.startsWith(QLatin1Char('[')) && riga.endsWith(QLatin1Char(']'))) {
            sezioni.append({riga.mid(1, riga.size() - 2).trimmed(), {}});
            continue;
        }
        const int uguale = riga.indexOf(QLatin1Char('='));
        if (uguale <= 0 || sezioni.isEmpty()) continue;
        sezioni.last().second.append({riga.left(uguale).trimmed(), riga.mid(uguale + 1).trimmed()});
    }
    return sezioni;
}
}  // namespace

bool ConfigMenu::Leggi(const QString& file, ConfigMenu& cfg, QString& errore) {
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly)) {
        errore = QStringLiteral("File dei valori del menu non leggibile: ") + file;
        return false;
    }
    const QDir cartella = QFileInfo(file).absoluteDir();
    auto percorso = [&](const QString& p) { return p.isEmpty() ? p : QDir::cleanPath(cartella.absoluteFilePath(p)); };

    cfg.fileMenu = QFileInfo(file).absoluteFilePath();
    cfg.chiaveMenu = QStringLiteral("m%1").arg(QCoreApplication::applicationPid());
    cfg.terminale = QHostInfo::localHostName();
    for (const auto& [sezione, chiavi] : LeggiSezioni(f.readAll())) {
        const QString personal = QStringLiteral("personal.");
        for (const auto& [chiave, valore] : chiavi) {
            if (sezione.compare(QLatin1String("Valori"), Qt::CaseInsensitive) == 0) {
                if (!cfg.valori.contains(chiave.toLower())) cfg.valori.insert(chiave.toLower(), valore);
            } else if (sezione.startsWith(personal, Qt::CaseInsensitive)) {
                const QString nome = (sezione + QStringLiteral(".§") + chiave).toLower();
                if (!cfg.valori.contains(nome)) cfg.valori.insert(nome, valore);
            } else if (sezione.compare(QLatin1String("Menu"), Qt::CaseInsensitive) == 0) {
                const QString k = chiave.toLower();
                if (k == QLatin1String("chiave")) cfg.chiaveMenu = valore;
                else if (k == QLatin1String("programma")) cfg.programma = percorso(valore);
                else if (k == QLatin1String("chiaveprg")) cfg.chiavePrg = valore;
                else if (k == QLatin1String("fileini")) cfg.fileIni = percorso(valore);
                else if (k == QLatin1String("switchi")) cfg.switchI = percorso(valore);
                else if (k == QLatin1String("dbmenu")) cfg.dbMenu = percorso(valore);
                else if (k == QLatin1String("datalavoro") && Valore(valore).data().isValid())
                    cfg.dataLavoro = Valore(valore).data();
                else if (k == QLatin1String("terminale")) cfg.terminale = valore;
                else if (k == QLatin1String("help")) cfg.help = percorso(valore);
                else if (k == QLatin1String("tipoform")) cfg.tipoForm = valore.toInt();
            }
        }
    }
    cfg.valori.insert(QStringLiteral("menuprocid"), static_cast<long long>(QCoreApplication::applicationPid()));
    return true;
}
