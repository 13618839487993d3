// The text of elements as XmlScanner reads it: kept as written for keys, strings and dates, resolved for
// numbers and data.
#include <gtest/gtest.h>

#include "plist/XmlScanner.h"

using namespace carryover;

namespace {

// The text of the element `<t>` that `document` holds, kept as written or resolved; "refused" when
// the scanner stops.
std::string textOf(const std::string& document, bool resolve) {
    XmlScanner scanner(document);
    XmlScanner::Tag tag;
    std::string_view text;
    if (scanner.skipMisc() != XmlScanner::Next::StartTag || !scanner.startTag(tag) ||
        !scanner.text(tag.name, resolve, text))
        return "refused";
    return scanner.atEnd() ? std::string(text) : "not at the end";
}

} // namespace

TEST(XmlScanner, elementText) {
    struct Case {
        const char* document;
        const char* kept;
        const char* resolved;
    } cases[] = {
        {"<t>plain</t>", "plain", "plain"},
        {"<t></t>", "", ""},
        {"<t a='1' b = \"2\" >x</t >", "x", "x"},
        {"<t>  lead and trail  </t>", "  lead and trail  ", "  lead and trail  "},
        {"<t>&amp;&lt;&gt;&quot;&apos;&#65;&#x42;&#x1F600;</t>",
         "&amp;&lt;&gt;&quot;&apos;&#65;&#x42;&#x1F600;", "&<>\"'AB\xF0\x9F\x98\x80"},
        {"<t>a<!-- c -->b<?pi x?>c</t>", "abc", "abc"},
        {"<t><![CDATA[<&>]]></t>", "&lt;&amp;&gt;", "<&>"},
        {"<t>x<![CDATA[]]]]>></t>", "x]]&gt;", "x]]>"},
        {"<t>]]<!-- c -->></t>", "]]&gt;", "]]>"},
        {"<t>]<?pi?>]></t>", "]]&gt;", "]]>"},
        {"<t>] ]></t>", "] ]>", "] ]>"},
        {"<t>a\r\nb\rc\r</t>", "a\nb\nc\n", "a\nb\nc\n"},
        {"<t><![CDATA[a\r\nb]]></t>", "a\nb", "a\nb"},
        {"<t>&#13;</t>", "&#13;", "\r"},
        {"<t>]]></t>", "refused", "refused"},
        {"<t>a<b>c</b></t>", "refused", "refused"},
        {"<t>a</u>", "refused", "refused"},
        {"<t>a", "refused", "refused"},
        {"<t>&bogus;</t>", "refused", "refused"},
        {"<t>&#0;</t>", "refused", "refused"},
        {"<t>&#xD800;</t>", "refused", "refused"},
        {"<t>&#99999999999;</t>", "refused", "refused"},
        {"<t>&#X41;</t>", "refused", "refused"},
        {"<t>&amp</t>", "refused", "refused"},
        {"<t><!-- a -- b --></t>", "refused", "refused"},
        {"<t><![CDATA[x</t>", "refused", "refused"},
        {"<t a=\"<\">x</t>", "refused", "refused"},
        {"<t a=\"&x;\">x</t>", "refused", "refused"},
        {"<t a>x</t>", "refused", "refused"},
        {"<t a=\"1\"b=\"2\">x</t>", "refused", "refused"},
        {"<t a=\"1\" b=\"2\" a='3'>x</t>", "refused", "refused"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(textOf(c.document, false), c.kept) << c.document;
        EXPECT_EQ(textOf(c.document, true), c.resolved) << c.document;
    }
}

TEST(XmlScanner, declarationsAndDocumentTypes) {
    struct Case {
        const char* document;
        bool wellFormed;
    } cases[] = {
        {"<?xml version=\"1.0\"?><a/>", true},
        {"<?xml version='1.1' encoding='utf-8' standalone='yes' ?><a/>", true},
        {"<?xml version=\"1.0\" standalone=\"no\"?><a/>", true},
        {"<!DOCTYPE a><a/>", true},
        {"<!DOCTYPE a SYSTEM \"a.dtd\"><a/>", true},
        {"<!DOCTYPE a PUBLIC \"-//A//B//EN\" 'a.dtd' [ <!ELEMENT a EMPTY> %p; ]><a/>", true},
        {"<?xml version=\"1.0ncoding=\"UTF-8\"?><a/>", false},
        {"<?xml encoding=\"UTF-8\"?><a/>", false},
        {"<?xml version=\"1.0\" standalone=\"maybe\"?><a/>", false},
        {"<?xml version=\"1.0\" encoding=\"UTF-8\" version=\"1.0\"?><a/>", false},
        {"<?xml version=\"1.0\"encoding=\"UTF-8\"?><a/>", false},
        {"<?XML version=\"1.0\"?><a/>", false},
        {" <?xml version=\"1.0\"?><a/>", false},
        {"<!DOCTYPE><a/>", false},
        {"<!DOCTYPE a PUBLIC \"-//A/<b>\" \"a.dtd\"><a/>", false},
        {"<!DOCTYPE a PUBLIC \"-//A\"><a/>", false},
        {"<!DOCTYPE a junk><a/>", false},
        {"<!DOCTYPE a [ <!ELEMENT a EMPTY> ><a/>", false},
    };
    for (const Case& c : cases) {
        XmlScanner scanner(c.document);
        XmlScanner::Tag tag;
        XmlScanner::Next next = scanner.skipMisc();
        if (next == XmlScanner::Next::Doctype)
            next = scanner.doctype() ? scanner.skipMisc() : XmlScanner::Next::Failed;
        EXPECT_EQ(next == XmlScanner::Next::StartTag && scanner.startTag(tag), c.wellFormed) << c.document;
    }
}
