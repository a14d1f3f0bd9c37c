// The catalogue of ExifTool tag names, the file-date list and the tag-map
// filter built on them.

#include "ko/exiftool.h"
#include "test_support.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QSet>
#include <QStandardPaths>
#include <QtTest>

#include <cstring>
#include <thread>

namespace {

QString text(std::string_view name)
{
    return QString::fromUtf8(name.data(), static_cast<int>(name.size()));
}

QSet<QString> catalogue_set()
{
    QSet<QString> names;
    for (const std::string_view name : exiftool_tag_names)
        names.insert(text(name));
    return names;
}

// Strict byte order: unsigned bytes, a prefix first.
bool byte_less(std::string_view a, std::string_view b)
{
    const int c = std::memcmp(a.data(), b.data(), std::min(a.size(), b.size()));
    return c < 0 || (c == 0 && a.size() < b.size());
}

const QStringList look_tags{
    "LookAmount", "LookGroup", "LookName", "LookParametersCameraProfile",
    "LookParametersConvertToGrayscale", "LookParametersLookTable",
    "LookParametersProcessVersion", "LookParametersToneCurvePV2012",
    "LookParametersToneCurvePV2012Blue", "LookParametersToneCurvePV2012Green",
    "LookParametersToneCurvePV2012Red", "LookParametersVersion", "LookSupportsAmount",
    "LookSupportsMonochrome", "LookSupportsOutputReferred", "LookUuid",
    "OverrideLookVignette"};
const QStringList single_tags{"SamplesPerPixel", "Compression", "RowsPerStrip", "BitsPerSample",
                              "ThumbnailLength", "ThumbnailOffset", "PhotoshopThumbnail"};
const QStringList file_location_tags{"FileName", "Directory"};

// EXIF GPS tags the main window writes, snapshots and empties.
const QStringList gps_exif_tags{
    "GPSAltitude", "GPSAltitudeRef", "GPSAreaInformation", "GPSDOP", "GPSDateStamp",
    "GPSDestBearing", "GPSDestBearingRef", "GPSDestDistance", "GPSDestDistanceRef",
    "GPSDestLatitude", "GPSDestLatitudeRef", "GPSDestLongitude", "GPSDestLongitudeRef",
    "GPSDifferential", "GPSHPositioningError", "GPSImgDirection", "GPSImgDirectionRef",
    "GPSLatitude", "GPSLatitudeRef", "GPSLongitude", "GPSLongitudeRef", "GPSMapDatum",
    "GPSMeasureMode", "GPSProcessingMethod", "GPSSatellites", "GPSSpeed", "GPSSpeedRef",
    "GPSStatus", "GPSTimeStamp", "GPSTrack", "GPSTrackRef", "GPSVersionID"};

// Tags the photo store reads, without their group names.
const QStringList photo_store_tags{
    "DateTimeOriginal", "FNumber", "ISO", "FocalLength", "Model", "LensModel", "Lens",
    "ExifImageWidth", "ExifImageHeight", "ImageWidth", "ImageHeight", "Rating", "Orientation",
    "DateCreated", "TimeCreated", "GPSLatitude", "GPSCoordinates"};

// Names of one section of an "exiftool -list" style listing.
QSet<QString> listed_names(const QString& listing, const QString& heading)
{
    QSet<QString> names;
    bool inside = false;
    for (const QString& line : listing.split('\n')) {
        if (!inside) {
            inside = line.trimmed() == heading;
            continue;
        }
        if (!line.startsWith(' '))
            break;
        for (const QString& name : line.split(' ', Qt::SkipEmptyParts))
            names.insert(name.trimmed());
    }
    return names;
}

exif_tag_map map_of(const QStringList& keys)
{
    exif_tag_map map;
    for (const QString& key : keys)
        map[key] = "value of " + key;
    return map;
}

} // namespace

