#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>
#include "orvel/host/Global.h"
#include "orvel/windows/DialogText.h"
#include "orvel/windows/StyledWndManager.h"
#include "tests/common/TestCommon.h"

namespace {

// Writes dialog templates the way resource compilers lay them out.
class CTemplateWriter {
public:
    void Word(WORD value) { Bytes(&value, sizeof value); }
    void Dword(DWORD value) { Bytes(&value, sizeof value); }
    void Text(const std::wstring& text)
    {
        for (wchar_t c : text)
            Word(static_cast<WORD>(c));
        Word(0);
    }
    void Ordinal(WORD value)
    {
        Word(0xFFFF);
        Word(value);
    }
    void Align()
    {
        while (m_bytes.size() % 4)
            m_bytes.push_back(0);
    }
    void Bytes(const void* data, size_t size)
    {
        auto* bytes = static_cast<const uint8_t*>(data);
        m_bytes.insert(m_bytes.end(), bytes, bytes + size);
    }

    // The header up to the items, fonts included when style has DS_SETFONT.
    void Header(bool extended, DWORD style, WORD count, const std::wstring& caption)
    {
        if (extended) {
            Word(1);
            Word(0xFFFF);
            Dword(0);  // help id
            Dword(0);  // extended style
            Dword(style);
        } else {
            Dword(style);
            Dword(0);
        }
        Word(count);
        for (int i = 0; i < 4; ++i)
            Word(10);
        Word(0);  // menu
        Word(0);  // class
        Text(caption);
        if (style & DS_SETFONT) {
            Word(8);
            if (extended) {
                Word(FW_NORMAL);
                Word(0);  // italic, character set
            }
            Text(L"Tahoma");
        }
    }
    void Item(bool extended, DWORD id, WORD classAtom, const std::wstring* className, const std::wstring* title,
              WORD titleOrdinal, DWORD style = WS_CHILD | WS_VISIBLE, const std::vector<uint8_t>& extra = {})
    {
        Align();
        if (extended) {
            Dword(0);
            Dword(0);
            Dword(style);
        } else {
            Dword(style);
            Dword(0);
        }
        for (int i = 0; i < 4; ++i)
            Word(5);
        if (extended)
            Dword(id);
        else
            Word(static_cast<WORD>(id));
        if (className)
            Text(*className);
        else
            Ordinal(classAtom);
        if (title)
            Text(*title);
        else
            Ordinal(titleOrdinal);
        Word(static_cast<WORD>(extra.size()));
        Bytes(extra.data(), extra.size());
    }

    const std::vector<uint8_t>& Data() const { return m_bytes; }

private:
    std::vector<uint8_t> m_bytes;
};

constexpr WORD kButton = 0x0080, kEdit = 0x0081, kStatic = 0x0082;

// The template the tests apply: every kind of item the walk meets.
std::vector<uint8_t> TextsTemplate(bool extended, const std::wstring& caption, DWORD style = DS_SETFONT)
{
    const std::wstring apply = L"Apply", skipped = L"Skipped", empty, edited = L"Edited", edit = L"Edit",
                       missing = L"Nobody";
    CTemplateWriter writer;
    writer.Header(extended, WS_POPUP | WS_CAPTION | style, 7, caption);
    writer.Item(extended, 100, kButton, nullptr, &apply, 0);
    writer.Item(extended, 0xFFFF, kStatic, nullptr, &skipped, 0);
    writer.Item(extended, 101, kStatic, nullptr, nullptr, 200);  // string 200 of the module
    writer.Item(extended, 102, kStatic, nullptr, &empty, 0);
    // A class by name and creation data before the next item.
    writer.Item(extended, 103, 0, &edit, &edited, 0, WS_CHILD | WS_VISIBLE, {1, 2, 3});
    writer.Item(extended, 104, kStatic, nullptr, nullptr, 1, WS_CHILD | WS_VISIBLE | SS_ICON);
    writer.Item(extended, 999, kButton, nullptr, &missing, 0);
    return writer.Data();
}

class DialogTextTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { COrvelGlobal::GetInstance().Initialize(GetModuleHandleW(L"Orvel.dll")); }

    void SetUp() override
    {
        ASSERT_TRUE(SetLanguageID(0x0409));
        // A live dialog whose controls hold the old texts.
        CTemplateWriter writer;
        writer.Header(false, WS_POPUP | WS_CAPTION, 0, L"Old");
        m_dialog = CreateDialogIndirectParamW(GetModuleHandleW(nullptr),
                                              reinterpret_cast<const DLGTEMPLATE*>(writer.Data().data()), nullptr,
                                              [](HWND, UINT, WPARAM, LPARAM) -> INT_PTR { return FALSE; }, 0);
        ASSERT_TRUE(m_dialog);
        for (int id : {100, 0xFFFF, 101, 102, 103, 104})
            Add(id);
    }
    void TearDown() override { DestroyWindow(m_dialog); }

