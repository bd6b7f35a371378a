#include "qt/hostapp/host_app.h"

#include <QApplication>
#include <QDir>
#include <QGuiApplication>
#include <QIcon>
#include <QTemporaryDir>
#include <cstdlib>
#include <exception>
#include <iostream>
#include <memory>
#include <optional>
#include <ostream>

#include "host/db/db_backend.h"
#include "host/host_services.h"
#include "host/session_string.h"
#include "host/share_props.h"
#include "orvasaleprice/cust_face.h"
#include "qt/controls/cjk_fonts.h"
#include "qt/controls/qt_text.h"
#include "qt/dialogs/message_box.h"
#include "qt/dialogs/qt_translations.h"
#include "qt/hostapp/host_app_batch.h"
#include "qt/hostapp/host_app_company.h"
#include "qt/hostapp/host_app_import.h"
#include "qt/hostapp/host_app_options.h"
#include "qt/hostapp/host_app_quote.h"
#include "qt/hostapp/host_app_screenshots.h"
#include "session/module_context.h"
#include "session/res_text.h"

namespace orva::qt {
namespace {

constexpr const char* kProgram = "orva-saleprice";
constexpr const char* kDesktopId = "com.orva.saleprice";

// Where failures go: always standard error; a message box too when a user
// sits in front of the screen.
class Reporter {
  public:
    void EnableDialogs(bool on) { dialogs_ = on; }
    void Error(const std::string& text) const {
        std::cerr << kProgram << ": " << text << std::endl;
        if (dialogs_ && qApp) {
            ShowMessageBox(nullptr, text, MsgButtons::kOK, MsgIcon::kCritical,
                           GetResText("客户销售价格"));
        }
    }

