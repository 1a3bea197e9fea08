#pragma once
// The database server that counts its openings: each name as given, and
// whether the busy pointer was on the screen while it opened.
#include "components/db/GestoreDb.h"

#include <QApplication>
#include <QCursor>
#include <QList>
#include <QStringList>
#include <memory>

class GestoreDbContato : public GestoreDb {
public:
    struct Apertura {
        QString nome;
        bool occupato = false;
    };

    // A counter in place of the fixture's server, with the same login and
    // the fixture's two databases open in it; the openings count from here.
    static std::shared_ptr<GestoreDbContato> AlPostoDi(const GestoreDb& fixture, const QString& azienda,
                                                       const QString& condiviso, QString& idAzienda,
                                                       QString& idCondiviso) {
        auto g = std::make_shared<GestoreDbContato>();
        for (const char* p : {"DbSqlPubUID", "DbSqlPubPWD"})
            g->ScriviProprieta(QString::fromLatin1(p), 12, fixture.LeggiProprieta(QString::fromLatin1(p)));
        idAzienda = g->ApriDatabase(azienda);
        idCondiviso = g->ApriDatabase(condiviso);
        g->aperture.clear();
        return g;
    }

    QString ApriDatabase(const QString& nome, int opzioni = 0, bool esclusivo = false, bool solaLettura = false,
                         const QString& connect = {}) override {
        const QCursor* c = QApplication::overrideCursor();
        aperture.append({nome.trimmed(), c && c->shape() == Qt::WaitCursor});
        return GestoreDb::ApriDatabase(nome, opzioni, esclusivo, solaLettura, connect);
    }

    int Aperture(const QString& nome) const {
        int n = 0;
        for (const Apertura& a : aperture) n += a.nome == nome.trimmed();
        return n;
    }
    // The names opened without the busy pointer, "" when none.
    QString SenzaCursore() const {
        QStringList nomi;
        for (const Apertura& a : aperture)
            if (!a.occupato) nomi << a.nome;
        return nomi.join(QLatin1String(", "));
    }

    QList<Apertura> aperture;
};
