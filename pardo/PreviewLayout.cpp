#include "PreviewLayout.h"
#include <cmath>

namespace Pardo {

DWORD InitialFlags(DWORD flags, bool showPanel, bool strictPaths)
{
    if (showPanel)
        flags |= OFN_ENABLETEMPLATE;
    if (strictPaths)
        flags |= OFN_OVERWRITEPROMPT | OFN_NOCHANGEDIR | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST |
                 OFN_NOTESTFILECREATE | OFN_NONETWORKBUTTON;
    return flags;
}

CRect PreviewSquare(const RECT& anchor, int width, int height)
{
    int top = anchor.bottom + 20;
    return CRect(anchor.left, top, anchor.left + width, top + height);
}

CRect PreviewClip(const RECT& square)
{
    return CRect(square.left + 1, square.top + 1, square.right - 1, square.bottom - 1);
}

CRect PreviewCheckBox(const RECT& anchor, const RECT& square)
{
    int top = square.bottom + 15;
    return CRect(anchor.left, top, anchor.right, top + 20);
}

CString FilterDescription(const char* filter, DWORD index)
{
    if (!filter || !*filter)
        return CString();
    const char* first = filter;
    const char* p = filter;
    for (DWORD k = 1; k < index; ++k) {
        p += strlen(p) + 1;  // description
        if (!*p)
            return CString(first);
        p += strlen(p) + 1;  // pattern
        if (!*p)
            return CString(first);
    }
    return CString(p);
}

CString FileExtension(const char* path)
{
    if (!path)
        return CString();
    const char* dot = nullptr;
    for (const char* p = path; *p; p = CharNextA(p)) {
        if (*p == '\\' || *p == '/' || *p == ':')
            dot = nullptr;
        else if (*p == '.')
            dot = p;
    }
    return CString(dot);
}

bool ImagePlacement(int w, int h, int x, int y, int cx, int cy, CRect* placement)
{
    if (w <= 0 || h <= 0 || cx <= 0 || cy <= 0)
        return false;
    // s = box / longer side. The products are formed before dividing, so
    // that the fitted side comes out exactly as long as the box (118 / 400
    // is not exact in binary, and 400 * (118 / 400) truncates to 117).
    double box = w > h ? cx : cy;
    double longer = w > h ? w : h;
    double scaledW = w * box / longer;
    double scaledH = h * box / longer;
    int cxc = x + cx / 2;
    int cyc = y + cy / 2;
    int left = static_cast<int>(std::trunc(cxc - scaledW / 2));
    int top = static_cast<int>(std::trunc(cyc - scaledH / 2));
    int width = static_cast<int>(std::trunc(scaledW));
    int height = static_cast<int>(std::trunc(scaledH));
    *placement = CRect(left, top, left + width, top + height);
    return true;
}

}  // namespace Pardo
