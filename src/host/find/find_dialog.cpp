#include "host/find/find_dialog.h"

#include <exception>

#include "host/component_registry.h"
#include "host/gl_view.h"

namespace orva {
namespace {

// Marks a text as a translation key; the dialog shows it localised.
constexpr const char* N_(const char* text) {
    return text;
}

FindCriterion FreshRow(const std::vector<FindField>& fields, int field) {
    FindCriterion row;
    row.field = field;
    if (field >= 0 && field < static_cast<int>(fields.size())) {
        const FindField& f = fields[static_cast<std::size_t>(field)];
        row.op = OperatorsFor(f.Kind()).front();
        if (f.Kind() == FindValueKind::kChoice && !f.choices.empty())
            row.value = f.choices.front();
    }
    return row;
}

}  // namespace

FindDialog::FindDialog(int mode, bool searchAll, std::vector<FindField> fields,
                       FindCriteria criteria, std::vector<FindSortKey> sortKeys, Runner runner)
    : mode_(mode),
      searchAll_(searchAll),
      fields_(std::move(fields)),
      criteria_(std::move(criteria)),
      sortKeys_(std::move(sortKeys)),
      runner_(std::move(runner)) {
    if (criteria_.rows.empty() && !fields_.empty())
        criteria_.rows.push_back(FreshRow(fields_, 0));
    if (sortKeys_.empty() && !fields_.empty())
        sortKeys_.push_back(FindSortKey{0, false});
}

const char* FindDialog::TitleKey() const {
    if (searchAll_)
        return N_("查找");
    switch (mode_) {
        case kFilter:
            return N_("过滤");
        case kSort:
            return N_("排序");
        default:
            return N_("搜索");
    }
}

bool FindDialog::ValidRow(int row) const {
    return row >= 0 && row < static_cast<int>(criteria_.rows.size());
}

void FindDialog::SetCriteria(FindCriteria criteria) {
    criteria_ = std::move(criteria);
    Changed();
}

void FindDialog::SetJoin(FindJoin join) {
    criteria_.join = join;
    Changed();
}

void FindDialog::AddRow() {
    criteria_.rows.push_back(FreshRow(fields_, 0));
    Changed();
}

void FindDialog::RemoveRow(int row) {
    if (!ValidRow(row))
        return;
    criteria_.rows.erase(criteria_.rows.begin() + row);
    Changed();
}

void FindDialog::SetField(int row, int field) {
    if (!ValidRow(row) || field < 0 || field >= static_cast<int>(fields_.size()))
        return;
    FindCriterion& r = criteria_.rows[static_cast<std::size_t>(row)];
    const int old = r.field;
    const bool sameKind = old >= 0 && old < static_cast<int>(fields_.size()) &&
                          fields_[static_cast<std::size_t>(old)].Kind() ==
                              fields_[static_cast<std::size_t>(field)].Kind() &&
                          fields_[static_cast<std::size_t>(field)].Kind() != FindValueKind::kChoice;
    if (sameKind) {
        r.field = field;
    } else {
        r = FreshRow(fields_, field);
    }
    Changed();
}

void FindDialog::SetOperator(int row, FindOp op) {
    if (!ValidRow(row))
        return;
    criteria_.rows[static_cast<std::size_t>(row)].op = op;
    Changed();
}

void FindDialog::SetValue(int row, std::string value) {
    if (ValidRow(row))
        criteria_.rows[static_cast<std::size_t>(row)].value = std::move(value);
}

void FindDialog::SetValue2(int row, std::string value) {
    if (ValidRow(row))
        criteria_.rows[static_cast<std::size_t>(row)].value2 = std::move(value);
}

bool FindDialog::CanPick(int row) const {
    if (!ValidRow(row))
        return false;
    const int field = criteria_.rows[static_cast<std::size_t>(row)].field;
    if (field < 0 || field >= static_cast<int>(fields_.size()))
        return false;
    const FindField& f = fields_[static_cast<std::size_t>(field)];
    return f.Kind() == FindValueKind::kText &&
           (f.lookUp == 1 || f.lookUp == 4 || f.lookUp == 7 || f.lookUp == 12);
}

void FindDialog::Pick(int row) {
    if (!CanPick(row))
        return;
    FindCriterion& r = criteria_.rows[static_cast<std::size_t>(row)];
    const FindField& f = fields_[static_cast<std::size_t>(r.field)];
    try {
        auto view = ComponentRegistry::Create<GLView>(GLView::kProgID);
        BaseDataLookupPtr lookup;
        if (f.lookUp == 7) {
            lookup = view->UnitLookup(0, r.value);  // units of every group
        } else if (f.lookUp == 12) {
            lookup = view->CurrencyLookup(r.value);
        } else {
            Dictionary params;
            params.SetValue("BeShortNumber", shortNumber_);
            params.SetValue("Search", r.value);
            lookup = view->ItemLookUp(f.lookUp, r.value, "", params);
        }
        if (!lookup || !lookup->ReturnOK() || !lookup->ReturnObject())
            return;
        const Dictionary& record = *lookup->ReturnObject();
        std::string key = "FName";
        if (f.valueType == 1)
            key = shortNumber_ && record.Exists("FShortNumber") ? "FShortNumber" : "FNumber";
        r.value = record.Value(key).ToText();
        notice_ = {};
    } catch (const std::runtime_error& e) {
        notice_ = {N_("无法打开基础资料列表"), row, e.what()};
    }
    Changed();
}

void FindDialog::SetSortKeys(std::vector<FindSortKey> keys) {
    if (keys.size() > static_cast<std::size_t>(kMaxSortKeys))
        keys.resize(static_cast<std::size_t>(kMaxSortKeys));
    sortKeys_ = std::move(keys);
    Changed();
}

void FindDialog::SetStatus(FindNotice status) {
    status_ = std::move(status);
    Changed();
}

void FindDialog::Run() {
    if (mode_ == kSort ? sortKeys_.empty() : criteria_.rows.empty()) {
        notice_ = {mode_ == kSort ? N_("请选择排序字段") : N_("请至少输入一个条件"), -1, {}};
        Changed();
        return;
    }
    FindNotice answer = runner_ ? runner_(criteria_, sortKeys_) : FindNotice{};
    if (!answer.Empty()) {
        notice_ = std::move(answer);
        Changed();
        return;
    }
    confirmed_ = true;
    notice_ = {};
    Hide();
}

void FindDialog::Cancel() {
    confirmed_ = false;
    Hide();
}

}  // namespace orva
