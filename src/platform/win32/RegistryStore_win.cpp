#include "RegistryStore_win.h"

#include <windows.h>

#include <stdexcept>
#include <vector>

namespace brevlund {

namespace {

// Owns one open HKEY.
class TScopedKey {
public:
    explicit TScopedKey(HKEY Key) : Key(Key) {}
    ~TScopedKey() { RegCloseKey(Key); }
    TScopedKey(const TScopedKey&) = delete;
    TScopedKey& operator=(const TScopedKey&) = delete;
    HKEY Get() const { return Key; }

private:
    HKEY Key;
};

// Opens or creates Name under Parent for reading and writing; a key the user may
// only read opens for reading, and writes into it fail when they come.
HKEY OpenKey(HKEY Parent, const std::string& Name, bool Create, const std::string& Path) {
    HKEY Key = nullptr;
    LONG Result;
    if (Create) {
        Result = RegCreateKeyExA(Parent, Name.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                 KEY_READ | KEY_WRITE, nullptr, &Key, nullptr);
        if (Result != ERROR_SUCCESS) throw std::runtime_error(FailedToCreateKeyText(Path));
        return Key;
    }
    Result = RegOpenKeyExA(Parent, Name.c_str(), 0, KEY_READ | KEY_WRITE, &Key);
    if (Result == ERROR_ACCESS_DENIED)
        Result = RegOpenKeyExA(Parent, Name.c_str(), 0, KEY_READ, &Key);
    if (Result == ERROR_FILE_NOT_FOUND) return nullptr;
    if (Result != ERROR_SUCCESS) throw std::runtime_error("Failed to open key '" + Path + "'");
    return Key;
}

std::string FailedToGetData(const std::string& Name) {
    return "Failed to get data for '" + Name + "'";
}

class TRegistryKey final : public TStoreKey {
public:
    TRegistryKey(HKEY Key, std::string Path) : Key(Key), Path(std::move(Path)) {}

    std::unique_ptr<TStoreKey> OpenSubKey(const std::string& Name, bool Create) override {
        const std::string SubPath = Path + "\\" + Name;
        HKEY Sub = OpenKey(Key.Get(), Name, Create, SubPath);
        if (!Sub) return nullptr;
        return std::make_unique<TRegistryKey>(Sub, SubPath);
    }

    bool ValueExists(const std::string& Name) override {
        return RegQueryValueExA(Key.Get(), Name.c_str(), nullptr, nullptr, nullptr, nullptr) ==
               ERROR_SUCCESS;
    }

    std::string ReadString(const std::string& Name) override {
        // The value may change between asking its size and reading it; ask again then.
        for (;;) {
            DWORD Type = 0, Size = 0;
            LONG Result = RegQueryValueExA(Key.Get(), Name.c_str(), nullptr, &Type, nullptr, &Size);
            if (Result == ERROR_FILE_NOT_FOUND) return {};
            if (Result != ERROR_SUCCESS) throw std::runtime_error(FailedToGetData(Name));
            if (Type != REG_SZ && Type != REG_EXPAND_SZ)
                throw std::runtime_error(InvalidDataTypeText(Name));
            std::vector<char> Buffer(Size + 1, '\0');
            DWORD Got = Size;
            Result = RegQueryValueExA(Key.Get(), Name.c_str(), nullptr, &Type,
                                      reinterpret_cast<BYTE*>(Buffer.data()), &Got);
            if (Result == ERROR_MORE_DATA) continue;
            if (Result == ERROR_FILE_NOT_FOUND) return {};
            if (Result != ERROR_SUCCESS) throw std::runtime_error(FailedToGetData(Name));
            if (Type != REG_SZ && Type != REG_EXPAND_SZ)
                throw std::runtime_error(InvalidDataTypeText(Name));
            // The stored text need not end in a NUL, or may carry more than one.
            std::string Text(Buffer.data(), Got < Buffer.size() ? Got : Buffer.size());
            return Text.substr(0, Text.find('\0'));
        }
    }

    void WriteString(const std::string& Name, const std::string& Value) override {
        if (Value.size() >= MAXDWORD) throw std::runtime_error(FailedToSetDataText(Name));
        const LONG Result = RegSetValueExA(Key.Get(), Name.c_str(), 0, REG_SZ,
                                           reinterpret_cast<const BYTE*>(Value.c_str()),
                                           static_cast<DWORD>(Value.size() + 1));
        if (Result != ERROR_SUCCESS) throw std::runtime_error(FailedToSetDataText(Name));
    }

private:
    TScopedKey Key;
    std::string Path;
};

} // namespace

std::unique_ptr<TStoreKey> TRegistryStore::OpenHostKey() {
    const std::string Path = HostKeyPath(HostExePath);
    return std::make_unique<TRegistryKey>(OpenKey(HKEY_CURRENT_USER, Path, true, Path), Path);
}

} // namespace brevlund
