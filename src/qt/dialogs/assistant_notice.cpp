#include "qt/dialogs/assistant_notice.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QScreen>
#include <QStyle>
#include <QTimer>
#include <QToolButton>

#include "qt/controls/qt_text.h"
#include "session/res_text.h"

namespace orva::qt {
namespace {

QPointer<AssistantNotice>& Slot() {
    static QPointer<AssistantNotice> notice;
    return notice;
}

}  // namespace

AssistantNotice::AssistantNotice(const QString& text, QWidget* anchor)
    : QFrame(anchor, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
    setObjectName("assistant");
    setAttribute(Qt::WA_DeleteOnClose);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFrameShape(QFrame::Box);
    setStyleSheet(
        "#assistant { background: #fff8d6; border: 1px solid #c8a200; border-radius: 6px; }");
    auto* icon = new QLabel(this);
    icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxInformation).pixmap(32, 32));
    text_ = new QLabel(text, this);
    text_->setWordWrap(true);
    text_->setMinimumWidth(260);
    text_->setMaximumWidth(420);
    auto* close = new QToolButton(this);
    close->setAutoRaise(true);
    close->setIcon(style()->standardIcon(QStyle::SP_TitleBarCloseButton));
    close->setToolTip(Q(GetResText("关闭")));
    connect(close, &QToolButton::clicked, this, &QWidget::close);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(icon, 0, Qt::AlignTop);
    layout->addWidget(text_, 1);
    layout->addWidget(close, 0, Qt::AlignTop);
    QTimer::singleShot(kShownMs, this, &QWidget::close);
}

QString AssistantNotice::Text() const {
    return text_->text();
}

AssistantNotice* AssistantNotice::Current() {
    return Slot().data();
}

AssistantNotice* AssistantNotice::Show(const QString& description) {
    if (!qApp)
        return nullptr;
    if (Slot())
        Slot()->close();
    QWidget* anchor = QApplication::activeModalWidget();
    if (!anchor)
        anchor = QApplication::activeWindow();
    auto* notice = new AssistantNotice(description, anchor);
    notice->adjustSize();
    QRect area = anchor ? anchor->frameGeometry()
                        : (QGuiApplication::primaryScreen()
                               ? QGuiApplication::primaryScreen()->availableGeometry()
                               : QRect(0, 0, 800, 600));
    notice->move(area.right() - notice->width() - 16, area.bottom() - notice->height() - 16);
    notice->show();
    Slot() = notice;
    return notice;
}

}  // namespace orva::qt
