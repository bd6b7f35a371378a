#include "qt/controls/cell_validator.h"

#include <QRegularExpression>

#include "qt/controls/qt_text.h"

namespace orva::qt {

CellValidator::CellValidator(CellType type, QString discarded, QObject* parent)
    : QValidator(parent), type_(std::move(type)), discarded_(std::move(discarded)) {}

QValidator::State CellValidator::validate(QString& input, int&) const {
    for (QChar c : discarded_) {
        if (input.contains(c))
            return Invalid;
    }
    if (type_.kind == CellKind::kStaticText)
        return Invalid;
    if (input.isEmpty())
        return Acceptable;  // an empty entry empties the cell
    if (type_.Accept(U(input)))
        return Acceptable;
    switch (type_.kind) {
        case CellKind::kDecimal:
        case CellKind::kInteger:
            return ValidateNumber(input);
        case CellKind::kDate:
            return ValidateDate(input);
        default:
            return Invalid;  // text over its length
    }
}

// A number on its way: sign, digits, a point (decimals only) and no more
// decimals than the places; a value past the range can only get worse by
// typing on, so it is refused at once.
QValidator::State CellValidator::ValidateNumber(const QString& input) const {
    const int places = type_.kind == CellKind::kDecimal ? type_.decimalPlaces : 0;
    static const QRegularExpression shape(QStringLiteral("^([+-]?)(\\d*)(?:(\\.)(\\d*))?$"));
    const QRegularExpressionMatch m = shape.match(input);
    if (!m.hasMatch())
        return Invalid;
    const bool negative = m.captured(1) == QLatin1String("-");
    const bool point = !m.captured(3).isEmpty();
    const QString fraction = m.captured(4);
    if (point && (places == 0 || fraction.size() > places))
        return Invalid;
    if (negative && type_.min >= 0)
        return Invalid;
    const QString digits = m.captured(2) + (point ? QStringLiteral(".") + fraction : QString());
    bool ok = false;
    const double magnitude = digits.toDouble(&ok);
    if (ok) {
        const double value = negative ? -magnitude : magnitude;
        if (value > type_.max || value < std::min(type_.min, 0.0))
            return Invalid;
    }
    return Intermediate;
}

// yyyy-mm-dd being typed ("/" and "." also separate); a complete text that is
// no real date, or lies outside the range, may still be corrected.
QValidator::State CellValidator::ValidateDate(const QString& input) const {
    static const QRegularExpression shape(
        QStringLiteral("^\\d{0,4}(?:[-/.]\\d{0,2}(?:[-/.]\\d{0,2})?)?$"));
    return shape.match(input).hasMatch() ? Intermediate : Invalid;
}

}  // namespace orva::qt
