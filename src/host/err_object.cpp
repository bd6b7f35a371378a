#include "host/err_object.h"

namespace orva {

void ErrObject::SetFrom(const ComError& e) {
    number_ = e.Number();
    description_ = e.Description();
    source_ = e.Source();
    helpFile_.clear();
    helpContext_ = 0;
}

void ErrObject::Clear() {
    *this = ErrObject();
}

void ErrObject::Raise() const {
    throw ComError(number_, description_, source_);
}

ErrObject& Err() {
    // Process-wide: the one error object every handler reads, as the
    // platform's Err is.
    static ErrObject err;
    return err;
}

}  // namespace orva
