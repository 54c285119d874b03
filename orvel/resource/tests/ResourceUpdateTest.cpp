#include <gtest/gtest.h>

#include <cstring>
#include "ResourceTestUtil.h"
#include "orvel/resource/ResourceReader.h"
#include "orvel/resource/ResourceUpdate.h"
#include "orvel/testsupport/PackMaker.h"
#include "tests/common/TestCommon.h"
#include "tools/spkc/PackBuilder.h"

using namespace Resource;
using namespace ResourceTest;

namespace {

// Exposes the protected icon and cursor writers to the tests.
class CTestUpdate : public CResourceUpdate {
public:
    using CResourceUpdate::UpdateCursor;
    using CResourceUpdate::UpdateIcon;
};

std::vector<uint8_t> Bytes(const void* data, DWORD size)
{
    auto p = static_cast<const uint8_t*>(data);
    return std::vector<uint8_t>(p, p + size);
}

std::vector<uint8_t> ReadBytes(const CResourceReader& reader, const wchar_t* type,
                               const wchar_t* name)
{
    DWORD size = 0;
    const void* data = reader.ReadCustomData(type, name, &size);
    return data ? Bytes(data, size) : std::vector<uint8_t>();
}

}  // namespace

TEST(ResourceUpdate, StringTableBlocksFromAnIniFile)
{
    TestCommon::CTempDir dir;
    std::wstring module = dir.File(L"module.dll");
    std::wstring strings = dir.File(L"strings.ini");
    auto text = TestCommon::Utf16Bytes(
        L"[Strings]\r\n17=Seventeen\r\n2=Two\r\n1=One ; first\r\n5=Hello ; note\r\n"
        L"2=Second two\r\n-3=negative\r\n",
        true);
    ASSERT_TRUE(TestCommon::WriteFileBytes(strings, text.data(), text.size()));
    ASSERT_TRUE(Spk::WriteEmptyModule(module));
    CResourceUpdate update;
    ASSERT_TRUE(update.BeginUpdate(module.c_str(), true));
    EXPECT_TRUE(update.UpdateStringTableFromFile(0x0409, strings.c_str()));
    EXPECT_FALSE(update.UpdateStringTableFromFile(0x0409, dir.File(L"missing.ini").c_str()));
    ASSERT_TRUE(update.EndUpdate());

    CResourceReader reader;
    ASSERT_TRUE(reader.Open(module.c_str()));
    reader.SetLangID(0x0409);
    // Block 1: entries 0 empty, 1, 2, 5, the rest empty; the first "2" wins.
    EXPECT_EQ(ReadBytes(reader, RT_STRING, MAKEINTRESOURCEW(1)),
              MakeStringBlock({L"", L"One", L"Two", L"", L"", L"Hello"}));
    // Block 2: identifier 17 at position 1.
    EXPECT_EQ(ReadBytes(reader, RT_STRING, MAKEINTRESOURCEW(2)),
              MakeStringBlock({L"", L"Seventeen"}));
    std::wstring value;
    EXPECT_TRUE(reader.ReadString(5, value));
    EXPECT_EQ(value, L"Hello");
    EXPECT_EQ(reader.ReadCustomData(RT_STRING, MAKEINTRESOURCEW(3)), nullptr);
}

