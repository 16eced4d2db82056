#pragma once
// One of Wine's registry hive files ("WINE REGISTRY Version 2") held in memory.
// Values keep Windows' own form (string types as UTF-16LE with their NUL), so
// any type survives a load and save. Every key remembers the exact text it was
// read from; a key nobody changed is written back byte for byte, a changed one
// is written the way wineserver writes it, with a fresh timestamp. Lines we do
// not understand stay with their key.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/base/bytes.h"

namespace dravolo::hive {

// FILETIME ticks (100 ns since 1601) for a Unix time in seconds, and back.
std::uint64_t FileTimeFromUnix(std::int64_t seconds);
std::int64_t UnixFromFileTime(std::uint64_t ticks);
// The current time as FILETIME ticks.
std::uint64_t FileTimeNow();

struct Value {
    std::u16string name;  // empty: the key's default value
    std::uint32_t type = 0;
    Bytes data;
};

struct Key {
    std::u16string name;
    std::vector<std::unique_ptr<Key>> subkeys;  // ordered as wineserver orders them
    std::vector<Value> values;                  // ditto
    // '#' option lines other than #time (#class, #link ...) and lines that are
    // no value we can read, in file order.
    std::vector<std::string> extraLines;
    std::uint64_t modified = 0;  // FILETIME ticks; 0 when the file gave none
    std::string raw;             // the key's text as read, blank lines before it included
    bool dirty = false;          // raw no longer describes the key
    // raw ends inside a wrapped hex value whose next line never came (the file
    // ended there); extraLines then end in the comment line that closes it.
    bool endsInOpenValue = false;

    Key* FindSubkey(std::u16string_view name);
    const Key* FindSubkey(std::u16string_view name) const;
    const Value* FindValue(std::u16string_view name) const;
};

class Hive {
public:
    Hive();
    Hive(Hive&&) noexcept;
    Hive& operator=(Hive&&) noexcept;
    ~Hive();

    // Parses file text. nullopt when the first line is not Wine's signature:
    // such a file is not a hive we may ever rewrite.
    static std::optional<Hive> Parse(std::string_view text);
    // An empty hive whose header names the root (e.g. "REGISTRY\\User\\S-1-...")
    // and the prefix architecture ("win32"/"win64"; empty writes no #arch line).
    static Hive CreateEmpty(std::string_view relativeTo, std::string_view arch);

    std::string Serialize() const;
    // The same text; afterwards every key's raw text is what it was written
    // as, so the hive equals a fresh parse of the output without the parse.
    std::string SerializeAndSettle();

    // False when a key line could not be read: the file is kept for reading,
    // but rewriting it could move lines to another key, so it is never saved.
    bool writable() const { return writable_; }
    // The "#arch=" value of the header, empty when there is none.
    std::string arch() const;

    // Paths are backslash-separated below the hive root; empty parts are
    // ignored, so "" is the root itself.
    const Key* Find(std::u16string_view path) const;
    Key* Find(std::u16string_view path);

    // Edits return whether anything changed. `now` stamps the keys touched.
    bool CreateKey(std::u16string_view path, std::uint64_t now);
    bool SetValue(std::u16string_view path, std::u16string_view name, std::uint32_t type, const Bytes& data,
                  std::uint64_t now);
    bool DeleteValue(std::u16string_view path, std::u16string_view name, std::uint64_t now);
    // Deletes a key and everything below it; the root cannot be deleted.
    bool DeleteTree(std::u16string_view path, std::uint64_t now);

private:
    Key& Ensure(std::u16string_view path, std::uint64_t now, bool& created);

    std::string header_;   // lines before the first key
    std::string trailer_;  // blank lines after the last key
    std::unique_ptr<Key> root_;
    bool writable_ = true;
};

// The text wineserver writes for one value ("\"name\"=dword:00000001\n").
std::string FormatValue(const Value& value);
// Parses one value from its text; wrapped hex data arrives as its lines joined
// with '\n'. nullopt when the text is no value wineserver would load.
std::optional<Value> ParseValue(std::string_view text);

}  // namespace dravolo::hive
