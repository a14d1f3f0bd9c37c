#include "dialog_support.h"

#include <QApplication>
#include <QColor>
#include <QElapsedTimer>
#include <QTimer>

#include <cstdlib>
#include <memory>

namespace test_support {

void act_on_modal_later(std::function<void(QWidget*)> action, int timeout_ms)
{
    auto timer = new QTimer(qApp);
    auto clock = std::make_shared<QElapsedTimer>();
    clock->start();
    timer->setInterval(20);
    QObject::connect(timer, &QTimer::timeout, [timer, clock, action, timeout_ms]() {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal && modal->isVisible()) {
            timer->stop();
            timer->deleteLater();
            action(modal);
            return;
        }
        if (clock->elapsed() > timeout_ms) {
            timer->stop();
            timer->deleteLater();
            qWarning("act_on_modal_later: no modal dialog appeared");
        }
    });
    timer->start();
}

bool colour_near(QColor colour, int r, int g, int b, int tolerance)
{
    return std::abs(colour.red() - r) <= tolerance && std::abs(colour.green() - g) <= tolerance
        && std::abs(colour.blue() - b) <= tolerance;
}

} // namespace test_support
