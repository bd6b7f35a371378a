#include "host/find/find_sort.h"

#include <unicode/coll.h>
#include <unicode/locid.h>
#include <unicode/unistr.h>

#include <algorithm>
#include <memory>
#include <numeric>
#include <optional>
#include <string>
#include <unordered_map>

#include "host/find/find_criteria.h"

namespace orva {
namespace {

// One key's value of every record, ready to compare: collation keys for
// text, numbers for numbers and dates (dates as yyyymmdd). Empty values are
// flagged and go last.
struct KeyColumn {
    bool descending = false;
    bool text = false;
    std::vector<std::string> collated;
    std::vector<double> numbers;
    std::vector<bool> empty;
};

std::unique_ptr<icu::Collator> ChineseCollator() {
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::Collator> c(icu::Collator::createInstance(icu::Locale("zh"), status));
    if (U_FAILURE(status))
        return nullptr;
    return c;
}

std::string CollationKey(icu::Collator* collator, const std::string& text) {
    if (!collator)
        return text;
    icu::UnicodeString u = icu::UnicodeString::fromUTF8(
        icu::StringPiece(text.data(), static_cast<int32_t>(text.size())));
    std::string key(static_cast<std::size_t>(text.size() * 4 + 16), '\0');
    int32_t n = collator->getSortKey(u, reinterpret_cast<uint8_t*>(key.data()),
                                     static_cast<int32_t>(key.size()));
    if (n > static_cast<int32_t>(key.size())) {
        key.resize(static_cast<std::size_t>(n));
        n = collator->getSortKey(u, reinterpret_cast<uint8_t*>(key.data()), n);
    }
    key.resize(n > 0 ? static_cast<std::size_t>(n - 1) : 0);  // without the closing zero
    return key;
}

std::optional<double> NumberOf(const Variant& cell) {
    if (cell.IsNull())
        return std::nullopt;
    if (cell.IsNumber())
        return cell.ToDouble();
    return ParseNumber(DisplayText(cell));
}

std::optional<double> DateOf(const Variant& cell) {
    if (cell.IsNull())
        return std::nullopt;
    std::optional<Date> d = cell.ToDate();
    if (!d)
        return std::nullopt;
    return d->year * 10000.0 + d->month * 100.0 + d->day;
}

}  // namespace

std::vector<long> SortOrder(const Recordset& records, const std::vector<FindField>& fields,
                            const std::vector<FindSortKey>& keys) {
    const long count = records.RecordCount();
    std::unique_ptr<icu::Collator> collator;
    std::vector<KeyColumn> columns;
    for (std::size_t k = 0; k < keys.size() && k < static_cast<std::size_t>(kMaxSortKeys); ++k) {
        const FindSortKey& key = keys[k];
        if (key.field < 0 || key.field >= static_cast<int>(fields.size()))
            continue;
        const FindField& field = fields[static_cast<std::size_t>(key.field)];
        const int ordinal = records.ColumnIndex(field.column);
        if (ordinal < 0)
            continue;
        KeyColumn col;
        col.descending = key.descending;
        col.empty.resize(static_cast<std::size_t>(count));
        const FindValueKind kind = field.Kind();
        std::unordered_map<std::string, std::string> keyOf;
        col.text = kind == FindValueKind::kText || kind == FindValueKind::kChoice;
        if (col.text) {
            if (!collator)
                collator = ChineseCollator();
            col.collated.resize(static_cast<std::size_t>(count));
        } else {
            col.numbers.resize(static_cast<std::size_t>(count));
        }
        for (long row = 0; row < count; ++row) {
            const Variant& cell = records.Cell(row, ordinal);
            const auto r = static_cast<std::size_t>(row);
            if (col.text) {
                std::string shown = DisplayText(cell);
                col.empty[r] = shown.empty();
                if (shown.empty())
                    continue;
                // A ledger repeats its names and codes: each text is collated once.
                auto [it, added] = keyOf.try_emplace(std::move(shown));
                if (added)
                    it->second = CollationKey(collator.get(), it->first);
                col.collated[r] = it->second;
            } else {
                std::optional<double> v =
                    kind == FindValueKind::kDate ? DateOf(cell) : NumberOf(cell);
                col.empty[r] = !v;
                col.numbers[r] = v.value_or(0);
            }
        }
        columns.push_back(std::move(col));
    }

    std::vector<long> order(static_cast<std::size_t>(count));
    std::iota(order.begin(), order.end(), 0L);
    std::stable_sort(order.begin(), order.end(), [&](long a, long b) {
        const auto ia = static_cast<std::size_t>(a);
        const auto ib = static_cast<std::size_t>(b);
        for (const KeyColumn& col : columns) {
            const bool ea = col.empty[ia], eb = col.empty[ib];
            if (ea || eb) {
                if (ea == eb)
                    continue;
                return eb;  // the empty one goes last
            }
            int cmp;
            if (col.text)
                cmp = col.collated[ia].compare(col.collated[ib]);
            else
                cmp = col.numbers[ia] < col.numbers[ib] ? -1 : (col.numbers[ib] < col.numbers[ia]);
            if (cmp != 0)
                return col.descending ? cmp > 0 : cmp < 0;
        }
        return false;
    });
    return order;
}

RecordsetPtr SortRecords(const Recordset& records, const std::vector<FindField>& fields,
                         const std::vector<FindSortKey>& keys) {
    return CopyRows(records, SortOrder(records, fields, keys));
}

}  // namespace orva
