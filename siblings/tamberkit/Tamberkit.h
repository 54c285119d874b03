#pragma once
// Tamberkit: the suite's block library (stand-in).
//
// Block data, as stored in the body of a design file (little-endian):
//
//   body        = dictionary fixed
//   dictionary  = "TKDI"  u16 count  count * name
//   name        = u8 length (1..255)  length bytes
//   fixed       = "TKFX"  u16 format (1)  u32 dataLength  data
//                 u16 optionCount  optionCount * option
//   option      = u16 nameIndex (into the dictionary)  u32 length  payload
//   payload     = u8 classLength  class name  u16 schema  object bytes
//                 (length covers the whole payload)
//   CJpeg bytes = u32 jpegLength  JPEG file bytes
//
// The fixed data is the design itself and stays opaque here. A block reads
// its dictionary and fixed part from an archive, keeps the option payloads
// and loads one into an object when asked for it by name.
#include <windows.h>
#include "pardo/afx/Archive.h"
#include "siblings/pictorium/Pictorium.h"

#if defined(TAMBERKIT_BUILD)
#define TAMBERKIT_API __declspec(dllexport)
#else
#define TAMBERKIT_API __declspec(dllimport)
#endif

namespace Tamberkit {

// What the block library reads from and writes to. The archive adapters
// below tie them to the host framework.
class IReader {
public:
    // Up to count bytes; fewer only at the end of the data.
    virtual UINT Read(void* buffer, UINT count) = 0;
    // Raises the host's error for data that ends early or is malformed.
    [[noreturn]] virtual void Fail(bool endOfData) = 0;

protected:
    ~IReader() = default;
};

class IWriter {
public:
    virtual void Write(const void* buffer, UINT count) = 0;

protected:
    ~IWriter() = default;
};

// Inline, so that the archive's code runs in the caller's module.
class CArchiveReader final : public IReader {
public:
    explicit CArchiveReader(CArchive& archive) : m_archive(archive) {}
    UINT Read(void* buffer, UINT count) override { return m_archive.Read(buffer, count); }
    [[noreturn]] void Fail(bool endOfData) override
    {
        Pardo::ThrowArchiveException(endOfData ? CArchiveException::endOfFile : CArchiveException::badSchema,
                                     m_archive.GetFile() ? m_archive.GetFile()->GetFilePath().GetString() : nullptr);
    }

private:
    CArchive& m_archive;
};

class CArchiveWriter final : public IWriter {
public:
    explicit CArchiveWriter(CArchive& archive) : m_archive(archive) {}
    void Write(const void* buffer, UINT count) override { m_archive.Write(buffer, count); }

private:
    CArchive& m_archive;
};

}  // namespace Tamberkit

// An object that a block option can hold.
class TAMBERKIT_API ISerializeObject {
public:
    virtual ~ISerializeObject();
    // The class name stored with the option; a load checks it.
    virtual const char* GetSerializeClassName() const = 0;
    virtual WORD GetSchema() const { return 1; }
    // Reads the object bytes (exactly length of them are there); false when
    // they are not an object of this class.
    virtual bool LoadObject(Tamberkit::IReader& in, UINT length) = 0;
    virtual void StoreObject(Tamberkit::IWriter& out) const = 0;
};

// The preview picture of a design: a JPEG image that blocks can store.
class TAMBERKIT_API CJpeg : public ISerializeObject, public SECJpeg {
public:
    CJpeg();
    ~CJpeg() override;
    const char* GetSerializeClassName() const override { return "CJpeg"; }
    bool LoadObject(Tamberkit::IReader& in, UINT length) override;
    void StoreObject(Tamberkit::IWriter& out) const override;
};

// The names a block uses, stored before its fixed data.
class TAMBERKIT_API Dictionnary {
public:
    Dictionnary();
    ~Dictionnary();
    Dictionnary(const Dictionnary&) = delete;
    Dictionnary& operator=(const Dictionnary&) = delete;

    void Serialize(CArchive& archive)
    {
        if (archive.IsLoading()) {
            Tamberkit::CArchiveReader reader(archive);
            Load(reader);
        } else {
            Tamberkit::CArchiveWriter writer(archive);
            Store(writer);
        }
    }
    void Load(Tamberkit::IReader& in);
    void Store(Tamberkit::IWriter& out) const;

