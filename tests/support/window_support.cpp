#include "window_support.h"

#include "test_support.h"

#include <QEvent>
#include <QFile>
#include <QPointF>
#include <QTextStream>
#include <QWidget>
#include <QWindow>

// The asynchronous entry of the window system's event queue. Its header is
// private to Qt; the function is exported, so it is declared here with the
// exact signature Qt 5.15 exports.
class QWindowSystemInterface
{
public:
    struct SynchronousDelivery {};
    struct AsynchronousDelivery {};
    struct DefaultDelivery {};
    template <typename Delivery = DefaultDelivery>
    static bool handleMouseEvent(QWindow* window, const QPointF& local, const QPointF& global,
                                 Qt::MouseButtons state, Qt::MouseButton button, QEvent::Type type,
                                 Qt::KeyboardModifiers mods = Qt::NoModifier,
                                 Qt::MouseEventSource source = Qt::MouseEventNotSynthesized);
};

namespace window_support {

bool make_photo(const QString& path, const QString& date_time, bool has_gps, double lat, double lon)
{
    if (!test_support::make_image(path, "JPEG"))
        return false;
    QStringList args{"-q", "-overwrite_original", "-DateTimeOriginal=" + date_time};
    if (has_gps) {
        args << "-GPSLatitude=" + QString::number(std::abs(lat), 'f', 6)
             << QString("-GPSLatitudeRef=") + (lat < 0 ? "S" : "N")
             << "-GPSLongitude=" + QString::number(std::abs(lon), 'f', 6)
             << QString("-GPSLongitudeRef=") + (lon < 0 ? "W" : "E");
    }
    args << path;
    return test_support::run_exiftool(args) == 0;
}

bool write_gpx(const QString& path, const QList<track_spec>& tracks)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    QTextStream out(&file);
    out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<gpx version=\"1.1\" creator=\"test\">\n";
    for (const track_spec& track : tracks) {
        out << "<trk><name>" << track.name << "</name><trkseg>\n";
        for (const QStringList& p : track.points) {
            out << "<trkpt lat=\"" << p.value(0) << "\" lon=\"" << p.value(1) << "\">";
            if (!p.value(2).isEmpty())
                out << "<time>" << p.value(2) << "</time>";
            out << "</trkpt>\n";
        }
        out << "</trkseg></trk>\n";
    }
    out << "</gpx>\n";
    return true;
}

void queue_window_system_click(QWidget* widget)
{
    QWindow* window = widget->window()->windowHandle();
    if (!window)
        return;
    const QPointF local = widget->mapTo(widget->window(), widget->rect().center());
    const QPointF global = widget->mapToGlobal(widget->rect().center());
    QWindowSystemInterface::handleMouseEvent<QWindowSystemInterface::AsynchronousDelivery>(
        window, local, global, Qt::LeftButton, Qt::LeftButton, QEvent::MouseButtonPress);
    QWindowSystemInterface::handleMouseEvent<QWindowSystemInterface::AsynchronousDelivery>(
        window, local, global, Qt::NoButton, Qt::LeftButton, QEvent::MouseButtonRelease);
}

QString slow_exiftool()
{
    return QStringLiteral(ORLAVO_TEST_FAKES_DIR) + "/window_slow_exiftool.pl";
}

} // namespace window_support
