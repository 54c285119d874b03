#include "RenderCache.h"

#include <algorithm>
#include <functional>

namespace Images {

namespace {

// Bookkeeping beside the pixels: the entry, its list node and index slots.
constexpr size_t kEntryOverhead = 160;

// Arrays of static objects may go after the store at exit; they then have
// nothing left to drop.
bool g_storeGone = false;

}  // namespace

// ----------------------------------------------------------------- SPixels

std::vector<BYTE> RunsRegionData(const DWORD* bits, LONG width, LONG height, COLORREF key, bool ofKey)
{
    const DWORD keyPixel = (GetRValue(key) << 16) | (GetGValue(key) << 8) | GetBValue(key);
    std::vector<RECT> runs, row;
    bool lastSingle = false;
    for (LONG y = 0; y < height; ++y) {
        const DWORD* pixel = bits + static_cast<size_t>(y) * width;
        row.clear();
        for (LONG x = 0; x < width;) {
            if (((pixel[x] & 0xFFFFFF) == keyPixel) != ofKey) {
                ++x;
                continue;
            }
            const LONG start = x;
            while (x < width && ((pixel[x] & 0xFFFFFF) == keyPixel) == ofKey)
                ++x;
            row.push_back({start, y, x, y + 1});
        }
        // A lone run under the same lone run of the row above extends it.
        const bool single = row.size() == 1;
        if (single && lastSingle && runs.back().left == row[0].left && runs.back().right == row[0].right &&
            runs.back().bottom == y)
            runs.back().bottom = y + 1;
        else
            runs.insert(runs.end(), row.begin(), row.end());
        lastSingle = single;
    }
    std::vector<BYTE> data(sizeof(RGNDATAHEADER) + runs.size() * sizeof(RECT));
    auto* header = reinterpret_cast<RGNDATAHEADER*>(data.data());
    header->dwSize = sizeof(RGNDATAHEADER);
    header->iType = RDH_RECTANGLES;
    header->nCount = static_cast<DWORD>(runs.size());
    header->rcBound = {0, 0, width, height};
    if (!runs.empty())
        memcpy(data.data() + sizeof(RGNDATAHEADER), runs.data(), runs.size() * sizeof(RECT));
    return data;
}

void SPixels::Allocate(LONG pictureWidth, LONG pictureHeight)
{
    const size_t needed = static_cast<size_t>(pictureWidth) * pictureHeight;
    if (needed > capacity) {
        bits.reset(new DWORD[needed]);
        capacity = needed;
    }
    width = pictureWidth;
    height = pictureHeight;
    regionData.clear();
    regionKey = kNoColor;
}

size_t SPixels::Bytes() const
{
    return capacity * sizeof(DWORD) + sizeof(SPixels);
}

void SPixels::Copy(HDC dc, int x, int y, const RECT& area) const
{
    const LONG rows = area.bottom - area.top;
    if (rows <= 0 || area.right <= area.left)
        return;
    // Rows from the area's first on, as a top-down picture of its own: the
    // source origin of a top-down picture is read differently by different
    // implementations, row 0 of all of its lines is not.
    BITMAPINFO info = Base::TopDown32BitInfo(width, rows);
    SetDIBitsToDevice(dc, x, y, static_cast<DWORD>(area.right - area.left), static_cast<DWORD>(rows),
                      area.left, 0, 0, static_cast<UINT>(rows),
                      bits.get() + static_cast<size_t>(area.top) * width, &info, DIB_RGB_COLORS);
}

// ------------------------------------------------------------ CRenderCache

CRenderCache& CRenderCache::GetInstance()
{
    static CRenderCache cache;
    return cache;
}

CRenderCache::~CRenderCache()
{
    g_storeGone = true;
}

size_t CRenderCache::SKeyHash::operator()(const SKey& key) const noexcept
{
    size_t hash = std::hash<const void*>()(key.owner);
    for (size_t part : {static_cast<size_t>(key.width), static_cast<size_t>(key.height),
                        static_cast<size_t>(key.index)})
        hash = hash * 1000003u ^ part;
    return hash;
}

SPixels* CRenderCache::Find(const SKey& key)
{
    auto found = m_index.find(key);
    if (found == m_index.end())
        return nullptr;
    m_entries.splice(m_entries.end(), m_entries, found->second);
    return found->second->pixels.get();
}

SPixels* CRenderCache::Insert(const SKey& key, std::unique_ptr<SPixels>& pixels)
{
    auto old = m_index.find(key);
    if (old != m_index.end())
        Erase(old->second);
    const size_t bytes = pixels->Bytes() + kEntryOverhead;
    if (bytes > m_nBudget)
        return nullptr;
    Evict(bytes);
    m_entries.emplace_back();
    auto entry = std::prev(m_entries.end());
    entry->key = key;
    entry->pixels = std::move(pixels);
    entry->bytes = bytes;
    try {
        m_index.emplace(key, entry);
        try {
            m_byOwner.emplace(key.owner, key);
        } catch (...) {
            m_index.erase(key);
            throw;
        }
    } catch (...) {
        pixels = std::move(entry->pixels);
        m_entries.erase(entry);
        return nullptr;
    }
    m_nBytes += bytes;
    m_nPeak = std::max(m_nPeak, m_nBytes);
    return entry->pixels.get();
}

void CRenderCache::Evict(size_t needed)
{
    while (!m_entries.empty() && m_nBytes + needed > m_nBudget)
        Erase(m_entries.begin());
}

void CRenderCache::Erase(List::iterator entry)
{
    auto range = m_byOwner.equal_range(entry->key.owner);
    for (auto it = range.first; it != range.second; ++it) {
        if (it->second == entry->key) {
            m_byOwner.erase(it);
            break;
        }
    }
    m_index.erase(entry->key);
    m_nBytes -= entry->bytes;
    ReleaseRegion(*entry->pixels);
    m_entries.erase(entry);
}

bool CRenderCache::SeenBefore(const SKey& key)
{
    for (SKey& seen : m_seen) {
        if (seen == key) {
            seen = {};
            return true;
        }
    }
    if (m_seen.size() < kSeen) {
        m_seen.push_back(key);
    } else {
        m_seen[m_nNextSeen] = key;
        m_nNextSeen = (m_nNextSeen + 1) % kSeen;
    }
    return false;
}

void CRenderCache::Drop(const void* owner)
{
    if (g_storeGone)
        return;
    std::lock_guard<std::mutex> lock(m_mutex);
    auto range = m_byOwner.equal_range(owner);
    std::vector<SKey> keys;
    for (auto it = range.first; it != range.second; ++it)
        keys.push_back(it->second);
    for (const SKey& key : keys) {
        auto found = m_index.find(key);
        if (found != m_index.end())
            Erase(found->second);
    }
}

void CRenderCache::Clear()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_index.clear();
    m_byOwner.clear();
    for (SPixels*& holder : m_live) {
        if (holder)
            ReleaseRegion(*holder);
    }
    m_entries.clear();
    m_nBytes = 0;
    m_scratch.Reset();
    ReleaseRegion(m_scratchPixels);
    m_scratchPixels = SPixels();
    m_seen.clear();
    m_nNextSeen = 0;
}

