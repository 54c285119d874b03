#include <gtest/gtest.h>
#include <stdexcept>
#include "pardo/PardoExport.h"

// The 32-bit side unwinds with DWARF tables; this fails when libgcc is
// linked statically into each module.
TEST(PardoModule, ExceptionCrossesModuleBoundary)
{
    EXPECT_NO_THROW(PardoInternal::RaiseForTest(0));
    EXPECT_THROW(PardoInternal::RaiseForTest(1), std::runtime_error);
}
