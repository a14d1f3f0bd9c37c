#!/usr/bin/env python3
"""Generates ko_toolkit/ko/exiftool_tag_names.inc, the bridge's catalogue of
ExifTool tag names, from the tag listings of the installed ExifTool.

The catalogue holds read-only tag names: the names that `exiftool -list`
knows and `exiftool -listw` does not list as writable (file system data,
composite values, format and maker-note details), plus the few required
names below. Names the application writes, clears or reads for its photo
records are kept out (every GPS name but the composite GPSPosition among
them), and so are the names the tag filter removes by lists of its own. When more names qualify than the catalogue holds, the surplus is
dropped from the names that ExifTool defines as unknown tags only (those
appear in an answer only with the option -u, which the bridge never sends),
in byte order.

Every property of the result is checked before anything is written; the
script stops with a message and exit code 1 when one does not hold. The
build never runs this script: the generated file is kept in the repository.

    scripts/gen_tag_catalogue.py                 # rewrite the table
    scripts/gen_tag_catalogue.py --check         # compare with the table
    scripts/gen_tag_catalogue.py --exiftool /path/to/exiftool
"""

import argparse
import concurrent.futures
import os
import re
import subprocess
import sys
import xml.etree.ElementTree as ET

EXIFTOOL_VERSION = "12.57"
CATALOGUE_SIZE = 9844
MIN_LENGTH = 2
MAX_LENGTH = 43
LONGEST = ["DescriptiveMetadataApplicationEnvironmentID",
           "SecondaryOriginalExtendedSpokenLanguageCode"]
FIRST = ["A100DataOffset", "AAFManufacturerID", "ABDate", "ABLabel",
         "ABRelatedNames", "AB_UID"]
LAST = ["ZoomStrength", "ZoomedPreviewImage", "iTunSMPB", "iTunTool"]
# (a, b): b follows a directly, nothing of the catalogue lies between them.
NEIGHBOURS = [("ABRelatedNames", "AB_UID"), ("AF-SPrioritySel", "AFArea")]

REQUIRED = sorted(set(
    FIRST + LAST + LONGEST + [n for pair in NEIGHBOURS for n in pair] + [
        "FileAccessDate", "ExifToolVersion", "FileSize", "FileType",
        "MIMEType", "Megapixels", "Aperture", "ShutterSpeed", "GPSPosition",
    ]))

# The filter's own lists; the catalogue must not repeat them.
LOOK_TAGS = [
    "LookAmount", "LookGroup", "LookName", "LookParametersCameraProfile",
    "LookParametersConvertToGrayscale", "LookParametersLookTable",
    "LookParametersProcessVersion", "LookParametersToneCurvePV2012",
    "LookParametersToneCurvePV2012Blue", "LookParametersToneCurvePV2012Green",
    "LookParametersToneCurvePV2012Red", "LookParametersVersion",
    "LookSupportsAmount", "LookSupportsMonochrome",
    "LookSupportsOutputReferred", "LookUuid", "OverrideLookVignette",
]
FILE_LOCATION_TAGS = ["FileName", "Directory"]
SINGLE_TAGS = ["SamplesPerPixel", "Compression", "RowsPerStrip",
               "BitsPerSample", "ThumbnailLength", "ThumbnailOffset",
               "PhotoshopThumbnail"]

# GPS tags the main window writes, snapshots for undo or empties.
GPS_EXIF_TAGS = [
    "GPSAltitude", "GPSAltitudeRef", "GPSAreaInformation", "GPSDOP",
    "GPSDateStamp", "GPSDestBearing", "GPSDestBearingRef", "GPSDestDistance",
    "GPSDestDistanceRef", "GPSDestLatitude", "GPSDestLatitudeRef",
    "GPSDestLongitude", "GPSDestLongitudeRef", "GPSDifferential",
    "GPSHPositioningError", "GPSImgDirection", "GPSImgDirectionRef",
    "GPSLatitude", "GPSLatitudeRef", "GPSLongitude", "GPSLongitudeRef",
    "GPSMapDatum", "GPSMeasureMode", "GPSProcessingMethod", "GPSSatellites",
    "GPSSpeed", "GPSSpeedRef", "GPSStatus", "GPSTimeStamp", "GPSTrack",
    "GPSTrackRef", "GPSVersionID",
]
GPS_XMP_TAGS = ["GPSLatitude", "GPSLongitude", "GPSAltitude"]
# Tags the photo store reads (plain reads and, without their group, the
# group-qualified ones). GPSPosition and ShutterSpeed belong to the catalogue.
PHOTO_STORE_TAGS = [
    "DateTimeOriginal", "FNumber", "ISO", "FocalLength", "Model", "LensModel",
    "Lens", "ExifImageWidth", "ExifImageHeight", "ImageWidth", "ImageHeight",
    "Rating", "ShutterSpeed", "Orientation", "GPSPosition",
    "DateCreated", "TimeCreated", "GPSLatitude", "GPSCoordinates",
]
PHOTO_STORE_KEPT = {"GPSPosition", "ShutterSpeed"}
# The "GPS:all" clean-up deletes every tag of this ExifTool table.
GPS_GROUP_TABLE = "GPS::Main"

