// dravolo-cli cd: the ISO tool without its window. Lists the CD drives, shows
// a disc's tracks and extracts a disc, a track or a range of sectors into a
// raw image, asking its questions on the terminal (--yes / --no in scripts).

#include <atomic>
#include <charconv>
#include <csignal>
#include <cstdio>
#include <iostream>
#include <optional>
#include <ostream>

#include "cli/cli.h"
#include "common/base/text.h"
#include "common/platform/console.h"
#include "common/platform/windows_family.h"
#include "common/platform/winfs.h"
#include "frontend/cdimage/bad_sector_list.h"
#include "frontend/cdimage/cd_access.h"
#include "frontend/cdimage/cue_sheet.h"
#include "frontend/cdimage/extraction.h"
#include "frontend/cdimage/iso_tool_logic.h"

namespace dravolo::cli {

namespace {

constexpr std::string_view kToolCaption = "ISO Tool";

std::optional<long long> ParseNumber(std::string_view text) {
    long long value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

std::optional<CdDrive> ParseDrive(std::string_view text) {
    CdDrive drive;
    std::uint8_t* parts[3] = {&drive.adapter, &drive.target, &drive.lun};
    for (int i = 0; i < 3; ++i) {
        const std::size_t colon = i < 2 ? text.find(':') : text.size();
        if (colon == std::string_view::npos) return std::nullopt;
        const auto value = ParseNumber(text.substr(0, colon));
        if (!value || *value < 0 || *value > 255) return std::nullopt;
        *parts[i] = static_cast<std::uint8_t>(*value);
        text.remove_prefix(i < 2 ? colon + 1 : colon);
    }
    return drive;
}

struct Options {
    std::vector<std::string> positional;
    std::string interfaceChoice = "Auto";
    int speedChoice = 0;  // "Auto"
    ExtractMode mode = ExtractMode::CreateBinaryImage;
    std::int32_t track = 0, from = 0, to = 0;
    bool writeCue = true;
    int retries = 3;  // of one chunk, before it is given up
    bool skipBad = false;
    std::string error;
};

bool TakeValue(const std::vector<std::string>& args, std::size_t& i, std::string& value) {
    if (i + 1 >= args.size()) return false;
    value = args[++i];
    return true;
}

Options ParseOptions(const std::vector<std::string>& args) {
    Options o;
    int modes = 0;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        std::string value;
        if (a == "--interface") {
            if (!TakeValue(args, i, value)) return o.error = "--interface needs auto, aspi or ioctl", o;
            const std::string upper = UpperAnsi(value);
            if (upper != "AUTO" && upper != "ASPI" && upper != "IOCTL")
                return o.error = "--interface takes auto, aspi or ioctl", o;
            o.interfaceChoice = upper == "AUTO" ? "Auto" : upper;
        } else if (a == "--speed") {
            if (!TakeValue(args, i, value)) return o.error = "--speed needs auto, 16x, 8x, 4x, 3x, 2x or 1x", o;
            const std::string upper = UpperAnsi(value);
            const auto& speeds = SpeedChoices();
            o.speedChoice = -1;
            for (std::size_t s = 0; s < speeds.size(); ++s)
                if (UpperAnsi(speeds[s]) == upper) o.speedChoice = static_cast<int>(s);
            if (o.speedChoice < 0) return o.error = "--speed takes auto, 16x, 8x, 4x, 3x, 2x or 1x", o;
        } else if (a == "--track") {
            const auto n = TakeValue(args, i, value) ? ParseNumber(value) : std::nullopt;
            if (!n || *n < INT32_MIN || *n > INT32_MAX) return o.error = "--track needs a track number", o;
            o.mode = ExtractMode::SelectTrack;
            o.track = static_cast<std::int32_t>(*n);
            ++modes;
        } else if (a == "--sectors") {
            if (!TakeValue(args, i, value)) return o.error = "--sectors needs FIRST-LAST", o;
            const std::size_t dash = value.find('-', 1);
            const auto first = ParseNumber(std::string_view(value).substr(0, dash));
            const auto last =
                dash == std::string::npos ? std::nullopt : ParseNumber(std::string_view(value).substr(dash + 1));
            if (!first || !last || *first < INT32_MIN || *first > INT32_MAX || *last < INT32_MIN || *last > INT32_MAX)
                return o.error = "--sectors needs FIRST-LAST", o;
            o.mode = ExtractMode::SelectSector;
            o.from = static_cast<std::int32_t>(*first);
            o.to = static_cast<std::int32_t>(*last);
            ++modes;
        } else if (a == "--read-only") {
            o.mode = ExtractMode::ReadOnly;
            ++modes;
        } else if (a == "--no-cue") {
            o.writeCue = false;
        } else if (a == "--retries") {
            const auto n = TakeValue(args, i, value) ? ParseNumber(value) : std::nullopt;
            if (!n || *n < 0 || *n > 1000000) return o.error = "--retries needs a number of retries (0 or more)", o;
            o.retries = static_cast<int>(*n);
        } else if (a == "--skip-bad") {
            o.skipBad = true;
        } else if (a.starts_with("--")) {
            return o.error = "unknown option '" + a + "'", o;
        } else {
            o.positional.push_back(a);
        }
    }
    if (modes > 1) o.error = "use one of --track, --sectors and --read-only";
    return o;
}

// Brings the chosen interface up; prints why not.
bool InitInterface(CdAccess& access, const Options& o, Context& context) {
    const auto choices = InterfaceChoices(CurrentWindowsFamily());
    bool offered = false;
    for (const auto& c : choices) offered = offered || c == o.interfaceChoice;
    if (!offered) {
        context.err << "dravolo-cli: this system offers only the ASPI interface\n";
        return false;
    }
    access.SetInterfaceMode(InterfaceModeForChoice(o.interfaceChoice));
    if (!access.Init(access.CurrentInterface(), &context.prompter)) {
        context.prompter.Tell(InterfaceInitFailure(access.CurrentInterface()), "Iso Tool Error", PromptIcon::Stop);
        return false;
    }
    if (access.Drives().empty()) {
        context.prompter.Tell("Unable to Find Cdrom Drives on this computer\n", kToolCaption, PromptIcon::Stop);
        return false;
    }
    return true;
}

std::optional<CdDrive> FindDrive(CdAccess& access, std::string_view text, Context& context) {
    const auto wanted = ParseDrive(text);
    if (!wanted) {
        context.err << "dravolo-cli: DRIVE is adapter:target:lun, as 'cd drives' lists them\n";
        return std::nullopt;
    }
    for (const CdDrive& d : access.Drives())
        if (d.adapter == wanted->adapter && d.target == wanted->target && d.lun == wanted->lun) return d;
    context.err << "dravolo-cli: no CD drive at " << ForTerminal(text) << "\n";
    return std::nullopt;
}

// A progress bar on the terminal, redrawn only when its text changes.
class TerminalProgress : public ExtractionObserver {
public:
    TerminalProgress(std::ostream& out, bool enabled) : out_(out), enabled_(enabled) {}
    void SetProgressRange(int minimum, int maximum, int step) override {
        min_ = minimum;
        max_ = maximum;
        step_ = step;
        pos_ = minimum;
        Draw();
    }
    void StepProgress() override {
        pos_ += step_;
        Draw();
    }
    void SetProgressPos(int position) override { pos_ = position; }
    void Finished() override {
        if (enabled_ && drawn_) out_ << "\n" << std::flush;
        drawn_ = false;
    }
    void RetryingChunk(std::int64_t from, std::int64_t to, int retry, int limit) override {
        Line("Error reading one or more sectors from " + std::to_string(from) + " to " + std::to_string(to) +
             ": retry " + std::to_string(retry) + " of " + std::to_string(limit));
    }
    void SectorSkipped(std::int32_t sector) override {
        Line("Sector " + std::to_string(sector) + " could not be read: written as zeros");
    }

private:
    // A line of its own, below a bar already drawn; the bar comes back with
    // the next step.
    void Line(const std::string& text) {
        if (enabled_ && drawn_) out_ << "\n";
        drawn_ = false;
        lastPercent_ = -1;
        out_ << text << "\n" << std::flush;
    }
    void Draw() {
        if (!enabled_) return;
        const int span = max_ - min_;
        const int percent = span > 0 ? static_cast<int>((static_cast<long long>(pos_ - min_) * 100) / span) : 100;
        if (percent == lastPercent_) return;
        lastPercent_ = percent;
        const int filled = percent * 40 / 100;
        out_ << "\r[" << std::string(static_cast<std::size_t>(filled), '#')
             << std::string(static_cast<std::size_t>(40 - filled), ' ') << "] " << percent << "%" << std::flush;
        drawn_ = true;
    }

