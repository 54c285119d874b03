#pragma once
// Pardo's own application framework: exceptions. They are thrown as heap
// pointers and released with Delete(), the framework's convention:
//     try { ... } catch (CException* e) { ...; e->Delete(); }
#include "pardo/afx/Objects.h"
#include "pardo/afx/Strings.h"

class PARDO_API CException : public CObject {
public:
    // Releases a heap exception; a no-op for one that was not made by new.
    void Delete();
    virtual bool GetErrorMessage(char* buffer, UINT size) const;
    CRuntimeClass* GetRuntimeClass() const override;
    static CRuntimeClass classCException;
    static CRuntimeClass* _GetBaseClass();
    static CRuntimeClass* GetThisClass();

protected:
    explicit CException(bool autoDelete = true) : m_bAutoDelete(autoDelete) {}
    bool m_bAutoDelete;
};

class PARDO_API CFileException : public CException {
public:
    enum {
        none, genericException, fileNotFound, badPath, tooManyOpenFiles, accessDenied,
        invalidFile, removeCurrentDir, directoryFull, badSeek, hardIO, sharingViolation,
        lockViolation, diskFull, endOfFile
    };
    explicit CFileException(int cause = none, LONG osError = -1, const char* fileName = nullptr);

    bool GetErrorMessage(char* buffer, UINT size) const override;
    static int OsErrorToException(LONG osError);

    int m_cause;
    LONG m_lOsError;
    CString m_strFileName;

    CRuntimeClass* GetRuntimeClass() const override;
    static CRuntimeClass classCFileException;
    static CRuntimeClass* _GetBaseClass();
    static CRuntimeClass* GetThisClass();
};

class PARDO_API CArchiveException : public CException {
public:
    enum { none, genericException, readOnly, endOfFile, writeOnly, badIndex, badClass, badSchema };
    explicit CArchiveException(int cause = none, const char* fileName = nullptr);

    bool GetErrorMessage(char* buffer, UINT size) const override;

    int m_cause;
    CString m_strFileName;

    CRuntimeClass* GetRuntimeClass() const override;
    static CRuntimeClass classCArchiveException;
    static CRuntimeClass* _GetBaseClass();
    static CRuntimeClass* GetThisClass();
};

namespace Pardo {

[[noreturn]] PARDO_API void ThrowFileException(int cause, LONG osError = -1, const char* fileName = nullptr);
[[noreturn]] PARDO_API void ThrowArchiveException(int cause, const char* fileName = nullptr);

// Runs fn; a framework exception passes unchanged, any other becomes a
// file exception with the given cause, operating-system error -1 and file
// name.
template <class Fn>
auto TranslateForeign(Fn&& fn, int cause, const char* fileName = nullptr) -> decltype(fn())
{
    try {
        return fn();
    } catch (CException*) {
        throw;
    } catch (...) {
        ThrowFileException(cause, -1, fileName);
    }
}

// Describes the exception in flight (call from a catch block) and reports
// it; releases a framework exception.
PARDO_API void ReportCurrentException(const char* where) noexcept;

}  // namespace Pardo
