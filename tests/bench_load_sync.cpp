// Loading and syncing photos through the real window against ExifTool's own
// speed. The program loads n JPEGs (1600x1200, about 440 KB) and writes a
// fixed position into them; in the same run a bare stay-open ExifTool,
// started with the program's own arguments, is fed the very requests that
// the program sent, by a tight loop. The two alternate over several rounds,
// each on fresh copies of the same files.
//
// Prints, per round and as medians: ms per file for load, sync and both,
// and the program's time over ExifTool's; the GUI thread's CPU time as a
// share of the wall time during load and sync; the largest gap between the
// ticks of a 5 ms timer while the window loads gap_files files.
//
// Usage: bench_load_sync [files=300] [rounds=9] [gap_files=3000]
// Runs in a private home (settings, ExifTool configuration) under a
// temporary folder, offscreen unless QT_QPA_PLATFORM says otherwise.

#include "main_window.h"

#include "bench_support.h"
#include "exiftool_support.h"

#include "ko/application.h"
#include "ko/exiftool.h"
#include "ko/proxy_style.h"

#include <QAbstractButton>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QMutex>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>
#include <QtTest>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <iostream>
#include <sstream>
#include <vector>

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// ---------------------------------------------------------------- requests the program sends

QMutex capture_mutex;
QList<QByteArray> captured;
QtMessageHandler previous_handler = nullptr;

// Keeps the text of every request the bridge writes to ExifTool (its
// verbose log); passes warnings and worse on.
void capture_handler(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type == QtDebugMsg || type == QtInfoMsg) {
        const QByteArray bytes = message.toUtf8();
        const QByteArray open = "Writing '";
        const QByteArray close = "' to process.";
        const int from = bytes.indexOf(open);
        const int to = bytes.lastIndexOf(close);
        if (from >= 0 && to > from) {
            QByteArray request = bytes.mid(from + open.size(), to - from - open.size());
            // The command block without its numbered execute line.
            const int execute = request.lastIndexOf("\n-execute");
            if (execute >= 0) {
                QMutexLocker lock(&capture_mutex);
                captured << request.left(execute);
            }
        }
        return;
    }
    if (previous_handler)
        previous_handler(type, context, message);
}

QList<QByteArray> take_captured()
{
    QMutexLocker lock(&capture_mutex);
    QList<QByteArray> result;
    result.swap(captured);
    return result;
}

// ---------------------------------------------------------------- the floor: a bare ExifTool

class bare_exiftool
{
public:
    explicit bare_exiftool(const QStringList& command)
    {
        int in[2];
        int out[2];
        if (command.isEmpty() || ::pipe(in) != 0 || ::pipe(out) != 0)
            return;
        std::vector<QByteArray> args;
        for (const QString& a : command)
            args.push_back(a.toLocal8Bit());
        pid = ::fork();
        if (pid == 0) {
            ::dup2(in[0], 0);
            ::dup2(out[1], 1);
            const int null = ::open("/dev/null", O_WRONLY);
            ::dup2(null, 2);
            ::close(in[1]);
            ::close(out[0]);
            std::vector<char*> argv;
            for (QByteArray& a : args)
                argv.push_back(a.data());
            argv.push_back(nullptr);
            ::execvp(argv[0], argv.data());
            ::_exit(127);
        }
        ::close(in[0]);
        ::close(out[1]);
        to_child = in[1];
        from_child = out[0];
    }
    ~bare_exiftool()
    {
        if (pid <= 0)
            return;
        const char* stop = "-stay_open\n0\n";
        send(stop, int(std::strlen(stop)));
        ::close(to_child);
        ::close(from_child);
        int status = 0;
        ::waitpid(pid, &status, 0);
    }

    // Sends one command block and reads until its ready marker.
    bool run(const QByteArray& body)
    {
        ++counter;
        const QByteArray request = body + "\n-execute" + QByteArray::number(counter) + "\n";
        if (!send(request.constData(), request.size()))
            return false;
        const QByteArray marker = "{ready" + QByteArray::number(counter) + "}";
        answer.clear();
        char buffer[65536];
        for (;;) {
            const ssize_t n = ::read(from_child, buffer, sizeof buffer);
            if (n <= 0)
                return false;
            answer.append(buffer, int(n));
            const int at = answer.indexOf(marker, std::max(0, answer.size() - int(n) - marker.size()));
            if (at >= 0 && answer.indexOf('\n', at) >= 0)
                return true;
        }
    }

private:
    bool send(const char* data, int size)
    {
        while (size > 0) {
            const ssize_t n = ::write(to_child, data, size_t(size));
            if (n <= 0)
                return false;
            data += n;
            size -= int(n);
        }
        return true;
    }

