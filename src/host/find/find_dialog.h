// The find/filter/sort dialog, as logic: the fields on offer, the criterion
// rows joined by "all of" or "any of" (find, filter, search all) or up to
// three sort keys (sort), a message line, and Run and Cancel. The user
// interface shows it modally; the Qt face draws it, tests drive it.
//
// Run (Enter, the OK button) hands the rows to the component's runner. When
// the runner reports a problem (a value that is not a number or date, a
// search that found nothing, a database error) the dialog shows it and stays
// open, nothing having changed; otherwise it closes confirmed. Cancel (Esc,
// the title bar's button) closes it unconfirmed.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "host/controls/signal.h"
#include "host/find/find_criteria.h"
#include "host/find/find_field.h"
#include "host/find/find_sort.h"
#include "host/modal_window.h"

namespace orva {

// A line the dialog shows: a message key (a Chinese text, shown localised),
// the criterion row it concerns (-1 for none) and a detail shown as it is
// (a typed value, a database's description, a count).
struct FindNotice {
    std::string key;
    int row = -1;
    std::string detail;

    bool Empty() const { return key.empty() && detail.empty(); }
};

class FindDialog : public ModalWindow {
  public:
    static constexpr const char* kWindowName = "FFSDialog";
    enum Mode { kFind = 0, kFilter = 1, kSort = 2 };

    // What the runner answers: an empty notice when the dialog may close.
    using Runner = std::function<FindNotice(const FindCriteria& criteria,
                                            const std::vector<FindSortKey>& keys)>;

    FindDialog(int mode, bool searchAll, std::vector<FindField> fields, FindCriteria criteria,
               std::vector<FindSortKey> sortKeys, Runner runner);

    std::string WindowName() const override { return kWindowName; }
    void QueryClose() override { Cancel(); }

    int Mode() const { return mode_; }
    bool SearchAll() const { return searchAll_; }
    // The dialog's title key: "搜索", "过滤", "排序" or, for search all, "查找".
    const char* TitleKey() const;
    const std::vector<FindField>& Fields() const { return fields_; }

    // The rows as the user has them. A new dialog shows the criteria it was
    // given, or one empty row on the first field.
    const FindCriteria& Criteria() const { return criteria_; }
    void SetCriteria(FindCriteria criteria);
    void SetJoin(FindJoin join);
    void AddRow();
    void RemoveRow(int row);
    // Changing a row's field resets its operator to the field's default and
    // empties its values when the kind of value changes.
    void SetField(int row, int field);
    void SetOperator(int row, FindOp op);
    void SetValue(int row, std::string value);
    void SetValue2(int row, std::string value);

    // Whether the row's field takes its value from a base-data list: items
    // (LookUp 4), customers (1), units (7) or currencies (12).
    bool CanPick(int row) const;
    // Opens that list through the host's base-data lookups, searching for
    // the row's value; the picked record's code (ValueType 1: its short code
    // when codes are short) or else its name becomes the value. A lookup
    // that fails is shown on the message line.
    void Pick(int row);
    void SetShortNumber(bool shortNumber) { shortNumber_ = shortNumber; }

    const std::vector<FindSortKey>& SortKeys() const { return sortKeys_; }
    void SetSortKeys(std::vector<FindSortKey> keys);

    // The message line; Status is the line shown before any run (search all:
    // how many matched last time).
    const FindNotice& Notice() const { return notice_; }
    const FindNotice& Status() const { return status_; }
    void SetStatus(FindNotice status);

    void Run();
    void Cancel();
    bool Confirmed() const { return confirmed_; }

    // The rows, keys or message changed (not on typing in a value).
    [[nodiscard]] Subscription Subscribe(std::function<void()> fn) {
        return changed_.Subscribe(std::move(fn));
    }

  private:
    bool ValidRow(int row) const;
    void Changed() { changed_.Emit(); }

    int mode_;
    bool searchAll_;
    std::vector<FindField> fields_;
    FindCriteria criteria_;
    std::vector<FindSortKey> sortKeys_;
    Runner runner_;
    FindNotice notice_;
    FindNotice status_;
    bool confirmed_ = false;
    bool shortNumber_ = false;
    Signal<> changed_;
};

}  // namespace orva
