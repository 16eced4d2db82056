// Private-profile INI files. Any text reads and writes back byte for byte; a
// write of one key changes that key's line only (or adds its line, and its
// section's, where the key was missing), every other line keeps its bytes,
// and every other key keeps its value.

#include <string>
#include <vector>

#include "common/base/text.h"
#include "common/platform/profile_ini.h"
#include "tests/fuzz/fuzz_check.h"

using namespace dravolo;

namespace {

// Line texts, without their LF and the CR before it.
std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> out;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t nl = text.find('\n', pos);
        if (nl == std::string::npos) nl = text.size();
        std::size_t end = nl;
        if (end > pos && nl < text.size() && text[end - 1] == '\r') --end;
        out.push_back(text.substr(pos, end - pos));
        pos = nl + 1;
    }
    return out;
}

// Where line n (from 0) of the text begins; the text's size past its end.
std::size_t LineStart(const std::string& text, std::size_t n) {
    std::size_t pos = 0;
    for (std::size_t i = 0; i < n && pos < text.size(); ++i) {
        const std::size_t nl = text.find('\n', pos);
        pos = nl == std::string::npos ? text.size() : nl + 1;
    }
    return pos;
}

struct Entry {
    std::string section, key;
    std::optional<std::string> value;
};

std::vector<Entry> AllValues(const IniDocument& doc) {
    std::vector<Entry> out;
    for (const std::string& s : doc.Sections())
        for (const std::string& k : doc.Keys(s)) out.push_back({s, k, doc.Get(s, k)});
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(fuzz::AsText(data, size));
    const IniDocument doc = IniDocument::Parse(text);
    FUZZ_CHECK(doc.Serialize() == text);

    // The key to write: one of the file's, a new one in one of its sections,
    // or one in a new section, as the input's size picks.
    const std::vector<std::string> sections = doc.Sections();
    std::string section = "FuzzSection", key = "FuzzKey";
    const std::size_t pick = size % 3;
    if (pick > 0 && !sections.empty()) {
        section = sections[(size / 3) % sections.size()];
        const std::vector<std::string> keys = doc.Keys(section);
        if (pick == 1 && !keys.empty()) key = keys[(size / 7) % keys.size()];
    }
    const std::string value = "written value";

    IniDocument edited = doc;
    edited.Set(section, key, value);
    const std::string out = edited.Serialize();
    const IniDocument back = IniDocument::Parse(out);
    FUZZ_CHECK(back.Get(section, key) == value);

    // Line by line: a common head and tail, between them at most one line
    // of the file replaced and at most two new ones.
    const std::vector<std::string> before = Lines(text), after = Lines(out);
    std::size_t head = 0;
    while (head < before.size() && head < after.size() && before[head] == after[head]) ++head;
    std::size_t tail = 0;
    while (tail < before.size() - head && tail < after.size() - head &&
           before[before.size() - 1 - tail] == after[after.size() - 1 - tail])
        ++tail;
    FUZZ_CHECK(before.size() - head - tail <= 1);
    FUZZ_CHECK(after.size() - head - tail <= 2);
    // Bytes too: the text before and after the changed lines is there as
    // it was (a last line without its line end may have got one).
    const std::size_t headBytes = LineStart(text, head);
    FUZZ_CHECK(out.compare(0, headBytes, text, 0, headBytes) == 0);
    if (tail > 0) {
        const std::string_view rest = std::string_view(text).substr(LineStart(text, before.size() - tail));
        FUZZ_CHECK(std::string_view(out).ends_with(rest));
    }

    // Every other key keeps its value.
    for (const Entry& e : AllValues(doc)) {
        if (EqualsNoCase(e.section, section) && EqualsNoCase(e.key, key)) continue;
        FUZZ_CHECK(back.Get(e.section, e.key) == e.value);
    }
    // Writing the same value again changes nothing.
    IniDocument again = back;
    again.Set(section, key, value);
    FUZZ_CHECK(again.Serialize() == out);
    return 0;
}
