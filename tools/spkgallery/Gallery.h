#pragma once
// spkgallery PACK OUTDIR: every element kind a pack defines, drawn by its
// painter in every state at three sizes, one PNG sheet per styled control.
#include <string>
#include <vector>
#include "tests/common/Screenshot.h"

namespace Style {
class CStyle;
}

namespace Gallery {

struct SSheet {
    std::wstring name;  // the styled control painting its kinds, or "Other"
    Screenshot::SPixels pixels;
};

// Sizes a kind is drawn at: its natural size (image or text), wider, and
// larger both ways, so nine-part margins and alignment show.
constexpr int kSizeCount = 3;

// The sheets of a loaded pack, in the order of the styled controls'
// element-kind table; kinds no styled control paints come last.
std::vector<SSheet> RenderGallery(Style::CStyle& style, const std::wstring& title);

// Loads a built pack (.spk or .spk.big), or compiles a pack's source folder
// first, and writes <OUTDIR>\<Pack>_<sheet>.png (<Pack>_big_<sheet>.png for
// a companion); false with a message on the first failure.
bool WriteGallery(const std::wstring& pack, const std::wstring& folder,
                  std::vector<std::wstring>& written, std::wstring& error);

// The file-name form of a sheet name: letters and digits only.
std::wstring SheetFileName(const std::wstring& name);

}  // namespace Gallery