  private:
    bool dialogs_ = false;
};

// Qt's messages while the platform opens. A failure to open it is fatal in
// Qt (an abort); it is reported here as a clear failure instead.
std::vector<std::string>& StartupNotes() {
    static std::vector<std::string> notes;
    return notes;
}

void StartupMessages(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type != QtFatalMsg) {
        StartupNotes().push_back(U(message));
        return;
    }
    std::cerr << kProgram << ": " << GetResText("无法打开图形显示。") << "\n";
    for (const std::string& note : StartupNotes()) std::cerr << "  " << note << "\n";
    std::cerr << "  " << U(message).substr(0, U(message).find('\n')) << std::endl;
    std::_Exit(kExitFailure);
}

// Whether the platform Qt will use needs a display server, and none is named.
bool NoDisplay() {
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    const bool needsServer =
        platform.isEmpty() || platform.startsWith("xcb") || platform.startsWith("wayland");
    return needsServer && qEnvironmentVariableIsEmpty("DISPLAY") &&
           qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

// The application, unless the process has one already (a test running the
// program in its own).
std::unique_ptr<QApplication> MakeApplication(const char* program) {
    if (qApp)
        return nullptr;
    // Qt reads its own options from the command line; this program's options
    // are its own, so Qt sees the program name only.
    static int argc = 1;
    static char name[64];
    std::snprintf(name, sizeof name, "%s", program);
    static char* argv[] = {name, nullptr};
    QtMessageHandler previous = qInstallMessageHandler(StartupMessages);
    auto app = std::make_unique<QApplication>(argc, argv);
    qInstallMessageHandler(previous);
    StartupNotes().clear();
    return app;
}

// The screen is looked at: not offscreen, not while taking pictures.
bool Interactive(const HostAppOptions& options) {
    const QString platform = QGuiApplication::platformName();
    return options.screenshotDir.empty() && options.exportFile.empty() &&
           options.printPdfFile.empty() && platform != "offscreen" && platform != "minimal";
}

struct Preselection {
    std::int32_t customer = 0;
    std::int32_t item = 0;
};

// Calls the module as the options ask; with a tour, in edit mode on the
// customer tree while the tour takes its pictures.
int ShowModule(const HostAppOptions& options, const Preselection& pre, ScreenshotTour* tour,
               const Reporter& report) {
    CustFace face;
    if (options.mode == ShowSelect)
        face.ReturnType(options.returnType);
    face.SelCustID(pre.customer);
    face.SelICItemID(pre.item);
    const bool batch = !options.exportFile.empty() || !options.printPdfFile.empty();
    // Pictures start on the customer tree, whatever was asked for; a file
    // written from an item's ledger is written from the item tree.
    face.CategoryByCust(tour    ? true
                        : batch ? options.categoryByCust.value_or(!options.customer.empty())
                                : options.categoryByCust.value_or(true));
    face.CallByBill(options.callByBill);

    if (tour)
        tour->Start();
    std::unique_ptr<BatchJob> job;
    if (batch) {
        job = std::make_unique<BatchJob>(options);
        job->Install();
        job->Start();
    }
    face.Show(tour ? showedit : options.mode);

    if (job) {
        if (const std::string failure = job->Failure(); !failure.empty()) {
            report.Error(failure);
            return kExitFailure;
        }
        return kExitOk;
    }

    if (tour) {
        for (const QString& path : tour->Saved()) std::cout << U(path) << "\n";
        std::cout.flush();
        if (!tour->Failure().isEmpty()) {
            report.Error(FillIn(GetResText("截图未完成：%1"), {U(tour->Failure())}));
            return kExitFailure;
        }
        return kExitOk;
    }
    if (options.mode != ShowSelect)
        return kExitOk;
    RecordsetPtr picked = face.ReturnRecordSet();
    if (!picked || picked->EOF_()) {
        std::cerr << kProgram << ": " << GetResText("没有选择价格资料。") << std::endl;
        return kExitNothingPicked;
    }
    PrintRecord(*picked, std::cout);
    std::cout.flush();
    return kExitOk;
}

// The session's language for what follows: the module's texts, Qt's own and
// the session string the module reads at Show.
void UseLanguage(const std::string& connection, int userId, const std::string& language) {
    ModuleContext::Shared().g_Language = language;
    InstallQtTranslations(language);
    ShareProps().SetProperty(ShareProps::CurrentProcessId(), "PropsString",
                             Variant(HostSessionString(connection, userId, language)));
}

// The tour in the session's language. After a Chinese session the same tour
// runs again in English and keeps the English pictures ("-eng"), so that
// they are made with the others and show the same windows.
int TakeScreenshots(const HostAppOptions& options, const Preselection& pre,
                    const ScreenshotPlan& plan, const std::string& connection, int userId,
                    const Reporter& report) {
    ScreenshotTour tour(Q(options.screenshotDir), plan);
    int status = ShowModule(options, pre, &tour, report);
    if (status != kExitOk || options.language != "CHS")
        return status;
    UseLanguage(connection, userId, "ENG");
    ScreenshotTour english(Q(options.screenshotDir), plan, QStringLiteral("-eng"),
                           ScreenshotTour::EnglishPictures());
    status = ShowModule(options, pre, &english, report);
    UseLanguage(connection, userId, options.language);
    return status;
}

}  // namespace

std::string HostSessionString(const std::string& connection, int userId,
                              const std::string& language) {
    return MakeSessionString(connection, userId, "ic", language);
}

void PrintRecord(const Recordset& rs, std::ostream& out) {
    for (int i = 0; i < rs.FieldCount(); ++i) {
        const Variant& value = rs.Fields(i).Value();
        out << rs.FieldName(i) << '=' << (value.IsNull() ? std::string() : value.ToText()) << '\n';
    }
}

int RunHostApp(int argc, char** argv) {
    HostAppOptions options;
    try {
        options = ParseHostAppOptions(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const UsageError& e) {
        std::cerr << kProgram << ": " << e.what() << "\nTry '" << kProgram << " --help'.\n";
        return kExitUsage;
    }
    // Help and version need no display: they are answered before Qt starts.
    if (options.help) {
        std::cout << HostAppUsage();
        return kExitOk;
    }
    if (options.version) {
        std::cout << HostAppVersion();
        return kExitOk;
    }

    RegisterHostServices();
    ModuleContext::Shared().g_Language = options.language;
    // A quote opens no window: it is answered before Qt starts, so it runs
    // without a display.
    if (options.quote)
        return RunQuote(options, std::cout, std::cerr);
    // An import without a window runs before Qt starts too.
    if (!options.importFile.empty())
        return RunImport(options, std::cout, std::cerr);
    Reporter report;

    if (!qApp && NoDisplay()) {
        report.Error(
            GetResText("没有图形显示（DISPLAY 和 WAYLAND_DISPLAY 都未设置）。请在桌面中运行，"
                       "或用 xvfb-run -a 运行并加上 --screenshot 目录。"));
        return kExitFailure;
    }
    std::unique_ptr<QApplication> app = MakeApplication(kProgram);
    if (app) {
        // The desktop entry and icon the packages install: the desktop
        // shows the windows under the entry's name and icon.
        QGuiApplication::setDesktopFileName(QString::fromLatin1(kDesktopId));
        QApplication::setWindowIcon(QIcon::fromTheme(QString::fromLatin1(kDesktopId)));
    }
    InstallCjkApplicationFont();
    InstallQtTranslations(options.language);
    report.EnableDialogs(Interactive(options));

    try {
        if (!options.screenshotDir.empty() && !QDir().mkpath(Q(options.screenshotDir))) {
            throw HostAppError(FillIn(GetResText("无法创建截图目录：%1"), {options.screenshotDir}));
        }
        OpenedCompany company = OpenCompany(options.database);
        if (company.created) {
            std::cerr << kProgram << ": "
                      << FillIn(GetResText("已创建演示公司数据库：%1"), {company.connection})
                      << std::endl;
        }
        const CompanyUser user = FindUser(*company.backend, options.user);
        Preselection pre;
        if (!options.customer.empty())
            pre.customer = FindCustomer(*company.backend, options.customer);
        if (!options.item.empty())
            pre.item = FindItem(*company.backend, options.item);
        std::optional<ScreenshotPlan> plan;
        if (!options.screenshotDir.empty()) {
            plan = PlanScreenshots(*company.backend);
            if (pre.customer == 0)
                pre.customer = plan->customerID;
        }
        company.backend.reset();  // the module opens its own connections

        UseLanguage(company.connection, user.id, options.language);
        // Pictures are taken with the windows' default choices, and leave the
        // user's own settings alone.
        QTemporaryDir scratch;
        std::string settings = options.settingsFile;
        if (settings.empty() && plan)
            settings = U(scratch.filePath("settings.ini"));
        InstallQtFace(settings);
        if (plan)
            return TakeScreenshots(options, pre, *plan, company.connection, user.id, report);
        return ShowModule(options, pre, nullptr, report);
    } catch (const HostAppError& e) {
        report.Error(e.what());
    } catch (const std::runtime_error& e) {
        report.Error(FillIn(GetResText("客户价格窗口出错：%1"), {e.what()}));
    }
    return kExitFailure;
}

}  // namespace orva::qt
