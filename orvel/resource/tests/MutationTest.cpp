// Bounded mutation run: sample pack texts, mutated with a fixed seed, go
// through the loader and every value reader. Nothing may crash or read past
// the input (the input ends at a no-access page).
#include <gtest/gtest.h>

#include "orvel/resource/IniReader.h"
#include "tests/common/TestCommon.h"

namespace {

const wchar_t* const kSamples[] = {
    L"[Config]\r\nName=ZQ2009\r\nVersion=1\r\n[Fonts]\r\n$default$=name:Tahoma, size:8\r\n"
    L"Caption=name:Arial,size:12,bold,italic,underline,escapement:900,weight:300\r\n",
    L"[PushButton]\r\nImageFile=PUSH.BMP\r\nImageCount=5\r\nMargins=3,3,3,3\r\n"
    L"TextColor=0,0,0\r\nTextColor1=255, 255 ,255\r\nSize=75,23\r\nTransparent=TRUE\r\n"
    L"Align=\"center, vcenter\",x\r\nQuote=\"a\"\"b\" tail,\"\r\n",
    L"\xFEFF; comment\n[Back@Dialog]\nColor=236,233,216 ; note\nFill=tile\n[\n=\n[Fore@Dialog\nx\n",
};

void Exercise(const Resource::CIniReader& reader)
{
    for (int s = 0; s < reader.GetSectionCount(); ++s) {
        const Resource::CSection* section = reader.GetSection(s);
        reader.FindSection(section->GetName().c_str());
        for (int l = 0; l < section->GetLineCount(); ++l) {
            const Resource::CLine* line = section->GetLine(l);
            section->FindLine(line->GetLabel().c_str(), l);
            line->ReadContentAsInt();
            line->ReadContentAsBool();
            line->ReadContentAsColor();
            RECT rect = {};
            line->ReadContentAsRect(rect);
            SIZE size = {};
            line->ReadContentAsSize(size);
            LOGFONTW font;
            line->ReadContentAsFont(font);
            for (int f = 0; f < line->GetFieldCount(); ++f) {
                __int64 number;
                std::wstring text;
                line->ReadContentField(f, number);
                line->ReadContentField(f, text);
            }
        }
    }
}

}  // namespace

TEST(Mutation, LoaderAndValueReadersSurviveMutatedText)
{
    TestCommon::CRandom random(20261208);
    int cases = 0;
    for (int round = 0; round < 1500; ++round) {
        for (const wchar_t* sample : kSamples) {
            std::vector<uint8_t> bytes = TestCommon::Utf16Bytes(sample, round % 2 == 0);
            TestCommon::Mutate(bytes, random);
            TestCommon::CGuardedBuffer input(bytes);
            Resource::CIniReader reader;
            ASSERT_TRUE(reader.LoadFromMemory(input.Data(), input.Size()));
            Exercise(reader);
            ++cases;
        }
    }
    EXPECT_EQ(4500, cases);
}
