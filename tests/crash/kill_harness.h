#pragma once
// Saves run in a child process that is ended with SIGKILL in the middle: right
// after its n-th write step (through the file layer's write hook), or after a
// delay. What the kill leaves on the disk is then checked by the parent.

#include <chrono>
#include <functional>
#include <optional>
#include <set>
#include <string>

namespace dravolo::test {

enum class ChildEnd { Finished, Killed };

// Runs work in a child. With killAfterStep > 0 the child dies right after
// that write step; each write call carries at most largestWrite bytes.
ChildEnd RunKilledAfterStep(const std::function<void()>& work, int killAfterStep, std::size_t largestWrite = 16);
// Runs work in a child killed after the delay (or finishing before it).
ChildEnd RunKilledAfterDelay(const std::function<void()>& work, std::chrono::microseconds delay);

// The content of a host file, nullopt when there is none.
std::optional<std::string> ReadIfExists(const std::string& hostPath);
// The names in a host folder.
std::set<std::string> NamesIn(const std::string& hostFolder);

// Kills save at every write step and at random delays, and checks after each
// kill that the file holds its old content or the new one (what save gives
// when it runs to its end), never a mix, and that no file is left beside it
// that a finished save does not leave. reset puts the old state back.
// comparable, when given, takes out of a content what differs between two
// finished saves (the time a hive writes), before contents are compared.
void ExpectOldOrNewAfterEveryKill(const std::string& hostFile, const std::function<void()>& reset,
                                  const std::function<void()>& save,
                                  const std::function<std::string(std::string)>& comparable = nullptr);

}  // namespace dravolo::test
