#include "ko/language.h"

#include "ko/message_box.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QDebug>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSaveFile>
#include <QSettings>
#include <QStandardPaths>
#include <QUrl>

namespace ko {

const QList<QLocale> ui_languages = {
    QLocale(QLocale::German, QLocale::AnyCountry),
    QLocale(QLocale::English, QLocale::AnyCountry),
};

const QMap<QLocale::Language, QString> language_codes = {
    {QLocale::English, QStringLiteral("en")},
    {QLocale::French, QStringLiteral("fr")},
    {QLocale::German, QStringLiteral("de")},
    {QLocale::Korean, QStringLiteral("kr")},
};

QString language_code(const QLocale& locale)
{
    return language_codes.value(locale.language());
}

QString get_language(const QString& key)
{
    const QString stored = QSettings().value(key).toString();
    if (!stored.isEmpty())
        return stored;

    const QLocale::Language system = QLocale::system().language();
    if (language_codes.contains(system)) {
        for (const QLocale& offered : ui_languages)
            if (offered.language() == system)
                return language_codes.value(system);
    }
    return language_codes.value(QLocale::English);
}

bool settings_saved(QSettings& settings, QWidget* parent)
{
    settings.sync();
    if (settings.status() == QSettings::NoError)
        return true;
    static bool said = false;
    if (!said) {
        said = true;
        qWarning("The settings cannot be saved to '%s'.", qUtf8Printable(settings.fileName()));
        message_box::warning(parent, QObject::tr("Settings not saved"),
                             QObject::tr("The settings cannot be saved, so changes made now are lost when the "
                                         "application ends.\n\nSettings file:\n%1")
                                 .arg(QDir::toNativeSeparators(settings.fileName())),
                             QMessageBox::Ok, QMessageBox::NoButton);
    }
    return false;
}

bool confirm_language_change(QWidget* parent, const QString& previous_code)
{
    if (get_language(QStringLiteral("lang")) == previous_code)
        return false;
    QSettings settings;
    if (!settings_saved(settings, parent))
        return false;

    // Built by hand rather than through question_yes_no: a Yes/No box left
    // alone lets Escape and the window's close button pick No, which here
    // would quit with unsaved work. Both must mean "Continue working".
    message_box box(QMessageBox::Question, QObject::tr("Application language changed"),
                    QObject::tr("The application language has been changed.\n"
                                "The application needs to be restarted to use the new language."),
                    QMessageBox::NoButton, parent);
    box.set_buttons(QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes);
    box.button(QMessageBox::Yes)->setText(QObject::tr("Continue working"));
    box.button(QMessageBox::No)->setText(QObject::tr("Quit now"));
    box.setEscapeButton(box.button(QMessageBox::Yes));

    const QMessageBox::StandardButton answer = box.exec_logged();
    if (answer == QMessageBox::No && box.clickedButton() == box.button(QMessageBox::No)) {
        QCoreApplication::quit();
        return true;
    }
    return false;
}

QString help_folder()
{
    QString base = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
    if (base.isEmpty())
        base = QDir::homePath() + QStringLiteral("/.cache");
    return base + QStringLiteral("/help");
}

bool open_help(const QString& template_path)
{
    QString lang = get_language(QStringLiteral("lang"));
    // The code becomes part of a file name: anything but a plain code
    // (a path, say) gets the English page.
    static const QRegularExpression plain_code(QStringLiteral("^[A-Za-z0-9_-]+$"));
    if (!plain_code.match(lang).hasMatch() || !QFile::exists(template_path.arg(lang)))
        lang = QStringLiteral("en");

    const QString source_name = template_path.arg(lang);
    QFile source(source_name);
    if (!source.open(QIODevice::ReadOnly)) {
        qWarning() << "Could not open help file for language" << lang << "with template"
                   << template_path << "resulting in" << source_name;
        return false;
    }
    QString text = QString::fromUtf8(source.readAll());
    source.close();
    text.replace(QStringLiteral("StXrg"), QStringLiteral("Strg"));
    text.replace(QStringLiteral("CtXrl"), QStringLiteral("Ctrl"));

    const QString folder = help_folder();
    QString app_name = QCoreApplication::applicationName().toLower();
    app_name.remove(QLatin1Char(' '));
    const QString target_name =
        folder + QStringLiteral("/%1_help_%2.html").arg(app_name, lang);

    // Written under a name of its own and renamed in place, so a browser
    // never sees a half-written page and a failed write is noticed.
    QSaveFile target(target_name);
    if (!QDir().mkpath(folder) || !target.open(QIODevice::WriteOnly)) {
        qWarning() << "Could not write help page" << target_name << ":" << target.errorString();
        return false;
    }
    const QByteArray bytes = text.toUtf8();
    if (target.write(bytes) != bytes.size() || !target.commit()) {
        qWarning() << "Could not write help page" << target_name << ":" << target.errorString();
        return false;
    }

    return QDesktopServices::openUrl(QUrl::fromLocalFile(target_name));
}

} // namespace ko
