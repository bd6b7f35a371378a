#include "host/modal_window.h"

namespace orva {

void ModalWindow::Hide() {
    if (!visible_)
        return;
    visible_ = false;
    if (hideListener_)
        hideListener_();
}

}  // namespace orva
