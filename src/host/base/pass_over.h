// The module's one rule for a step that may fail. A step fails at run time by
// raising a std::runtime_error: a ComError from the connection, a record set
// or a control, or another error of the data, a file or the host. Where the
// module goes on past a failing step, it runs the step through PassOver: the
// step is skipped and the caller carries on with the next one.
//
// Everything else that a step raises is a fault of the program, not of the
// data (std::logic_error and its children such as std::out_of_range, a bad
// variant access, memory exhaustion), and passes through.
#pragma once

#include <stdexcept>
#include <type_traits>
#include <utility>

namespace orva {

// Runs the step; true when it completed, false when it failed and was
// passed over.
template <class Step>
bool PassOver(Step&& step) {
    try {
        std::forward<Step>(step)();
        return true;
    } catch (const std::runtime_error&) {
        return false;
    }
}

// Runs a step that yields a value; the fallback when it failed and was
// passed over.
template <class Step, class T>
std::invoke_result_t<Step> PassOver(Step&& step, T&& fallback) {
    try {
        return std::forward<Step>(step)();
    } catch (const std::runtime_error&) {
        return std::forward<T>(fallback);
    }
}

}  // namespace orva
