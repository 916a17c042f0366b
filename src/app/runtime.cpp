#include "app/runtime.h"

#include <stdexcept>

namespace tarvik {

std::shared_ptr<Figure> Runtime::main_window() const { return main_ && main_->alive() ? main_ : nullptr; }

Figure& Runtime::figure() const {
    if (!main_ || !main_->alive())
        throw std::runtime_error("Invalid handle: the main window no longer exists.");
    return *main_;
}

void Runtime::set_main_window(std::shared_ptr<Figure> window) { main_ = std::move(window); }

void Runtime::delete_main_window() {
    if (main_)
        main_->destroy();
}

void Runtime::store(const Handles& handles) const {
    if (auto w = main_window())
        w->store(handles);
}

} // namespace tarvik
