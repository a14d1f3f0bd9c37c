#include "settings_dialog.h"

#include "ko/combobox.h"
#include "ko/datetime_format_selector.h"
#include "ko/language.h"
#include "ko/panel.h"

#include <QGridLayout>
#include <QLabel>
#include <QSettings>
#include <QVBoxLayout>

dialog_settings::dialog_settings()
    : QDialog(nullptr)
{
    setWindowTitle(tr("Settings"));
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    setStyleSheet(QStringLiteral("color: rgb(198,213,210)"));

    format_selector = new ko::datetime_format_selector(nullptr);

    auto* box = new QVBoxLayout;
    box->setSpacing(0);
    box->setContentsMargins(0, 0, 0, 0);
    setLayout(box);
    box->addWidget(format_selector);

    auto* grid = new QGridLayout;
    grid->setContentsMargins(20, 20, 20, 20);
    auto* content = new QWidget;
    content->setLayout(grid);
    auto* content_box = new QVBoxLayout;
    content_box->setContentsMargins(0, 0, 0, 0);
    content_box->addWidget(content);
    box->addWidget(new ko::panel(content_box));

    language_combo = new ko::combobox(nullptr);
    grid->addWidget(new QLabel(tr("Language")), 0, 0);
    grid->addWidget(language_combo, 0, 1);

    // The languages' own names, not translated.
    language_combo->addItem(QStringLiteral("English"), QStringLiteral("en"));
    language_combo->addItem(QStringLiteral("Deutsch"), QStringLiteral("de"));

    const QString code = ko::get_language(QStringLiteral("lang"));
    const int index = language_combo->findData(code == QLatin1String("de") ? QStringLiteral("de")
                                                                          : QStringLiteral("en"),
                                               Qt::UserRole, Qt::MatchExactly | Qt::MatchCaseSensitive);
    language_combo->setCurrentIndex(index);

    connect(language_combo, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &dialog_settings::store_language);

    setFixedSize(sizeHint());
}

void dialog_settings::store_language()
{
    QSettings settings;
    settings.setValue(QStringLiteral("lang"), language_combo->currentData(Qt::UserRole).toString());
    ko::settings_saved(settings, this);
}
