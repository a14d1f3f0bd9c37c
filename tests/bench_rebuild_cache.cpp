// Time of one match-cache rebuild in GPX mode: n photos (every tenth with a
// position of its own, the rest in long untagged runs) against a track of
// 100,000 points spread over the same day.
#include "exif_cache.h"
#include "records_support.h"
#include "table_data_model.h"

#include <QCoreApplication>
#include <QDateTime>

#include <benchmark/benchmark.h>

namespace {

void fill(table_data_model& model, int photos, int points)
{
    records_support::clear_store();
    const QDateTime start(QDate(2023, 5, 1), QTime(6, 0), Qt::LocalTime);
    const qint64 span = 12 * 3600;
    for (int i = 0; i < photos; ++i) {
        const QString path = QStringLiteral("/photos/img_%1.jpg").arg(i, 6, 10, QLatin1Char('0'));
        // Scrambled order, so that the sort has work to do.
        const qint64 offset = (static_cast<qint64>(i) * 7919) % span;
        const QString when = start.addSecs(offset).toString(QStringLiteral("yyyy:MM:dd hh:mm:ss"));
        records_support::add_photo(path, when, i % 10 == 0, 47.0 + i * 1e-5, 8.0 + i * 1e-5);
        model.append_row(path, false);
    }
    gpx_track track{QStringLiteral("bench"), {}};
    for (int p = 0; p < points; ++p) {
        const QDateTime t = start.addMSecs(span * 1000 * p / points).toUTC();
        track.points.append(gpx_point{QString::number(46.0 + p * 1e-6, 'f', 6), QString::number(7.0 + p * 1e-6, 'f', 6), t});
    }
    model.set_gpx_track(track);
}

void rebuild_gpx_mode(benchmark::State& state)
{
    table_data_model model;
    model.gps_sync_order_changed(4);
    fill(model, static_cast<int>(state.range(0)), 100000);
    model.gps_max_time_difference(-1, 10);
    for (auto _ : state)
        model.rebuild_cache();
    state.SetComplexityN(state.range(0));
}

void rebuild_closest_photo(benchmark::State& state)
{
    table_data_model model;
    model.gps_sync_order_changed(2);
    fill(model, static_cast<int>(state.range(0)), 0);
    for (auto _ : state)
        model.rebuild_cache();
    state.SetComplexityN(state.range(0));
}

void resort(benchmark::State& state)
{
    table_data_model model;
    model.gps_sync_order_changed(4);
    fill(model, static_cast<int>(state.range(0)), 100000);
    for (auto _ : state)
        model.resort();
}

} // namespace

BENCHMARK(rebuild_gpx_mode)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(rebuild_closest_photo)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(resort)->Arg(10000)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
