// Picture decoding: JPEG from memory and through the read callback, PNG
// with and without transparency, BMP, and failure on anything broken.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <vector>

#include <jpeglib.h>

#include "platform/ui/Gdi.h"
#include "platform/ui/gdi/DeviceContext.h"
#include "platform/ui/image/ImageCodec.h"
#include "support/TempFolder.h"

namespace {

// A baseline JPEG of a left-red, right-blue picture.
std::vector<std::uint8_t> MakeJpeg(int w, int h) {
    jpeg_compress_struct c{};
    jpeg_error_mgr err{};
    c.err = jpeg_std_error(&err);
    jpeg_create_compress(&c);
    unsigned char* out = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&c, &out, &size);
    c.image_width = static_cast<JDIMENSION>(w);
    c.image_height = static_cast<JDIMENSION>(h);
    c.input_components = 3;
    c.in_color_space = JCS_RGB;
    jpeg_set_defaults(&c);
    jpeg_set_quality(&c, 95, TRUE);
    jpeg_start_compress(&c, TRUE);
    std::vector<JSAMPLE> row(static_cast<std::size_t>(w) * 3);
    for (int x = 0; x < w; ++x) {
        row[3 * x] = x < w / 2 ? 255 : 0;
        row[3 * x + 2] = x < w / 2 ? 0 : 255;
    }
    while (c.next_scanline < c.image_height) {
        JSAMPROW r = row.data();
        jpeg_write_scanlines(&c, &r, 1);
    }
    jpeg_finish_compress(&c);
    std::vector<std::uint8_t> bytes(out, out + size);
    jpeg_destroy_compress(&c);
    free(out);
    return bytes;
}

COLORREF PixelOf(HBITMAP bmp, int x, int y) {
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bmp);
    COLORREF c = GetPixel(dc, x, y);
    SelectObject(dc, old);
    DeleteDC(dc);
    return c;
}

bool Near(COLORREF a, COLORREF b, int tol = 24) {
    return std::abs(GetRValue(a) - GetRValue(b)) <= tol && std::abs(GetGValue(a) - GetGValue(b)) <= tol &&
           std::abs(GetBValue(a) - GetBValue(b)) <= tol;
}

std::string TempPath(const char* name) {
    static const ob::test::TestFolder folder;
    return folder.File(name);
}

TEST(Image, JpegDecodesFromMemoryAndThroughReadCallbacks) {
    const auto jpeg = MakeJpeg(64, 32);
    HBITMAP bmp = ob::ui::DecodeImage(jpeg.data(), jpeg.size());
    ASSERT_NE(bmp, nullptr);
    BITMAP bm{};
    GetObject(bmp, sizeof bm, &bm);
    EXPECT_EQ(bm.bmWidth, 64);
    EXPECT_EQ(bm.bmHeight, 32);
    EXPECT_EQ(bm.bmBitsPixel, 24);
    EXPECT_TRUE(Near(PixelOf(bmp, 5, 5), RGB(255, 0, 0)));
    EXPECT_TRUE(Near(PixelOf(bmp, 60, 30), RGB(0, 0, 255)));
    DeleteObject(bmp);

    // The device-shaped call pulls the bytes in small pieces.
    struct Reader {
        const std::vector<std::uint8_t>* data;
        std::size_t pos;
    } reader{&jpeg, 0};
    DecompressImageInfo info{};
    info.dwSize = sizeof info;
    HBITMAP out = nullptr;
    info.phBM = &out;
    info.iBitDepth = 24;
    info.lParam = reinterpret_cast<LPARAM>(&reader);
    info.pfnGetData = [](char* buf, DWORD max, LPARAM p) -> DWORD {
        auto* r = reinterpret_cast<Reader*>(p);
        const std::size_t n = std::min<std::size_t>({max, 100, r->data->size() - r->pos});
        std::memcpy(buf, r->data->data() + r->pos, n);
        r->pos += n;
        return static_cast<DWORD>(n);
    };
    EXPECT_EQ(DecompressImageIndirect(&info), 0);
    ASSERT_NE(out, nullptr);
    EXPECT_TRUE(Near(PixelOf(out, 60, 1), RGB(0, 0, 255)));
    DeleteObject(out);
    info.pfnGetData = nullptr;
    EXPECT_LT(DecompressImageIndirect(&info), 0);
    EXPECT_LT(DecompressImageIndirect(nullptr), 0);
}

