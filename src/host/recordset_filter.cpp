#include "host/recordset_filter.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <optional>

#include "host/base/nesting_depth.h"
#include "host/base/record_store.h"
#include "host/base/text_util.h"
#include "orvasaleprice/com_error.h"
#include "orvasaleprice/variant.h"

namespace orva {

namespace {

enum class Op { Eq, Ne, Lt, Gt, Le, Ge, Like };
enum class LikeKind { Exact, Prefix, Suffix, Contains, Any };

// Comparison outcome; kUnordered when the values cannot be ordered (NaN).
constexpr int kUnordered = 2;

unsigned char Up(unsigned char c) {
    return (c >= 'a' && c <= 'z') ? c - 32 : c;
}

std::string_view TrimRightBlanks(std::string_view s) {
    while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
    return s;
}

// Case-insensitive (ASCII) ordering, trailing blanks ignored. `upper` is
// already upper-cased and trimmed.
int CompareText(std::string_view s, std::string_view upper) {
    s = TrimRightBlanks(s);
    std::size_t n = s.size() < upper.size() ? s.size() : upper.size();
    for (std::size_t i = 0; i < n; ++i) {
        unsigned char a = Up(static_cast<unsigned char>(s[i]));
        unsigned char b = static_cast<unsigned char>(upper[i]);
        if (a != b)
            return a < b ? -1 : 1;
    }
    if (s.size() == upper.size())
        return 0;
    return s.size() < upper.size() ? -1 : 1;
}

bool EqualsUpper(std::string_view s, std::string_view upper) {
    if (s.size() != upper.size())
        return false;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (Up(static_cast<unsigned char>(s[i])) != static_cast<unsigned char>(upper[i])) {
            return false;
        }
    }
    return true;
}

std::size_t FindUpper(std::string_view s, std::string_view upper) {
    if (upper.empty())
        return 0;
    for (std::size_t i = 0; i + upper.size() <= s.size(); ++i) {
        if (EqualsUpper(s.substr(i, upper.size()), upper))
            return i;
    }
    return std::string_view::npos;
}

template <typename T>
int Order(T a, T b) {
    if (a < b)
        return -1;
    if (b < a)
        return 1;
    if (a == b)
        return 0;
    return kUnordered;
}

bool Apply(Op op, int c) {
    if (c == kUnordered)
        return op == Op::Ne;
    switch (op) {
        case Op::Eq:
            return c == 0;
        case Op::Ne:
            return c != 0;
        case Op::Lt:
            return c < 0;
        case Op::Gt:
            return c > 0;
        case Op::Le:
            return c <= 0;
        case Op::Ge:
            return c >= 0;
        case Op::Like:
            break;
    }
    return false;
}

// A value of the criteria with every form it can be compared in, worked out
// once when the filter is compiled.
struct Literal {
    enum class Kind { Null, Number, Text, Date } kind = Kind::Null;
    std::string upper;  // text form, upper-cased, trailing blanks cut
    bool hasNumber = false;
    bool isInteger = false;
    std::int64_t integer = 0;
    double number = 0;
    std::optional<Date> date;
    std::string dateText;  // the date as "yyyy-mm-dd"

    void SetDate(std::optional<Date> d) {
        date = d;
        if (d)
            dateText = d->ToText();
    }

