// Finding the program a command line names, the way CreateProcess does when it
// is given no application name. Portable: both systems use it to tell "not
// found" apart before starting anything.

#include "common/platform/process.h"
#include "common/platform/winfs.h"

namespace dravolo {

namespace {

bool IsArgBlank(char c) { return c == ' ' || c == '\t'; }

bool IsRelative(std::string_view p) {
    if (p.size() >= 2 && p[1] == ':') return false;
    return p.empty() || (p[0] != '\\' && p[0] != '/');
}

bool HasExtension(std::string_view p) {
    const auto sep = p.find_last_of("\\/");
    const auto dot = p.rfind('.');
    return dot != std::string_view::npos && (sep == std::string_view::npos || dot > sep);
}

std::string JoinWindows(std::string_view dir, std::string_view name) {
    std::string out(dir);
    if (!out.empty() && out.back() != '\\' && out.back() != '/') out.push_back(out[0] == '/' ? '/' : '\\');
    out.append(name);
    return out;
}

// The file a candidate name stands for, or nullopt.
std::optional<std::string> Locate(std::string_view candidate, std::string_view workingDir) {
    std::vector<std::string> names;
    if (!HasExtension(candidate)) names.push_back(std::string(candidate) + ".exe");
    // A native program has no extension; Windows would not look for it as
    // written, but that is how our test doubles and native tools are named.
    names.emplace_back(candidate);
    for (const auto& name : names) {
        if (IsRelative(name)) {
            if (!workingDir.empty()) {
                std::string p = JoinWindows(workingDir, name);
                if (FileExists(p)) return p;
            }
            std::string p = JoinWindows(GetCurrentDir(), name);
            if (FileExists(p)) return p;
        } else if (FileExists(name)) {
            return name;
        }
    }
    return std::nullopt;
}

std::string_view SkipBlanks(std::string_view s) {
    while (!s.empty() && IsArgBlank(s.front())) s.remove_prefix(1);
    return s;
}

}  // namespace

std::optional<ResolvedProgram> ResolveProgram(std::string_view commandLine, std::string_view workingDir) {
    const std::string_view line = SkipBlanks(commandLine);
    if (line.empty()) return std::nullopt;

    if (line.front() == '"') {
        // A quoted name is taken as it stands, blanks and all.
        const auto close = line.find('"', 1);
        const std::string_view name =
            line.substr(1, close == std::string_view::npos ? std::string_view::npos : close - 1);
        const std::string_view rest = close == std::string_view::npos ? std::string_view() : line.substr(close + 1);
        auto found = Locate(name, workingDir);
        if (!found) return std::nullopt;
        return ResolvedProgram{std::move(*found), std::string(SkipBlanks(rest))};
    }

    // Unquoted: every blank may end the name. "c:\psinex\psinex pc emulator.exe -x"
    // tries "c:\psinex\psinex", then "c:\psinex\psinex pc", then the name up
    // to "-x", and so on; the first that exists wins.
    std::size_t pos = 0;
    while (true) {
        std::size_t end = pos;
        while (end < line.size() && !IsArgBlank(line[end])) ++end;
        if (auto found = Locate(line.substr(0, end), workingDir))
            return ResolvedProgram{std::move(*found), std::string(SkipBlanks(line.substr(end)))};
        if (end >= line.size()) return std::nullopt;
        pos = end;
        while (pos < line.size() && IsArgBlank(line[pos])) ++pos;
        if (pos >= line.size()) return std::nullopt;
    }
}

}  // namespace dravolo
