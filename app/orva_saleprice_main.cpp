// orva-saleprice: the host application of the customer sale price module
// (see qt/hostapp/host_app.h; --help lists the options). It needs the
// public API alone, so the packaged program links the shared library.
#include "orvasaleprice/qt_face.h"

int main(int argc, char** argv) {
    return orva::qt::RunHostApp(argc, argv);
}
