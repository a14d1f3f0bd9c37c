#pragma once
// The application object of a toolkit program. T is the main window class;
// once `window` is set, a file-open event sent to the application object is
// handed on to that window while it is visible, so the window's own event
// handler can load the file.

#include <QApplication>
#include <QEvent>
#include <QPointer>

namespace ko {

template <typename T>
class application : public QApplication {
public:
    application(int& argc, char** argv) : QApplication(argc, argv) {}
    ~application() override = default;

    // Null by itself once the window is destroyed.
    QPointer<T> window;

protected:
    bool event(QEvent* e) override
    {
        const bool handled = QApplication::event(e);
        // Only the file-open event is meant for the window: handing on every
        // event would run queued calls and zero-delay timers aimed at the
        // application a second time.
        if (e->type() == QEvent::FileOpen && window && window->isVisible())
            return static_cast<QObject*>(window.data())->event(e);
        return handled;
    }
};

} // namespace ko
