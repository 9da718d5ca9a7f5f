#include <gtest/gtest.h>

#include "util/XMLDoc.h"
#include "weather/TemplateRenderer.h"

using OBWeather::TemplateRenderer;
using ZEP_Utility::DateTime;
using ZEP_Utility::XMLDoc;

namespace {

const wchar_t* kForecast =
    L"<obWeather><city><id>5</id><name>Oslo</name></city><forecast><forecastDays>"
    L"<forecastDay><date><day>7</day><month>3</month><year>2009</year></date>"
    L"<high><temperature><ambient>21.5</ambient><units>0</units></temperature></high></forecastDay>"
    L"<forecastDay><date><day>8</day><month>3</month><year>2009</year></date>"
    L"<high><temperature><ambient>68</ambient><units>1</units></temperature></high></forecastDay>"
    L"<forecastDay><date><day>9</day><month>3</month><year>2009</year></date>"
    L"<high><temperature><ambient>-2.7</ambient><units>0</units></temperature></high></forecastDay>"
    L"</forecastDays></forecast></obWeather>";

// Renders `body` (wrapped in <p>) against the forecast above, reference
// date 7 March 2009, and returns what came out between <p> and </p>.
std::wstring Render(const std::wstring& body, int unit = 0) {
    XMLDoc data;
    EXPECT_TRUE(data.LoadXml(kForecast));
    TemplateRenderer renderer(L"file:///app/weather/html", DateTime(2009, 3, 7), unit);
    const std::wstring out = renderer.Render(data, L"<p>" + body + L"</p>");
    if (out.size() >= 7 && out.compare(0, 3, L"<p>") == 0)
        return out.substr(3, out.size() - 7);
    return out == L"<p/>" ? L"" : out;
}

}  // namespace

TEST(TemplateRenderer, DaysRepeatFromTheReferenceDate) {
    const wchar_t* days = L"<orbelline-days start=\"0\" count=\"3\">[{DATE_T(ddd)}]</orbelline-days>";
    EXPECT_EQ(Render(days), L"[Today][Sun][Mon]");
    EXPECT_EQ(Render(L"<orbelline-days start=\"1\" count=\"3\">[{DATE_T(ddd)}]</orbelline-days>"),
              L"[Sun][Mon][Tue]");
    EXPECT_EQ(Render(L"<orbelline-days start=\"-1\" count=\"1\">{DAY}.{MONTH}.{YEAR}</orbelline-days>"),
              L"6.3.2009");
    // The current date is not restored: after the element it is the day after the last copy.
    EXPECT_EQ(Render(L"<orbelline-days count=\"2\">{DAY}</orbelline-days>|{DAY}"), L"78|9");
    // No count, or count 0: the element stays, unprocessed.
    EXPECT_EQ(Render(L"<orbelline-days start=\"1\">{DAY}</orbelline-days>"),
              L"<orbelline-days start=\"1\">{DAY}</orbelline-days>");
    EXPECT_EQ(Render(L"<orbelline-days count=\"x\"/>"), L"<orbelline-days count=\"x\"/>");
    // A broken count cannot make the page endless.
    EXPECT_EQ(Render(L"<orbelline-days count=\"2000000000\">.</orbelline-days>").size(), 1000u);
}

TEST(TemplateRenderer, BombsStopAtTheCapsWithANotice) {
    // A thousand days three deep would be a billion copies; //node() three
    // deep a cube of the forecast.
    const std::wstring days =
        L"<orbelline-days count=\"1000\"><orbelline-days count=\"1000\">"
        L"<orbelline-days count=\"1000\">x</orbelline-days></orbelline-days></orbelline-days>";
    const std::wstring nodes =
        L"<orbelline-template match=\"//node()\"><orbelline-template match=\"//node()\">"
        L"<orbelline-template match=\"//node()\">{name()}</orbelline-template>"
        L"</orbelline-template></orbelline-template>";
    XMLDoc data;
    std::wstring forecast = L"<obWeather>";
    for (int i = 0; i < 300; ++i)  // about the size of a week's forecast
        forecast += L"<d/>";
    ASSERT_TRUE(data.LoadXml(forecast + L"</obWeather>"));
    // Names and nodes too deep to be processed are output too: a long name
    // copied a thousand times, and copies of a subtree reaching below the
    // depth limit.
    std::wstring deep;
    for (int i = 0; i < 1990; ++i)
        deep += L"<b>";
    deep += L"<orbelline-days count=\"1000\">";
    for (int i = 0; i < 20; ++i)
        deep += L"<d>";
    for (int i = 0; i < 200; ++i)
        deep += L"<i/>";
    for (int i = 0; i < 20; ++i)
        deep += L"</d>";
    deep += L"</orbelline-days>";
    for (int i = 0; i < 1990; ++i)
        deep += L"</b>";
    for (const std::wstring& bomb :
         {days, nodes, L"<orbelline-days count=\"1000\">" + std::wstring(20000, L'w') + L"</orbelline-days>",
          L"<orbelline-days count=\"1000\"><" + std::wstring(20000, L'n') + L"/></orbelline-days>", deep}) {
        TemplateRenderer renderer(L"", DateTime(2009, 3, 7), 0);
        EXPECT_EQ(renderer.Render(data, L"<p>" + bomb + L"</p>"), TemplateRenderer::kTooLargePage);
        EXPECT_TRUE(renderer.WasCut());
    }
    // One text field brings at most its cap into the page.
    std::wstring words;
    for (int i = 0; i < 100000; ++i)
        words += L"rain ";
    ASSERT_TRUE(data.LoadXml(L"<obWeather><t>" + words + L"</t></obWeather>"));
    TemplateRenderer renderer(L"", DateTime(2009, 3, 7), 0);
    const std::wstring page =
        renderer.Render(data, L"<p>{/obWeather/t}|<orbelline-value select=\"//t\"/></p>");
    EXPECT_FALSE(renderer.WasCut());
    EXPECT_EQ(page.size(), 2 * (TemplateRenderer::kMaxFieldChars + 1) + 8);
    EXPECT_NE(page.find(L"rain \u2026|rain"), std::wstring::npos);
}