    std::ostream& out_;
    bool enabled_;
    int min_ = 0, max_ = 100, step_ = 1, pos_ = 0, lastPercent_ = -1;
    bool drawn_ = false;
};

std::atomic<bool>* g_cancelFlag = nullptr;
extern "C" void OnInterrupt(int) {
    if (g_cancelFlag) g_cancelFlag->store(true);
}

int Drives(CdAccess& access, const Options& o, Context& context) {
    if (!o.positional.empty()) return context.err << "dravolo-cli: use 'cd drives'\n", kUsage;
    if (!InitInterface(access, o, context)) return kFailed;
    for (const CdDrive& d : access.Drives()) context.out << ForTerminal(DriveListEntry(d)) << "\n";
    return kOk;
}

int Toc(CdAccess& access, const Options& o, Context& context) {
    if (o.positional.size() != 1) return context.err << "dravolo-cli: use 'cd toc DRIVE'\n", kUsage;
    if (!InitInterface(access, o, context)) return kFailed;
    const auto drive = FindDrive(access, o.positional[0], context);
    if (!drive) return kUsage;
    if (!access.TestUnitReady(drive->adapter, drive->target, drive->lun)) {
        context.err << "Cdrom not ready.\n";
        return kFailed;
    }
    access.ReadToc(drive->adapter, drive->target, drive->lun);
    const std::uint32_t sectors = access.ReadCapacity(drive->adapter, drive->target, drive->lun);
    context.out << DiscInformation(access.Toc().size(), sectors,
                                   InterfaceName(o.interfaceChoice, access.interfaceMode()))
                       .substr(1);
    for (const TocEntry& t : access.Toc()) {
        char line[96];
        std::snprintf(line, sizeof line, " %-9d %-12s %ld\n", t.track + 1, TrackModeName(t.mode).c_str(),
                      static_cast<long>(t.start));
        context.out << line;
    }
    return kOk;
}

int Extract(CdAccess& access, const Options& o, Context& context) {
    const bool readOnly = o.mode == ExtractMode::ReadOnly;
    if (o.positional.empty() || o.positional.size() > 2 || (!readOnly && o.positional.size() != 2)) {
        context.err << "dravolo-cli: use 'cd extract DRIVE FILE [--track N | --sectors FIRST-LAST | --read-only]'\n";
        return kUsage;
    }
    const std::string file = o.positional.size() == 2 ? o.positional[1] : std::string();
    if (!readOnly && file.empty()) {
        context.prompter.Tell("Please enter a valid filename.\n", kToolCaption, PromptIcon::Information);
        return kUsage;
    }
    if (!InitInterface(access, o, context)) return kFailed;
    const auto drive = FindDrive(access, o.positional[0], context);
    if (!drive) return kUsage;
    if (!access.TestUnitReady(drive->adapter, drive->target, drive->lun)) {
        context.err << "Cdrom not ready.\n";
        return kFailed;
    }
    const bool writeCue = o.mode == ExtractMode::CreateBinaryImage && o.writeCue;
    if (!readOnly && ImageOrCueSheetExists(file, writeCue) &&
        context.prompter.Ask("File already exists. Overwrite File?", kToolCaption, PromptIcon::Question,
                             PromptButtons::YesNo, PromptAnswer::No) != PromptAnswer::Yes)
        return kFailed;

    access.ReadToc(drive->adapter, drive->target, drive->lun);
    const std::uint32_t capacity = access.ReadCapacity(drive->adapter, drive->target, drive->lun);
    const auto range = ComputeJobRange(o.mode, o.track, o.from, o.to, access.Toc(), capacity);
    if (!range) {
        if (o.mode == ExtractMode::SelectTrack)
            context.err << "dravolo-cli: the disc has " << access.Toc().size() << " tracks; --track takes 1 to "
                        << access.Toc().size() << "\n";
        else
            context.err << "dravolo-cli: the sectors " << o.from << "-" << o.to << " are not on the disc (" << capacity
                        << " sectors)\n";
        return kFailed;
    }
    if (range->correctedTrack) context.err << "Track number lowered to " << *range->correctedTrack << "\n";
    if (range->correctedTo) context.err << "Last sector lowered to " << *range->correctedTo << "\n";

    ExtractionJob job;
    job.adapter = drive->adapter;
    job.target = drive->target;
    job.lun = drive->lun;
    job.firstSector = range->first;
    job.lastSector = range->last;
    job.imageFile = file;
    job.speedIndex = SpeedIndexForChoice(o.speedChoice);
    if (writeCue) job.cueTracks = access.Toc();
    job.retryLimit = o.retries;
    job.skipBadSectors = o.skipBad;

    const bool terminal = &context.err == &std::cerr && StandardErrorIsInteractive();
    TerminalProgress progress(context.err, terminal);
    // Ctrl+C asks "Cancel Cdrom Extraction?" after the chunk being read.
    g_cancelFlag = &job.cancel;
    const auto previous = std::signal(SIGINT, OnInterrupt);
    const ExtractionOutcome outcome = RunExtraction(access, job, !readOnly, context.prompter, progress);
    std::signal(SIGINT, previous);
    g_cancelFlag = nullptr;

    const long long sectors = std::int64_t{range->last} - range->first + 1;
    switch (outcome) {
    case ExtractionOutcome::Completed:
    case ExtractionOutcome::CompletedWithoutSideFile:
        if (readOnly) context.out << "Read " << sectors << " sectors.\n";
        else context.out << "Wrote " << sectors << " sectors to " << ForTerminal(file) << ".\n";
        if (!job.skippedSectors.empty()) {
            context.err << job.skippedSectors.size() << (job.skippedSectors.size() == 1 ? " sector" : " sectors")
                        << " could not be read and " << (readOnly ? "were skipped" : "were written as zeros");
            if (!readOnly && outcome == ExtractionOutcome::Completed)
                context.err << "; the list is in " << ForTerminal(BadSectorListPathFor(file));
            context.err << ".\n";
            return kSectorsSkipped;
        }
        return outcome == ExtractionOutcome::Completed ? kOk : kFailed;
    case ExtractionOutcome::Cancelled:
        context.err << "Extraction cancelled" << (readOnly ? ".\n" : "; the partial image was deleted.\n");
        return kFailed;
    case ExtractionOutcome::StoppedOnReadError:
        context.err << "Extraction stopped at an unreadable chunk";
        if (job.givenUpFrom >= 0)
            context.err << " (sectors " << job.givenUpFrom << " to " << job.givenUpTo << ", " << o.retries
                        << (o.retries == 1 ? " retry" : " retries") << ")";
        context.err << (readOnly ? ".\n" : "; the partial image was kept.\n");
        return kFailed;
    case ExtractionOutcome::EmptyRange:
        context.err << "The disc's capacity cannot be read: nothing extracted.\n";
        return kFailed;
    default: return kFailed;
    }
}

}  // namespace

int RunCd(const std::vector<std::string>& args, Context& context) {
    if (args.empty()) {
        context.err << "dravolo-cli: use 'cd drives', 'cd toc DRIVE' or 'cd extract DRIVE FILE ...'\n";
        return kUsage;
    }
    const Options o = ParseOptions(std::vector<std::string>(args.begin() + 1, args.end()));
    if (!o.error.empty()) {
        context.err << "dravolo-cli: " << ForTerminal(o.error) << "\n";
        return kUsage;
    }
    CdAccess& access = TheCdAccess();
    // Diagnostics with the other messages, so that standard output holds
    // only what was asked for.
    access.SetDiagnostics(&context.err);
    if (args[0] == "drives") return Drives(access, o, context);
    if (args[0] == "toc") return Toc(access, o, context);
    if (args[0] == "extract") return Extract(access, o, context);
    context.err << "dravolo-cli: unknown cd command '" << ForTerminal(args[0]) << "'\n";
    return kUsage;
}

}  // namespace dravolo::cli
