#pragma once
// The user-interface language: a short code ("en", "de", ...) kept in the
// settings store, the restart prompt after it was changed, and the localised
// help page shown in the browser.

#include <QList>
#include <QLocale>
#include <QMap>
#include <QString>

class QSettings;
class QWidget;

namespace ko {

// Languages the user interface is offered in (German, English).
extern const QList<QLocale> ui_languages;

// Code text of every language the toolkit knows a code for; holds more
// languages than ui_languages.
extern const QMap<QLocale::Language, QString> language_codes;

// The code of locale's language, or an empty text for an unknown language.
QString language_code(const QLocale& locale);

// The language in effect: the setting key when it is not empty, else the
// system language when the interface is offered in it, else "en".
QString get_language(const QString& key);

// Writes what settings holds to its file. False when that failed; the
// first failure of a run is said in a warning (with parent) that names the
// file.
bool settings_saved(QSettings& settings, QWidget* parent);

// Asks to restart when the language differs from previous_code and the
// settings could be saved (a language that was not stored would not come
// with the restart). Quits the application and returns true only when the
// user clicked "Quit now"; Escape and closing the box mean "Continue working".
bool confirm_language_change(QWidget* parent, const QString& previous_code);

// Where open_help writes its pages: a folder of the user's own.
QString help_folder();

// Writes the help page for the current language (template_path with %1
// replaced by the code, English when there is no such template) to
// help_folder() and opens it in the browser. Returns false when the page
// could not be read or written (a warning is logged), else whether the
// desktop accepted the URL.
bool open_help(const QString& template_path);

} // namespace ko
