#pragma once
// Choice of the date and time display formats as two sets of radio
// buttons; the choice is stored under "date_format" and "time_format" the
// moment a button is clicked.

#include <QString>
#include <QStringList>
#include <QWidget>

namespace ko {

class radio;

class datetime_format_selector : public QWidget {
    Q_OBJECT
public:
    // Qt date format texts, in this order: "dd/MM/yyyy", "dd.MM.yyyy",
    // "dd-MM-yyyy", "yyyy/MM/dd", "yyyy.MM.dd", "yyyy-MM-dd", "MM/dd/yyyy".
    static const QStringList date_formats;
    // "HH:mm:ss", "HH:mm".
    static const QStringList time_formats;

    explicit datetime_format_selector(QWidget* parent = nullptr);
    ~datetime_format_selector() override;

    void load_settings();
    void save_settings();

    // "<date format> - <time format>".
    QString datetime_format() const;
    QString date_format() const { return chosen_date_format; }
    QString time_format() const { return chosen_time_format; }

signals:
    void format_changed(QString datetime_format);

public slots:
    void on_rb_ddmmyyyy_slash_clicked();
    void on_rb_ddmmyyyy_dot_clicked();
    void on_rb_ddmmyyyy_dash_clicked();
    void on_rb_yyyymmdd_slash_clicked();
    void on_rb_yyyymmdd_dot_clicked();
    void on_rb_yyyymmdd_dash_clicked();
    void on_rb_mmddyyyy_slash_clicked();
    void on_rb_hhmmss_clicked();
    void on_rb_hhmm_clicked();

private:
    void choose_date(const QString& format);
    void choose_time(const QString& format);

    QString chosen_date_format;
    QString chosen_time_format;
    radio* rb_ddmmyyyy_slash = nullptr;
    radio* rb_ddmmyyyy_dash = nullptr;
    radio* rb_ddmmyyyy_dot = nullptr;
    radio* rb_yyyymmdd_dot = nullptr;
    radio* rb_yyyymmdd_slash = nullptr;
    radio* rb_yyyymmdd_dash = nullptr;
    radio* rb_mmddyyyy_slash = nullptr;
    radio* rb_hhmm = nullptr;
    radio* rb_hhmmss = nullptr;
};

} // namespace ko