    pid_t pid = -1;
    int to_child = -1;
    int from_child = -1;
    int counter = 0;
    QByteArray answer;
};

// ---------------------------------------------------------------- measuring

double thread_cpu_ms()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

double median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const size_t m = values.size() / 2;
    return values.size() % 2 ? values[m] : (values[m - 1] + values[m]) / 2;
}

// The largest gap between the ticks of a 5 ms timer on the GUI thread,
// the end of the measured span included.
class tick_gaps
{
public:
    tick_gaps()
    {
        timer.setTimerType(Qt::PreciseTimer);
        timer.setInterval(5);
        QObject::connect(&timer, &QTimer::timeout, [this] { tick(); });
    }
    void start()
    {
        largest = 0;
        clock.start();
        last = 0;
        timer.start();
    }
    qint64 stop()
    {
        tick();
        timer.stop();
        return largest;
    }

private:
    void tick()
    {
        const qint64 now = clock.elapsed();
        if (now - last > largest) {
            largest = now - last;
            largest_end = now;
        }
        last = now;
    }
    QTimer timer;
    QElapsedTimer clock;
    qint64 last = 0;
    qint64 largest = 0;

public:
    qint64 largest_end = 0; // when the largest gap ended, ms after start
};

struct phase {
    double wall_ms = 0;
    double cpu_ms = 0;
    int requests = 0;
};

struct program_run {
    phase load;
    phase sync;
    phase undo; // the program's alone: the floor replays no undo
    QList<QByteArray> load_requests;
    QList<QByteArray> sync_requests;
    qint64 load_gap = 0;
    qint64 sync_gap = 0;
    bool ok = false;
};

program_run run_program(MainWindow& w, const QStringList& files)
{
    program_run run;
    auto* sync_button = w.findChild<QAbstractButton*>(QStringLiteral("sync_button"));
    QAbstractItemModel* model = w.findChild<QTableView*>(QStringLiteral("table_view"))->model();
    QTimer guard;
    QObject::connect(&guard, &QTimer::timeout, bench_support::close_unexpected_boxes);
    guard.start(500);
    tick_gaps gaps;

    take_captured();
    QElapsedTimer wall;
    gaps.start();
    double cpu = thread_cpu_ms();
    wall.start();
    w.load_files(files);
    run.load.wall_ms = wall.nsecsElapsed() / 1e6;
    run.load.cpu_ms = thread_cpu_ms() - cpu;
    run.load_gap = gaps.stop();
    run.load_requests = take_captured();
    const int rows = model ? model->rowCount() : -1;

    gaps.start();
    cpu = thread_cpu_ms();
    wall.restart();
    sync_button->click();
    run.sync.wall_ms = wall.nsecsElapsed() / 1e6;
    run.sync.cpu_ms = thread_cpu_ms() - cpu;
    run.sync_gap = gaps.stop();
    run.sync_requests = take_captured();
    run.load.requests = run.load_requests.size();
    run.sync.requests = run.sync_requests.size();

    auto* undo_button = w.findChild<QAbstractButton*>(QStringLiteral("undo_button"));
    cpu = thread_cpu_ms();
    wall.restart();
    undo_button->click();
    run.undo.wall_ms = wall.nsecsElapsed() / 1e6;
    run.undo.cpu_ms = thread_cpu_ms() - cpu;
    run.undo.requests = take_captured().size();
    run.ok = rows == files.size() && (!model || model->rowCount() == 0) && !undo_button->isEnabled();
    if (!run.ok)
        std::fprintf(stderr, "the program loaded %d of %d files and left %d in the list after the sync\n", rows,
                     int(files.size()), model ? model->rowCount() : -1);
    return run;
}

phase replay(bare_exiftool& exiftool, const QList<QByteArray>& requests, bool& ok)
{
    phase result;
    QElapsedTimer wall;
    const double cpu = thread_cpu_ms();
    wall.start();
    for (const QByteArray& request : requests)
        ok = exiftool.run(request) && ok;
    result.wall_ms = wall.nsecsElapsed() / 1e6;
    result.cpu_ms = thread_cpu_ms() - cpu;
    result.requests = requests.size();
    return result;
}

} // namespace

