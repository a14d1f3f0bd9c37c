#include "test_support.h"

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QMessageBox>
#include <QPainter>
#include <QProcess>
#include <QStandardPaths>
#include <QTimer>
#include <QWidget>

#include <memory>

namespace test_support {

QString missing_tool(const QString& program)
{
    static const QMap<QString, QString> packages{
        {QStringLiteral("exiftool"), QStringLiteral("libimage-exiftool-perl")},
        {QStringLiteral("ffmpeg"), QStringLiteral("ffmpeg")},
        {QStringLiteral("python3"), QStringLiteral("python3")},
    };
    return QStringLiteral("'%1' is not on PATH: install the Debian package %2 (scripts/deps.sh installs it)")
        .arg(program, packages.value(program, program));
}

QString find_tool(const QString& program)
{
    const QString path = QStandardPaths::findExecutable(program);
    if (path.isEmpty())
        qWarning("%s", qUtf8Printable(missing_tool(program)));
    return path;
}

bool make_image(const QString& path, const char* format, int width, int height, QColor colour)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(colour);
    QPainter painter(&image);
    painter.fillRect(0, 0, width / 2, height / 2, Qt::white);
    painter.end();
    return image.save(path, format, 90);
}

int run_exiftool(const QStringList& args, QString* standard_output, int timeout_ms)
{
    return run_program(QStringLiteral("exiftool"), args, QString(), standard_output, timeout_ms);
}

int run_program(const QString& program, const QStringList& args, const QString& folder, QString* standard_output,
                int timeout_ms)
{
    const QString path = find_tool(program);
    if (path.isEmpty())
        return -1;
    QProcess process;
    process.setWorkingDirectory(folder);
    process.start(path, args);
    if (!process.waitForStarted(timeout_ms))
        return -1;
    process.closeWriteChannel();
    if (!process.waitForFinished(timeout_ms)) {
        process.kill();
        process.waitForFinished(1000);
        return -1;
    }
    if (standard_output)
        *standard_output = QString::fromUtf8(process.readAllStandardOutput());
    return process.exitCode();
}

static QMap<QString, QString> read_numeric(const QString& path, bool grouped)
{
    QMap<QString, QString> tags;
    QString out;
    QStringList args{"-n", "-s", "-a"};
    if (grouped)
        args << "-G1";
    args << path;
    if (run_exiftool(args, &out) < 0)
        return tags;
    for (const QString& line : out.split('\n', Qt::SkipEmptyParts)) {
        // "[Group]        Tag                             : value"
        QString rest = line;
        QString group;
        if (grouped && rest.startsWith('[')) {
            const int close = rest.indexOf(']');
            group = rest.mid(1, close - 1);
            rest = rest.mid(close + 1);
        }
        const int colon = rest.indexOf(':');
        if (colon < 0)
            continue;
        const QString tag = rest.left(colon).trimmed();
        const QString value = rest.mid(colon + 1).trimmed();
        tags.insert(grouped ? group + ':' + tag : tag, value);
    }
    return tags;
}

QMap<QString, QString> read_tags_numeric(const QString& path) { return read_numeric(path, true); }
QMap<QString, QString> read_plain_tags_numeric(const QString& path) { return read_numeric(path, false); }

void click_button_later(const QString& text, int timeout_ms)
{
    auto timer = new QTimer(qApp);
    auto clock = std::make_shared<QElapsedTimer>();
    clock->start();
    timer->setInterval(20);
    QObject::connect(timer, &QTimer::timeout, [timer, clock, text, timeout_ms]() {
        QList<QWidget*> candidates;
        if (QWidget* modal = QApplication::activeModalWidget())
            candidates << modal;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->isVisible() && !candidates.contains(w))
                candidates << w;
        for (QWidget* w : candidates) {
            for (QAbstractButton* b : w->findChildren<QAbstractButton*>()) {
                if (b->isVisible() && b->text().remove('&') == text) {
                    timer->stop();
                    timer->deleteLater();
                    b->click();
                    return;
                }
            }
        }
        if (clock->elapsed() > timeout_ms) {
            timer->stop();
            timer->deleteLater();
            qWarning("click_button_later: no button \"%s\" appeared", qUtf8Printable(text));
        }
    });
    timer->start();
}

} // namespace test_support
