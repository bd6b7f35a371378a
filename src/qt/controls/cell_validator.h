// Checks what the user types into a spread cell's editor, keystroke by
// keystroke, by the cell's kind and limits: letters never enter a number, a
// number never gets more decimals than its places or grows beyond its range,
// a date keeps the year-month-day shape, a text stays within its length.
// The final word stays with the cell (CellType::Accept): text the validator
// calls acceptable is exactly what the cell accepts.
#pragma once

#include <QValidator>

#include "host/controls/cell_type.h"

namespace orva::qt {

class CellValidator : public QValidator {
    Q_OBJECT

  public:
    // `discarded`: characters refused in every cell (for example quotes).
    CellValidator(CellType type, QString discarded, QObject* parent = nullptr);

    State validate(QString& input, int& pos) const override;

    const CellType& type() const { return type_; }

  private:
    State ValidateNumber(const QString& input) const;
    State ValidateDate(const QString& input) const;

    CellType type_;
    QString discarded_;
};

}  // namespace orva::qt
