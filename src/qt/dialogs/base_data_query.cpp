#include "qt/dialogs/base_data_query.h"

#include "model/sql_values.h"
#include "session/module_context.h"

namespace orva::qt {
namespace {

std::string Text(const Recordset& rs, const char* field) {
    const Variant& v = rs.Fields(field).Value();
    return v.IsNull() ? std::string() : v.ToText();
}

std::int32_t Id(const Recordset& rs, const char* field) {
    const Variant& v = rs.Fields(field).Value();
    return v.IsNull() ? 0 : static_cast<std::int32_t>(v.ToInteger());
}

void CopyRow(const Recordset& rs, Dictionary& into) {
    for (int i = 0; i < rs.FieldCount(); ++i) into.SetValue(rs.FieldName(i), rs.Fields(i).Value());
}

}  // namespace

namespace {

std::string EscapeLike(const std::string& text) {
    std::string escaped;
    for (char c : text) {
        if (c == '!' || c == '%' || c == '_' || c == '[')
            escaped += '!';
        escaped += c;
    }
    return escaped;
}

// Codes below a group: the group's code, a point, anything.
std::string BelowPattern(const std::string& groupNumber) {
    return SqlText(EscapeLike(groupNumber) + ".%") + " ESCAPE '!'";
}

}  // namespace

std::string ContainsPattern(const std::string& text) {
    return SqlText("%" + EscapeLike(text) + "%") + " ESCAPE '!'";
}

std::shared_ptr<AppConnection> PickerConnection() {
    const std::shared_ptr<AppConnection>& shown = ModuleContext::InForce().g_Connection;
    return shown ? shown : std::make_shared<AppConnection>();
}

BaseDataQuery::BaseDataQuery(PickerSetup setup, std::shared_ptr<AppConnection> db)
    : setup_(std::move(setup)), db_(std::move(db)) {}

std::vector<PickerGroup> BaseDataQuery::Groups() const {
    std::vector<PickerGroup> groups;
    RecordsetPtr rs;
    if (setup_.unitGroups) {
        rs = db_->Execute(
            "SELECT FUnitGroupID AS FItemID, 0 AS FParentID, FNumber, FName FROM t_UnitGroup "
            "ORDER BY FNumber");
    } else if (setup_.itemClass > 0) {
        rs = db_->Execute(
            "SELECT FItemID, FParentID, FNumber, FName FROM t_Item WHERE FItemClassID=" +
            SqlId(setup_.itemClass) + " AND FDetail=0 AND FDeleted=0 ORDER BY FNumber");
    } else {
        return groups;
    }
    for (; !rs->EOF_(); rs->MoveNext())
        groups.push_back(
            {Id(*rs, "FItemID"), Id(*rs, "FParentID"), Text(*rs, "FNumber"), Text(*rs, "FName")});
    return groups;
}

std::string BaseDataQuery::SearchCondition(const std::string& text, bool withShort) const {
    const std::string like = ContainsPattern(text);
    std::string cond = "(FNumber LIKE " + like + " OR FName LIKE " + like;
    if (withShort)
        cond += " OR FShortNumber LIKE " + like;
    return cond + ")";
}

std::string BaseDataQuery::DetailConditions(const PickerGroup* group,
                                            const std::string& search) const {
    std::string where = " WHERE FDeleted=0";
    if (!setup_.baseCondition.empty())
        where += " AND (" + setup_.baseCondition + ")";
    if (!setup_.filter.empty())
        where += " AND (" + setup_.filter + ")";
    if (setup_.unitGroups) {
        if (group)
            where += " AND FUnitGroupID=" + SqlId(group->id);
    } else if (setup_.itemClass > 0 && setup_.hasParent) {
        if (search.empty())
            where += " AND FParentID=" + SqlId(group ? group->id : 0);
        else if (group)
            where += " AND FNumber LIKE " + BelowPattern(group->number);
    }
    if (!search.empty())
        where += " AND " + SearchCondition(search, setup_.hasShortNumber);
    return where;
}

std::vector<PickerRow> BaseDataQuery::Rows(const PickerGroup* group, const std::string& search,
                                           bool* truncated) const {
    std::vector<PickerRow> rows;
    if (truncated)
        *truncated = false;
    // Subgroups (of a t_Item class) first, so the user can go down the tree.
    if (setup_.itemClass > 0 && !setup_.unitGroups) {
        std::string sql = "SELECT TOP " + std::to_string(kRowLimit) +
                          " FItemID, FNumber, FShortNumber, FName FROM t_Item WHERE FItemClassID=" +
                          SqlId(setup_.itemClass) + " AND FDetail=0 AND FDeleted=0";
        if (search.empty())
            sql += " AND FParentID=" + SqlId(group ? group->id : 0);
        else {
            if (group)
                sql += " AND FNumber LIKE " + BelowPattern(group->number);
            sql += " AND " + SearchCondition(search, true);
        }
        RecordsetPtr rs = db_->Execute(sql + " ORDER BY FNumber");
        for (; !rs->EOF_(); rs->MoveNext()) {
            PickerRow row;
            row.id = Id(*rs, "FItemID");
            row.group = true;
            const std::string shortCode = Text(*rs, "FShortNumber");
            row.code = setup_.shortNumber && !shortCode.empty() ? shortCode : Text(*rs, "FNumber");
            row.name = Text(*rs, "FName");
            row.extras.resize(setup_.extraColumns.size());
            rows.push_back(std::move(row));
        }
    }
    std::string select = "SELECT TOP " + std::to_string(kRowLimit + 1) + " " + setup_.idColumn +
                         " AS FPickID, FNumber, FName";
    if (setup_.hasShortNumber)
        select += ", FShortNumber";
    for (const auto& column : setup_.extraColumns) select += ", " + column.field;
    RecordsetPtr rs = db_->Execute(select + " FROM " + setup_.table +
                                   DetailConditions(group, search) + " ORDER BY FNumber");
    int count = 0;
    for (; !rs->EOF_(); rs->MoveNext()) {
        if (++count > kRowLimit) {
            if (truncated)
                *truncated = true;
            break;
        }
        PickerRow row;
        row.id = Id(*rs, "FPickID");
        const std::string shortCode = setup_.hasShortNumber ? Text(*rs, "FShortNumber") : "";
        row.code = setup_.shortNumber && !shortCode.empty() ? shortCode : Text(*rs, "FNumber");
        row.name = Text(*rs, "FName");
        for (const auto& column : setup_.extraColumns)
            row.extras.push_back(Text(*rs, column.field.c_str()));
        rows.push_back(std::move(row));
    }
    return rows;
}

std::shared_ptr<Dictionary> BaseDataQuery::Record(std::int32_t id) const {
    auto record = std::make_shared<Dictionary>();
    if (setup_.table != "t_Currency") {
        RecordsetPtr item = db_->Execute("SELECT * FROM t_Item WHERE FItemID=" + SqlId(id));
        if (!item->EOF_())
            CopyRow(*item, *record);
    }
    RecordsetPtr rs = db_->Execute("SELECT * FROM " + setup_.table + " WHERE " + setup_.idColumn +
                                   "=" + SqlId(id));
    if (!rs->EOF_())
        CopyRow(*rs, *record);
    auto text = [&](const char* key) {
        const Variant v = record->Value(key);
        return v.IsNull() ? std::string() : v.ToText();
    };
    const std::string number = text("FNumber");
    const std::string shortNumber = text("FShortNumber");
    record->SetValue("ItemID", id);
    record->SetValue("Number", setup_.shortNumber && !shortNumber.empty() ? shortNumber : number);
    record->SetValue("ShortNumber", shortNumber);
    record->SetValue("Name", record->Value("FName"));
    record->SetValue("FullName", record->Exists("FFullName") ? record->Value("FFullName")
                                                             : record->Value("FName"));
    record->SetValue("Detail", true);
    record->SetValue("ParentID",
                     record->Exists("FParentID") ? record->Value("FParentID") : Variant(0));
    record->SetValue("Level", record->Exists("FLevel") ? record->Value("FLevel") : Variant(1));
    record->SetValue("ItemClassID", record->Exists("FItemClassID") ? record->Value("FItemClassID")
                                                                   : Variant(setup_.itemClass));
    return record;
}

RecordsetPtr BaseDataQuery::Records(const std::vector<std::int32_t>& ids) const {
    std::string list;
    for (std::int32_t id : ids) list += (list.empty() ? "" : ",") + SqlId(id);
    if (list.empty())
        list = "NULL";
    const std::string key = setup_.idColumn == "FItemID" ? "" : setup_.idColumn + " AS FItemID, ";
    return db_->Execute("SELECT " + key + "* FROM " + setup_.table + " WHERE " + setup_.idColumn +
                        " IN (" + list + ") ORDER BY FNumber");
}

}  // namespace orva::qt
