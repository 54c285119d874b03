#pragma once
// Helpers of Vantrel's tests: files of the shared test data and small
// drawings written here.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace VantrelTest {

// A file of ../shared/testdata/cad, read once per test binary; empty when
// the test data is not there.
const std::vector<uint8_t>& CadFile(const char* name);

// ASCII DXF text from (code, value) pairs.
std::string AsciiDxf(const std::vector<std::pair<int, std::string>>& groups);

}  // namespace VantrelTest
