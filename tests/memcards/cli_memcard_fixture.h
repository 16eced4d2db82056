#pragma once
// dravolo-cli memcard run in-process on card files in a private working
// directory: the command's exit code, its stdout and stderr, and the
// questions it asked.

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "tests/support/prefix_fixture.h"
#include "tests/support/recording_prompter.h"

namespace dravolo::test {

class CliMemcard : public PrefixFixture {
protected:
    int Run(std::vector<std::string> args) {
        out.str("");
        err.str("");
        args.insert(args.begin(), "memcard");
        cli::Context context{out, err, prompter};
        return cli::Run(args, context);
    }
    std::string Line(int slot) {
        std::istringstream lines(out.str());
        std::string line;
        for (int i = 0; i < slot && std::getline(lines, line);) ++i;
        return line;
    }
    std::ostringstream out, err;
    RecordingPrompter prompter;
};

}  // namespace dravolo::test
