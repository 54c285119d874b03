#include "FilePreview.h"

namespace {

bool IsOneOf(const char* extension, const char* const* list)
{
    CString lower(extension);
    lower.MakeLower();
    for (; *list; ++list)
        if (lower == *list)
            return true;
    return false;
}

}  // namespace

CQRNFilePreview::CQRNFilePreview() = default;

CQRNFilePreview::CQRNFilePreview(const CQRNFilePreview& other) : IQRNFilePreview(), m_strFile(other.m_strFile)
{
}

CQRNFilePreview& CQRNFilePreview::operator=(const CQRNFilePreview& other)
{
    m_strFile = other.m_strFile;
    return *this;
}

CQRNFilePreview::~CQRNFilePreview()
{
    m_strFile.Empty();
}

void CQRNFilePreview::SetPreviewFile(const char* path)
{
    Pardo::TranslateForeign(
        [&] {
            CString lower(path);
            lower.MakeLower();
            m_strFile = static_cast<CString&&>(lower);
        },
        CFileException::genericException, m_strFile);
}

void CQRNFilePreview::DrawPreview(CWnd*, HDC, int, int, int, int)
{
}

bool CQRNFilePreview::isPreviewForFileType(const char* extension)
{
    static const char* const kExtensions[] = {".bmp", ".gif", ".jpg", ".jpeg", ".png", ".emf", ".tif", ".tiff", nullptr};
    return IsOneOf(extension, kExtensions);
}

void CQRNFilePreview::DrawNoPreviewAvailable(HDC, int, int, int, int)
{
}

namespace Pardo {
// Shared with the image provider.
bool IsExtensionOneOf(const char* extension, const char* const* list)
{
    return IsOneOf(extension, list);
}
}  // namespace Pardo
