// Every letter the gazetteer's names use is drawn by Tahoma itself, regular
// and bold, at both screen densities: a letter Tahoma lacks would come from
// a fallback face and stand out in a list of names.
#include <gtest/gtest.h>

#include <ft2build.h>
#include FT_FREETYPE_H

#include <cwchar>
#include <set>
#include <string>

#include "data/GazetteerRecords.h"
#include "data/ReferenceTables.h"
#include "platform/ui/Gdi.h"
#include "platform/ui/gdi/DeviceContext.h"
#include "platform/ui/text/FontEngine.h"

using namespace OBData;

namespace {

std::set<char32_t> LettersOfTheNames() {
    LoadReferenceTables();
    std::set<char32_t> letters;
    auto add = [&](TextRef ref) {
        for (wchar_t ch : std::wstring(ResolveText(ref)))
            letters.insert(static_cast<char32_t>(ch));
    };
    for (const CityRecord& c : kCityRecords)
        add(c.displayName);
    for (const CountryRecord& c : kCountryRecords) {
        add(c.displayName);
        add(c.peopleName);
    }
    return letters;
}

}  // namespace

TEST(GazetteerGlyphs, TahomaDrawsEveryLetterOfEveryNameAtBothDensities) {
    const std::set<char32_t> letters = LettersOfTheNames();
    ASSERT_TRUE(letters.count(U'\u00E3'));  // São Paulo's ã is among them
    FT_Library library;
    ASSERT_EQ(FT_Init_FreeType(&library), 0);
    for (const bool bold : {false, true}) {
        const std::string path = ob::ui::TahomaPath(bold);
        if (path.empty())
            GTEST_SKIP() << "fonts-wine is not installed";
        FT_Face face;
        ASSERT_EQ(FT_New_Face(library, path.c_str(), 0, &face), 0) << path;
        for (const int dpi : {96, 192}) {
            ob::ui::SetScreenDpi(dpi);
            LOGFONTW lf{};
            lf.lfHeight = -(8 * dpi / 72);
            lf.lfWeight = bold ? FW_BOLD : FW_NORMAL;
            std::wcscpy(lf.lfFaceName, L"Tahoma");
            ob::ui::RealFont& font = ob::ui::Realize(lf);
            for (const char32_t ch : letters) {
                SCOPED_TRACE(testing::Message() << "U+" << std::hex << static_cast<unsigned>(ch) << " bold "
                                                << bold << " dpi " << std::dec << dpi);
                EXPECT_NE(FT_Get_Char_Index(face, ch), 0u);
                const ob::ui::Glyph& g = font.GetGlyph(ch);
                EXPECT_GT(g.advance, 0);
                if (ch != U' ') {
                    EXPECT_TRUE(g.width > 0 && g.height > 0);
                }
            }
        }
        FT_Done_Face(face);
    }
    FT_Done_FreeType(library);
}
