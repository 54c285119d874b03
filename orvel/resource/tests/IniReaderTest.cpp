#include <gtest/gtest.h>

#include <string>
#include "orvel/base/Failure.h"
#include "orvel/resource/IniReader.h"
#include "tests/common/TestCommon.h"

using Resource::CIniReader;
using Resource::CLine;
using Resource::CSection;

namespace {

bool Load(CIniReader& reader, const std::wstring& text)
{
    return reader.LoadFromMemory(text.data(), text.size() * sizeof(wchar_t));
}

std::wstring Names(const CIniReader& reader)
{
    std::wstring out;
    for (int i = 0; i < reader.GetSectionCount(); ++i)
        out += L"[" + reader.GetSection(i)->GetName() + L"]";
    return out;
}

}  // namespace

TEST(IniReader, ByteOrderMarksAreDroppedAndTextIsAlwaysLittleEndian)
{
    const std::wstring text = L"[Main]\r\nA=1\r\n";
    for (wchar_t mark : {L'\xFEFF', L'\xFFFE', L'\0'}) {
        std::wstring source = mark ? std::wstring(1, mark) + text : text;
        CIniReader reader;
        ASSERT_TRUE(Load(reader, source));
        ASSERT_EQ(1, reader.GetSectionCount()) << int(mark);
        EXPECT_EQ(L"Main", reader.GetSection(0)->GetName());
        EXPECT_EQ(1, reader.GetInt(L"Main", L"A"));
    }
    // A mark anywhere but first is an ordinary character.
    CIniReader reader;
    Load(reader, L"[A]\n\xFEFFk=1\n");
    EXPECT_EQ(nullptr, reader.FindFirstLine(L"A", L"k"));
}

TEST(IniReader, CommentsCutLinesEvenInsideQuotes)
{
    CIniReader reader;
    Load(reader, L"[S]\n"
                 L"key = value ; note\n"
                 L"k2=a;b\n"
                 L"k3=\"x;y\"\n"
                 L"   ; indented note\n"
                 L"; note\n"
                 L";k4=1\n");
    CSection* section = reader.FindSection(L"S");
    ASSERT_NE(nullptr, section);
    EXPECT_EQ(3, section->GetLineCount());
    EXPECT_EQ(L"value", reader.GetString(L"S", L"key"));
    EXPECT_EQ(L"a", reader.GetString(L"S", L"k2"));
    EXPECT_EQ(L"\"x", reader.GetString(L"S", L"k3"));
}

TEST(IniReader, SectionHeaders)
{
    CIniReader reader;
    Load(reader, L"orphan=1\n[Abc]\n[ Abc ]\n[Abc\n[X]\nk=1\n[x]\nk=2\n[]\n[\n");
    EXPECT_EQ(L"[Abc][ Abc ][Ab][X][x][][]", Names(reader));
    EXPECT_EQ(reader.GetSection(0), reader.FindSection(L"ABC"));
    EXPECT_EQ(nullptr, reader.FindSection(L"Fonts"));
    EXPECT_EQ(reader.GetSection(2), reader.FindSection(L"ab"));
    EXPECT_EQ(1, reader.GetInt(L"X", L"k"));  // the first of two equal names
    EXPECT_EQ(0, reader.GetSection(0)->GetLineCount());  // the orphan line was dropped
}

TEST(IniReader, NamesFoldOnlyAsciiLetters)
{
    CIniReader reader;
    Load(reader, L"[\x00C4rger]\nK\x00E9y=1\n");
    EXPECT_NE(nullptr, reader.FindSection(L"\x00C4RGER"));
    EXPECT_EQ(nullptr, reader.FindSection(L"\x00E4rger"));
    EXPECT_EQ(nullptr, reader.FindFirstLine(L"\x00C4rger", L"k\x00C9y"));
    EXPECT_NE(nullptr, reader.FindFirstLine(L"\x00C4rger", L"k\x00E9Y"));
}

TEST(IniReader, DuplicateLabelsKeptAndIteratedInOrder)
{
    CIniReader reader;
    Load(reader, L"[S]\nK=1\nFlag\nK=2\n = orphan value \n");
    EXPECT_EQ(1, reader.GetInt(L"S", L"k"));
    std::wstring seen;
    Resource::POSITION pos = reader.GetFirstLinePosition(L"s");
    while (pos) {
        const CLine* line = reader.GetNextLine(pos);
        seen += line->GetLabel() + L":" + line->GetContent() + L"|";
    }
    EXPECT_EQ(L"K:1|Flag:|K:2|:orphan value|", seen);
    EXPECT_EQ(nullptr, reader.GetFirstLinePosition(L"missing"));

    Load(reader, L"[Empty]\n");
    EXPECT_EQ(nullptr, reader.GetFirstLinePosition(L"Empty"));
    Resource::POSITION null = nullptr;
    try {
        reader.GetNextLine(null);
        FAIL() << "a null position must raise";
    } catch (const Base::CFailure& failure) {
        EXPECT_EQ(E_FAIL, failure.GetCode());
    }
}

