#pragma once
// The run-time error a call raises, for tests that check what a failure says.
#include "components/core/ErroreRun.h"

#include <functional>
#include <gtest/gtest.h>

// The number of the error; 0 when the call raises none.
inline long numeroErrore(const std::function<void()>& f) {
    try {
        f();
    } catch (const ErroreRun& e) {
        return e.numero();
    }
    return 0;
}

// The whole error; a call that raises none is a failure of the test.
inline ErroreRun erroreDi(const std::function<void()>& f) {
    try {
        f();
    } catch (const ErroreRun& e) {
        return e;
    }
    ADD_FAILURE() << "nessun errore";
    return ErroreRun(0, {});
}
