#pragma once
// The host services: one process-wide object, created when Orvel.dll loads,
// that knows the product's directories and registry root, chooses the
// user-interface language and its language module, writes the product's
// log, reads and writes registry values and starts programs and documents.
#include <windows.h>
#include <atomic>
#include <string>
#include "../base/Export.h"

namespace Glyph {
class IGlyphVessel;
}
namespace Selvage {
class IZqHive;
}
class IVersionInfo;

// The services interface; the numbers are the virtual slots, which hosts
// rely on. Text results are empty when unknown; registry operations return
// system error codes.
class ORVEL_API IGlobal {
public:
    // root + relativeKey; with no relative key the root without its
    // trailing backslash.
    virtual std::wstring GetRegKeyPath(const wchar_t* relativeKey) = 0;            // 0
    virtual std::wstring GetInstallDir() = 0;                                       // 1
    // Directories end with a backslash.
    virtual std::wstring GetModuleDir() = 0;                                        // 2
    virtual std::wstring GetAppDir() = 0;                                           // 3
    virtual bool RunProgram(const wchar_t* path, const wchar_t* arguments,
                            const wchar_t* workDir, int showCommand) = 0;           // 4
    // The default verb.
    virtual bool ShellOpen(const wchar_t* path) = 0;                                // 5
    // The verb "open".
    virtual bool OpenDocument(const wchar_t* path) = 0;                             // 6
    // The file manager with path selected.
    virtual bool ShowInFileManager(const wchar_t* path) = 0;                        // 7
    virtual std::wstring GetModulePath() = 0;                                       // 8
    virtual UINT GetCodePage() = 0;                                                 // 9
    virtual LANGID GetLangID() = 0;                                                 // 10
    // The file title of path: its name without folder and extension.
    virtual std::wstring GetPathTitle(const wchar_t* path) = 0;                     // 11
    // size: in, the buffer's capacity; out, the stored string's length, both
    // in characters and counting the terminator.
    virtual LONG RegReadString(HKEY root, const wchar_t* key, const wchar_t* name,
                               wchar_t* buffer, DWORD* size) = 0;                   // 12
    virtual LONG RegReadDword(HKEY root, const wchar_t* key, const wchar_t* name,
                              DWORD* value) = 0;                                    // 13
    // Writes create the key when missing.
    virtual LONG RegWriteDword(HKEY root, const wchar_t* key, const wchar_t* name,
                               DWORD value) = 0;                                    // 14
    virtual LONG RegWriteString(HKEY root, const wchar_t* key, const wchar_t* name,
                                const wchar_t* value) = 0;                          // 15
    // message and detail (joined by a space) in the current ANSI code page.
    virtual void WriteLogW(const wchar_t* message, const wchar_t* detail, DWORD apiCode,
                           int modCode) = 0;                                        // 16
    virtual void WriteLog(const char* message, DWORD apiCode, int modCode) = 0;     // 17
    // Today's local date as yyyymmdd.
    virtual LONG SetLastScanDate() = 0;                                             // 18
    // 0 when none is stored.
    virtual DWORD GetLastScanDate() = 0;                                            // 19
    virtual DWORD Reserved() = 0;                                                   // 20
    virtual bool ShowThreatInfo(const wchar_t* threatName) = 0;                     // 21
    virtual bool Initialize(HMODULE module) = 0;                                    // 22
    virtual std::wstring GetLangDir() = 0;                                          // 23
    // 0 asks for the user's default user-interface language. True when a
    // language module is in use afterwards.
    virtual bool SetLangID(LANGID language) = 0;                                    // 24

protected:
    ~IGlobal() = default;
};

template <class TBase>
class CGlobalImpl : public TBase {
public:
    // The languages tried after the requested one, in order.
    static constexpr LANGID kFallbackLanguages[] = {2052, 1033, 1028, 1041, 10};
    // Log files above this size are started anew.
    static constexpr LONGLONG kLogRotateSize = 768000;
    // Each log line is formatted into a buffer of this many bytes.
    static constexpr size_t kLogLineBytes = 1024;
    static constexpr REGSAM kReadAccess = 0x20019;

