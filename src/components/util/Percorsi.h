#pragma once
// Paths found in settings files and data were written on Windows. They are
// turned into local paths here, and only here, right before a file is opened.
#include <QString>

// Environment variable naming the folder under which drive letters and network
// shares live; without it, "comiva" in the user's home folder.
inline constexpr const char* VariabileRadiceUnita = "COMIVA_RADICE_UNITA";

QString RadiceUnita();

// "C:\Dati\x.ini" -> <radice>/c/Dati/x.ini; "\\server\share\x" ->
// <radice>/unc/server/share/x; other paths get "/" for "\". When the path does
// not exist as written, each part is looked up without regard to case, as
// Windows does. An empty path stays empty.
QString PercorsoLocale(const QString& percorso);