TEST(IniReader, NumberedKeysFallBackToTheUnnumberedOne)
{
    CIniReader reader;
    Load(reader, L"[S]\nImageFile=base\nImageFile3=three\n");
    CSection* s = reader.FindSection(L"S");
    EXPECT_EQ(L"three", s->FindLine(L"ImageFile", 3)->GetContent());
    EXPECT_EQ(L"base", s->FindLine(L"ImageFile", 2)->GetContent());
    EXPECT_EQ(L"base", s->FindLine(L"imagefile", -1)->GetContent());
    EXPECT_EQ(nullptr, s->FindLine(L"Other", 1));
}

TEST(IniReader, LongLinesStayWholeAndSeparate)
{
    std::wstring value(300, L'v');
    std::wstring longer(70000, L'w');
    CIniReader reader;
    Load(reader, L"[S]\nA=" + value + L"\nB=2\nC=" + longer + L"\nD=4");
    EXPECT_EQ(value, reader.GetString(L"S", L"A"));
    EXPECT_EQ(2, reader.GetInt(L"S", L"B"));
    EXPECT_EQ(longer, reader.GetString(L"S", L"C"));
    EXPECT_EQ(4, reader.GetInt(L"S", L"D"));  // last line without a line feed
}

TEST(IniReader, MissingKeysAndBadIndexes)
{
    CIniReader reader;
    Load(reader, L"[S]\nk=1\n");
    EXPECT_EQ(0, reader.GetInt(L"S", L"none"));
    EXPECT_EQ(L"", reader.GetString(L"none", L"k"));
    EXPECT_EQ(nullptr, reader.FindFirstLine(nullptr, L"k"));
    for (int bad : {-1, 1}) {
        try {
            reader.GetSection(bad);
            FAIL();
        } catch (const Base::CFailure& failure) {
            EXPECT_EQ(E_INVALIDARG, failure.GetCode());
        }
        EXPECT_THROW(reader.GetSection(0)->GetLine(bad), Base::CFailure);
    }
}

TEST(IniReader, LoadsAppendAndClearEmpties)
{
    CIniReader reader;
    Load(reader, L"[A]\nx=1\n");
    Load(reader, L"y=2\n[B]\n");
    EXPECT_EQ(2, reader.GetSectionCount());
    EXPECT_EQ(2, reader.GetInt(L"A", L"y"));  // lines before a header join the last section

    reader.Clear();
    EXPECT_EQ(0, reader.GetSectionCount());
    // After Clear, stray lines have no section to go to (and must not touch freed memory).
    Load(reader, L"z=3\n[C]\nw=4\n");
    EXPECT_EQ(1, reader.GetSectionCount());
    EXPECT_EQ(4, reader.GetInt(L"C", L"w"));
}

TEST(IniReader, OddByteCountsAndEmptyInput)
{
    std::vector<uint8_t> bytes = TestCommon::Utf16Bytes(L"[S]\nk=7", true);
    bytes.push_back('9');  // a stray odd byte is ignored
    TestCommon::CGuardedBuffer guarded(bytes);
    CIniReader reader;
    EXPECT_TRUE(reader.LoadFromMemory(guarded.Data(), guarded.Size()));
    EXPECT_EQ(7, reader.GetInt(L"S", L"k"));
    EXPECT_TRUE(reader.LoadFromMemory(nullptr, 0));
    EXPECT_TRUE(reader.LoadFromMemory(guarded.Data(), 1));
}

TEST(IniReader, FilesAreReadAndMissingOrLockedFilesFail)
{
    TestCommon::CTempDir dir;
    std::wstring path = dir.File(L"style.ini");
    auto bytes = TestCommon::Utf16Bytes(L"[Config]\r\nName=Test\r\n", true);
    ASSERT_TRUE(TestCommon::WriteFileBytes(path, bytes.data(), bytes.size()));

    CIniReader reader;
    EXPECT_TRUE(reader.LoadFromFile(path.c_str()));
    EXPECT_EQ(L"Test", reader.GetString(L"Config", L"Name"));

    EXPECT_FALSE(reader.LoadFromFile(dir.File(L"missing.ini").c_str()));
    EXPECT_FALSE(reader.LoadFromFile(nullptr));

    // Held open without read sharing: loading must fail and add nothing.
    HANDLE lock = CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, lock);
    CIniReader locked;
    EXPECT_FALSE(locked.LoadFromFile(path.c_str()));
    EXPECT_EQ(0, locked.GetSectionCount());
    CloseHandle(lock);

    // The reader releases the file: it can be deleted right after.
    EXPECT_TRUE(reader.LoadFromFile(path.c_str()));
    EXPECT_TRUE(DeleteFileW(path.c_str()));

    std::wstring empty = dir.File(L"empty.ini");
    ASSERT_TRUE(TestCommon::WriteFileBytes(empty, "", 0));
    CIniReader fromEmpty;
    EXPECT_TRUE(fromEmpty.LoadFromFile(empty.c_str()));
    EXPECT_EQ(0, fromEmpty.GetSectionCount());
}

