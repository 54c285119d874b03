#pragma once
// Helpers of Vantrel's tests: files of the shared test data and small
// drawings written here.
#include <windows.h>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

namespace VantrelTest {

// A file of ../shared/testdata/cad, read once per test binary; empty when
// the test data is not there.
const std::vector<uint8_t>& CadFile(const char* name);

using Groups = std::vector<std::pair<int, std::string>>;

// ASCII DXF text from (code, value) pairs.
std::string AsciiDxf(const Groups& groups);
// A section of that name around the groups.
Groups Section(const char* name, const Groups& body);
// The parts one after the other, and the end of the file.
Groups Join(std::initializer_list<Groups> parts);

// Plays a rendered drawing at its own bounds: a logical unit a pixel.
void PlayAtBounds(HENHMETAFILE emf, HDC dc);

}  // namespace VantrelTest
