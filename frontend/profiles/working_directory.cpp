#include "frontend/profiles/working_directory.h"

#include <filesystem>
#include <system_error>

#include "common/base/text.h"
#include "common/platform/user_folders.h"
#include "frontend/core/emulator_kind.h"

namespace dravolo {

namespace fs = std::filesystem;

namespace {

bool SameFolder(const std::string& a, const std::string& b) {
    if (a.empty() || b.empty()) return false;
    std::error_code ec;
    const bool same = fs::equivalent(a, b, ec);
    return !ec && same;
}

bool HasFolderNamed(const std::string& hostDirectory, std::string_view name) {
    std::error_code ec;
    for (fs::directory_iterator it(hostDirectory, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code typeError;
        if (it->is_directory(typeError) && EqualsNoCase(it->path().filename().string(), name)) return true;
    }
    return false;
}

}  // namespace

bool HoldsProfileFolders(const std::string& hostDirectory) {
    for (const auto& info : kEmulatorKinds)
        if (HasFolderNamed(hostDirectory, info.directory)) return true;
    return false;
}

WorkingDirectoryChoice ChooseWorkingDirectory(const WorkingDirectoryInputs& inputs) {
    if (!inputs.explicitDir.empty()) return {inputs.explicitDir, true};
    if (!SameFolder(inputs.current, inputs.home) || HoldsProfileFolders(inputs.current)) return {inputs.current, false};
    // A relative $XDG_DATA_HOME is invalid and ignored, as the base directory
    // rules ask.
    const fs::path dataHome = !inputs.xdgDataHome.empty() && fs::path(inputs.xdgDataHome).is_absolute()
                                  ? fs::path(inputs.xdgDataHome)
                                  : fs::path(inputs.home) / ".local" / "share";
    return {(dataHome / "dravolo").string(), true};
}

WorkingDirectoryInputs WorkingDirectoryInputsFromEnvironment(std::string explicitDir) {
    WorkingDirectoryInputs inputs;
    std::error_code ec;
    inputs.current = fs::current_path(ec).string();
    UserDataFolders user = UserDataFoldersFromEnvironment();
    inputs.home = std::move(user.home);
    inputs.xdgDataHome = std::move(user.xdgDataHome);
    inputs.explicitDir = std::move(explicitDir);
    return inputs;
}

std::optional<std::string> EnterWorkingDirectory(const WorkingDirectoryChoice& choice) {
    std::error_code ec;
    if (choice.makeProfileFolders) {
        fs::create_directories(choice.directory, ec);
        if (ec) return "cannot create the folder " + choice.directory + ": " + ec.message();
        for (const auto& info : kEmulatorKinds) {
            // A folder there in another letter case is the same folder.
            if (HasFolderNamed(choice.directory, info.directory)) continue;
            const fs::path folder = fs::path(choice.directory) / std::string(info.directory);
            fs::create_directory(folder, ec);
            if (ec) return "cannot create the folder " + folder.string() + ": " + ec.message();
        }
    }
    fs::current_path(choice.directory, ec);
    if (ec) return "cannot work in the folder " + choice.directory + ": " + ec.message();
    return std::nullopt;
}

bool TakeWorkdirOption(std::vector<std::string>& args, std::string& workdir, std::string& error) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--") break;
        if (args[i].rfind("--workdir=", 0) == 0) {
            workdir = args[i].substr(10);
            args.erase(args.begin() + static_cast<std::ptrdiff_t>(i));
        } else if (args[i] == "--workdir") {
            if (i + 1 >= args.size() || args[i + 1].empty()) {
                error = "--workdir needs a folder";
                return false;
            }
            workdir = args[i + 1];
            args.erase(args.begin() + static_cast<std::ptrdiff_t>(i),
                       args.begin() + static_cast<std::ptrdiff_t>(i) + 2);
        } else {
            continue;
        }
        if (workdir.empty()) {
            error = "--workdir needs a folder";
            return false;
        }
        --i;
    }
    return true;
}

}  // namespace dravolo