TEST(ResourceUpdate, TheThirtyThirdUpdateCommitsTheFirstThirtyTwo)
{
    TestCommon::CTempDir dir;
    std::wstring module = dir.File(L"module.dll");
    ASSERT_TRUE(Spk::WriteEmptyModule(module));
    CResourceUpdate update;
    ASSERT_TRUE(update.BeginUpdate(module.c_str(), true));
    EXPECT_EQ(update.GetPendingCount(), 1u);  // the time stamp
    const DWORD value = 0x12345678;
    for (WORD id = 1; id <= 31; ++id)
        ASSERT_TRUE(update.Update(0, L"DATA", MAKEINTRESOURCEW(id), &value, sizeof value));
    EXPECT_EQ(update.GetPendingCount(), 32u);
    {
        CResourceReader reader;
        ASSERT_TRUE(reader.Open(module.c_str()));
        EXPECT_EQ(reader.ReadCustomData(L"DATA", MAKEINTRESOURCEW(1)), nullptr);
    }
    ASSERT_TRUE(update.Update(0, L"DATA", MAKEINTRESOURCEW(32), &value, sizeof value));
    EXPECT_EQ(update.GetPendingCount(), 1u);
    {
        CResourceReader reader;
        ASSERT_TRUE(reader.Open(module.c_str()));
        EXPECT_NE(reader.ReadCustomData(MAKEINTRESOURCEW(256), MAKEINTRESOURCEW(1)), nullptr);
        EXPECT_NE(reader.ReadCustomData(L"DATA", MAKEINTRESOURCEW(31)), nullptr);
        EXPECT_EQ(reader.ReadCustomData(L"DATA", MAKEINTRESOURCEW(32)), nullptr);
    }
    ASSERT_TRUE(update.EndUpdate());
    CResourceReader reader;
    ASSERT_TRUE(reader.Open(module.c_str()));
    DWORD size = 0;
    const void* data = reader.ReadCustomData(L"DATA", MAKEINTRESOURCEW(32), &size);
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(Bytes(data, size), Bytes(&value, sizeof value));
    // Nothing is written once the update is closed.
    EXPECT_FALSE(update.Update(0, L"DATA", MAKEINTRESOURCEW(33), &value, sizeof value));
}

TEST(ResourceUpdate, IconAndCursorGroups)
{
    TestCommon::CTempDir dir;
    std::wstring module = dir.File(L"module.dll");
    ASSERT_TRUE(Spk::WriteEmptyModule(module));
    auto icon = TestSupport::MakeIconFile({16}, false);
    auto cursor = TestSupport::MakeIconFile({32}, true, {3, 9});
    CTestUpdate update;
    ASSERT_TRUE(update.BeginUpdate(module.c_str(), true));
    EXPECT_TRUE(update.UpdateIcon(0, L"FIRST", icon.data(), DWORD(icon.size())));
    EXPECT_TRUE(update.UpdateIcon(0, L"SECOND", icon.data(), DWORD(icon.size())));
    EXPECT_TRUE(update.UpdateCursor(0, L"POINTER", cursor.data(), DWORD(cursor.size())));
    // A directory whose entries run past the file writes nothing.
    std::vector<uint8_t> bad = icon;
    bad[4] = 9;
    EXPECT_FALSE(update.UpdateIcon(0, L"BAD", bad.data(), DWORD(bad.size())));
    bad = icon;
    bad[6 + 12] = 0xF0;  // image offset beyond the file
    EXPECT_FALSE(update.UpdateIcon(0, L"BAD", bad.data(), DWORD(bad.size())));
    EXPECT_FALSE(update.UpdateCursor(0, L"BAD", icon.data(), DWORD(icon.size())));  // not type 2
    EXPECT_FALSE(update.UpdateIconFromFile(0, L"BAD", dir.File(L"missing.ico").c_str()));
    ASSERT_TRUE(update.EndUpdate());

    CResourceReader reader;
    ASSERT_TRUE(reader.Open(module.c_str()));
    const DWORD imageSize = DWORD(icon.size() - 6 - 16);
    for (WORD id : {1, 2}) {
        auto group = ReadBytes(reader, RT_GROUP_ICON, id == 1 ? L"FIRST" : L"SECOND");
        ASSERT_EQ(group.size(), 6u + 14u);
        WORD header[3];
        memcpy(header, group.data(), 6);
        EXPECT_EQ(header[1], 1);
        EXPECT_EQ(header[2], 1);
        EXPECT_EQ(group[6], 16);
        DWORD bytes;
        WORD entryId;
        memcpy(&bytes, &group[6 + 8], 4);
        memcpy(&entryId, &group[6 + 12], 2);
        EXPECT_EQ(bytes, imageSize);
        EXPECT_EQ(entryId, id);
        EXPECT_EQ(ReadBytes(reader, RT_ICON, MAKEINTRESOURCEW(id)).size(), imageSize);
    }
    EXPECT_EQ(reader.ReadCustomData(RT_GROUP_ICON, L"BAD"), nullptr);
    EXPECT_EQ(reader.ReadCustomData(RT_ICON, MAKEINTRESOURCEW(3)), nullptr);

    auto group = ReadBytes(reader, RT_GROUP_CURSOR, L"POINTER");
    ASSERT_EQ(group.size(), 6u + 14u);
    WORD fields[4];
    DWORD bytes;
    WORD entryId;
    memcpy(fields, &group[6], 8);
    memcpy(&bytes, &group[6 + 8], 4);
    memcpy(&entryId, &group[6 + 12], 2);
    EXPECT_EQ(group[2], 2);
    EXPECT_EQ(fields[0], 32);  // width
    EXPECT_EQ(fields[1], 64);  // twice the height
    EXPECT_EQ(fields[2], 1);
    EXPECT_EQ(fields[3], 1);
    EXPECT_EQ(entryId, 1);
    auto image = ReadBytes(reader, RT_CURSOR, MAKEINTRESOURCEW(1));
    ASSERT_EQ(image.size(), bytes + 4);
    WORD hotSpot[2];
    memcpy(hotSpot, image.data(), 4);
    EXPECT_EQ(hotSpot[0], 3);
    EXPECT_EQ(hotSpot[1], 9);
}