EXCLUDED = sorted(set(
    ["FileCreateDate", "FileModifyDate", "Software", "CreatorTool"]
    + LOOK_TAGS + FILE_LOCATION_TAGS + SINGLE_TAGS
    + GPS_EXIF_TAGS + GPS_XMP_TAGS
    + [n for n in PHOTO_STORE_TAGS if n not in PHOTO_STORE_KEPT]))

NAME_PATTERN = re.compile(r"[A-Za-z](?:[A-Za-z0-9_-]*[A-Za-z0-9])?")


class GenerationError(Exception):
    pass


def key(name):
    """Byte order: unsigned bytes, a prefix first (what std::string_view's
    comparison does)."""
    return name.encode("ascii")


def run(exiftool, args):
    command = f"{exiftool} {' '.join(args)}"
    try:
        done = subprocess.run([exiftool, *args], stdout=subprocess.PIPE,
                              stderr=subprocess.PIPE, timeout=120, check=False)
    except (OSError, subprocess.TimeoutExpired) as error:
        raise GenerationError(f"cannot run {command}: {error}")
    if done.returncode != 0:
        raise GenerationError(f"{command} failed with exit code {done.returncode}: "
                              f"{done.stderr.decode(errors='replace')}")
    return done.stdout.decode("utf-8")


def run_all(exiftool, *commands):
    """Runs ExifTool once per argument list, all at the same time; returns
    the standard outputs in the order of the commands."""
    with concurrent.futures.ThreadPoolExecutor(max_workers=len(commands)) as pool:
        futures = [pool.submit(run, exiftool, args) for args in commands]
        return [future.result() for future in futures]


def listed_names(text, heading):
    """The names of one section of a -list style listing: the heading line,
    then indented lines of names separated by blanks, up to the next
    unindented line (ExifTool appends its command-line shortcuts there)."""
    lines = text.splitlines()
    try:
        start = lines.index(heading)
    except ValueError:
        raise GenerationError(f"listing has no line {heading!r}")
    names = []
    for line in lines[start + 1:]:
        if not line.startswith(" "):
            break
        names.extend(line.split())
    if not names:
        raise GenerationError(f"listing section {heading!r} is empty")
    return names


def table_info(xml_text):
    """From -listx -f: every tag name with the flags of each definition, and
    the names defined in the GPS group table."""
    root = ET.fromstring(xml_text)
    definitions = {}
    gps_group = set()
    for table in root.iter("table"):
        for tag in table.iter("tag"):
            name = tag.get("name")
            flags = set(filter(None, (tag.get("flags") or "").split(",")))
            definitions.setdefault(name, []).append(flags)
            if table.get("name") == GPS_GROUP_TABLE:
                gps_group.add(name)
    if not gps_group:
        raise GenerationError(f"-listx has no table {GPS_GROUP_TABLE}")
    return definitions, gps_group


def excluded_names(gps_group):
    """The named exclusions and every tag of the GPS group (which the GPS
    clean-up deletes as a whole). is_gps_name() keeps out the remaining
    GPS names as well, so that the filter never catches a GPS tag."""
    return set(EXCLUDED) | gps_group


def is_gps_name(name):
    return name.startswith("GPS") and name != "GPSPosition"


def select(known, writable, definitions, gps_group):
    known_set = set(known)
    missing = [n for n in REQUIRED if n not in known_set]
    if missing:
        raise GenerationError(f"ExifTool does not know the required names {missing}")
    excluded = excluded_names(gps_group)
    clash = sorted(set(REQUIRED) & excluded)
    if clash:
        raise GenerationError(f"names both required and excluded: {clash}")

    first_end, last_start = FIRST[-1], LAST[0]
    lower_allowed = {n for n in LAST if n[0].islower()}

    def allowed(name):
        if name in excluded or is_gps_name(name):
            return False
        if not NAME_PATTERN.fullmatch(name):
            return False
        if not MIN_LENGTH <= len(name) <= MAX_LENGTH:
            return False
        if len(name) == MAX_LENGTH and name not in LONGEST:
            return False
        if name[0].islower() and name not in lower_allowed:
            return False
        if key(name) <= key(first_end) and name not in FIRST:
            return False
        if key(name) >= key(last_start) and name not in LAST:
            return False
        for before, after in NEIGHBOURS:
            if key(before) < key(name) < key(after):
                return False
        return True

    pool = {n for n in known_set if n not in writable} | set(REQUIRED)
    pool = sorted((n for n in pool if allowed(n)), key=key)
    surplus = len(pool) - CATALOGUE_SIZE
    if surplus < 0:
        raise GenerationError(f"only {len(pool)} names qualify, {CATALOGUE_SIZE} needed")
    required = set(REQUIRED)
    droppable = [n for n in pool if n not in required and definitions.get(n)
                 and all("Unknown" in flags for flags in definitions[n])]
    if len(droppable) < surplus:
        raise GenerationError(f"{len(pool)} names qualify, but only {len(droppable)} of "
                              f"the {surplus} surplus names can be dropped")
    dropped = set(droppable[:surplus])
    return [n for n in pool if n not in dropped], excluded


