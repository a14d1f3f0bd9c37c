#include "ko/main_window.h"

namespace ko {

main_window::main_window(QWidget* parent, Qt::WindowFlags flags) : QMainWindow(parent, flags) {}

main_window::~main_window() = default;

} // namespace ko