size_t CRenderCache::GetBytes()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_nBytes;
}

size_t CRenderCache::GetPeakBytes()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_nPeak;
}

void CRenderCache::ResetPeak()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_nPeak = m_nBytes;
}

size_t CRenderCache::GetEntryCount()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_entries.size();
}

size_t CRenderCache::GetBudget()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_nBudget;
}

void CRenderCache::SetBudget(size_t bytes)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_nBudget = bytes;
    Evict(0);
}

HRGN CRenderCache::ScratchRegion()
{
    if (!m_scratch)
        m_scratch.Reset(CreateRectRgn(0, 0, 0, 0));
    return m_scratch;
}

HRGN CRenderCache::OpaqueRegion(SPixels& picture, COLORREF key, POINT at)
{
    const LONG width = picture.width, height = picture.height;
    if (picture.regionData.empty() || picture.regionKey != key) {
        ReleaseRegion(picture);
        picture.regionData = RunsRegionData(picture.bits.get(), width, height, key, false);
        picture.regionKey = key;
    }
    if (!picture.opaque) {
        // Takes a live slot, from its oldest holder when all are taken.
        if (SPixels* holder = m_live[m_nNextLive])
            ReleaseRegion(*holder);
        const auto& data = picture.regionData;
        picture.opaque.Reset(ExtCreateRegion(nullptr, static_cast<DWORD>(data.size()),
                                             reinterpret_cast<const RGNDATA*>(data.data())));
        if (!picture.opaque)
            return nullptr;
        picture.regionAt = {0, 0};
        picture.liveSlot = static_cast<int>(m_nNextLive);
        m_live[m_nNextLive] = &picture;
        m_nNextLive = (m_nNextLive + 1) % kLiveRegions;
    }
    if (at.x != picture.regionAt.x || at.y != picture.regionAt.y) {
        OffsetRgn(picture.opaque, at.x - picture.regionAt.x, at.y - picture.regionAt.y);
        picture.regionAt = at;
    }
    return picture.opaque;
}

void CRenderCache::ReleaseRegion(SPixels& picture)
{
    if (picture.liveSlot >= 0)
        m_live[picture.liveSlot] = nullptr;
    picture.liveSlot = -1;
    picture.opaque.Reset();
}



}  // namespace Images
