#pragma once
// The file of a company database named in the shared table Aziende, as a run
// over several companies opens it: a bare or folder-relative name completed
// with the settings' drive and folder.
#include <QString>

// Completes a company database file name with [Connessioni] DriveDB and
// [Base] DirDB. A drive path, a network path and a local absolute path are
// already complete.
void PreparaNomeDB(QString& nome);
