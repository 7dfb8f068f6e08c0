#include "platform/ClickSound.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>

namespace {

TEST(ShippedClick, IsAShortAudibleSoundThatStartsAndEndsInSilence)
{
    const char* folder = std::getenv("TALLIX_RUNTIME_DIR");
    ASSERT_NE(nullptr, folder);
    std::ifstream in(std::string(folder) + "/click.wav", std::ios::binary);
    ASSERT_TRUE(in) << "click.wav is not in the program folder";
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    WavSound sound;
    ASSERT_EQ(1, ParseWav(bytes, sound));
    ASSERT_EQ(16u, sound.bitsPerSample);
    ASSERT_EQ(1u, sound.channels);
    double seconds = static_cast<double>(sound.Frames()) / sound.sampleRate;
    EXPECT_GE(seconds, 0.005);
    EXPECT_LE(seconds, 0.05);
    auto sample = [&](size_t i) { return static_cast<int16_t>(sound.samples[2 * i] | (sound.samples[2 * i + 1] << 8)); };
    int peak = 0;
    for (size_t i = 0; i < sound.Frames(); ++i) peak = std::max(peak, std::abs(static_cast<int>(sample(i))));
    EXPECT_GT(peak, 32767 / 10);   // heard
    EXPECT_LT(peak, 32767);        // not clipped
    EXPECT_LT(std::abs(sample(0)), 256) << "a click that starts loud pops";
    EXPECT_LT(std::abs(sample(sound.Frames() - 1)), 256) << "a click that ends loud pops";
}

} // namespace
