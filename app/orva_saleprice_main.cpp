// orva-saleprice: the host application of the customer sale price module
// (see qt/hostapp/host_app.h; --help lists the options).
#include "qt/hostapp/host_app.h"

int main(int argc, char** argv) {
    return orva::qt::RunHostApp(argc, argv);
}