    void SetText(std::string_view text) {
        upper = ToUpperAscii(TrimRightBlanks(text));
        if (auto n = ParseNumber(text)) {
            hasNumber = true;
            number = *n;
            std::string_view t = Trim(text);
            if (!t.empty() && t.front() == '+')
                t.remove_prefix(1);
            std::int64_t i = 0;
            auto r = std::from_chars(t.data(), t.data() + t.size(), i);
            isInteger = r.ec == std::errc() && r.ptr == t.data() + t.size();
            integer = i;
        }
    }
};

bool IsPlainDate(std::string_view s) {
    if (s.size() != 10 || s[4] != '-' || s[7] != '-')
        return false;
    for (std::size_t i : {0, 1, 2, 3, 5, 6, 8, 9}) {
        if (s[i] < '0' || s[i] > '9')
            return false;
    }
    return true;
}

int CompareNumber(double v, const Literal& lit) {
    return Order(v, lit.number);
}

int CompareInteger(std::int64_t v, const Literal& lit) {
    if (lit.isInteger)
        return Order(v, lit.integer);
    return Order(static_cast<double>(v), lit.number);
}

int Compare(const Variant& v, const Literal& lit) {
    switch (v.type()) {
        case Variant::Type::Integer:
            if (lit.hasNumber)
                return CompareInteger(*v.AsInteger(), lit);
            return CompareText(v.ToText(), lit.upper);
        case Variant::Type::Double:
            if (lit.hasNumber)
                return CompareNumber(*v.AsDouble(), lit);
            return CompareText(v.ToText(), lit.upper);
        case Variant::Type::Text: {
            const std::string& s = *v.AsText();
            if (lit.kind == Literal::Kind::Number) {
                if (auto n = ParseNumber(s))
                    return CompareNumber(*n, lit);
            } else if (lit.date) {
                // "yyyy-mm-dd" orders as its text: no need to read the date.
                if (IsPlainDate(s)) {
                    int c = s.compare(lit.dateText);
                    return c < 0 ? -1 : c > 0 ? 1 : 0;
                }
                if (auto d = Date::Parse(s))
                    return Order(*d, *lit.date);
            }
            return CompareText(s, lit.upper);
        }
        case Variant::Type::Date:
            if (lit.date)
                return Order(*v.AsDate(), *lit.date);
            return CompareText(v.AsDate()->ToText(), lit.upper);
        case Variant::Type::Null:
            break;
    }
    return kUnordered;
}

// "m/d/yyyy" as well as the forms Date::Parse reads.
std::optional<Date> ParseFilterDate(std::string_view text) {
    if (auto d = Date::Parse(text))
        return d;
    std::string_view s = Trim(text);
    int part[3] = {0, 0, 0};
    for (int i = 0; i < 3; ++i) {
        auto r = std::from_chars(s.data(), s.data() + s.size(), part[i]);
        if (r.ec != std::errc() || r.ptr == s.data())
            return std::nullopt;
        s.remove_prefix(static_cast<std::size_t>(r.ptr - s.data()));
        if (i < 2) {
            if (s.empty() || s.front() != '/')
                return std::nullopt;
            s.remove_prefix(1);
        }
    }
    if (!s.empty() && s.front() != ' ')
        return std::nullopt;
    Date d{part[2], part[0], part[1]};
    if (part[2] < 1000 || !d.IsValid())
        return std::nullopt;
    return d;
}

bool IsNameChar(char c) {
    switch (c) {
        case ' ':
        case '\t':
        case '\r':
        case '\n':
        case '<':
        case '>':
        case '=':
        case '(':
        case ')':
        case '\'':
        case '#':
        case '[':
        case ']':
        case '\0':
            return false;
        default:
            return true;
    }
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// The criteria as an error message quotes it: whole, or its first 200 bytes
// (not cutting a UTF-8 sequence) and "..." when it is longer.
std::string Quoted(std::string_view criteria) {
    constexpr std::size_t kShown = 200;
    if (criteria.size() <= kShown)
        return "\"" + std::string(criteria) + "\"";
    std::size_t cut = kShown;
    while (cut > 0 && (static_cast<unsigned char>(criteria[cut]) & 0xC0) == 0x80) --cut;
    return "\"" + std::string(criteria.substr(0, cut)) + "...\"";
}

}  // namespace

struct RecordFilter::Node {
    enum class Kind { And, Or, Clause } kind = Kind::Clause;
    std::vector<std::unique_ptr<Node>> children;  // And, Or
    int column = -1;                              // Clause
    Op op = Op::Eq;
    Literal value;
    LikeKind like = LikeKind::Exact;
    std::string pattern;  // LIKE text without wildcards, upper-cased

    bool Eval(const RecordStore& store, std::size_t row) const {
        switch (kind) {
            case Kind::And:
                for (const auto& c : children) {
                    if (!c->Eval(store, row))
                        return false;
                }
                return true;
            case Kind::Or:
                for (const auto& c : children) {
                    if (c->Eval(store, row))
                        return true;
                }
                return false;
            case Kind::Clause:
                break;
        }
        const Variant& v = store.At(row, static_cast<std::size_t>(column));
        if (v.IsNull())
            return value.kind == Literal::Kind::Null && op == Op::Eq;
        if (value.kind == Literal::Kind::Null)
            return op == Op::Ne;
        if (op == Op::Like)
            return Like(v);
        return Apply(op, Compare(v, value));
    }

    bool Like(const Variant& v) const {
        if (like == LikeKind::Any)
            return true;
        std::string text;
        std::string_view s;
        if (const auto* t = v.AsText()) {
            s = *t;
        } else {
            text = v.ToText();
            s = text;
        }
        std::string_view p = pattern;
        switch (like) {
            case LikeKind::Exact:
                return EqualsUpper(s, p);
            case LikeKind::Prefix:
                return s.size() >= p.size() && EqualsUpper(s.substr(0, p.size()), p);
            case LikeKind::Suffix:
                return s.size() >= p.size() && EqualsUpper(s.substr(s.size() - p.size()), p);
            case LikeKind::Contains:
                return FindUpper(s, p) != std::string_view::npos;
            case LikeKind::Any:
                break;
        }
        return true;
    }
};

namespace {

using Node = RecordFilter::Node;

class Parser {
  public:
    Parser(std::string_view criteria, const std::vector<std::string>& columns)
        : src_(criteria), columns_(columns) {}

