// The catalogue of ExifTool tag names, the file-date list and the tag-map
// filter built on them.

#include "ko/exiftool.h"
#include "test_support.h"

#include <QtTest>

#include <cctype>
#include <cstring>
#include <thread>

namespace {

QString text(std::string_view name) { return QString::fromUtf8(name.data(), static_cast<int>(name.size())); }

using names_t = std::vector<std::string_view>;

// The filter's own lists: look and layout tags always, file location on request.
const QStringList look_tags{"LookAmount", "LookGroup", "LookName", "LookParametersCameraProfile",
    "LookParametersConvertToGrayscale", "LookParametersLookTable", "LookParametersProcessVersion",
    "LookParametersToneCurvePV2012", "LookParametersToneCurvePV2012Blue", "LookParametersToneCurvePV2012Green",
    "LookParametersToneCurvePV2012Red", "LookParametersVersion", "LookSupportsAmount", "LookSupportsMonochrome",
    "LookSupportsOutputReferred", "LookUuid", "OverrideLookVignette"};
const QStringList single_tags{"SamplesPerPixel", "Compression", "RowsPerStrip", "BitsPerSample",
                              "ThumbnailLength", "ThumbnailOffset", "PhotoshopThumbnail"};
const QStringList file_location_tags{"FileName", "Directory"};
// Tags the photo store reads and the GPS tags the main window writes.
const QStringList read_and_written_tags{
    "DateTimeOriginal", "FNumber", "ISO", "FocalLength", "Model", "LensModel", "Lens", "ExifImageWidth",
    "ExifImageHeight", "ImageWidth", "ImageHeight", "Rating", "Orientation", "DateCreated", "TimeCreated",
    "GPSCoordinates", "GPSLatitude", "GPSLatitudeRef", "GPSLongitude", "GPSAltitude", "GPSVersionID",
    "GPSDateStamp", "GPSTimeStamp", "Software", "CreatorTool", "FileCreateDate", "FileModifyDate"};

// Names of one section of an "exiftool -list" style listing.
QSet<QString> listed_names(const QStringList& args, const QString& heading)
{
    QString listing;
    if (test_support::run_exiftool(args, &listing, 20000) != 0)
        return {};
    QStringList lines = listing.split('\n');
    const int at = lines.indexOf(heading);
    QSet<QString> names;
    for (int i = at + 1; at >= 0 && i < lines.size() && lines[i].startsWith(' '); ++i)
        for (const QString& name : lines[i].split(' ', Qt::SkipEmptyParts))
            names.insert(name);
    return names;
}

exif_tag_map map_of(const QStringList& keys)
{
    exif_tag_map map;
    for (const QString& key : keys)
        map[key] = "value of " + key;
    return map;
}

exif_tag_map strip(const exif_tag_map& map, bool keep) { return ko::exiftool::strip_catalogue_tags(map, keep); }

} // namespace

class test_exiftool_catalogue : public QObject
{
    Q_OBJECT

private slots:
    // Runs first, so that the filter's own lists are built by racing threads.
    void concurrent_first_calls()
    {
        const exif_tag_map input = map_of({"FileSize", "LookName", "FileName", "Title", "Compression"});
        std::vector<exif_tag_map> results(6);
        std::vector<std::thread> threads;
        for (auto& result : results)
            threads.emplace_back([&input, &result] { result = strip(input, false); });
        for (auto& thread : threads)
            thread.join();
        for (const auto& result : results)
            QCOMPARE(result, map_of({"Title"}));
    }

    void table_count_order_characters_and_ends()
    {
        const auto& names = exiftool_tag_names;
        QCOMPARE(names.size(), size_t(9844));
        size_t longest = 0;
        for (size_t i = 0; i < names.size(); ++i) {
            const std::string_view name = names[i];
            const QString n = text(name);
            // Strict byte order: unsigned bytes, a prefix first.
            if (i > 0) {
                const std::string_view prev = names[i - 1];
                const int c = std::memcmp(prev.data(), name.data(), std::min(prev.size(), name.size()));
                QVERIFY2(c < 0 || (c == 0 && prev.size() < name.size()), qPrintable(text(prev) + " / " + n));
            }
            QVERIFY2(name.size() >= 2 && n.at(0).isLetter() && !n.endsWith('_') && !n.endsWith('-'), qPrintable(n));
            for (const char c : name)
                QVERIFY2(std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '-', qPrintable(n));
            longest = std::max(longest, name.size());
        }
        QCOMPARE(longest, size_t(43));
        QVERIFY(names_t(names.begin(), names.begin() + 6)
                == names_t({"A100DataOffset", "AAFManufacturerID", "ABDate", "ABLabel", "ABRelatedNames", "AB_UID"}));
        QVERIFY(names_t(names.end() - 4, names.end()) == names_t({"ZoomStrength", "ZoomedPreviewImage", "iTunSMPB", "iTunTool"}));
        const auto af = std::find(names.begin(), names.end(), "AF-SPrioritySel");
        QVERIFY(af != names.end() && af[1] == "AFArea");
    }

