// The image helpers: loaders feeding the decoder, the four-frame image
// button, the frame animation.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "app/ImageButton.h"
#include "app/ImageLoaders.h"
#include "app/MultiFrameImage.h"
#include "platform/ui/Controls.h"
#include "platform/ui/testing/UiDriver.h"
#include "platform/ui/win/ResourceRegistry.h"
#include "resources/Resources.h"
#include "tests/app/ListFixture.h"

namespace {

// A 24-bit BMP file whose pixel (x, y) has colour(x, y).
template <typename Colour>
std::vector<std::uint8_t> MakeBmp(int width, int height, Colour colour) {
    const int row = (width * 3 + 3) / 4 * 4;
    std::vector<std::uint8_t> b(54 + static_cast<size_t>(row * height), 0);
    auto put32 = [&](size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i)
            b[at + static_cast<size_t>(i)] = static_cast<std::uint8_t>(v >> (8 * i));
    };
    b[0] = 'B';
    b[1] = 'M';
    put32(2, static_cast<std::uint32_t>(b.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, static_cast<std::uint32_t>(width));
    put32(22, static_cast<std::uint32_t>(height));
    b[26] = 1;
    b[28] = 24;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const COLORREF c = colour(x, y);
            const size_t at = 54 + static_cast<size_t>((height - 1 - y) * row + x * 3);
            b[at] = GetBValue(c);
            b[at + 1] = GetGValue(c);
            b[at + 2] = GetRValue(c);
        }
    return b;
}

COLORREF Gradient(int x, int y) { return RGB(static_cast<BYTE>(x * 4), static_cast<BYTE>(y * 4), 99); }

SIZE SizeOf(HBITMAP bitmap) {
    BITMAP info{};
    ::GetObject(bitmap, sizeof info, &info);
    return SIZE{info.bmWidth, info.bmHeight};
}

COLORREF PixelOf(HBITMAP bitmap, int x, int y) {
    HDC dc = ::CreateCompatibleDC(nullptr);
    HGDIOBJ old = ::SelectObject(dc, bitmap);
    const COLORREF c = ::GetPixel(dc, x, y);
    ::SelectObject(dc, old);
    ::DeleteDC(dc);
    return c;
}

class ImageHelpers : public listtest::ListTest {};

}  // namespace

TEST_F(ImageHelpers, LoadersDeliverWholePicturesAndRefuseBrokenOnes) {
    // Larger than the 1024-byte transfer buffer, so it takes several reads.
    const std::vector<std::uint8_t> bmp = MakeBmp(40, 30, Gradient);
    ASSERT_GT(bmp.size(), 3000u);

    OBControls::MemImageLoader memory;
    HBITMAP picture = memory.Load(bmp.data(), bmp.size());
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(SizeOf(picture).cx, 40);
    EXPECT_EQ(SizeOf(picture).cy, 30);
    EXPECT_EQ(PixelOf(picture, 39, 29), Gradient(39, 29));
    EXPECT_EQ(PixelOf(picture, 3, 0), Gradient(3, 0));
    ::DeleteObject(picture);

    EXPECT_EQ(memory.Load(bmp.data(), bmp.size() / 2), nullptr);  // cut short
    EXPECT_EQ(memory.Load(bmp.data(), 0), nullptr);
    EXPECT_EQ(memory.Load(nullptr, 100), nullptr);
    const std::string text = "not a picture at all";
    EXPECT_EQ(memory.Load(text.data(), text.size()), nullptr);

    // The program's own row pictures decode from their resource bytes.
    const std::vector<std::uint8_t>* rows = ob::ui::FindBitmapBytes(MAKEINTRESOURCE(1030));
    ASSERT_NE(rows, nullptr);
    picture = memory.Load(rows->data(), rows->size());
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(SizeOf(picture).cx, 64);
    EXPECT_EQ(SizeOf(picture).cy, 32);
    ::DeleteObject(picture);

    const std::string path = ob::ui::testing::UiDriver::OutputPath("loader_test.bmp");
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bmp.data()), static_cast<std::streamsize>(bmp.size()));
    OBControls::FileImageLoader file;
    picture = file.Load(std::wstring(path.begin(), path.end()));
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(PixelOf(picture, 20, 10), Gradient(20, 10));
    ::DeleteObject(picture);
    std::remove(path.c_str());
    EXPECT_EQ(file.Load(std::wstring(path.begin(), path.end())), nullptr);  // gone now
}

