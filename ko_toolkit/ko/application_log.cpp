#include "ko/application_log.h"

#include "ko/message_box.h"

#include <QApplication>
#include <QDateTime>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QGridLayout>
#include <QHostAddress>
#include <QIcon>
#include <QLineEdit>
#include <QNetworkAddressEntry>
#include <QNetworkInterface>
#include <QPushButton>
#include <QScrollBar>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTextCodec>
#include <QTextCursor>
#include <QTextEdit>
#include <QTimer>

#include <iostream>

namespace ko {

namespace {

application_log*& instance_slot()
{
    static application_log* object = nullptr;
    return object;
}

// Set together with the object's own flag: a process captures its
// standard streams at most once.
bool capture_started = false;

// Serialises both tees and everyone who reads or resets the log stream.
// Allocated once and never destroyed, so a write from a static destructor
// at exit still finds it.
std::mutex& capture_mutex()
{
    static std::mutex* mutex = new std::mutex;
    return *mutex;
}

const QString dashed_line(80, QLatin1Char('-'));

} // namespace

void application_log::create(QApplication* app)
{
    if (instance_slot())
        return;
    instance_slot() = new application_log(app);
    instance_slot()->start_capture();
}

application_log* application_log::instance()
{
    return instance_slot();
}

application_log::application_log(QApplication* app)
    : QObject(app)
{
    decoder_.reset(QTextCodec::codecForName("UTF-8")->makeDecoder());

    drain_timer_ = new QTimer(this);
    drain_timer_->setInterval(100);
    connect(drain_timer_, &QTimer::timeout, this, &application_log::drain_log_stream);
    drain_timer_->start();

    window_ = new QWidget;
    window_->resize(800, 300);
    window_->setWindowTitle(tr("Application Log"));
    window_->setAttribute(Qt::WA_QuitOnClose, false);
    auto* grid = new QGridLayout(window_);

    filter_line_ = new QLineEdit(window_);
    filter_line_->setPlaceholderText(QStringLiteral("Filter..."));
    filter_line_->setClearButtonEnabled(true);
    save_button_ = new QPushButton(QIcon::fromTheme(QStringLiteral("document-save")), tr("Save to disk"), window_);
    clear_button_ = new QPushButton(QIcon::fromTheme(QStringLiteral("edit-delete")), tr("Clear log"), window_);
    network_button_ = new QPushButton(tr("Network report"), window_);
    grid->addWidget(filter_line_, 0, 0);
    grid->addWidget(save_button_, 0, 2);
    grid->addWidget(clear_button_, 0, 3);
    grid->addWidget(network_button_, 0, 4);

    tabs_ = new QTabWidget(window_);
    tabs_->setTabBarAutoHide(true);
    grid->addWidget(tabs_, 1, 0, 1, 5);

    connect(filter_line_, &QLineEdit::textChanged, this, &application_log::refilter);
    connect(tabs_, &QTabWidget::currentChanged, this, &application_log::tab_changed);
    connect(filter_line_, &QLineEdit::returnPressed, this, &application_log::run_command);
    connect(save_button_, &QPushButton::clicked, this, &application_log::on_save_clicked);
    connect(clear_button_, &QPushButton::clicked, this, &application_log::clear_logs);
    connect(network_button_, &QPushButton::clicked, this, &application_log::show_network_report);

    channel(QCoreApplication::applicationName());

    // The window has no parent: it must go while the application object
    // and its platform still exist, not after ~QApplication has run.
    connect(app, &QCoreApplication::aboutToQuit, this, &application_log::shut_down);
    qAddPostRoutine(&application_log::shut_down_instance);
}

application_log::~application_log()
{
    shut_down();
    if (instance_slot() == this)
        instance_slot() = nullptr;
}

void application_log::shut_down_instance()
{
    if (application_log* object = instance_slot())
        object->shut_down();
}

void application_log::shut_down()
{
    if (captured_) {
        // Streams first, so new writes go straight to their old buffers;
        // then the tees stop feeding log_stream, which goes with this object.
        stdout_tee_->restore();
        stderr_tee_->restore();
        stdout_tee_->detach_target();
        stderr_tee_->detach_target();
        captured_ = false;
    }
    if (drain_timer_)
        drain_timer_->stop();
    if (window_) {
        window_->close();
        delete window_;
        window_ = nullptr;
        filter_line_ = nullptr;
        save_button_ = nullptr;
        clear_button_ = nullptr;
        network_button_ = nullptr;
        tabs_ = nullptr;
        for (log_channel& c : channels_) {
            c.view = nullptr;
            c.tab_index = -1;
        }
    }
}

void application_log::start_capture()
{
    if (captured_ || capture_started)
        return;
    captured_ = true;
    capture_started = true;
    stdout_tee_ = new copy_streambuf<char>(&log_stream, &std::cout, capture_mutex());
    stderr_tee_ = new copy_streambuf<char>(&log_stream, &std::cerr, capture_mutex());
    add_command(QStringLiteral("help"), [this](QString) { list_commands(); });
}

void application_log::add_command(const QString& name, std::function<void(QString)> function, bool hidden)
{
    commands_.emplace(name.toLower(), console_command{std::move(function), hidden});
}

QString application_log::command_for(const QString& text) const
{
    const QString lowered = text.toLower();
    QString best;
    for (const auto& entry : commands_) {
        if (entry.first.length() > best.length() && lowered.startsWith(entry.first))
            best = entry.first;
    }
    return best;
}

void application_log::list_commands()
{
    std::cout << "List of commands:" << std::endl;
    for (const auto& entry : commands_) {
        if (!entry.second.hidden)
            std::cout << "    " << entry.first.toUtf8().constData() << std::endl;
    }
}

application_log::log_channel& application_log::channel(const QString& name)
{
    auto it = channels_.find(name);
    if (it == channels_.end()) {
        it = channels_.insert(name, log_channel());
        it->name = name;
        if (window_) {
            it->view = new QTextEdit(window_);
            it->view->setReadOnly(true);
            it->view->setAcceptRichText(false);
            it->tab_index = tabs_->addTab(it->view, name);
        }
    }
    return *it;
}

application_log::log_channel* application_log::channel_of(int tab)
{
    if (!tabs_ || tab < 0)
        return nullptr;
    QWidget* view = tabs_->widget(tab);
    for (log_channel& c : channels_)
        if (c.view && c.view == view)
            return &c;
    return nullptr;
}

void application_log::show_channel(log_channel& c)
{
    if (!c.view)
        return;
    const QString filter = filter_line_ ? filter_line_->text() : QString();
    if (filter.isEmpty()) {
        c.view->setPlainText(c.text);
        return;
    }
    QString shown;
    const QStringList lines = c.text.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    for (const QString& line : lines) {
        if (line.contains(filter, Qt::CaseInsensitive)) {
            shown += line;
            shown += QLatin1Char('\n');
        }
    }
    c.view->setPlainText(shown);
}

void application_log::scroll_to_end(QTextEdit* view)
{
    if (view)
        view->verticalScrollBar()->setValue(view->verticalScrollBar()->maximum());
}

void application_log::refilter()
{
    if (!tabs_ || tabs_->currentIndex() < 0)
        return;
    tab_changed(tabs_->currentIndex());
}

void application_log::tab_changed(int index)
{
    log_channel* c = channel_of(index);
    if (!c)
        return;
    show_channel(*c);
    scroll_to_end(c->view);
}

void application_log::add_text(log_channel& c, const QString& text)
{
    c.text += text;
    if (!c.view)
        return;
    if (!filter_line_ || filter_line_->text().isEmpty()) {
        // Through a cursor of its own: the text goes in as it is, and a
        // selection the user made in the view stays.
        QTextCursor cursor(c.view->document());
        cursor.movePosition(QTextCursor::End);
        cursor.insertText(text);
    } else {
        show_channel(c);
    }
    if (!c.view->hasFocus())
        scroll_to_end(c.view);
}

void application_log::add_data(QString key, QString text)
{
    add_text(channel(key), text);
}

void application_log::drain_log_stream()
{
    const bool shown = window_ && window_->isVisible();
    std::string pending;
    {
        std::lock_guard<std::mutex> lock(capture_mutex());
        if (log_stream.tellp() > std::streamoff(closed_limit_bytes)) {
            // Only the newer half stays, from the start of a line on.
            std::string held = log_stream.str();
            std::size_t cut = held.size() - std::size_t(closed_limit_bytes) / 2;
            const std::size_t line_start = held.find('\n', cut);
            cut = line_start == std::string::npos ? held.size() : line_start + 1;
            held.erase(0, cut);
            log_stream.str(held);
            log_stream.seekp(0, std::ios_base::end);
            dropped_ = true;
        }
        if (!shown)
            return;
        pending = log_stream.str();
        log_stream.str(std::string());
    }
    QString notice;
    if (dropped_) {
        dropped_ = false;
        // A character cut in two at the last drain lost its second half.
        decoder_.reset(QTextCodec::codecForName("UTF-8")->makeDecoder());
        notice = tr("[Older lines were dropped: while this window is closed, it keeps only the last %1 KB of "
                    "output.]")
                     .arg(closed_limit_bytes / 1024) +
                 QLatin1Char('\n');
    }
    // The decoder keeps a character that was cut in two for the next round;
    // it must not see an empty round, which it takes for the end of input.
    const QString text =
        notice + (pending.empty() ? QString() : decoder_->toUnicode(pending.data(), int(pending.size())));
    if (text.isEmpty())
        return;
    add_text(channel(QCoreApplication::applicationName()), text);
}

void application_log::run_command()
{
    if (!tabs_ || tabs_->currentIndex() < 0)
        return;
    const QString text = filter_line_->text();
    const QString name = command_for(text);
    if (name.isEmpty())
        return;
    const std::function<void(QString)> function = commands_[name].function;
    if (function)
        function(text.mid(name.length()));
    if (filter_line_)
        filter_line_->clear();
}

void application_log::open_log_window()
{
    if (!window_)
        return;
    if (window_->isHidden())
        window_->show();
    else
        window_->activateWindow();
}

void application_log::clear_logs()
{
    const QMessageBox::StandardButton answer = message_box::question(
        window_, tr("Clear application logs"), tr("Do you really want to clear the application logs?"),
        QMessageBox::Yes | QMessageBox::No, QMessageBox::NoButton);
    if (answer != QMessageBox::Yes)
        return;
    for (log_channel& c : channels_) {
        c.text.clear();
        if (c.view)
            c.view->clear();
    }
}

QString application_log::network_report()
{
    QString report;
    const QList<QNetworkInterface> interfaces = QNetworkInterface::allInterfaces();
    for (const QNetworkInterface& iface : interfaces) {
        report += QStringLiteral("Interface: ") + iface.name() + QStringLiteral(" (")
                  + iface.humanReadableName() + QStringLiteral(") HW: ") + iface.hardwareAddress()
                  + QLatin1Char('\n');

        static const QList<QPair<QNetworkInterface::InterfaceFlag, QString>> flag_names = {
            {QNetworkInterface::IsUp, QStringLiteral("IsUp")},
            {QNetworkInterface::IsRunning, QStringLiteral("IsRunning")},
            {QNetworkInterface::CanBroadcast, QStringLiteral("CanBroadcast")},
            {QNetworkInterface::IsLoopBack, QStringLiteral("IsLoopBack")},
            {QNetworkInterface::IsPointToPoint, QStringLiteral("IsPointToPoint")},
            {QNetworkInterface::CanMulticast, QStringLiteral("CanMulticast")},
        };
        QStringList flags;
        for (const auto& flag : flag_names)
            if (iface.flags().testFlag(flag.first))
                flags << flag.second;
        report += QLatin1Char('\t') + flags.join(QLatin1Char('|')) + QLatin1Char('\n');

        const QList<QNetworkAddressEntry> entries = iface.addressEntries();
        for (const QNetworkAddressEntry& entry : entries)
            report += QStringLiteral("\tAddress: ") + entry.ip().toString() + QLatin1Char('/')
                      + QString::number(entry.prefixLength()) + QLatin1Char('\n');
    }
    return report;
}

QString application_log::system_report()
{
    const QString app_name = QCoreApplication::applicationName();
    QString report;
    report += QStringLiteral("Application: ") + app_name + QStringLiteral(" (")
              + QCoreApplication::applicationVersion() + QStringLiteral(")\n");
    report += QStringLiteral("Installed at: ") + QCoreApplication::applicationDirPath() + QLatin1Char('\n');
    report += QStringLiteral("Date: ") + QDateTime::currentDateTime().toString(Qt::TextDate) + QLatin1Char('\n');
    report += dashed_line + QLatin1Char('\n');
    report += network_report();
    report += dashed_line + QStringLiteral("\n\n");
    report += channel(app_name).text;
    for (auto it = channels_.cbegin(); it != channels_.cend(); ++it) {
        if (it.key() == app_name)
            continue;
        report += QStringLiteral("\n\n") + dashed_line + QStringLiteral("\nApplication: ") + it.key()
                  + QLatin1Char('\n') + it->text;
    }
    return report;
}

QString application_log::log_folder()
{
    const QString desktop = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
    if (!desktop.isEmpty() && QFileInfo(desktop).isDir())
        return desktop;
    return QDir::homePath();
}

QString application_log::save_log()
{
    const QString name = QCoreApplication::applicationName() + QStringLiteral(" Log ")
                         + QString::number(QDateTime::currentSecsSinceEpoch()) + QStringLiteral(".log");
    return save_log_to(log_folder() + QLatin1Char('/') + name);
}

QString application_log::save_log_to(const QString& path)
{
    const QByteArray bytes = system_report().toUtf8();
    const QString title = tr("Failed to save application logs");
    const QString cannot_save =
        tr("Can't save the application logs to\n%1\n\nYou might not have write permission or the disk might be full.")
            .arg(path);

    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        message_box::warning(window_, title, cannot_save, QMessageBox::Ok, QMessageBox::NoButton);
        return QString();
    }
    const qint64 written = file.write(bytes);
    if (written != bytes.size()) {
        file.close();
        message_box::warning(window_, title,
                             tr("Failed to write the complete application logs to\n%1\n\n"
                                "Could only write %2/%3 bytes. The disk might be full.")
                                 .arg(path)
                                 .arg(qMax<qint64>(written, 0))
                                 .arg(bytes.size()),
                             QMessageBox::Ok, QMessageBox::NoButton);
        return QString();
    }
    if (!file.flush()) {
        qDebug("Failed to flush logfile QFile instance.");
        file.close();
        message_box::warning(window_, title, cannot_save, QMessageBox::Ok, QMessageBox::NoButton);
        return QString();
    }
    file.close();
    if (file.error() != QFileDevice::NoError) {
        message_box::warning(window_, title, cannot_save, QMessageBox::Ok, QMessageBox::NoButton);
        return QString();
    }
    return path;
}

void application_log::on_save_clicked()
{
    const QString path = save_log();
    if (path.isEmpty())
        return;
    message_box::information(window_, tr("Application logs saved"),
                             tr("The application logs were saved to\n%1").arg(path), QMessageBox::Ok,
                             QMessageBox::NoButton);
}

void application_log::show_network_report()
{
    auto* view = new QTextEdit;
    view->setReadOnly(true);
    view->setWindowTitle(tr("Network report"));
    view->setWindowModality(Qt::ApplicationModal);
    view->setAttribute(Qt::WA_DeleteOnClose);
    view->setLineWrapMode(QTextEdit::NoWrap);
    view->setFont(QFont(QStringLiteral("monospace")));
    view->setPlainText(network_report());
    view->setMinimumSize(view->sizeHint());
    view->show();
}

} // namespace ko
