#include "frontend/launch/pcsxr_config.h"

#include <span>

#include "common/platform/process.h"
#include "common/platform/winfs.h"

namespace dravolo {

namespace {

std::string Number(int value) { return std::to_string(value); }
std::string Not(std::uint8_t flag) { return flag ? "0" : "1"; }

// The name a line gives, as pcsxr writes it: "Name = value".
std::string_view LineName(std::string_view line) {
    const auto eq = line.find('=');
    if (eq == std::string_view::npos) return {};
    std::string_view name = line.substr(0, eq);
    while (!name.empty() && (name.back() == ' ' || name.back() == '\t')) name.remove_suffix(1);
    return name;
}

std::string_view LineValue(std::string_view line) {
    std::string_view value = line.substr(line.find('=') + 1);
    if (!value.empty() && value.front() == ' ') value.remove_prefix(1);
    if (!value.empty() && value.back() == '\r') value.remove_suffix(1);
    return value;
}

// Calls f(line, hasNewline) for each line of the text, line without its '\n'.
template <typename F>
void ForEachLine(std::string_view text, F f) {
    while (!text.empty()) {
        const auto end = text.find('\n');
        if (end == std::string_view::npos) {
            f(text, false);
            return;
        }
        f(text.substr(0, end), true);
        text.remove_prefix(end + 1);
    }
}

}  // namespace

PcsxrValues PcsxrConfigValues(const _PCSXDATA& r, std::string_view pcsxrHome) {
    const std::string home(pcsxrHome);
    const auto card = [&home](const std::string& path, int slot) {
        return path.empty() ? home + "memcards/card" + std::to_string(slot) + ".mcd" : path;
    };
    const bool hle = r.Bios.empty() || r.Bios == "USE HLE BIOS" || r.Bios == kPcsxrHleBios;
    // Xa, Cdda and Mdec are "disabled" switches, as in the registry.
    return {
        {"Bios", hle ? std::string(kPcsxrHleBios) : r.Bios},
        {"Gpu", r.Gpu},
        {"Spu", r.Spu},
        {"Cdr", r.Cdr},
        {"Pad1", r.Pad1},
        {"Pad2", r.Pad2},
        {"Mcd1", card(r.Mcd1, 1)},
        {"Mcd2", card(r.Mcd2, 2)},
        {"PluginsDir", std::string(kPcsxrPluginsDir)},
        {"Xa", Not(r.Xa)},
        {"SioIrq", Number(r.Sio)},
        {"Mdec", Not(r.Mdec)},
        {"PsxAuto", r.Country == "Autodetect" ? "1" : "0"},
        {"Cdda", Not(r.Cdda)},
        {"PsxOut", Number(r.PsxOut)},
        {"SpuIrq", Number(r.SpuIrq)},
        {"RCntFix", Number(r.RcntFix)},
        {"Cpu", Number(r.Cpu)},
        {"PsxType", r.Country == "NTSC" ? "0" : "1"},
    };
}

std::optional<std::string> PcsxrValue(std::string_view text, std::string_view name) {
    std::optional<std::string> found;
    ForEachLine(text, [&](std::string_view line, bool) {
        if (!found && LineName(line) == name) found = std::string(LineValue(line));
    });
    return found;
}

std::string SetPcsxrValues(std::string_view text, const PcsxrValues& values) {
    std::string out;
    std::vector<bool> written(values.size(), false);
    ForEachLine(text, [&](std::string_view line, bool newline) {
        const std::string_view name = LineName(line);
        bool replaced = false;
        for (std::size_t i = 0; i < values.size() && !name.empty(); ++i) {
            if (values[i].first != name) continue;
            // Only the first line of a name counts for pcsxr; later ones stay.
            if (!written[i]) {
                out += values[i].first + " = " + values[i].second;
                if (!line.empty() && line.back() == '\r') out += '\r';
                written[i] = true;
                replaced = true;
            }
            break;
        }
        if (!replaced) out += line;
        if (newline) out += '\n';
    });
    if (!out.empty() && out.back() != '\n') out += '\n';
    for (std::size_t i = 0; i < values.size(); ++i)
        if (!written[i]) out += values[i].first + " = " + values[i].second + "\n";
    return out;
}

std::string PcsxrConfigName(std::string_view profileName) { return "dravolo/" + std::string(profileName) + ".cfg"; }

std::string PcsxrArguments(std::string_view profileName) {
    return "-cfg " + QuoteArgument(PcsxrConfigName(profileName));
}

bool WritePcsxrConfig(const _PCSXDATA& record, std::string_view profileName) {
    const auto home = PcsxrHome();
    if (!home) return false;
    // Either may exist already; a folder that cannot be made fails the write below.
    (void)CreateDir(*home);
    (void)CreateDir(*home + "dravolo");
    const std::string path = *home + PcsxrConfigName(profileName);
    std::string text;
    if (const auto existing = ReadWholeFile(path)) text.assign(existing->begin(), existing->end());
    text = SetPcsxrValues(text, PcsxrConfigValues(record, *home));
    // What pcsxr needs and the profile does not choose: only when missing.
    PcsxrValues missing;
    // pcsxr 1.9.94 refuses to start without a serial-port plugin.
    if (!PcsxrValue(text, "Sio1")) missing.push_back({"Sio1", "libBladeSio1.so"});
    if (!PcsxrValue(text, "Net")) missing.push_back({"Net", "Disabled"});
    if (!PcsxrValue(text, "BiosDir")) missing.push_back({"BiosDir", *home + "bios/"});
    if (!missing.empty()) text = SetPcsxrValues(text, missing);
    return WriteWholeFileAtomic(path, std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

}  // namespace dravolo
