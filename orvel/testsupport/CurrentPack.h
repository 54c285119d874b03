#pragma once
// Makes a pack the current style for the lifetime of the object: the pack
// alone in a style folder of its own, loaded through the style manager.
#include <string>
#include "PackMaker.h"

namespace TestSupport {

class CCurrentPack {
public:
    explicit CCurrentPack(const SPackSource& source);
    ~CCurrentPack();
    CCurrentPack(const CCurrentPack&) = delete;
    CCurrentPack& operator=(const CCurrentPack&) = delete;

    // The pack was made and loaded.
    bool Ok() const { return m_bOk; }
    const std::wstring& Error() const { return m_pack.Error(); }

private:
    CTestPack m_pack;
    std::wstring m_strOldStyleDir;
    bool m_bOk = false;
};

}  // namespace TestSupport
