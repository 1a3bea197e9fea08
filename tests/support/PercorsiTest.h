#pragma once
// Where the tests and the benchmarks find the tree's files and the build's
// programs. The paths are compiled into PercorsiTest.cpp alone: no other
// object carries the folder of its clone, so every clone of the tree shares
// the compiler cache.
#include <QString>

QString CartellaSorgenti();  // the root of the tree
QString CartellaBin();       // the build folder, where the programs are
QString CartellaXsd();       // the tax authority's schemas (data/xsd)
QString CartellaSchema();    // the table definitions (schema)
