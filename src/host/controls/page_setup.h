// The page setup of a printed ledger: the window's printer settings, kept by
// its ledger and saved between sessions. Sizes in millimetres.
#pragma once

#include <string>

namespace orva {

struct PageSetup {
    // A paper name the printing side knows ("A4", "A3", "Letter", "Legal", ...).
    std::string paper = "A4";
    bool landscape = false;
    double marginLeft = 15;
    double marginTop = 15;
    double marginRight = 15;
    double marginBottom = 15;
    // Columns wider than the page are scaled to fit it (true) or continue
    // on further pages (false).
    bool fitToWidth = true;

    bool operator==(const PageSetup&) const = default;
};

}  // namespace orva
