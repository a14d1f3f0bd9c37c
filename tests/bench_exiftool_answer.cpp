// Large answers through the bridge: reading XMP sidecars whose description
// is several MiB long, against the time a bare stay-open ExifTool takes to
// answer the same request (started with the same arguments).
//
// Prints, per size, the median over the rounds of both times in ms and
// the bridge's time against the target of 1.5 times ExifTool's own plus
// 50 ms. Usage: bench_exiftool_answer [rounds] [MiB ...] (default 5 rounds;
// 1, 4, 16 and 24 MiB).

#include "ko/exiftool.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

QString make_sidecar(const QString& dir, int mib)
{
    const QString text_path = dir + QStringLiteral("/description_%1.txt").arg(mib);
    QFile text(text_path);
    if (!text.open(QIODevice::WriteOnly))
        return {};
    const QByteArray line = QByteArray("A long day on the lake, photographed from the boat. ").repeated(16);
    qint64 size = 0;
    while (size < qint64(mib) << 20)
        size += text.write(line);
    text.close();
    const QString xmp = dir + QStringLiteral("/big_%1.xmp").arg(mib);
    const int rc = QProcess::execute(QStringLiteral("exiftool"),
                                     {QStringLiteral("-q"), QStringLiteral("-o"), xmp,
                                      QStringLiteral("-XMP-dc:Description<=") + text_path,
                                      QStringLiteral("-XMP-dc:Title=bench")});
    return rc == 0 ? xmp : QString();
}

// A bare ExifTool, fed like the bridge feeds it, read with a search of the
// new bytes only.
struct bare_exiftool {
    QProcess process;
    int id = 0;

    bool start()
    {
        process.start(QStringLiteral("exiftool"),
                      {QStringLiteral("-stay_open"), QStringLiteral("1"), QStringLiteral("-@"), QStringLiteral("-"),
                       QStringLiteral("-common_args"), QStringLiteral("-charset"), QStringLiteral("filename=utf8"),
                       QStringLiteral("-args"), QStringLiteral("-sort"), QStringLiteral("-fast"),
                       QStringLiteral("-userParam"), QStringLiteral("processOwner=bench")});
        return process.waitForStarted(5000);
    }
    // Milliseconds until the answer to a plain read of path is complete, or -1.
    double read(const QString& path)
    {
        const QByteArray marker = "{ready" + QByteArray::number(++id) + "}";
        QElapsedTimer timer;
        timer.start();
        process.write((path + QStringLiteral("\n-execute%1\n").arg(id)).toUtf8());
        QByteArray output;
        for (;;) {
            const int from = std::max(0, output.size() - marker.size());
            output += process.readAllStandardOutput();
            if (output.indexOf(marker, from) >= 0)
                return double(timer.nsecsElapsed()) / 1e6;
            if (!process.waitForReadyRead(120000))
                return -1;
        }
    }
    ~bare_exiftool()
    {
        process.write("-stay_open\n0\n");
        if (!process.waitForFinished(5000))
            process.kill();
        process.waitForFinished(2000);
    }
};

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? -1 : values[values.size() / 2];
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Orlavo"));
    // Large answers must not run into the time-out while this measures.
    ko::exiftool::set_request_timeout(600000, 1000);

    const QStringList args = app.arguments();
    const int rounds = args.size() > 1 ? std::max(1, args[1].toInt()) : 5;
    std::vector<int> sizes;
    for (int i = 2; i < args.size(); ++i)
        sizes.push_back(args[i].toInt());
    if (sizes.empty())
        sizes = {1, 4, 16, 24};

    QTemporaryDir dir;
    bare_exiftool bare;
    if (!dir.isValid() || !bare.start()) {
        std::fprintf(stderr, "cannot prepare the benchmark (temporary folder or exiftool)\n");
        return 1;
    }
    std::printf("%8s %12s %12s %12s %s\n", "MiB", "exiftool ms", "bridge ms", "target ms", "result");
    int failures = 0;
    for (const int mib : sizes) {
        const QString xmp = make_sidecar(dir.path(), mib);
        if (xmp.isEmpty()) {
            std::fprintf(stderr, "could not make a sidecar of %d MiB\n", mib);
            return 1;
        }
        std::vector<double> own;
        std::vector<double> bridge;
        for (int round = 0; round < rounds; ++round) {
            own.push_back(bare.read(xmp));
            QElapsedTimer timer;
            timer.start();
            const exif_tag_map tags = ko::exiftool::read_tags(xmp, false, false);
            bridge.push_back(double(timer.nsecsElapsed()) / 1e6);
            const auto description = tags.find(QStringLiteral("Description"));
            if (description == tags.end() || description->second.size() < (mib << 20) - 1024) {
                std::fprintf(stderr, "the bridge's answer for %d MiB lacks the description\n", mib);
                return 1;
            }
        }
        const double own_ms = median(own);
        const double bridge_ms = median(bridge);
        const double target = 1.5 * own_ms + 50;
        const bool ok = own_ms >= 0 && bridge_ms <= target;
        failures += ok ? 0 : 1;
        std::printf("%8d %12.1f %12.1f %12.1f %s\n", mib, own_ms, bridge_ms, target, ok ? "ok" : "SLOW");
    }
    ko::exiftool_worker_shutdown();
    return failures == 0 ? 0 : 2;
}