    std::unique_ptr<Node> Parse() {
        auto root = ParseOr();
        SkipBlanks();
        if (pos_ < src_.size()) {
            if (src_[pos_] == ')')
                Fail("a closing parenthesis has no opening one");
            Fail("AND or OR expected before \"" + std::string(src_.substr(pos_)) + "\"");
        }
        return root;
    }

  private:
    [[noreturn]] void Fail(const std::string& why) const {
        throw ComError(ComError::kBadFilter,
                       "The filter " + Quoted(src_) + " is not valid: " + why + ".",
                       "ADODB.Recordset");
    }

    void SkipBlanks() {
        while (pos_ < src_.size() && IsBlank(src_[pos_])) ++pos_;
    }

    char Peek() const { return pos_ < src_.size() ? src_[pos_] : '\0'; }

    // The bare word at the current position (after blanks), not consumed.
    std::string_view PeekWord() {
        SkipBlanks();
        std::size_t end = pos_;
        while (end < src_.size() && IsNameChar(src_[end])) ++end;
        return src_.substr(pos_, end - pos_);
    }

    bool TakeKeyword(std::string_view kw) {
        std::string_view w = PeekWord();
        if (!EqualsNoCase(w, kw))
            return false;
        pos_ += w.size();
        return true;
    }

    std::unique_ptr<Node> Combine(Node::Kind kind, std::vector<std::unique_ptr<Node>> parts) {
        if (parts.size() == 1)
            return std::move(parts.front());
        auto n = std::make_unique<Node>();
        n->kind = kind;
        n->children = std::move(parts);
        return n;
    }

    std::unique_ptr<Node> ParseOr() {
        std::vector<std::unique_ptr<Node>> parts;
        parts.push_back(ParseAnd());
        while (TakeKeyword("OR")) parts.push_back(ParseAnd());
        return Combine(Node::Kind::Or, std::move(parts));
    }

    std::unique_ptr<Node> ParseAnd() {
        std::vector<std::unique_ptr<Node>> parts;
        parts.push_back(ParsePrimary());
        while (TakeKeyword("AND")) parts.push_back(ParsePrimary());
        return Combine(Node::Kind::And, std::move(parts));
    }

    std::unique_ptr<Node> ParsePrimary() {
        SkipBlanks();
        if (Peek() == '(') {
            NestingDepth::Scope level(depth_, [&] {
                Fail("its parentheses are nested too deeply at offset " + std::to_string(pos_) +
                     " (more than " + std::to_string(NestingDepth::kMaxLevels) + " levels)");
            });
            ++pos_;
            auto inner = ParseOr();
            SkipBlanks();
            if (Peek() != ')')
                Fail("a parenthesis is not closed");
            ++pos_;
            return inner;
        }
        return ParseClause();
    }

    std::unique_ptr<Node> ParseClause() {
        auto n = std::make_unique<Node>();
        std::string name = ParseFieldName();
        n->column = -1;
        for (std::size_t i = 0; i < columns_.size(); ++i) {
            if (EqualsNoCase(columns_[i], name)) {
                n->column = static_cast<int>(i);
                break;
            }
        }
        if (n->column < 0)
            Fail("the record set has no field " + name);
        n->op = ParseOperator(name);
        ParseValue(*n, name);
        return n;
    }

    std::string ParseFieldName() {
        SkipBlanks();
        if (pos_ >= src_.size())
            Fail("a field name is missing at the end");
        if (Peek() == '[') {
            std::size_t close = src_.find(']', pos_ + 1);
            if (close == std::string_view::npos)
                Fail("a [ has no closing ]");
            std::string name(src_.substr(pos_ + 1, close - pos_ - 1));
            pos_ = close + 1;
            if (Trim(name).empty())
                Fail("a field name is empty");
            return name;
        }
        std::string_view w = PeekWord();
        if (w.empty()) {
            Fail("a field name is expected before \"" + std::string(src_.substr(pos_)) + "\"");
        }
        if (EqualsNoCase(w, "AND") || EqualsNoCase(w, "OR")) {
            Fail("a field name is expected before " + std::string(w));
        }
        pos_ += w.size();
        return std::string(w);
    }

    Op ParseOperator(const std::string& field) {
        SkipBlanks();
        char c = Peek();
        char d = pos_ + 1 < src_.size() ? src_[pos_ + 1] : '\0';
        if (c == '<') {
            pos_ += (d == '>' || d == '=') ? 2 : 1;
            return d == '>' ? Op::Ne : d == '=' ? Op::Le : Op::Lt;
        }
        if (c == '>') {
            pos_ += d == '=' ? 2 : 1;
            return d == '=' ? Op::Ge : Op::Gt;
        }
        if (c == '=') {
            ++pos_;
            return Op::Eq;
        }
        if (TakeKeyword("LIKE"))
            return Op::Like;
        Fail("an operator (= <> < > <= >= LIKE) is expected after " + field);
    }

