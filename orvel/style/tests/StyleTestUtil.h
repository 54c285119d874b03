#pragma once
// A style loaded from a pack that a test makes from INI text and bitmaps.
#include <gtest/gtest.h>
#include <string>
#include "orvel/style/Painter.h"
#include "orvel/style/Style.h"
#include "orvel/testsupport/PackMaker.h"

namespace StyleTest {

// The pack outlives the style, which holds the pack's module.
struct SLoadedStyle {
    explicit SLoadedStyle(const TestSupport::SPackSource& source)
        : pack(source), ok(pack.Ok() && style.Load(pack.Path().c_str()))
    {
        EXPECT_TRUE(pack.Ok()) << std::string(pack.Error().begin(), pack.Error().end());
        EXPECT_TRUE(ok);
    }
    TestSupport::CTestPack pack;
    Style::CStyle style;
    bool ok;
};

inline TestSupport::SPackSource Source(const std::wstring& ini)
{
    TestSupport::SPackSource source;
    source.ini = ini;
    return source;
}

inline TestSupport::SPackBitmap Bitmap(const wchar_t* name, int width, int height,
                                       TestSupport::PixelFn pixel)
{
    TestSupport::SPackBitmap bitmap;
    bitmap.name = name;
    bitmap.width = width;
    bitmap.height = height;
    bitmap.pixel = std::move(pixel);
    return bitmap;
}

}  // namespace StyleTest
