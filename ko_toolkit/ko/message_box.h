#pragma once
// Dark message boxes. The static helpers add the standard buttons, pick the
// default button, relabel Yes/No/Cancel where asked, run the box modally and
// return the clicked standard button (Cancel when the box ended without one).

#include <QMessageBox>

namespace ko {

class message_box : public QMessageBox {
public:
    message_box(QMessageBox::Icon icon, const QString& title, const QString& text,
                QMessageBox::StandardButtons buttons = QMessageBox::NoButton, QWidget* parent = nullptr);

    // Writes "MessageBox "<title>" "<text>": <button>" as a debug message for
    // every box shown by exec_logged. Off by default.
    static bool log_enabled;

    // Adds the standard buttons of `buttons` in ascending order. The default
    // button is `default_button`, or with NoButton the first one with the
    // accept role.
    void set_buttons(QMessageBox::StandardButtons buttons, QMessageBox::StandardButton default_button);

    QMessageBox::StandardButton exec_logged();

    using QWidget::show;

    static QMessageBox::StandardButton show(QWidget* parent, QMessageBox::Icon icon, const QString& title,
                                            const QString& text,
                                            QMessageBox::StandardButtons buttons = QMessageBox::Ok,
                                            QMessageBox::StandardButton default_button = QMessageBox::NoButton);
    static QMessageBox::StandardButton information(QWidget* parent, const QString& title, const QString& text,
                                                   QMessageBox::StandardButtons buttons = QMessageBox::Ok,
                                                   QMessageBox::StandardButton default_button = QMessageBox::NoButton);
    static QMessageBox::StandardButton question(QWidget* parent, const QString& title, const QString& text,
                                                QMessageBox::StandardButtons buttons = QMessageBox::StandardButtons(
                                                    QMessageBox::Yes | QMessageBox::No),
                                                QMessageBox::StandardButton default_button = QMessageBox::NoButton);
    static QMessageBox::StandardButton warning(QWidget* parent, const QString& title, const QString& text,
                                               QMessageBox::StandardButtons buttons = QMessageBox::Ok,
                                               QMessageBox::StandardButton default_button = QMessageBox::NoButton);
    static QMessageBox::StandardButton critical(QWidget* parent, const QString& title, const QString& text,
                                                QMessageBox::StandardButtons buttons = QMessageBox::Ok,
                                                QMessageBox::StandardButton default_button = QMessageBox::NoButton);

    static QMessageBox::StandardButton question_yes_no(QWidget* parent, const QString& title, const QString& text,
                                                       const QString& yes_text, const QString& no_text,
                                                       QMessageBox::StandardButton default_button = QMessageBox::NoButton);
    static QMessageBox::StandardButton question_yes_no_cancel(QWidget* parent, const QString& title,
                                                              const QString& text, const QString& yes_text,
                                                              const QString& no_text, const QString& cancel_text,
                                                              QMessageBox::StandardButton default_button = QMessageBox::NoButton);
    static QMessageBox::StandardButton question_yes_no_all(QWidget* parent, const QString& title, const QString& text,
                                                           const QString& yes_text, const QString& no_text,
                                                           const QString& yes_to_all_text,
                                                           const QString& no_to_all_text,
                                                           QMessageBox::StandardButton default_button = QMessageBox::NoButton);
    static QMessageBox::StandardButton critical_yes_no(QWidget* parent, const QString& title, const QString& text,
                                                       const QString& yes_text, const QString& no_text,
                                                       QMessageBox::StandardButton default_button = QMessageBox::NoButton);

private:
    void set_button_text(QMessageBox::StandardButton which, const QString& text);
};

} // namespace ko
