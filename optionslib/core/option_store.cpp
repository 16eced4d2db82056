#include "optionslib/core/option_store.h"

namespace dravolo::kstuff {

namespace {
constexpr RegRoot kUser = RegRoot::CurrentUser;
}

OptionValues LoadDialogOptions(Registry& registry) {
    OptionValues values;
    if (!registry.KeyExists(kUser, kInterfaceKey)) return values;

    if (auto cmdLine = ReadLimitedText(registry, kInterfaceKey, "CmdLine"); cmdLine.present())
        values.cmdLine = std::move(cmdLine.text);
    if (auto bios = ReadLimitedText(registry, kInterfaceKey, "BIOS"); bios.present())
        values.bios = std::move(bios.text);
    for (std::size_t i = 0; i < kSwitchCount; ++i) {
        if (auto on = registry.QueryDword(kUser, kInterfaceKey, kSwitchNames[i])) values.switches[i] = *on != 0;
    }
    if (auto letter = registry.QueryDword(kUser, kInterfaceKey, "CdromLetter")) values.cdromLetter = *letter;
    if (auto country = registry.QueryDword(kUser, kInterfaceKey, "Country")) values.country = *country;

    RegBatch pads;
    pads.CreateKey(kUser, kEmulatorKey);
    for (const auto& pair : kPadPairs) {
        auto pad = ReadLimitedText(registry, kInterfaceKey, pair.interfaceName);
        if (pad.present()) pads.SetString(kUser, kEmulatorKey, pair.emulatorName, pad.text);
    }
    // A copy for the emulator's own reading; the values read stand without it.
    (void)registry.Commit(pads);
    return values;
}

bool SaveDialogOptions(Registry& registry, const OptionValues& values) {
    RegBatch batch;
    batch.SetDword(kUser, kInterfaceKey, "Country", values.country);
    for (std::size_t i = 0; i < kSwitchCount; ++i)
        batch.SetDword(kUser, kInterfaceKey, kSwitchNames[i], values.switches[i] ? 1 : 0);
    batch.SetDword(kUser, kInterfaceKey, "CdromLetter", values.cdromLetter);
    batch.SetString(kUser, kInterfaceKey, "BIOS", values.bios);
    batch.SetString(kUser, kInterfaceKey, "CmdLine", values.cmdLine);

    if (registry.KeyExists(kUser, kEmulatorKey)) {
        for (const auto& pair : kPadPairs) {
            auto pad = ReadLimitedText(registry, kEmulatorKey, pair.emulatorName);
            if (pad.present()) batch.SetString(kUser, kInterfaceKey, pair.interfaceName, pad.text);
        }
    }
    return registry.Commit(batch);
}

}  // namespace dravolo::kstuff