    int GetCount() const { return m_nCount; }
    const char* GetName(int index) const;
    // Index of a name, or -1.
    int Find(const char* name) const;
    // Index of the name, added when missing; -1 when it cannot be stored.
    int Add(const char* name);
    void RemoveAll();

private:
    char** m_pNames = nullptr;
    int m_nCount = 0;
    int m_nCapacity = 0;
};

class TAMBERKIT_API Block {
public:
    Block();
    ~Block();
    Block(const Block&) = delete;
    Block& operator=(const Block&) = delete;

    Dictionnary* GetDictionnary() { return &m_dictionary; }
    // The document the block belongs to (not owned; may be null).
    void SetWBDocument(void* document) { m_pDocument = document; }
    void* GetWBDocument() const { return m_pDocument; }
    // In silent mode a damaged option is not reported, only skipped.
    void SetSilentMode(bool silent) { m_bSilent = silent; }

    // Reads the fixed part (after the dictionary).
    void GetFixedData(CArchive& archive)
    {
        Tamberkit::CArchiveReader reader(archive);
        ReadFixedData(reader);
    }
    void ReadFixedData(Tamberkit::IReader& in);

    // Loads the option called name into object and returns 1. When the
    // option is missing or is not an object of the object's class, the
    // block deletes the object, sets the pointer to null and returns 0.
    int GetBlockOption(const char* name, ISerializeObject*& object);
    // Releases what the block read (dictionary, fixed data, options).
    void FreeData();

    // Writing: the fixed data, then options, then Store.
    bool SetFixedData(const BYTE* data, UINT size);
    bool SetBlockOption(const char* name, const ISerializeObject& object);
    void Store(Tamberkit::IWriter& out) const;
    void Store(CArchive& archive) const
    {
        Tamberkit::CArchiveWriter writer(archive);
        Store(writer);
    }

    const BYTE* GetFixedBytes() const { return m_pFixed; }
    UINT GetFixedSize() const { return m_nFixed; }
    int GetOptionCount() const { return m_nOptions; }

private:
    struct Option {
        WORD nameIndex;
        BYTE* payload;
        UINT length;
    };
    bool AddOption(WORD nameIndex, BYTE* payload, UINT length);

    Dictionnary m_dictionary;
    void* m_pDocument = nullptr;
    bool m_bSilent = false;
    BYTE* m_pFixed = nullptr;
    UINT m_nFixed = 0;
    Option* m_pOptions = nullptr;
    int m_nOptions = 0;
};

namespace Tamberkit {

// The header of a design file, as the writer lays it out:
//   i16 version
//   i32 compressed flag                 when version > 1000
//   archive string template name        when templateName is not null
//   archive string, archive string      when version >= 1000
//   u32 uncompressed body length        when version > 1001
//   body (zlib stream when compressed)  when version >= 1000
// Archive strings: u8 length; 0xFF then u16 length; u16 0xFFFE marks UTF-16
// text and the prefix starts again; u16 0xFFFF then u32 length.
struct DesignHeader {
    short version = 1003;
    bool compressed = true;
    const char* templateName = nullptr;
    const char* title = "design";
    const char* author = "";
    bool wideStrings = false;  // store the strings as UTF-16
    // Stored instead of the true body length when not ~0u.
    UINT storedLength = ~0u;
};

// Body bytes of a block, and a whole design file in memory; the caller
// frees the result with FreeBytes. Null on failure.
TAMBERKIT_API BYTE* StoreBlock(const Block& block, UINT* size);
TAMBERKIT_API BYTE* MakeDesignFile(const DesignHeader& header, const BYTE* body, UINT bodySize, UINT* size);
TAMBERKIT_API bool WriteDesignFile(const char* path, const DesignHeader& header, const Block& block);
TAMBERKIT_API void FreeBytes(BYTE* bytes);
// A block with some fixed data and a "preview" option holding the JPEG.
TAMBERKIT_API bool MakePreviewBlock(Block& block, const BYTE* jpeg, UINT jpegSize);

}  // namespace Tamberkit
