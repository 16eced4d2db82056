#pragma once
// One running copy per name: a named mutex on Windows, a locked file on POSIX.
// The guard holds until the object (or the process) ends.

#include <memory>
#include <string_view>

namespace dravolo {

class InstanceGuard {
public:
    // nullptr when another process already holds the name.
    static std::unique_ptr<InstanceGuard> Acquire(std::string_view name);
    // One holder per name among the programs that share one registry (one
    // user's): on Windows as Acquire; on POSIX per Wine prefix, so programs
    // working in different prefixes never stop each other.
    static std::unique_ptr<InstanceGuard> AcquireForRegistry(std::string_view name);
    virtual ~InstanceGuard() = default;
};

}  // namespace dravolo
