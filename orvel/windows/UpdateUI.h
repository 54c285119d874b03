#pragma once
// The update-UI map a host keeps for its commands: which of them are
// enabled right now. Only what the task panes read of it: ids, states and
// enabling; the map's entries end with the id kUpdateUIMapEnd.
#include <windows.h>
#include <vector>
#include "../base/Export.h"

namespace Windows {

constexpr WORD kUpdateUIMapEnd = 0xFFFF;
constexpr WORD UPDUI_ENABLED = 0x0000;
constexpr WORD UPDUI_DISABLED = 0x0100;

struct SUpdateUIMap {
    WORD m_nID;
};

struct SUpdateUIData {
    WORD m_wState;
};

class ORVEL_API CUpdateUIBase {
public:
    // map stays the caller's and ends with an entry of id kUpdateUIMapEnd;
    // null is an empty map. Every command starts enabled.
    explicit CUpdateUIBase(const SUpdateUIMap* map);

    const SUpdateUIMap* GetUpdateUIMap() const { return m_pUIMap; }
    // The state of the command, or false when the map does not hold it. A
    // 64-bit id above the map's word range is never in it.
    bool UIGetState(UINT64 id, WORD& state) const;
    // False when the map does not hold the command.
    bool UIEnable(UINT64 id, bool enable);

private:
    // Index of the command in the map, or -1.
    ptrdiff_t Find(UINT64 id) const;

    const SUpdateUIMap* m_pUIMap;
    std::vector<SUpdateUIData> m_UIData;
};

}  // namespace Windows
