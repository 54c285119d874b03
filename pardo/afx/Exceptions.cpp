#include "Exceptions.h"
#include <cstdio>
#include <exception>
#include "pardo/afx/Module.h"

CRuntimeClass CException::classCException = {"CException", sizeof(CException), &CException::_GetBaseClass};
CRuntimeClass CFileException::classCFileException = {"CFileException", sizeof(CFileException), &CFileException::_GetBaseClass};
CRuntimeClass CArchiveException::classCArchiveException = {"CArchiveException", sizeof(CArchiveException), &CArchiveException::_GetBaseClass};

void CException::Delete()
{
    if (m_bAutoDelete)
        delete this;
}

bool CException::GetErrorMessage(char* buffer, UINT size) const
{
    if (buffer && size)
        buffer[0] = '\0';
    return false;
}

CRuntimeClass* CException::GetRuntimeClass() const { return &classCException; }
CRuntimeClass* CException::_GetBaseClass() { return CObject::GetThisClass(); }
CRuntimeClass* CException::GetThisClass() { return &classCException; }

CFileException::CFileException(int cause, LONG osError, const char* fileName)
    : m_cause(cause), m_lOsError(osError), m_strFileName(fileName)
{
}

bool CFileException::GetErrorMessage(char* buffer, UINT size) const
{
    if (!buffer || !size)
        return false;
    snprintf(buffer, size, "file exception: cause %d, system error %ld, file \"%s\"", m_cause,
             static_cast<long>(m_lOsError), m_strFileName.GetString());
    return true;
}

int CFileException::OsErrorToException(LONG osError)
{
    switch (osError) {
    case NO_ERROR: return none;
    case ERROR_FILE_NOT_FOUND: return fileNotFound;
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_PATHNAME:
    case ERROR_INVALID_NAME:
    case ERROR_FILENAME_EXCED_RANGE: return badPath;
    case ERROR_TOO_MANY_OPEN_FILES: return tooManyOpenFiles;
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT: return accessDenied;
    case ERROR_INVALID_HANDLE: return invalidFile;
    case ERROR_CURRENT_DIRECTORY: return removeCurrentDir;
    case ERROR_CANNOT_MAKE: return directoryFull;
    case ERROR_SEEK:
    case ERROR_NEGATIVE_SEEK: return badSeek;
    case ERROR_SHARING_VIOLATION: return sharingViolation;
    case ERROR_LOCK_VIOLATION: return lockViolation;
    case ERROR_HANDLE_DISK_FULL:
    case ERROR_DISK_FULL: return diskFull;
    case ERROR_HANDLE_EOF: return endOfFile;
    default: return genericException;
    }
}

CRuntimeClass* CFileException::GetRuntimeClass() const { return &classCFileException; }
CRuntimeClass* CFileException::_GetBaseClass() { return CException::GetThisClass(); }
CRuntimeClass* CFileException::GetThisClass() { return &classCFileException; }

CArchiveException::CArchiveException(int cause, const char* fileName)
    : m_cause(cause), m_strFileName(fileName)
{
}

bool CArchiveException::GetErrorMessage(char* buffer, UINT size) const
{
    if (!buffer || !size)
        return false;
    snprintf(buffer, size, "archive exception: cause %d, file \"%s\"", m_cause, m_strFileName.GetString());
    return true;
}

CRuntimeClass* CArchiveException::GetRuntimeClass() const { return &classCArchiveException; }
CRuntimeClass* CArchiveException::_GetBaseClass() { return CException::GetThisClass(); }
CRuntimeClass* CArchiveException::GetThisClass() { return &classCArchiveException; }

namespace Pardo {

void ThrowFileException(int cause, LONG osError, const char* fileName)
{
    throw new CFileException(cause, osError, fileName);
}

void ThrowArchiveException(int cause, const char* fileName)
{
    throw new CArchiveException(cause, fileName);
}

void ReportCurrentException(const char* where) noexcept
{
    char text[512];
    try {
        throw;
    } catch (CException* e) {
        char message[400] = "";
        if (!e->GetErrorMessage(message, sizeof message))
            snprintf(message, sizeof message, "%s", e->GetRuntimeClass()->m_lpszClassName);
        snprintf(text, sizeof text, "Pardo: %s: %s", where, message);
        e->Delete();
    } catch (const std::exception& e) {
        snprintf(text, sizeof text, "Pardo: %s: %s", where, e.what());
    } catch (...) {
        snprintf(text, sizeof text, "Pardo: %s: unknown exception", where);
    }
    ReportException(text);
}

}  // namespace Pardo
