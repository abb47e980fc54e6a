// The store seam: a per-user hierarchical store of named string values (the
// registry under HKEY_CURRENT_USER on Windows, a file elsewhere). A storage opens
// it for one restore or one save and closes it at the end.
#pragma once

#include "engine/HostPath.h"

#include <memory>
#include <string>
#include <string_view>

namespace brevlund {

// An open key; it is closed when the object goes.
class TStoreKey {
public:
    TStoreKey() = default;
    TStoreKey(const TStoreKey&) = delete;
    TStoreKey& operator=(const TStoreKey&) = delete;
    virtual ~TStoreKey() = default;

    // Null when the key is missing and Create is false. A key that exists but
    // cannot be opened, or cannot be created, throws.
    virtual std::unique_ptr<TStoreKey> OpenSubKey(const std::string& Name, bool Create) = 0;
    virtual bool ValueExists(const std::string& Name) = 0;
    // Throws "Invalid data type for 'NAME'" for a value that is not a string.
    virtual std::string ReadString(const std::string& Name) = 0;
    // Throws "Failed to set data for 'NAME'" when the store refuses the write.
    virtual void WriteString(const std::string& Name, const std::string& Value) = 0;
};

class TStore {
public:
    virtual ~TStore() = default;
    // "Software\<host name>" under the current user, created when missing; never
    // null, throws when the key cannot be opened or created.
    virtual std::unique_ptr<TStoreKey> OpenHostKey() = 0;
};

// "Software\" + the host name. Throws "Failed to create key 'Software\'" for an
// empty name, which would otherwise put the sections straight under Software.
std::string HostKeyPath(std::string_view HostExePath);

// The texts of the store's failures, shared by every implementation.
std::string InvalidDataTypeText(const std::string& Name);
std::string FailedToSetDataText(const std::string& Name);
std::string FailedToCreateKeyText(const std::string& Path);

} // namespace brevlund
