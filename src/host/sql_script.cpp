#include "host/sql_script.h"

#include "host/base/text_util.h"

namespace orva {

bool IsGoLine(std::string_view line) {
    return EqualsNoCase(Trim(line), "GO");
}

std::vector<SqlBatch> SplitGoBatches(std::string_view script) {
    std::vector<SqlBatch> batches;
    SqlBatch current{{}, 1};
    auto finish = [&](int nextLine) {
        if (!Trim(current.text).empty())
            batches.push_back(std::move(current));
        current = SqlBatch{{}, nextLine};
    };
    int lineNo = 1;
    std::size_t pos = 0;
    while (pos < script.size()) {
        std::size_t nl = script.find('\n', pos);
        std::size_t end = nl == std::string_view::npos ? script.size() : nl + 1;
        std::string_view line = script.substr(pos, end - pos);
        if (IsGoLine(line)) {
            finish(lineNo + 1);
        } else {
            current.text.append(line);
        }
        pos = end;
        ++lineNo;
    }
    finish(lineNo);
    return batches;
}

void WriteRecordset(std::ostream& out, const Recordset& rs) {
    const int cols = rs.FieldCount();
    for (int c = 0; c < cols; ++c) {
        if (c > 0)
            out << '\t';
        out << rs.FieldName(c);
    }
    out << '\n';
    const long rows = rs.RecordCount();
    for (long r = 0; r < rows; ++r) {
        for (int c = 0; c < cols; ++c) {
            if (c > 0)
                out << '\t';
            const Variant& v = rs.Cell(r, c);
            out << (v.IsNull() ? std::string("NULL") : v.ToText());
        }
        out << '\n';
    }
}

}  // namespace orva