TEST_F(ImageHelpers, TheButtonShowsTheFrameOfItsState) {
    EXPECT_EQ(ImageButton::FrameForState(0), 0);
    EXPECT_EQ(ImageButton::FrameForState(ODS_SELECTED), 1);
    EXPECT_EQ(ImageButton::FrameForState(ODS_FOCUS), 2);
    EXPECT_EQ(ImageButton::FrameForState(ODS_SELECTED | ODS_FOCUS), 1);
    EXPECT_EQ(ImageButton::FrameForState(ODS_DISABLED | ODS_SELECTED | ODS_FOCUS), 3);

    // Four frames of 10 x 12 in four colours.
    const COLORREF frames[4] = {RGB(200, 0, 0), RGB(0, 200, 0), RGB(0, 0, 200), RGB(90, 90, 90)};
    ob::ui::RegisterBitmap(7101, MakeBmp(40, 12, [&](int x, int) { return frames[x / 10]; }));
    ImageButton button;
    ASSERT_TRUE(button.Create(host.GetHandle(), RECT{20, 30, 0, 0}, 77, 7101));
    EXPECT_EQ(button.GetSize().cx, 10);
    EXPECT_EQ(button.GetSize().cy, 12);
    EXPECT_EQ(button.ScreenToClient(button.GetWindowRect()).right, 10);         // sized to one frame
    EXPECT_FALSE(button.Create(host.GetHandle(), RECT{0, 0, 0, 0}, 78, 7101));  // already made

    const POINT centre = ob::ui::testing::CentreOf(button.GetHandle());
    driver.RunUntilIdle();
    EXPECT_EQ(driver.Pixel(centre.x, centre.y), frames[0]);
    driver.PenDown(centre);
    driver.RunUntilIdle();
    EXPECT_EQ(driver.Pixel(centre.x, centre.y), frames[1]);
    driver.PenUp(centre);
    driver.RunUntilIdle();
    button.SetFocus();
    driver.RunUntilIdle();
    EXPECT_EQ(driver.Pixel(centre.x, centre.y), frames[2]);
    button.EnableWindow(false);
    driver.RunUntilIdle();
    EXPECT_EQ(driver.Pixel(centre.x, centre.y), frames[3]);

    // No tip window: holding the pen shows nothing and breaks nothing.
    button.EnableWindow(true);
    button.SetToolTip(nullptr, L"ignored");
    driver.Hold(centre, 600);
    driver.RunUntilIdle();
    ZEP_Wnd::ToolTip tip;
    ASSERT_TRUE(tip.Create(host.GetHandle(), ZEP_Wnd::ToolTip::SingleLine | ZEP_Wnd::ToolTip::AlwaysAbove));
    button.SetToolTip(&tip, nullptr);  // a cleared text
    EXPECT_EQ(button.GetToolTipText(), L"");
    driver.Hold(centre, 600);
    driver.RunUntilIdle();
    EXPECT_FALSE(tip.IsVisible());
    // A missing bitmap makes no button.
    ImageButton missing;
    EXPECT_FALSE(missing.Create(host.GetHandle(), RECT{0, 0, 0, 0}, 79, 7999));
    EXPECT_EQ(missing.GetHandle(), nullptr);
}

TEST_F(ImageHelpers, TheAnimationCyclesThroughItsFrames) {
    OBControls::MultiFrameImage busy;
    ASSERT_TRUE(busy.Create(OBResources::kBusyAnimation, 8, RGB(255, 0, 255)));
    EXPECT_EQ(busy.GetFrameCount(), 8);
    EXPECT_EQ(busy.GetSize().cx, 8);
    EXPECT_EQ(busy.GetSize().cy, 8);
    std::vector<int> seen;
    for (int i = 0; i < 9; ++i)
        seen.push_back(busy.NextFrame());
    EXPECT_EQ(seen, (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 0, 1}));

    OBControls::MultiFrameImage none;
    EXPECT_FALSE(none.Create(7999, 8, RGB(255, 0, 255)));
    EXPECT_EQ(none.NextFrame(), 0);
    EXPECT_EQ(none.GetFrameCount(), 0);
}
