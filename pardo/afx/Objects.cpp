#include "Objects.h"

bool CRuntimeClass::IsDerivedFrom(const CRuntimeClass* base) const
{
    for (const CRuntimeClass* type = this; type; type = type->m_pfnGetBaseClass ? type->m_pfnGetBaseClass() : nullptr)
        if (type == base)
            return true;
    return false;
}

CRuntimeClass CObject::classCObject = {"CObject", sizeof(CObject), nullptr};

CObject::~CObject() = default;

CRuntimeClass* CObject::GetRuntimeClass() const
{
    return &classCObject;
}

bool CObject::IsKindOf(const CRuntimeClass* type) const
{
    return GetRuntimeClass()->IsDerivedFrom(type);
}

CRuntimeClass* CObject::_GetBaseClass()
{
    return nullptr;
}

CRuntimeClass* CObject::GetThisClass()
{
    return &classCObject;
}
