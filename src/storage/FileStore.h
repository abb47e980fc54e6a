// The store in a text file, for Linux, where there is no registry: tests and
// tools use it in place of HKEY_CURRENT_USER. Key and value names are matched
// without regard to letter case, as the registry does. A value carries a type,
// so that one which is not a string can be kept and refused on reading.
//
// The file, rewritten whole at every change:
//   [Software\Logger\TfmMainForm]     a key, by its path from the root
//   NormPos=sz:10,20,384,216          a value: name = type : data
// Names and data escape "%", control characters and the file's own marks as %XX.
#pragma once

#include "Store.h"

#include <string>
#include <string_view>
#include <vector>

namespace brevlund {

struct TFileValue {
    std::string Name;
    std::string Type; // "sz" for a string; any other word for anything else
    std::string Data;

    friend bool operator==(const TFileValue& A, const TFileValue& B) {
        return A.Name == B.Name && A.Type == B.Type && A.Data == B.Data;
    }
};

class TFileStore final : public TStore {
public:
    // The host key is "Software\" + the name of HostExePath, as on Windows.
    TFileStore(std::string FilePath, std::string HostExePath);

    // Each call reads the file afresh; a missing file is an empty store. Throws
    // for a file that cannot be read or is malformed.
    std::unique_ptr<TStoreKey> OpenHostKey() override;

    // Refuses every change from now on, as a store without write access does.
    void SetReadOnly(bool ReadOnly) { FReadOnly = ReadOnly; }

    // For tests and tools, by path from the root ("Software\Logger\TfmMainForm").
    bool KeyExists(const std::string& KeyPath) const;
    // In the order first written; empty for a missing key.
    std::vector<TFileValue> Values(const std::string& KeyPath) const;
    // Sets a value of any type, creating the keys on the way; ignores SetReadOnly.
    void PutValue(const std::string& KeyPath, const TFileValue& Value);

private:
    std::string FilePath;
    std::string HostExePath;
    bool FReadOnly = false;
};

} // namespace brevlund
