#include "frontend/shell/profile_shortcut.h"

#include "common/base/png_writer.h"
#include "frontend/shell/profile_picture.h"

namespace dravolo {

namespace {

// Characters the Exec key reserves: an argument holding one is quoted.
constexpr std::string_view kReserved = " \t\n\"'\\><~|&;$*?#()`";

// Name and Comment are plain strings: only the escapes of the string type.
std::string DesktopString(std::string_view text) {
    std::string out;
    for (char c : text) {
        if (c == '\\') out += "\\\\";
        else if (c == '\n') out += "\\n";
        else if (c == '\t') out += "\\t";
        else if (c == '\r') out += "\\r";
        else out += c;
    }
    return out;
}

}  // namespace

std::string DesktopExecArgument(std::string_view argument) {
    std::string quoted;
    const bool needsQuotes = argument.empty() || argument.find_first_of(kReserved) != std::string_view::npos ||
                             argument.find('=') != std::string_view::npos;
    if (needsQuotes) {
        quoted += '"';
        for (char c : argument) {
            if (c == '"' || c == '`' || c == '$' || c == '\\') quoted += '\\';
            quoted += c;
        }
        quoted += '"';
    } else {
        quoted = argument;
    }
    // Field codes start with '%': a literal one is doubled.
    std::string out;
    for (char c : quoted) {
        if (c == '%') out += "%%";
        else out += c;
    }
    // Then the whole value is a string: its backslashes are escaped once more.
    return DesktopString(out);
}

std::string DesktopEntryText(const ProfileShortcut& s) {
    std::string exec = DesktopExecArgument(s.cliProgram) + " --workdir " + DesktopExecArgument(s.workdir) + " launch " +
                       std::string(KindInfo(s.kind).directory) + " " + DesktopExecArgument(s.profileName);
    std::string text = "[Desktop Entry]\nType=Application\nName=" + DesktopString(s.profileName) + "\n";
    const std::string comment = s.description.find_first_not_of(' ') == std::string::npos
                                    ? std::string(KindInfo(s.kind).directory) + " profile"
                                    : s.description;
    text += "Comment=" + DesktopString(comment) + "\n";
    text += "Exec=" + exec + "\n";
    text += "Icon=" + DesktopString(s.icon) + "\n";
    text += "Terminal=false\nCategories=Game;Emulator;\n";
    return text;
}

std::string ShortcutBaseName(EmulatorKind kind, std::string_view profileName) {
    std::string name = "dravolo-" + std::string(KindInfo(kind).directory) + "-";
    for (char c : profileName) {
        const bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '.' ||
                           c == '-' || c == '_';
        name += plain ? c : '_';
    }
    return name;
}

std::optional<Bytes> ProfilePictureAsPng(std::string_view bitmapPath) {
    const auto picture = LoadProfilePicture(bitmapPath);
    if (!picture) return std::nullopt;
    const IconImage& icon = picture->large;
    Bytes png = EncodePng(icon.size, icon.size, icon.pixels);
    if (png.empty()) return std::nullopt;
    return png;
}

}  // namespace dravolo
