#include "ko/message_box.h"

#include <QAbstractButton>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>

namespace ko {

bool message_box::log_enabled = false;

namespace {

const char* const box_style =
    "QWidget{background-color:rgb(47,47,47);color:rgb(198,213,210);}"
    "QAbstractButton{padding-left:0.5em;padding-right:0.5em;padding-top:0.5ex;padding-bottom:0.25ex;"
    "border-style:none;border-width:3px;border-image:url(:/gui/button/dark_normal.png) 3 stretch;}"
    "QAbstractButton:pressed{border-style:none;border-width:3px;"
    "border-image:url(:/gui/button/dark_pressed.png) 3 stretch;}"
    "QAbstractButton:hover{color:#f0f0f0;}"
    "QAbstractButton:disabled{color:rgba(129,136,133,50%);}";

const char* const icon_label_style = "background: none; background-color: rgb(47,47,47); color: rgb(184,196,191);";

} // namespace

message_box::message_box(QMessageBox::Icon icon, const QString& title, const QString& text,
                         QMessageBox::StandardButtons buttons, QWidget* parent)
    : QMessageBox(icon, title, text, buttons, parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint)
{
    setStyleSheet(QString::fromLatin1(box_style));
}

void message_box::set_buttons(QMessageBox::StandardButtons buttons, QMessageBox::StandardButton default_button)
{
    if (auto* icon_label = findChild<QLabel*>(QStringLiteral("qt_msgboxex_icon_label")))
        icon_label->setStyleSheet(QString::fromLatin1(icon_label_style));
    auto* button_box = findChild<QDialogButtonBox*>();

    for (unsigned bit = QMessageBox::Ok; bit <= QMessageBox::RestoreDefaults; bit <<= 1) {
        if (!(buttons & bit))
            continue;
        const auto which = static_cast<QMessageBox::StandardButton>(bit);
        QPushButton* button = addButton(which);
        if (!button || defaultButton())
            continue;
        if (default_button == which)
            setDefaultButton(button);
        else if (default_button == QMessageBox::NoButton && button_box
                 && button_box->buttonRole(button) == QDialogButtonBox::AcceptRole)
            setDefaultButton(button);
    }
}

QMessageBox::StandardButton message_box::exec_logged()
{
    const int result = exec();
    QAbstractButton* clicked = clickedButton();
    if (log_enabled) {
        const QByteArray button_text =
            (result == -1 || !clicked) ? QByteArray("Cancel") : clicked->text().toUtf8();
        qDebug("MessageBox \"%s\" \"%s\": %s", windowTitle().toUtf8().constData(), text().toUtf8().constData(),
               button_text.constData());
    }
    if (result == -1 || !clicked)
        return QMessageBox::Cancel;
    return standardButton(clicked);
}

void message_box::set_button_text(QMessageBox::StandardButton which, const QString& text)
{
    if (QAbstractButton* b = button(which))
        b->setText(text);
}

QMessageBox::StandardButton message_box::show(QWidget* parent, QMessageBox::Icon icon, const QString& title,
                                              const QString& text, QMessageBox::StandardButtons buttons,
                                              QMessageBox::StandardButton default_button)
{
    message_box box(icon, title, text, QMessageBox::NoButton, parent);
    box.set_buttons(buttons, default_button);
    return box.exec_logged();
}

QMessageBox::StandardButton message_box::information(QWidget* parent, const QString& title, const QString& text,
                                                     QMessageBox::StandardButtons buttons,
                                                     QMessageBox::StandardButton default_button)
{
    return show(parent, QMessageBox::Information, title, text, buttons, default_button);
}

QMessageBox::StandardButton message_box::question(QWidget* parent, const QString& title, const QString& text,
                                                  QMessageBox::StandardButtons buttons,
                                                  QMessageBox::StandardButton default_button)
{
    return show(parent, QMessageBox::Question, title, text, buttons, default_button);
}

QMessageBox::StandardButton message_box::warning(QWidget* parent, const QString& title, const QString& text,
                                                 QMessageBox::StandardButtons buttons,
                                                 QMessageBox::StandardButton default_button)
{
    return show(parent, QMessageBox::Warning, title, text, buttons, default_button);
}

QMessageBox::StandardButton message_box::critical(QWidget* parent, const QString& title, const QString& text,
                                                  QMessageBox::StandardButtons buttons,
                                                  QMessageBox::StandardButton default_button)
{
    return show(parent, QMessageBox::Critical, title, text, buttons, default_button);
}

QMessageBox::StandardButton message_box::question_yes_no(QWidget* parent, const QString& title, const QString& text,
                                                         const QString& yes_text, const QString& no_text,
                                                         QMessageBox::StandardButton default_button)
{
    message_box box(QMessageBox::Question, title, text, QMessageBox::NoButton, parent);
    box.set_buttons(QMessageBox::Yes | QMessageBox::No, default_button);
    box.set_button_text(QMessageBox::Yes, yes_text);
    box.set_button_text(QMessageBox::No, no_text);
    return box.exec_logged();
}

QMessageBox::StandardButton message_box::question_yes_no_cancel(QWidget* parent, const QString& title,
                                                                const QString& text, const QString& yes_text,
                                                                const QString& no_text, const QString& cancel_text,
                                                                QMessageBox::StandardButton default_button)
{
    message_box box(QMessageBox::Question, title, text, QMessageBox::NoButton, parent);
    box.set_buttons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, default_button);
    box.set_button_text(QMessageBox::Yes, yes_text);
    box.set_button_text(QMessageBox::No, no_text);
    box.set_button_text(QMessageBox::Cancel, cancel_text);
    return box.exec_logged();
}

QMessageBox::StandardButton message_box::question_yes_no_all(QWidget* parent, const QString& title,
                                                             const QString& text, const QString& yes_text,
                                                             const QString& no_text, const QString& yes_to_all_text,
                                                             const QString& no_to_all_text,
                                                             QMessageBox::StandardButton default_button)
{
    message_box box(QMessageBox::Question, title, text, QMessageBox::NoButton, parent);
    box.set_buttons(QMessageBox::Yes | QMessageBox::No | QMessageBox::YesToAll | QMessageBox::NoToAll,
                    default_button);
    box.set_button_text(QMessageBox::Yes, yes_text);
    box.set_button_text(QMessageBox::No, no_text);
    box.set_button_text(QMessageBox::YesToAll, yes_to_all_text);
    box.set_button_text(QMessageBox::NoToAll, no_to_all_text);
    return box.exec_logged();
}

QMessageBox::StandardButton message_box::critical_yes_no(QWidget* parent, const QString& title, const QString& text,
                                                         const QString& yes_text, const QString& no_text,
                                                         QMessageBox::StandardButton default_button)
{
    message_box box(QMessageBox::Critical, title, text, QMessageBox::NoButton, parent);
    box.set_buttons(QMessageBox::Yes | QMessageBox::No, default_button);
    box.set_button_text(QMessageBox::Yes, yes_text);
    box.set_button_text(QMessageBox::No, no_text);
    return box.exec_logged();
}

} // namespace ko