int main(int argc, char** argv)
{
    const int files = argc > 1 ? std::max(2, std::atoi(argv[1])) : 300;
    const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 9;
    const int gap_files = argc > 3 ? std::max(0, std::atoi(argv[3])) : 3000;

    const QString root = bench_support::make_private_root();
    if (root.isEmpty())
        return 1;
    bench_support::name_application();

    previous_handler = qInstallMessageHandler(capture_handler);
    QCoreApplication::setOrganizationName(QStringLiteral("Quenmark"));
    QCoreApplication::setApplicationName(QStringLiteral("Orlavo"));
    ko::application<MainWindow> app(argc, argv);
    auto* style = new ko::proxy_style;
    style->set_tooltip_delay(2000);
    QApplication::setStyle(style);
    // The model reports every rebuild on standard output.
    std::ostringstream quiet;
    std::streambuf* cout_buffer = std::cout.rdbuf(quiet.rdbuf());

    int result = 1;
    {
        const QString pristine_dir = root + QStringLiteral("/pristine");
        const QString work_dir = root + QStringLiteral("/work");
        QDir(root).mkpath(QStringLiteral("pristine"));
        QDir(root).mkpath(QStringLiteral("work"));
        QStringList pristine;
        std::printf("making %d photos ...\n", files);
        std::fflush(stdout);
        if (!bench_support::make_photos(pristine_dir, files, pristine)) {
            std::fprintf(stderr, "could not make the photos\n");
            QDir(root).removeRecursively();
            return 1;
        }
        QStringList work;
        for (const QString& p : pristine)
            work << QDir(work_dir).filePath(QFileInfo(p).fileName());
        std::printf("%d photos of %lld bytes, %d rounds\n", files, QFileInfo(pristine.first()).size(), rounds);

        MainWindow w;
        app.window = &w;
        w.show();
        if (!QTest::qWaitForWindowExposed(&w))
            std::fprintf(stderr, "the window was not shown\n");
        w.findChild<QAbstractButton*>(QStringLiteral("fixed_position_radio"))->click();
        w.findChild<QLineEdit*>(QStringLiteral("latitude_edit"))->setText(QStringLiteral("47.5"));
        w.findChild<QLineEdit*>(QStringLiteral("longitude_edit"))->setText(QStringLiteral("8.25"));
        QCoreApplication::processEvents();

        ko::exiftool_worker_init();
        ko::exiftool::verbose(true);
        const QStringList command = exiftool_support::process_cmdline(exiftool_support::exiftool_child_pid());
        bare_exiftool floor(command);

        // Warm-up of both, on a few files: processes started, modules loaded.
        const int warm = std::min(files, 10);
        bool ok = bench_support::restore(pristine.mid(0, warm), work.mid(0, warm));
        const program_run warm_run = run_program(w, work.mid(0, warm));
        ok = ok && warm_run.ok && bench_support::restore(pristine.mid(0, warm), work.mid(0, warm));
        replay(floor, warm_run.load_requests, ok);
        replay(floor, warm_run.sync_requests, ok);

        std::vector<double> load_ratio, sync_ratio, total_ratio;
        std::vector<double> p_load, p_sync, p_undo, f_load, f_sync, cpu_load, cpu_sync, cpu_total;
        qint64 load_gap = 0;
        qint64 sync_gap = 0;
        QList<QByteArray> last_load = warm_run.load_requests;
        QList<QByteArray> last_sync = warm_run.sync_requests;
        std::printf("\nms per file      program load  sync  | exiftool load  sync  | ratio load  sync  both"
                    " | GUI CPU load  sync\n");
        for (int round = 0; round < rounds && ok; ++round) {
            program_run prog;
            phase floor_load;
            phase floor_sync;
            auto do_program = [&] {
                ok = bench_support::restore(pristine, work) && ok;
                prog = run_program(w, work);
                ok = prog.ok && ok;
            };
            auto do_floor = [&] {
                ok = bench_support::restore(pristine, work) && ok;
                floor_load = replay(floor, prog.load_requests, ok);
                floor_sync = replay(floor, prog.sync_requests, ok);
            };
            // The floor needs the program's requests: the first round runs
            // the program first, later ones alternate (the requests are the
            // same every round).
            if (round % 2 == 0) {
                do_program();
                do_floor();
            } else {
                prog.load_requests = last_load;
                prog.sync_requests = last_sync;
                do_floor();
                do_program();
            }
            last_load = prog.load_requests;
            last_sync = prog.sync_requests;
            if (!ok)
                break;

            const double n = files;
            p_load.push_back(prog.load.wall_ms / n);
            p_sync.push_back(prog.sync.wall_ms / n);
            p_undo.push_back(prog.undo.wall_ms / n);
            f_load.push_back(floor_load.wall_ms / n);
            f_sync.push_back(floor_sync.wall_ms / n);
            load_ratio.push_back(prog.load.wall_ms / floor_load.wall_ms);
            sync_ratio.push_back(prog.sync.wall_ms / floor_sync.wall_ms);
            total_ratio.push_back((prog.load.wall_ms + prog.sync.wall_ms) / (floor_load.wall_ms + floor_sync.wall_ms));
            cpu_load.push_back(prog.load.cpu_ms / prog.load.wall_ms);
            cpu_sync.push_back(prog.sync.cpu_ms / prog.sync.wall_ms);
            cpu_total.push_back((prog.load.cpu_ms + prog.sync.cpu_ms) / (prog.load.wall_ms + prog.sync.wall_ms));
            load_gap = std::max(load_gap, prog.load_gap);
            sync_gap = std::max(sync_gap, prog.sync_gap);
            std::printf("round %d %s        %6.2f %6.2f |       %6.2f %6.2f |     %5.2f %5.2f %5.2f |       %3.0f%% "
                        "%4.0f%%\n",
                        round + 1, round % 2 == 0 ? "(P first)" : "(E first)", p_load.back(), p_sync.back(),
                        f_load.back(), f_sync.back(), load_ratio.back(), sync_ratio.back(), total_ratio.back(),
                        100 * cpu_load.back(), 100 * cpu_sync.back());
            if (round == 0)
                std::printf("        requests per file: load %.2f, sync %.2f, undo %.2f\n", prog.load.requests / n,
                            prog.sync.requests / n, prog.undo.requests / n);
            std::fflush(stdout);
        }

        if (ok) {
            std::printf("\nmedian ms per file: program load %.2f, sync %.2f, both %.2f; exiftool load %.2f, "
                        "sync %.2f, both %.2f\n",
                        median(p_load), median(p_sync), median(p_load) + median(p_sync), median(f_load),
                        median(f_sync), median(f_load) + median(f_sync));
            std::printf("median ratio program/exiftool: load %.3f, sync %.3f, load+sync %.3f (rounds %.3f to "
                        "%.3f)\n",
                        median(load_ratio), median(sync_ratio), median(total_ratio),
                        *std::min_element(total_ratio.begin(), total_ratio.end()),
                        *std::max_element(total_ratio.begin(), total_ratio.end()));
            std::printf("median ms per file of the undo: %.2f (rounds %.2f to %.2f)\n", median(p_undo),
                        *std::min_element(p_undo.begin(), p_undo.end()),
                        *std::max_element(p_undo.begin(), p_undo.end()));
            std::printf("GUI thread CPU / wall (median): load %.1f %%, sync %.1f %%, load+sync %.1f %%\n",
                        100 * median(cpu_load), 100 * median(cpu_sync), 100 * median(cpu_total));
            std::printf("largest tick gap of a 5 ms timer at %d files: load %lld ms, sync %lld ms\n", files,
                        load_gap, sync_gap);
            std::fflush(stdout);
        }

        // Tick gaps while loading many files: copies of the photos (hard
        // links to them would be one file each, listed once).
        if (ok && gap_files > 0) {
            const QString gap_dir = root + QStringLiteral("/many");
            QDir(root).mkpath(QStringLiteral("many"));
            QStringList many;
            for (int i = 0; i < gap_files && ok; ++i) {
                const QString path =
                    QDir(gap_dir).filePath(QStringLiteral("photo_%1.jpg").arg(i, 5, 10, QLatin1Char('0')));
                ok = QFile::copy(pristine[i % files], path);
                many << path;
            }
            if (ok) {
                ko::exiftool::verbose(false);
                tick_gaps gaps;
                QElapsedTimer wall;
                gaps.start();
                const double cpu = thread_cpu_ms();
                wall.start();
                w.load_files(many);
                const double wall_ms = wall.nsecsElapsed() / 1e6;
                const double cpu_ms = thread_cpu_ms() - cpu;
                const qint64 gap = gaps.stop();
                QAbstractItemModel* model = w.findChild<QTableView*>(QStringLiteral("table_view"))->model();
                std::printf("load of %d files: %.2f ms per file, GUI CPU %.1f %%, largest tick gap %lld ms (ending "
                            "%lld ms after the start of a %.0f ms load)%s\n",
                            gap_files, wall_ms / gap_files, 100 * cpu_ms / wall_ms, gap, gaps.largest_end, wall_ms,
                            model && model->rowCount() == gap_files ? "" : " (not all files listed)");
                w.findChild<QAbstractButton*>(QStringLiteral("clear_button"))->click();
            } else {
                std::fprintf(stderr, "could not copy the photos for the tick-gap run\n");
            }
        }
        result = ok ? 0 : 1;
        if (!ok)
            std::fprintf(stderr, "the run failed\n");
        app.window = nullptr;
    }
    ko::exiftool::shutdown();
    std::cout.rdbuf(cout_buffer);
    QDir(root).removeRecursively();
    return result;
}
