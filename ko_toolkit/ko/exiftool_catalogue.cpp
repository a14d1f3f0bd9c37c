// The tag-map filter of the ExifTool bridge: removes the catalogued tag
// names and a few lists of its own from a copy of a tag map.

#include "ko/exiftool.h"

namespace ko {

exif_tag_map exiftool::strip_catalogue_tags(const exif_tag_map& tags, bool keep_file_location)
{
    // Function-local constants: built once by the first call (thread-safe),
    // built again by the next call should that building have failed.
    static const std::vector<QString> file_location_tags{
        QStringLiteral("FileName"), QStringLiteral("Directory")};

    exif_tag_map result = tags;

    static const std::vector<QString> look_tags{
        QStringLiteral("LookAmount"),
        QStringLiteral("LookGroup"),
        QStringLiteral("LookName"),
        QStringLiteral("LookParametersCameraProfile"),
        QStringLiteral("LookParametersConvertToGrayscale"),
        QStringLiteral("LookParametersLookTable"),
        QStringLiteral("LookParametersProcessVersion"),
        QStringLiteral("LookParametersToneCurvePV2012"),
        QStringLiteral("LookParametersToneCurvePV2012Blue"),
        QStringLiteral("LookParametersToneCurvePV2012Green"),
        QStringLiteral("LookParametersToneCurvePV2012Red"),
        QStringLiteral("LookParametersVersion"),
        QStringLiteral("LookSupportsAmount"),
        QStringLiteral("LookSupportsMonochrome"),
        QStringLiteral("LookSupportsOutputReferred"),
        QStringLiteral("LookUuid"),
        QStringLiteral("OverrideLookVignette"),
    };

    // Keys are matched whole and case-sensitively, so a group-qualified key
    // ("File:FileSize") never matches a plain catalogue name.
    for (const std::string_view name : exiftool_tag_names)
        result.erase(QString::fromUtf8(name.data(), static_cast<int>(name.size())));

    for (const QString& name : look_tags)
        result.erase(name);

    if (!keep_file_location) {
        for (const QString& name : file_location_tags)
            result.erase(name);
    }

    result.erase(QStringLiteral("SamplesPerPixel"));
    result.erase(QStringLiteral("Compression"));
    result.erase(QStringLiteral("RowsPerStrip"));
    result.erase(QStringLiteral("BitsPerSample"));
    result.erase(QStringLiteral("ThumbnailLength"));
    result.erase(QStringLiteral("ThumbnailOffset"));
    result.erase(QStringLiteral("PhotoshopThumbnail"));

    return result;
}

} // namespace ko
