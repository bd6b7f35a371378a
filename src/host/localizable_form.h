// What the form-resource loader needs of a window: every text it shows that
// is translated as a whole at load time. A window hands out its caption, menu
// and toolbar captions, labels, tab captions and, on request, the column
// headers of its grids; the loader may replace each text in place.
#pragma once

#include <functional>
#include <string>

namespace orva {

class LocalizableForm {
  public:
    enum class TextKind { Caption, ColumnHeader };
    // Called once per text; a replacement is written into `text`.
    using TextVisitor = std::function<void(TextKind kind, std::string& text)>;

    virtual ~LocalizableForm() = default;

    // Visits every caption; grid column headers too when withColumnHeaders.
    virtual void ForEachText(bool withColumnHeaders, const TextVisitor& visit) = 0;
};

}  // namespace orva