    CGlobalImpl();
    virtual ~CGlobalImpl();
    CGlobalImpl(const CGlobalImpl&) = delete;
    CGlobalImpl& operator=(const CGlobalImpl&) = delete;

    std::wstring GetRegKeyPath(const wchar_t* relativeKey) override;
    std::wstring GetInstallDir() override;
    std::wstring GetModuleDir() override;
    std::wstring GetAppDir() override;
    bool RunProgram(const wchar_t* path, const wchar_t* arguments, const wchar_t* workDir,
                    int showCommand) override;
    bool ShellOpen(const wchar_t* path) override;
    bool OpenDocument(const wchar_t* path) override;
    bool ShowInFileManager(const wchar_t* path) override;
    std::wstring GetModulePath() override;
    UINT GetCodePage() override;
    LANGID GetLangID() override;
    std::wstring GetPathTitle(const wchar_t* path) override;
    LONG RegReadString(HKEY root, const wchar_t* key, const wchar_t* name, wchar_t* buffer,
                       DWORD* size) override;
    LONG RegReadDword(HKEY root, const wchar_t* key, const wchar_t* name,
                      DWORD* value) override;
    LONG RegWriteDword(HKEY root, const wchar_t* key, const wchar_t* name,
                       DWORD value) override;
    LONG RegWriteString(HKEY root, const wchar_t* key, const wchar_t* name,
                        const wchar_t* value) override;
    void WriteLogW(const wchar_t* message, const wchar_t* detail, DWORD apiCode,
                   int modCode) override;
    void WriteLog(const char* message, DWORD apiCode, int modCode) override;
    LONG SetLastScanDate() override;
    DWORD GetLastScanDate() override;
    DWORD Reserved() override;
    bool ShowThreatInfo(const wchar_t* threatName) override;
    bool Initialize(HMODULE module) override;
    std::wstring GetLangDir() override;
    bool SetLangID(LANGID language) override;

    // The folder of the style packs, set by Initialize.
    const std::wstring& GetStyleDir() const { return m_strStyleDir; }
    void SetStyleDir(const std::wstring& dir) { m_strStyleDir = dir; }
    // The loaded language module (resources only), or null.
    HINSTANCE GetLangModule() const { return m_langModule.load(); }
    BYTE GetCharSet() const { return m_nCharSet; }
    // String id of the language module, in the current language or else
    // in any language the module holds; empty when missing.
    std::wstring LoadLangString(UINT id);
    void EnableLog(bool enable) { m_bLogEnabled = enable; }
    bool IsLogEnabled() const { return m_bLogEnabled; }
    void UseLangModules(bool use) { m_bUseLangModules = use; }
    void SetLangPattern(const std::wstring& pattern) { m_strLangPattern = pattern; }
    const std::wstring& GetLangPattern() const { return m_strLangPattern; }
    // The object made by Initialize (no reference added), or null.
    IVersionInfo* GetVersionInfo() const { return m_pVersionInfo; }
    // The file the next log record goes to; empty when it cannot be named.
    std::wstring GetLogFilePath();

    // Text helpers, public for their tests.
    // Year * 10000 + month * 100 + day.
    static DWORD DateValue(const SYSTEMTIME& date);
    // One command-line argument that parses back to text exactly.
    static std::wstring QuoteArgument(const std::wstring& text);
    // Percent-encoded UTF-8 of text, every byte but the unreserved ones.
    static std::wstring EscapeUrlPart(const std::wstring& text);
    static std::wstring ThreatQueryUrl(const std::wstring& threatName);
    // The language-module pattern made from a module's file name.
    static std::wstring PatternFromModulePath(const std::wstring& modulePath);
    // pattern with its "%04x" replaced by the language in hex; nothing else
    // in it is read as a format.
    static std::wstring FormatLangPattern(const std::wstring& pattern, LANGID language);

protected:
    // Paths as Initialize stores them; tests lay out folders of their own.
    void SetPaths(const std::wstring& modulePath, const std::wstring& appPath);
    // Where RUZuvived.dll and Selvage.dll are loaded from; default: the
    // folder of Orvel.dll.
    void SetSiblingDir(const std::wstring& dir) { m_strSiblingDir = dir; }

