#include "engine/batch_progress.h"

#include <exception>

#include "engine/batch_values.h"
#include "engine/engine_values.h"
#include "host/app_connection.h"
#include "host/base/pass_over.h"
#include "model/sql_values.h"

namespace orva::batch {

MemberProgress::MemberProgress(const std::string& caption, const std::vector<std::int32_t>& members,
                               bool items, AppConnection& db, bool shortNumber)
    : scope_(caption, static_cast<std::int64_t>(members.size())),
      members_(members),
      items_(items),
      db_(db),
      shortNumber_(shortNumber) {}

bool MemberProgress::Next(std::size_t index) {
    if (!scope_.Watched())
        return true;
    return scope_.Step(static_cast<std::int64_t>(index),
                       scope_.TextWanted() ? Label(index) : std::string());
}

bool MemberProgress::Advance(std::size_t done) {
    if (!scope_.Watched())
        return true;
    return scope_.Step(static_cast<std::int64_t>(done),
                       done < members_.size() && scope_.TextWanted() ? Label(done) : std::string());
}

std::string MemberProgress::Label(std::size_t index) {
    const std::string id = SqlId(members_[index]);
    // Without its code and name the member is shown by its ID; the batch
    // itself goes on.
    std::string label = id;
    PassOver([&] {
        RecordsetPtr rs = db_.GetAnyRecordset(
            "SELECT FNumber,FShortNumber,FName FROM t_Item WHERE FItemID=" + id +
            " AND FItemClassID=" + (items_ ? "4" : "1"));
        if (HasRow(rs)) {
            label = FieldText(*rs, shortNumber_ ? "FShortNumber" : "FNumber") + "(" +
                    FieldText(*rs, "FName") + ")";
        }
    });
    return label;
}

std::string ClosingText(const std::string& prefix, std::int64_t count, const std::string& suffix,
                        const std::string& stopNote) {
    std::string text = CountText(prefix, count, suffix);
    if (!stopNote.empty())
        text += "\n" + stopNote;
    return text;
}

}  // namespace orva::batch