    void table_required_and_excluded_names()
    {
        QSet<QString> names;
        for (const std::string_view name : exiftool_tag_names)
            names.insert(text(name));
        for (const char* name : {"FileAccessDate", "ExifToolVersion", "FileSize", "FileType", "MIMEType",
                                 "Megapixels", "Aperture", "ShutterSpeed", "GPSPosition"})
            QVERIFY2(names.contains(name), name);
        const QStringList excluded = QStringList() << look_tags << single_tags << file_location_tags
                                                   << read_and_written_tags << "XMP:GPSLatitude";
        for (const QString& name : excluded)
            QVERIFY2(!names.contains(name), qPrintable(name));
        // No GPS tag at all but the composite position the photo store reads.
        for (const QString& name : names)
            QVERIFY2(!name.startsWith("GPS") || name == "GPSPosition", qPrintable(name));
        QVERIFY(file_date_tags == names_t({"FileAccessDate", "FileCreateDate", "FileModifyDate"}));
    }

    void table_names_known_to_exiftool()
    {
        const QSet<QString> known = listed_names({"-list"}, "Available tags:");
        const QSet<QString> writable = listed_names({"-listw"}, "Writable tags:");
        QVERIFY2(known.size() > 10000 && writable.size() > 1000, "exiftool gave no tag listing");
        QStringList unknown, not_read_only;
        for (const std::string_view name : exiftool_tag_names) {
            const QString n = text(name);
            if (!known.contains(n))
                unknown << n;
            // Read-only tags, but for the writable composite position.
            if (writable.contains(n) && n != "GPSPosition")
                not_read_only << n;
        }
        for (const std::string_view name : file_date_tags)
            if (!known.contains(text(name)))
                unknown << text(name);
        QVERIFY2(unknown.isEmpty(), qPrintable("unknown to ExifTool: " + unknown.mid(0, 20).join(' ')));
        QVERIFY2(not_read_only.isEmpty(), qPrintable("writable: " + not_read_only.mid(0, 20).join(' ')));
    }

    void generated_table_is_current()
    {
        const QString python = test_support::find_tool("python3");
        QVERIFY2(!python.isEmpty(), qPrintable(test_support::missing_tool("python3")));
        const QString root = QDir::cleanPath(QStringLiteral(ORLAVO_TEST_FAKES_DIR) + "/../..");
        QProcess process;
        process.start(python, {root + "/scripts/gen_tag_catalogue.py", "--check"});
        QVERIFY(process.waitForStarted(5000));
        if (!process.waitForFinished(60000)) {
            process.kill();
            process.waitForFinished(1000);
            QFAIL("the generator did not finish within 60 s");
        }
        QVERIFY2(process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0,
                 process.readAllStandardError().constData());
    }

    void filter_removes_catalogue_and_own_lists()
    {
        QVERIFY(strip({}, true).empty());
        QCOMPARE(strip(map_of({"FileAccessDate", "FileSize", "MIMEType", "ExifToolVersion", "FileCreateDate",
                               "FileModifyDate", "Title"}), true),
                 map_of({"FileCreateDate", "FileModifyDate", "Title"}));

        exif_tag_map all;
        for (const std::string_view name : exiftool_tag_names)
            all[text(name)] = "x";
        all["Title"] = "kept";
        QCOMPARE(strip(all, true), exif_tag_map({{"Title", "kept"}}));

        const exif_tag_map own = map_of(QStringList() << look_tags << single_tags << file_location_tags << "Title");
        const exif_tag_map copy = own;
        QCOMPARE(strip(own, true), map_of(QStringList() << file_location_tags << "Title"));
        QCOMPARE(strip(own, false), map_of({"Title"}));
        QCOMPARE(own, copy); // the argument is left alone
    }

    void filter_keeps_other_tags_and_matches_whole_keys_only()
    {
        QStringList kept = read_and_written_tags;
        kept << "XMP:GPSLatitude" << "GPS:all" << "GPSLatitude#" << "IPTC:DateCreated"
             << "QuickTime:GPSCoordinates" << "" << QString::fromUtf8("Über")
             // Letter case, blanks, near names and group prefixes do not match.
             << "filesize" << "FILESIZE" << "mimetype" << "filename" << "File:FileSize" << "File:FileName"
             << "Composite:GPSPosition" << "FileSize " << " FileSize" << "FileSiz" << "FileSizes"
             << "lookname" << "XMP-crs:LookName" << "EXIF:Compression" << "compression";
        const exif_tag_map input = map_of(kept);
        QCOMPARE(strip(input, true), input);
        QCOMPARE(strip(input, false), input);
        // The store's composite position and shutter speed are catalogued.
        QVERIFY(strip(map_of({"GPSPosition", "ShutterSpeed"}), true).empty());
    }
};

QTEST_MAIN(test_exiftool_catalogue)
#include "test_exiftool_catalogue.moc"
