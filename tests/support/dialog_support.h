#pragma once
// Acting on a modal dialog from inside its own event loop.

#include <QWidget>

#include <functional>

namespace test_support {

// Within timeout_ms, waits for the active modal widget to be visible and then
// calls action with it once (from the event loop, so the dialog is running).
void act_on_modal_later(std::function<void(QWidget*)> action, int timeout_ms = 5000);

// Whether the colour is within tolerance of (r, g, b) on every channel.
bool colour_near(QColor colour, int r, int g, int b, int tolerance = 8);

} // namespace test_support
