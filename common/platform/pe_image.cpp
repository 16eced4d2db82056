#include "common/platform/pe_image.h"

#include <fstream>
#include <vector>

#include "common/base/bytes.h"
#include "common/platform/winfs.h"

namespace dravolo {

namespace {

constexpr std::size_t kHeadSize = 4096;
constexpr std::uint16_t kMachineI386 = 0x014C;
constexpr std::uint16_t kMachineAmd64 = 0x8664;

}  // namespace

bool StartsWithMz(std::span<const std::uint8_t> head) { return head.size() >= 2 && head[0] == 'M' && head[1] == 'Z'; }

bool FileStartsWithMz(std::string_view path) {
    const auto file = WinFile::Open(path, WinFile::Mode::Read);
    Bytes head;
    return file && file->ReadAll(2, head) && StartsWithMz(head);
}

std::optional<PeMachine> PeMachineOf(std::span<const std::uint8_t> head) {
    if (head.size() < 0x40 || !StartsWithMz(head)) return std::nullopt;
    const std::uint32_t at = LoadU32(head.data() + 0x3C);
    if (at > head.size() || head.size() - at < 6) return std::nullopt;
    const std::uint8_t* signature = head.data() + at;
    if (signature[0] != 'P' || signature[1] != 'E' || signature[2] != 0 || signature[3] != 0) return std::nullopt;
    switch (LoadU16(signature + 4)) {
    case kMachineI386: return PeMachine::X86;
    case kMachineAmd64: return PeMachine::X64;
    default: return PeMachine::Other;
    }
}

std::optional<PeMachine> PeMachineOfFile(std::string_view path) {
    std::ifstream in(ToHostPath(path), std::ios::binary);
    if (!in) return std::nullopt;
    std::vector<std::uint8_t> head(kHeadSize);
    in.read(reinterpret_cast<char*>(head.data()), static_cast<std::streamsize>(head.size()));
    head.resize(static_cast<std::size_t>(in.gcount()));
    return PeMachineOf(head);
}

}  // namespace dravolo
