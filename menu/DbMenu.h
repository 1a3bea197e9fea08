#pragma once
// The menu's reads of the shared database: its entries' captions from
// MenuDett and the first row of a query asked for by the program.
#include "components/core/Valore.h"

#include <QHash>
#include <QString>
#include <memory>
#include <optional>

class GestoreDb;

class DbMenu {
public:
    // An empty path or a file that does not open leaves the menu without it.
    explicit DbMenu(const QString& file);
    ~DbMenu();

    bool Aperto() const { return !id_.isEmpty(); }
    // Caption of each entry of the program key, by lower-case ChiaveSec;
    // nothing when MenuDett is not there.
    QHash<QString, QString> Didascalie(const QString& chiavePrg) const;
    // The named columns of the query's first row; nothing when there is no
    // row. Raises ErroreRun when the query fails or there is no database.
    std::optional<ListaValori> PrimaRiga(const QString& sql, const QString& colonne) const;

private:
    std::unique_ptr<GestoreDb> db_;
    QString id_;
};
