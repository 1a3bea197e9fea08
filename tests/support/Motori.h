#pragma once
// The same cases on a database file and on the tests' PostgreSQL server: a
// fixture whose constructor takes the engine becomes value-parametrised with
//   using XMotori = SuMotori<X>;
//   TEST_P(XMotori, ...)
//   INSTANTIATE_TEST_SUITE_P(Motori, XMotori, ValoriMotori(), NomeMotore);
#include "support/DatabasePg.h"
#include "support/Fixture.h"

#include <gtest/gtest.h>
#include <string>

template <class Base>
class SuMotori : public ::testing::WithParamInterface<Motore>, public Base {
protected:
    // Without a cluster the server's cases are skipped; their world is then
    // built as files, which always can be.
    SuMotori() : Base(DatabasePg::Disponibile() ? GetParam() : Motore::File) {}
    void SetUp() override {
        if (GetParam() == Motore::Server) SALTA_SENZA_PG();
        Base::SetUp();
    }
};

inline auto ValoriMotori() { return ::testing::Values(Motore::File, Motore::Server); }

inline std::string NomeMotore(const ::testing::TestParamInfo<Motore>& p) {
    return p.param == Motore::Server ? "Server" : "File";
}
