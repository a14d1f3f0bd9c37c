// GPX files for the reader's tests and benchmark.
#include "gpx_samples.h"

#include <QDateTime>
#include <QFile>
#include <QRegularExpression>

namespace gpx_samples {

QList<QPair<QString, QByteArray>> varied_files()
{
    QList<QPair<QString, QByteArray>> files;
    const auto add = [&files](const char* name, const QByteArray& content) {
        files.append(qMakePair(QString(name), content));
    };

    add("gpx11.gpx", QByteArray("\xEF\xBB\xBF") + R"(<?xml version="1.0" encoding="UTF-8" standalone="no"?>
<?xml-stylesheet type="text/xsl" href="style.xsl"?>
<!-- written by a logger -->
<gpx xmlns="http://www.topografix.com/GPX/1/1" xmlns:gpxtpx="http://www.garmin.com/xmlschemas/TrackPointExtension/v1" xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance" xsi:schemaLocation="http://www.topografix.com/GPX/1/1 http://www.topografix.com/GPX/1/1/gpx.xsd" version="1.1" creator="Logger">
  <metadata><name>Trip</name><time>2023-05-01T08:00:00Z</time><bounds minlat="47" minlon="8" maxlat="48" maxlon="9"/></metadata>
  <!-- first waypoint -->
  <wpt lat="47.3769" lon="8.5417"><ele>408</ele><time>2023-05-01T08:05:00Z</time><name>Zürich HB</name><sym>Flag</sym></wpt>
  <rte><name>Planned</name><rtept lat="47.1" lon="8.1"><time>2023-05-01T09:00:00Z</time></rtept></rte>
  <trk>
    <name>Morning &amp; Noon</name>
    <desc>desc <b>bold</b></desc>
    <trkseg>
      <trkpt lat="47.376900" lon="8.541700"><ele>408.2</ele><time>2023-05-01T08:10:00Z</time><extensions><gpxtpx:TrackPointExtension><gpxtpx:hr>101</gpxtpx:hr></gpxtpx:TrackPointExtension></extensions></trkpt>
      <trkpt lat="47.377" lon="8.542"><time>2023-05-01T10:10:01+02:00</time></trkpt>
      <trkpt lat="47.378" lon="8.543"><time>2023-05-01T03:10:02.5-05:00</time></trkpt>
      <trkpt lat="47.379" lon="8.544"><time>2023-05-01T08:10:03.123Z</time></trkpt>
    </trkseg>
    <trkseg>
      <trkpt lat=" 47.380 " lon="&#56;.545"><time>2023-05-01T08:10:04</time></trkpt>
      <trkpt lat="47.381" lon="8.546"><time>2023-05-01T08:10:05.1234567Z</time></trkpt>
      <trkpt lat="47.382" lon="8.547"><time>20230501T081006Z</time></trkpt>
      <trkpt lat="47.383" lon="8.548"><time>2023-05-01T08:10:07+0530</time></trkpt>
      <trkpt lat="47.384" lon="8.549"><time>2023-05-01 08:10:08Z</time></trkpt>
      <trkpt lat="47.385" lon="8.550"><time>2023-05-01T08:10:09,25Z</time></trkpt>
      <trkpt lat="47.386" lon="8.551"><time>2023-05-01T24:00:00Z</time></trkpt>
      <trkpt lat="47.387" lon="8.552"><time>2023-05-01t08:10:10z</time></trkpt>
      <trkpt lat="47.388" lon="8.553"><time>2023-05-01</time></trkpt>
      <trkpt lat="47.389" lon="8.554"><time>2023-05-01T08:10Z</time></trkpt>
      <trkpt lat="47.390" lon="8.555"><time><![CDATA[2023-05-01T08:10:11Z]]></time></trkpt>
      <trkpt lat="47.391" lon="8.556"><time>2023-05-01<!-- split -->T08:10:12Z</time></trkpt>
      <trkpt lat="47.392" lon="8.557"><time></time><time>2023-05-01T08:10:13Z</time></trkpt>
      <trkpt lat="47.393" lon="8.558"><time>2023-05-01T08:10:14+14:00</time></trkpt>
      <trkpt lat="47.394" lon="8.559"><time>2023-05-01T08:10:15.999Z</time></trkpt>
      <trkpt lat="47.395" lon="8.560"><time>2023-05-01T08:10:16.9999Z</time></trkpt>
      <trkpt lat="47.396" lon="8.561"><time>2023-12-31T23:59:59-00:30</time></trkpt>
      <trkpt lat="47.397" lon="8.562"><time>2023-03-26T02:30:00</time></trkpt>
      <trkpt lat="47.398" lon="8.563"><time>2023-10-29T02:30:00+01:00</time></trkpt>
      <trkpt lat="47.399" lon="8.564"><time>
            2023-05-01T08:10:17Z
          </time></trkpt>
      <trkpt lat="47.400"/>
      <trkpt lon="8.565"><time>garbage</time></trkpt>
      <trkpt LAT="1" lon="2" lat=""/>
      <trkpt lat="-0.5e1" lon="+8,5"><name>ignored</name><time><sub>2023-05-01T</sub>08:10:18Z</time></trkpt>
    </trkseg>
    <name>second name, ignored</name>
  </trk>
  <trk><trkseg/><name>Name after a segment</name><trkseg><trkpt lat="1" lon="2"><time>2023-05-01T08:20:00Z</time></trkpt></trkseg></trk>
  <trk><trkseg><trkpt lat="3" lon="4"/></trkseg></trk>
  <trk><name></name></trk>
  <trk><name>  Spaced <b>bold</b> name  </name><trkpt lat="9" lon="9"/><trkseg><trkseg><trkpt lat="8" lon="8"/></trkseg><extensions><trkpt lat="6" lon="6"/></extensions><trkpt lat="7" lon="7"/></trkseg></trk>
  <trk><name><![CDATA[Cdata <name>]]></name><number>6</number></trk>
  <wpt lat="47.4" lon="8.6"/>
  <extensions><x/></extensions>
  <gpxtpx:Foo/>
  <?custom instruction?>
  text at the top
  <![CDATA[cdata at the top]]>
  <trk xmlns=""><name>No namespace</name></trk>
  <trk xmlns="urn:other"><name>Other namespace</name></trk>
  <other:trk xmlns:other="urn:other"><name>Prefixed other</name></other:trk>
  <undeclared:trk/>
</gpx>
<!-- after the root -->
<?after root?>
)");

    add("gpx10.gpx", R"(<?xml version="1.0"?>
<gpx version="1.0" creator="GPSBabel - http://www.gpsbabel.org" xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance" xmlns="http://www.topografix.com/GPX/1/0" xsi:schemaLocation="http://www.topografix.com/GPX/1/0 http://www.topografix.com/GPX/1/0/gpx.xsd">
<time>2023-06-01T12:00:00Z</time>
<bounds minlat="46.1" minlon="7.1" maxlat="46.3" maxlon="7.3"/>
<wpt lat="46.100000" lon="7.100000">
  <ele>1500.000000</ele>
  <time>2023-06-01T06:00:00Z</time>
  <name>START</name>
  <cmt>Start</cmt>
</wpt>
<rte><rtept lat="46.2" lon="7.2"/></rte>
<trk>
  <name>ACTIVE LOG</name>
  <number>1</number>
<trkseg>
<trkpt lat="46.100001" lon="7.100001">
  <ele>1500.5</ele>
<time>2023-06-01T06:00:01Z</time>
  <course>10.5</course>
  <speed>1.2</speed>
</trkpt>
<trkpt lat="46.100002" lon="7.100002">
  <ele>1501.0</ele>
<time>2023-06-01T06:00:02.750Z</time>
</trkpt>
</trkseg>
</trk>
<trk>
<trkseg>
<trkpt lat="46.2" lon="7.2"><time>2023-06-01T08:00:00+02:00</time></trkpt>
</trkseg>
</trk>
</gpx>
)");

    add("latin1.gpx", "<?xml version='1.0' encoding='ISO-8859-1'?>\r\n"
                                "<gpx version='1.1' creator='\xE9t\xE9'>\r\n"
                                "<trk><name>M\xFCnchen \xE4\xF6\xFC \xDF \xB0</name><trkseg>\r\n"
                                "<trkpt lat='48.1' lon='11.5'><time>2023-07-01T10:00:00Z</time></trkpt>\r\n"
                                "</trkseg></trk>\r\n"
                                "<wpt lat='48.2' lon='11.6'><name>Caf\xE9</name></wpt>\r\n"
                                "<caf\xE9/>\r\n"
                                "</gpx>\r\n");

    {
        const QString text = QString::fromUtf8(
            "<?xml version=\"1.0\" encoding=\"UTF-16\"?>\n<gpx version=\"1.1\">"
            "<trk><name>Zw\xC3\xB6lf \xE2\x82\xAC \xF0\x9F\x9A\xB2</name><trkseg>"
            "<trkpt lat=\"1.5\" lon=\"2.5\"><time>2023-08-01T10:00:00Z</time></trkpt></trkseg></trk></gpx>\n");
        QByteArray utf16("\xFF\xFE", 2);
        for (const QChar c : text) {
            utf16.append(char(c.unicode() & 0xff));
            utf16.append(char(c.unicode() >> 8));
        }
        add("utf16.gpx", utf16);
    }

    add("plain.gpx", QByteArray("<gpx>\r\n\t<trk>\r\n\t\t<trkseg>\r\n\t\t\t<trkpt lat=\" 47.1 \" lon=\"8.1\">"
                                          "<time>2023-05-01T10:00:00Z</time></trkpt>\r\n"
                                          "\t\t\t<trkpt lat='47.2' lon='8.2'><time>2023-05-01T10:00:01Z</time></trkpt>\r\n"
                                          "\t\t</trkseg>\r\n\t</trk>\r\n</gpx>"));

    add("other_root.gpx", R"(<?xml version="1.0"?>
<track xmlns="http://www.topografix.com/GPX/1/1/">
  <trk><name>Under another root</name><trkseg><trkpt lat="1" lon="1"/></trkseg></trk>
  <wpt lat="2" lon="2"><time>2023-05-01T10:00:00Z</time></wpt>
</track>
)");

    add("waypoints_only.gpx", R"(<gpx><wpt lat="1" lon="2"/><wpt lat="3" lon="4"><time>2023-05-01T10:00:00+01:00</time></wpt></gpx>)");
    add("metadata_only.gpx", R"(<gpx><metadata><name>x</name></metadata></gpx>)");
    add("empty_root.gpx", "<gpx/>");
    return files;
}

QString varied_results()
{
    return QString::fromUtf8(R"(== gpx11.gpx
Unknown node type found: 8 node name is: #comment
Unknown element found: rte
Track is named Morning & Noon
Track is named Name after a segment
Track is named Track 3
Track is named 
Track is named   Spaced bold name  
Track is named Cdata <name>
Unknown element found: extensions
Unknown element found: gpxtpx:Foo
Unknown node type found: 7 node name is: custom
Unknown node type found: 3 node name is: #text
Unknown node type found: 4 node name is: #cdata-section
Track is named No namespace
Track is named Other namespace
Unknown element found: other:trk
Unknown element found: undeclared:trk
track [Morning & Noon] 28
  [47.376900] [8.541700] 1682928600000 2023-05-01T08:10:00.000Z spec 1 offset 0
  [47.377] [8.542] 1682928601000 2023-05-01T10:10:01.000+02:00 spec 2 offset 7200
  [47.378] [8.543] 1682928602500 2023-05-01T03:10:02.500-05:00 spec 2 offset -18000
  [47.379] [8.544] 1682928603123 2023-05-01T08:10:03.123Z spec 1 offset 0
  [ 47.380 ] [8.545] 1682928604000 2023-05-01T08:10:04.000Z spec 1 offset 0
  [47.381] [8.546] 1682928605123 2023-05-01T08:10:05.123Z spec 1 offset 0
  [47.382] [8.547] invalid
  [47.383] [8.548] 1682908807000 2023-05-01T08:10:07.000+05:30 spec 2 offset 19800
  [47.384] [8.549] 1682928608000 2023-05-01T08:10:08.000Z spec 1 offset 0
  [47.385] [8.550] 1682928609250 2023-05-01T08:10:09.250Z spec 1 offset 0
  [47.386] [8.551] 1682985600000 2023-05-02T00:00:00.000Z spec 1 offset 0
  [47.387] [8.552] 1682928610000 2023-05-01T08:10:10.000Z spec 1 offset 0
  [47.388] [8.553] 1682899200000 2023-05-01T00:00:00.000Z spec 1 offset 0
  [47.389] [8.554] 1682928600000 2023-05-01T08:10:00.000Z spec 1 offset 0
  [47.390] [8.555] 1682928611000 2023-05-01T08:10:11.000Z spec 1 offset 0
  [47.391] [8.556] 1682928612000 2023-05-01T08:10:12.000Z spec 1 offset 0
  [47.392] [8.557] invalid
  [47.393] [8.558] 1682878214000 2023-05-01T08:10:14.000+14:00 spec 2 offset 50400
  [47.394] [8.559] 1682928615999 2023-05-01T08:10:15.999Z spec 1 offset 0
  [47.395] [8.560] 1682928616999 2023-05-01T08:10:16.999Z spec 1 offset 0
  [47.396] [8.561] 1704068999000 2023-12-31T23:59:59.000-00:30 spec 2 offset -1800
  [47.397] [8.562] 1679797800000 2023-03-26T02:30:00.000Z spec 1 offset 0
  [47.398] [8.563] 1698543000000 2023-10-29T02:30:00.000+01:00 spec 2 offset 3600
  [47.399] [8.564] 1682928617000 2023-05-01T08:10:17.000Z spec 1 offset 0
  [47.400] [] invalid
  [] [8.565] invalid
  [] [2] invalid
  [-0.5e1] [+8,5] 1682928618000 2023-05-01T08:10:18.000Z spec 1 offset 0
track [Name after a segment] 1
  [1] [2] 1682929200000 2023-05-01T08:20:00.000Z spec 1 offset 0
track [Track 3] 1
  [3] [4] invalid
track [] 0
track [  Spaced bold name  ] 1
  [7] [7] invalid
track [Cdata <name>] 0
track [No namespace] 0
track [Other namespace] 0
track [Waypoints] 2
  [47.3769] [8.5417] 1682928300000 2023-05-01T08:05:00.000Z spec 1 offset 0
  [47.4] [8.6] invalid
== gpx10.gpx
Unknown element found: time
Unknown element found: bounds
Unknown element found: rte
Track is named ACTIVE LOG
Track is named Track 2
track [ACTIVE LOG] 2
  [46.100001] [7.100001] 1685599201000 2023-06-01T06:00:01.000Z spec 1 offset 0
  [46.100002] [7.100002] 1685599202750 2023-06-01T06:00:02.750Z spec 1 offset 0
track [Track 2] 1
  [46.2] [7.2] 1685599200000 2023-06-01T08:00:00.000+02:00 spec 2 offset 7200
track [Waypoints] 1
  [46.100000] [7.100000] 1685599200000 2023-06-01T06:00:00.000Z spec 1 offset 0
== latin1.gpx
Track is named München äöü ß °
Unknown element found: café
track [München äöü ß °] 1
  [48.1] [11.5] 1688205600000 2023-07-01T10:00:00.000Z spec 1 offset 0
track [Waypoints] 1
  [48.2] [11.6] invalid
== utf16.gpx
Track is named Zwölf € 🚲
track [Zwölf € 🚲] 1
  [1.5] [2.5] 1690884000000 2023-08-01T10:00:00.000Z spec 1 offset 0
== plain.gpx
Track is named Track 1
track [Track 1] 2
  [ 47.1 ] [8.1] 1682935200000 2023-05-01T10:00:00.000Z spec 1 offset 0
  [47.2] [8.2] 1682935201000 2023-05-01T10:00:01.000Z spec 1 offset 0
== other_root.gpx
Track is named Under another root
track [Under another root] 1
  [1] [1] invalid
track [Waypoints] 1
  [2] [2] 1682935200000 2023-05-01T10:00:00.000Z spec 1 offset 0
== waypoints_only.gpx
track [Waypoints] 2
  [1] [2] invalid
  [3] [4] 1682931600000 2023-05-01T10:00:00.000+01:00 spec 2 offset 3600
== metadata_only.gpx
== empty_root.gpx
)");
}

namespace {

// A track of two points, the second with a description.
QByteArray two_points(const QByteArray& prolog, const QByteArray& name, const QByteArray& description,
                      const QByteArray& first_attributes = "lat=\"47.1\" lon=\"8.1\"")
{
    return prolog + "<gpx version=\"1.1\"><trk><name>" + name + "</name><trkseg>\n<trkpt " + first_attributes +
           "><time>2023-05-01T10:00:00Z</time></trkpt>\n<trkpt lat=\"47.2\" lon=\"8.2\"><desc>" + description +
           "</desc><time>2023-05-01T10:00:01Z</time></trkpt>\n</trkseg></trk></gpx>\n";
}

const char* const both_points = " 2023-05-01T10:00:00Z 47.1 8.1; 2023-05-01T10:00:01Z 47.2 8.2";
const QByteArray declaration("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n");

QByteArray utf32le(const QString& text)
{
    QByteArray data("\xFF\xFE\0\0", 4);
    for (const uint c : text.toUcs4())
        for (int shift = 0; shift < 32; shift += 8)
            data.append(char((c >> shift) & 0xFF));
    return data;
}

// The logger's track of count points after a prolog, with inner in place of
// every point's elevation.
QByteArray long_track_with(int count, const QByteArray& prolog, const QByteArray& inner)
{
    QString data = QString::fromLatin1(long_track(count));
    data.replace(QRegularExpression("<ele>[^<]*</ele>"), QString::fromLatin1(inner));
    return data.insert(data.indexOf('\n') + 1, QString::fromLatin1(prolog)).toLatin1();
}

} // namespace

QList<lenient_file> lenient_files()
{
    const QByteArray cut = two_points(declaration, "Cut", "d");
    const QString zwoelf = QString::fromUtf8("Zw\xC3\xB6lf \xE2\x82\xAC");
    const auto doctype = [](const QByteArray& subset) { return declaration + "<!DOCTYPE gpx [" + subset + "]>\n"; };
    QByteArray nul_after_latin1 = "<gpx><trk><name>\xe9</name><trkseg><trkpt lat=\"10\" lon=\"20." + QByteArray(1, '\0') +
        QByteArray("<trkpt lat=\"30\" lon=\"40\"><time>2020-01-01T01:00:00Z</time></trkpt>").repeated(10);
    nul_after_latin1 += QByteArray(16384 - nul_after_latin1.size(), ' ') +
                        "66\"><time>2020-01-01T05:00:00Z</time></trkpt></trkseg></trk></gpx>";
    QByteArray damaged = long_track(30000);
    damaged.insert(damaged.indexOf("</trkpt>\n", damaged.size() / 2) + 9,
                   QByteArray(31, '\xff') + QByteArray(1, '\0') + QByteArray(32, '\xfe'));
    QByteArray laughs = "<!ENTITY lol0 \"lol\">";
    for (int i = 1; i < 10; ++i)
        laughs += "<!ENTITY lol" + QByteArray::number(i) + " \"" + ("&lol" + QByteArray::number(i - 1) + ";").repeated(10) + "\">";
    const QByteArray long_comment = "<!--" + QByteArray(17000, 'c') + "-->\n";
    const QByteArray comments = QByteArray("<!-- c -->\n").repeated(10001) + "</gpx>";
    const auto attributes = [](int count) {
        QByteArray list = "lat=\"47.1\" lon=\"8.1\"";
        for (int i = 2; i < count; ++i)
            list += " a" + QByteArray::number(i) + "=''";
        return list;
    };
    // Items far longer than a block, which the XML reader reads again from
    // their start with every block: a name in a CDATA section keeps its
    // first 65,536 characters, and a comment cut short keeps its end.
    const QString long_name(1000000, QChar(0x20AC)); // three bytes each
    const QByteArray long_items = two_points(
        declaration + "<!--" + QByteArray("x-").repeated(1500000) + "x-->\n<?pi " + QByteArray(3000000, 'i') + "?>\n",
        "<![CDATA[" + long_name.toUtf8() + "]]>", "<!--" + QByteArray(2000000, 'd') + "-->");
    QByteArray empty_tracks = two_points(declaration, "Last", "d");
    empty_tracks.replace("<trk><name>Last</name>", QByteArray("<trk/>").repeated(1001) + "<trk><name></name></trk><trk>");
    QString kept_empty_tracks;
    for (int i = 1; i <= 1000; ++i)
        kept_empty_tracks += QString("[Track %1] ").arg(i);
    const QByteArray entities = "refused, its document type declares entities";
    const QByteArray two_doctypes = "refused, it has more than one document type";
    const QByteArray after_root = "refused, it has a document type after its root element's start";
    const QByteArray parameter_entities = "refused, its document type uses parameter entities";
    return {
        {"attributes_24.gpx", two_points(declaration, "Many", "d", attributes(24)), QString("[Many]") + both_points,
         ""},
        {"attributes_25.gpx", two_points(declaration, "Many", "d", attributes(25)), "",
         "refused, one of its tags has too many attributes"},
        // The XML reader takes document types anywhere once it has run out
        // of data, as it does with every block: their tokens are judged.
        {"doctype_in_content.gpx", two_points(declaration, "<!DOCTYPE n [<!ELEMENT n ANY>]>Name", "d"), "",
         after_root},
        {"doctype_after_root.gpx", two_points(declaration, "After", "d") + "<!DOCTYPE gpx>\n", "", after_root},
        {"two_doctypes.gpx", two_points(declaration + "<!DOCTYPE gpx>\n<!DOCTYPE gpx>\n", "Two", "d"), "",
         two_doctypes},
        {"many_doctypes.gpx", two_points(declaration + QByteArray("<!DOCTYPE gpx>\n").repeated(4000), "Many", "d"),
         "", two_doctypes},
        // The first declares a reference to what only the second declares.
        {"second_doctype_declares.gpx",
         two_points(declaration + "<!DOCTYPE gpx [<!ENTITY a \"&b;\">]>\n<!DOCTYPE gpx [<!ENTITY b \"" +
                        QByteArray(1000, 'x') + "\">]>\n",
                    QByteArray("&a;").repeated(1000), "d"),
         "", entities},
        {"small_entity_subset.gpx",
         two_points(doctype("<!ENTITY deg \"&#176;\">"), "Deg", QByteArray("21&deg;C ").repeated(10)), "", entities},
        // Mended (for the control character), its value is no system literal.
        {"entity_named_system.gpx", two_points(doctype("<!-- \x01 --><!ENTITY SYSTEM \"<b>x</b>\">"), "&SYSTEM;", "d"),
         "", entities},
        {"billion_laughs.gpx", two_points(doctype(laughs), "&lol9;", "d"), "", entities},
        {"system_only_doctype.gpx",
         two_points(declaration + "<!DOCTYPE gpx SYSTEM \"http://www.topografix.com/GPX/1/1/gpx.xsd\" [<!-- c -->"
                                  "<?pi x?><!ELEMENT gpx ANY><!NOTATION n SYSTEM \"n\">]>\n",
                    "System", "d"),
         QString("[System]") + both_points, ""},
        {"system_literal_with_ampersands.gpx",
         two_points(declaration + "<!DOCTYPE gpx PUBLIC \"-//X//DTD GPX//EN\" \"http://example.com/gpx.dtd?a=1&b=<2>\">\n",
                    "Trail", "Fish & Chips"),
         QString("[Trail]") + both_points, ""},
        {"long_doctype.gpx", two_points(declaration + "<!DOCTYPE" + QByteArray(70000, ' ') + "gpx>\n", "Long", "d"), "",
         "refused, its document type is too long"},
        {"long_items.gpx", long_items, "[" + long_name.left(65536) + "]" + both_points, ""},
        // A character reference longer than any a file means, after a bare
        // '&': mended as text without holding the text back.
        {"long_character_reference.gpx",
         two_points(declaration, "Fish & Chips", "&#" + QByteArray(3000000, '0') + "65;"),
         QString("[Fish & Chips]") + both_points, ""},
        {"empty_tracks.gpx", empty_tracks, kept_empty_tracks + "[Track 1003]" + both_points, ""},
        {"xml11.gpx", two_points("<?xml version=\"1.1\" encoding=\"UTF-8\"?>\n", "Logger", "d"),
         QString("[Logger]") + both_points, ""},
        {"html_entities.gpx", two_points(declaration, "Ca&ntilde;on View", "&nbsp;Fish & Chips, caf&eacute;"),
         QString("[Ca&ntilde;on View]") + both_points, ""},
        {"control_characters.gpx", two_points(declaration, "Lake\x01Side&#1;", "a\x1F&#x1b;b"),
         QString("[Lake Side ]") + both_points, ""},
        {"duplicate_attribute.gpx",
         two_points(declaration, "Twice", "d", "lat=\"1\" lon=\"8.1\" lat=\"47.1\""),
         QString("[Twice]") + both_points, ""},
        {"cut_off.gpx", cut.left(cut.indexOf("<desc>") + 8), "[Cut] 2023-05-01T10:00:00Z 47.1 8.1", "line 4, column 36"},
        {"utf32le.gpx", utf32le(QString::fromLatin1(two_points("<?xml version=\"1.0\" encoding=\"UTF-32\"?>\n",
                                                               "@", "d"))
                                    .replace("@", zwoelf)),
         "[" + zwoelf + "]" + both_points, ""},
        {"mark_and_unknown_encoding.gpx",
         two_points("\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"x-logger-8\"?>\n", "Z\xC3\xBCrich", "d"),
         QString::fromUtf8("[Z\xC3\xBCrich]") + both_points, ""},
        // Bytes that are not UTF-8 and a NUL in one block: no point glued
        // together from three, none of a long track lost.
        {"nul_after_latin1.gpx", nul_after_latin1, "", "line 1, column 58"},
        {"nul_in_long_track.gpx", damaged, "[Long log] " + long_track_points(30000).join("; "), ""},
        // A zone-less time is UTC, with a blank or a "T", in the spring gap too.
        {"spring_gap.gpx",
         "<gpx><trk><name>Gap</name><trkseg><trkpt lat=\"1\" lon=\"2\"><time>2023-03-26 02:30:00</time></trkpt>"
         "<trkpt lat=\"3\" lon=\"4\"><time>2023-03-26T02:30:00</time></trkpt></trkseg></trk></gpx>",
         "[Gap] 2023-03-26T02:30:00Z 1 2; 2023-03-26T02:30:00Z 3 4", ""},
        {"instruction_in_doctype.gpx", two_points(doctype("<?pi don't ?>"), "Trail", "Fish & Chips"),
         QString("[Trail]") + both_points, ""},
        {"attribute_without_blank.gpx", two_points(declaration, "Twice", "d", "lat=\"1\"lat=\"47.1\" lon=\"8.1\""),
         QString("[Twice]") + both_points, ""},
        // Nesting beyond any GPX is refused.
        {"nested_256.gpx", deeply_nested(253), "[Deep] 2023-05-01T10:00:00Z 47.5 8.5", ""},
        {"nested_257.gpx", deeply_nested(254), "", "refused, its elements are nested too deep"},
        {"unclosed_prefixed.gpx", unclosed_prefixed(1000), "", "refused, its elements are nested too deep"},
        // Parameter entities (which can pair quotes otherwise than the bytes
        // do) and attribute lists are refused; a '%' elsewhere is none.
        {"parameter_entity_quotes.gpx",
         two_points(doctype("<!ENTITY % p \"<!ENTITY n '\">\n%p;abc'>\n<!ENTITY z \"']><x>\">"), "&n;", "d"), "",
         parameter_entities},
        {"parameter_entity_declarations.gpx",
         two_points(doctype("<!ENTITY % d \"<!ENTITY e1 'x'><!ENTITY e2 'y'>\">%d;%d;"), "&e1;", "d"), "",
         parameter_entities},
        {"attribute_list.gpx", two_points(doctype("<!ATTLIST trkpt a CDATA 'v' b CDATA #IMPLIED>"), "A", "d"), "",
         "refused, its document type declares attribute lists"},
        {"percent_outside_parameter_entities.gpx",
         two_points(declaration + "<!DOCTYPE gpx SYSTEM \"gpx%201.dtd\" [<!-- 100% --><?pi 5% ?>]>\n", "Trail", "d"),
         QString("[Trail]") + both_points, ""},
        // Comments and percent signs in points past the first block.
        {"long_comment_commented_points.gpx", long_track_with(11000, long_comment, "<!-- fix -->"),
         "[Long log] " + long_track_points(11000).join("; "), ""},
        {"long_comment_percent_points.gpx", long_track_with(9000, long_comment, "<desc>100%</desc>"),
         "[Long log] " + long_track_points(9000).join("; "), ""},
        {"long_comment_many_comments.gpx",
         long_track_with(1, "<!--" + QByteArray(16400, 'c') + "-->\n", "").replace("</gpx>", comments),
         "[Long log] " + long_track_points(1).join("; "), ""},
        // A quote left open ends its tag before the next '<': the points on
        // either side are not joined into one.
        {"mismatched_quotes.gpx",
         "<gpx><trk><name>Quotes</name><trkseg>\n<trkpt lat=\"47.1\" lon=\"8.1\"><time>2023-05-01T10:00:00Z</time></trkpt>\n"
         "<trkpt lat='1.5' lon='2.5\"><time>2020-01-01T00:00:00Z</time></trkpt>\n"
         "<trkpt lat=\"3.5 ' lon=\"4.5\"><time>2020-01-01T00:00:01Z</time></trkpt>\n</trkseg></trk></gpx>\n",
         "[Quotes] 2023-05-01T10:00:00Z 47.1 8.1", "line 3"},
    };
}

QByteArray deeply_nested(int levels)
{
    QByteArray data("<?xml version=\"1.0\"?>\n<gpx version=\"1.1\"><trk><name>Deep</name><trkseg>"
                    "<trkpt lat=\"47.5\" lon=\"8.5\"><time>2023-05-01T10:00:00Z</time></trkpt></trkseg><extensions>");
    data.reserve(data.size() + levels * 7 + 64);
    for (int i = 0; i < levels; ++i)
        data += "<e>";
    for (int i = 0; i < levels; ++i)
        data += "</e>";
    data += "</extensions></trk></gpx>\n";
    return data;
}

QByteArray unclosed_prefixed(int count)
{
    QByteArray data("<?xml version=\"1.0\"?>\n<gpx version=\"1.1\"><trk><name>Open</name><trkseg>"
                    "<trkpt lat=\"47.5\" lon=\"8.5\"><time>2023-05-01T10:00:00Z</time></trkpt></trkseg>");
    data.reserve(data.size() + count * 5);
    for (int i = 0; i < count; ++i)
        data += "<x:e>";
    return data;
}

namespace {

const char* const long_track_head = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                                    "<gpx version=\"1.1\" creator=\"logger\" xmlns=\"http://www.topografix.com/GPX/1/1\">\n"
                                    " <trk>\n  <name>Long log</name>\n  <trkseg>\n";
const char* const long_track_tail = "  </trkseg>\n </trk>\n</gpx>\n";

QByteArray long_track_lat(int i) { return QByteArray::number(46.0 + (i % 1000000) * 1e-6, 'f', 8); }
QByteArray long_track_lon(int i) { return QByteArray::number(7.0 + (i % 700000) * 1e-6, 'f', 8); }
QByteArray long_track_time(int i)
{
    return QDateTime(QDate(2023, 5, 1), QTime(6, 0), Qt::UTC).addSecs(i).toString(Qt::ISODate).toLatin1();
}

// Point i of the logger's track, after a segment break every 100,000 points.
QByteArray long_track_point(int i)
{
    return (i > 0 && i % 100000 == 0 ? "  </trkseg>\n  <trkseg>\n" : "") + QByteArray("   <trkpt lat=\"") +
           long_track_lat(i) + "\" lon=\"" + long_track_lon(i) + "\"><ele>" + QByteArray::number(400 + i % 1000) +
           ".5</ele><time>" + long_track_time(i) + "</time></trkpt>\n";
}

} // namespace

QByteArray long_track(int points)
{
    QByteArray data(long_track_head);
    for (int i = 0; i < points; ++i)
        data += long_track_point(i);
    return data + long_track_tail;
}

QStringList long_track_points(int points)
{
    QStringList texts;
    for (int i = 0; i < points; ++i)
        texts << long_track_time(i) + ' ' + long_track_lat(i) + ' ' + long_track_lon(i);
    return texts;
}

bool write_long_track(const QString& path, int points)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    QByteArray block(long_track_head);
    for (int i = 0; i < points; ++i) {
        block += long_track_point(i);
        if (block.size() > (1 << 20)) {
            if (file.write(block) != block.size())
                return false;
            block.clear();
        }
    }
    block += long_track_tail;
    return file.write(block) == block.size() && file.flush();
}

} // namespace gpx_samples
