// Writing tags through the bridge with the real ExifTool; every result is
// checked with a separate one-shot exiftool run.
#include "exiftool_support.h"
#include "ko/exiftool.h"
#include "test_support.h"
#include "writing_support.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

using exiftool_support::message_capture;

namespace {
ino_t inode(const QString& path)
{
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_ino : 0;
}
QByteArray contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
} // namespace

class test_exiftool_write : public QObject
{
    Q_OBJECT
    QTemporaryDir dir;

    QString photo(const QString& name, const char* format = "JPEG", const QStringList& tag_args = {})
    {
        const QString path = dir.filePath(name);
        QDir().mkpath(QFileInfo(path).path());
        if (!test_support::make_image(path, format) ||
            (!tag_args.isEmpty() &&
             test_support::run_exiftool(QStringList{"-q", "-overwrite_original"} << tag_args << path) != 0))
            return {};
        return path;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(dir.isValid());
        QCoreApplication::setOrganizationName("Quenmark");
        QCoreApplication::setApplicationName("Orlavo");
    }

    void writes_gps_in_place()
    {
        const exif_tag_map gps{{"GPSLatitude", "47.5"}, {"GPSLatitudeRef", "N"},
                               {"GPSLongitude", "8.25"}, {"GPSLongitudeRef", "W"}};
        for (const char* format : {"JPEG", "PNG", "TIFF"}) {
            const QString path = photo(QString("in place.%1").arg(QString(format).toLower()), format);
            const ino_t before = inode(path);
            QVERIFY2(ko::exiftool::write_tags(path, gps), format);
            QCOMPARE(inode(path), before);
            const auto tags = test_support::read_plain_tags_numeric(path);
            QCOMPARE(tags.value("GPSLatitude"), QString("47.5"));
            QCOMPARE(tags.value("GPSLongitude"), QString("-8.25"));
            QVERIFY(!QImage(path).isNull());
        }
        QVERIFY(QDir(dir.path()).entryList({"*_original*"}, QDir::Files | QDir::Hidden).isEmpty());

        // Deleting by empty value keeps the other tags; with nothing left
        // to delete the file is unchanged, and that is still a success.
        const QString png = dir.filePath("in place.png");
        const exif_tag_map remove{{"GPSLatitude", ""}, {"GPSLatitudeRef", ""}};
        QVERIFY(ko::exiftool::write_tags(png, remove));
        QVERIFY(!test_support::read_plain_tags_numeric(png).contains("GPSLatitude"));
        QCOMPARE(test_support::read_plain_tags_numeric(png).value("GPSLongitude"), QString("-8.25"));
        QVERIFY(ko::exiftool::write_tags(png, remove));

        // Software tags go the same way.
        const QString path = dir.filePath("in place.jpeg");
        QVERIFY(ko::exiftool::write_software_tags(path));
        const auto tags = test_support::read_tags_numeric(path);
        QCOMPARE(tags.value("IFD0:Software"), QString("Quenmark - Orlavo"));
        QCOMPARE(tags.value("XMP-xmp:CreatorTool"), QString("Quenmark - Orlavo"));
    }

    void qualified_keys_and_awkward_values()
    {
        const QString path = photo("Müller Straße ü.jpg");
        QVERIFY(ko::exiftool::write_tags(path, {{"XMP:GPSLatitude", "47.5"}, {"GPSLatitude#", "-12.25"},
                                                {"GPSLatitudeRef", "S"}, {"Comment", "Ort %1 %2 ü a=b=c"},
                                                {"Artist", "#not a comment"}}));
        const auto tags = test_support::read_tags_numeric(path);
        QCOMPARE(tags.value("GPS:GPSLatitude"), QString("12.25"));
        QCOMPARE(tags.value("XMP-exif:GPSLatitude"), QString("47.5"));
        QCOMPARE(tags.value("File:Comment"), QString("Ort %1 %2 ü a=b=c"));
        QCOMPARE(tags.value("IFD0:Artist"), QString("#not a comment"));
        // Read back: everything after the first "=" is the value.
        QCOMPARE(ko::exiftool::read_tags(path, false, false).at("Comment"), QString("Ort %1 %2 ü a=b=c"));
    }

    void awkward_file_names()
    {
        const QString old = QDir::currentPath();
        QDir::setCurrent(dir.path());
        for (const char* name : {"-dash.jpg", "#hash.jpg", " blank.jpg", "%1 file.jpg", "{ready7}/{ready8}"}) {
            const QString path = photo(name);
            // Relative to the working directory, as a caller may pass it.
            QVERIFY2(ko::exiftool::write_tags(name, {{"Artist", "A"}}), name);
            QCOMPARE(test_support::read_plain_tags_numeric(path).value("Artist"), QString("A"));
        }
        QDir::setCurrent(old);
    }

