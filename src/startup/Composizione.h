#pragma once
// The program's wiring: the real forms in place of the placeholders and the
// printer routines behind the print job. Whatever starts the program (main,
// the demo tools, the end-to-end tests) calls this once before InizProgramma.
class Ospite;

void InstallaProgramma(Ospite& ospite);
