// The SDL backend when the sound device goes while playing and comes back:
// one warning in the debug log, silence meanwhile, then the effects loaded
// again and the loop that was sounding sounding again. On SDL's dummy video
// and audio drivers, with the device events pushed as SDL sends them.
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>

#include "platform/sdl/sdl_platform.h"
#include "tests/support/engine_fixture.h"

namespace {

// Ten seconds of a quiet tone, 16-bit mono PCM at 22050 Hz: long enough that
// a one-shot is still playing when the test looks, however slow the machine.
void WriteWav(const std::string& path) {
    const uint32_t samples = 22050 * 10, dataBytes = samples * 2;
    std::ofstream out(path, std::ios::binary);
    auto u32 = [&](uint32_t v) { out.write(reinterpret_cast<const char*>(&v), 4); };
    auto u16 = [&](uint16_t v) { out.write(reinterpret_cast<const char*>(&v), 2); };
    out << "RIFF";
    u32(36 + dataBytes);
    out << "WAVEfmt ";
    u32(16);
    u16(1);
    u16(1);
    u32(22050);
    u32(44100);
    u16(2);
    u16(16);
    out << "data";
    u32(dataBytes);
    for (uint32_t i = 0; i < samples; ++i) u16(static_cast<uint16_t>((i % 50) * 100));
}

void PushDeviceEvent(uint32_t type, uint32_t which) {
    SDL_Event event{};
    event.type = type;
    event.adevice.which = which;
    event.adevice.iscapture = 0;
    ASSERT_EQ(SDL_PushEvent(&event), 1);
}

intptr_t IgnoreMessages(platform::WindowHandle, uint32_t, uintptr_t, intptr_t) { return 0; }

class SdlAudioDeviceTest : public EngineTest {
protected:
    void TearDown() override {
        unsetenv("SDL_VIDEODRIVER");
        unsetenv("SDL_AUDIODRIVER");
        EngineTest::TearDown();
    }
};

TEST_F(SdlAudioDeviceTest, DeviceGoneIsLoggedOnceAndTheLoopComesBackWithADevice) {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    WriteWav("hum.wav");
    std::unique_ptr<platform::Platform> sdl = platform::CreateSdlPlatform();
    ASSERT_TRUE(sdl->RegisterClass("Tarvo", 0, IgnoreMessages));
    std::string why;
    ASSERT_TRUE(sdl->OpenAudio(why)) << why;
    const int hum = sdl->LoadSound("hum.wav");
    ASSERT_EQ(hum, 1);
    platform::Message message;
    while (sdl->PeekMessage(message)) {
    }  // the devices SDL found at start are no news
    sdl->PlaySound(hum, 1.0f, 0.0f, true);
    EXPECT_EQ(platform::SdlVoicesPlaying(*sdl), 1);

    PushDeviceEvent(SDL_AUDIODEVICEREMOVED, 2);
    EXPECT_FALSE(sdl->PeekMessage(message));
    EXPECT_EQ(platform::SdlVoicesPlaying(*sdl), 0);
    sdl->PlaySound(hum, 1.0f, 0.0f, false);  // nothing to play on, and no harm
    EXPECT_EQ(ReadLog(),
              "* Debugging Output *\nAudio: The sound output went away; the game runs silent until one comes back. "
              "(Warning only)\n  ");

    PushDeviceEvent(SDL_AUDIODEVICEADDED, 0);
    EXPECT_FALSE(sdl->PeekMessage(message));
    EXPECT_EQ(platform::SdlVoicesPlaying(*sdl), 1);  // the loop again
    sdl->PlaySound(hum, 1.0f, 0.0f, false);          // the effect loaded again under its handle
    EXPECT_EQ(platform::SdlVoicesPlaying(*sdl), 2);

    // A second device changes nothing, and the warning stays the one line.
    PushDeviceEvent(SDL_AUDIODEVICEADDED, 1);
    EXPECT_FALSE(sdl->PeekMessage(message));
    EXPECT_EQ(platform::SdlVoicesPlaying(*sdl), 2);
    EXPECT_EQ(ReadLog().find("(Warning only)"), ReadLog().rfind("(Warning only)"));
    sdl.reset();
}

}  // namespace
