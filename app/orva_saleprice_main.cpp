// orva-saleprice: the host application of the customer sale price module
// (see qt/host_app.h; --help lists the options).
#include "qt/host_app.h"

int main(int argc, char** argv) {
    return orva::qt::RunHostApp(argc, argv);
}
