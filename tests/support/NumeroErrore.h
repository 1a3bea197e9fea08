#pragma once
// The number of the run-time error a call raises; 0 when it raises none.
#include "components/core/ErroreRun.h"

#include <functional>

inline long numeroErrore(const std::function<void()>& f) {
    try {
        f();
    } catch (const ErroreRun& e) {
        return e.numero();
    }
    return 0;
}
