#include "ko/input_dialog.h"

#include "ko/dark_style.h"

#include <QComboBox>

namespace ko {

bool input_dialog_flat_style = false;

namespace {

const char* const framed_style =
    "QWidget{background-image:none;border-image:none;background-color:rgb(47,47,47);color:rgb(198,213,210);}"
    "QPushButton{padding-left:0.5em;padding-right:0.5em;padding-top:0.5ex;padding-bottom:0.25ex;"
    "border-style:none;border-width:3px;border-image:url(:/gui/button/dark_normal.png) 3 stretch;}"
    "QPushButton:pressed{border-style:none;border-width:3px;"
    "border-image:url(:/gui/button/dark_pressed.png) 3 stretch;}"
    "QPushButton:hover{color:#f0f0f0;}"
    "QPushButton:disabled{color:rgba(129,136,133,50%);}"
    "QLineEdit{border:1px solid rgb(99,99,99);background-color:rgb(38,38,38);}"
    "QComboBox{padding-left:0.2em;margin-top:0px;margin-bottom:0px;outline:none;font-size:12px;"
    "background-color:rgb(36,36,36);border:1px solid rgb(99,99,99);"
    "selection-background-color:rgb(200,210,200);selection-color:#000;}"
    "QComboBox QAbstractItemView{outline:none;background-color:rgb(36,36,36);border:1px solid rgb(99,99,99);"
    "selection-background-color:rgb(200,210,200);selection-color:#000;}"
    "QComboBox QAbstractItemView::item{padding-left:0.5em;}"
    "QComboBox::drop-down{border:none;border-left:1px solid rgb(99,99,99);}"
    "QComboBox::down-arrow{image:url(:/gui/combobox/arrow.png);width:20px;}";

const char* const flat_style =
    "QWidget{background-image:none;border-image:none;background-color:rgb(47,47,47);color:rgb(198,213,210);}"
    "QPushButton{padding-left:0.5em;padding-right:0.5em;padding-top:0.5ex;padding-bottom:0.25ex;"
    "border:none;border-image:none;}"
    "QPushButton:pressed{border:none;border-image:none;}"
    "QPushButton:hover{color:#f0f0f0;}"
    "QPushButton:disabled{color:rgba(129,136,133,50%);}"
    "QLineEdit{background-color:rgb(38,38,38);color:rgb(220,220,220);border:none;"
    "selection-background-color:rgb(198,213,210);selection-color:#000;}"
    "QComboBox{padding-left:0.2em;margin-top:0px;margin-bottom:0px;outline:none;font-size:12px;"
    "background-color:rgb(36,36,36);border:none;color:rgb(160,160,160);"
    "selection-background-color:rgb(200,210,200);selection-color:#000;}"
    "QComboBox QAbstractItemView{outline:none;background-color:rgb(36,36,36);border:none;color:rgb(198,213,210);"
    "selection-background-color:rgb(200,210,200);selection-color:#000;}"
    "QComboBox QAbstractItemView::item{padding-left:0.5em;}"
    "QComboBox::drop-down{border:none;}"
    "QComboBox::down-arrow{image:url(:/gui/combobox/arrow.png);width:20px;}";

bool run(QInputDialog& dialog, bool* ok)
{
    const bool accepted = dialog.exec() == QDialog::Accepted;
    if (ok)
        *ok = accepted;
    return accepted;
}

} // namespace

void input_dialog_style(QInputDialog* dialog)
{
    dialog->setWindowFlags(dialog->windowFlags() & ~Qt::WindowContextHelpButtonHint);
    dialog->setStyleSheet(QString::fromLatin1(input_dialog_flat_style ? flat_style : framed_style)
                          + dark_tooltip_rule() + fusion_vertical_scrollbar_sheet());
}

double input_get_double(QWidget* parent, const QString& title, const QString& label, double value, double min,
                        double max, int decimals, bool* ok, Qt::WindowFlags flags)
{
    QInputDialog dialog(parent, flags);
    input_dialog_style(&dialog);
    dialog.setWindowTitle(title);
    dialog.setLabelText(label);
    dialog.setDoubleDecimals(decimals);
    dialog.setDoubleRange(min, max);
    dialog.setDoubleValue(value);
    return run(dialog, ok) ? dialog.doubleValue() : value;
}

int input_get_int(QWidget* parent, const QString& title, const QString& label, int value, int min, int max, int step,
                  bool* ok, Qt::WindowFlags flags)
{
    QInputDialog dialog(parent, flags);
    input_dialog_style(&dialog);
    dialog.setWindowTitle(title);
    dialog.setLabelText(label);
    dialog.setIntRange(min, max);
    dialog.setIntValue(value);
    dialog.setIntStep(step);
    return run(dialog, ok) ? dialog.intValue() : value;
}

QString input_get_item(QWidget* parent, const QString& title, const QString& label, const QStringList& items,
                       int current, bool editable, bool* ok, Qt::WindowFlags flags, Qt::InputMethodHints hints,
                       int* index)
{
    const bool in_list = current >= 0 && current < items.size();
    const QString start = in_list ? items.at(current) : QString();
    QInputDialog dialog(parent, flags);
    input_dialog_style(&dialog);
    dialog.setWindowTitle(title);
    dialog.setLabelText(label);
    dialog.setComboBoxItems(items);
    dialog.setTextValue(start);
    dialog.setComboBoxEditable(editable);
    dialog.setInputMethodHints(hints);
    if (!run(dialog, ok)) {
        if (index)
            *index = in_list ? current : -1;
        return start;
    }
    const QString text = dialog.textValue();
    if (index) {
        // The combo box knows which of several equal texts was picked; a text
        // typed into an editable one is looked up.
        const auto* combo = dialog.findChild<QComboBox*>();
        const int picked = combo ? combo->currentIndex() : -1;
        *index = picked >= 0 && picked < items.size() && items.at(picked) == text ? picked : items.indexOf(text);
    }
    return text;
}

QString input_get_multi_line_text(QWidget* parent, const QString& title, const QString& label, const QString& text,
                                  bool* ok, Qt::WindowFlags flags, Qt::InputMethodHints hints)
{
    QInputDialog dialog(parent, flags);
    input_dialog_style(&dialog);
    dialog.setOptions(QInputDialog::UsePlainTextEditForTextInput);
    dialog.setWindowTitle(title);
    dialog.setLabelText(label);
    dialog.setTextValue(text);
    dialog.setInputMethodHints(hints);
    return run(dialog, ok) ? dialog.textValue() : QString();
}

QString input_get_text(QWidget* parent, const QString& title, const QString& label, QLineEdit::EchoMode echo_mode,
                       const QString& text, bool* ok, Qt::WindowFlags flags, Qt::InputMethodHints hints,
                       const QString& ok_text, const QString& cancel_text)
{
    QInputDialog dialog(parent, flags);
    input_dialog_style(&dialog);
    dialog.setWindowTitle(title);
    dialog.setLabelText(label);
    dialog.setTextValue(text);
    dialog.setTextEchoMode(echo_mode);
    dialog.setInputMethodHints(hints);
    if (!ok_text.isEmpty())
        dialog.setOkButtonText(ok_text);
    if (!cancel_text.isEmpty())
        dialog.setCancelButtonText(cancel_text);
    return run(dialog, ok) ? dialog.textValue() : QString();
}

} // namespace ko
