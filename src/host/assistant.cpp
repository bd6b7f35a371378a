#include "host/assistant.h"

#include "host/host_ui.h"

namespace orva {

void Assistant::Show(std::int16_t mode) {
    CurrentUi().ShowAssistant(description_, mode);
}

}  // namespace orva
