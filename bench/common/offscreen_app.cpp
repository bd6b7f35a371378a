#include "common/offscreen_app.h"

#include <QApplication>
#include <string>

#include "host/host_services.h"
#include "qt/controls/cjk_fonts.h"

namespace orva::bench {

bool StartOffscreenApp(const char* programName) {
    if (QApplication::instance())
        return false;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // QApplication keeps argc and argv and may rewrite them: they live as
    // long as the process.
    static std::string name = programName;
    static int argc = 1;
    static char* argv[] = {name.data(), nullptr};
    new QApplication(argc, argv);
    qt::InstallCjkApplicationFont();
    RegisterHostServices();
    return true;
}

}  // namespace orva::bench
