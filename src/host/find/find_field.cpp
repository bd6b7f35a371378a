#include "host/find/find_field.h"

#include "host/base/pass_over.h"
#include "host/base/text_util.h"

namespace orva {
namespace {

// Marks a text as a translation key; the dialog shows it localised.
constexpr const char* N_(const char* text) {
    return text;
}

}  // namespace

FindValueKind FindField::Kind() const {
    switch (dataType) {
        case 0:
            return FindValueKind::kDate;
        case 2:
            return FindValueKind::kNumber;
        case 8:
            return FindValueKind::kChoice;
        default:
            return FindValueKind::kText;
    }
}

std::vector<FindField> FieldsFromFamily(const std::vector<Dictionary>& family) {
    std::vector<FindField> fields;
    fields.reserve(family.size());
    auto number = [](const Dictionary& d, std::string_view key, int fallback) {
        const Variant v = d.Value(key);
        return PassOver([&] { return v.IsNull() ? fallback : static_cast<int>(v.ToInteger()); },
                        fallback);
    };
    for (const Dictionary& d : family) {
        FindField f;
        f.caption = d.Value("Caption").ToText();
        f.column = d.Value("Column").ToText();
        f.dataType = number(d, "DataType", 1);
        f.lookUp = number(d, "LookUp", 0);
        f.valueType = number(d, "ValueType", 0);
        if (d.Exists("ComBoxList")) {
            for (std::string& choice : Split(d.Value("ComBoxList").ToText(), "\t")) {
                if (!choice.empty())
                    f.choices.push_back(std::move(choice));
            }
        }
        fields.push_back(std::move(f));
    }
    return fields;
}

const std::vector<FindOp>& OperatorsFor(FindValueKind kind) {
    using O = FindOp;
    static const std::vector<FindOp> text = {O::kContains, O::kNotContains, O::kEquals,
                                             O::kNotEqual, O::kBeginsWith,  O::kEndsWith,
                                             O::kEmpty,    O::kNotEmpty};
    static const std::vector<FindOp> ordered = {O::kEquals,    O::kNotEqual, O::kLess,
                                                O::kLessEqual, O::kGreater,  O::kGreaterEqual,
                                                O::kBetween};
    static const std::vector<FindOp> choice = {O::kEquals};
    switch (kind) {
        case FindValueKind::kText:
            return text;
        case FindValueKind::kChoice:
            return choice;
        default:
            return ordered;
    }
}

int ValuesOf(FindOp op) {
    switch (op) {
        case FindOp::kEmpty:
        case FindOp::kNotEmpty:
            return 0;
        case FindOp::kBetween:
            return 2;
        default:
            return 1;
    }
}

std::string_view OperatorCaption(FindOp op, FindValueKind kind) {
    const bool text = kind == FindValueKind::kText || kind == FindValueKind::kChoice;
    switch (op) {
        case FindOp::kContains:
            return N_("包含");
        case FindOp::kNotContains:
            return N_("不包含");
        case FindOp::kEquals:
            return text ? N_("等于") : "=";
        case FindOp::kNotEqual:
            return text ? N_("不等于") : "<>";
        case FindOp::kBeginsWith:
            return N_("开头是");
        case FindOp::kEndsWith:
            return N_("结尾是");
        case FindOp::kEmpty:
            return N_("为空");
        case FindOp::kNotEmpty:
            return N_("不为空");
        case FindOp::kLess:
            return "<";
        case FindOp::kLessEqual:
            return "<=";
        case FindOp::kGreater:
            return ">";
        case FindOp::kGreaterEqual:
            return ">=";
        case FindOp::kBetween:
            return N_("介于");
    }
    return "";
}

}  // namespace orva
