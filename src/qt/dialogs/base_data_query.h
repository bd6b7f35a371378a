// What the base-data pickers and the list window read: the records of one
// class of base data (customers, items, units, currencies, ...), their group
// tree, a search by code or name, and the chosen record's properties. Plain
// T-SQL through the connection component, so the pickers work on SQLite and
// on SQL Server alike.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "host/app_connection.h"
#include "host/dictionary.h"
#include "orvasaleprice/recordset.h"

namespace orva::qt {

// One class of base data as a picker shows it.
struct PickerSetup {
    std::string title;  // the dialog's caption (localised)
    std::string table;  // the records' table: t_ICItem, t_Currency, ...
    std::string idColumn = "FItemID";
    std::int32_t itemClass = 0;  // t_Item class of the groups; 0: no group tree
    bool unitGroups = false;     // the groups are t_UnitGroup (units of measure)
    bool hasParent = true;       // the table has FParentID
    bool hasShortNumber = true;  // the table has FShortNumber
    bool shortNumber = false;    // show and search the short code
    std::string baseCondition;   // always applied (a class of t_Item)
    std::string filter;          // the caller's condition on the table, as given
    struct Column {
        std::string field;
        std::string caption;  // localised
    };
    std::vector<Column> extraColumns;  // shown after code and name
};

// A group of the tree.
struct PickerGroup {
    std::int32_t id = 0;
    std::int32_t parentId = 0;  // 0 at the top
    std::string number;
    std::string name;
};

// A row of the list: a record or a group.
struct PickerRow {
    std::int32_t id = 0;
    bool group = false;
    std::string code;  // as shown: the short code when asked for
    std::string name;
    std::vector<std::string> extras;  // setup.extraColumns, in order
};

class BaseDataQuery {
  public:
    static constexpr int kRowLimit = 500;

    BaseDataQuery(PickerSetup setup, std::shared_ptr<AppConnection> db);

    const PickerSetup& setup() const { return setup_; }

    // Every group of the class, ordered by code (empty without groups).
    std::vector<PickerGroup> Groups() const;
    // What the list shows for a group (nullptr: the top) and a search text:
    // without a text, the group's own subgroups and records; with one, every
    // group and record below the group whose code or name contains it.
    // Groups come first; at most kRowLimit records (`truncated` tells when
    // there were more).
    std::vector<PickerRow> Rows(const PickerGroup* group, const std::string& search,
                                bool* truncated = nullptr) const;
    // The chosen record's properties: every column of its t_Item row and of
    // its table row under their own names, and ItemID, Number, ShortNumber,
    // Name, FullName, Detail, ParentID, Level, ItemClassID.
    std::shared_ptr<Dictionary> Record(std::int32_t id) const;
    // The records as a record set of their table's columns, with FItemID
    // first when the table's key has another name.
    RecordsetPtr Records(const std::vector<std::int32_t>& ids) const;

  private:
    std::string SearchCondition(const std::string& text, bool withShort) const;
    std::string DetailConditions(const PickerGroup* group, const std::string& search) const;

    PickerSetup setup_;
    std::shared_ptr<AppConnection> db_;
};

// The connection the pickers read with: the connection of the module context
// in force (ModuleContext::InForce) when it is open, else a new one on the
// host session's database.
std::shared_ptr<AppConnection> PickerConnection();

// A LIKE pattern matching texts that contain `text` (escape character '!').
std::string ContainsPattern(const std::string& text);

}  // namespace orva::qt
