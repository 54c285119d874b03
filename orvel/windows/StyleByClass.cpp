#include "StyleByClass.h"

#include <algorithm>
#include <commctrl.h>
#include "StyledWndManager.h"

namespace Windows {

namespace {

struct SWalk {
    Windows::CStyledWndManager* styles;
    const int* links;
    size_t linkCount;
    int styled;
};

bool IsClass(const wchar_t* className, const wchar_t* name)
{
    return _wcsicmp(className, name) == 0;
}

bool StyleButton(Windows::CStyledWndManager& styles, HWND window, bool link)
{
    switch (GetWindowLongPtrW(window, GWL_STYLE) & BS_TYPEMASK) {
    case BS_PUSHBUTTON:
    case BS_DEFPUSHBUTTON:
        return link ? styles.EnableHyperLinkStyled(window) : styles.EnablePushButtonStyled(window);
    case BS_CHECKBOX:
    case BS_AUTOCHECKBOX:
    case BS_3STATE:
    case BS_AUTO3STATE:
        return styles.EnableCheckButtonStyled(window);
    case BS_RADIOBUTTON:
    case BS_AUTORADIOBUTTON:
        return styles.EnableRadioButtonStyledXP(window);
    default:
        // Group boxes and owner-drawn buttons keep their own painting.
        return false;
    }
}

bool StyleWindow(Windows::CStyledWndManager& styles, HWND window, bool link)
{
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    if (IsClass(name, L"#32770"))
        return styles.EnableFrameStyled(window);
    if (IsClass(name, WC_BUTTONW))
        return StyleButton(styles, window, link);
    if (IsClass(name, WC_STATICW)) {
        // Text statics only: icons, bitmaps, frames and etched lines stay native.
        LONG_PTR type = GetWindowLongPtrW(window, GWL_STYLE) & SS_TYPEMASK;
        return (type == SS_LEFT || type == SS_CENTER || type == SS_RIGHT) && styles.EnableStaticStyled(window);
    }
    if (IsClass(name, WC_EDITW))
        return styles.EnableEditStyled(window);
    if (IsClass(name, WC_COMBOBOXW))
        return styles.EnableComboStyled(window);
    if (IsClass(name, WC_LISTBOXW))
        return styles.EnableListBoxStyled(window);
    if (IsClass(name, WC_SCROLLBARW))
        return styles.EnableScrollBarStyled(window);
    if (IsClass(name, TRACKBAR_CLASSW))
        return styles.EnableTrackBarStyled(window);
    if (IsClass(name, PROGRESS_CLASSW))
        return styles.EnableProgressBarStyled(window);
    if (IsClass(name, UPDOWN_CLASSW))
        return styles.EnableSpinButtonStyled(window);
    if (IsClass(name, WC_TABCONTROLW))
        return styles.EnableTabCtrlStyled(window);
    if (IsClass(name, WC_LISTVIEWW))
        return styles.EnableListViewStyled(window);
    if (IsClass(name, WC_TREEVIEWW))
        return styles.EnableTreeCtrlColored(window);
    return false;
}

BOOL CALLBACK StyleChild(HWND window, LPARAM lParam)
{
    auto& walk = *reinterpret_cast<SWalk*>(lParam);
    // The walk reaches every descendant. Only the dialogs' own children are
    // the host's controls: the edit inside a drop-down combo box, a list
    // view's header and the like belong to their control.
    wchar_t parent[16] = {};
    GetClassNameW(GetParent(window), parent, 16);
    if (!IsClass(parent, L"#32770"))
        return TRUE;
    int id = GetDlgCtrlID(window);
    bool link = walk.links && std::find(walk.links, walk.links + walk.linkCount, id) != walk.links + walk.linkCount;
    if (StyleWindow(*walk.styles, window, link))
        ++walk.styled;
    return TRUE;
}

}  // namespace

int StyleDialogByClass(HWND dialog, const int* linkIds, size_t linkCount)
{
    Windows::CStyledWndManager* styles = GetWindowStyle();
    if (!styles || !IsWindow(dialog))
        return 0;
    SWalk walk = {styles, linkIds, linkCount, 0};
    if (styles->EnableFrameStyled(dialog))
        ++walk.styled;
    EnumChildWindows(dialog, StyleChild, reinterpret_cast<LPARAM>(&walk));
    return walk.styled;
}

}  // namespace Windows