    void ParseValue(Node& n, const std::string& field) {
        SkipBlanks();
        Literal& lit = n.value;
        char c = Peek();
        if (c == '\'') {
            lit.kind = Literal::Kind::Text;
            std::string text = ParseQuoted();
            if (n.op == Op::Like) {
                SetPattern(n, text);
                return;
            }
            lit.SetText(text);
            lit.SetDate(Date::Parse(text));
            return;
        }
        if (n.op == Op::Like)
            Fail("LIKE needs a quoted pattern after " + field);
        if (c == '#') {
            std::size_t close = src_.find('#', pos_ + 1);
            if (close == std::string_view::npos)
                Fail("a # date has no closing #");
            std::string_view text = src_.substr(pos_ + 1, close - pos_ - 1);
            auto d = ParseFilterDate(text);
            if (!d)
                Fail("#" + std::string(text) + "# is not a date");
            pos_ = close + 1;
            lit.kind = Literal::Kind::Date;
            lit.SetDate(d);
            lit.upper = d->ToText();
            return;
        }
        if ((c >= '0' && c <= '9') || c == '-' || c == '+' || c == '.') {
            std::size_t start = pos_;
            if (c == '-' || c == '+')
                ++pos_;
            while (pos_ < src_.size()) {
                char x = src_[pos_];
                bool exp = (x == 'e' || x == 'E') && pos_ + 1 < src_.size() &&
                           ((src_[pos_ + 1] >= '0' && src_[pos_ + 1] <= '9') ||
                            src_[pos_ + 1] == '-' || src_[pos_ + 1] == '+');
                if ((x >= '0' && x <= '9') || x == '.') {
                    ++pos_;
                } else if (exp) {
                    pos_ += 2;
                } else {
                    break;
                }
            }
            std::string_view text = src_.substr(start, pos_ - start);
            if (!ParseNumber(text))
                Fail(std::string(text) + " is not a number");
            lit.kind = Literal::Kind::Number;
            lit.SetText(text);
            return;
        }
        std::string_view w = PeekWord();
        if (EqualsNoCase(w, "NULL")) {
            pos_ += w.size();
            if (n.op != Op::Eq && n.op != Op::Ne)
                Fail("Null compares only with = or <>");
            lit.kind = Literal::Kind::Null;
            return;
        }
        if (w.empty())
            Fail("a value is missing after " + field);
        Fail(std::string(w) + " is not a value (text needs quotes)");
    }

    std::string ParseQuoted() {
        std::string text;
        ++pos_;  // opening quote
        for (;;) {
            if (pos_ >= src_.size())
                Fail("a quoted text is not closed");
            char x = src_[pos_++];
            if (x == '\'') {
                if (Peek() != '\'')
                    return text;
                ++pos_;
            }
            text.push_back(x);
        }
    }

    void SetPattern(Node& n, std::string_view text) {
        auto wild = [](char x) { return x == '*' || x == '%'; };
        bool lead = !text.empty() && wild(text.front());
        if (lead)
            text.remove_prefix(1);
        bool trail = !text.empty() && wild(text.back());
        if (trail)
            text.remove_suffix(1);
        for (char x : text) {
            if (wild(x))
                Fail("LIKE takes * or % only at the start or the end of the pattern");
        }
        n.pattern = ToUpperAscii(text);
        if (lead && trail) {
            n.like = text.empty() ? LikeKind::Any : LikeKind::Contains;
        } else if (lead || trail) {
            n.like = text.empty() ? LikeKind::Any : lead ? LikeKind::Suffix : LikeKind::Prefix;
        } else {
            n.like = LikeKind::Exact;
        }
    }

    std::string_view src_;
    const std::vector<std::string>& columns_;
    std::size_t pos_ = 0;
    NestingDepth depth_;
};

}  // namespace

RecordFilter::RecordFilter(std::unique_ptr<Node> root) : root_(std::move(root)) {}
RecordFilter::RecordFilter(RecordFilter&&) noexcept = default;
RecordFilter& RecordFilter::operator=(RecordFilter&&) noexcept = default;
RecordFilter::~RecordFilter() = default;

RecordFilter RecordFilter::Compile(std::string_view criteria,
                                   const std::vector<std::string>& columns) {
    if (Trim(criteria).empty()) {
        throw ComError(
            ComError::kBadFilter,
            "The filter \"" + std::string(criteria) + "\" is not valid: it has no clause.",
            "ADODB.Recordset");
    }
    return RecordFilter(Parser(criteria, columns).Parse());
}

bool RecordFilter::Matches(const RecordStore& store, std::size_t row) const {
    return root_->Eval(store, row);
}

}  // namespace orva
