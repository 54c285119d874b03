// The log file: where it goes, what a record holds, the line-length rule
// and the rotation.
#include <gtest/gtest.h>
#include <string>
#include "HostTestUtil.h"
#include "tests/common/TestCommon.h"

using HostTest::CEnvironment;
using HostTest::CTestGlobal;

namespace {

// A services object whose installation directory is a fresh folder.
class LogFixture : public ::testing::Test {
protected:
    LogFixture() : m_install(L"TESSALY_INSTALL_DIR", m_dir.Path()) {}

    std::wstring LogPath() const
    {
        wchar_t app[MAX_PATH];
        DWORD n = GetModuleFileNameW(nullptr, app, MAX_PATH);
        std::wstring name(app, n);
        name = name.substr(name.find_last_of(L'\\') + 1);
        return m_dir.Path() + L"\\Data\\ZQLog\\" + name + L".log";
    }
    std::string Log() const { return HostTest::ReadBytes(LogPath()); }
    static size_t Count(const std::string& text, const std::string& part)
    {
        size_t n = 0;
        for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
            ++n;
        return n;
    }

    TestCommon::CTempDir m_dir;
    CEnvironment m_install;
};

}  // namespace

TEST_F(LogFixture, RecordLines)
{
    CTestGlobal global;
    EXPECT_EQ(global.GetLogFilePath(), LogPath());
    global.WriteLog("scan started", ERROR_ACCESS_DENIED, 42);
    std::string log = Log();
    ASSERT_FALSE(log.empty());
    // "yyyy-mm-dd hh:mm:ss " before each line.
    ASSERT_GT(log.size(), 20u);
    EXPECT_EQ(log[4], '-');
    EXPECT_EQ(log[13], ':');
    EXPECT_EQ(log.substr(19, 16), " scan started \r\n");
    EXPECT_NE(log.find(" APICode : 0x00000005 "), std::string::npos);
    EXPECT_NE(log.find(" modCode : 42 \r\n"), std::string::npos);
    EXPECT_NE(log.find("orvel_host_tests.exe \r\n\r\n"), std::string::npos);
    EXPECT_EQ(log.substr(log.size() - 4), "\r\n\r\n");

    // Codes of 0 leave their lines out; wide text joins message and detail.
    global.WriteLogW(L"update", L"finished", 0, 0);
    log = Log();
    EXPECT_NE(log.find(" update finished \r\n"), std::string::npos);
    EXPECT_EQ(Count(log, "APICode"), 1u);
    EXPECT_EQ(Count(log, "modCode"), 1u);

    // Logging off, or no message: nothing.
    size_t size = log.size();
    global.WriteLog(nullptr, 5, 5);
    global.EnableLog(false);
    global.WriteLog("quiet", 0, 0);
    EXPECT_EQ(Log().size(), size);
}

TEST_F(LogFixture, LongMessageLeavesOnlyItsOwnLineOut)
{
    CTestGlobal global;
    std::string message(1024, 'x');
    global.WriteLog(message.c_str(), 0, 7);
    std::string log = Log();
    EXPECT_EQ(log.find("xxxx"), std::string::npos);
    EXPECT_NE(log.find(" modCode : 7 \r\n"), std::string::npos);
    EXPECT_NE(log.find("orvel_host_tests.exe \r\n\r\n"), std::string::npos);
}

TEST_F(LogFixture, RotatesAbove768000Bytes)
{
    CTestGlobal global;
    global.WriteLog("first", 0, 0);
    const std::wstring path = LogPath();
    const std::string filler(768000, 'f');

    // Exactly the limit: appended to.
    ASSERT_TRUE(TestCommon::WriteFileBytes(path, filler.data(), filler.size()));
    global.WriteLog("second", 0, 0);
    std::string log = Log();
    EXPECT_GT(log.size(), filler.size());
    EXPECT_EQ(log.compare(0, filler.size(), filler), 0);

    // One byte more: started anew with the new record only.
    std::string over = filler + "f";
    ASSERT_TRUE(TestCommon::WriteFileBytes(path, over.data(), over.size()));
    global.WriteLog("third", 0, 0);
    log = Log();
    EXPECT_LT(log.size(), 1024u);
    EXPECT_EQ(log.find('f' + std::string("ff")), std::string::npos);
    EXPECT_NE(log.find(" third \r\n"), std::string::npos);
    EXPECT_EQ(Count(log, "\r\n\r\n"), 1u);
}

TEST_F(LogFixture, UnusableFolderIsSkipped)
{
    // "Data" is a file, so neither log folder can be made.
    ASSERT_TRUE(TestCommon::WriteFileBytes(m_dir.Path() + L"\\Data", "x", 1));
    CTestGlobal global;
    global.WriteLog("nowhere", 5, 5);
    global.WriteLogW(L"nowhere", nullptr, 0, 0);
    EXPECT_TRUE(Log().empty());
}