TEST(ResourceUpdate, FilesAndTimeStamp)
{
    TestCommon::CTempDir dir;
    std::wstring module = dir.File(L"module.dll");
    ASSERT_TRUE(Spk::WriteEmptyModule(module));
    TestSupport::SPackBitmap bitmap;
    bitmap.width = 3;
    bitmap.height = 2;
    bitmap.color = kFill;
    auto file = TestSupport::MakeBitmapFile(bitmap);
    ASSERT_TRUE(TestCommon::WriteFileBytes(dir.File(L"a.bmp"), file.data(), file.size()));
    auto ini = TestCommon::Utf16Bytes(L"[Config]\r\n", true);
    ASSERT_TRUE(TestCommon::WriteFileBytes(dir.File(L"style.ini"), ini.data(), ini.size()));

    SYSTEMTIME before;
    GetSystemTime(&before);
    CResourceUpdate update;
    EXPECT_FALSE(CResourceUpdate().BeginUpdate(dir.File(L"missing.dll").c_str(), true));
    ASSERT_TRUE(update.BeginUpdate(module.c_str(), true));
    EXPECT_TRUE(update.UpdateBitmapFromFile(0, L"A.BMP", dir.File(L"a.bmp").c_str()));
    EXPECT_FALSE(update.UpdateBitmapFromFile(0, L"B.BMP", dir.File(L"style.ini").c_str()));
    EXPECT_FALSE(update.UpdateBitmapFromFile(0, L"C.BMP", dir.File(L"none.bmp").c_str()));
    EXPECT_TRUE(update.UpdateCustomFromFile(0, L"INIFILES", L"STYLE.INI",
                                            dir.File(L"style.ini").c_str()));
    ASSERT_TRUE(update.EndUpdate());

    CResourceReader reader;
    ASSERT_TRUE(reader.Open(module.c_str()));
    EXPECT_EQ(ReadBytes(reader, RT_BITMAP, L"A.BMP"),
              std::vector<uint8_t>(file.begin() + 14, file.end()));
    EXPECT_EQ(reader.ReadCustomData(RT_BITMAP, L"B.BMP"), nullptr);
    EXPECT_EQ(ReadBytes(reader, L"INIFILES", L"STYLE.INI"), ini);
    auto stamp = ReadBytes(reader, MAKEINTRESOURCEW(256), MAKEINTRESOURCEW(1));
    ASSERT_EQ(stamp.size(), 16u);
    SYSTEMTIME written;
    memcpy(&written, stamp.data(), 16);
    FILETIME a, b;
    SystemTimeToFileTime(&before, &a);
    SystemTimeToFileTime(&written, &b);
    // Same moment to within a minute, in UTC.
    LONGLONG delta = (LONGLONG(b.dwHighDateTime) << 32 | b.dwLowDateTime) -
                     (LONGLONG(a.dwHighDateTime) << 32 | a.dwLowDateTime);
    EXPECT_LT(delta < 0 ? -delta : delta, 600000000LL);
}
