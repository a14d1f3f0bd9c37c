#pragma once
// The settings dialog: user-interface language and the date/time format of
// the file list. Every choice is stored the moment it is made.

#include <QDialog>

namespace ko {
class combobox;
class datetime_format_selector;
} // namespace ko

class dialog_settings : public QDialog
{
    Q_OBJECT
public:
    dialog_settings();

    ko::combobox* language_combo = nullptr;
    ko::datetime_format_selector* format_selector = nullptr;

private:
    void store_language();
};
