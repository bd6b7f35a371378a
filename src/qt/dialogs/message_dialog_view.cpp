#include "qt/dialogs/message_dialog_view.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include "qt/controls/qt_text.h"
#include "session/res_text.h"

namespace orva::qt {
namespace {

QString JoinLines(const std::vector<std::string>& lines) {
    QStringList out;
    for (const std::string& line : lines) out << Q(line);
    return out.join(QLatin1Char('\n'));
}

}  // namespace

MessageDialogView::MessageDialogView(const MessageDialogContent& content, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(content.title.empty() ? Q(GetResText("提示")) : Q(content.title));
    setModal(true);

    QStyle::StandardPixmap pixmap = QStyle::SP_MessageBoxInformation;
    if (content.kind == MessageDialog::kQuestion)
        pixmap = QStyle::SP_MessageBoxQuestion;
    else if (content.kind == MessageDialog::kConflict)
        pixmap = QStyle::SP_MessageBoxWarning;
    auto* icon = new QLabel(this);
    const int size = style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, this);
    icon->setPixmap(style()->standardIcon(pixmap, nullptr, this).pixmap(size, size));
    icon->setAlignment(Qt::AlignTop);

    auto* headline = new QLabel(Q(content.headline), this);
    headline->setObjectName("headline");
    headline->setWordWrap(true);
    headline->setTextInteractionFlags(Qt::TextSelectableByMouse);
    QFont bold = headline->font();
    bold.setBold(true);
    headline->setFont(bold);

    auto* text = new QVBoxLayout;
    text->addWidget(headline);
    if (!content.details.empty()) {
        auto* details = new QPlainTextEdit(JoinLines(content.details), this);
        details->setObjectName("details");
        details->setReadOnly(true);
        details->setFrameShape(QFrame::StyledPanel);
        // As tall as its lines, up to eight; longer texts scroll.
        const int lines = std::min<int>(static_cast<int>(content.details.size()), 8);
        const int height = details->fontMetrics().lineSpacing() * (lines + 1) + 12;
        details->setMinimumHeight(height);
        if (content.details.size() <= 8)
            details->setMaximumHeight(height);
        text->addWidget(details, 1);
    }

    auto* body = new QHBoxLayout;
    body->addWidget(icon, 0, Qt::AlignTop);
    body->addLayout(text, 1);

    auto* buttons = new QDialogButtonBox(this);
    if (content.kind == MessageDialog::kQuestion) {
        yes_ = buttons->addButton(Q(GetResText("是(&Y)")), QDialogButtonBox::YesRole);
        no_ = buttons->addButton(Q(GetResText("否(&N)")), QDialogButtonBox::NoRole);
        yes_->setDefault(true);
        connect(yes_, &QPushButton::clicked, this, [this] {
            result_ = 1;
            accept();
        });
        connect(no_, &QPushButton::clicked, this, [this] {
            result_ = 0;
            reject();
        });
    } else {
        ok_ = buttons->addButton(Q(GetResText("确定")), QDialogButtonBox::AcceptRole);
        ok_->setDefault(true);
        connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
    }

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(body, 1);
    layout->addWidget(buttons);
    setMinimumWidth(380);
}

}  // namespace orva::qt
