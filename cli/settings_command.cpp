#include <charconv>
#include <ostream>

#include "cli/cli.h"
#include "common/platform/registry.h"
#include "frontend/core/settings_store.h"

namespace dravolo::cli {

namespace {

// Decimal, negative, or 0x hexadecimal (colours read best as 0x00BBGGRR).
std::optional<int> ParseInt(std::string_view text) {
    int base = 10;
    if (text.starts_with("0x") || text.starts_with("0X")) {
        text.remove_prefix(2);
        base = 16;
    }
    if (text.empty()) return std::nullopt;
    long long value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
    if (value < INT32_MIN || value > static_cast<long long>(UINT32_MAX)) return std::nullopt;
    return static_cast<int>(static_cast<std::int64_t>(value) & 0xFFFFFFFF);
}

}  // namespace

int RunSettings(const std::vector<std::string>& args, Context& context) {
    const bool get = args.size() == 2 && args[0] == "get";
    const bool set = args.size() == 3 && args[0] == "set";
    if (!get && !set) {
        context.err << "dravolo-cli: use 'settings get KEY' or 'settings set KEY VALUE'\n";
        return kUsage;
    }
    const SettingDefinition* def = FindSetting(args[1]);
    if (!def) {
        context.err << "dravolo-cli: unknown setting '" << ForTerminal(args[1]) << "'\n";
        return kUsage;
    }
    auto registry = OpenSystemRegistry();
    if (!registry) {
        context.err << "dravolo-cli: the registry cannot be opened\n";
        return kFailed;
    }
    SettingsStore settings(*registry);
    if (get) {
        if (def->isText) context.out << ForTerminal(settings.GetString(def->name)) << '\n';
        else context.out << settings.GetInt(def->name) << '\n';
        return kOk;
    }
    bool written = false;
    Error cause;
    if (def->isText) {
        written = settings.SetString(def->name, args[2], &cause);
    } else {
        const auto value = ParseInt(args[2]);
        if (!value) {
            context.err << "dravolo-cli: " << def->name << " takes a whole number\n";
            return kUsage;
        }
        written = settings.SetInt(def->name, *value, &cause);
    }
    if (!written) {
        context.err << "dravolo-cli: the setting could not be written" << CauseForTerminal(cause) << "\n";
        return kFailed;
    }
    return kOk;
}

}  // namespace dravolo::cli
