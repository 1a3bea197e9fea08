#include "DbMenu.h"

#include "components/core/ErroreRun.h"
#include "components/db/GestRecordset.h"
#include "components/db/GestoreDb.h"

#include <QFileInfo>

DbMenu::DbMenu(const QString& file) : db_(std::make_unique<GestoreDb>()) {
    if (file.isEmpty() || !QFileInfo::exists(file)) return;
    try {
        id_ = db_->ApriDatabase(file);
    } catch (const ErroreRun&) {
        id_.clear();
    }
}

DbMenu::~DbMenu() = default;

QHash<QString, QString> DbMenu::Didascalie(const QString& chiavePrg) const {
    QHash<QString, QString> didascalie;
    if (!Aperto()) return didascalie;
    try {
        if (!db_->DatabaseDaId(id_)->EsisteTabella(QStringLiteral("MenuDett"))) return didascalie;
        GestRecordset rs;
        const QString k = rs.ApriRecordset(*db_, id_, QString(),
                                           QStringLiteral("SELECT Chiave, ChiaveSec, Caption FROM MenuDett"));
        for (; !rs.FineRec(k); rs.RecSuccessivo(k)) {
            if (rs.LeggiCampo(k, QStringLiteral("Chiave")).testo().compare(chiavePrg, Qt::CaseInsensitive) != 0)
                continue;
            const QString sec = rs.LeggiCampo(k, QStringLiteral("ChiaveSec")).testo().toLower();
            if (!didascalie.contains(sec)) didascalie.insert(sec, rs.LeggiCampo(k, QStringLiteral("Caption")).testo());
        }
        rs.ChiudiRecordset(k);
    } catch (const ErroreRun&) {
        // A table of another shape: the entries keep the forms' names.
    }
    return didascalie;
}

std::optional<ListaValori> DbMenu::PrimaRiga(const QString& sql, const QString& colonne) const {
    if (!Aperto())
        throw ErroreRun(NumErrore::FileNonTrovato, QStringLiteral("Database comune del menu non disponibile"),
                        QStringLiteral("Menu"));
    GestRecordset rs;
    const QString k = rs.ApriRecordset(*db_, id_, QString(), sql);
    std::optional<ListaValori> riga;
    if (!rs.RecVuoto(k)) {
        riga.emplace();
        for (const QString& c : colonne.split(QLatin1Char(','), Qt::SkipEmptyParts))
            riga->append(rs.LeggiCampoNull(k, c.trimmed()));
    }
    rs.ChiudiRecordset(k);
    return riga;
}