TEST(IniReader, MissingModuleResourceFails)
{
    CIniReader reader;
    EXPECT_FALSE(reader.LoadFromResource(GetModuleHandleW(nullptr), L"INIFILES", L"NONE.INI"));
    EXPECT_EQ(0, reader.GetSectionCount());
}

TEST(IniReader, LoadsFromAModuleResource)
{
    CIniReader reader;
    ASSERT_TRUE(reader.LoadFromResource(GetModuleHandleW(nullptr), L"INIFILES", L"STYLE.INI"));
    EXPECT_EQ(L"From resource", reader.GetString(L"Config", L"Name"));
    EXPECT_EQ(3, reader.GetInt(L"Config", L"Version"));
}

namespace {

// What a scan in text order finds, through positional access only.
const CSection* ScanSection(const CIniReader& reader, const std::wstring& name)
{
    for (int i = 0; i < reader.GetSectionCount(); ++i) {
        if (_wcsicmp(reader.GetSection(i)->GetName().c_str(), name.c_str()) == 0)
            return reader.GetSection(i);
    }
    return nullptr;
}

const CLine* ScanLine(const CSection* section, const std::wstring& label)
{
    for (int i = 0; section && i < section->GetLineCount(); ++i) {
        if (_wcsicmp(section->GetLine(i)->GetLabel().c_str(), label.c_str()) == 0)
            return section->GetLine(i);
    }
    return nullptr;
}

}  // namespace

TEST(IniReader, LookupsFindWhatAScanInTextOrderFinds)
{
    // Few names in changing case, so sections and labels repeat, in short
    // sections and in long ones; names are plain ASCII (what _wcsicmp folds
    // alike).
    TestCommon::CRandom random(23);
    auto name = [&](const wchar_t* stem, uint32_t kinds) {
        std::wstring out = stem + std::to_wstring(random.Below(kinds));
        for (wchar_t& c : out) {
            if (random.Below(2))
                c = static_cast<wchar_t>(towupper(c));
        }
        return out;
    };
    std::wstring text;
    for (int s = 0; s < 300; ++s) {
        text += L"[" + name(L"sec", 120) + L"]\n";
        int lines = static_cast<int>(random.Below(3) ? random.Below(6) : 8 + random.Below(40));
        for (int l = 0; l < lines; ++l)
            text += name(L"key", 30) + L"=" + std::to_wstring(s) + L"." + std::to_wstring(l) + L"\n";
    }
    CIniReader reader;
    Load(reader, text);
    // A second load: its first lines join the last section, its sections
    // repeat earlier names.
    Load(reader, L"key1=late\nkey29=late\n[SEC1]\nkey1=second\n");
    // Lines appended by hand to a long and to a short section.
    for (CSection* section : {reader.GetSection(0), reader.GetSection(reader.GetSectionCount() - 1)}) {
        for (int i = 0; i < 12; ++i)
            section->AppendLine(new CLine(L"KEY" + std::to_wstring(i % 5), L"appended"));
    }

    for (uint32_t s = 0; s < 125; ++s) {
        std::wstring section = (s & 1 ? L"SEC" : L"sec") + std::to_wstring(s);
        const CSection* expected = ScanSection(reader, section);
        ASSERT_EQ(expected, reader.FindSection(section.c_str())) << section;
        for (uint32_t k = 0; k < 32; ++k) {
            std::wstring label = (k & 1 ? L"Key" : L"kEY") + std::to_wstring(k);
            ASSERT_EQ(ScanLine(expected, label), reader.FindFirstLine(section.c_str(), label.c_str()))
                << section << L" " << label;
        }
    }
    // A name is found whole: no prefix, no longer name, nothing after Clear.
    EXPECT_EQ(nullptr, reader.FindSection(L"se"));
    EXPECT_EQ(nullptr, reader.FindSection(L"sec10x"));
    reader.Clear();
    EXPECT_EQ(nullptr, reader.FindSection(L"sec1"));
    Load(reader, L"[sec1]\nk=again\n");
    EXPECT_EQ(L"again", reader.GetString(L"SEC1", L"K"));
}
