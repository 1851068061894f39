#pragma once

#include <QPointer>
#include <QWidget>

namespace scrivane {

// A modeless window that exists at most once: the first show creates it, later
// shows bring the same window to the front, and once it is closed (and so
// destroyed) the next show creates it afresh.
template <class Window>
class SingleWindow
{
public:
    // make() builds the window; it runs only when none exists.
    template <class Factory>
    Window* show(Factory&& make)
    {
        if (!window_) {
            window_ = make();
            window_->setAttribute(Qt::WA_DeleteOnClose);
        }
        window_->show();
        window_->raise();
        window_->activateWindow();
        return window_;
    }

    Window* window() const { return window_; }

private:
    QPointer<Window> window_;
};

} // namespace scrivane
