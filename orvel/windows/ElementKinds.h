#pragma once
// The element kinds the styled windows paint, each with the visual states
// its painting asks for: one table, so a pack can be checked against it.
#include <cstddef>
#include "../base/Export.h"
#include "../style/Style.h"

namespace Windows {

// What the painting draws of a kind's painter.
enum EElementLayers : unsigned {
    // Read for its keys and margins only, or a composition whose parts
    // draw themselves over whatever background it may have.
    kNoLayer = 0,
    kBackLayer = 1,
    kForeLayer = 2,
    kBothLayers = kBackLayer | kForeLayer,
};

struct SElementKindUse {
    Style::CStyle::PainterType type;
    int states;             // the painting asks for states 0 .. states - 1
    const wchar_t* user;    // the styled class (or manager operation) painting it
    unsigned layers;        // EElementLayers
};

// Every element kind any Enable operation or exported function paints.
ORVEL_API const SElementKindUse* GetStyledElementKinds(size_t* count);

}  // namespace Windows