    // Loaded once; null when missing.
    FARPROC GetInstallEntry(WORD ordinal);
    Selvage::IZqHive* GetHive();
    // The installation module's directory for relative (null: the
    // installation directory itself).
    std::wstring QueryInstallDir(const wchar_t* relative);
    std::wstring QueryComponentDir(const wchar_t* component, const wchar_t* subFolder);
    HINSTANCE LoadLangModule(LANGID language);
    void ApplyLanguage(LANGID language);
    bool ShellExecuteOk(const wchar_t* verb, const wchar_t* file, const wchar_t* parameters,
                        const wchar_t* directory, int showCommand);
    void AppendLogLine(HANDLE file, const char* format, ...);

    std::wstring m_strRegRoot;
    std::wstring m_strModulePath;
    std::wstring m_strAppPath;
    std::wstring m_strInstallDir;
    std::wstring m_strStyleDir;
    std::wstring m_strLangPattern;
    std::wstring m_strSiblingDir;
    LANGID m_nLangId = 0;
    std::atomic<HINSTANCE> m_langModule{nullptr};
    BYTE m_nCharSet = DEFAULT_CHARSET;
    bool m_bUseLangModules = true;
    bool m_bLogEnabled = true;
    UINT m_nCodePage = 0;

    HMODULE m_hInstallModule = nullptr;
    bool m_bInstallTried = false;
    FARPROC m_installEntries[18] = {};
    HMODULE m_hHiveModule = nullptr;
    bool m_bHiveTried = false;
    Selvage::IZqHive* m_pHive = nullptr;
    IVersionInfo* m_pVersionInfo = nullptr;
};

extern template class ORVEL_API CGlobalImpl<IGlobal>;

// The host application's object handed over by SetGuiConsume. Only its
// virtual slot 10 is called.
class IGuiConsume {
public:
    virtual void GuiReserved0() = 0;
    virtual void GuiReserved1() = 0;
    virtual void GuiReserved2() = 0;
    virtual void GuiReserved3() = 0;
    virtual void GuiReserved4() = 0;
    virtual void GuiReserved5() = 0;
    virtual void GuiReserved6() = 0;
    virtual void GuiReserved7() = 0;
    virtual void GuiReserved8() = 0;
    virtual void GuiReserved9() = 0;
    virtual Glyph::IGlyphVessel* GetGlyphVessel() = 0;  // 10

protected:
    ~IGuiConsume() = default;
};

// Orvel's services object.
class ORVEL_API COrvelGlobal : public CGlobalImpl<IGlobal> {
public:
    COrvelGlobal();
    ~COrvelGlobal() override;

    // The object created when Orvel.dll loaded.
    static COrvelGlobal& GetInstance();

    // What SetGuiConsume stored.
    static IGuiConsume* GetGuiConsume();
    static Glyph::IGlyphVessel* GetGuiVessel();

    // Called from DllMain only.
    static void CreateInstance();
    static void DestroyInstance();
};

extern "C" {
// Slot 24 of the services, then the style manager's language.
ORVEL_API BOOL SetLanguageID(WORD language);
// The services' version-information object, no reference added; null
// before a successful initialisation.
ORVEL_API IVersionInfo* GetVersionInfo();
// A new version-information object for the current language; the caller
// releases it. Null when no configuration file opens.
ORVEL_API IVersionInfo* GetVersionInfoEx();
// Stores host and, when host is not null, the glyph vessel it returns.
// Returns 1.
ORVEL_API int SetGuiConsume(IGuiConsume* host);
}
