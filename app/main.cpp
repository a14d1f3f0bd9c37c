// Entry point of Orlavo.
#include "main_window.h"

#include "ko/application.h"
#include "ko/application_log.h"
#include "ko/language.h"
#include "ko/message_handler.h"
#include "ko/proxy_style.h"

#include <QLibraryInfo>
#include <QPointer>
#include <QTranslator>

int main(int argc, char* argv[])
{
    ko::install_message_handler(true, false);

    QCoreApplication::setOrganizationName(QStringLiteral("Quenmark"));
    QCoreApplication::setOrganizationDomain(QStringLiteral("quenmark.example"));
    QCoreApplication::setApplicationName(QStringLiteral("Orlavo"));
    QCoreApplication::setApplicationVersion(QStringLiteral("2.1.0"));
    QGuiApplication::setApplicationDisplayName(QStringLiteral("Orlavo"));

    QCoreApplication::setAttribute(Qt::AA_EnableHighDpiScaling, true);

    ko::application<MainWindow> app(argc, argv);

    auto* style = new ko::proxy_style;
    style->set_tooltip_delay(2000);
    QApplication::setStyle(style);

    const QString lang = ko::get_language(QStringLiteral("lang"));

    // Load failures are not errors: the texts then stay English.
    auto* qt_translator = new QTranslator;
    qt_translator->load(QStringLiteral("qt_") + lang, QLibraryInfo::location(QLibraryInfo::TranslationsPath));
    QCoreApplication::installTranslator(qt_translator);
    // English has a translation of its own too: the plural forms of its
    // texts ("1 of 1 file"). A language without one gets it.
    auto* app_translator = new QTranslator;
    if (!app_translator->load(QStringLiteral(":/translations/") + lang))
        app_translator->load(QStringLiteral(":/translations/en"));
    QCoreApplication::installTranslator(app_translator);
    auto* toolkit_translator = new QTranslator;
    toolkit_translator->load(QStringLiteral(":/translations/toolkit_") + lang);
    QCoreApplication::installTranslator(toolkit_translator);

    ko::application_log::create(&app);

    QPointer<MainWindow> window = new MainWindow;
    app.window = window;
    QGuiApplication::setQuitOnLastWindowClosed(true);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->show();

    return app.exec();
}
