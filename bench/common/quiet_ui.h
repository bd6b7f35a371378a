// A user who confirms every question and sees nothing: the host's dialogs
// for a benchmark that runs a command which asks or tells.
#pragma once

#include <cstdint>
#include <string>

#include "host/host_ui.h"

namespace orva::bench {

class QuietUi : public orva::HostUi {
  public:
    void ShowHelp(std::int32_t, const std::string&) override {}
    orva::MsgResult MessageBox(const std::string&, orva::MsgButtons buttons, orva::MsgIcon,
                               const std::string&) override {
        return buttons == orva::MsgButtons::kYesNo ? orva::MsgResult::kYes : orva::MsgResult::kOK;
    }
    std::int32_t ShowMessageDialog(const orva::MessageDialogContent&) override { return 1; }
    void ShowModal(orva::ModalWindow&) override {}
    void ShowAssistant(const std::string&, std::int16_t) override {}
    orva::LookupReply Lookup(const orva::LookupRequest&) override { return {}; }
};

}  // namespace orva::bench
