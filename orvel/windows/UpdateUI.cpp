#include "UpdateUI.h"

namespace Windows {

CUpdateUIBase::CUpdateUIBase(const SUpdateUIMap* map) : m_pUIMap(map)
{
    size_t count = 0;
    while (map && map[count].m_nID != kUpdateUIMapEnd)
        ++count;
    m_UIData.assign(count, SUpdateUIData{UPDUI_ENABLED});
}

ptrdiff_t CUpdateUIBase::Find(UINT64 id) const
{
    if (id >= kUpdateUIMapEnd)
        return -1;
    for (size_t i = 0; i < m_UIData.size(); ++i) {
        if (m_pUIMap[i].m_nID == id)
            return static_cast<ptrdiff_t>(i);
    }
    return -1;
}

bool CUpdateUIBase::UIGetState(UINT64 id, WORD& state) const
{
    const ptrdiff_t index = Find(id);
    if (index < 0)
        return false;
    state = m_UIData[static_cast<size_t>(index)].m_wState;
    return true;
}

bool CUpdateUIBase::UIEnable(UINT64 id, bool enable)
{
    const ptrdiff_t index = Find(id);
    if (index < 0)
        return false;
    WORD& state = m_UIData[static_cast<size_t>(index)].m_wState;
    state = enable ? static_cast<WORD>(state & ~UPDUI_DISABLED) : static_cast<WORD>(state | UPDUI_DISABLED);
    return true;
}

}  // namespace Windows
