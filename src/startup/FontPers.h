#pragma once
// The suite's custom print fonts, rows of StaLasFontPers in the shared
// database, copied into a print object under the names the report fonts look
// them up by (NomeFontPers: "FFPers-§-" and the number). The program installs
// CaricaFontPers as the print job's shared-font service at start-up, so every
// report's "_Progr" slots can copy them.
//
// Does nothing when no shared database is open or it has no such table; a
// failure while reading is shown and leaves the fonts added before it.
class Stampa;

void CaricaFontPers(Stampa& st);
