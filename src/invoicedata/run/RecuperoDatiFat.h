#pragma once
// Puts right, before anything else of a run, what a run stopped between the
// commit of its marks and the final names of its files left behind (a kill,
// a crash, a rename refused): the record of pending renames of the company
// database (RinomineDatiFat) names each such file.
//
// Contract: inside one write transaction of the company database, each send
// or cancellation found is either completed (every file is still there, under
// its temporary or its final name: each takes its final name) or undone (a
// file is gone: the marks go back to "not sent" or "not cancelled" and the
// files still there go back to their temporary names), its record deleted
// with the run lock it left; the user is told which. False after a message
// when it could not be done: the run must not go on with that company.
// A send whose lock row another terminal still holds is left alone unless
// `ancheDiAltriTerminali` (the reset the user confirmed): that terminal may
// be naming its files right now, in a folder this one does not see.
#include <QString>

bool RecuperaInviiSospesi(const QString& idDb, const QString& idAzienda, bool ancheDiAltriTerminali = false);
