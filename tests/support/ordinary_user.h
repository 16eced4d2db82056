#pragma once
// File permissions bind root only in part: root opens a read-only file for
// writing and creates files in a read-only folder. Tests of what a user sees
// on such files act, for a while, as the unprivileged user "nobody" (the
// effective ids only, so root comes back afterwards). A test that already runs
// as an ordinary user needs nothing. POSIX only; header-only, so that the Qt
// suites can use it without the gtest support library.

#ifndef _WIN32
#include <sys/types.h>
#include <unistd.h>

#include <filesystem>
#include <exception>
#include <stdexcept>
#include <string>

namespace dravolo::test {

class ActAsOrdinaryUser {
public:
    // tree: the test's private folder; handed to the ordinary user so that it
    // can reach and change what the test made there as root.
    explicit ActAsOrdinaryUser(const std::string& tree) {
        if (geteuid() != 0) return;
        namespace fs = std::filesystem;
        if (lchown(tree.c_str(), kNobody, kNobody) != 0) throw std::runtime_error("lchown " + tree);
        for (const auto& entry : fs::recursive_directory_iterator(tree)) {
            if (lchown(entry.path().c_str(), kNobody, kNobody) != 0)
                throw std::runtime_error("lchown " + entry.path().string());
        }
        if (setegid(kNobody) != 0 || seteuid(kNobody) != 0) throw std::runtime_error("cannot act as nobody");
        switched_ = true;
    }
    ~ActAsOrdinaryUser() {
        if (!switched_) return;
        if (seteuid(0) != 0 || setegid(0) != 0) std::terminate();  // the rest of the run would be wrong
    }
    ActAsOrdinaryUser(const ActAsOrdinaryUser&) = delete;
    ActAsOrdinaryUser& operator=(const ActAsOrdinaryUser&) = delete;

private:
    static constexpr uid_t kNobody = 65534;
    bool switched_ = false;
};

}  // namespace dravolo::test
#endif