TEST(Image, BrokenPicturesYieldNoBitmap) {
    auto jpeg = MakeJpeg(64, 32);
    // Truncated: libjpeg would only warn and pad the picture; we refuse it.
    EXPECT_EQ(ob::ui::DecodeImage(jpeg.data(), jpeg.size() / 2), nullptr);
    auto corrupt = jpeg;
    for (std::size_t i = 200; i < corrupt.size() - 2; i += 7)
        corrupt[i] ^= 0x5A;
    HBITMAP c = ob::ui::DecodeImage(corrupt.data(), corrupt.size());
    DeleteObject(c);  // either refused or decoded; never a crash
    const char text[] = "this is not a picture at all";
    EXPECT_EQ(ob::ui::DecodeImage(text, sizeof text), nullptr);
    EXPECT_EQ(ob::ui::DecodeImage(nullptr, 0), nullptr);
    const std::uint8_t fakePng[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n', 0, 0, 0, 13, 'I', 'H'};
    EXPECT_EQ(ob::ui::DecodeImage(fakePng, sizeof fakePng), nullptr);
    EXPECT_EQ(ob::ui::LoadImageFile("/nonexistent/picture.jpg"), nullptr);
    // A BMP header claiming more pixels than the file holds.
    std::vector<std::uint8_t> bmp(54, 0);
    bmp[0] = 'B';
    bmp[1] = 'M';
    bmp[10] = 54;
    bmp[14] = 40;
    bmp[18] = 0x10;  // 4096 wide
    bmp[22] = 0x10;  // 4096 high
    bmp[26] = 1;
    bmp[28] = 24;
    EXPECT_EQ(ob::ui::DecodeImage(bmp.data(), bmp.size()), nullptr);
}

TEST(Image, PngRoundTripsAndTransparencyLandsOnWhite) {
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bmp = CreateCompatibleBitmap(dc, 3, 2);
    HGDIOBJ old = SelectObject(dc, bmp);
    SetPixel(dc, 0, 0, RGB(10, 20, 30));
    SetPixel(dc, 2, 1, RGB(200, 100, 50));
    SelectObject(dc, old);
    const std::string path = TempPath("roundtrip.png");
    ASSERT_TRUE(ob::ui::SavePng(bmp, path));
    HBITMAP back = ob::ui::LoadImageFile(path, 32);
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(PixelOf(back, 0, 0), RGB(10, 20, 30));
    EXPECT_EQ(PixelOf(back, 2, 1), RGB(200, 100, 50));
    EXPECT_EQ(PixelOf(back, 1, 0), RGB(0, 0, 0));
    DeleteObject(back);
    DeleteObject(bmp);
    DeleteDC(dc);
    std::remove(path.c_str());

    // A half-transparent red pixel keeps its alpha in a surface and is laid
    // over white in a bitmap.
    ob::ui::Surface alpha(1, 1, true);
    alpha.At(0, 0) = 0x80800000u;  // premultiplied red at 50%
    const std::string apath = TempPath("alpha.png");
    ASSERT_TRUE(ob::ui::SavePng(alpha, apath));
    auto surface = ob::ui::LoadImageFileToSurface(apath);
    ASSERT_NE(surface, nullptr);
    EXPECT_TRUE(surface->HasAlpha());
    EXPECT_NEAR(static_cast<int>(surface->At(0, 0) >> 24), 128, 1);
    HBITMAP flat = ob::ui::LoadImageFile(apath);
    EXPECT_TRUE(Near(PixelOf(flat, 0, 0), RGB(255, 127, 127), 2));
    DeleteObject(flat);
    std::remove(apath.c_str());
}

TEST(Image, BmpReadsTrueColourAndPalettedRowsInOrder) {
    // 2x2, 24-bit, bottom-up: rows padded to 8 bytes.
    std::vector<std::uint8_t> b(54 + 16, 0);
    b[0] = 'B';
    b[1] = 'M';
    b[10] = 54;
    b[14] = 40;
    b[18] = 2;
    b[22] = 2;
    b[26] = 1;
    b[28] = 24;
    // Bottom row: blue, green; top row: red, white (BGR order).
    const std::uint8_t px[] = {255, 0, 0, 0, 255, 0, 0, 0, 0, 0, 255, 255, 255, 255, 0, 0};
    std::memcpy(b.data() + 54, px, sizeof px);
    HBITMAP bmp = ob::ui::DecodeImage(b.data(), b.size());
    ASSERT_NE(bmp, nullptr);
    EXPECT_EQ(PixelOf(bmp, 0, 0), RGB(255, 0, 0));
    EXPECT_EQ(PixelOf(bmp, 1, 0), RGB(255, 255, 255));
    EXPECT_EQ(PixelOf(bmp, 0, 1), RGB(0, 0, 255));
    EXPECT_EQ(PixelOf(bmp, 1, 1), RGB(0, 255, 0));
    DeleteObject(bmp);

    // 8-bit with a two-colour palette, top-down.
    std::vector<std::uint8_t> p(54 + 8 + 8, 0);
    p[0] = 'B';
    p[1] = 'M';
    p[10] = 62;
    p[14] = 40;
    p[18] = 2;
    const std::int32_t negative = -2;
    std::memcpy(&p[22], &negative, 4);
    p[26] = 1;
    p[28] = 8;
    p[46] = 2;                                                    // colours used
    const std::uint8_t palette[] = {255, 0, 255, 0, 0, 0, 0, 0};  // magenta, black
    std::memcpy(p.data() + 54, palette, sizeof palette);
    p[62] = 0;
    p[63] = 1;
    p[66] = 1;
    p[67] = 0;
    HBITMAP pal = ob::ui::DecodeImage(p.data(), p.size());
    ASSERT_NE(pal, nullptr);
    EXPECT_EQ(PixelOf(pal, 0, 0), RGB(255, 0, 255));
    EXPECT_EQ(PixelOf(pal, 1, 0), RGB(0, 0, 0));
    EXPECT_EQ(PixelOf(pal, 0, 1), RGB(0, 0, 0));
    DeleteObject(pal);
    p[63] = 7;  // an index outside the palette reads as black, not past it
    HBITMAP odd = ob::ui::DecodeImage(p.data(), p.size());
    EXPECT_EQ(PixelOf(odd, 1, 0), RGB(0, 0, 0));
    DeleteObject(odd);
}

}  // namespace
