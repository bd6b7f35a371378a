// The translations one connection keeps. Programs are found by the shape of
// the text (literals.h), so texts that differ only in bound literals share
// one program and its prepared statements; the literal values come with the
// program found. The texts sent most recently (up to 64 KB each) are also
// remembered whole, so a text sent again is not even split into tokens. At most `capacity`
// programs are kept, the one used least recently dropped first.
#pragma once

#include <cstddef>
#include <list>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "host/tsql/dialect.h"
#include "host/tsql/program.h"
#include "orvasaleprice/variant.h"

namespace orva::tsql {

class ProgramCache {
  public:
    using Literals = std::shared_ptr<const std::vector<Variant>>;

    // Texts are translated for the dialect's engine. capacity: programs kept;
    // texts: texts remembered whole.
    ProgramCache(const Dialect& dialect, std::size_t capacity, std::size_t texts = 64)
        : capacity_(capacity), textCapacity_(texts), dialect_(dialect) {}

    struct Found {
        std::shared_ptr<const Program> program;
        Literals literals;  // the text's bindable literals, for Interpreter::Run
    };

    // Throws TsqlError for a text that does not compile.
    Found Get(std::string_view text);

    std::size_t Size() const { return lru_.size(); }
    // Texts compiled so far (the others reused a program).
    std::size_t Compiles() const { return compiles_; }
    // Texts split into tokens so far (the others were sent again whole).
    std::size_t Tokenized() const { return tokenized_; }
    void Clear();

  private:
    struct Entry {
        std::string key;
        std::vector<std::string> pinned;  // texts of the program's pinned literals
        std::shared_ptr<const Program> program;
    };
    using List = std::list<Entry>;

    struct Text {
        std::string text;
        Found found;
    };
    using TextList = std::list<Text>;

    Found ByShape(std::string_view text);
    void Evict();

    std::size_t capacity_;
    std::size_t textCapacity_;
    const Dialect& dialect_;
    std::size_t compiles_ = 0;
    std::size_t tokenized_ = 0;
    List lru_;
    std::unordered_map<std::string, std::vector<List::iterator>> byShape_;
    TextList texts_;
    std::unordered_map<std::string_view, TextList::iterator> byText_;
};

}  // namespace orva::tsql