class test_exiftool_catalogue : public QObject
{
    Q_OBJECT

private slots:
    void concurrent_first_calls();
    void catalogue_size_and_order();
    void catalogue_characters_and_lengths();
    void catalogue_ends_and_neighbours();
    void catalogue_required_and_excluded_names();
    void catalogue_names_known_to_exiftool();
    void generated_table_is_current();
    void file_date_tags_list();
    void filter_empty_and_untouched_maps();
    void filter_removes_catalogue_and_own_lists();
    void filter_keeps_written_and_read_tags();
    void filter_matches_whole_keys_only();
    void filter_leaves_argument_alone();
};

// Runs first, so that the filter's own lists are built by racing threads.
void test_exiftool_catalogue::concurrent_first_calls()
{
    const exif_tag_map input = map_of({"FileSize", "LookName", "FileName", "Title", "Compression"});
    const exif_tag_map expected = map_of({"Title"});
    std::vector<exif_tag_map> results(6);
    std::vector<std::thread> threads;
    for (auto& result : results)
        threads.emplace_back([&input, &result] { result = ko::exiftool::strip_catalogue_tags(input, false); });
    for (auto& thread : threads)
        thread.join();
    for (const auto& result : results)
        QCOMPARE(result, expected);
}

void test_exiftool_catalogue::catalogue_size_and_order()
{
    QCOMPARE(exiftool_tag_names.size(), size_t(9844));
    QCOMPARE(exiftool_tag_names.capacity(), exiftool_tag_names.size());
    for (size_t i = 1; i < exiftool_tag_names.size(); ++i) {
        if (!byte_less(exiftool_tag_names[i - 1], exiftool_tag_names[i]))
            QFAIL(qPrintable(QString("'%1' does not sort strictly before '%2'")
                                 .arg(text(exiftool_tag_names[i - 1]), text(exiftool_tag_names[i]))));
    }
    // The ordering of the table is that of the views themselves.
    QVERIFY(std::is_sorted(exiftool_tag_names.begin(), exiftool_tag_names.end()));
}

void test_exiftool_catalogue::catalogue_characters_and_lengths()
{
    QStringList longest;
    size_t max_length = 0;
    for (const std::string_view name : exiftool_tag_names) {
        const QString n = text(name);
        QVERIFY2(name.size() >= 2 && name.size() <= 43, qPrintable(n));
        for (const char c : name) {
            const bool ok = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')
                            || c == '_' || c == '-';
            QVERIFY2(ok, qPrintable(n));
        }
        QVERIFY2(n.at(0).isLetter(), qPrintable(n));
        QVERIFY2(!n.endsWith('_') && !n.endsWith('-'), qPrintable(n));
        if (name.size() > max_length) {
            max_length = name.size();
            longest.clear();
        }
        if (name.size() == max_length)
            longest << n;
    }
    QCOMPARE(max_length, size_t(43));
    QCOMPARE(longest, QStringList({"DescriptiveMetadataApplicationEnvironmentID",
                                   "SecondaryOriginalExtendedSpokenLanguageCode"}));
}

void test_exiftool_catalogue::catalogue_ends_and_neighbours()
{
    const auto& names = exiftool_tag_names;
    const std::vector<std::string_view> first(names.begin(), names.begin() + 6);
    const std::vector<std::string_view> last(names.end() - 4, names.end());
    QVERIFY(first == std::vector<std::string_view>({"A100DataOffset", "AAFManufacturerID", "ABDate",
                                                    "ABLabel", "ABRelatedNames", "AB_UID"}));
    QVERIFY(last == std::vector<std::string_view>({"ZoomStrength", "ZoomedPreviewImage", "iTunSMPB",
                                                   "iTunTool"}));

    QStringList lower_case;
    for (const std::string_view name : names) {
        if (name[0] >= 'a' && name[0] <= 'z')
            lower_case << text(name);
    }
    QCOMPARE(lower_case, QStringList({"iTunSMPB", "iTunTool"}));

    auto directly_before = [&names](std::string_view a, std::string_view b) {
        const auto it = std::find(names.begin(), names.end(), a);
        return it != names.end() && it + 1 != names.end() && it[1] == b;
    };
    QVERIFY(directly_before("ABRelatedNames", "AB_UID"));
    QVERIFY(directly_before("AF-SPrioritySel", "AFArea"));
}

