// Modules are checked against their real extent before any resource of
// them is trusted: damaged headers, sections and directory entries make the
// reader refuse the module; sound modules of either layout read as before.
#include <gtest/gtest.h>

#include "ResourceTestUtil.h"
#include "orvel/resource/IniReader.h"
#include "orvel/resource/ModuleResources.h"
#include "orvel/resource/ResourceReader.h"
#include "orvel/testsupport/PackMaker.h"
#include "tests/common/TestCommon.h"

using namespace Resource;
using namespace ResourceTest;

namespace {

using Bytes = std::vector<uint8_t>;

TestSupport::SPackSource SmallSource()
{
    TestSupport::SPackSource source;
    source.ini = L"[Config]\r\nMarker=sound\r\n";
    source.bitmaps.push_back({L"Pic.bmp", 5, 4, nullptr, RGB(0, 128, 255)});
    source.cursors.push_back({L"Hand.cur", 32, {3, 4}});
    source.strings[0] = {{101, L"Small"}};
    return source;
}

Bytes ReadAll(const std::wstring& path)
{
    Bytes bytes;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return bytes;
    bytes.resize(GetFileSize(file, nullptr));
    DWORD read = 0;
    ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
    CloseHandle(file);
    bytes.resize(read);
    return bytes;
}

template <class T>
void Put(Bytes& bytes, size_t offset, T value)
{
    memcpy(bytes.data() + offset, &value, sizeof value);
}

// Reads a reader must give for the small pack, or refuse all together.
bool ReadsEverything(const CResourceReader& reader)
{
    DWORD size = 0;
    const void* ini = reader.ReadCustomData(L"INIFILES", L"STYLE.INI", &size);
    std::wstring name;
    HBITMAP bitmap = reader.ReadBitmap(L"PIC.BMP");
    HCURSOR cursor = reader.ReadCursor(L"HAND.CUR");
    bool all = ini && size > 0 && reader.ReadString(101, name) && name == L"Small" && bitmap &&
               cursor;
    if (bitmap)
        DeleteObject(bitmap);
    if (cursor)
        DestroyCursor(cursor);
    return all;
}

class ModuleResourcesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_pack.Ok()) << m_pack.Error();
        m_file = ReadAll(m_pack.Path());
        ASSERT_GT(m_file.size(), 1024u);
    }

    // Writes bytes as a pack of its own and opens it.
    bool OpensAsPack(const Bytes& bytes, CResourceReader& reader)
    {
        std::wstring path = m_dir.File(L"damaged.spk");
        reader.Open(nullptr);
        EXPECT_TRUE(TestCommon::WriteFileBytes(path, bytes.data(), bytes.size()));
        return reader.Open(path.c_str());
    }

    TestSupport::CTestPack m_pack{SmallSource()};
    TestCommon::CTempDir m_dir;
    Bytes m_file;
};

}  // namespace

TEST_F(ModuleResourcesTest, DamagedFieldsRefuseTheModuleBeforeAnyLookup)
{
    CModuleFields fields(m_file);
    CResourceReader reader;
    ASSERT_TRUE(OpensAsPack(m_file, reader));
    EXPECT_TRUE(ReadsEverything(reader));

    const size_t ini = fields.DataEntryOf(L"INIFILES");
    ASSERT_NE(ini, 0u);
    struct SDamage {
        const char* what;
        size_t offset;
        DWORD value;
    };
    const DWORD fileSize = static_cast<DWORD>(m_file.size());
    const SDamage damages[] = {
        {"INI size 0x7FFFFFFF", ini + offsetof(IMAGE_RESOURCE_DATA_ENTRY, Size), 0x7FFFFFFF},
        {"INI size one past the file",
         ini + offsetof(IMAGE_RESOURCE_DATA_ENTRY, Size),
         fileSize - static_cast<DWORD>(ini) + 1},
        {"INI data far away", ini + offsetof(IMAGE_RESOURCE_DATA_ENTRY, OffsetToData),
         0x7FFF0000},
        {"type directory past the file", fields.RootEntries() + 4,
         IMAGE_RESOURCE_DATA_IS_DIRECTORY | (fileSize * 2)},
        {"type given as data", fields.RootEntries() + 4, 0x10},
        {"name string past the file", fields.RootEntries(),
         IMAGE_RESOURCE_NAME_IS_STRING | 0x7FFFFF00},
        {"entry count past the file", fields.TreeStart() + 14, 0xFFFF},
    };
    for (const SDamage& damage : damages) {
        Bytes bytes = m_file;
        if (damage.offset == fields.TreeStart() + 14)
            Put(bytes, damage.offset, static_cast<WORD>(damage.value));
        else
            Put(bytes, damage.offset, damage.value);
        EXPECT_FALSE(OpensAsPack(bytes, reader)) << damage.what;
        EXPECT_EQ(static_cast<HINSTANCE>(reader), nullptr) << damage.what;
    }

    // Section table and headers: the translation every lookup depends on.
    for (const auto& field : fields.Fields()) {
        if (field.offset >= fields.TreeStart())
            break;
        Bytes bytes = m_file;
        if (field.width == 4)
            Put(bytes, field.offset, DWORD{0xFFFFFFF0});
        else
            Put(bytes, field.offset, WORD{0xFFF0});
        // Either refused as a whole or still reading only what is there.
        if (OpensAsPack(bytes, reader))
            ReadsEverything(reader);
    }

    // Cut inside the directory and inside the resource data.
    for (size_t size :
         {fields.TreeStart() + 8, fields.TreeEnd() - 4, fields.DataOf(L"INIFILES") + 2}) {
        Bytes bytes(m_file.begin(), m_file.begin() + size);
        EXPECT_FALSE(OpensAsPack(bytes, reader)) << size;
    }
    ASSERT_TRUE(OpensAsPack(m_file, reader));
    EXPECT_TRUE(ReadsEverything(reader));
}

