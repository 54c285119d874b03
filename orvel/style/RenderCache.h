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
#include "ImageArray.h"

namespace Images {

// Top-down 32-bit pixels (0x00RRGGBB) of one picture.
struct SPixels {
    LONG width = 0;
    LONG height = 0;
    std::unique_ptr<DWORD[]> bits;  // left uninitialised: every pixel is drawn
    size_t capacity = 0;            // pixels bits can hold

    // Keeps the buffer when it is large enough.
    void Allocate(LONG pictureWidth, LONG pictureHeight);

    // Built on first colour-key draw: the pixels not of regionKey as region
    // data (picture coordinates), and while the picture holds one of the
    // cache's few live regions, that region moved to regionAt.
    std::vector<BYTE> regionData;
    COLORREF regionKey = kNoColor;
    Base::CRegionHandle opaque;
    POINT regionAt = {0, 0};
    int liveSlot = -1;

    size_t Bytes() const;
    // Copies the area (in picture coordinates) to (x, y) of the device.
    void Copy(HDC dc, int x, int y, const RECT& area) const;
};

// Region data (RGNDATA) of the pixels of the key colour (ofKey) or of all
// others, as one-row runs, a run under the same lone run joining it.
std::vector<BYTE> RunsRegionData(const DWORD* bits, LONG width, LONG height, COLORREF key, bool ofKey);

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
    static constexpr UINT kNatural = 0x80000000;  // or-ed to an image index

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

    // Under the lock. True when the key was asked about before and is not
    // kept; remembers it otherwise. A picture is kept from its second draw
    // on: fresh memory costs more than a render (its pages fault in), so a
    // size drawn once (a window being resized) is drawn from Scratch.
    bool SeenBefore(const SKey& key);
    // Under the lock: one picture's buffer, reused from draw to draw.
    SPixels& Scratch() { return m_scratchPixels; }

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
    // Under the lock. The picture's pixels not of the key as a region at
    // `at` (device coordinates); null when it cannot be made. Only a few
    // regions live at a time, so the cache holds few GDI objects however
    // many pictures it keeps: the others keep their region as data.
    HRGN OpaqueRegion(SPixels& picture, COLORREF key, POINT at);
    static constexpr size_t kLiveRegions = 16;

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
    void ReleaseRegion(SPixels& picture);

    std::mutex m_mutex;
    List m_entries;  // least recently used first
    std::unordered_map<SKey, List::iterator, SKeyHash> m_index;
    std::unordered_multimap<const void*, SKey> m_byOwner;
    size_t m_nBytes = 0;
    size_t m_nPeak = 0;
    size_t m_nBudget = kDefaultBudget;
    Base::CRegionHandle m_scratch;
    SPixels m_scratchPixels;
    SPixels* m_live[kLiveRegions] = {};  // holders of live regions
    size_t m_nNextLive = 0;
    static constexpr size_t kSeen = 64;
    std::vector<SKey> m_seen;  // a ring of keys drawn once
    size_t m_nNextSeen = 0;
};

}  // namespace Images
