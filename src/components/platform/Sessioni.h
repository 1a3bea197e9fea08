#pragma once
// The terminal session the program runs in, for matching printer names to
// it. Linux offers no list of terminal sessions: the number comes from the
// environment variable COMIVA_SESSIONE (a whole number 0 or above) when it is
// set; otherwise, or when it holds anything else, there is no session list
// and the answer is 0.
#include <QString>

inline const char* const VariabileSessione = "COMIVA_SESSIONE";

int InfoSessione();
