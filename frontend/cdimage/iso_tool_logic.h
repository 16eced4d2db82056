#pragma once
// The ISO tool's rules without its widgets: the interface choice, the texts it
// shows, the speeds and priorities of its lists and the job range of each
// mode. The dialog and dravolo-cli both follow them.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/platform/windows_family.h"
#include "frontend/cdimage/cd_access.h"

namespace dravolo {

enum class ExtractMode { CreateBinaryImage = 0, SelectTrack = 1, SelectSector = 2, ReadOnly = 3 };

// "Interface:" entries: "Auto", "ASPI", "IOCTL"; only "ASPI" on Windows 9x.
std::vector<std::string> InterfaceChoices(WindowsFamily family);
// The interface mode an entry stands for ("Auto": the family's default).
int InterfaceModeForChoice(std::string_view entry);
// "ASPI" or "IOCTL": by the entry when it names one, else by the mode.
std::string InterfaceName(std::string_view entry, int interfaceMode);

// "Unable to initialize ASPI drivers\n" / "Unable to initialize IOCTL\n".
std::string InterfaceInitFailure(ScsiInterface which);

// "%d:%d:%d           %s": adapter, target, LUN, eleven spaces, drive name.
std::string DriveListEntry(const CdDrive& drive);
// "\n Tracks: %ld\n Sectors: %ld\n Interface: %s\n"
std::string DiscInformation(std::size_t tracks, std::uint32_t sectors, std::string_view interfaceName);
// "Audio", "Data Mode 1", "Data Mode 2".
std::string TrackModeName(std::uint8_t mode);

// "Speed:" entries and the speed index of each ("Auto" 7, "16X" 6 ... "1X" 1).
const std::vector<std::string>& SpeedChoices();
int SpeedIndexForChoice(int selected);
// "Thread Priority:" entries and the priorities they map to (-15, -2, 0, 2, 15).
const std::vector<std::string>& PriorityChoices();
int ThreadPriorityForChoice(int selected);

struct JobRange {
    std::int32_t first = 0;
    std::int32_t last = -1;
    // Values corrected for the user, to be written back to their fields.
    std::optional<std::int32_t> correctedTrack;
    std::optional<std::int32_t> correctedTo;
};
// The sectors a Start covers; nullopt when the mode's input makes Start stop.
// capacity 0 (unreadable) gives the empty whole-disc range 0 to -1.
std::optional<JobRange> ComputeJobRange(ExtractMode mode, std::int32_t track, std::int32_t from, std::int32_t to,
                                        const std::vector<TocEntry>& toc, std::uint32_t capacity);

}  // namespace dravolo