void test_exiftool_catalogue::catalogue_required_and_excluded_names()
{
    const QSet<QString> names = catalogue_set();
    for (const char* name : {"FileAccessDate", "ExifToolVersion", "FileSize", "FileType", "MIMEType",
                             "Megapixels", "Aperture", "ShutterSpeed", "GPSPosition"})
        QVERIFY2(names.contains(name), name);

    QStringList excluded{"FileCreateDate", "FileModifyDate", "Software", "CreatorTool",
                         "XMP:GPSLatitude", "GPSLatitude", "GPSLongitude", "GPSAltitude"};
    excluded << look_tags << single_tags << file_location_tags << gps_exif_tags << photo_store_tags;
    QCOMPARE(look_tags.size() + single_tags.size() + file_location_tags.size(), 26);
    for (const QString& name : excluded)
        QVERIFY2(!names.contains(name), qPrintable(name));

    // No GPS tag at all but the composite position the photo store reads.
    for (const QString& name : names)
        QVERIFY2(!name.startsWith("GPS") || name == "GPSPosition", qPrintable(name));
}

void test_exiftool_catalogue::catalogue_names_known_to_exiftool()
{
    QString listing;
    QCOMPARE(test_support::run_exiftool({"-list"}, &listing, 20000), 0);
    const QSet<QString> known = listed_names(listing, "Available tags:");
    QVERIFY2(known.size() > 10000, "exiftool -list gave no tag listing");
    QString writable_listing;
    QCOMPARE(test_support::run_exiftool({"-listw"}, &writable_listing, 20000), 0);
    const QSet<QString> writable = listed_names(writable_listing, "Writable tags:");
    QVERIFY(writable.size() > 1000);

    QStringList unknown;
    QStringList not_read_only;
    for (const std::string_view name : exiftool_tag_names) {
        const QString n = text(name);
        if (!known.contains(n))
            unknown << n;
        // The catalogue is made of read-only tags; the composite position
        // is the one writable name it carries.
        if (writable.contains(n) && n != "GPSPosition")
            not_read_only << n;
    }
    QVERIFY2(unknown.isEmpty(), qPrintable("unknown to ExifTool: " + unknown.mid(0, 20).join(' ')));
    QVERIFY2(not_read_only.isEmpty(), qPrintable("writable: " + not_read_only.mid(0, 20).join(' ')));
    // The file-date tags are real tag names as well.
    for (const std::string_view name : file_date_tags)
        QVERIFY2(known.contains(text(name)), qPrintable(text(name)));
}

void test_exiftool_catalogue::generated_table_is_current()
{
    const QString python = QStandardPaths::findExecutable("python3");
    if (python.isEmpty())
        QSKIP("python3 is not installed");
    const QString root = QDir::cleanPath(QStringLiteral(ORLAVO_TEST_FAKES_DIR) + "/../..");
    const QString script = root + "/scripts/gen_tag_catalogue.py";
    QVERIFY(QFileInfo::exists(script));
    QProcess process;
    process.start(python, {script, "--check"});
    QVERIFY(process.waitForStarted(5000));
    if (!process.waitForFinished(60000)) {
        process.kill();
        process.waitForFinished(1000);
        QFAIL("the generator did not finish within 60 s");
    }
    QVERIFY2(process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0,
             process.readAllStandardError().constData());
}

void test_exiftool_catalogue::file_date_tags_list()
{
    QVERIFY(file_date_tags == std::vector<std::string_view>({"FileAccessDate", "FileCreateDate",
                                                             "FileModifyDate"}));
    const QSet<QString> names = catalogue_set();
    QVERIFY(names.contains("FileAccessDate"));
    QVERIFY(!names.contains("FileCreateDate"));
    QVERIFY(!names.contains("FileModifyDate"));
}

void test_exiftool_catalogue::filter_empty_and_untouched_maps()
{
    QVERIFY(ko::exiftool::strip_catalogue_tags({}, true).empty());
    QVERIFY(ko::exiftool::strip_catalogue_tags({}, false).empty());

    const exif_tag_map plain{{"Title", "A walk"}, {"Artist", " Jo "}, {"Keywords", "a, b"},
                             {"", "empty key"}, {"Description", ""}, {"Über", "ü"}};
    QCOMPARE(ko::exiftool::strip_catalogue_tags(plain, true), plain);
    QCOMPARE(ko::exiftool::strip_catalogue_tags(plain, false), plain);
}

