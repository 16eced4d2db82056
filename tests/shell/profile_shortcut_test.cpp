// Profile shortcuts: the PNG icon read back byte by byte, the Exec line's
// quoting, and the whole entry checked by the desktop's own validator.

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "common/base/png_writer.h"
#include "frontend/shell/profile_shortcut.h"
#include "tests/support/prefix_fixture.h"

using namespace dravolo;

namespace {

std::uint32_t BigEndian32(const Bytes& b, std::size_t at) {
    return (std::uint32_t{b[at]} << 24) | (std::uint32_t{b[at + 1]} << 16) | (std::uint32_t{b[at + 2]} << 8) |
           b[at + 3];
}

// Reads what EncodePng writes (stored deflate blocks, filter 0) back into
// pixels, checking every chunk's CRC and the zlib checksum on the way.
std::vector<std::uint32_t> DecodeStoredPng(const Bytes& png, int& width, int& height) {
    std::vector<std::uint32_t> pixels;
    if (png.size() < 8 || png[1] != 'P' || png[2] != 'N' || png[3] != 'G') return pixels;
    Bytes zlib;
    for (std::size_t at = 8; at + 12 <= png.size();) {
        const std::uint32_t length = BigEndian32(png, at);
        const std::string type(png.begin() + at + 4, png.begin() + at + 8);
        const std::span<const std::uint8_t> typed(png.data() + at + 4, length + 4);
        EXPECT_EQ(BigEndian32(png, at + 8 + length), PngCrc32(typed)) << type;
        if (type == "IHDR") {
            width = static_cast<int>(BigEndian32(png, at + 8));
            height = static_cast<int>(BigEndian32(png, at + 12));
        } else if (type == "IDAT") {
            zlib.insert(zlib.end(), png.begin() + at + 8, png.begin() + at + 8 + length);
        }
        at += 12 + length;
    }
    Bytes raw;
    std::size_t at = 2;
    for (bool last = false; !last && at + 5 <= zlib.size();) {
        last = zlib[at] & 1;
        const std::size_t length = zlib[at + 1] | (zlib[at + 2] << 8);
        raw.insert(raw.end(), zlib.begin() + at + 5, zlib.begin() + at + 5 + length);
        at += 5 + length;
    }
    std::uint32_t a = 1, b = 0;
    for (std::uint8_t byte : raw) a = (a + byte) % 65521, b = (b + a) % 65521;
    EXPECT_EQ(BigEndian32(zlib, at), (b << 16) | a);
    for (int y = 0; y < height; ++y) {
        EXPECT_EQ(raw[y * (width * 4 + 1)], 0);
        for (int x = 0; x < width; ++x) {
            const std::uint8_t* p = &raw[y * (width * 4 + 1) + 1 + x * 4];
            pixels.push_back((std::uint32_t{p[3]} << 24) | (std::uint32_t{p[0]} << 16) | (std::uint32_t{p[1]} << 8) |
                             p[2]);
        }
    }
    return pixels;
}

}  // namespace

TEST(ProfileShortcut, PngKeepsEveryPixelAcrossManyStoredBlocks) {
    // 200 x 100 RGBA is more than one 65535-byte block.
    std::vector<std::uint32_t> pixels(200 * 100);
    for (std::size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<std::uint32_t>(i * 2654435761u);
    int width = 0, height = 0;
    EXPECT_EQ(DecodeStoredPng(EncodePng(200, 100, pixels), width, height), pixels);
    EXPECT_EQ(width, 200);
    EXPECT_EQ(height, 100);
    EXPECT_TRUE(EncodePng(2, 2, std::vector<std::uint32_t>(3)).empty());
    EXPECT_EQ(PngCrc32(std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>("IEND"), 4)), 0xAE426082u);
}

TEST(ProfileShortcut, ExecArgumentsAreQuotedAndEscapedTwice) {
    EXPECT_EQ(DesktopExecArgument("Crash"), "Crash");
    EXPECT_EQ(DesktopExecArgument("Crash Bandicoot"), "\"Crash Bandicoot\"");
    // A backslash: escaped inside the quotes, then again as a string.
    EXPECT_EQ(DesktopExecArgument("a\\b"), "\"a\\\\\\\\b\"");
    EXPECT_EQ(DesktopExecArgument("say \"hi\" $HOME `x`"), "\"say \\\\\"hi\\\\\" \\\\$HOME \\\\`x\\\\`\"");
    EXPECT_EQ(DesktopExecArgument("100%"), "100%%");
    EXPECT_EQ(DesktopExecArgument(""), "\"\"");
    EXPECT_EQ(ShortcutBaseName(EmulatorKind::Pcsx, "Tekken 3: Ünï/x"), "dravolo-Pcsx-Tekken_3____n___x");
}

TEST(ProfileShortcut, TheEntryPassesTheDesktopValidator) {
    ProfileShortcut s;
    s.kind = EmulatorKind::Epsxe;
    s.profileName = "Crash % \"Bandicoot\"";
    s.description = " ";
    s.cliProgram = "/usr/bin/dravolo-cli";
    s.workdir = "/home/me/my games";
    s.icon = "/home/me/.local/share/dravolo/icons/x.png";
    const std::string text = DesktopEntryText(s);
    EXPECT_NE(text.find("Exec=/usr/bin/dravolo-cli --workdir \"/home/me/my games\" launch Epsxe "
                        "\"Crash %% \\\\\"Bandicoot\\\\\"\"\n"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("Comment=Epsxe profile\n"), std::string::npos);
    if (std::system("command -v desktop-file-validate >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "no desktop-file-validate";
    test::TempDir dir;
    const std::string file = dir.path() + "/dravolo-Epsxe-Crash.desktop";
    std::ofstream(file) << text;
    EXPECT_EQ(std::system(("desktop-file-validate '" + file + "'").c_str()), 0) << text;
}
