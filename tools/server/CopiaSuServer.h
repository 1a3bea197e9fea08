#pragma once
// Copies a database file into a database on the server: the schema script of
// the program (as the server takes it) creates the tables, then every row of
// each table the two have in common goes across in one transaction. The
// demo and the tests make their data as files and put them on the server so.
#include <QString>

class GestoreDb;

// `idFile` and `idServer` are open in `gestDb`; `schema` is the text of a
// script of schema/ (empty when the server's tables exist already). Returns
// the rows copied. A failure raises the layer's run-time error and leaves
// the server's tables as they were.
long CopiaSuServer(GestoreDb& gestDb, const QString& idFile, const QString& idServer, const QString& schema);