    void Add(int id)
    {
        CreateWindowExW(0, L"STATIC", L"old", WS_CHILD, 0, 0, 20, 20, m_dialog,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
    }
    std::wstring Text(int id) const
    {
        wchar_t text[64] = {};
        GetWindowTextW(id ? GetDlgItem(m_dialog, id) : m_dialog, text, 64);
        return text;
    }
    bool Apply(const std::vector<uint8_t>& data, WORD language = 0x0409)
    {
        return Windows::ApplyDialogTexts(m_dialog, data.data(), static_cast<DWORD>(data.size()),
                                         GetModuleHandleW(nullptr), language);
    }

    HWND m_dialog = nullptr;
};

}  // namespace

TEST_F(DialogTextTest, ExtendedTemplateSetsCaptionAndEveryTitledControl)
{
    ASSERT_TRUE(Apply(TextsTemplate(true, L"New caption")));
    EXPECT_EQ(L"New caption", Text(0));
    EXPECT_EQ(L"Apply", Text(100));
    EXPECT_EQ(L"old", Text(0xFFFF));  // identifier 0xFFFF is skipped
    EXPECT_EQ(L"Ordinal in English", Text(101));
    EXPECT_EQ(L"old", Text(102));     // an empty title keeps the text
    EXPECT_EQ(L"Edited", Text(103));  // found after the creation data
    EXPECT_EQ(L"old", Text(104));     // a picture's ordinal is no text

    // Ordinal titles follow the language asked for.
    ASSERT_TRUE(Apply(TextsTemplate(true, L"Again"), MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED)));
    EXPECT_EQ(L"Ordinal in Chinese", Text(101));

    // Without DS_SETFONT the items follow the caption directly.
    ASSERT_TRUE(Apply(TextsTemplate(true, L"No font", 0)));
    EXPECT_EQ(L"No font", Text(0));
    EXPECT_EQ(L"Edited", Text(103));
}

TEST_F(DialogTextTest, ClassicTemplatesChangeNothingAndEmptyCaptionsAreSet)
{
    EXPECT_FALSE(Apply(TextsTemplate(false, L"Classic")));
    EXPECT_EQ(L"Old", Text(0));
    EXPECT_EQ(L"old", Text(100));

    ASSERT_TRUE(Apply(TextsTemplate(true, L"")));
    EXPECT_EQ(L"", Text(0));
    EXPECT_EQ(L"Apply", Text(100));
}

TEST_F(DialogTextTest, DamagedTemplatesNeverReadPastTheirEnd)
{
    const std::vector<uint8_t> valid = TextsTemplate(true, L"Valid");
    // Every cut of the template: a guarded page follows the last byte.
    for (size_t size = 0; size < valid.size(); ++size) {
        TestCommon::CGuardedBuffer cut(std::vector<uint8_t>(valid.begin(), valid.begin() + size));
        Windows::ApplyDialogTexts(m_dialog, cut.Data(), static_cast<DWORD>(cut.Size()), nullptr, 0x0409);
    }
    TestCommon::CRandom random(1914);
    for (int i = 0; i < 3000; ++i) {
        std::vector<uint8_t> bytes = valid;
        TestCommon::Mutate(bytes, random);
        TestCommon::CGuardedBuffer guarded(bytes);
        Windows::ApplyDialogTexts(m_dialog, guarded.Data(), static_cast<DWORD>(guarded.Size()),
                                  GetModuleHandleW(nullptr), 0x0409);
    }
    EXPECT_FALSE(Windows::ApplyDialogTexts(nullptr, valid.data(), static_cast<DWORD>(valid.size()), nullptr, 0));
}

TEST_F(DialogTextTest, ManagerReadsTheTemplateInTheCurrentLanguage)
{
    Windows::CStyledWndManager& manager = Windows::CStyledWndManager::GetInstance();
    HMODULE self = GetModuleHandleW(nullptr);
    HWND dialog = CreateDialogParamW(self, L"TEXTS", nullptr, [](HWND, UINT, WPARAM, LPARAM) -> INT_PTR { return FALSE; }, 0);
    ASSERT_TRUE(dialog);
    wchar_t text[64] = {};
    auto textOf = [&](HWND window) {
        GetWindowTextW(window, text, 64);
        return std::wstring(text);
    };
    HWND apply = GetDlgItem(dialog, 100);

    ASSERT_TRUE(SetLanguageID(0x0804));
    manager.ValidDlgCtrl(dialog, self, L"TEXTS");
    EXPECT_EQ(L"Zhongwen", textOf(dialog));
    EXPECT_EQ(L"&Yingyong", textOf(apply));
    ASSERT_TRUE(SetLanguageID(0x0409));
    manager.ValidDlgCtrl(dialog, self, L"TEXTS");
    EXPECT_EQ(L"English", textOf(dialog));
    EXPECT_EQ(L"&Apply", textOf(apply));

    // A classic template, a missing one and a missing dialog change nothing.
    manager.ValidDlgCtrl(dialog, self, L"CLASSIC");
    manager.ValidDlgCtrl(dialog, self, L"MISSING");
    manager.ValidDlgCtrl(dialog, self, nullptr);
    manager.ValidDlgCtrl(nullptr, self, L"TEXTS");
    EXPECT_EQ(L"English", textOf(dialog));
    EXPECT_EQ(L"&Apply", textOf(apply));
    DestroyWindow(dialog);
}
