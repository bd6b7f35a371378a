#include "host/tsql/program_cache.h"

#include <algorithm>

#include "host/tsql/literals.h"
#include "host/tsql/tokenizer.h"
#include "host/tsql/translator.h"

namespace orva::tsql {

ProgramCache::Found ProgramCache::Get(std::string_view text) {
    auto known = byText_.find(text);
    if (known != byText_.end()) {
        texts_.splice(texts_.begin(), texts_, known->second);
        return known->second->found;
    }
    Found found = ByShape(text);
    // A long text (a long IN list) is not worth keeping whole.
    constexpr std::size_t kLongText = 64 * 1024;
    if (textCapacity_ == 0 || text.size() > kLongText)
        return found;
    texts_.push_front(Text{std::string(text), found});
    byText_.emplace(texts_.front().text, texts_.begin());
    if (texts_.size() > textCapacity_) {
        byText_.erase(texts_.back().text);
        texts_.pop_back();
    }
    return found;
}

ProgramCache::Found ProgramCache::ByShape(std::string_view text) {
    std::vector<Token> tokens = Tokenize(text);
    ++tokenized_;
    TextShape shape = ShapeOf(tokens);
    auto fits = [&](const Entry& e) {
        const std::vector<int>& pinned = e.program->pinnedLiterals;
        for (std::size_t k = 0; k < pinned.size(); ++k) {
            if (shape.texts[static_cast<std::size_t>(pinned[k])] != e.pinned[k])
                return false;
        }
        return true;
    };
    auto literals = std::make_shared<const std::vector<Variant>>(std::move(shape.values));
    auto bucket = byShape_.find(shape.key);
    if (bucket != byShape_.end()) {
        for (List::iterator it : bucket->second) {
            if (fits(*it)) {
                lru_.splice(lru_.begin(), lru_, it);
                return {it->program, std::move(literals)};
            }
        }
    }
    auto program =
        std::make_shared<const Program>(CompileBindingLiterals(text, std::move(tokens), dialect_));
    ++compiles_;
    Entry entry;
    entry.key = shape.key;
    for (int k : program->pinnedLiterals)
        entry.pinned.push_back(shape.texts[static_cast<std::size_t>(k)]);
    entry.program = program;
    lru_.push_front(std::move(entry));
    if (bucket == byShape_.end())
        bucket = byShape_.emplace(std::move(shape.key), std::vector<List::iterator>{}).first;
    bucket->second.push_back(lru_.begin());
    if (lru_.size() > capacity_)
        Evict();
    return {std::move(program), std::move(literals)};
}

// Drops the least recently used program. A text remembered whole may still
// hold it; it goes when that text is forgotten in turn.
void ProgramCache::Evict() {
    auto last = std::prev(lru_.end());
    auto bucket = byShape_.find(last->key);
    if (bucket != byShape_.end()) {
        auto& list = bucket->second;
        list.erase(std::remove(list.begin(), list.end(), last), list.end());
        if (list.empty())
            byShape_.erase(bucket);
    }
    lru_.erase(last);
}

void ProgramCache::Clear() {
    byText_.clear();
    texts_.clear();
    byShape_.clear();
    lru_.clear();
}

}  // namespace orva::tsql
