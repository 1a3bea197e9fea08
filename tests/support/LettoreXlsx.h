#pragma once
// Reads the first sheet of an .xlsx written by the program back, through the
// system's unzip and Qt's XML reader: every cell's text (shared strings
// resolved, numbers as the file stores them), whether it is a number, and
// its number format code ("" for none).
#include <QMap>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QXmlStreamReader>

struct CellaXlsx {
    QString testo;
    bool numero = false;
    QString formato;
};

class LettoreXlsx {
public:
    explicit LettoreXlsx(const QString& file) {
        const QStringList condivise = stringhe(estrai(file, "xl/sharedStrings.xml"));
        const QMap<int, QString> stili = formatiStili(estrai(file, "xl/styles.xml"));
        QXmlStreamReader x(estrai(file, "xl/worksheets/sheet1.xml"));
        QString rif, tipo;
        int stile = 0;
        while (!x.atEnd()) {
            x.readNext();
            if (x.isStartElement() && x.name() == QLatin1String("c")) {
                rif = x.attributes().value(QLatin1String("r")).toString();
                tipo = x.attributes().value(QLatin1String("t")).toString();
                stile = x.attributes().value(QLatin1String("s")).toInt();
            } else if (x.isStartElement() && x.name() == QLatin1String("v")) {
                const QString v = x.readElementText();
                CellaXlsx c;
                c.numero = tipo.isEmpty() || tipo == QLatin1String("n");
                c.testo = tipo == QLatin1String("s") ? condivise.value(v.toInt()) : v;
                c.formato = c.numero ? stili.value(stile) : QString();
                celle[rif] = c;
            }
        }
        valido = !x.hasError() && !celle.isEmpty();
    }

    bool valido = false;
    QMap<QString, CellaXlsx> celle;  // by reference, "A1"

private:
    static QByteArray estrai(const QString& file, const char* parte) {
        QProcess p;
        p.start(QStringLiteral("unzip"), {QStringLiteral("-p"), file, QString::fromLatin1(parte)});
        p.waitForFinished(30000);
        return p.readAllStandardOutput();
    }
    static QStringList stringhe(const QByteArray& xml) {
        QStringList r;
        QXmlStreamReader x(xml);
        while (!x.atEnd()) {
            x.readNext();
            if (x.isStartElement() && x.name() == QLatin1String("t")) r << x.readElementText();
        }
        return r;
    }
    // Style index -> format code, for the built-in General (0) and the custom codes.
    static QMap<int, QString> formatiStili(const QByteArray& xml) {
        QMap<int, QString> codici;
        QMap<int, QString> stili;
        QXmlStreamReader x(xml);
        bool inXfs = false;
        int n = 0;
        while (!x.atEnd()) {
            x.readNext();
            if (x.isStartElement() && x.name() == QLatin1String("numFmt"))
                codici[x.attributes().value(QLatin1String("numFmtId")).toInt()] =
                    x.attributes().value(QLatin1String("formatCode")).toString();
            if (x.isStartElement() && x.name() == QLatin1String("cellXfs")) inXfs = true;
            if (x.isEndElement() && x.name() == QLatin1String("cellXfs")) inXfs = false;
            if (inXfs && x.isStartElement() && x.name() == QLatin1String("xf")) {
                const int id = x.attributes().value(QLatin1String("numFmtId")).toInt();
                stili[n++] = id == 0 ? QString() : codici.value(id, QStringLiteral("#%1").arg(id));
            }
        }
        return stili;
    }
};
