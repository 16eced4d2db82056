#include "tests/shell_ui/ui_workspace.h"

#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "frontend/profiles/profile_manager.h"

namespace fs = std::filesystem;

namespace dravolo::test {

UiWorkspace::UiWorkspace()
    : root(world_.root()), prefix(world_.prefix()), workdir(world_.workdir()), driveC(world_.driveC()) {
    registry = OpenSystemRegistry();
    settings = std::make_unique<SettingsStore>(*registry);
    context = std::make_unique<ShellContext>(ShellContext{*settings, prompter, choosers});
}

UiWorkspace::~UiWorkspace() {
    context.reset();
    settings.reset();
    registry.reset();
}

void UiWorkspace::Write(const std::string& path, const Bytes& data) const {
    const fs::path full = world_.HostPath(path);
    fs::create_directories(full.parent_path());
    std::ofstream(full, std::ios::binary)
        .write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
}

bool UiWorkspace::Exists(const std::string& path) const { return world_.HostExists(path); }

void UiWorkspace::MakeProfile(EmulatorKind kind, const std::string& name, const std::string& description,
                              const std::string& bitmap) {
    RecordingPrompter quiet;
    if (!CreateNewProfile(kind, name, description, bitmap, *settings, quiet))
        throw std::runtime_error("cannot create profile " + name);
}

Bytes SolidBmp(int width, int height, std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    const int stride = (width * 3 + 3) / 4 * 4;
    ByteWriter w;
    w.Raw("BM");
    w.U32(static_cast<std::uint32_t>(54 + stride * height));
    w.U32(0);
    w.U32(54);
    w.U32(40);
    w.I32(width);
    w.I32(height);
    w.U16(1);
    w.U16(24);
    for (int i = 0; i < 6; ++i) w.U32(0);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            w.U8(b);
            w.U8(g);
            w.U8(r);
        }
        for (int p = width * 3; p < stride; ++p) w.U8(0);
    }
    return w.take();
}

}  // namespace dravolo::test
