// Reading property-list text into trees: what is read, what is refused and where.
#include <gtest/gtest.h>

#include "PlistText.h"

using namespace carryover;
using test::document;
using test::read;
using test::values;

namespace {

ReadResult readText(std::string text) {
    ContainerCounter counter;
    return readPlistText("test.plist", std::move(text), counter);
}

} // namespace

// Each document is read as an XML parser reads it; written again, it reads as the same values, here
// and in libplist, and writing that once more changes nothing.
TEST(Reader, documentsReadInFullAndWrittenToAFixedPoint) {
    struct Case {
        std::string text;
        const char* values;
        bool libplistAgrees = true; // libplist keeps CRs in text and reads references in numbers as 0
    } cases[] = {
        // Start tags with white space or attributes before ">" or "/>".
        {document("<key>A</key><dict ><key>B</key><string>x</string></dict><key>Z</key><integer>1</integer>"),
         "A:Dictionary{B:String=x} Z:Int=1"},
        {document("<key>A</key><array ><string>x</string></array><key>Z</key><integer>1</integer>"),
         "A:Array{Item 0:String=x} Z:Int=1"},
        {document(
             "<key>A</key><dict\n><key>B</key><string>x</string></dict\n><key>Z</key><integer>1</integer>"),
         "A:Dictionary{B:String=x} Z:Int=1"},
        {document("<key>Enabled</key><true /><key>Off</key><false />"), "Enabled:Bool=true Off:Bool=false"},
        {document("<key>t</key><true></true><key>f</key><false> <!-- c --> </false>"),
         "t:Bool=true f:Bool=false"},
        {document("<key>s</key><string a=\"1\" b='2'>x</string><key >k</key><string>v</string>"),
         "s:String=x k:String=v"},
        // Comments and processing instructions between elements and inside text.
        {document("<key>k</key><!-- c --><string>v</string><?pi x?><key>n</key><true/>"),
         "k:String=v n:Bool=true"},
        {document("<!-- <key>Old</key> <string>off</string> --><key>n</key><true/>"), "n:Bool=true"},
        {document("<key>d</key><data>AQ<!-- c -->ID</data><key>i</key><integer>1<!-- c -->2</integer>"
                  "<key>r</key><real>0.<?pi?>5</real>"),
         "d:Data=AQID i:Int=12 r:Double=0.5"},
        {document("<key>s</key><string>x<!-- </string> -->y</string>"), "s:String=xy"},
        {document("<key>s</key><string>]]<!-- c -->></string><key>t</key><string>]<!-- c -->]></string>"),
         "s:String=]]&gt; t:String=]]&gt;"},
        // CDATA sections become their content, escaped.
        {document("<key>s</key><string><![CDATA[</string>]]></string><key>t</key><string>a<![CDATA[<&>]]>b</"
                  "string>"),
         "s:String=&lt;/string&gt; t:String=a&lt;&amp;&gt;b"},
        // Text exact: leading white space kept, references as written, line ends as line feeds.
        {document("<key> k</key><string> -v</string><key>e</key><string>x &amp; &#49; &lt;</string>"
                  "<key>d</key><date> 2020-01-01T00:00:00Z</date>"),
         " k:String= -v e:String=x &amp; &#49; &lt; d:Date= 2020-01-01T00:00:00Z"},
        {document("<key>n</key><string>a\r\nb\rc</string>"), "n:String=a\nb\nc", false},
        // CR among the blanks between elements.
        {"<?xml "
         "version=\"1.0\"?>\r\n<plist>\r\n<dict>\r\n\t<key>a</key>\r\n\t<true/>\r\n</dict>\r\n</plist>\r\n",
         "a:Bool=true"},
        // Numbers.
        {document("<key>h</key><integer>0x10</integer><key>m</key><integer>-0x10</integer>"
                  "<key>u</key><integer>18446744073709551615</integer>"
                  "<key>l</key><integer>-9223372036854775808</integer><key>w</key><integer> 7 </integer>"
                  "<key>j</key><integer>12abc</integer><key>z</key><integer/>"),
         "h:Int=16 m:Int=-16 u:Int=18446744073709551615 l:Int=-9223372036854775808 w:Int=7 j:Int=12 z:Int=0"},
        {document("<key>r</key><integer>&#49;2</integer><key>x</key><real>&#x31;.5</real>"),
         "r:Int=12 x:Double=1.5", false},
        {document(
             "<key>a</key><real>inf</real><key>b</key><real>-Infinity</real><key>c</key><real>NaN</real>"
             "<key>d</key><real>1e400</real><key>e</key><real>-1e-400</real><key>f</key><float> 2.5 </float>"
             "<key>g</key><real/>"),
         "a:Double=+infinity b:Double=-infinity c:Double=nan d:Double=+infinity e:Double=-0.0 f:Double=2.5 "
         "g:Double=0.0"},
        // Data: Base64 wrapped over lines, padding written or left out (libplist drops a short group).
        {document("<key>a</key><data>\n\tAQ\n\tID\n</data><key>b</key><data>AQ==</data><key>e</key><data/>"),
         "a:Data=AQID b:Data=AQ== e:Data="},
        {document("<key>c</key><data>AQ</data><key>d</key><data>AQI</data>"),
         "c:Data=AQ== d:Data=AQI=", false},
        // Empty forms and empty containers.
        {document(
             "<key/><string/><key>d</key><dict><!-- only --></dict><key>a</key><array></array><key>t</key>"
             "<date/>"),
         ":String= d:Dictionary{} a:Array{} t:Date="},
        {document("<key>k</key><integer>1</integer><key>k</key><integer>2</integer>"), "k:Int=1 k:Int=2"},
        // The head: comments and a document type whose texts hold "<dict>".
        {"<!-- one <dict> of settings -->\n<!DOCTYPE plist [ <!ENTITY x \"<dict>\"> <!-- ] --> ]>\n"
         "<plist version=\"1.0\"><dict><key>a</key><true/></dict></plist>",
         "a:Bool=true"},
        {"\xEF\xBB\xBF<plist><dict><key>a</key><true/></dict></plist>", "a:Bool=true"},
        // A bare top-level dictionary.
        {"<dict><key>a</key><true/></dict>\n", "a:Bool=true"},
        {" \n<dict><key>a</key><dict/></dict>", "a:Dictionary{}"},
    };
    for (const Case& c : cases) {
        ReadResult result = readText(c.text);
        ASSERT_EQ(result.status, ReadStatus::Ok) << c.text << "\n" << result.description();
        EXPECT_EQ(values(*result.root), c.values) << c.text;
        const std::string once = test::formatted(c.text);
        EXPECT_EQ(values(*read(once)), c.values) << once;
        EXPECT_EQ(test::formatted(once), once) << once;
        const std::optional<std::string> written = test::libplistValues(once);
        EXPECT_TRUE(written) << once;
        if (const auto input = test::libplistValues(c.text); input && c.libplistAgrees) {
            EXPECT_EQ(written, input) << c.text;
        }
    }
}

