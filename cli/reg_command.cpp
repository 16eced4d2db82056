#include <ostream>

#include "cli/cli.h"
#include "common/platform/regfile.h"

namespace dravolo::cli {

int RunReg(const std::vector<std::string>& args, Context& context) {
    const bool exportFile = args.size() == 3 && args[0] == "export";
    const bool importFile = args.size() == 2 && args[0] == "import";
    if (!exportFile && !importFile) {
        context.err << "dravolo-cli: use 'reg export FILE KEY' or 'reg import FILE'\n";
        return kUsage;
    }
    auto registry = OpenSystemRegistry();
    if (!registry) {
        context.err << "dravolo-cli: the registry cannot be opened\n";
        return kFailed;
    }
    if (exportFile) {
        const auto key = ParseRootedKey(args[2]);
        if (!key) {
            context.err << "dravolo-cli: '" << ForTerminal(args[2])
                        << "' is not a key of HKEY_CURRENT_USER or HKEY_LOCAL_MACHINE\n";
            return kUsage;
        }
        if (!registry->KeyExists(key->first, key->second)) {
            context.err << "dravolo-cli: the key '" << ForTerminal(args[2]) << "' does not exist\n";
            return kFailed;
        }
        Error cause;
        if (!ExportRegistryKeyToFile(*registry, key->first, key->second, args[1], &cause)) {
            context.err << "dravolo-cli: cannot write '" << ForTerminal(args[1]) << "'" << CauseForTerminal(cause)
                        << "\n";
            return kFailed;
        }
        return kOk;
    }
    Error cause;
    switch (ImportRegistryFile(*registry, args[1], &cause)) {
    case RegImportResult::Ok: return kOk;
    case RegImportResult::CannotRead:
        context.err << "dravolo-cli: cannot read '" << ForTerminal(args[1]) << "'" << CauseForTerminal(cause) << "\n";
        break;
    case RegImportResult::BadFormat:
        context.err << "dravolo-cli: '" << ForTerminal(args[1]) << "' is not a registry file; nothing imported\n";
        break;
    case RegImportResult::CannotWrite:
        context.err << "dravolo-cli: the registry could not be written; nothing imported" << CauseForTerminal(cause)
                    << "\n";
        break;
    }
    return kFailed;
}

}  // namespace dravolo::cli