TEST(TemplateRenderer, TemplatesCopyPerMatchOrFallBackToNomatch) {
    const wchar_t* each =
        L"a<orbelline-template match=\"/obWeather/forecast/forecastDays/forecastDay\">[{date/day}]"
        L"<orbelline-nomatch>none</orbelline-nomatch></orbelline-template>b";
    EXPECT_EQ(Render(each), L"a[7][8][9]b");
    EXPECT_EQ(
        Render(L"<orbelline-template match=\"//nothing\">x<orbelline-nomatch>No forecast</orbelline-nomatch>"
               L"<orbelline-nomatch>second</orbelline-nomatch></orbelline-template>"),
        L"No forecast");
    EXPECT_EQ(Render(L"<orbelline-template match=\"//nothing\">x</orbelline-template>"), L"");
    // An invalid match removes the element: no copies, no nomatch.
    EXPECT_EQ(Render(L"<orbelline-template match=\"//[\">x<orbelline-nomatch>n</orbelline-nomatch>"
                     L"</orbelline-template>end"),
              L"end");
    EXPECT_EQ(Render(L"<orbelline-template match=\"count(//forecastDay)\">x</orbelline-template>"), L"");
    // No match attribute: left alone.
    EXPECT_EQ(Render(L"<orbelline-template>x</orbelline-template>"),
              L"<orbelline-template>x</orbelline-template>");
    // Attributes are expanded first, so a match can name the current day.
    const wchar_t* today =
        L"<orbelline-days count=\"3\"><orbelline-template match=\"//forecastDay[date/day='{DAY}']\">"
        L"{high/temperature/ambient};</orbelline-template></orbelline-days>";
    EXPECT_EQ(Render(today), L"21.5;68;-2.7;");
    // Nested templates act relative to their own match.
    EXPECT_EQ(Render(L"<orbelline-template match=\"//forecastDay[2]\"><orbelline-template match=\"high\">"
                     L"<i>{temperature/units}</i></orbelline-template></orbelline-template>"),
              L"<i>1</i>");
}

TEST(TemplateRenderer, ValuesAndExpressions) {
    EXPECT_EQ(Render(L"<orbelline-value select=\"/obWeather/city/name\"/>!"), L"Oslo!");
    EXPECT_EQ(Render(L"<orbelline-value select=\"//nothing\"/>!"), L"!");
    EXPECT_EQ(Render(L"<orbelline-value/>"), L"<orbelline-value/>");
    EXPECT_EQ(Render(L"{WEATHER_FILES}/x.png"), L"file:///app/weather/html/x.png");
    EXPECT_EQ(Render(L"<img src=\"{WEATHER_FILES}/{/obWeather/city/id}.png\"/>"),
              L"<img src=\"file:///app/weather/html/5.png\"/>");
    // Markup in a value is text, escaped on the way out.
    XMLDoc data;
    ASSERT_TRUE(data.LoadXml(L"<r><v>&lt;b&gt; &amp;</v></r>"));
    TemplateRenderer renderer(L"", DateTime(2009, 3, 7), 0);
    EXPECT_EQ(renderer.Render(data, L"<p><orbelline-value select=\"r/v\"/>{r/v}</p>"),
              L"<p>&lt;b&gt; &amp;&lt;b&gt; &amp;</p>");
    // Braces: nested braces belong to the outer expression; a lone brace is text.
    EXPECT_EQ(Render(L"x{a{b}c}y"), L"xy");
    EXPECT_EQ(Render(L"x{abc"), L"x{abc");
    EXPECT_EQ(Render(L"{DAY}}{"), L"7}{");
    EXPECT_EQ(Render(L"50%, not {}an expression"), L"50%, not an expression");
    EXPECT_EQ(Render(L"plain 50%, text"), L"plain 50%, text");
    EXPECT_EQ(Render(L"{DATE(yyyy)}|{DATE()}|{DATE_T(d)}"), L"2009||Today");
    EXPECT_EQ(Render(L"{YEAR,%04d}|{DAY,%*d}"), L"2009|7");  // formats never apply to special names
    // Templates are text: a broken one comes back as it was.
    XMLDoc empty;
    TemplateRenderer broken(L"", DateTime(2009, 3, 7), 0);
    EXPECT_EQ(broken.Render(empty, L"<p>{DAY}<p>"), L"<p>{DAY}<p>");
    EXPECT_EQ(broken.Render(empty, L"IO exception (Access is denied.)"), L"IO exception (Access is denied.)");
    // Absurdly deep nesting renders without exhausting the stack; the part
    // beyond any sensible depth is left as written.
    std::wstring deep;
    for (int i = 0; i < 50000; ++i)
        deep += L"<i>";
    deep += L"{DAY}";
    for (int i = 0; i < 50000; ++i)
        deep += L"</i>";
    const std::wstring out = broken.Render(empty, L"<p>{DAY}" + deep + L"</p>");
    EXPECT_EQ(out.substr(0, 7), L"<p>7<i>");
    EXPECT_NE(out.find(L"{DAY}"), std::wstring::npos);
}