TEST_F(ModuleResourcesTest, EveryModuleLayoutIsCheckedAndRead)
{
    // Image layout: the module mapped as the loader maps code.
    CResourceReader image;
    image.Attach(LoadLibraryExW(m_pack.Path().c_str(), nullptr, 0));
    ASSERT_NE(static_cast<HINSTANCE>(image), nullptr);
    EXPECT_EQ(reinterpret_cast<ULONG_PTR>(static_cast<HINSTANCE>(image)) & 3, 0u);
    EXPECT_TRUE(ReadsEverything(image));
    // Image-resource layout: the handle's second bit set.
    if (HMODULE resource =
            LoadLibraryExW(m_pack.Path().c_str(), nullptr, LOAD_LIBRARY_AS_IMAGE_RESOURCE)) {
        CResourceReader reader;
        reader.Attach(resource);
        EXPECT_TRUE(ReadsEverything(reader));
    }
    // The library itself, an image with resources of its own or none.
    EXPECT_TRUE(CModuleResources(GetModuleHandleW(L"Orvel.dll")).IsSound());
    EXPECT_TRUE(CModuleResources(GetModuleHandleW(L"kernel32.dll")).IsSound());

    // A damaged data file attached is owned but reads nothing.
    Bytes bytes = m_file;
    CModuleFields fields(m_file);
    Put(bytes, fields.DataEntryOf(L"INIFILES") + offsetof(IMAGE_RESOURCE_DATA_ENTRY, Size),
        DWORD{0x7FFFFFFF});
    std::wstring path = m_dir.File(L"attached.spk");
    ASSERT_TRUE(TestCommon::WriteFileBytes(path, bytes.data(), bytes.size()));
    HMODULE damaged = LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(damaged, nullptr);
    EXPECT_FALSE(CModuleResources(damaged).IsSound());
    CResourceReader attached;
    attached.Attach(damaged);
    EXPECT_EQ(static_cast<HINSTANCE>(attached), damaged);
    DWORD size = 0;
    EXPECT_EQ(attached.ReadCustomData(L"INIFILES", L"STYLE.INI", &size), nullptr);
    std::wstring name;
    EXPECT_FALSE(attached.ReadString(101, name));
    EXPECT_EQ(attached.ReadBitmap(L"PIC.BMP"), nullptr);

    // The paths that take a bare module go through the same check.
    CIniReader ini;
    EXPECT_FALSE(ini.LoadFromResource(damaged, L"INIFILES", L"STYLE.INI"));
    EXPECT_EQ(CModuleResources::LoadBitmapImage(damaged, L"PIC.BMP", 0), nullptr);
    HMODULE sound = LoadLibraryExW(m_pack.Path().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(sound, nullptr);
    EXPECT_TRUE(ini.LoadFromResource(sound, L"INIFILES", L"STYLE.INI"));
    EXPECT_EQ(ini.GetString(L"Config", L"Marker"), L"sound");
    HANDLE bitmap = CModuleResources::LoadBitmapImage(sound, L"PIC.BMP", LR_CREATEDIBSECTION);
    ASSERT_NE(bitmap, nullptr);
    BITMAP info = {};
    GetObjectW(bitmap, sizeof info, &info);
    EXPECT_EQ(info.bmWidth, 5);
    DeleteObject(bitmap);
    FreeLibrary(sound);
}
