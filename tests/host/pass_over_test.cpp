// The one rule for a step that may fail: a run-time failure of the data or a
// component is passed over, a fault of the program reaches the caller.
#include <gtest/gtest.h>

#include <functional>
#include <new>
#include <stdexcept>
#include <string>
#include <system_error>
#include <vector>

#include "host/base/pass_over.h"
#include "host/tsql/tsql_error.h"
#include "orvasaleprice/com_error.h"

namespace orva {
namespace {

struct Case {
    const char* name;
    std::function<void()> raise;
    bool passedOver;
};

std::vector<Case> Cases() {
    return {
        {"nothing", [] {}, true},
        {"ComError", [] { throw ComError(ComError::kDatabase, "no table"); }, true},
        {"TsqlError", [] { throw tsql::TsqlError("bad text", 0); }, true},
        {"system_error", [] { throw std::system_error(std::make_error_code(std::errc::io_error)); },
         true},
        {"logic_error", [] { throw std::logic_error("bug"); }, false},
        {"out_of_range", [] { (void)std::string().at(1); }, false},
        {"invalid_argument", [] { throw std::invalid_argument("bug"); }, false},
        {"bad_alloc", [] { throw std::bad_alloc(); }, false},
    };
}

TEST(PassOverTest, RunTimeFailuresArePassedOverProgramFaultsReachTheCaller) {
    for (const Case& c : Cases()) {
        SCOPED_TRACE(c.name);
        bool completed = false;
        auto step = [&] {
            c.raise();
            completed = true;
        };
        auto valued = [&] {
            c.raise();
            return 7;
        };
        if (!c.passedOver) {
            EXPECT_ANY_THROW(PassOver(step));
            EXPECT_ANY_THROW(PassOver(valued, -1));
            continue;
        }
        const bool done = PassOver(step);
        EXPECT_EQ(done, completed);
        EXPECT_EQ(PassOver(valued, -1), done ? 7 : -1);
    }
}

}  // namespace
}  // namespace orva
