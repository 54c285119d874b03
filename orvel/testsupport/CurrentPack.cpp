#include "CurrentPack.h"

#include "orvel/host/Global.h"
#include "orvel/style/StyleManager.h"

namespace TestSupport {

CCurrentPack::CCurrentPack(const SPackSource& source) : m_pack(source)
{
    COrvelGlobal& global = COrvelGlobal::GetInstance();
    m_strOldStyleDir = global.GetStyleDir();
    Style::CStyleManager::ReleaseInstance();
    if (!m_pack.Ok())
        return;
    global.SetStyleDir(m_pack.Folder() + L"\\");
    m_bOk = Style::CStyleManager::GetInstance().LoadCurrentStyle();
}

CCurrentPack::~CCurrentPack()
{
    Style::CStyleManager::ReleaseInstance();
    COrvelGlobal::GetInstance().SetStyleDir(m_strOldStyleDir);
}

}  // namespace TestSupport
