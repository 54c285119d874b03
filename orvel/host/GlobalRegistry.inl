// The host services' registry access (through the hive of Selvage.dll) and
// the scan date kept there; included by Global.cpp.

// -------------------------------------------------------------- registry

namespace {

// Closes a key of the hive when it goes out of scope.
class CHiveKey {
public:
    explicit CHiveKey(Selvage::IZqHive* hive) : m_pHive(hive) {}
    ~CHiveKey()
    {
        if (m_key)
            m_pHive->CloseKey(m_key);
    }
    CHiveKey(const CHiveKey&) = delete;
    CHiveKey& operator=(const CHiveKey&) = delete;
    HKEY* operator&() { return &m_key; }
    operator HKEY() const { return m_key; }

private:
    Selvage::IZqHive* m_pHive;
    HKEY m_key = nullptr;
};

constexpr REGSAM kWriteAccess = KEY_WRITE;

}  // namespace

template <class TBase>
LONG CGlobalImpl<TBase>::RegReadString(HKEY root, const wchar_t* key, const wchar_t* name,
                                       wchar_t* buffer, DWORD* size)
{
    if (!key || !*key || !size || (buffer && *size == 0))
        return ERROR_INVALID_PARAMETER;
    const DWORD capacity = buffer ? *size : 0;
    if (buffer)
        buffer[0] = 0;
    Selvage::IZqHive* hive = GetHive();
    if (!hive)
        return ERROR_MOD_NOT_FOUND;
    CHiveKey opened(hive);
    LONG result = hive->OpenKey(root, key, kReadAccess, &opened);
    if (result != ERROR_SUCCESS)
        return result;
    DWORD type = REG_NONE;
    // A capacity beyond what a byte count holds is cut, never wrapped.
    DWORD bytes = capacity > MAXDWORD / sizeof(wchar_t) ? MAXDWORD - 1 : capacity * sizeof(wchar_t);
    result = hive->QueryValue(opened, name, &type, reinterpret_cast<BYTE*>(buffer), &bytes);
    if (result != ERROR_SUCCESS && result != ERROR_MORE_DATA)
        return result;
    if ((type != REG_SZ && type != REG_EXPAND_SZ) || (bytes & 1)) {
        if (buffer)
            buffer[0] = 0;
        return ERROR_INVALID_DATA;
    }
    *size = bytes / sizeof(wchar_t);
    if (result == ERROR_SUCCESS && buffer) {
        if (*size == 0 || *size > capacity || buffer[*size - 1] != 0) {
            buffer[0] = 0;
            return ERROR_INVALID_DATA;
        }
    }
    return result;
}

template <class TBase>
LONG CGlobalImpl<TBase>::RegReadDword(HKEY root, const wchar_t* key, const wchar_t* name,
                                      DWORD* value)
{
    if (!key || !*key || !value)
        return ERROR_INVALID_PARAMETER;
    Selvage::IZqHive* hive = GetHive();
    if (!hive)
        return ERROR_MOD_NOT_FOUND;
    CHiveKey opened(hive);
    LONG result = hive->OpenKey(root, key, kReadAccess, &opened);
    if (result != ERROR_SUCCESS)
        return result;
    DWORD type = REG_NONE;
    DWORD data = 0;
    DWORD bytes = sizeof(data);
    result = hive->QueryValue(opened, name, &type, reinterpret_cast<BYTE*>(&data), &bytes);
    if (result == ERROR_MORE_DATA)
        return ERROR_INVALID_DATA;
    if (result != ERROR_SUCCESS)
        return result;
    if (type != REG_DWORD || bytes != sizeof(data))
        return ERROR_INVALID_DATA;
    *value = data;
    return ERROR_SUCCESS;
}

template <class TBase>
LONG CGlobalImpl<TBase>::RegWriteDword(HKEY root, const wchar_t* key, const wchar_t* name,
                                       DWORD value)
{
    if (!key || !*key)
        return ERROR_INVALID_PARAMETER;
    Selvage::IZqHive* hive = GetHive();
    if (!hive)
        return ERROR_MOD_NOT_FOUND;
    CHiveKey created(hive);
    LONG result = hive->CreateKey(root, key, kWriteAccess, &created);
    if (result != ERROR_SUCCESS)
        return result;
    return hive->SetValue(created, name, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                          sizeof(value));
}

template <class TBase>
LONG CGlobalImpl<TBase>::RegWriteString(HKEY root, const wchar_t* key, const wchar_t* name,
                                        const wchar_t* value)
{
    if (!key || !*key || !value)
        return ERROR_INVALID_PARAMETER;
    size_t length = wcslen(value);
    if (length >= MAXDWORD / sizeof(wchar_t) - 1)
        return ERROR_INVALID_PARAMETER;
    Selvage::IZqHive* hive = GetHive();
    if (!hive)
        return ERROR_MOD_NOT_FOUND;
    CHiveKey created(hive);
    LONG result = hive->CreateKey(root, key, kWriteAccess, &created);
    if (result != ERROR_SUCCESS)
        return result;
    return hive->SetValue(created, name, REG_SZ, reinterpret_cast<const BYTE*>(value),
                          static_cast<DWORD>((length + 1) * sizeof(wchar_t)));
}

template <class TBase>
DWORD CGlobalImpl<TBase>::DateValue(const SYSTEMTIME& date)
{
    return date.wYear * 10000u + date.wMonth * 100u + date.wDay;
}

template <class TBase>
LONG CGlobalImpl<TBase>::SetLastScanDate()
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    return RegWriteDword(HKEY_LOCAL_MACHINE, GetRegKeyPath(kLastScanKey).c_str(), kLastScanValue,
                         DateValue(now));
}

template <class TBase>
DWORD CGlobalImpl<TBase>::GetLastScanDate()
{
    DWORD value = 0;
    if (RegReadDword(HKEY_LOCAL_MACHINE, GetRegKeyPath(kLastScanKey).c_str(), kLastScanValue,
                     &value) != ERROR_SUCCESS)
        return 0;
    return value;
}
