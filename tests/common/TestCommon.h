#pragma once
// Helpers shared by the test binaries.
#include <windows.h>
#include <cstdint>
#include <string>
#include <vector>

namespace TestCommon {

// A fresh folder under the system temp folder, removed with its files.
class CTempDir {
public:
    CTempDir();
    ~CTempDir();
    CTempDir(const CTempDir&) = delete;
    CTempDir& operator=(const CTempDir&) = delete;
    const std::wstring& Path() const { return m_path; }
    std::wstring File(const wchar_t* name) const { return m_path + L"\\" + name; }

private:
    std::wstring m_path;
};

bool WriteFileBytes(const std::wstring& path, const void* data, size_t size);

// UTF-16LE bytes of a text, with an optional byte-order mark.
std::vector<uint8_t> Utf16Bytes(const std::wstring& text, bool withMark);

// Small deterministic generator for mutation runs (fixed seed per test).
class CRandom {
public:
    explicit CRandom(uint32_t seed) : m_state(seed ? seed : 1) {}
    uint32_t Next();
    uint32_t Below(uint32_t bound) { return bound ? Next() % bound : 0; }

private:
    uint32_t m_state;
};

// Mutates bytes in place: flips, inserts, deletes, truncates.
void Mutate(std::vector<uint8_t>& bytes, CRandom& random);

// Copies data into a buffer that ends right before a no-access page, so a
// read one byte past the end faults instead of passing silently.
class CGuardedBuffer {
public:
    explicit CGuardedBuffer(const std::vector<uint8_t>& data);
    ~CGuardedBuffer();
    CGuardedBuffer(const CGuardedBuffer&) = delete;
    CGuardedBuffer& operator=(const CGuardedBuffer&) = delete;
    const uint8_t* Data() const { return m_data; }
    size_t Size() const { return m_size; }

private:
    uint8_t* m_base = nullptr;
    size_t m_reserved = 0;
    uint8_t* m_data = nullptr;
    size_t m_size = 0;
};

}  // namespace TestCommon