void test_exiftool_catalogue::filter_removes_catalogue_and_own_lists()
{
    exif_tag_map input = map_of({"FileAccessDate", "FileSize", "MIMEType", "ExifToolVersion",
                                 "FileCreateDate", "FileModifyDate", "Title"});
    exif_tag_map result = ko::exiftool::strip_catalogue_tags(input, true);
    QCOMPARE(result, map_of({"FileCreateDate", "FileModifyDate", "Title"}));

    // Every catalogue name goes, the rest stays with its value.
    exif_tag_map all;
    for (const std::string_view name : exiftool_tag_names)
        all[text(name)] = "x";
    all["Title"] = "kept";
    QCOMPARE(ko::exiftool::strip_catalogue_tags(all, true), exif_tag_map({{"Title", "kept"}}));

    // The filter's own lists: look and layout tags always, file location
    // only when it is not to be kept.
    const exif_tag_map own = map_of(QStringList() << look_tags << single_tags << file_location_tags << "Title");
    QCOMPARE(ko::exiftool::strip_catalogue_tags(own, true), map_of(QStringList() << file_location_tags << "Title"));
    QCOMPARE(ko::exiftool::strip_catalogue_tags(own, false), map_of({"Title"}));
}

void test_exiftool_catalogue::filter_keeps_written_and_read_tags()
{
    QStringList kept{"GPSLatitude", "GPSLatitudeRef", "GPSLongitude", "GPSLongitudeRef", "GPSAltitude",
                     "GPSVersionID", "Software", "CreatorTool", "FileCreateDate", "FileModifyDate",
                     "XMP:GPSLatitude", "XMP:GPSLongitude", "XMP:GPSAltitude", "GPS:all",
                     "GPSLatitude#", "IPTC:DateCreated", "IPTC:TimeCreated", "QuickTime:GPSCoordinates"};
    kept << gps_exif_tags << photo_store_tags;
    const exif_tag_map input = map_of(kept);
    QCOMPARE(ko::exiftool::strip_catalogue_tags(input, true), input);
    QCOMPARE(ko::exiftool::strip_catalogue_tags(input, false), input);

    // The store's composite position and shutter speed are catalogued.
    const exif_tag_map stripped = ko::exiftool::strip_catalogue_tags(map_of({"GPSPosition", "ShutterSpeed"}), true);
    QVERIFY(stripped.empty());
}

void test_exiftool_catalogue::filter_matches_whole_keys_only()
{
    const exif_tag_map input = map_of({"filesize", "FILESIZE", "Filesize", "mimetype", "filename",
                                       "File:FileSize", "File:FileName", "Composite:GPSPosition",
                                       "ExifTool:ExifToolVersion", "FileSize ", " FileSize",
                                       "FileSiz", "FileSizes", "lookname", "XMP-crs:LookName",
                                       "EXIF:Compression", "compression"});
    QCOMPARE(ko::exiftool::strip_catalogue_tags(input, false), input);
}

void test_exiftool_catalogue::filter_leaves_argument_alone()
{
    const exif_tag_map input = map_of({"FileSize", "FileName", "Directory", "LookUuid", "Title", "Model"});
    const exif_tag_map copy = input;
    const exif_tag_map first = ko::exiftool::strip_catalogue_tags(input, false);
    QCOMPARE(input, copy);
    const exif_tag_map second = ko::exiftool::strip_catalogue_tags(input, false);
    QCOMPARE(first, second);
    QCOMPARE(first, map_of({"Title", "Model"}));
    QCOMPARE(input, copy);
    QCOMPARE(ko::exiftool::strip_catalogue_tags(input, true), map_of({"FileName", "Directory", "Title", "Model"}));
}

QTEST_MAIN(test_exiftool_catalogue)
#include "test_exiftool_catalogue.moc"
