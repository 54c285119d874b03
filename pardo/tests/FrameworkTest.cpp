#include <gtest/gtest.h>
#include <cstring>
#include <stdexcept>
#include <vector>
#include "PardoTestUtil.h"

using namespace PardoTest;

TEST(FrameworkString, BasicsAndLowerCase)
{
    CString text("Hello, World");
    EXPECT_EQ(12, text.GetLength());
    EXPECT_STREQ("World", text.Right(5));
    EXPECT_STREQ("Hello", text.Left(5));
    EXPECT_STREQ("lo, W", text.Mid(3, 5));
    EXPECT_STREQ("", text.Mid(40));
    EXPECT_EQ(4, text.Find('o'));
    EXPECT_EQ(8, text.ReverseFind('o'));
    EXPECT_EQ(7, text.Find("World"));
    text.MakeLower();
    EXPECT_STREQ("hello, world", text);
    text += text;
    EXPECT_STREQ("hello, worldhello, world", text);
    text = text.GetString() + 7;  // assigning from its own buffer
    EXPECT_STREQ("worldhello, world", text);
    CString formatted;
    formatted.Format("%d-%s", 42, "x");
    EXPECT_TRUE(formatted == "42-x");
    EXPECT_EQ(0, CString("ABC").CompareNoCase("abc"));
}

TEST(FrameworkString, ResourceStringsAreChinese)
{
    CString label;
    ASSERT_TRUE(label.LoadString(2));
    wchar_t wide[16] = L"";
    ASSERT_GT(LoadStringW(Pardo::ModuleHandle(), 2, wide, 16), 0);
    EXPECT_STREQ(L"\u9884\u89c8", wide);
    ASSERT_GT(LoadStringW(Pardo::ModuleHandle(), 1, wide, 16), 0);
    EXPECT_EQ(L'\u4e0d', wide[0]);
    HRSRC dialog = FindResourceExA(Pardo::ModuleHandle(), reinterpret_cast<LPCSTR>(RT_DIALOG), "FILEDIALOG_TEMPLATE",
                                   MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED));
    EXPECT_NE(nullptr, dialog);
}

namespace {

std::vector<BYTE> Bytes(std::initializer_list<int> values)
{
    std::vector<BYTE> bytes;
    for (int v : values)
        bytes.push_back(static_cast<BYTE>(v));
    return bytes;
}

CString ReadOneString(std::vector<BYTE> bytes)
{
    CMemFile file(bytes.data(), static_cast<UINT>(bytes.size()));
    CArchive archive(&file, CArchive::load);
    CString text;
    archive >> text;
    return text;
}

int ArchiveCause(std::vector<BYTE> bytes)
{
    try {
        ReadOneString(std::move(bytes));
    } catch (CArchiveException* e) {
        int cause = e->m_cause;
        e->Delete();
        return cause;
    }
    return -1;
}

}  // namespace

TEST(FrameworkArchive, StringLengthPrefixes)
{
    EXPECT_STREQ("abc", ReadOneString(Bytes({3, 'a', 'b', 'c'})));
    EXPECT_STREQ("", ReadOneString(Bytes({0})));
    EXPECT_STREQ("xy", ReadOneString(Bytes({0xFF, 2, 0, 'x', 'y'})));
    // UTF-16, one-byte length after the marker.
    EXPECT_STREQ("Hi", ReadOneString(Bytes({0xFF, 0xFE, 0xFF, 2, 'H', 0, 'i', 0})));
    // UTF-16 with a two-byte length.
    EXPECT_STREQ("Z", ReadOneString(Bytes({0xFF, 0xFE, 0xFF, 0xFF, 1, 0, 'Z', 0})));
    // Four-byte length.
    EXPECT_STREQ("q", ReadOneString(Bytes({0xFF, 0xFF, 0xFF, 1, 0, 0, 0, 'q'})));

    std::vector<BYTE> longText = Bytes({0xFF, 0x2C, 0x01});
    longText.insert(longText.end(), 300, 'L');
    EXPECT_EQ(300, ReadOneString(longText).GetLength());
}

