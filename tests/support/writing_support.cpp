#include "writing_support.h"

#include "test_support.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QMessageBox>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QTimer>
#include <QTranslator>

namespace writing_support {

bool set_tags(const QString& path, const QStringList& assignments)
{
    QString out;
    QStringList args{"-overwrite_original_in_place", "-m"};
    args << assignments << path;
    return test_support::run_exiftool(args, &out) == 0 && out.contains("1 image files updated");
}

QStringList all_exif_gps_assignments()
{
    return {
        "-GPSVersionID#=2 3 0 0",     "-GPSLatitudeRef#=N",       "-GPSLatitude#=47.5",
        "-GPSLongitudeRef#=E",        "-GPSLongitude#=8.25",      "-GPSAltitudeRef#=1",
        "-GPSAltitude#=512.5",        "-GPSTimeStamp#=10:20:30",  "-GPSSatellites#=7",
        "-GPSStatus#=A",              "-GPSMeasureMode#=3",       "-GPSDOP#=1.5",
        "-GPSSpeedRef#=K",            "-GPSSpeed#=12.5",          "-GPSTrackRef#=T",
        "-GPSTrack#=45.5",            "-GPSImgDirectionRef#=M",   "-GPSImgDirection#=90.25",
        "-GPSMapDatum#=WGS-84",       "-GPSDestLatitudeRef#=S",   "-GPSDestLatitude#=10.5",
        "-GPSDestLongitudeRef#=W",    "-GPSDestLongitude#=20.5",  "-GPSDestBearingRef#=T",
        "-GPSDestBearing#=180.5",     "-GPSDestDistanceRef#=K",   "-GPSDestDistance#=3.25",
        "-GPSProcessingMethod#=GPS=fix", "-GPSAreaInformation#=Zurich", "-GPSDateStamp#=2023:05:01",
        "-GPSDifferential#=1",        "-GPSHPositioningError#=2.5",
    };
}

QStringList xmp_gps_assignments(double lat, double lon, double altitude)
{
    return {
        QString("-XMP:GPSLatitude#=%1").arg(lat),
        QString("-XMP:GPSLongitude#=%1").arg(lon),
        QString("-XMP:GPSAltitude#=%1").arg(altitude),
    };
}

bool write_tiff(const QString& path, int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgb(x * 10, y * 20, (x + y) * 5));
    return image.save(path, "TIFF");
}

namespace {

// Runs ffmpeg on the lavfi source, writing path with the output options.
bool run_ffmpeg(const QString& path, const QString& source, const QStringList& options)
{
    const QString ffmpeg = test_support::find_tool("ffmpeg");
    if (ffmpeg.isEmpty())
        return false;
    QProcess process;
    process.start(ffmpeg, QStringList{"-loglevel", "error", "-y", "-f", "lavfi", "-i", source} + options << path);
    if (!process.waitForFinished(30000)) {
        process.kill();
        process.waitForFinished(1000);
        return false;
    }
    return process.exitCode() == 0 && QFileInfo(path).size() > 0;
}

} // namespace

bool make_video(const QString& path, const QStringList& options)
{
    return run_ffmpeg(path, "color=c=blue:s=64x48:d=0.2", QStringList{"-pix_fmt", "yuv420p"} + options);
}

bool make_gif_with_late_xmp(const QString& path, const QStringList& assignments)
{
    if (!run_ffmpeg(path, "testsrc=s=32x24:d=1", {"-frames:v", "1"}))
        return false;
    // Written together, the comment comes first.
    if (!set_tags(path, assignments + QStringList{"-Comment=made here"}))
        return false;
    const QByteArray data = contents(path);
    const int comment = data.indexOf("\x21\xfe");
    return comment >= 0 && comment < data.indexOf("\x21\xff\x0bXMP DataXMP");
}

bool make_mie(const QString& path, const QStringList& assignments)
{
    const QString jpeg = path + ".source.jpg";
    const bool made = test_support::make_image(jpeg, "JPEG") && set_tags(jpeg, assignments) &&
                      test_support::run_exiftool({"-q", "-o", path, jpeg}) == 0;
    QFile::remove(jpeg);
    return made && QFileInfo(path).size() > 0;
}

QMap<QString, QString> gps_tags(const QString& path)
{
    QMap<QString, QString> result;
    const QMap<QString, QString> all = test_support::read_tags_numeric(path);
    for (auto it = all.cbegin(); it != all.cend(); ++it) {
        const QString group = it.key().section(':', 0, 0);
        const QString name = it.key().section(':', 1);
        if (group == "Composite")
            continue;
        if (group == "GPS" || name.startsWith("GPS"))
            result.insert(it.key(), it.value());
    }
    return result;
}

QByteArray contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray pixels(const QString& path)
{
    QImage image;
    if (!image.load(path))
        return {};
    image = image.convertToFormat(QImage::Format_RGB32);
    return QByteArray(reinterpret_cast<const char*>(image.constBits()), int(image.sizeInBytes()));
}

bool install_english()
{
    static QTranslator english;
    return english.load(":/translations/en") && QCoreApplication::installTranslator(&english);
}

box_script::box_script(const QStringList& answers)
    : answers(answers)
{
    qApp->installEventFilter(this);
}

box_script::~box_script() { qApp->removeEventFilter(this); }

QStringList box_script::titles() const
{
    QStringList result;
    for (const box& b : boxes)
        result << b.title;
    return result;
}

bool box_script::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::Show)
        return false;
    auto* message = qobject_cast<QMessageBox*>(watched);
    if (!message)
        return false;
    box seen;
    seen.title = message->windowTitle();
    seen.text = message->text();
    for (QAbstractButton* button : message->buttons())
        seen.buttons << button->text().remove('&');
    if (message->defaultButton())
        seen.default_button = message->defaultButton()->text().remove('&');
    boxes << seen;

    QString answer = "<close>";
    if (answers.isEmpty())
        ++unexpected;
    else
        answer = answers.takeFirst();
    QPointer<QMessageBox> target(message);
    if (answer == "<close>") {
        QTimer::singleShot(30, qApp, [target]() {
            if (target)
                target->done(-1);
        });
    } else {
        test_support::click_button_later(answer, 2000);
        // A box without that button must not hang the test.
        QTimer::singleShot(2500, qApp, [this, target, answer]() {
            if (target && target->isVisible()) {
                qWarning("box_script: no button \"%s\" on \"%s\"", qUtf8Printable(answer),
                         qUtf8Printable(target->text()));
                ++unexpected;
                target->done(-1);
            }
        });
    }
    return false;
}

} // namespace writing_support
