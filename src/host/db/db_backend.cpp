#include "host/db/db_backend.h"

#include "orvasaleprice/com_error.h"

namespace orva {

void DbBackend::RunNativeScript(const std::vector<std::string>& /*statements*/) {
    throw ComError(ComError::kDatabase,
                   "This connection (" + Describe() +
                       ") takes no statements in its engine's own SQL: the company cannot be "
                       "upgraded through it.",
                   kConnectionProgID);
}

}  // namespace orva
