// orva-saleprice run as a script runs it: no display and no Qt platform
// named, in English, with what it printed and its exit status.
#pragma once

#include <QString>
#include <QStringList>

namespace orva::qt {

struct HeadlessRun {
    int exitCode = -1;  // -1: it did not end within a minute, or crashed
    QString out;
    QString err;
};

HeadlessRun RunHeadless(const QStringList& args);

}  // namespace orva::qt
