#pragma once
// The base of an application's main window: a plain QMainWindow.

#include <QMainWindow>

namespace ko {

class main_window : public QMainWindow {
    Q_OBJECT
public:
    explicit main_window(QWidget* parent = nullptr, Qt::WindowFlags flags = Qt::WindowFlags());
    ~main_window() override;
};

} // namespace ko
