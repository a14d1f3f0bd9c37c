#include "bench_support.h"

#include "test_support.h"

#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QWidget>

#include <cstdio>
#include <cstdlib>

#include <unistd.h>

namespace bench_support {

void name_application()
{
    QCoreApplication::setOrganizationName(QStringLiteral("Quenmark"));
    QCoreApplication::setApplicationName(QStringLiteral("Orlavo"));
}

QString make_private_root()
{
    char root_template[] = "/tmp/orlavo-bench.XXXXXX";
    const char* root_dir = ::mkdtemp(root_template);
    if (!root_dir) {
        std::perror("mkdtemp");
        return QString();
    }
    const QString root = QString::fromLocal8Bit(root_dir);
    const QStringList folders{QStringLiteral("home"), QStringLiteral("config"), QStringLiteral("runtime"),
                              QStringLiteral("exiftool"), QStringLiteral("data"), QStringLiteral("cache")};
    for (const QString& f : folders)
        QDir(root).mkpath(f);
    QFile::setPermissions(root + QStringLiteral("/runtime"), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                                 QFileDevice::ExeOwner);
    qputenv("HOME", QFile::encodeName(root + QStringLiteral("/home")));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(root + QStringLiteral("/config")));
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(root + QStringLiteral("/runtime")));
    qputenv("XDG_DATA_HOME", QFile::encodeName(root + QStringLiteral("/data")));
    qputenv("XDG_CACHE_HOME", QFile::encodeName(root + QStringLiteral("/cache")));
    qputenv("EXIFTOOL_HOME", QFile::encodeName(root + QStringLiteral("/exiftool")));
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    return root;
}

QByteArray photo_bytes()
{
    QImage image(1600, 1200, QImage::Format_RGB32);
    quint32 seed = 12345;
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            seed = seed * 1664525u + 1013904223u;
            const int noise = int(seed >> 30);
            line[x] = qRgb((x / 7 + noise) & 255, (y / 5 + 2 * noise) & 255, ((x + y) / 9 + noise) & 255);
        }
    }
    // The quality whose file size comes closest to the target.
    QByteArray best;
    for (int quality = 50; quality <= 100; ++quality) {
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "JPEG", quality);
        if (best.isEmpty() || std::abs(bytes.size() - 440000) < std::abs(best.size() - 440000))
            best = bytes;
    }
    return best;
}

bool make_photos(const QString& folder, int n, QStringList& paths)
{
    const QByteArray bytes = photo_bytes();
    QString args;
    for (int i = 0; i < n; ++i) {
        const QString path = QDir(folder).filePath(QStringLiteral("img_%1.jpg").arg(i, 4, 10, QLatin1Char('0')));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            return false;
        file.close();
        paths << path;
        const int seconds = (i * 7919) % (10 * 3600);
        args += QStringLiteral("-DateTimeOriginal=2023:05:01 %1:%2:%3\n-Make=Bench\n-Model=Camera %4\n"
                               "-ISO=200\n-FNumber=5.6\n-overwrite_original\n%5\n-execute\n")
                    .arg(8 + seconds / 3600, 2, 10, QLatin1Char('0'))
                    .arg(seconds / 60 % 60, 2, 10, QLatin1Char('0'))
                    .arg(seconds % 60, 2, 10, QLatin1Char('0'))
                    .arg(i % 3)
                    .arg(path);
    }
    const QString arg_file = QDir(folder).filePath(QStringLiteral("tags.args"));
    QFile file(arg_file);
    if (!file.open(QIODevice::WriteOnly) || file.write(args.toUtf8()) < 0)
        return false;
    file.close();
    const bool ok = test_support::run_exiftool({QStringLiteral("-@"), arg_file}, nullptr, 600000) == 0;
    QFile::remove(arg_file);
    return ok;
}

bool restore(const QStringList& pristine, const QStringList& work)
{
    for (int i = 0; i < pristine.size(); ++i) {
        QFile::remove(work[i]);
        if (!QFile::copy(pristine[i], work[i]))
            return false;
    }
    return true;
}

void close_unexpected_boxes()
{
    if (QWidget* modal = QApplication::activeModalWidget()) {
        std::fprintf(stderr, "unexpected dialog '%s', closed\n", qUtf8Printable(modal->windowTitle()));
        modal->close();
    }
}

} // namespace bench_support
