#include "MirekFilePreview.h"
#include <zlib.h>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include "siblings/tamberkit/Tamberkit.h"

namespace Pardo {
bool IsExtensionOneOf(const char* extension, const char* const* list);
}

namespace {

// No allocation for an inflated body goes beyond this, whatever a file says.
constexpr ULONGLONG kMaxBody = 256ull * 1024 * 1024;
// A compressed body larger than this is not read at all.
constexpr ULONGLONG kMaxFile = 256ull * 1024 * 1024;

struct MallocHolder {
    BYTE* data = nullptr;
    ~MallocHolder() { free(data); }
};

// Releases what the reading made, on every way out.
struct ReadingState {
    Block* block = nullptr;
    CMemFile* memory = nullptr;
    CArchive* archive = nullptr;
    BYTE* inflated = nullptr;
    ~ReadingState()
    {
        if (block) {
            block->SetWBDocument(nullptr);
            block->FreeData();
            delete block;
        }
        delete archive;
        delete memory;
        free(inflated);
    }
};

}  // namespace

namespace Pardo {

ULONGLONG MaxInflatedLength(ULONGLONG sourceLength)
{
    // Deflate's best ratio is 1032:1 (258-byte matches of one bit each).
    return sourceLength * 1032 + 1024;
}

BYTE* InflateKnownLength(const BYTE* source, ULONG sourceLength, ULONG storedLength, ULONG* inflated)
{
    *inflated = 0;
    ULONGLONG length = storedLength;
    ULONGLONG bound = MaxInflatedLength(sourceLength);
    if (length > bound)
        length = bound;
    if (length > kMaxBody)
        return nullptr;
    BYTE* data = static_cast<BYTE*>(malloc(length ? length : 1));
    if (!data)
        return nullptr;
    uLongf destLength = static_cast<uLongf>(length);
    if (uncompress(data, &destLength, source, sourceLength) != Z_OK) {
        free(data);
        return nullptr;
    }
    *inflated = destLength;
    return data;
}

BYTE* InflateUnknownLength(const BYTE* source, ULONG sourceLength, ULONGLONG fileLength, ULONG* inflated,
                           int* attempts, ULONGLONG* capacity)
{
    *inflated = 0;
    if (attempts)
        *attempts = 0;
    ULONGLONG bound = MaxInflatedLength(sourceLength);
    for (ULONGLONG factor = 16;; factor += 10) {
        ULONGLONG size = factor * fileLength;
        if (size == 0 || size > kMaxBody)
            return nullptr;
        if (attempts)
            ++*attempts;
        if (capacity)
            *capacity = size;
        BYTE* data = static_cast<BYTE*>(malloc(size));
        if (!data)
            return nullptr;
        uLongf destLength = static_cast<uLongf>(size);
        int status = uncompress(data, &destLength, source, sourceLength);
        if (status == Z_OK) {
            *inflated = destLength;
            return data;
        }
        free(data);
        // A buffer past the stream's largest inflation that is still too
        // small means a damaged stream, not a short buffer.
        if (status != Z_BUF_ERROR || size > bound)
            return nullptr;
    }
}

void FreeInflated(BYTE* data)
{
    free(data);
}

bool IsTemplateName(const char* path)
{
    size_t length = path ? strlen(path) : 0;
    return length >= 4 && _stricmp(path + length - 4, ".tpl") == 0;
}

}  // namespace Pardo

CQRNMirekFilePreview::CQRNMirekFilePreview() = default;
CQRNMirekFilePreview::CQRNMirekFilePreview(const CQRNMirekFilePreview& other) = default;
CQRNMirekFilePreview& CQRNMirekFilePreview::operator=(const CQRNMirekFilePreview& other) = default;
CQRNMirekFilePreview::~CQRNMirekFilePreview() = default;

bool CQRNMirekFilePreview::isPreviewForFileType(const char* extension)
{
    static const char* const kExtensions[] = {".kit", ".ofd", ".kwk", ".kbf", nullptr};
    return Pardo::IsExtensionOneOf(extension, kExtensions);
}

CBitmap* CQRNMirekFilePreview::GetPreviewImageFromFile(CString path, CWnd* window)
{
    return Pardo::TranslateForeign(
        [&]() -> CBitmap* {
            CFile file;
            if (!file.Open(path, CFile::modeRead | CFile::shareDenyWrite))
                return nullptr;
            CArchive archive(&file, CArchive::load, 4096);

            short version = 0;
            archive >> version;
            int compressed = 0;
            if (version > 1000)
                archive >> compressed;
            if (version > 1002 && Pardo::IsTemplateName(path)) {
                CString templateName;
                archive >> templateName;
            }
            if (version < 1000)
                return nullptr;
            CString first, second;
            archive >> first >> second;
            DWORD storedLength = 0;
            if (version > 1001)
                archive >> storedLength;

            ReadingState state;
            CArchive* body = &archive;
            if (compressed) {
                ULONGLONG fileLength = file.GetLength();
                if (fileLength > kMaxFile)
                    return nullptr;
                // At most the whole file is left; Read says how much was.
                MallocHolder stream;
                stream.data = static_cast<BYTE*>(malloc(fileLength ? fileLength : 1));
                if (!stream.data)
                    return nullptr;
                ULONG streamLength = archive.Read(stream.data, static_cast<UINT>(fileLength));
                ULONG inflatedLength = 0;
                if (version >= 1002)
                    state.inflated = Pardo::InflateKnownLength(stream.data, streamLength, storedLength, &inflatedLength);
                else
                    state.inflated = Pardo::InflateUnknownLength(stream.data, streamLength, fileLength, &inflatedLength);
                if (!state.inflated)
                    return nullptr;
                state.memory = new CMemFile(state.inflated, inflatedLength);
                state.archive = new CArchive(state.memory, CArchive::load, 4096);
                body = state.archive;
            }

            state.block = new Block;
            state.block->GetDictionnary()->Serialize(*body);
            state.block->SetWBDocument(body->m_pDocument);
            state.block->GetFixedData(*body);
            state.block->SetSilentMode(true);

            ISerializeObject* object = new CJpeg;
            state.block->GetBlockOption("preview", object);
            if (!object)
                return nullptr;
            CJpeg* jpeg = static_cast<CJpeg*>(object);
            CBitmap* bitmap = nullptr;
            {
                CClientDC client(window);
                try {
                    bitmap = jpeg->MakeBitmap(&client);
                } catch (...) {
                    delete jpeg;
                    throw;
                }
            }
            delete jpeg;
            return bitmap;
        },
        CFileException::none);
}

void CQRNMirekFilePreview::DrawPreview(CWnd* window, HDC, int x, int y, int cx, int cy)
{
    if (m_strFile.IsEmpty() || !window)
        return;
    CClientDC client(window);
    CBitmap* bitmap = GetPreviewImageFromFile(m_strFile, window);
    if (!bitmap)
        return;
    CDC memory;
    BITMAP info = {};
    if (memory.CreateCompatibleDC(&client) && bitmap->GetBitmap(&info) && info.bmWidth > 0 && info.bmHeight > 0) {
        HGDIOBJ old = memory.SelectObject(bitmap);
        int w = info.bmWidth, h = info.bmHeight;
        double s = w < h ? static_cast<double>(cy) / h : static_cast<double>(cx) / w;
        client.StretchBlt(x, y, static_cast<int>(std::trunc(w * s)), static_cast<int>(std::trunc(h * s)), &memory, 0, 0,
                          w, h, SRCCOPY);
        memory.SelectObject(old);
    }
    delete bitmap;
}