TEST(FrameworkArchive, ShortDataRaisesEndOfFile)
{
    EXPECT_EQ(CArchiveException::endOfFile, ArchiveCause(Bytes({5, 'a', 'b'})));
    EXPECT_EQ(CArchiveException::endOfFile, ArchiveCause(Bytes({0xFF, 1})));
    EXPECT_EQ(CArchiveException::endOfFile, ArchiveCause(Bytes({})));
    // A length near 4 GB with no data behind it fails without a huge
    // allocation.
    EXPECT_EQ(CArchiveException::endOfFile, ArchiveCause(Bytes({0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 'a'})));
    EXPECT_EQ(CArchiveException::endOfFile,
              ArchiveCause(Bytes({0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F, 'a', 0})));
}

TEST(FrameworkArchive, NumbersStoreAndLoadThroughAFile)
{
    TestCommon::CTempDir dir;
    std::string path = Narrow(dir.File(L"numbers.bin"));
    {
        CFile file(path.c_str(), CFile::modeCreate | CFile::modeWrite);
        CArchive archive(&file, CArchive::store, 128);
        archive << static_cast<short>(1003) << 7 << CString("header");
        CString big('x', 70000);
        archive << big;
        for (int i = 0; i < 1000; ++i)
            archive << static_cast<DWORD>(i);
        archive.Close();
    }
    CFile file(path.c_str(), CFile::modeRead | CFile::shareDenyWrite);
    CArchive archive(&file, CArchive::load, 128);
    short version = 0;
    int flag = 0;
    CString header, big;
    archive >> version >> flag >> header >> big;
    EXPECT_EQ(1003, version);
    EXPECT_EQ(7, flag);
    EXPECT_STREQ("header", header);
    EXPECT_EQ(70000, big.GetLength());
    DWORD value = 0;
    for (int i = 0; i < 1000; ++i)
        archive >> value;
    EXPECT_EQ(999u, value);
    BYTE rest[4];
    EXPECT_EQ(0u, archive.Read(rest, 4));
    EXPECT_THROW(
        {
            try {
                archive >> value;
            } catch (CArchiveException* e) {
                e->Delete();
                throw std::runtime_error("end of file");
            }
        },
        std::runtime_error);
}

TEST(FrameworkArchive, MutatedStringsNeverReadPastTheData)
{
    TestCommon::CRandom random(1234);
    const std::vector<std::vector<BYTE>> seeds = {
        Bytes({3, 'a', 'b', 'c', 0xFF, 2, 0, 'x', 'y'}),
        Bytes({0xFF, 0xFE, 0xFF, 2, 'H', 0, 'i', 0, 1, 'z'}),
        Bytes({0xFF, 0xFF, 0xFF, 1, 0, 0, 0, 'q', 0xFF, 0xFE, 0xFF, 0xFF, 1, 0, 'Z', 0}),
    };
    for (int round = 0; round < 3000; ++round) {
        std::vector<BYTE> bytes = seeds[round % seeds.size()];
        TestCommon::Mutate(bytes, random);
        TestCommon::CGuardedBuffer guarded(bytes);
        CMemFile file(const_cast<BYTE*>(guarded.Data()), static_cast<UINT>(guarded.Size()));
        CArchive archive(&file, CArchive::load, 128);
        try {
            for (int i = 0; i < 8; ++i) {
                CString text;
                archive >> text;
            }
        } catch (CArchiveException* e) {
            EXPECT_EQ(CArchiveException::endOfFile, e->m_cause);
            e->Delete();
        }
    }
}

TEST(FrameworkFile, MissingFileAndMemoryFile)
{
    try {
        CFile file("c:\\no\\such\\folder\\file.bin", CFile::modeRead);
        FAIL();
    } catch (CFileException* e) {
        EXPECT_EQ(CFileException::badPath, e->m_cause);
        EXPECT_EQ(ERROR_PATH_NOT_FOUND, e->m_lOsError);
        EXPECT_STREQ("c:\\no\\such\\folder\\file.bin", e->m_strFileName);
        EXPECT_TRUE(e->IsKindOf(CException::GetThisClass()));
        EXPECT_FALSE(e->IsKindOf(CArchiveException::GetThisClass()));
        e->Delete();
    }

    CMemFile memory(16);
    const char text[] = "0123456789abcdefghij";
    memory.Write(text, 20);
    EXPECT_EQ(20u, memory.GetLength());
    memory.Seek(-5, CFile::end);
    char tail[8] = {};
    EXPECT_EQ(5u, memory.Read(tail, 8));
    EXPECT_STREQ("fghij", tail);
    memory.SeekToBegin();
    EXPECT_EQ(3u, memory.Read(tail, 3));
    BYTE* block = memory.Detach();
    EXPECT_EQ(0, memcmp(block, text, 20));
    free(block);

    // An attached block of fixed size refuses to grow.
    BYTE fixed[4] = {};
    CMemFile attached(fixed, 4);
    attached.Seek(0, CFile::end);
    try {
        attached.Write("x", 1);
        FAIL();
    } catch (CFileException* e) {
        EXPECT_EQ(CFileException::diskFull, e->m_cause);
        e->Delete();
    }
}

