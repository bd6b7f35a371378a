#include "engine/batch_progress.h"

#include <algorithm>
#include <exception>

#include "engine/batch_values.h"
#include "engine/engine_values.h"
#include "entry/globals.h"
#include "host/app_connection.h"
#include "model/sql_values.h"
#include "resources/res_text.h"

namespace orva::batch {
namespace {

// Codes and names are read for this many members at a time, as the batch
// reaches them: one query per block keeps a large group's start quick.
constexpr std::size_t kLabelBlock = 500;

}  // namespace

MemberProgress::MemberProgress(const std::string& caption, const std::vector<std::int32_t>& members,
                               bool items, AppConnection& db)
    : scope_(caption, static_cast<std::int64_t>(members.size())),
      members_(members),
      items_(items),
      db_(db) {}

bool MemberProgress::Next(std::size_t index) {
    if (!scope_.Watched())
        return true;
    return scope_.Step(static_cast<std::int64_t>(index), Label(index));
}

bool MemberProgress::Advance(std::size_t done) {
    if (!scope_.Watched())
        return true;
    return scope_.Step(static_cast<std::int64_t>(done),
                       done < members_.size() ? Label(done) : std::string());
}

std::string MemberProgress::Label(std::size_t index) {
    if (index >= loadedTo_)
        LoadLabels(index);
    const std::int32_t id = members_[index];
    auto it = labels_.find(id);
    return it != labels_.end() ? it->second : SqlId(id);
}

void MemberProgress::LoadLabels(std::size_t from) {
    labels_.clear();
    loadedTo_ = std::min(members_.size(), from + kLabelBlock);
    std::string list;
    for (std::size_t i = from; i < loadedTo_; ++i) {
        if (!list.empty())
            list += ',';
        list += SqlId(members_[i]);
    }
    try {
        RecordsetPtr rs = db_.GetAnyRecordset(
            "SELECT FItemID,FNumber,FShortNumber,FName FROM t_Item WHERE FItemClassID=" +
            std::string(items_ ? "4" : "1") + " AND FItemID IN (" + list + ")");
        if (!HasRow(rs))
            return;
        for (rs->MoveFirst(); !rs->EOF_(); rs->MoveNext()) {
            const std::string code = FieldText(*rs, g_UseShortNumber ? "FShortNumber" : "FNumber");
            labels_[static_cast<std::int32_t>(rs->Fields("FItemID").Value().ToInteger())] =
                code + "(" + FieldText(*rs, "FName") + ")";
        }
    } catch (const std::exception&) {
        // Without codes and names the members are shown by their IDs; the
        // batch itself goes on.
    }
}

std::string ClosingText(const std::string& prefix, std::int64_t count, const std::string& suffix,
                        bool stopped) {
    std::string text = CountText(prefix, count, suffix);
    if (stopped)
        text += "\n" + GetResText("操作已被用户中止。");
    return text;
}

}  // namespace orva::batch
