#pragma once
// Paces the GUI work between the items of a long operation on the GUI
// thread: the progress value, the event processing and the repainting of a
// busy view happen about ten times a second, and once more at the end,
// instead of after every item.

#include <QElapsedTimer>
#include <QPointer>

class QProgressDialog;
class QWidget;

class progress_pacer
{
public:
    // progress: the dialog whose value follows the items; held: a widget that
    // changes with every item (such as the list of files) and is repainted
    // only at the paces, or null.
    explicit progress_pacer(QProgressDialog* progress, QWidget* held = nullptr, int interval_ms = 100);
    ~progress_pacer();
    progress_pacer(const progress_pacer&) = delete;
    progress_pacer& operator=(const progress_pacer&) = delete;

    // Called after each item with the number of items done. When the
    // interval has passed since the last pace, or done reaches the
    // progress maximum, sets the progress value and runs the events (user
    // input excluded) for at most 50 ms.
    void step(int done);

private:
    void hold(bool on);

    QProgressDialog* progress;
    QPointer<QWidget> held;
    bool holding = false;
    int interval_ms;
    QElapsedTimer since;
};
