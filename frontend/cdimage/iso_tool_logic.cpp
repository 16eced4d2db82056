#include "frontend/cdimage/iso_tool_logic.h"

#include <cstdio>

namespace dravolo {

std::vector<std::string> InterfaceChoices(WindowsFamily family) {
    if (family != WindowsFamily::NT) return {"ASPI"};
    return {"Auto", "ASPI", "IOCTL"};
}

int InterfaceModeForChoice(std::string_view entry) {
    if (entry == "ASPI") return kInterfaceModeAspi;
    if (entry == "IOCTL") return kInterfaceModePassThrough;
    return DefaultInterfaceMode();
}

std::string InterfaceName(std::string_view entry, int interfaceMode) {
    if (entry == "ASPI" || entry == "IOCTL") return std::string(entry);
    return interfaceMode == kInterfaceModePassThrough ? "IOCTL" : "ASPI";
}

std::string InterfaceInitFailure(ScsiInterface which) {
    return which == ScsiInterface::Aspi ? "Unable to initialize ASPI drivers\n" : "Unable to initialize IOCTL\n";
}

std::string DriveListEntry(const CdDrive& drive) {
    char text[64];
    std::snprintf(text, sizeof text, "%d:%d:%d           ", drive.adapter, drive.target, drive.lun);
    return text + drive.driveName;
}

std::string DiscInformation(std::size_t tracks, std::uint32_t sectors, std::string_view interfaceName) {
    char text[160];
    std::snprintf(text, sizeof text, "\n Tracks: %ld\n Sectors: %ld\n Interface: %.*s\n", static_cast<long>(tracks),
                  static_cast<long>(sectors), static_cast<int>(interfaceName.size()), interfaceName.data());
    return text;
}

std::string TrackModeName(std::uint8_t mode) {
    switch (mode) {
    case kTrackMode1: return "Data Mode 1";
    case kTrackMode2: return "Data Mode 2";
    default: return "Audio";
    }
}

const std::vector<std::string>& SpeedChoices() {
    static const std::vector<std::string> choices{"Auto", "16X", "8X", "4X", "3X", "2X", "1X"};
    return choices;
}

int SpeedIndexForChoice(int selected) { return 7 - selected; }

const std::vector<std::string>& PriorityChoices() {
    static const std::vector<std::string> choices{"Idle", "Lowest", "Normal", "Highest", "Time Critical"};
    return choices;
}

int ThreadPriorityForChoice(int selected) {
    static const int priorities[] = {-15, -2, 0, 2, 15};
    return selected >= 0 && selected < 5 ? priorities[selected] : 0;
}

std::optional<JobRange> ComputeJobRange(ExtractMode mode, std::int32_t track, std::int32_t from, std::int32_t to,
                                        const std::vector<TocEntry>& toc, std::uint32_t capacity) {
    JobRange range;
    const std::int64_t lastOfDisc = std::int64_t{capacity} - 1;
    auto wholeDisc = [&] {
        range.first = 0;
        range.last = static_cast<std::int32_t>(lastOfDisc);
        return range;
    };
    switch (mode) {
    case ExtractMode::CreateBinaryImage:
    case ExtractMode::ReadOnly: return wholeDisc();
    case ExtractMode::SelectTrack: {
        if (toc.empty() || track < 1) return std::nullopt;
        const auto count = static_cast<std::int32_t>(toc.size());
        if (track > count) {
            track = count;
            range.correctedTrack = count;
        }
        if (count == 1) return wholeDisc();
        const std::size_t index = static_cast<std::size_t>(track - 1);
        range.first = toc[index].start;
        range.last = index + 1 < toc.size() ? toc[index + 1].start - 1 : static_cast<std::int32_t>(lastOfDisc);
        // A TOC out of order or beyond the capacity gives nothing to read.
        if (range.last < range.first) return std::nullopt;
        return range;
    }
    case ExtractMode::SelectSector: {
        if (to < from || from < 0) return std::nullopt;
        if (to > lastOfDisc) {
            to = static_cast<std::int32_t>(lastOfDisc);
            range.correctedTo = to;
        }
        // From beyond the disc: nothing to read.
        if (to < from) return std::nullopt;
        range.first = from;
        range.last = to;
        return range;
    }
    }
    return std::nullopt;
}

}  // namespace dravolo
