#include "ko/datetime_format_selector.h"

#include "ko/fonts.h"
#include "ko/language.h"
#include "ko/panel.h"
#include "ko/radio.h"

#include <QButtonGroup>
#include <QFont>
#include <QGridLayout>
#include <QLabel>
#include <QSettings>

namespace ko {

const QStringList datetime_format_selector::date_formats = {
    QStringLiteral("dd/MM/yyyy"), QStringLiteral("dd.MM.yyyy"), QStringLiteral("dd-MM-yyyy"),
    QStringLiteral("yyyy/MM/dd"), QStringLiteral("yyyy.MM.dd"), QStringLiteral("yyyy-MM-dd"),
    QStringLiteral("MM/dd/yyyy")};

const QStringList datetime_format_selector::time_formats = {QStringLiteral("HH:mm:ss"),
                                                            QStringLiteral("HH:mm")};

namespace {
const char* const date_key = "date_format";
const char* const time_key = "time_format";
} // namespace

datetime_format_selector::datetime_format_selector(QWidget* parent) : QWidget(parent)
{
    register_fonts();
    const QFont heading_font(QStringLiteral("FreeSansBold"), 11, 75);
    setStyleSheet(QStringLiteral("color: rgb(198,213,210);"));

    auto make = [this](const char* label, void (datetime_format_selector::*slot)()) {
        auto* button = new radio(tr(label), nullptr);
        connect(button, &radio::clicked, this, slot);
        return button;
    };
    rb_ddmmyyyy_slash = make(QT_TR_NOOP("DD/MM/YYYY"), &datetime_format_selector::on_rb_ddmmyyyy_slash_clicked);
    rb_ddmmyyyy_dash = make(QT_TR_NOOP("DD-MM-YYYY"), &datetime_format_selector::on_rb_ddmmyyyy_dash_clicked);
    rb_ddmmyyyy_dot = make(QT_TR_NOOP("DD.MM.YYYY"), &datetime_format_selector::on_rb_ddmmyyyy_dot_clicked);
    rb_yyyymmdd_slash = make(QT_TR_NOOP("YYYY/MM/DD"), &datetime_format_selector::on_rb_yyyymmdd_slash_clicked);
    rb_yyyymmdd_dash = make(QT_TR_NOOP("YYYY-MM-DD"), &datetime_format_selector::on_rb_yyyymmdd_dash_clicked);
    rb_yyyymmdd_dot = make(QT_TR_NOOP("YYYY.MM.DD"), &datetime_format_selector::on_rb_yyyymmdd_dot_clicked);
    rb_mmddyyyy_slash = make(QT_TR_NOOP("MM/DD/YYYY"), &datetime_format_selector::on_rb_mmddyyyy_slash_clicked);
    rb_hhmm = make(QT_TR_NOOP("hh:mm"), &datetime_format_selector::on_rb_hhmm_clicked);
    rb_hhmmss = make(QT_TR_NOOP("hh:mm:ss"), &datetime_format_selector::on_rb_hhmmss_clicked);

    // Exclusivity only; the ids are for reference.
    auto* date_group = new QButtonGroup(this);
    date_group->addButton(rb_ddmmyyyy_slash, 0);
    date_group->addButton(rb_ddmmyyyy_dot, 1);
    date_group->addButton(rb_ddmmyyyy_dash, 2);
    date_group->addButton(rb_yyyymmdd_slash, 4);
    date_group->addButton(rb_yyyymmdd_dot, 5);
    date_group->addButton(rb_yyyymmdd_dash, 6);
    date_group->addButton(rb_mmddyyyy_slash, 7);
    auto* time_group = new QButtonGroup(this);
    time_group->addButton(rb_hhmmss, 0);
    time_group->addButton(rb_hhmm, 1);

    auto* buttons = new QGridLayout;
    buttons->setContentsMargins(20, 20, 20, 20);
    buttons->setHorizontalSpacing(20);
    buttons->setVerticalSpacing(10);
    auto* date_heading = new QLabel(tr("Date Format"));
    date_heading->setFont(heading_font);
    auto* time_heading = new QLabel(tr("Time Format"));
    time_heading->setFont(heading_font);
    buttons->addWidget(date_heading, 0, 0, 1, 2);
    buttons->addWidget(time_heading, 0, 2);
    buttons->addWidget(rb_ddmmyyyy_slash, 1, 0);
    buttons->addWidget(rb_yyyymmdd_slash, 1, 1);
    buttons->addWidget(rb_hhmmss, 1, 2);
    buttons->addWidget(rb_ddmmyyyy_dot, 2, 0);
    buttons->addWidget(rb_yyyymmdd_dot, 2, 1);
    buttons->addWidget(rb_hhmm, 2, 2);
    buttons->addWidget(rb_ddmmyyyy_dash, 3, 0);
    buttons->addWidget(rb_yyyymmdd_dash, 3, 1);
    buttons->addWidget(new QWidget, 4, 0);
    buttons->addWidget(rb_mmddyyyy_slash, 4, 1);

    auto* frame = new QGridLayout(this);
    frame->setContentsMargins(0, 0, 0, 0);
    frame->setSpacing(0);
    frame->addWidget(new panel(buttons, QString()), 0, 0);

    load_settings();
}

datetime_format_selector::~datetime_format_selector() = default;

void datetime_format_selector::load_settings()
{
    static QSettings settings;
    chosen_date_format = settings.value(QLatin1String(date_key), date_formats[1]).toString();
    chosen_time_format = settings.value(QLatin1String(time_key), time_formats[0]).toString();

    rb_ddmmyyyy_slash->setChecked(chosen_date_format == date_formats[0]);
    rb_ddmmyyyy_dot->setChecked(chosen_date_format == date_formats[1]);
    rb_ddmmyyyy_dash->setChecked(chosen_date_format == date_formats[2]);
    rb_yyyymmdd_slash->setChecked(chosen_date_format == date_formats[3]);
    rb_yyyymmdd_dot->setChecked(chosen_date_format == date_formats[4]);
    rb_yyyymmdd_dash->setChecked(chosen_date_format == date_formats[5]);
    rb_mmddyyyy_slash->setChecked(chosen_date_format == date_formats[6]);
    rb_hhmmss->setChecked(chosen_time_format == time_formats[0]);
    rb_hhmm->setChecked(chosen_time_format == time_formats[1]);
}

void datetime_format_selector::save_settings()
{
    static QSettings settings;
    settings.setValue(QLatin1String(date_key), chosen_date_format);
    settings.setValue(QLatin1String(time_key), chosen_time_format);
    settings_saved(settings, this);
}

QString datetime_format_selector::datetime_format() const
{
    return QStringLiteral("%1 - %2").arg(chosen_date_format, chosen_time_format);
}

void datetime_format_selector::choose_date(const QString& format)
{
    chosen_date_format = format;
    save_settings();
    emit format_changed(datetime_format());
}

void datetime_format_selector::choose_time(const QString& format)
{
    chosen_time_format = format;
    save_settings();
    emit format_changed(datetime_format());
}

void datetime_format_selector::on_rb_ddmmyyyy_slash_clicked() { choose_date(date_formats[0]); }
void datetime_format_selector::on_rb_ddmmyyyy_dot_clicked() { choose_date(date_formats[1]); }
void datetime_format_selector::on_rb_ddmmyyyy_dash_clicked() { choose_date(date_formats[2]); }
void datetime_format_selector::on_rb_yyyymmdd_slash_clicked() { choose_date(date_formats[3]); }
void datetime_format_selector::on_rb_yyyymmdd_dot_clicked() { choose_date(date_formats[4]); }
void datetime_format_selector::on_rb_yyyymmdd_dash_clicked() { choose_date(date_formats[5]); }
void datetime_format_selector::on_rb_mmddyyyy_slash_clicked() { choose_date(date_formats[6]); }
void datetime_format_selector::on_rb_hhmmss_clicked() { choose_time(time_formats[0]); }
void datetime_format_selector::on_rb_hhmm_clicked() { choose_time(time_formats[1]); }

} // namespace ko