TEST(Reader, everyTruncatedDocumentIsRefused) {
    const std::string text =
        document("<key>a</key><dict><key>b</key><array><string>x&amp;y</string><integer>1"
                 "</integer><data>AQID</data><true/></array></dict><!-- c --><key>c</key>"
                 "<string><![CDATA[z]]></string>");
    ASSERT_EQ(readText(text).status, ReadStatus::Ok);
    // The last line break after </plist> may go.
    for (size_t length = 0; length + 1 < text.size(); ++length)
        EXPECT_NE(readText(text.substr(0, length)).status, ReadStatus::Ok) << length;
}

TEST(Reader, nestingAtTheLimitOneBelowAndOneAbove) {
    // The top-level dictionary counts as one level, <plist> as none; empty containers count.
    struct Case {
        std::string entries;
        ReadStatus status;
    } cases[] = {
        {"<key>a</key>" + test::nestedArrays(510), ReadStatus::Ok},
        {"<key>a</key>" + test::nestedArrays(511), ReadStatus::Ok},
        {"<key>a</key>" + test::nestedArrays(512), ReadStatus::TooDeep},
        {"<key>a</key>" + test::nestedArrays(510, "<array/>"), ReadStatus::Ok},
        {"<key>a</key>" + test::nestedArrays(511, "<array/>"), ReadStatus::TooDeep},
        {"<key>a</key>" + test::nestedArrays(511, "<dict/>"), ReadStatus::TooDeep},
        {"<key>a</key>" + test::nestedArrays(100000), ReadStatus::TooDeep},
        {"<!--" + test::nestedArrays(600) + "--><key>a</key><true/>", ReadStatus::Ok},
    };
    for (const Case& c : cases)
        EXPECT_EQ(readText(document(c.entries)).status, c.status) << c.entries.size();
    EXPECT_EQ(readText(document("<key>a</key>" + test::nestedArrays(512))).description(),
              "containers nest deeper than 512 levels at line 5, column 3590");
}
