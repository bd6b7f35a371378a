// A database value as the module sees it: Null, integer, double, text or date.
// Values keep their type; Null stays Null. Conversions follow what the module's
// callers expect of a record set field (text to number and back, dates as
// "yyyy-mm-dd").
#pragma once

#include <compare>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <variant>

#include "orvasaleprice/export.h"

namespace orva {

struct ORVA_API Date {
    int year = 1900;
    int month = 1;
    int day = 1;

    // "yyyy-mm-dd"
    std::string ToText() const;
    // Accepts "yyyy-mm-dd", "yyyy-m-d", "yyyy/mm/dd" and a trailing time part
    // ("yyyy-mm-dd hh:mm:ss[.fff]"); nullopt for anything that is not a real date.
    static std::optional<Date> Parse(std::string_view text);
    static Date Today();
    bool IsValid() const;

    auto operator<=>(const Date&) const = default;
};

class ORVA_API Variant {
  public:
    enum class Type { Null, Integer, Double, Text, Date };

    Variant() = default;  // Null
    Variant(std::nullptr_t) {}
    Variant(int v) : v_(static_cast<std::int64_t>(v)) {}
    Variant(std::int64_t v) : v_(v) {}
    // Every other integer type (short, unsigned, long long, ...) as an integer;
    // an unsigned 64-bit value above the signed range wraps.
    template <typename T>
    requires(std::is_integral_v<T> && !std::is_same_v<T, bool> && !std::is_same_v<T, int> &&
             !std::is_same_v<T, std::int64_t> && !std::is_same_v<T, char>) Variant(T v)
        : v_(static_cast<std::int64_t>(v)) {}
    Variant(double v) : v_(v) {}
    Variant(bool v) : v_(static_cast<std::int64_t>(v ? 1 : 0)) {}
    Variant(std::string v) : v_(std::move(v)) {}
    Variant(std::string_view v) : v_(std::string(v)) {}
    Variant(const char* v) : v_(std::string(v)) {}
    Variant(Date v) : v_(v) {}

    Type type() const { return static_cast<Type>(v_.index()); }
    bool IsNull() const { return v_.index() == 0; }
    bool IsNumber() const { return type() == Type::Integer || type() == Type::Double; }

    // Conversions. A text that is not a number throws TypeMismatch; Null
    // throws TypeMismatch for numbers and gives "" as text.
    // Doubles round half away from zero; out of the 64-bit range: kOverflow.
    std::int64_t ToInteger() const;
    double ToDouble() const;
    // Text form: integers in decimal, doubles in shortest round-trip form in
    // the C locale, dates "yyyy-mm-dd", Null as "".
    std::string ToText() const;
    bool ToBool() const;                 // non-zero number or "True"/"-1"/"1" text
    std::optional<Date> ToDate() const;  // from a date or a date text

    const std::int64_t* AsInteger() const { return std::get_if<std::int64_t>(&v_); }
    const double* AsDouble() const { return std::get_if<double>(&v_); }
    const std::string* AsText() const { return std::get_if<std::string>(&v_); }
    const Date* AsDate() const { return std::get_if<Date>(&v_); }

    bool operator==(const Variant& o) const { return v_ == o.v_; }

  private:
    std::variant<std::monostate, std::int64_t, double, std::string, Date> v_;
};

// Shortest round-trip decimal text of a double, C locale ("0.1", "80", "1e+20").
ORVA_API std::string FormatDouble(double v);
// Parses a whole text as a number (leading/trailing blanks allowed); nullopt
// when it is not one.
ORVA_API std::optional<double> ParseNumber(std::string_view text);

}  // namespace orva