namespace {

class CThrowingWnd : public CWnd {
public:
    static const MessageMap* GetThisMessageMap()
    {
        static const MessageMapEntry entries[] = {
            {WM_PAINT, 0, 0, &Pardo::Handlers::Void<CThrowingWnd, &CThrowingWnd::OnPaint>},
            {WM_COMMAND, BN_CLICKED, 5, &Pardo::Handlers::Void<CThrowingWnd, &CThrowingWnd::OnButton>},
            {0, 0, 0, nullptr},
        };
        static const MessageMap map = {&CWnd::GetThisMessageMap, entries};
        return &map;
    }
    const MessageMap* GetMessageMap() const override { return GetThisMessageMap(); }

    int paints = 0, clicks = 0;
    bool destroyed = false;

protected:
    void OnPaint()
    {
        CPaintDC dc(this);
        ++paints;
        Pardo::ThrowFileException(CFileException::hardIO);
    }
    void OnButton()
    {
        ++clicks;
        throw std::logic_error("foreign");
    }
    void PostNcDestroy() override { destroyed = true; }
};

}  // namespace

TEST(FrameworkWindow, HandlerExceptionsStopAtTheWindowProcedure)
{
    CReportCounter reports;
    HWND hwnd = CreateWindowExA(0, "STATIC", "x", WS_POPUP | WS_VISIBLE, 10, 10, 50, 50, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, hwnd);
    CThrowingWnd wnd;
    ASSERT_TRUE(wnd.SubclassWindow(hwnd));
    EXPECT_EQ(&wnd, CWnd::FromHandle(hwnd));
    EXPECT_TRUE(wnd.IsKindOf(CWnd::GetThisClass()));

    UpdateWindow(hwnd);
    EXPECT_EQ(1, wnd.paints);
    EXPECT_EQ(1, CReportCounter::Count());
    // The failed paint validated the window: no second paint is pending.
    Pump(50);
    EXPECT_EQ(1, wnd.paints);

    SendMessageA(hwnd, WM_COMMAND, MAKEWPARAM(5, BN_CLICKED), 0);
    SendMessageA(hwnd, WM_COMMAND, MAKEWPARAM(6, BN_CLICKED), 0);
    EXPECT_EQ(1, wnd.clicks);
    EXPECT_EQ(2, CReportCounter::Count());

    DestroyWindow(hwnd);
    EXPECT_TRUE(wnd.destroyed);
    EXPECT_EQ(nullptr, wnd.m_hWnd);
    EXPECT_EQ(nullptr, CWnd::FromHandlePermanent(hwnd));
}

TEST(FrameworkWindow, RuntimeClassChainOfTheDialog)
{
    CQRNFileDialog dialog(TRUE);
    const char* expected[] = {"CQRNFileDialog", "CFileDialog", "CCommonDialog", "CDialog", "CWnd", "CObject"};
    CRuntimeClass* type = dialog.GetRuntimeClass();
    for (const char* name : expected) {
        ASSERT_NE(nullptr, type);
        EXPECT_STREQ(name, type->m_lpszClassName);
        type = type->m_pfnGetBaseClass ? type->m_pfnGetBaseClass() : nullptr;
    }
    EXPECT_TRUE(dialog.IsKindOf(CFileDialog::GetThisClass()));
    EXPECT_EQ(&CQRNFileDialog::classCQRNFileDialog, CQRNFileDialog::GetThisClass());
    EXPECT_EQ(CFileDialog::GetThisClass(), CQRNFileDialog::_GetBaseClass());
    EXPECT_EQ(CQRNFileDialog::GetThisMessageMap(), dialog.GetMessageMap());
}
