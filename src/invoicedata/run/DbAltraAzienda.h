#pragma once
// Another company's database for a run over a range of companies: the row of
// the shared company list (Aziende) gives its file and whether it has a
// password; the database is opened through CredenzialiDb. The caller closes
// what it opened with GestoreDb::ChiudiDatabase.
#include <QString>

// True when the company is in the list and its database opened, idDb then
// holding the server's id; false (idDb unchanged) for an id not in the list
// (no message) or an opening that failed (already reported).
bool ApriAltroDb(QString& idDb, const QString& idAzienda);
