// The plugin host conversation: every message survives its trip, damaged
// frames are refused rather than half read, and our side answers the host's
// settings questions and gives up on a host that ends or talks nonsense
// (a scripted host stands in for pluginhost.exe).

#include <gtest/gtest.h>

#include <deque>
#include <random>

#include "common/platform/profile_ini.h"
#include "common/platform/pe_image.h"
#include "common/psemu/plugin_host_client.h"
#include "common/psemu/settings_file.h"
#include "tests/support/prefix_fixture.h"

namespace dravolo {
namespace {

using namespace pluginhost;

template <typename T>
T RoundTrip(const T& message) {
    const Bytes payload = Encode(message);
    const auto back = Decode(payload);
    EXPECT_TRUE(back.has_value());
    EXPECT_TRUE(back && std::holds_alternative<T>(*back));
    return back && std::holds_alternative<T>(*back) ? std::get<T>(*back) : T{};
}

TEST(PluginHostProtocol, EveryMessageComesBackAsItWent) {
    EXPECT_EQ(RoundTrip(pluginhost::Load{"C:\\epsxe\\plugins\\gpu\xe9.dll"}).path, "C:\\epsxe\\plugins\\gpu\xe9.dll");
    EXPECT_EQ(RoundTrip(Unload{7}).handle, 7u);
    const Call call = RoundTrip(Call{3, "GPU_Configure", CallKind::SettingsBlock, 0x1122334455667788ull});
    EXPECT_EQ(call.handle, 3u);
    EXPECT_EQ(call.name, "GPU_Configure");
    EXPECT_EQ(call.kind, CallKind::SettingsBlock);
    EXPECT_EQ(call.ownerWindow, 0x1122334455667788ull);
    EXPECT_EQ(RoundTrip(ChangeDirectory{"C:\\epsxe"}).path, "C:\\epsxe");
    EXPECT_EQ(RoundTrip(SettingValue{std::string("a\0b", 3)}).value, std::string("a\0b", 3));
    RoundTrip(SettingWritten{});
    const Loaded loaded = RoundTrip(Loaded{true, 42});
    EXPECT_TRUE(loaded.ok);
    EXPECT_EQ(loaded.handle, 42u);

    Result result{true, -5, "name", InfoBlock{}};
    (*result.block)[0] = 1;
    (*result.block)[kInfoBlockSize - 1] = 0xFF;
    const Result back = RoundTrip(result);
    EXPECT_TRUE(back.found);
    EXPECT_EQ(back.value, -5);
    EXPECT_EQ(back.text, "name");
    ASSERT_TRUE(back.block.has_value());
    EXPECT_EQ(*back.block, *result.block);
    EXPECT_FALSE(RoundTrip(Result{}).block.has_value());

    const ReadSetting read = RoundTrip(ReadSetting{"Section", "Key"});
    EXPECT_EQ(read.section, "Section");
    EXPECT_EQ(read.key, "Key");
    EXPECT_EQ(RoundTrip(WriteSetting{"S", "K", std::string("v")}).value, std::optional<std::string>("v"));
    EXPECT_EQ(RoundTrip(WriteSetting{"S", "K", std::nullopt}).value, std::nullopt);  // deletes the key

    const Bytes frame = Frame(Unload{1});
    ASSERT_EQ(frame.size(), 4u + 5u);
    EXPECT_EQ(LoadU32(frame.data()), 5u);
}

TEST(PluginHostProtocol, DamagedPayloadsAreRefused) {
    EXPECT_FALSE(Decode({}).has_value());
    const std::uint8_t unknownKind[] = {0x7F};
    EXPECT_FALSE(Decode(unknownKind).has_value());
    // Every cut of every message is refused, as is one byte too many.
    const Message messages[] = {pluginhost::Load{"x.dll"}, Call{1, "GPUinit", CallKind::Long, 0},
                                Result{true, 1, "t", InfoBlock{}}, WriteSetting{"s", "k", std::string("v")}};
    for (const Message& m : messages) {
        const Bytes payload = Encode(m);
        for (std::size_t cut = 0; cut < payload.size(); ++cut)
            EXPECT_FALSE(Decode(std::span(payload).first(cut)).has_value()) << cut;
        Bytes longer = payload;
        longer.push_back(0);
        EXPECT_FALSE(Decode(longer).has_value());
    }
    // A call kind out of range, a flag that is neither 0 nor 1, a text
    // length beyond the payload.
    Bytes call = Encode(Call{1, "x", CallKind::Long, 0});
    call[1 + 4 + 4 + 1] = 9;
    EXPECT_FALSE(Decode(call).has_value());
    Bytes loaded = Encode(Loaded{true, 1});
    loaded[1] = 2;
    EXPECT_FALSE(Decode(loaded).has_value());
    Bytes load = Encode(pluginhost::Load{"abc"});
    StoreU32(load.data() + 1, 0xFFFFFFF0u);
    EXPECT_FALSE(Decode(load).has_value());

    std::mt19937 random(12345);
    for (int i = 0; i < 2000; ++i) {
        Bytes junk(random() % 64);
        for (auto& b : junk) b = static_cast<std::uint8_t>(random());
        Decode(junk);  // must not crash or read past the end (ASan watches)
    }
}

TEST(PeImage, MachineFromTheHeaders) {
    Bytes head(0x200, 0);
    head[0] = 'M';
    head[1] = 'Z';
    StoreU32(head.data() + 0x3C, 0x80);
    head[0x80] = 'P';
    head[0x81] = 'E';
    StoreU16(head.data() + 0x84, 0x014C);
    EXPECT_EQ(PeMachineOf(head), PeMachine::X86);
    StoreU16(head.data() + 0x84, 0x8664);
    EXPECT_EQ(PeMachineOf(head), PeMachine::X64);
    StoreU16(head.data() + 0x84, 0xAA64);
    EXPECT_EQ(PeMachineOf(head), PeMachine::Other);
    StoreU32(head.data() + 0x3C, 0x1FE);  // the signature would run past the end
    EXPECT_EQ(PeMachineOf(head), std::nullopt);
    StoreU32(head.data() + 0x3C, 0xFFFFFFFF);
    EXPECT_EQ(PeMachineOf(head), std::nullopt);
    head[0] = 0x7F;  // an ELF object named .dll
    EXPECT_EQ(PeMachineOf(head), std::nullopt);
    EXPECT_EQ(PeMachineOf(std::span(head).first(10)), std::nullopt);
}

// A host that answers from a script and records what it was sent.
class ScriptedHost : public HelperProcess {
public:
    explicit ScriptedHost(std::vector<Message> answers) {
        for (const auto& m : answers) {
            const Bytes f = Frame(m);
            out.insert(out.end(), f.begin(), f.end());
        }
    }
    bool Send(std::span<const std::uint8_t> data) override {
        if (ended) return false;
        received.insert(received.end(), data.begin(), data.end());
        return true;
    }
    bool Receive(std::span<std::uint8_t> buffer) override {
        if (out.size() < buffer.size()) return false;  // the host ended
        std::copy_n(out.begin(), buffer.size(), buffer.begin());
        out.erase(out.begin(), out.begin() + static_cast<std::ptrdiff_t>(buffer.size()));
        return true;
    }
    std::vector<Message> Sent() const {
        std::vector<Message> messages;
        std::size_t at = 0;
        while (at + 4 <= received.size()) {
            const std::uint32_t length = LoadU32(received.data() + at);
            messages.push_back(*Decode(std::span(received).subspan(at + 4, length)));
            at += 4 + length;
        }
        return messages;
    }

