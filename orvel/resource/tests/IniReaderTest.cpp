#include <gtest/gtest.h>
#include "orvel/resource/IniReader.h"
TEST(Smoke, Loads) { Resource::CIniReader r; std::wstring t = L"[A]\nk=1\n"; EXPECT_TRUE(r.LoadFromMemory(t.data(), t.size()*2)); EXPECT_EQ(1, r.GetInt(L"a", L"K")); }