    void failed_writes_report_false()
    {
        message_capture capture;
        const QString text = dir.filePath("notes.txt");
        {
            QFile file(text);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("hello\n");
        }
        QVERIFY(!ko::exiftool::write_tags(text, {{"GPSLatitude", "1"}}));
        QCOMPARE(capture.count("Failed to execute command on '" + text + "'", QtWarningMsg), 1);
        QCOMPARE(capture.count("files weren't updated due to errors", QtWarningMsg), 1);
        QCOMPARE(contents(text), QByteArray("hello\n"));
        QVERIFY(!ko::exiftool::write_tags(dir.filePath("missing.jpg"), {{"GPSLatitude", "1"}}));

        // A file type that cannot hold the tag: ExifTool reports nothing
        // updated and no error, which is still no success.
        capture.clear();
        const QString gif = photo("image.gif", "PNG"); // PNG bytes; ExifTool goes by content
        const QByteArray before = contents(gif);
        QVERIFY(!ko::exiftool::write_tags(gif, {{"ExifIFD:GPSLatitude", "1"}}));
        QCOMPARE(capture.count("0 image files updated", QtWarningMsg), 1);
        QCOMPARE(contents(gif), before);
        // Writing an empty value ("^") is no delete: a file left unchanged
        // was not written.
        const QString real_gif = dir.filePath("real.gif");
        QVERIFY(writing_support::make_gif_with_late_xmp(real_gif, {"-XMP-dc:Title=t"}));
        QVERIFY(!ko::exiftool::write_tags(real_gif, {{"GPS:GPSAreaInformation#^", ""}}));
    }

    // A loaded photo replaced by a folder that holds another photo: ExifTool
    // would work on the photo inside. Neither read nor written, at once.
    void folder_in_place_of_a_file()
    {
        const QString inner = photo("dirimg.jpg/inner.jpg", "JPEG", {"-GPSLatitude=10", "-GPSLatitudeRef=N"});
        QVERIFY(!inner.isEmpty());
        const QString folder = dir.filePath("dirimg.jpg");
        const QByteArray before = contents(inner);
        message_capture capture;
        QCOMPARE(ko::exiftool::write_tags_outcome(folder, {{"GPSLatitude", "47.5"}, {"GPSLatitudeRef", "S"}}),
                 ko::write_outcome::not_written);
        QVERIFY(ko::exiftool::read_tags(folder, true, false).empty());
        QVERIFY(ko::exiftool::read_selected_tags(folder, {"GPSLatitude"}).empty());
        QCOMPARE(capture.count("'" + folder + "': it is not a regular file", QtWarningMsg), 3);
        QCOMPARE(contents(inner), before);
        QCOMPARE(test_support::read_tags_numeric(inner).value("GPS:GPSLatitude"), QString("10"));
        QVERIFY(!ko::exiftool::stopped());
    }

    // A value is written as the text it is, line breaks and all.
    void injected_arguments_are_refused()
    {
        const QString path = photo("victim.jpg");
        const QByteArray before = contents(path);
        const QString sentinel = dir.filePath("sentinel");
        const QString code = QString("system('touch %1') || 1").arg(sentinel);
        const QList<QPair<QString, exif_tag_map>> attempts{
            {path + "\n-if\n" + code, {{"Artist", "x"}}},
            {path, {{"Artist=x\n-if\n" + code + "\n-Comment", "y"}}},
        };
        message_capture capture;
        ko::exiftool::verbose(true);
        for (const auto& attempt : attempts)
            QVERIFY(!ko::exiftool::write_tags(attempt.first, attempt.second));
        ko::exiftool::verbose(false);
        QCOMPARE(capture.count("Refusing to write to", QtWarningMsg), attempts.size());
        QCOMPARE(capture.count("Writing '"), 0);
        QCOMPARE(contents(path), before);
        for (const QString& value : {"x\n-if\n" + code, "  x\r-if\r" + code + "\t\\n\\x41"}) {
            QVERIFY(ko::exiftool::write_tags(path, {{"Artist", value}}));
            QString out;
            QCOMPARE(test_support::run_exiftool({"-b", "-Artist", path}, &out), 0);
            QCOMPARE(out, value);
        }
        QVERIFY(!QFile::exists(sentinel));
    }
};

QTEST_MAIN(test_exiftool_write)
#include "test_exiftool_write.moc"
