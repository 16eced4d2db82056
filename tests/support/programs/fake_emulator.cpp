// Stands in for an emulator (or for the Wine runner): reports how it was
// started into fake_emulator_report.txt in its working directory, so tests
// check a launch by what the started program saw.
//   --exit N      exit with N (default 0)
//   --sleep-ms N  wait N milliseconds before exiting

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

int main(int argc, char** argv) {
    int exitCode = 0;
    long sleepMs = 0;
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], "--exit") == 0) exitCode = std::atoi(argv[i + 1]);
        if (std::strcmp(argv[i], "--sleep-ms") == 0) sleepMs = std::atol(argv[i + 1]);
    }

    std::error_code ec;
    const auto cwd = std::filesystem::current_path(ec);
    {
        // Written to a temporary name and renamed, so a test polling for the
        // report never reads half of it.
        std::ofstream out("fake_emulator_report.txt.part", std::ios::binary | std::ios::trunc);
        out << "cwd=" << (ec ? std::string() : cwd.string()) << "\n";
        out << "argc=" << argc << "\n";
        for (int i = 0; i < argc; ++i) out << "argv[" << i << "]=" << argv[i] << "\n";
        const char* prefix = std::getenv("WINEPREFIX");
        out << "WINEPREFIX=" << (prefix ? prefix : "") << "\n";
    }
    std::filesystem::rename("fake_emulator_report.txt.part", "fake_emulator_report.txt", ec);

    if (sleepMs > 0) std::this_thread::sleep_for(std::chrono::milliseconds(sleepMs));
    return exitCode;
}
