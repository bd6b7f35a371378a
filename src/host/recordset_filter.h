// Compiled Filter criteria of a record set: clauses "Field Operator Value"
// joined by AND / OR with parentheses; operators = <> < > <= >= LIKE; values
// as quoted text ('' for a quote), numbers or #dates#. Text compares without
// regard to case.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace orva {

class Recordset;

class RecordFilter {
public:
    // Throws ComError kBadFilter naming the criteria when it does not parse
    // or names a column the record set lacks.
    static RecordFilter Compile(std::string_view criteria, const std::vector<std::string>& columns);

    RecordFilter(RecordFilter&&) noexcept;
    RecordFilter& operator=(RecordFilter&&) noexcept;
    ~RecordFilter();

    // Whether stored row `row` of the record set passes.
    bool Matches(const Recordset& rs, std::size_t row) const;

    struct Node;  // expression tree, recordset_filter.cpp

private:
    explicit RecordFilter(std::unique_ptr<Node> root);
    std::unique_ptr<Node> root_;
};

}  // namespace orva
