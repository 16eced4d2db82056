#pragma once
// A CD access object over virtual drives built from DiscBuilder images, with
// its diagnostics and device log captured.

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "common/platform/virtual_drive.h"
#include "frontend/cdimage/cd_access.h"
#include "frontend/cdimage/extraction.h"
#include "tests/support/disc_builder.h"
#include "tests/support/prefix_fixture.h"
#include "tests/support/recording_prompter.h"

namespace dravolo::test {

using Cdb = std::vector<std::uint8_t>;

class CdRig {
public:
    // One drive per setup; the image paths in the discs are used as given.
    explicit CdRig(std::vector<VirtualDisc> discs, int interfaceMode = kInterfaceModePassThrough) {
        for (auto& d : discs) drives.push_back(std::make_shared<VirtualDrive>(std::move(d)));
        access = std::make_unique<CdAccess>(
            [this](ScsiInterface which) { return std::make_unique<VirtualScsiTransport>(which, drives); }, &diagnostics,
            dir.path() + "/cdrdevnames.log");
        access->SetInterfaceMode(interfaceMode);
    }

    bool Init() {
        const bool ok = access->Init(access->CurrentInterface(), &prompter) == 1;
        for (auto& d : drives) d->ClearCommands();
        return ok;
    }
    std::vector<Cdb> Commands(std::size_t drive = 0) const { return drives.at(drive)->Commands(); }

    TempDir dir;
    std::vector<std::shared_ptr<VirtualDrive>> drives;
    std::ostringstream diagnostics;
    RecordingPrompter prompter;
    std::unique_ptr<CdAccess> access;
};

// A READ CD block as the drive must receive it.
inline Cdb ReadCdBlock(std::uint32_t first, std::uint8_t count) {
    return {0xBE,
            0x00,
            static_cast<std::uint8_t>(first >> 24),
            static_cast<std::uint8_t>(first >> 16),
            static_cast<std::uint8_t>(first >> 8),
            static_cast<std::uint8_t>(first),
            0x00,
            0x00,
            count,
            0xF8,
            0x00,
            0x00};
}

// Records what the worker shows on the progress bar and that it ended.
class RecordingObserver : public ExtractionObserver {
public:
    void SetProgressRange(int minimum, int maximum, int s) override {
        rangeMin = minimum;
        rangeMax = maximum;
        step = s;
    }
    void StepProgress() override {
        ++steps;
        if (onStep) onStep(steps);
    }
    void SetProgressPos(int position) override { lastPos = position; }
    void Finished() override { ++finished; }

    int rangeMin = -1, rangeMax = -1, step = 0, steps = 0, lastPos = -1, finished = 0;
    std::function<void(int)> onStep;
};

inline Bytes ReadHost(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace dravolo::test
