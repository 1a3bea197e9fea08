#pragma once
// The file of a company database named in the shared table Aziende, as a run
// over several companies opens it: a bare or folder-relative name completed
// with the settings' drive and folder.
#include <QString>

// Completes a company database file name with [Connessioni] DriveDB and
// [Base] DirDB. A drive path, a network path and a local absolute path are
// already complete, and a data-source name (a database on the server) is
// left as it is.
void PreparaNomeDB(QString& nome);
