#pragma once
// Test style packs: written from INI text, generated bitmaps and optional
// strings, cursors and icons into a temporary folder and compiled with the
// pack builder, so a test reads exactly the keys and images it sets.
#include <windows.h>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace TestCommon {
class CTempDir;
}

namespace TestSupport {

// Colour of the pixel at (x, y), top row 0.
using PixelFn = std::function<COLORREF(int x, int y)>;

struct SPackBitmap {
    std::wstring name;   // file name as STYLE.INI gives it, e.g. L"Button.bmp"
    int width = 1;
    int height = 1;
    PixelFn pixel;       // null: every pixel is color
    COLORREF color = RGB(0, 0, 0);
    int bitCount = 24;   // 24 or 32
};

struct SPackCursor {
    std::wstring name;   // e.g. L"Hand.cur"
    int size = 32;       // width and height
    POINT hotSpot = {0, 0};
};

struct SPackIcon {
    std::wstring name;   // e.g. L"App.ico"
    std::vector<int> sizes = {16, 32};  // one image per size
};

struct SPackSource {
    std::wstring ini;  // STYLE.INI text; stored as UTF-16 with a byte-order mark
    std::vector<SPackBitmap> bitmaps;
    std::vector<SPackCursor> cursors;
    std::vector<SPackIcon> icons;
    // By language (0 = neutral); string 101 is the pack's name: internal in
    // language 0 (default "TestPack"), shown in the others.
    std::map<WORD, std::map<UINT, std::wstring>> strings;
};

// Writes the source files into folder, as MakePack compiles them.
bool WriteSources(const std::wstring& folder, const SPackSource& source, std::wstring& error);

// Compiles source into the pack file output (sources go to a temporary
// folder of their own). Returns false and the builder's message on failure.
bool MakePack(const std::wstring& output, const SPackSource& source,
              std::wstring* error = nullptr);

// A pack in a temporary folder of its own, removed with the object. Free
// every reader of it first.
class CTestPack {
public:
    explicit CTestPack(const SPackSource& source, const wchar_t* fileName = L"Test.spk");
    ~CTestPack();
    CTestPack(const CTestPack&) = delete;
    CTestPack& operator=(const CTestPack&) = delete;

    bool Ok() const { return m_bOk; }
    const std::wstring& Path() const { return m_strPath; }
    const std::wstring& Error() const { return m_strError; }
    const std::wstring& Folder() const;

private:
    std::unique_ptr<TestCommon::CTempDir> m_dir;
    std::wstring m_strPath;
    std::wstring m_strError;
    bool m_bOk = false;
};

// File images the builder reads.
std::vector<uint8_t> MakeBitmapFile(const SPackBitmap& bitmap);
// 32-bit image with an AND mask; type 1 icon, 2 cursor (hot spot used).
std::vector<uint8_t> MakeIconFile(const std::vector<int>& sizes, bool cursor,
                                  POINT hotSpot = {0, 0});
// A UTF-16 INI text with a [Strings] section.
std::vector<uint8_t> MakeStringFile(const std::map<UINT, std::wstring>& strings);

}  // namespace TestSupport
