#pragma once
// Dark input dialogs built on QInputDialog: each helper runs a dialog
// modally, stores whether it was accepted in *ok (when given) and returns
// the entered value, or on rejection the starting number, the starting item
// text or an empty text.

#include <QInputDialog>
#include <QLineEdit>
#include <QStringList>


namespace ko {

// Gives input dialogs the borderless look instead of the framed one. Off by default.
extern bool input_dialog_flat_style;

// Clears the context-help button hint and sets the framed or borderless sheet.
void input_dialog_style(QInputDialog* dialog);

double input_get_double(QWidget* parent, const QString& title, const QString& label, double value = 0,
                        double min = -2147483647, double max = 2147483647, int decimals = 1, bool* ok = nullptr,
                        Qt::WindowFlags flags = Qt::WindowFlags());

int input_get_int(QWidget* parent, const QString& title, const QString& label, int value = 0, int min = -2147483647,
                  int max = 2147483647, int step = 1, bool* ok = nullptr, Qt::WindowFlags flags = Qt::WindowFlags());

// Starts with items[current], or an empty text when current is outside the list.
// *index (when given) gets the position of the returned item in items, which
// tells apart items of equal text; -1 when the text is none of the items.
QString input_get_item(QWidget* parent, const QString& title, const QString& label, const QStringList& items,
                       int current = 0, bool editable = true, bool* ok = nullptr,
                       Qt::WindowFlags flags = Qt::WindowFlags(), Qt::InputMethodHints hints = Qt::ImhNone,
                       int* index = nullptr);

QString input_get_multi_line_text(QWidget* parent, const QString& title, const QString& label,
                                  const QString& text = QString(), bool* ok = nullptr,
                                  Qt::WindowFlags flags = Qt::WindowFlags(), Qt::InputMethodHints hints = Qt::ImhNone);

// ok_text and cancel_text relabel the two buttons when not empty.
QString input_get_text(QWidget* parent, const QString& title, const QString& label,
                       QLineEdit::EchoMode echo_mode = QLineEdit::Normal, const QString& text = QString(),
                       bool* ok = nullptr, Qt::WindowFlags flags = Qt::WindowFlags(),
                       Qt::InputMethodHints hints = Qt::ImhNone, const QString& ok_text = QString(),
                       const QString& cancel_text = QString());

} // namespace ko
