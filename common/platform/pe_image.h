#pragma once
// Telling Windows programs and DLLs from native files by their headers: the
// "MZ" stub, the offset of the "PE\0\0" signature at 0x3C, and the machine
// word right after it.

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace dravolo {

enum class PeMachine { X86, X64, Other };

// The "MZ" of every Windows program and DLL (and of DOS programs): enough to
// know that a program runs under Wine rather than natively.
bool StartsWithMz(std::span<const std::uint8_t> head);
// The same for the file at a Windows path; false when it cannot be read.
bool FileStartsWithMz(std::string_view path);

// From the first bytes of a file (the headers sit in its first few KiB);
// nullopt when they are not a PE image's.
std::optional<PeMachine> PeMachineOf(std::span<const std::uint8_t> head);
// Reads the headers of the file at a Windows path.
std::optional<PeMachine> PeMachineOfFile(std::string_view path);

// The DLLs this process loads itself: its own machine on Windows; nullopt
// elsewhere, where our own libraries are not PE images.
std::optional<PeMachine> OwnPeMachine();

}  // namespace dravolo
