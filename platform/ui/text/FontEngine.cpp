#include "platform/ui/text/FontEngine.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <new>
#include <tuple>

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_BITMAP_H
#include FT_OUTLINE_H
#include FT_SIZES_H
#include FT_SYNTHESIS_H
#include FT_TRUETYPE_TABLES_H

#include "platform/ui/gdi/DeviceContext.h"
#include "platform/ui/gdi/GdiObjects.h"

namespace ob::ui {
namespace {

FT_Library Library() {
    static FT_Library lib = [] {
        FT_Library l = nullptr;
        FT_Init_FreeType(&l);
        return l;
    }();
    return lib;
}

bool FileExists(const std::string& path) {
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f)
        return false;
    std::fclose(f);
    return true;
}

// Asks fontconfig for a file: by family, or for one covering `ch`.
std::string MatchFile(const std::string& family, bool bold, bool italic, char32_t ch = 0) {
    static bool ready = FcInit();
    if (!ready)
        return {};
    FcPattern* pat = FcPatternCreate();
    FcPatternAddString(pat, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
    FcPatternAddInteger(pat, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pat, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcCharSet* cs = nullptr;
    if (ch) {
        cs = FcCharSetCreate();
        FcCharSetAddChar(cs, ch);
        FcPatternAddCharSet(pat, FC_CHARSET, cs);
    }
    FcConfigSubstitute(nullptr, pat, FcMatchPattern);
    FcDefaultSubstitute(pat);
    FcResult result;
    FcPattern* match = FcFontMatch(nullptr, pat, &result);
    std::string path;
    if (match) {
        FcChar8* file = nullptr;
        if (FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch)
            path = reinterpret_cast<char*>(file);
        FcPatternDestroy(match);
    }
    if (cs)
        FcCharSetDestroy(cs);
    FcPatternDestroy(pat);
    return path;
}

// One open font file; shared by every size realised from it.
struct FaceFile {
    FT_Face face = nullptr;
    bool hasStrikes = false;
    ~FaceFile() {
        if (face)
            FT_Done_Face(face);
    }
};

FaceFile* OpenFace(const std::string& path) {
    // Faces and realised fonts live until the process ends and are never torn
    // down at exit, so no destructor order can free a face before its sizes.
    static auto& faces = *new std::map<std::string, std::unique_ptr<FaceFile>>;
    auto it = faces.find(path);
    if (it != faces.end())
        return it->second.get();
    auto f = std::make_unique<FaceFile>();
    if (path.empty() || FT_New_Face(Library(), path.c_str(), 0, &f->face) != 0) {
        f->face = nullptr;
    } else {
        FT_Select_Charmap(f->face, FT_ENCODING_UNICODE);
        f->hasStrikes = f->face->num_fixed_sizes > 0;
    }
    FaceFile* raw = f.get();
    faces[path] = std::move(f);
    return raw->face ? raw : nullptr;
}

std::string Narrow(const WCHAR* w) {
    std::string s;
    for (int i = 0; i < LF_FACESIZE && w[i]; ++i)
        s += static_cast<char>(w[i] < 128 ? w[i] : '?');
    return s;
}

std::string Lower(std::string s) {
    for (char& c : s)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

struct Key {
    std::string path;
    int ppem;
    bool bold, italic, underline, strike, smooth;
    bool operator<(const Key& o) const {
        return std::tie(path, ppem, bold, italic, underline, strike, smooth) <
               std::tie(o.path, o.ppem, o.bold, o.italic, o.underline, o.strike, o.smooth);
    }
};

class FtFont final : public RealFont {
public:
    FtFont(FaceFile* file, const Key& key, bool emboldenBold)
        : m_file(file), m_key(key), m_embolden(emboldenBold) {
        // A size is FreeType's memory for one font; without it there is no font.
        if (FT_New_Size(m_file->face, &m_size) != 0 || !m_size)
            throw std::bad_alloc();
        FT_Activate_Size(m_size);
        FT_Set_Pixel_Sizes(m_file->face, 0, static_cast<FT_UInt>(key.ppem));
        ppem = key.ppem;
        smooth = key.smooth;
        italic = key.italic;
        underline = key.underline;
        strikeOut = key.strike;
        weight = key.bold ? FW_BOLD : FW_NORMAL;
        FT_Face face = m_file->face;
        const TT_OS2* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
        const double scale = static_cast<double>(ppem) / face->units_per_EM;
        if (os2 && os2->usWinAscent + os2->usWinDescent > 0) {
            ascent = static_cast<int>(std::lround(os2->usWinAscent * scale));
            descent = static_cast<int>(std::lround(os2->usWinDescent * scale));
        } else {
            ascent = static_cast<int>(std::lround(face->ascender * scale));
            descent = static_cast<int>(std::lround(-face->descender * scale));
        }
        underlinePosition = std::max(1, static_cast<int>(std::lround(-face->underline_position * scale)));
        lineThickness = std::max(1, static_cast<int>(std::lround(face->underline_thickness * scale)));
        if (lineThickness > 1 && !smooth)
            lineThickness = std::max(1, ppem / 12);
        // Average width as the device reports it: the weighted width of x.
        averageWidth = Advance(U'x');
        maxWidth = 0;
        for (char32_t c : std::u32string(U"WM@%"))
            maxWidth = std::max(maxWidth, Advance(c));
        if (os2 && os2->xAvgCharWidth > 0)
            averageWidth = std::max(1, static_cast<int>(std::lround(os2->xAvgCharWidth * scale)));
    }
    ~FtFont() override {
        if (m_size)
            FT_Done_Size(m_size);
    }

    const Glyph& GetGlyph(char32_t ch) override {
        auto it = m_cache.find(ch);
        if (it != m_cache.end())
            return it->second;
        Glyph g;
        // Control characters take no room and draw nothing (no boxes for
        // stray line ends in single-line text).
        if (ch < 0x20 || ch == 0x7F)
            return m_cache[ch] = g;
        FT_UInt index = FT_Get_Char_Index(m_file->face, ch);
        if (index == 0 && ch >= 0x20) {
            if (RealFont* fb = Fallback(ch))
                return m_cache[ch] = fb->GetGlyph(ch);
        }
        Render(index, g);
        return m_cache[ch] = std::move(g);
    }

private:
    RealFont* Fallback(char32_t ch);

    void Render(FT_UInt index, Glyph& g) {
        FT_Face face = m_file->face;
        FT_Activate_Size(m_size);
        FT_Int32 flags =
            smooth ? (FT_LOAD_NO_BITMAP | FT_LOAD_TARGET_LIGHT) : (FT_LOAD_TARGET_MONO | FT_LOAD_MONOCHROME);
        if (FT_Load_Glyph(face, index, flags) != 0)
            return;
        FT_GlyphSlot slot = face->glyph;
        int extra = 0;
        if (slot->format == FT_GLYPH_FORMAT_OUTLINE) {
            if (italic && !(face->style_flags & FT_STYLE_FLAG_ITALIC)) {
                FT_Matrix shear{0x10000, 0x0366A, 0, 0x10000};  // about 12 degrees
                FT_Outline_Transform(&slot->outline, &shear);
            }
            if (m_key.bold && m_embolden) {
                // The bold outlines are barely bolder than the regular ones.
                const FT_Pos strength = std::max<FT_Pos>(32, ppem * 64 / 20);
                FT_Outline_EmboldenXY(&slot->outline, strength, 0);
                // The bold face already has bold advances; the thicker
                // strokes grow into its side bearings.
                if (!(face->style_flags & FT_STYLE_FLAG_BOLD))
                    extra = static_cast<int>((strength + 32) >> 6);
            }
            if (FT_Render_Glyph(slot, smooth ? FT_RENDER_MODE_NORMAL : FT_RENDER_MODE_MONO) != 0)
                return;
        } else if (slot->format == FT_GLYPH_FORMAT_BITMAP && m_key.bold && m_embolden &&
                   !(face->style_flags & FT_STYLE_FLAG_BOLD)) {
            // The bold face's own strikes are bold enough; a regular strike
            // standing in for bold gets every stroke doubled sideways.
            FT_Bitmap_Embolden(Library(), &slot->bitmap, 64, 0);
            extra = 1;
        }
        g.advance = static_cast<int>((slot->advance.x + 32) >> 6) + extra;
        const FT_Bitmap& bm = slot->bitmap;
        g.left = slot->bitmap_left;
        g.top = slot->bitmap_top;
        g.width = static_cast<int>(bm.width);
        g.height = static_cast<int>(bm.rows);
        g.coverage.assign(static_cast<std::size_t>(g.width) * g.height, 0);
        for (int y = 0; y < g.height; ++y) {
            const unsigned char* row = bm.buffer + static_cast<std::ptrdiff_t>(y) * bm.pitch;
            for (int x = 0; x < g.width; ++x) {
                std::uint8_t v;
                if (bm.pixel_mode == FT_PIXEL_MODE_MONO)
                    v = (row[x >> 3] & (0x80 >> (x & 7))) ? 255 : 0;
                else if (bm.pixel_mode == FT_PIXEL_MODE_GRAY)
                    v = bm.num_grays == 256 ? row[x]
                                            : static_cast<std::uint8_t>(row[x] * 255 / (bm.num_grays - 1));
                else
                    v = 0;
                g.coverage[static_cast<std::size_t>(y) * g.width + x] = v;
            }
        }
    }

    FaceFile* m_file;
    Key m_key;
    bool m_embolden;
    FT_Size m_size = nullptr;
    std::unordered_map<char32_t, Glyph> m_cache;
};

// A font that draws nothing: used only when no font file at all is found,
// so text calls still measure and succeed.
class NullFont final : public RealFont {
public:
    explicit NullFont(int size) {
        ppem = size;
        ascent = size;
        descent = std::max(1, size / 5);
        averageWidth = std::max(1, size / 2);
        maxWidth = size;
        m_glyph.advance = averageWidth;
    }
    const Glyph& GetGlyph(char32_t) override { return m_glyph; }

private:
    Glyph m_glyph;
};

std::map<Key, std::unique_ptr<RealFont>>& Cache() {
    static auto& cache = *new std::map<Key, std::unique_ptr<RealFont>>;
    return cache;
}

std::string FindWineTahoma(bool bold) {
    const char* dirs[] = {"/usr/share/wine/fonts/", "/usr/share/fonts/truetype/wine/",
                          "/usr/lib/wine/fonts/"};
    for (const char* d : dirs) {
        std::string p = std::string(d) + (bold ? "tahomabd.ttf" : "tahoma.ttf");
        if (FileExists(p))
            return p;
    }
    return {};
}

const std::string& WineTahoma(bool bold) {
    static const std::string regular = FindWineTahoma(false);
    static const std::string boldFace = FindWineTahoma(true);
    return bold ? boldFace : regular;
}

RealFont& RealizeKey(Key key, bool emboldenBold) {
    auto& cache = Cache();
    auto it = cache.find(key);
    if (it != cache.end())
        return *it->second;
    try {
        FaceFile* file = OpenFace(key.path);
        std::unique_ptr<RealFont> font;
        if (file)
            font = std::make_unique<FtFont>(file, key, emboldenBold);
        else
            font = std::make_unique<NullFont>(key.ppem);
        RealFont& ref = *font;
        cache[key] = std::move(font);
        return ref;
    } catch (const std::bad_alloc&) {
        // No memory for the font: its text takes room and draws nothing, and
        // the font is made again the next time it is asked for.
        static NullFont starved(16);
        return starved;
    }
}

RealFont* FtFont::Fallback(char32_t ch) {
    static auto& byChar = *new std::unordered_map<char32_t, std::string>;
    auto it = byChar.find(ch);
    std::string path =
        it != byChar.end() ? it->second : (byChar[ch] = MatchFile("sans-serif", false, false, ch));
    if (path.empty() || path == m_key.path)
        return nullptr;
    FaceFile* f = OpenFace(path);
    if (!f || FT_Get_Char_Index(f->face, ch) == 0)
        return nullptr;
    Key k = m_key;
    k.path = path;
    return &RealizeKey(k, true);
}

}  // namespace

std::string TahomaPath(bool bold) { return WineTahoma(bold); }

RealFont& Realize(const LOGFONTW& lf) {
    const int dpi = GetScreenDpi();
    const bool bold = lf.lfWeight >= FW_SEMIBOLD;
    const std::string face = Lower(Narrow(lf.lfFaceName));
    Key key{};
    bool embolden = true;
    if (face.empty() || face == "tahoma" || face == "system" || face == "ms sans serif") {
        key.path = WineTahoma(bold);
        if (key.path.empty())
            key.path = WineTahoma(false);
        if (key.path.empty())
            key.path = MatchFile("Tahoma", bold, false);
    } else {
        key.path = MatchFile(Narrow(lf.lfFaceName), bold, lf.lfItalic != 0);
        FaceFile* f = OpenFace(key.path);
        // A real bold face needs no synthetic emboldening.
        embolden = !(f && (f->face->style_flags & FT_STYLE_FLAG_BOLD));
    }
    int ppem;
    if (lf.lfHeight < 0) {
        ppem = lf.lfHeight < -1000 ? 1000 : -lf.lfHeight;
    } else if (lf.lfHeight > 0) {
        // A positive height is the cell height (ascent plus descent).
        FaceFile* f = OpenFace(key.path);
        const TT_OS2* os2 = f ? static_cast<TT_OS2*>(FT_Get_Sfnt_Table(f->face, FT_SFNT_OS2)) : nullptr;
        const double cell = os2 && os2->usWinAscent + os2->usWinDescent > 0
                                ? os2->usWinAscent + os2->usWinDescent
                                : (f ? f->face->units_per_EM * 1.2 : 1.2);
        const double em = f ? f->face->units_per_EM : 1.0;
        ppem = static_cast<int>(std::lround(std::min<LONG>(lf.lfHeight, 2000) * em / cell));
    } else {
        ppem = 8 * dpi / 72;
    }
    ppem = std::clamp(ppem, 1, 1000);
    key.ppem = ppem;
    key.bold = bold;
    key.italic = lf.lfItalic != 0;
    key.underline = lf.lfUnderline != 0;
    key.strike = lf.lfStrikeOut != 0;
    if (lf.lfQuality == NONANTIALIASED_QUALITY)
        key.smooth = false;
    else if (lf.lfQuality == ANTIALIASED_QUALITY || lf.lfQuality == CLEARTYPE_QUALITY)
        key.smooth = true;
    else
        key.smooth = dpi >= 144;  // the low-density screen shows crisp 1-bit text
    return RealizeKey(key, embolden);
}

RealFont& RealizeFor(HGDIOBJ font) {
    auto* f = static_cast<FontObject*>(SelectedObject(font));
    if (!f || f->kind != GdiKind::Font)
        f = FindFont(GetStockObject(SYSTEM_FONT));
    // Realising looks for files and asks fontconfig: do it once per density.
    if (!f->realized || f->realizedDpi != GetScreenDpi()) {
        f->realized = &Realize(f->logfont);
        f->realizedDpi = GetScreenDpi();
    }
    return *f->realized;
}

}  // namespace ob::ui
