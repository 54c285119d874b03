#pragma once
// The owner of the current style: the list of packs in the style folder,
// the user's choice (registry value "StyleName"), loading the chosen pack,
// switching packs and languages, and making every glyph re-fetch its
// painter afterwards.
#include <windows.h>
#include <string>
#include <vector>
#include "../base/Export.h"
#include "Style.h"

namespace Glyph {
class CGlyph;
}

namespace Style {

// One pack found in the style folder. Names longer than a field are cut.
struct SZqStyle {
    wchar_t name[64];       // internal name (string 101, neutral), lower case
    wchar_t showName[64];   // string 101 in the manager's language
    wchar_t path[260];      // full path of the pack file
    HBITMAP demoPicture;    // "Pic_demo.bmp" or null; owned by the list
    HBITMAP smallPicture;   // "Pic_small.bmp" or null; owned by the list
};

class ORVEL_API CStyleManager {
public:
    static constexpr wchar_t kDefaultStyleName[] = L"ZQ2009";
    static constexpr wchar_t kStateKey[] = L"Orvel";
    static constexpr wchar_t kStateValue[] = L"StyleName";
    // Screens this dense use a pack's ".big" companion when there is one.
    static constexpr int kBigPackDpi = 120;

    // Created on first call (then LoadState); an allocation failure raises
    // the out-of-memory failure.
    static CStyleManager& GetInstance();
    static void ReleaseInstance();
    static CStyle& GetStyleInstance();

    virtual ~CStyleManager();
    CStyleManager(const CStyleManager&) = delete;
    CStyleManager& operator=(const CStyleManager&) = delete;

    // Tries LoadCurrentStyle when nothing is loaded; the style in any case.
    CStyle& GetCurrentStyle();
    // Rebuilds the list and loads the pack of the current name (the first
    // pack when the name is not listed). False when no pack loads.
    bool LoadCurrentStyle();
    bool IsStyleLoaded() const { return m_bLoaded; }
    // Reloads when the pack's resource language changes by this.
    void SetCurrentLang(WORD language);
    WORD GetCurrentLang() const { return m_nLanguage; }
    // "StyleName" from the registry; missing or empty gives "ZQ2009".
    void LoadState();
    void SaveState(const wchar_t* name);
    const std::wstring& GetCurrentName() const { return m_strCurrentName; }
    // 0 for null or the current name (ASCII case ignored); otherwise saves
    // the choice, reloads, resets and redraws every glyph, and returns 1.
    int SelectStyle(const wchar_t* name);

    int GetStyleCount() const { return static_cast<int>(m_styles.size()); }
    // Null at or beyond the count; valid until the next reload.
    const SZqStyle* GetStyleAt(int index) const;
    // -1 for null, empty or unknown names.
    int FindStyle(const wchar_t* name) const;
    // Leaves menu alone.
    bool BuildStyleMenu(HMENU menu, UINT firstCommand);

    // Glyphs that hold a painter: the handler re-fetches it for one glyph.
    // Set by the styled-glyph layer; null leaves every glyph alone.
    using GlyphStyleHandler = void (*)(Glyph::CGlyph* glyph);
    static void SetGlyphStyleHandler(GlyphStyleHandler handler);
    // The screen's horizontal dots per inch as the ".big" choice sees it;
    // 0 asks the screen (tests set other values).
    static void OverrideScreenDpi(int dpi);

protected:
    CStyleManager();

    int FindStyleName(const wchar_t* name) const;
    void EmptyStyleList();
    void BuildStyleInfo();
    std::wstring GetStylePathFile(const wchar_t* name) const;
    void ResetAllGlyphPainter();
    void RedrawAllGlyph();

private:
    CStyle m_pStyle;
    std::vector<SZqStyle> m_styles;
    std::wstring m_strCurrentName;
    bool m_bLoaded = false;
    WORD m_nLanguage = MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT);
    bool m_bListBuilt = false;
};

}  // namespace Style

extern "C" {
// LoadState then LoadCurrentStyle: 1 when a pack is loaded, else 0.
ORVEL_API BOOL NotifyStyleChanged();
}
