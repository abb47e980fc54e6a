// The store in the registry: HKEY_CURRENT_USER\Software\<host name>, string
// values (REG_SZ), single-byte text as the host uses it.
#pragma once

#include "storage/Store.h"

#include <string>

namespace brevlund {

class TRegistryStore final : public TStore {
public:
    // HostExePath: the full path of the running host executable, which names the key.
    explicit TRegistryStore(std::string HostExePath) : HostExePath(std::move(HostExePath)) {}

    std::unique_ptr<TStoreKey> OpenHostKey() override;

private:
    std::string HostExePath;
};

} // namespace brevlund