    std::deque<std::uint8_t> out;
    Bytes received;
    bool ended = false;
};

class PluginHostClient : public test::PrefixFixture {};

TEST_F(PluginHostClient, SettingsQuestionsAreAnsweredFromTheCurrentSettingsFile) {
    const std::string file = "C:\\fpse\\crash.ini";
    WritePrivateProfileString("GPU", "Resolution", "640x480", file);
    WritePrivateProfileString("GPU", "Gone", "soon", file);
    SetCurrentSettingsFile(file);
    auto script = std::make_unique<ScriptedHost>(std::vector<Message>{
        Loaded{true, 1},
        ReadSetting{"GPU", "Resolution"},
        WriteSetting{"GPU", "Filter", std::string("bilinear")},
        WriteSetting{"GPU", "Gone", std::nullopt},
        Result{true, 0, "", std::nullopt},
    });
    ScriptedHost* host = script.get();
    PluginHostConnection connection(std::move(script));
    ASSERT_EQ(connection.Load("C:\\fpse\\plugin\\gpuSoft.dll"), 1u);
    const auto result = connection.Call(1, "GPU_Configure", CallKind::SettingsBlock, 0x99);
    ASSERT_TRUE(result.has_value());
    EXPECT_TRUE(result->found);
    EXPECT_FALSE(connection.Broken());
    EXPECT_EQ(GetPrivateProfileString("GPU", "Filter", "", file), "bilinear");
    EXPECT_EQ(GetPrivateProfileString("GPU", "Gone", "<none>", file), "<none>");

    const auto sent = host->Sent();
    // The host's directory follows ours before the first request.
    ASSERT_GE(sent.size(), 5u);
    EXPECT_TRUE(std::holds_alternative<ChangeDirectory>(sent[0]));
    EXPECT_TRUE(std::holds_alternative<pluginhost::Load>(sent[1]));
    EXPECT_TRUE(std::holds_alternative<Call>(sent[2]));
    ASSERT_TRUE(std::holds_alternative<SettingValue>(sent[3]));
    EXPECT_EQ(std::get<SettingValue>(sent[3]).value, "640x480");
    EXPECT_TRUE(std::holds_alternative<SettingWritten>(sent[4]));
    SetCurrentSettingsFile("");
}

TEST_F(PluginHostClient, AHostThatEndsOrTalksNonsenseIsGivenUp) {
    {
        // Questions only belong in a settings-block call.
        PluginHostConnection connection(std::make_unique<ScriptedHost>(
            std::vector<Message>{Loaded{true, 1}, ReadSetting{"a", "b"}, Result{true, 5, "", std::nullopt}}));
        ASSERT_EQ(connection.Load("x.dll"), 1u);
        EXPECT_FALSE(connection.Call(1, "GPUinit", CallKind::Long).has_value());
        EXPECT_TRUE(connection.Broken());
        EXPECT_FALSE(connection.Load("y.dll").has_value());
    }
    {
        // The answer to a load must be Loaded.
        PluginHostConnection connection(
            std::make_unique<ScriptedHost>(std::vector<Message>{Result{true, 0, "", std::nullopt}}));
        EXPECT_FALSE(connection.Load("x.dll").has_value());
        EXPECT_TRUE(connection.Broken());
    }
    {
        // A library the host cannot load is no failure of the host.
        PluginHostConnection connection(std::make_unique<ScriptedHost>(
            std::vector<Message>{Loaded{false, 0}, Loaded{true, 2}, Result{false, 0, "", std::nullopt}}));
        EXPECT_FALSE(connection.Load("bad.dll").has_value());
        EXPECT_FALSE(connection.Broken());
        EXPECT_EQ(connection.Load("good.dll"), 2u);
        const auto missing = connection.Call(2, "GPUnothing", CallKind::Probe);
        ASSERT_TRUE(missing.has_value());
        EXPECT_FALSE(missing->found);
        // Then the host ends in the middle of a call.
        EXPECT_FALSE(connection.Call(2, "GPUinit", CallKind::Long).has_value());
        EXPECT_TRUE(connection.Broken());
    }
    {
        // A frame longer than any message of ours is not believed.
        auto script = std::make_unique<ScriptedHost>(std::vector<Message>{});
        for (std::uint8_t b : {0xFF, 0xFF, 0xFF, 0x7F, 0x06}) script->out.push_back(b);
        PluginHostConnection connection(std::move(script));
        EXPECT_FALSE(connection.Load("x.dll").has_value());
        EXPECT_TRUE(connection.Broken());
    }
}

}  // namespace
}  // namespace dravolo
