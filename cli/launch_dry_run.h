#pragma once
// launch --dry-run: the real launch, run on a registry that is never written
// and with the file layer in a dry run, prints what it would do.

#include <string>

#include "cli/cli.h"
#include "frontend/core/emulator_kind.h"

namespace dravolo::cli {

int RunLaunchDryRun(EmulatorKind kind, const std::string& profileName, Context& context);

}  // namespace dravolo::cli
