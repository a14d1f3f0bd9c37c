#include "progress_pacer.h"

#include <QCoreApplication>
#include <QProgressDialog>
#include <QWidget>

progress_pacer::progress_pacer(QProgressDialog* progress, QWidget* held, int interval_ms)
    : progress(progress), held(held), interval_ms(interval_ms)
{
    since.start();
}

progress_pacer::~progress_pacer()
{
    hold(false);
}

void progress_pacer::hold(bool on)
{
    // A widget whose updates are off drops its repaint requests; turning
    // them on again repaints it as a whole.
    if (!held || on == holding || (on && !held->updatesEnabled()))
        return;
    held->setUpdatesEnabled(!on);
    holding = on;
}

void progress_pacer::step(int done)
{
    const bool last = done >= progress->maximum();
    if (!last && since.elapsed() < interval_ms) {
        hold(true);
        return;
    }
    hold(false);
    progress->setValue(done);
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 50);
    if (!last)
        hold(true);
    since.restart();
}
