// Which column of a price list holds which value: the caption row is matched
// against the captions the module shows, in Chinese, in the session's
// language and in English, so that a file the ledger exported (in either
// language) and a template filled by hand both read. Captions are compared
// without blanks at either end and without regard to the case of Latin
// letters; a column no caption matches is kept as read and not used.
#pragma once

#include <array>
#include <string>
#include <vector>

namespace orva::import {

enum class Field {
    kCustNumber,
    kCustName,
    kItemNumber,
    kItemName,
    kModel,
    kUnit,
    kStartQty,
    kEndQty,
    kPrice,
    kCurrency,
    kDiscount,
    kLeadTime,
    kQuoteTime,
    kUsed,
    kExpireDate,
    kNote,
    kCount
};

struct FieldCaption {
    Field field;
    const char* caption;  // the Chinese caption, the translation key
};
// Every caption a column may carry, the ledger's and the editor's; the first
// caption of each field is the one a template writes.
extern const std::vector<FieldCaption> kFieldCaptions;

struct Columns {
    std::array<int, static_cast<std::size_t>(Field::kCount)> index{};  // -1: absent

    int operator[](Field f) const { return index[static_cast<std::size_t>(f)]; }
    bool Has(Field f) const { return (*this)[f] >= 0; }
    // The cell of the field in `cells`, empty when absent.
    std::string Cell(const std::vector<std::string>& cells, Field f) const;
};

// The columns of the caption row. A field named twice takes its first column.
Columns MatchColumns(const std::vector<std::string>& captions);

// The captions of a template: one column per field an import reads, in the
// session's language.
std::vector<std::string> TemplateCaptions();

}  // namespace orva::import
