#pragma once
// Private-profile (INI) files with GetPrivateProfileString and
// WritePrivateProfileString semantics: sections and keys compare without case;
// a write replaces the key's value or appends the key at the end of its section
// (appending the section to the file when missing); every other line is kept
// byte for byte; new lines end in CR LF. One portable implementation for both
// systems, so emulators see identical files.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace dravolo {

// The parsed form of one file. Parsing never fails: lines it does not
// understand are kept as they are.
class IniDocument {
public:
    static IniDocument Parse(std::string_view content);
    std::string Serialize() const;

    // GetPrivateProfileString: value with surrounding blanks and one pair of
    // enclosing quotes removed; nullopt when the section or key is missing.
    std::optional<std::string> Get(std::string_view section, std::string_view key) const;
    // WritePrivateProfileString(section, key, value).
    void Set(std::string_view section, std::string_view key, std::string_view value);
    // WritePrivateProfileString(section, key, NULL).
    void DeleteKey(std::string_view section, std::string_view key);
    // WritePrivateProfileString(section, NULL, NULL).
    void DeleteSection(std::string_view section);

    std::vector<std::string> Sections() const;
    std::vector<std::string> Keys(std::string_view section) const;

private:
    struct Line {
        std::string text;    // without the line end
        std::string ending;  // "\r\n", "\n" or "" for a last line without one
    };
    std::optional<std::size_t> FindSection(std::string_view section) const;
    std::optional<std::size_t> FindKey(std::size_t sectionLine, std::string_view key) const;
    std::size_t SectionEnd(std::size_t sectionLine) const;

    std::vector<Line> lines_;
};

// File-level calls (paths are Windows paths, see winfs.h).
std::string GetPrivateProfileString(std::string_view section, std::string_view key, std::string_view defaultValue,
                                    std::string_view file);
int GetPrivateProfileInt(std::string_view section, std::string_view key, int defaultValue, std::string_view file);
// Writes the file atomically; false when it cannot be written.
bool WritePrivateProfileString(std::string_view section, std::string_view key, std::optional<std::string_view> value,
                               std::string_view file);

}  // namespace dravolo
