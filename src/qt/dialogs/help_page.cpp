#include "qt/dialogs/help_page.h"

#include <QCoreApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QPointer>
#include <QPushButton>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>
#include <cctype>

#include "qt/controls/qt_text.h"
#include "qt/dialogs/message_box.h"
#include "session/module_context.h"
#include "session/res_text.h"
#include "session/session.h"

#ifndef ORVA_HELP_SOURCE_DIR
#define ORVA_HELP_SOURCE_DIR ""
#endif

namespace orva::qt {
namespace {

QStringList HelpFolders() {
    QStringList folders;
    const QString env = qEnvironmentVariable("ORVA_HELP_DIR");
    if (!env.isEmpty())
        folders << env;
    const QString exe = QCoreApplication::applicationDirPath();
    if (!exe.isEmpty()) {
        folders << exe + "/help" << exe + "/../share/orvasaleprice/help";
    }
    folders << QStringLiteral(ORVA_HELP_SOURCE_DIR);
    return folders;
}

bool English() {
    ModuleContext& ctx = ModuleContext::InForce();
    std::string language = ctx.g_Language.empty() ? GetLoginProp(ctx, "LANGUAGE") : ctx.g_Language;
    for (char& c : language) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return !language.empty() && language != "CHS";
}

}  // namespace

QString FindHelpFile(const std::string& page) {
    QStringList names;
    const QString wanted = Q(page).trimmed().toLower();
    if (!wanted.isEmpty())
        names << (wanted.endsWith(".html") ? wanted : wanted + ".html");
    names << QStringLiteral("orvasaleprice.html");
    for (const QString& folder : HelpFolders()) {
        if (folder.isEmpty())
            continue;
        for (const QString& name : names) {
            QFileInfo file(QDir(folder), name);
            if (file.isFile())
                return file.canonicalFilePath();
        }
    }
    return {};
}

QWidget* ShowHelpWindow(const std::string& page, QWidget* parent) {
    const QString path = FindHelpFile(page);
    if (path.isEmpty()) {
        ShowMessageBox(parent, GetResText("找不到帮助文件。"), MsgButtons::kOK,
                       MsgIcon::kExclamation, GetResText("帮助"));
        return nullptr;
    }
    static QPointer<QDialog> window;
    if (window) {
        window->raise();
        window->activateWindow();
        return window;
    }
    // A child window of the modal window that asked, so it can be used
    // while that window stays open.
    auto* dialog = new QDialog(parent, Qt::Window);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowTitle(Q(GetResText("帮助")));
    dialog->setObjectName("help");
    auto* browser = new QTextBrowser(dialog);
    browser->setObjectName("helpBrowser");
    browser->setOpenExternalLinks(true);
    browser->setSource(QUrl::fromLocalFile(path));
    browser->scrollToAnchor(English() ? QStringLiteral("en") : QStringLiteral("zh"));
    auto* buttons = new QDialogButtonBox(dialog);
    QPushButton* close = buttons->addButton(Q(GetResText("关闭")), QDialogButtonBox::RejectRole);
    QObject::connect(close, &QPushButton::clicked, dialog, &QDialog::close);
    auto* layout = new QVBoxLayout(dialog);
    layout->addWidget(browser, 1);
    layout->addWidget(buttons);
    dialog->resize(720, 620);
    dialog->show();
    window = dialog;
    return dialog;
}

}  // namespace orva::qt
