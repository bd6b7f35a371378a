// The translations one connection keeps. Programs are found by the shape of
// the text (literals.h), so texts that differ only in bound literals share
// one program and its prepared statements; the literal values come with the
// program found. At most `capacity` programs are kept, the one used least
// recently dropped first.
#pragma once

#include <cstddef>
#include <list>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "host/tsql/program.h"
#include "host/variant.h"

namespace orva::tsql {

class ProgramCache {
  public:
    explicit ProgramCache(std::size_t capacity) : capacity_(capacity) {}

    struct Found {
        std::shared_ptr<const Program> program;
        std::vector<Variant> literals;  // the text's bindable literals, for Interpreter::Run
    };

    // Throws TsqlError for a text that does not compile.
    Found Get(std::string_view text);

    std::size_t Size() const { return lru_.size(); }
    // Texts compiled so far (the others reused a program).
    std::size_t Compiles() const { return compiles_; }
    void Clear();

  private:
    struct Entry {
        std::string key;
        std::vector<std::string> pinned;  // texts of the program's pinned literals
        std::shared_ptr<const Program> program;
    };
    using List = std::list<Entry>;

    void Evict();

    std::size_t capacity_;
    std::size_t compiles_ = 0;
    List lru_;
    std::unordered_map<std::string, std::vector<List::iterator>> byShape_;
};

}  // namespace orva::tsql