TEST(TemplateRenderer, TemperaturesInTheDisplayUnit) {
    EXPECT_EQ(Render(L"{TEMPERATURE(68,1)}", 0), L"20 C");
    EXPECT_EQ(Render(L"{TEMPERATURE(68,1)}", 1), L"68 F");
    EXPECT_EQ(Render(L"{TEMPERATURE(68,1)}", 7), L"***");
    const wchar_t* fromData =
        L"<orbelline-template match=\"//forecastDay\">{TEMPERATURE({high/temperature/ambient},"
        L"{high/temperature/units})};</orbelline-template>";
    EXPECT_EQ(Render(fromData, 0), L"22 C;20 C;-3 C;");
    EXPECT_EQ(Render(fromData, 1), L"71 F;68 F;27 F;");
    EXPECT_EQ(Render(L"{TEMPERATURE(abc,x)}|{TEMPERATURE(1e308,0)}|{TEMPERATURE(nan,0)}"), L"-|-|-");
    // Not the special form: then it is an XPath, which fails.
    EXPECT_EQ(Render(L"[{TEMPERATURE(,1)}][{TEMPERATURE(1,)}][{TEMPERATURE(1)}]"), L"[][][]");
}

TEST(TemplateRenderer, FormatsAreOneConversionOfOneValue) {
    using F = TemplateRenderer;
    EXPECT_EQ(F::ApplyFormat(L"21", L"%.1f"), L"21.0");
    EXPECT_EQ(F::ApplyFormat(L"21.5", L"%d"), L"22");
    EXPECT_EQ(F::ApplyFormat(L"-2.7", L"%d"), L"-3");
    EXPECT_EQ(F::ApplyFormat(L"255", L"%X"), L"FF");
    EXPECT_EQ(F::ApplyFormat(L"7", L"%03i"), L"007");
    EXPECT_EQ(F::ApplyFormat(L"1234.5", L"%.2e"), L"1.23e+03");
    EXPECT_EQ(F::ApplyFormat(L"abc", L"%5s"), L"  abc");
    EXPECT_EQ(F::ApplyFormat(L"21", L"%ld"), L"21");  // length modifiers are harmless
    EXPECT_EQ(F::ApplyFormat(L"abc", L"%d"), L"");
    EXPECT_EQ(F::ApplyFormat(L"1", L"%*d"), L"");
    EXPECT_EQ(F::ApplyFormat(L"1", L"%5.2q"), L"");
    EXPECT_EQ(F::ApplyFormat(L"1", L"%d%s"), L"");  // two conversions would read a missing argument
    EXPECT_EQ(F::ApplyFormat(L"1", L"%n"), L"");
    EXPECT_EQ(F::ApplyFormat(L"1", L"%99999d"), L"");
    EXPECT_EQ(F::ApplyFormat(L"nan", L"%d"), L"");
    EXPECT_EQ(F::ApplyFormat(L"1e300", L"%d"), L"");
    EXPECT_EQ(F::ApplyFormat(L"1e308", L"%f").size(), 316u);
    EXPECT_EQ(F::ApplyFormat(std::wstring(5000, L'x'), L"%s").size(), 2047u);
    EXPECT_EQ(F::ApplyFormat(L"x", L""), L"x");
    EXPECT_EQ(Render(L"{//forecastDay[1]/high/temperature/ambient,%.1f}|{//forecastDay[3]//ambient,%d}"),
              L"21.5|-3");
}
