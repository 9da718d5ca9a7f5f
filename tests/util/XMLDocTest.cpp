#include <gtest/gtest.h>

#include <string>

#include "platform/kernel/WideText.h"
#include "support/TempFolder.h"
#include "util/XMLDoc.h"
#include "util/XmlFileStream.h"

using namespace ZEP_Utility;
using ob::test::TestFolder;

TEST(XMLDoc, LoadsTextQueriesAndResets) {
    XMLDoc doc;
    EXPECT_FALSE(doc.IsLoaded());
    EXPECT_EQ(doc.GetStatus(), L"Not Loaded");
    ASSERT_TRUE(doc.LoadXml(L"<a><b>x</b><c><d>1</d>2<![CDATA[3]]></c></a>"));
    EXPECT_TRUE(doc.IsLoaded());
    EXPECT_EQ(doc.GetStatus(), L"");
    EXPECT_EQ(doc.GetSource(), L"<STRING>");
    EXPECT_EQ(XMLDoc::GetNodeText(*doc.GetDocument(), L"a/b"), L"x");
    EXPECT_EQ(XMLDoc::GetNodeText(*doc.GetDocument(), L"a/missing"), L"");
    EXPECT_EQ(XMLDoc::GetNodeText(*doc.GetDocument(), L"a/c"), L"123");  // all descendants
    EXPECT_EQ(XMLDoc::GetNodeText(*doc.GetDocument(), L"a/[["), L"");    // invalid XPath
    EXPECT_EQ(XMLDoc::GetNodeText(pugi::xml_node(), L"a"), L"");
    EXPECT_EQ(XMLDoc::GetNodeText(doc.GetDocument()->first_child()), L"x123");
    EXPECT_EQ(doc.GetXml(), L"<a><b>x</b><c><d>1</d>2<![CDATA[3]]></c></a>");

    // Two roots: the load fails and leaves nothing behind.
    EXPECT_FALSE(doc.LoadXml(L"<a/><b/>"));
    EXPECT_FALSE(doc.IsLoaded());
    EXPECT_EQ(doc.GetStatus(), L"Not Loaded");
    EXPECT_EQ(doc.GetXml(), L"");
}

TEST(XMLDoc, LoadsFilesInAnyDeclaredEncoding) {
    TestFolder dir;
    XMLDoc doc;
    EXPECT_FALSE(doc.Load(dir.WFile("missing.xml")));
    EXPECT_EQ(doc.GetStatus(), L"Not Loaded");
    EXPECT_EQ(doc.GetSource(), dir.WFile("missing.xml"));
    ASSERT_TRUE(doc.Load(dir.Write("u8.xml", "\xEF\xBB\xBF<r>S\xC3\xA3o &amp; &#x6771;</r>")));
    EXPECT_EQ(XMLDoc::GetNodeText(*doc.GetDocument(), L"r"), L"S\u00e3o & \u6771");
    ASSERT_TRUE(doc.Load(dir.Write("u16.xml", std::string("\xFF\xFE<\0r\0>\0z\0<\0/\0r\0>\0", 18))));
    EXPECT_EQ(XMLDoc::GetNodeText(*doc.GetDocument(), L"r"), L"z");
    ASSERT_TRUE(
        doc.Load(dir.Write("latin.xml", "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><r>\xE9</r>")));
    EXPECT_EQ(XMLDoc::GetNodeText(*doc.GetDocument(), L"r"), L"\u00e9");
    EXPECT_FALSE(doc.Load(dir.Write("bad.xml", "<r><x></r>")));
    // A failed load leaves no content, never the previous document's.
    ASSERT_TRUE(doc.Load(dir.WFile("latin.xml")));
    EXPECT_FALSE(doc.Load(dir.WFile("missing.xml")));
    EXPECT_EQ(XMLDoc::GetNodeText(*doc.GetDocument(), L"r"), L"");
    // A file beside the executable, named relative to it.
    EXPECT_FALSE(doc.Load(L"no-such-file.xml", true));
    EXPECT_EQ(doc.GetSource(), ob::kernel::FromUtf8(ORBELLINE_TEST_BIN_DIR) + L"/no-such-file.xml");
}