def verify(names, known, excluded):
    """Checks every stated property of the finished catalogue."""
    problems = []
    if len(names) != CATALOGUE_SIZE:
        problems.append(f"{len(names)} names instead of {CATALOGUE_SIZE}")
    for a, b in zip(names, names[1:]):
        if not key(a) < key(b):
            problems.append(f"{a!r} does not sort strictly before {b!r}")
    for n in names:
        if not NAME_PATTERN.fullmatch(n):
            problems.append(f"{n!r} has characters outside letters, digits, '_' and '-', "
                            "does not begin with a letter or ends with '_' or '-'")
        if not MIN_LENGTH <= len(n) <= MAX_LENGTH:
            problems.append(f"{n!r} is {len(n)} characters long")
    max_length = max(map(len, names), default=0)
    longest = sorted(n for n in names if len(n) == max_length)
    if longest != sorted(LONGEST) or len(LONGEST[0]) != MAX_LENGTH:
        problems.append(f"longest names are {longest}")
    if names[:len(FIRST)] != FIRST:
        problems.append(f"catalogue begins with {names[:len(FIRST)]}")
    if names[-len(LAST):] != LAST:
        problems.append(f"catalogue ends with {names[-len(LAST):]}")
    lower = [n for n in names if n[0].islower()]
    if lower != ["iTunSMPB", "iTunTool"]:
        problems.append(f"names beginning with a lower-case letter: {lower}")
    position = {n: i for i, n in enumerate(names)}
    for before, after in NEIGHBOURS:
        if before not in position or position.get(after) != position[before] + 1:
            problems.append(f"{before!r} does not stand directly before {after!r}")
    missing = [n for n in REQUIRED if n not in position]
    if missing:
        problems.append(f"required names missing: {missing}")
    present = sorted(n for n in names if n in excluded or is_gps_name(n))
    if present:
        problems.append(f"excluded names present: {present}")
    unknown = sorted(set(names) - set(known))
    if unknown:
        problems.append(f"names ExifTool does not know: {unknown[:20]}")
    if problems:
        raise GenerationError("catalogue fails its checks:\n  " + "\n  ".join(problems[:50]))


def render(names, version):
    out = [
        "// Generated by scripts/gen_tag_catalogue.py from the tag listings of",
        f"// ExifTool {version}. Do not edit; run the script again instead.",
        f"// {len(names)} read-only tag names in strictly ascending byte order,",
        "// one string_view literal per line, for the catalogue's initializer.",
    ]
    out += [f'"{n}"sv,' for n in names]
    return "\n".join(out) + "\n"


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    default_output = os.path.join(here, os.pardir, "ko_toolkit", "ko", "exiftool_tag_names.inc")
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--exiftool", default="exiftool", help="ExifTool to ask (default: exiftool)")
    parser.add_argument("--output", default=os.path.normpath(default_output))
    parser.add_argument("--check", action="store_true",
                        help="only compare the generated table with the file")
    parser.add_argument("--any-version", action="store_true",
                        help=f"accept an ExifTool other than {EXIFTOOL_VERSION}")
    options = parser.parse_args()

    try:
        version, listing, writable_listing, xml_listing = run_all(
            options.exiftool, ["-ver"], ["-list"], ["-listw"], ["-listx", "-f"])
        version = version.strip()
        if version != EXIFTOOL_VERSION and not options.any_version:
            raise GenerationError(f"ExifTool {version} found, the catalogue is made from "
                                  f"{EXIFTOOL_VERSION} (use --any-version to go on)")
        known = listed_names(listing, "Available tags:")
        writable = set(listed_names(writable_listing, "Writable tags:"))
        definitions, gps_group = table_info(xml_listing)
        names, excluded = select(known, writable, definitions, gps_group)
        verify(names, known, excluded)
        text = render(names, version)
        if options.check:
            try:
                with open(options.output, encoding="ascii") as stored:
                    current = stored.read()
            except OSError as error:
                raise GenerationError(f"cannot read {options.output}: {error}")
            if current != text:
                raise GenerationError(f"{options.output} differs from the generated table")
            print(f"{options.output}: up to date ({len(names)} names)")
        else:
            with open(options.output, "w", encoding="ascii", newline="\n") as target:
                target.write(text)
            print(f"{options.output}: {len(names)} names written")
    except GenerationError as error:
        print(f"gen_tag_catalogue: error: {error}", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
