#pragma once
// Names of the settlement run: the output folder and the proposed file name,
// the folder of a name picked in the file dialog, the company id put into a
// file name; the completion of another company's database path is shared.
#include "common/NomeDbAzienda.h"

#include <QString>

// The placeholder the writer replaces with each company's tax code.
inline const QString kSegnapostoCodFisc = QStringLiteral("§CodFisc§");

// [Base] DirCaDi, else [Base] DriveDB + DirDB; when all of them are blank the
// user's home folder, so that a proposed name never lands at the root.
QString CartellaUscitaLiqIva();

// Folder + "IT§CodFisc§_LI_" + year + number + ".txt" or ".xml".
QString NomeFileProposto(const QString& cartella, const QString& anno, const QString& numero, bool formatoTxt);

// The folder of a path, with its closing separator ("\" or "/"); "" when the
// path has no folder.
QString CartellaDelPercorso(const QString& percorso);

// The id put directly before the extension of the file name, or at its end
// when the file name has none; a dot in a folder name does not count.
QString InserisciIdNelNome(const QString& nome, const QString& id);
