#pragma once
// Pardo's own application framework: run-time class information.
#include <windows.h>
#include "pardo/PardoExport.h"

class CObject;

struct PARDO_API CRuntimeClass {
    const char* m_lpszClassName;
    int m_nObjectSize;
    CRuntimeClass* (*m_pfnGetBaseClass)();

    bool IsDerivedFrom(const CRuntimeClass* base) const;
};

class PARDO_API CObject {
public:
    virtual ~CObject();
    virtual CRuntimeClass* GetRuntimeClass() const;
    bool IsKindOf(const CRuntimeClass* type) const;

    static CRuntimeClass classCObject;
    static CRuntimeClass* _GetBaseClass();
    static CRuntimeClass* GetThisClass();

protected:
    CObject() = default;
    CObject(const CObject&) = default;
    CObject& operator=(const CObject&) = default;
};
