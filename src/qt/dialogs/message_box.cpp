#include "qt/dialogs/message_box.h"

#include <QMessageBox>
#include <QPushButton>
#include <map>

#include "qt/controls/qt_text.h"
#include "session/res_text.h"

namespace orva::qt {
namespace {

QMessageBox::Icon ToQtIcon(MsgIcon icon) {
    switch (icon) {
        case MsgIcon::kCritical:
            return QMessageBox::Critical;
        case MsgIcon::kQuestion:
            return QMessageBox::Question;
        case MsgIcon::kExclamation:
            return QMessageBox::Warning;
        case MsgIcon::kInformation:
            return QMessageBox::Information;
        default:
            return QMessageBox::NoIcon;
    }
}

QMessageBox::ButtonRole RoleOf(MsgResult button) {
    switch (button) {
        case MsgResult::kOK:
            return QMessageBox::AcceptRole;
        case MsgResult::kYes:
            return QMessageBox::YesRole;
        case MsgResult::kNo:
            return QMessageBox::NoRole;
        case MsgResult::kCancel:
        case MsgResult::kAbort:
            return QMessageBox::RejectRole;
        default:
            return QMessageBox::ActionRole;
    }
}

}  // namespace

std::string ButtonCaption(MsgResult button) {
    switch (button) {
        case MsgResult::kOK:
            return GetResText("确定");
        case MsgResult::kCancel:
            return GetResText("取消");
        case MsgResult::kAbort:
            return GetResText("中止");
        case MsgResult::kRetry:
            return GetResText("重试");
        case MsgResult::kIgnore:
            return GetResText("忽略");
        case MsgResult::kYes:
            return GetResText("是(&Y)");
        case MsgResult::kNo:
            return GetResText("否(&N)");
        case MsgResult::kTryAgain:
            return GetResText("再试一次");
        case MsgResult::kContinue:
            return GetResText("继续");
    }
    return GetResText("确定");
}

MsgResult ShowMessageBox(QWidget* parent, const std::string& text, MsgButtons buttons, MsgIcon icon,
                         const std::string& title, const std::string& detail) {
    QMessageBox box(parent);
    box.setWindowTitle(title.empty() ? Q(GetResText("提示")) : Q(title));
    box.setText(Q(text));
    box.setIcon(ToQtIcon(icon));
    box.setTextInteractionFlags(Qt::TextSelectableByMouse);
    if (!detail.empty())
        box.setDetailedText(Q(detail));
    std::map<QAbstractButton*, MsgResult> answers;
    const MsgResult safe = SafeAnswer(buttons);
    const std::vector<MsgResult> order = ButtonsOf(buttons);
    for (MsgResult result : order) {
        QPushButton* b = box.addButton(Q(ButtonCaption(result)), RoleOf(result));
        answers[b] = result;
        if (result == safe)
            box.setEscapeButton(b);
    }
    // The first button of the style is the default one.
    for (auto& [button, result] : answers) {
        if (result == order.front())
            box.setDefaultButton(qobject_cast<QPushButton*>(button));
    }
    box.exec();
    auto it = answers.find(box.clickedButton());
    return it == answers.end() ? safe : it->second;
}

}  // namespace orva::qt