TEST(XMLDoc, HostileInputFailsOrLoadsWithoutHarm) {
    TestFolder dir;
    XMLDoc doc;
    // Truncated and malformed documents.
    EXPECT_FALSE(doc.LoadXml(L"<obWeather><forecast><forecastDays><forecastDay><date><day>7"));
    EXPECT_FALSE(doc.LoadXml(L""));
    EXPECT_FALSE(doc.LoadXml(L"not xml at all"));
    EXPECT_FALSE(doc.LoadXml(std::wstring(L"<a>\0</a>", 8)));

    // 10,000 levels deep: loads, serializes and answers queries.
    std::string deep;
    for (int i = 0; i < 10000; ++i)
        deep += "<n>";
    deep += "leaf";
    for (int i = 0; i < 10000; ++i)
        deep += "</n>";
    ASSERT_TRUE(doc.Load(dir.Write("deep.xml", deep)));
    EXPECT_EQ(XMLDoc::GetNodeText(*doc.GetDocument()), L"leaf");
    EXPECT_EQ(XMLDoc::GetNodeText(*doc.GetDocument(), L"//n[not(n)]"), L"leaf");
    EXPECT_EQ(doc.GetXml().size(), deep.size());

    // Entities: a document type that defines nested entities is not expanded
    // into anything large, and unknown references stay as written.
    const std::string laughs =
        "<?xml version=\"1.0\"?><!DOCTYPE lolz [<!ENTITY lol \"lol\">"
        "<!ENTITY lol2 \"&lol;&lol;&lol;&lol;&lol;&lol;&lol;&lol;&lol;&lol;\">"
        "<!ENTITY lol3 \"&lol2;&lol2;&lol2;&lol2;&lol2;&lol2;&lol2;&lol2;&lol2;&lol2;\">]>"
        "<lolz>&lol3;&lt;&#65;</lolz>";
    if (doc.Load(dir.Write("laughs.xml", laughs))) {
        EXPECT_LT(XMLDoc::GetNodeText(*doc.GetDocument(), L"lolz").size(), 100u);
    }

    // 3 MB of forecast days: loads and is queried.
    std::string big = "<obWeather><forecast><forecastDays>";
    const std::string day =
        "<forecastDay><date><day>1</day><month>1</month><year>2000</year></date></forecastDay>";
    while (big.size() < 3u * 1024 * 1024)
        big += day;
    const std::string end =
        "<forecastDay><date><day>2</day></date></forecastDay></forecastDays></forecast></obWeather>";
    ASSERT_TRUE(doc.Load(dir.Write("big.xml", big + end)));
    EXPECT_EQ(XMLDoc::GetNodeText(*doc.GetDocument(),
                                  L"/obWeather/forecast/forecastDays/forecastDay[date/day=\"2\"]"),
              L"2");
    // 20 MB: larger than any forecast, refused unread and said so.
    while (big.size() < 20u * 1024 * 1024)
        big += day;
    EXPECT_FALSE(doc.Load(dir.Write("huge.xml", big + end)));
    EXPECT_EQ(doc.GetStatus(), L"File too large");
}

TEST(XMLDoc, WhiteSpaceIsDroppedUnlessPreservedAndEntitiesAreKnown) {
    XMLDoc doc;
    ASSERT_TRUE(doc.LoadXml(L"<p> <b>a</b> <i>b</i> </p>"));
    EXPECT_EQ(doc.GetXml(), L"<p><b>a</b><i>b</i></p>");
    doc.SetPreserveWhiteSpace(true);
    ASSERT_TRUE(doc.LoadXml(L"<p> <b>a</b> <i>b</i> </p>"));
    EXPECT_EQ(doc.GetXml(), L"<p> <b>a</b> <i>b</i> </p>");
    EXPECT_STREQ(doc.GetEntityText(L'&'), L"&amp;");
    EXPECT_STREQ(doc.GetEntityText(L'<'), L"&lt;");
    EXPECT_STREQ(doc.GetEntityText(L'>'), L"&gt;");
    EXPECT_STREQ(doc.GetEntityText(L'"'), L"&quot;");
    EXPECT_STREQ(doc.GetEntityText(L'\''), L"&apos;");
    EXPECT_EQ(doc.GetEntityText(L'a'), nullptr);
}

TEST(XmlFileStream, IsStrictlySequential) {
    TestFolder dir;
    FileStream out;
    ASSERT_TRUE(out.Open(dir.WFile("s"), false));
    std::uint32_t n = 0;
    EXPECT_EQ(out.Write("abc", 3, &n), FileStream::kOk);
    EXPECT_EQ(n, 3u);
    char buffer[4];
    EXPECT_EQ(out.Read(buffer, 4, &n), FileStream::kFail);
    EXPECT_EQ(out.Seek(0, 0), FileStream::kFail);
    out.Close();
    FileStream in;
    EXPECT_FALSE(in.Open(dir.WFile("missing"), true));
    ASSERT_TRUE(in.Open(dir.WFile("s"), true));
    EXPECT_EQ(in.Write("x", 1, &n), FileStream::kFail);
    EXPECT_EQ(in.Read(buffer, 4, &n), FileStream::kOk);
    EXPECT_EQ(n, 3u);
    EXPECT_EQ(in.Read(buffer, 4, &n), FileStream::kEndOfFile);
}
