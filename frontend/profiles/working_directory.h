#pragma once
// Where the front end and dravolo-cli keep their profile folders. The profiles
// live below the working directory. Started from a desktop menu that is the
// home folder, where five emulator folders do not belong: then, unless the
// home folder already holds profile folders, the programs work in the user's
// data folder ($XDG_DATA_HOME/dravolo, by default ~/.local/share/dravolo).
// "--workdir DIR" names the folder explicitly.

#include <optional>
#include <string>
#include <vector>

namespace dravolo {

// What the choice depends on, all host paths; empty when unknown or not given.
struct WorkingDirectoryInputs {
    std::string current;      // the process's current directory
    std::string home;         // $HOME
    std::string xdgDataHome;  // $XDG_DATA_HOME
    std::string explicitDir;  // --workdir DIR
};

struct WorkingDirectoryChoice {
    std::string directory;            // host path to work in
    bool makeProfileFolders = false;  // create it and the five folders first
};

// Pure: decides, touches nothing but the listing of the current directory.
WorkingDirectoryChoice ChooseWorkingDirectory(const WorkingDirectoryInputs& inputs);

// Does the folder hold one of the five profile folders (any letter case, as the
// profile paths are resolved)?
bool HoldsProfileFolders(const std::string& hostDirectory);

// The inputs from this process: its current directory and environment.
WorkingDirectoryInputs WorkingDirectoryInputsFromEnvironment(std::string explicitDir);

// Makes the choice the current directory (creating what it asks for). The
// reason as text when that fails, for the program to tell.
std::optional<std::string> EnterWorkingDirectory(const WorkingDirectoryChoice& choice);

// Takes "--workdir DIR" and "--workdir=DIR" out of the arguments. False with
// the reason when the option lacks its folder.
bool TakeWorkdirOption(std::vector<std::string>& args, std::string& workdir, std::string& error);

}  // namespace dravolo
