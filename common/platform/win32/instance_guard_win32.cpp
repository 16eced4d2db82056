// One instance per name: a named mutex. Windows drops it when the process
// ends, however it ends.

#include "common/platform/windows_api.h"

#include <string>

#include "common/platform/instance_guard.h"

namespace dravolo {

namespace {

class MutexGuard final : public InstanceGuard {
public:
    explicit MutexGuard(HANDLE h) : h_(h) {}
    ~MutexGuard() override { CloseHandle(h_); }

private:
    HANDLE h_;
};

}  // namespace

std::unique_ptr<InstanceGuard> InstanceGuard::Acquire(std::string_view name) {
    // A backslash would select a kernel namespace ("Global\\"); keep the name flat.
    std::string flat(name);
    for (char& c : flat) {
        if (c == '\\') c = '_';
    }
    HANDLE h = CreateMutexA(nullptr, FALSE, flat.c_str());
    if (!h) return nullptr;
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        CloseHandle(h);
        return nullptr;
    }
    return std::make_unique<MutexGuard>(h);
}

std::unique_ptr<InstanceGuard> InstanceGuard::AcquireForRegistry(std::string_view name) {
    // A mutex without a namespace lives in the logon session: one user's.
    return Acquire(name);
}

}  // namespace dravolo
