#include "orvel/testsupport/PackMaker.h"

#include <cstring>
#include <cwchar>
#include "tests/common/TestCommon.h"
#include "tools/spkc/PackBuilder.h"

namespace TestSupport {

namespace {

template <class T>
void Append(std::vector<uint8_t>& bytes, const T& value)
{
    auto p = reinterpret_cast<const uint8_t*>(&value);
    bytes.insert(bytes.end(), p, p + sizeof value);
}

}  // namespace

bool WriteSources(const std::wstring& folder, const SPackSource& source, std::wstring& error)
{
    auto write = [&](const std::wstring& name, const std::vector<uint8_t>& bytes) {
        if (TestCommon::WriteFileBytes(folder + L"\\" + name, bytes.data(), bytes.size()))
            return true;
        error = name + L": cannot be written";
        return false;
    };
    if (!write(L"STYLE.INI", TestCommon::Utf16Bytes(source.ini, true)))
        return false;
    for (const SPackBitmap& bitmap : source.bitmaps) {
        if (!write(bitmap.name, MakeBitmapFile(bitmap)))
            return false;
    }
    for (const SPackCursor& cursor : source.cursors) {
        if (!write(cursor.name, MakeIconFile({cursor.size}, true, cursor.hotSpot)))
            return false;
    }
    for (const SPackIcon& icon : source.icons) {
        if (!write(icon.name, MakeIconFile(icon.sizes, false)))
            return false;
    }
    auto strings = source.strings;
    strings[0].emplace(101, L"TestPack");
    for (const auto& [language, table] : strings) {
        wchar_t name[32];
        if (language == 0)
            wcscpy(name, L"Strings.ini");
        else
            swprintf(name, 32, L"Strings_%04x.ini", language);
        if (!write(name, MakeStringFile(table)))
            return false;
    }
    return true;
}

std::vector<uint8_t> MakeBitmapFile(const SPackBitmap& bitmap)
{
    const int bits = bitmap.bitCount == 32 ? 32 : 24;
    const int width = bitmap.width, height = bitmap.height;
    const size_t line = ((static_cast<size_t>(width) * bits + 31) & ~size_t{31}) / 8;
    BITMAPFILEHEADER file = {};
    BITMAPINFOHEADER info = {};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = static_cast<DWORD>(file.bfOffBits + line * height);
    info.biSize = sizeof info;
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = static_cast<WORD>(bits);
    info.biCompression = BI_RGB;
    info.biSizeImage = static_cast<DWORD>(line * height);
    std::vector<uint8_t> bytes;
    Append(bytes, file);
    Append(bytes, info);
    for (int row = height - 1; row >= 0; --row) {  // bottom-up
        size_t start = bytes.size();
        for (int x = 0; x < width; ++x) {
            COLORREF c = bitmap.pixel ? bitmap.pixel(x, row) : bitmap.color;
            bytes.push_back(GetBValue(c));
            bytes.push_back(GetGValue(c));
            bytes.push_back(GetRValue(c));
            if (bits == 32)
                bytes.push_back(0xFF);
        }
        bytes.resize(start + line, 0);
    }
    return bytes;
}

std::vector<uint8_t> MakeIconFile(const std::vector<int>& sizes, bool cursor, POINT hotSpot)
{
    std::vector<std::vector<uint8_t>> images;
    for (int size : sizes) {
        std::vector<uint8_t> image;
        BITMAPINFOHEADER info = {};
        info.biSize = sizeof info;
        info.biWidth = size;
        info.biHeight = size * 2;  // colour rows, then mask rows
        info.biPlanes = 1;
        info.biBitCount = 32;
        Append(image, info);
        for (int i = 0; i < size * size; ++i)  // opaque blue-ish
            Append(image, RGBQUAD{200, 80, 40, 0xFF});
        size_t maskLine = ((static_cast<size_t>(size) + 31) / 32) * 4;
        image.resize(image.size() + maskLine * size, 0);  // all opaque
        images.push_back(std::move(image));
    }
    std::vector<uint8_t> bytes;
    const WORD count = static_cast<WORD>(images.size());
    Append(bytes, WORD{0});
    Append(bytes, static_cast<WORD>(cursor ? 2 : 1));
    Append(bytes, count);
    DWORD offset = 6 + 16 * count;
    for (size_t i = 0; i < images.size(); ++i) {
        int size = sizes[i];
        bytes.push_back(static_cast<uint8_t>(size >= 256 ? 0 : size));
        bytes.push_back(static_cast<uint8_t>(size >= 256 ? 0 : size));
        bytes.push_back(0);
        bytes.push_back(0);
        Append(bytes, static_cast<WORD>(cursor ? hotSpot.x : 1));   // planes / hot spot x
        Append(bytes, static_cast<WORD>(cursor ? hotSpot.y : 32));  // bit count / hot spot y
        Append(bytes, static_cast<DWORD>(images[i].size()));
        Append(bytes, offset);
        offset += static_cast<DWORD>(images[i].size());
    }
    for (const auto& image : images)
        bytes.insert(bytes.end(), image.begin(), image.end());
    return bytes;
}

std::vector<uint8_t> MakeStringFile(const std::map<UINT, std::wstring>& strings)
{
    std::wstring text = L"[Strings]\r\n";
    for (const auto& [id, value] : strings)
        text += std::to_wstring(id) + L"=" + value + L"\r\n";
    return TestCommon::Utf16Bytes(text, true);
}

bool MakePack(const std::wstring& output, const SPackSource& source, std::wstring* error)
{
    std::wstring message;
    TestCommon::CTempDir sources;
    bool ok = WriteSources(sources.Path(), source, message) &&
              Spk::BuildPack(sources.Path(), output, message);
    if (error)
        *error = message;
    return ok;
}

CTestPack::CTestPack(const SPackSource& source, const wchar_t* fileName)
    : m_dir(std::make_unique<TestCommon::CTempDir>())
{
    m_strPath = m_dir->File(fileName);
    m_bOk = MakePack(m_strPath, source, &m_strError);
}

CTestPack::~CTestPack() = default;

const std::wstring& CTestPack::Folder() const
{
    return m_dir->Path();
}

}  // namespace TestSupport
