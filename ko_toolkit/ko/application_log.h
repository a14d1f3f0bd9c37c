#pragma once
// The process-wide application-log window. From its creation on, everything
// written to standard output and standard error still goes where it went
// and is also collected; while the window is visible a 100 ms timer moves
// the collected text into the application's tab. The filter line above the
// tabs filters the shown lines and, on Return, runs console commands.

#include <QMap>
#include <QObject>
#include <QString>

#include "ko/copy_streambuf.h"

#include <functional>
#include <map>
#include <memory>
#include <sstream>

class QApplication;
class QLineEdit;
class QPushButton;
class QTabWidget;
class QTextDecoder;
class QTextEdit;
class QTimer;
class QWidget;

namespace ko {

class application_log : public QObject {
    Q_OBJECT
public:
    struct log_channel {
        QString name;
        QTextEdit* view = nullptr;
        QString text;
        int tab_index = -1;
    };

    struct console_command {
        std::function<void(QString)> function;
        bool hidden = false;
    };

    // Creates the process-wide object with app as parent and starts the
    // capture; later calls do nothing.
    static void create(QApplication* app);
    // The object, or null before create and after it was destroyed.
    static application_log* instance();

    ~application_log() override;

    // The channel named name, created with its tab when absent.
    log_channel& channel(const QString& name);

    // Installs the two stream tees once per process and registers "help".
    void start_capture();

    // Registers a console command under its lower-cased name; an existing
    // command of that name is kept.
    void add_command(const QString& name, std::function<void(QString)> function, bool hidden = false);
    // The name of the command that text (Return in the filter line) runs:
    // the longest command name the lower-cased text starts with, or empty.
    QString command_for(const QString& text) const;

    // The whole text of a saved log: application, machine's network and
    // every channel's text.
    QString system_report();
    // Every network interface with its flags and addresses.
    static QString network_report();
    // The folder save_log writes to: the desktop when it exists, else home.
    static QString log_folder();
    // Writes the report to path; warns (with the window as parent) and
    // returns an empty text when opening, writing, flushing or closing fails.
    QString save_log_to(const QString& path);

    QWidget* window() const { return window_; }
    QLineEdit* filter_line() const { return filter_line_; }
    QTabWidget* tabs() const { return tabs_; }

    Q_INVOKABLE void add_data(QString key, QString text);

    // The most output it holds back while the window is closed; beyond it,
    // the older half is dropped and the window says so when it opens.
    int closed_limit_bytes = 4 * 1024 * 1024;

public slots:
    // Shows the window when hidden, else brings it to the front.
    void open_log_window();
    // Writes the report to a new file in log_folder(); returns its path, or
    // an empty text when it could not be saved (a warning was shown).
    QString save_log();

private slots:
    void refilter();
    void tab_changed(int index);
    void run_command();
    void drain_log_stream();
    void clear_logs();
    void on_save_clicked();
    void show_network_report();

private:
    explicit application_log(QApplication* app);

    // Gives the standard streams their buffers back and deletes the window,
    // while the application object and its platform still exist.
    void shut_down();
    static void shut_down_instance();

    log_channel* channel_of(int tab);
    void show_channel(log_channel& channel);
    void add_text(log_channel& channel, const QString& text);
    static void scroll_to_end(QTextEdit* view);
    void list_commands();

    QWidget* window_ = nullptr;
    QLineEdit* filter_line_ = nullptr;
    QPushButton* save_button_ = nullptr;
    QPushButton* clear_button_ = nullptr;
    QPushButton* network_button_ = nullptr;
    QTabWidget* tabs_ = nullptr;
    std::ostringstream log_stream;
    bool dropped_ = false; // older lines of log_stream were dropped
    std::unique_ptr<QTextDecoder> decoder_;
    QTimer* drain_timer_ = nullptr;
    bool captured_ = false;
    // Never deleted once installed: another thread may still hold a
    // stream's old buffer pointer while the buffers are given back.
    copy_streambuf<char>* stdout_tee_ = nullptr;
    copy_streambuf<char>* stderr_tee_ = nullptr;
    QMap<QString, log_channel> channels_;
    std::map<QString, console_command> commands_;
};

} // namespace ko
