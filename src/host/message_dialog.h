// The host's message dialog: a title, a headline, any number of detail lines
// and, for a question, Yes and No buttons. A fresh dialog is created for every
// message (HostUi::CreateMessageDialog) and released after it was shown.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace orva {

class HostUi;

// What a dialog shows, as the user interface receives it.
struct MessageDialogContent {
    std::string title;
    std::string headline;
    std::vector<std::string> details;  // in the order added; empty lines kept
    std::int32_t kind = 0;
    std::string helpFile;
    std::int32_t helpContext = -1;
};

class MessageDialog {
  public:
    // Kinds passed to Show.
    static constexpr std::int32_t kNotice = 0;    // one button
    static constexpr std::int32_t kQuestion = 1;  // Yes and No, read back through Result
    static constexpr std::int32_t kConflict = 2;  // an update that met a concurrent change

    virtual ~MessageDialog() = default;

    // After a question: non-zero when the user answered Yes, zero for No.
    virtual std::int32_t Result() const = 0;
    // Shows the dialog modally; returns when it is closed.
    virtual void Show(std::int32_t kind, const std::string& helpFile = "",
                      std::int32_t helpContext = -1) = 0;
    // Appends a detail line below the headline.
    virtual void AddDetail(const std::string& line) = 0;
    virtual void Headline(const std::string& text) = 0;
    virtual void Title(const std::string& text) = 0;
};

// The dialog every user interface gets unless it makes its own: it collects
// the content and hands it to HostUi::ShowMessageDialog when shown.
class StandardMessageDialog : public MessageDialog {
  public:
    explicit StandardMessageDialog(HostUi& ui) : ui_(ui) {}

    std::int32_t Result() const override { return result_; }
    void Show(std::int32_t kind, const std::string& helpFile = "",
              std::int32_t helpContext = -1) override;
    void AddDetail(const std::string& line) override { content_.details.push_back(line); }
    void Headline(const std::string& text) override { content_.headline = text; }
    void Title(const std::string& text) override { content_.title = text; }

    const MessageDialogContent& Content() const { return content_; }

  private:
    HostUi& ui_;
    MessageDialogContent content_;
    std::int32_t result_ = 0;
};

}  // namespace orva
