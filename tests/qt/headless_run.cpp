#include "headless_run.h"

#include <QProcess>
#include <QProcessEnvironment>

#include "orva_build_paths.h"

namespace orva::qt {

HeadlessRun RunHeadless(const QStringList& args) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"}) env.remove(name);
    QProcess process;
    process.setProcessEnvironment(env);
    process.start(ORVA_BINARY_DIR "/app/orva-saleprice", QStringList{"--language", "ENG"} + args);
    HeadlessRun r;
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit) {
        process.kill();
        return r;
    }
    r.exitCode = process.exitCode();
    r.out = QString::fromUtf8(process.readAllStandardOutput());
    r.err = QString::fromUtf8(process.readAllStandardError());
    return r;
}

}  // namespace orva::qt
