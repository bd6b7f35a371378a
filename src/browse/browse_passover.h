// The browse window's way of running steps that "continue past any failing
// step": a step that raises a ComError (a database or control failure) is
// skipped and the caller goes on with the next one. Other exceptions are
// faults of the program, not of the data, and pass through.
#pragma once

#include "host/com_error.h"

namespace orva {

// Runs the step; true when it completed, false when it failed and was
// passed over.
template <class Step>
bool PassOver(Step&& step) {
    try {
        step();
        return true;
    } catch (const ComError&) {
        return false;
    }
}

}  // namespace orva
