#include "host/host_ui.h"

namespace orva {
namespace {

class HeadlessUi : public HostUi {
public:
    void ShowHelp(std::int32_t, const std::string&) override {}
};

std::shared_ptr<HostUi>& Slot() {
    static std::shared_ptr<HostUi> ui = std::make_shared<HeadlessUi>();
    return ui;
}

}  // namespace

HostUi& CurrentUi() { return *Slot(); }

void SetCurrentUi(std::shared_ptr<HostUi> ui) {
    Slot() = ui ? std::move(ui) : std::make_shared<HeadlessUi>();
}

}  // namespace orva
