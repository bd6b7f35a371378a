// The browse window's saved settings in the host's settings store
// (application "OrvaSalePrice"), each key declared once here with its
// default. Section "OrvaCustInfo" is the host's and holds the keys the host
// knows (the grouping, the node, the ledger row, the columns); what the
// window keeps beyond them (the page setup, the tree's width) lives in a
// section of its own, "BrowseBase", where no key of the host's can meet it.
#pragma once

#include <cstdint>
#include <string>

#include "host/settings_store.h"

namespace orva::browse_settings {

inline constexpr const char* kApp = "OrvaSalePrice";
inline constexpr const char* kSection = "OrvaCustInfo";  // the host's
inline constexpr const char* kOwnSection = "BrowseBase";
inline constexpr int kDefaultColWidth = 1200;  // twips

inline bool NonNegative(const std::int32_t& v) {
    return v >= 0;
}
inline bool Positive(const std::int32_t& v) {
    return v > 0;
}

// The tree the user chose last (true: customers). Its default is the host's
// grouping, which stays when nothing usable is saved.
inline SettingKey<bool> CategoryByCust(bool hostValue) {
    return {kApp, kSection, "CategoryByCust", hostValue};
}
// Written at close for the host's own use: the selected node's key, its
// parent's key and the ledger's selected row.
inline SettingKey<std::string> TvwKey() {
    return {kApp, kSection, "tvwKey101", ""};
}
inline SettingKey<std::string> TvwParentKey() {
    return {kApp, kSection, "tvwKey101_Parent", ""};
}
inline SettingKey<std::int32_t> LdgSelRow() {
    return {kApp, kSection, "LdgSelRow", 0, NonNegative};
}
// Width and hidden flag of ledger column `col`, per tree: "<col>CustCol",
// "<col>CustColHide" in the customer tree, "<col>ICItemCol",
// "<col>ICItemColHide" in the item tree.
inline SettingKey<std::int32_t> ColWidth(bool itemTree, int col) {
    return {kApp, kSection, std::to_string(col) + (itemTree ? "ICItemCol" : "CustCol"),
            kDefaultColWidth, NonNegative};
}
inline SettingKey<bool> ColHidden(bool itemTree, int col) {
    return {kApp, kSection, std::to_string(col) + (itemTree ? "ICItemColHide" : "CustColHide"),
            false};
}

// The ledger's page setup: paper name, orientation, margins in millimetres
// ("left,top,right,bottom") and whether wide ledgers are fitted to the page.
// Earlier versions kept these keys in the host's section; a value found
// there is taken over once (RestorePageSetup).
inline SettingKey<std::string> PrintPaper() {
    return {kApp, kOwnSection, "PrintPaper", "A4"};
}
inline SettingKey<bool> PrintLandscape() {
    return {kApp, kOwnSection, "PrintLandscape", false};
}
inline SettingKey<std::string> PrintMargins() {
    return {kApp, kOwnSection, "PrintMargins", ""};
}
inline SettingKey<bool> PrintFitToWidth() {
    return {kApp, kOwnSection, "PrintFitToWidth", true};
}
// The tree's width (twips) where the user left the splitter; 0 or absent:
// the layout's first width.
inline SettingKey<std::int32_t> TreeWidth() {
    return {kApp, kOwnSection, "TreeWidth", 0, Positive};
}

}  // namespace orva::browse_settings
