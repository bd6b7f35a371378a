// "TesmarAssistant.Assistant": a short notice the host shows in its assistant
// balloon (the module tells a refused function right this way).
#pragma once

#include <cstdint>
#include <string>

namespace orva {

class Assistant {
  public:
    static constexpr const char* kProgID = "TesmarAssistant.Assistant";

    void Description(const std::string& text) { description_ = text; }
    const std::string& Description() const { return description_; }
    // Shows the description through the current user interface.
    void Show(std::int16_t mode);

  private:
    std::string description_;
};

}  // namespace orva
