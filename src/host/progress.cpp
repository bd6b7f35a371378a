#include "host/progress.h"

#include "host/host_ui.h"

namespace orva {

ProgressScope::ProgressScope(const std::string& caption, std::int64_t total,
                             const std::string& text, bool cancellable)
    : receiver_(CurrentUi().CreateProgress()) {
    if (receiver_)
        receiver_->Begin(caption, total < 0 ? 0 : total, text, cancellable);
}

ProgressScope::~ProgressScope() {
    End();
}

bool ProgressScope::Step(std::int64_t done, const std::string& text) {
    if (!receiver_)
        return true;
    if (cancelled_)
        return false;
    receiver_->Step(done, text);
    cancelled_ = receiver_->Cancelled();
    return !cancelled_;
}

void ProgressScope::End() {
    if (!receiver_)
        return;
    // A Cancel that arrives after the last step found the work done: it does
    // not make the work stopped.
    std::unique_ptr<Progress> receiver = std::move(receiver_);
    receiver->End();
}

}  // namespace orva
