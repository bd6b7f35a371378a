#include "host/find/find_criteria.h"

#include <algorithm>
#include <cmath>

#include "host/base/text_util.h"
#include "host/find/text_fold.h"

namespace orva {
namespace {

// Marks a text as a translation key; the dialog shows it localised.
constexpr const char* N_(const char* text) {
    return text;
}

std::string TrimBlanks(std::string_view s) {
    while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
    while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
    return std::string(s);
}

bool NearlyEqual(double a, double b) {
    const double scale = std::max({1.0, std::fabs(a), std::fabs(b)});
    return std::fabs(a - b) <= 1e-9 * scale;
}

std::optional<double> CellNumber(const Variant& cell) {
    if (const std::int64_t* i = cell.AsInteger())
        return static_cast<double>(*i);
    if (const double* d = cell.AsDouble())
        return *d;
    if (const std::string* s = cell.AsText())
        return ParseNumber(*s);
    return std::nullopt;
}

bool CellIsSet(const Variant& cell) {
    if (cell.IsNull())
        return false;
    if (cell.IsNumber())
        return cell.ToDouble() != 0;
    const std::string t = TrimBlanks(cell.ToText());
    return EqualsNoCase(t, "Y") || EqualsNoCase(t, "True") || t == "1" || t == "-1";
}

// An ordered comparison; `eqA` and `eqB` tell whether v equals the bounds
// and are asked only when the order alone does not decide.
template <class T, class EqA, class EqB>
bool Compare(FindOp op, const T& v, const T& a, const T& b, EqA eqA, EqB eqB) {
    switch (op) {
        case FindOp::kEquals:
            return eqA();
        case FindOp::kNotEqual:
            return !eqA();
        case FindOp::kLess:
            return v < a && !eqA();
        case FindOp::kLessEqual:
            return v < a || eqA();
        case FindOp::kGreater:
            return a < v && !eqA();
        case FindOp::kGreaterEqual:
            return a < v || eqA();
        case FindOp::kBetween:
            return (a < v || eqA()) && (v < b || eqB());
        default:
            return false;
    }
}

// Reads a typed number or date: the value width-normalised and trimmed.
std::string TypedValue(const std::string& value) {
    return TrimBlanks(NormalizeWidth(value));
}

}  // namespace

std::string DisplayText(const Variant& cell) {
    if (cell.IsNull())
        return {};
    if (const std::string* s = cell.AsText())
        return TrimBlanks(*s);
    return cell.ToText();
}

Date AddDays(const Date& date, int days) {
    // Days from civil and back (proleptic Gregorian calendar).
    auto toDays = [](int y, int m, int d) {
        y -= m <= 2;
        const long era = (y >= 0 ? y : y - 399) / 400;
        const long yoe = y - era * 400;
        const long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
        const long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
        return era * 146097 + doe - 719468;
    };
    long z = toDays(date.year, date.month, date.day) + days + 719468;
    const long era = (z >= 0 ? z : z - 146096) / 146097;
    const long doe = z - era * 146097;
    const long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const long mp = (5 * doy + 2) / 153;
    Date out;
    out.day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    out.month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    out.year = static_cast<int>(yoe + era * 400 + (out.month <= 2));
    return out;
}

bool CheckedCriterion::Matches(const Variant& cell) const {
    switch (kind) {
        case FindValueKind::kText: {
            if (op == FindOp::kEmpty || op == FindOp::kNotEmpty)
                return DisplayText(cell).empty() == (op == FindOp::kEmpty);
            const std::string f = FoldText(DisplayText(cell));
            switch (op) {
                case FindOp::kContains:
                    return f.find(text) != std::string::npos;
                case FindOp::kNotContains:
                    return f.find(text) == std::string::npos;
                case FindOp::kEquals:
                    return f == text;
                case FindOp::kNotEqual:
                    return f != text;
                case FindOp::kBeginsWith:
                    return f.compare(0, text.size(), text) == 0 && f.size() >= text.size();
                case FindOp::kEndsWith:
                    return f.size() >= text.size() &&
                           f.compare(f.size() - text.size(), text.size(), text) == 0;
                default:
                    return false;
            }
        }
        case FindValueKind::kNumber: {
            double x;
            if (const double* d = cell.AsDouble()) {
                x = *d;
            } else {
                const std::optional<double> v = CellNumber(cell);
                if (!v)
                    return false;
                x = *v;
            }
            return Compare(
                op, x, number1, number2, [&] { return NearlyEqual(x, number1); },
                [&] { return NearlyEqual(x, number2); });
        }
        case FindValueKind::kDate: {
            if (cell.IsNull())
                return false;
            const std::optional<Date> v = cell.ToDate();
            if (!v)
                return false;
            const Date d = *v;
            return Compare(
                op, d, date1, date2, [&] { return d == date1; }, [&] { return d == date2; });
        }
        case FindValueKind::kChoice:
            return CellIsSet(cell) == choiceSet;
    }
    return false;
}

std::variant<CheckedCriteria, FindCriteriaError> CheckCriteria(const std::vector<FindField>& fields,
                                                               const FindCriteria& criteria) {
    CheckedCriteria checked;
    checked.join = criteria.join;
    for (std::size_t i = 0; i < criteria.rows.size(); ++i) {
        const FindCriterion& row = criteria.rows[i];
        const int n = static_cast<int>(i);
        if (row.field < 0 || row.field >= static_cast<int>(fields.size()))
            return FindCriteriaError{n, N_("请选择要查找的字段"), {}};
        const FindField& field = fields[static_cast<std::size_t>(row.field)];
        CheckedCriterion c;
        c.field = row.field;
        c.column = field.column;
        c.kind = field.Kind();
        c.op = row.op;
        const std::vector<FindOp>& offered = OperatorsFor(c.kind);
        if (std::find(offered.begin(), offered.end(), row.op) == offered.end())
            return FindCriteriaError{n, N_("该字段不能使用这个条件"), {}};
        const int values = ValuesOf(row.op);
        switch (c.kind) {
            case FindValueKind::kText:
                // The value the database is sent and the one the ledger is
                // compared with are one: an ideographic blank typed around
                // the text is trimmed for both.
                c.typed = TypedValue(row.value);
                c.text = FoldText(c.typed);
                break;
            case FindValueKind::kNumber: {
                double* targets[] = {&c.number1, &c.number2};
                const std::string* typed[] = {&row.value, &row.value2};
                for (int k = 0; k < values; ++k) {
                    const std::string t = TypedValue(*typed[k]);
                    if (t.empty())
                        return FindCriteriaError{n, N_("请输入数值"), {}};
                    std::optional<double> v = ParseNumber(t);
                    if (!v || !std::isfinite(*v))
                        return FindCriteriaError{n, N_("不是有效的数值"), *typed[k]};
                    *targets[k] = *v;
                }
                if (values == 2 && c.number2 < c.number1)
                    std::swap(c.number1, c.number2);
                break;
            }
            case FindValueKind::kDate: {
                Date* targets[] = {&c.date1, &c.date2};
                const std::string* typed[] = {&row.value, &row.value2};
                for (int k = 0; k < values; ++k) {
                    const std::string t = TypedValue(*typed[k]);
                    if (t.empty())
                        return FindCriteriaError{n, N_("请输入日期"), {}};
                    std::optional<Date> v = Date::Parse(t);
                    if (!v)
                        return FindCriteriaError{n, N_("不是有效的日期"), *typed[k]};
                    *targets[k] = *v;
                }
                if (values == 2 && c.date2 < c.date1)
                    std::swap(c.date1, c.date2);
                break;
            }
            case FindValueKind::kChoice: {
                auto it = std::find(field.choices.begin(), field.choices.end(), row.value);
                if (it == field.choices.end())
                    return FindCriteriaError{n, N_("请从列表中选择"), row.value};
                c.choiceSet = it == field.choices.begin();
                break;
            }
        }
        checked.rows.push_back(std::move(c));
    }
    return checked;
}

RowMatcher::RowMatcher(const CheckedCriteria& criteria, const Recordset& records)
    : any_(criteria.join == FindJoin::kAny), records_(records) {
    bound_.reserve(criteria.rows.size());
    for (const CheckedCriterion& c : criteria.rows)
        bound_.push_back({&c, records.ColumnIndex(c.column), -1});
}

void RowMatcher::Fix(std::size_t criterion, bool value) {
    if (criterion < bound_.size())
        bound_[criterion].fixed = value ? 1 : 0;
}

bool RowMatcher::Matches(long row) const {
    if (bound_.empty())
        return true;
    for (const Bound& b : bound_) {
        const bool hit =
            b.fixed >= 0 ? b.fixed == 1
                         : b.ordinal >= 0 && b.criterion->Matches(records_.Cell(row, b.ordinal));
        if (hit == any_)
            return any_;  // one hit decides "any of", one miss "all of"
    }
    return !any_;
}

std::vector<long> FindMatches(const CheckedCriteria& criteria, const Recordset& records) {
    std::vector<long> positions;
    RowMatcher matcher(criteria, records);
    const long count = records.RecordCount();
    for (long row = 0; row < count; ++row) {
        if (matcher.Matches(row))
            positions.push_back(row + 1);
    }
    return positions;
}

RecordsetPtr FilterRecords(const CheckedCriteria& criteria, const Recordset& records) {
    std::vector<long> rows;
    RowMatcher matcher(criteria, records);
    const long count = records.RecordCount();
    for (long row = 0; row < count; ++row) {
        if (matcher.Matches(row))
            rows.push_back(row);
    }
    return CopyRows(records, rows);
}

RecordsetPtr CopyRows(const Recordset& records, const std::vector<long>& rows) {
    const int cols = records.FieldCount();
    std::vector<std::string> columns;
    columns.reserve(static_cast<std::size_t>(cols));
    for (int c = 0; c < cols; ++c) columns.push_back(records.FieldName(c));
    std::vector<Variant> cells;
    cells.reserve(rows.size() * static_cast<std::size_t>(cols));
    for (int c = 0; c < cols; ++c) {
        for (long row : rows) cells.push_back(records.Cell(row, c));
    }
    return std::make_shared<Recordset>(Recordset::ByColumn{}, std::move(columns), std::move(cells),
                                       rows.size());
}

}  // namespace orva
