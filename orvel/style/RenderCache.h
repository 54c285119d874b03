#pragma once
// The process-wide store of what image arrays render: the 32-bit pixels of
// their strips and of their images drawn at the sizes in use. Pixels are
// plain memory, copied to a device with SetDIBitsToDevice (as fast as a
// BitBlt under Wine and on Windows); the only GDI object an entry may hold
// is the region of its opaque pixels, for a colour-key draw. The store keeps
// at most its budget of bytes, giving up the least recently used entries
// first, so no number of painters, sizes or packs grows it further.
#include <windows.h>
#include <cstddef>
#include <list>
#include <memory>
#include <mutex>
#include <unordered_map>
#include <vector>
#include "../base/Export.h"
#include "../base/GdiHandles.h"

namespace Images {

// Top-down 32-bit pixels (0x00RRGGBB) of one picture.
struct SPixels {
    LONG width = 0;
    LONG height = 0;
    std::vector<DWORD> bits;

    // Built on first colour-key draw: the pixels not of regionKey, in the
    // picture's coordinates moved to regionAt.
    Base::CRegionHandle opaque;
    COLORREF regionKey = 0xFFFFFFFF;
    POINT regionAt = {0, 0};

    size_t Bytes() const;
    // Copies the area (in picture coordinates) to (x, y) of the device.
    void Copy(HDC dc, int x, int y, const RECT& area) const;
    // The opaque region for the key at (x, y) in device coordinates; null
    // when it cannot be made.
    HRGN OpaqueRegion(COLORREF key, POINT at);
};

class ORVEL_API CRenderCache {
public:
    static CRenderCache& GetInstance();

    // What an entry is of: an owner (an image array), a size and an image
    // index; the strip's own pixels use kStrip as index.
    struct SKey {
        const void* owner;
        LONG width;
        LONG height;
        UINT index;
        bool operator==(const SKey&) const = default;
    };
    static constexpr UINT kStrip = 0xFFFFFFFF;

    // Callers hold the lock from their lookup to their last use of what they
    // found: an entry is not given up meanwhile, and one thread at a time
    // moves its region.
    std::unique_lock<std::mutex> Lock() { return std::unique_lock<std::mutex>(m_mutex); }

    // Under the lock. Null when there is none; a find makes it the most
    // recently used.
    SPixels* Find(const SKey& key);
    // Under the lock. Takes the pixels, giving up old entries to stay within
    // the budget, and returns where they are kept; pixels larger than the
    // whole budget stay with the caller (null).
    SPixels* Insert(const SKey& key, std::unique_ptr<SPixels>& pixels);

    // Forgets everything of the owner (it changed or is going away).
    void Drop(const void* owner);
    void Clear();

    size_t GetBytes();
    size_t GetPeakBytes();
    void ResetPeak();
    size_t GetEntryCount();
    size_t GetBudget();
    // A smaller budget gives up entries at once.
    void SetBudget(size_t bytes);

    static constexpr size_t kDefaultBudget = 16u * 1024 * 1024;

    // Scratch region of the lock's holder, for saving a device's clip.
    HRGN ScratchRegion();

private:
    CRenderCache() = default;
    ~CRenderCache();
    CRenderCache(const CRenderCache&) = delete;
    CRenderCache& operator=(const CRenderCache&) = delete;

    struct SKeyHash {
        size_t operator()(const SKey& key) const noexcept;
    };
    struct SEntry {
        SKey key;
        std::unique_ptr<SPixels> pixels;
        size_t bytes;
    };
    using List = std::list<SEntry>;

    void Evict(size_t needed);
    void Erase(List::iterator entry);

    std::mutex m_mutex;
    List m_entries;  // least recently used first
    std::unordered_map<SKey, List::iterator, SKeyHash> m_index;
    std::unordered_multimap<const void*, SKey> m_byOwner;
    size_t m_nBytes = 0;
    size_t m_nPeak = 0;
    size_t m_nBudget = kDefaultBudget;
    Base::CRegionHandle m_scratch;
};

}  // namespace Images
