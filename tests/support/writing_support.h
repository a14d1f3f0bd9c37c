#pragma once
// Helpers for the tests of writing, removing and undoing GPS data: files
// with chosen tags made at test time, their GPS tags and pixel data as a
// separate ExifTool run and an image decoder see them, and a script of
// answers for the message boxes an operation shows.

#include <QList>
#include <QMap>
#include <QObject>
#include <QString>
#include <QStringList>

namespace writing_support {

// Sets tags with one separate exiftool run ("-Tag=value" or "-Tag#=value"
// arguments), in place. True when exiftool reports the file updated.
bool set_tags(const QString& path, const QStringList& assignments);

// The 32 EXIF GPS tags, each with a value of its own ("-GPSxxx#=...").
QStringList all_exif_gps_assignments();
// XMP latitude, longitude and altitude.
QStringList xmp_gps_assignments(double lat = 10.5, double lon = -20.25, double altitude = 7.5);

// A TIFF with a colour gradient.
bool write_tiff(const QString& path, int width = 24, int height = 12);
// A short video made by ffmpeg, its container chosen by the name (MP4, MOV),
// with the given output options (such as "-metadata", "creation_time=...");
// false when ffmpeg is not there or fails.
bool make_video(const QString& path, const QStringList& options = {});

// A GIF (made by ffmpeg) with the tags of assignments in its XMP, which sits
// behind a comment: where ExifTool's fast mode stops reading.
bool make_gif_with_late_xmp(const QString& path, const QStringList& assignments);
// A MIE file made by ExifTool from a JPEG with the tags of assignments.
bool make_mie(const QString& path, const QStringList& assignments);

// Every GPS tag of the file as "exiftool -n -a -G1" shows it: the GPS
// group, XMP GPS tags and QuickTime GPS coordinates (Composite left out).
QMap<QString, QString> gps_tags(const QString& path);

// The decoded pixels; empty when the file cannot be decoded.
QByteArray pixels(const QString& path);

QByteArray contents(const QString& path);

// Installs the program's English translation for the rest of the run, as
// the program does: the plural forms of its texts ("1 of 1 file").
bool install_english();

// Answers the message boxes shown while it exists, in order: each answer is
// a button text (clicked through test_support::click_button_later) or
// "<close>" (the box ends without a button). A box beyond the script is
// counted as unexpected and closed the same way.
class box_script : public QObject
{
public:
    struct box {
        QString title;
        QString text;
        QStringList buttons;
        QString default_button;
    };

    explicit box_script(const QStringList& answers = {});
    ~box_script() override;

    QList<box> boxes;
    int unexpected = 0;

    QStringList titles() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QStringList answers;
};

} // namespace writing_support
