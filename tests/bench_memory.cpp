// Resident memory over a long session. The window loads n JPEGs, writes a
// fixed position into them, undoes that and clears the list, round after
// round on fresh copies of the same files; then the bridge reads one photo
// with a long description (an answer of about 21 KB) again and again.
//
// Prints the resident memory (VmRSS) after each round and after every 200
// reads, with the growth from the first round to the last and from the
// first 200 reads to the end.
//
// Usage: bench_memory [files=300] [rounds=5] [reads=2000]
// Runs in a private home under a temporary folder, offscreen unless
// QT_QPA_PLATFORM says otherwise.

#include "main_window.h"

#include "bench_support.h"
#include "test_support.h"

#include "ko/application.h"
#include "ko/exiftool.h"

#include <QAbstractButton>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTableView>
#include <QTimer>
#include <QtTest>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <sstream>

namespace {

double resident_mb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024.0;
    }
    return -1;
}

QAbstractButton* button(QWidget& w, const char* name)
{
    return w.findChild<QAbstractButton*>(QString::fromLatin1(name));
}

// Load, fixed-position sync, undo and clear of files through the window.
bool round_trip(MainWindow& w, const QStringList& files)
{
    QAbstractItemModel* model = w.findChild<QTableView*>(QStringLiteral("table_view"))->model();
    w.load_files(files);
    const bool loaded = model->rowCount() == files.size();
    button(w, "sync_button")->click();
    const bool synced = model->rowCount() == 0;
    button(w, "undo_button")->click();
    const bool undone = !button(w, "undo_button")->isEnabled();
    button(w, "clear_button")->click();
    if (!loaded || !synced || !undone)
        std::fprintf(stderr, "round incomplete: loaded %d, synced %d, undone %d\n", loaded, synced, undone);
    return loaded && synced && undone;
}

} // namespace

int main(int argc, char** argv)
{
    const int files = argc > 1 ? std::max(1, std::atoi(argv[1])) : 300;
    const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
    const int reads = argc > 3 ? std::max(200, std::atoi(argv[3])) : 2000;

    const QString root = bench_support::make_private_root();
    if (root.isEmpty())
        return 1;
    bench_support::name_application();
    ko::application<MainWindow> app(argc, argv);
    // The model reports every rebuild on standard output.
    std::ostringstream quiet;
    std::streambuf* cout_buffer = std::cout.rdbuf(quiet.rdbuf());

    bool ok = true;
    {
        QDir(root).mkpath(QStringLiteral("pristine"));
        QDir(root).mkpath(QStringLiteral("work"));
        QStringList pristine;
        std::printf("making %d photos ...\n", files);
        std::fflush(stdout);
        ok = bench_support::make_photos(root + QStringLiteral("/pristine"), files, pristine);
        QStringList work;
        for (const QString& p : pristine)
            work << root + QStringLiteral("/work/") + QFileInfo(p).fileName();

        MainWindow w;
        app.window = &w;
        w.show();
        button(w, "fixed_position_radio")->click();
        w.findChild<QLineEdit*>(QStringLiteral("latitude_edit"))->setText(QStringLiteral("47.5"));
        w.findChild<QLineEdit*>(QStringLiteral("longitude_edit"))->setText(QStringLiteral("8.25"));
        QCoreApplication::processEvents();
        QTimer guard;
        QObject::connect(&guard, &QTimer::timeout, bench_support::close_unexpected_boxes);
        guard.start(500);

        std::printf("\nresident MB after each round of load %d + sync + undo + clear (start %.1f)\n", files,
                    resident_mb());
        double first_round = 0;
        double last_round = 0;
        for (int round = 1; round <= rounds && ok; ++round) {
            ok = bench_support::restore(pristine, work) && round_trip(w, work);
            QCoreApplication::processEvents();
            last_round = resident_mb();
            if (round == 1)
                first_round = last_round;
            std::printf("round %d: %.1f MB\n", round, last_round);
            std::fflush(stdout);
        }

        // A photo whose plain read answers about 21 KB.
        const QString big = root + QStringLiteral("/big.jpg");
        QString description;
        while (description.size() < 20000)
            description += QStringLiteral("a long description of a photo, ");
        ok = ok && test_support::make_image(big) &&
             test_support::run_exiftool({QStringLiteral("-overwrite_original"),
                                         QStringLiteral("-ImageDescription=") + description, big}) == 0;
        std::printf("\nresident MB per 200 reads of one photo through the bridge\n");
        double after_first = 0;
        double after_last = 0;
        for (int i = 1; i <= reads && ok; ++i) {
            ok = !ko::exiftool::read_tags(big, false, false).empty();
            if (i % 200 == 0) {
                QCoreApplication::processEvents();
                after_last = resident_mb();
                if (i == 200)
                    after_first = after_last;
                std::printf("%5d reads: %.1f MB\n", i, after_last);
                std::fflush(stdout);
            }
        }
        if (ok) {
            std::printf("\ngrowth from round 1 to round %d: %.1f MB (target < 20)\n", rounds,
                        last_round - first_round);
            std::printf("growth from 200 to %d reads: %.1f MB (target < 5)\n", reads, after_last - after_first);
        } else {
            std::fprintf(stderr, "the run failed\n");
        }
        guard.stop();
        app.window = nullptr;
    }
    ko::exiftool::shutdown();
    std::cout.rdbuf(cout_buffer);
    QDir(root).removeRecursively();
    return ok ? 0 : 1;
}
