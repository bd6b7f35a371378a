// What a call raised, for tests that check the error a step must raise.
//
//   EXPECT_EQ(ComErrorNumber([&] { rs->MoveNext(); }), ComError::kNoCurrentRecord);
#pragma once

#include <functional>
#include <optional>

#include "orvasaleprice/com_error.h"

namespace orva::test {

// The ComError the call raised; none when it returned.
inline std::optional<ComError> ComErrorOf(const std::function<void()>& call) {
    try {
        call();
    } catch (const ComError& e) {
        return e;
    }
    return std::nullopt;
}

// The number of the ComError the call raised; 0 when it returned.
inline std::int32_t ComErrorNumber(const std::function<void()>& call) {
    const std::optional<ComError> e = ComErrorOf(call);
    return e ? e->Number() : 0;
}

}  // namespace orva::test
