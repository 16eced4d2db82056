// Wine hive text. Whatever parses: written out and read again it holds the
// same keys, values and unread lines; a value we set reads back; every key we
// did not change is written as the exact text it was read from; a settled
// hive writes what a fresh read of its output writes.

#include "common/platform/posix/hive.h"
#include "common/platform/posix/hive_text.h"
#include "tests/fuzz/fuzz_check.h"

namespace dravolo::hive {
namespace {

constexpr std::uint64_t kNow = 0x1dd868bce22de12ull;

// Says on stderr where two trees first differ, for the finding's report.
bool Differ(const Key& a, const char* what) {
    std::string name;
    for (char16_t c : a.name) name += c < 128 ? static_cast<char>(c) : '?';
    std::fprintf(stderr, "key \"%s\": %s differ\n", name.c_str(), what);
    return false;
}

bool SameKeys(const Key& a, const Key& b) {
    // Key names compare without case. A key keeps the case of the first line
    // that names it (its own or a subkey's), and the sorted output may put
    // another of those lines first: Wine reads it the same way.
    if (!NamesEqual(a.name, b.name)) return Differ(a, "names");
    if (a.values.size() != b.values.size()) return Differ(a, "value counts");
    if (a.subkeys.size() != b.subkeys.size()) return Differ(a, "subkey counts");
    if (a.extraLines != b.extraLines) return Differ(a, "unread lines");
    for (std::size_t i = 0; i < a.values.size(); ++i) {
        const Value &x = a.values[i], &y = b.values[i];
        if (x.name != y.name || x.type != y.type || x.data != y.data) return Differ(a, "values");
    }
    for (std::size_t i = 0; i < a.subkeys.size(); ++i)
        if (!SameKeys(*a.subkeys[i], *b.subkeys[i])) return false;
    return true;
}

void CollectPaths(const Key& key, const std::u16string& path, std::vector<std::u16string>& out) {
    for (const auto& sub : key.subkeys) {
        const std::u16string p = path.empty() ? sub->name : path + u"\\" + sub->name;
        out.push_back(p);
        CollectPaths(*sub, p, out);
    }
}

// Every untouched key's raw text, in the order it is written.
void CollectRaw(const Key& key, std::vector<std::string>& out) {
    if (!key.dirty && !key.raw.empty()) out.push_back(key.raw);
    for (const auto& sub : key.subkeys) CollectRaw(*sub, out);
}

std::optional<Hive> Reparse(const std::string& text) {
    auto h = Hive::Parse(text);
    FUZZ_CHECK(h.has_value());  // our own output always has the signature
    return h;
}

}  // namespace

}  // namespace dravolo::hive

using namespace dravolo;
using namespace dravolo::hive;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text = fuzz::AsText(data, size);
    auto parsed = Hive::Parse(text);
    if (!parsed || !parsed->writable()) return 0;
    Hive& h = *parsed;

    // Written and read again: the same keys, values and unread lines.
    const std::string out = h.Serialize();
    auto back = Reparse(out);
    FUZZ_CHECK(SameKeys(*back->Find(u""), *h.Find(u"")));
    FUZZ_CHECK(back->Serialize() == out);

    // One value set in a key chosen by the input: it reads back, every other
    // key and value stays, every untouched key's text is in the output.
    std::vector<std::u16string> paths{u"Software\\Fuzz"};
    CollectPaths(*h.Find(u""), u"", paths);
    const std::u16string& path = paths[size % paths.size()];
    const Bytes value{1, 2, 3, 4};
    Hive edited = std::move(*Reparse(out));
    edited.SetValue(path, u"FuzzValue", 3, value, kNow);
    std::vector<std::string> untouched;
    CollectRaw(*edited.Find(u""), untouched);
    const std::string once = edited.Serialize();
    std::size_t at = 0;
    for (const std::string& raw : untouched) {
        const std::size_t found = once.find(raw, at);
        FUZZ_CHECK(found != std::string::npos);
        at = found + raw.size();
    }
    auto reread = Reparse(once);
    const Key* key = reread->Find(path);
    FUZZ_CHECK(key != nullptr);
    const Value* v = key->FindValue(u"FuzzValue");
    FUZZ_CHECK(v != nullptr && v->type == 3 && v->data == value);
    for (const std::u16string& p : paths) {
        const Key* before = edited.Find(p);
        const Key* after = reread->Find(p);
        if (!before) continue;  // the new key, when the edit went elsewhere
        FUZZ_CHECK(after != nullptr);
        FUZZ_CHECK(before->extraLines == after->extraLines);
        FUZZ_CHECK(before->values.size() == after->values.size());
        for (std::size_t i = 0; i < before->values.size(); ++i)
            FUZZ_CHECK(before->values[i].name == after->values[i].name &&
                       before->values[i].data == after->values[i].data);
    }

    // Settled, the hive is what a fresh read of its output is; two saves
    // equal one.
    const std::string settled = edited.SerializeAndSettle();
    FUZZ_CHECK(settled == once);
    FUZZ_CHECK(edited.Serialize() == settled);
    FUZZ_CHECK(reread->Serialize() == settled);
    return 0;
}
