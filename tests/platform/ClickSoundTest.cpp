#include "platform/ClickSound.h"
#include "tests/datafiles/TempFolder.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>

namespace {

WavSound Tone(unsigned rate, unsigned channels, unsigned bits, size_t frames)
{
    WavSound sound{rate, channels, bits, {}};
    for (size_t i = 0; i < frames * sound.FrameBytes(); ++i) sound.samples.push_back(static_cast<uint8_t>(i * 37));
    return sound;
}

// A WAV file image with the given "fmt " fields, built by hand so that tests
// can write what EncodeWav never would.
std::string Wav(uint16_t tag, uint16_t channels, uint32_t rate, uint16_t align, uint16_t bits, const std::string& data)
{
    auto le = [](uint32_t v, int n) {
        std::string s;
        for (int i = 0; i < n; ++i) s.push_back(static_cast<char>(v >> (8 * i)));
        return s;
    };
    std::string body = "WAVEfmt " + le(16, 4) + le(tag, 2) + le(channels, 2) + le(rate, 4) + le(rate * align, 4) +
                       le(align, 2) + le(bits, 2) + "data" + le(static_cast<uint32_t>(data.size()), 4) + data;
    return "RIFF" + le(static_cast<uint32_t>(body.size()), 4) + body;
}

TEST(WavFile, ReadsWhatItWrites)
{
    for (const WavSound& sound : {Tone(22050, 1, 16, 441), Tone(8000, 2, 8, 3), Tone(44100, 2, 16, 1), Tone(11025, 1, 8, 5)}) {
        WavSound read;
        ASSERT_EQ(1, ParseWav(EncodeWav(sound), read)) << sound.sampleRate;
        EXPECT_EQ(sound.sampleRate, read.sampleRate);
        EXPECT_EQ(sound.channels, read.channels);
        EXPECT_EQ(sound.bitsPerSample, read.bitsPerSample);
        EXPECT_EQ(sound.samples, read.samples);
    }
}

TEST(WavFile, SkipsOtherChunksAndKeepsWholeFrames)
{
    std::string wav = Wav(1, 2, 22050, 4, 16, std::string(10, 'x')); // two frames and a half
    std::string list = "LIST" + std::string("\x03\0\0\0", 4) + "abc" + std::string(1, '\0'); // odd size, padded
    wav.insert(12, list);
    wav[4] = static_cast<char>(wav.size() - 8);
    WavSound read;
    ASSERT_EQ(1, ParseWav(wav, read));
    EXPECT_EQ(2u, read.Frames());
    EXPECT_EQ(8u, read.samples.size());
}

TEST(WavFile, RefusesOtherFormatsAndLeavesTheOutputAlone)
{
    const std::string d(64, '\x10');
    const std::string bad[] = {
        Wav(3, 1, 22050, 4, 32, d),    // floating point
        Wav(1, 1, 22050, 3, 24, d),    // 24-bit
        Wav(1, 3, 22050, 6, 16, d),    // three channels
        Wav(1, 1, 4000, 2, 16, d),     // rate too low
        Wav(1, 1, 400000, 2, 16, d),   // rate too high
        Wav(1, 2, 22050, 2, 16, d),    // block size does not fit the frame
        Wav(1, 1, 22050, 2, 16, ""),   // no sound data
        Wav(1, 2, 22050, 4, 16, "ab"), // less than a frame
        "RIFX" + Wav(1, 1, 22050, 2, 16, d).substr(4),
        "", "RIFF", "RIFF\x04\0\0\0WAVE",
    };
    for (const std::string& bytes : bad) {
        WavSound read = Tone(8000, 1, 8, 1);
        EXPECT_EQ(0, ParseWav(bytes, read)) << bytes.size();
        EXPECT_EQ(8000u, read.sampleRate);
        EXPECT_EQ(1u, read.samples.size());
    }
}

TEST(WavFile, RefusesEveryTruncation)
{
    std::string wav = EncodeWav(Tone(22050, 1, 16, 20));
    for (size_t cut = 0; cut < wav.size(); ++cut) {
        WavSound read;
        EXPECT_EQ(0, ParseWav(wav.substr(0, cut), read)) << "cut at " << cut;
    }
}

// An output that records each click and, while held, keeps the worker inside
// Write until released or cancelled.
class CHeldOutput final : public IClickOutput {
public:
    explicit CHeldOutput(bool hold, std::shared_ptr<bool> cancelled = nullptr)
        : hold_(hold), cancelled_(cancelled ? std::move(cancelled) : std::make_shared<bool>(false))
    {
    }
    Outcome Write(const WavSound& sound) override
    {
        std::unique_lock<std::mutex> lock(mutex_);
        ++writes_;
        frames_ = sound.Frames();
        changed_.notify_all();
        changed_.wait(lock, [this] { return !hold_ || *cancelled_; });
        return kPlayed;
    }
    void Cancel() override
    {
        std::lock_guard<std::mutex> lock(mutex_);
        *cancelled_ = true;
        changed_.notify_all();
    }
    void WaitForWrite()
    {
        std::unique_lock<std::mutex> lock(mutex_);
        changed_.wait(lock, [this] { return writes_ > 0; });
    }
    void Release()
    {
        std::lock_guard<std::mutex> lock(mutex_);
        hold_ = false;
        changed_.notify_all();
    }
    int Writes()
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return writes_;
    }
    size_t Frames()
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return frames_;
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    bool hold_;
    std::shared_ptr<bool> cancelled_; // outlives the output, for the test to look at
    int writes_ = 0;
    size_t frames_ = 0;
};

class ClickPlayer : public ::testing::Test {
protected:
    TempFolder folder_;
    std::string path_ = folder_.File("click.wav");
};

TEST_F(ClickPlayer, ReadsTheFileAtTheFirstClickNotBefore)
{
    auto output = std::make_unique<CHeldOutput>(false);
    CHeldOutput* out = output.get();
    CClickSoundPlayer player(path_, std::move(output));
    folder_.Write("click.wav", EncodeWav(Tone(22050, 1, 16, 300)));
    player.Play();
    player.WaitUntilIdle();
    EXPECT_EQ(1, out->Writes());
    EXPECT_EQ(300u, out->Frames());
    EXPECT_EQ(1, player.GetCounts().played);
}

TEST_F(ClickPlayer, MissingBrokenOrHugeFilesAreSilent)
{
    std::string good = EncodeWav(Tone(22050, 1, 16, 300));
    const std::optional<std::string> contents[] = {
        std::nullopt, "", "not a sound", good.substr(0, good.size() / 2),
        EncodeWav(Tone(44100, 2, 16, kMaxClickFileBytes / 4)),
    };
    for (size_t i = 0; i < std::size(contents); ++i) {
        if (contents[i]) folder_.Write("click.wav", *contents[i]);
        auto output = std::make_unique<CHeldOutput>(false);
        CHeldOutput* out = output.get();
        CClickSoundPlayer player(path_, std::move(output));
        for (int n = 0; n < 3; ++n) {
            player.Play();
            player.WaitUntilIdle();
        }
        EXPECT_EQ(0, out->Writes()) << i;
        EXPECT_EQ(3, player.GetCounts().skipped) << i;
    }
}

TEST_F(ClickPlayer, PlayNeverWaitsForTheClickInProgress)
{
    folder_.Write("click.wav", EncodeWav(Tone(22050, 1, 16, 300)));
    auto output = std::make_unique<CHeldOutput>(true);
    CHeldOutput* out = output.get();
    CClickSoundPlayer player(path_, std::move(output));
    player.Play();
    out->WaitForWrite();
    // The worker is stuck in the output: were Play to wait for it, this would never end.
    for (int i = 0; i < 100; ++i) player.Play();
    EXPECT_EQ(100, player.GetCounts().dropped);
    out->Release();
    player.WaitUntilIdle();
    player.Play();
    player.WaitUntilIdle();
    EXPECT_EQ(2, out->Writes());
    EXPECT_EQ(2, player.GetCounts().played);
}

TEST_F(ClickPlayer, ShutsDownDuringAClick)
{
    folder_.Write("click.wav", EncodeWav(Tone(22050, 1, 16, 300)));
    auto cancelled = std::make_shared<bool>(false);
    auto output = std::make_unique<CHeldOutput>(true, cancelled);
    CHeldOutput* out = output.get();
    {
        CClickSoundPlayer player(path_, std::move(output));
        player.Play();
        out->WaitForWrite();
    } // without the cancel the worker would stay in the output and the join would never end
    EXPECT_TRUE(*cancelled);
}

// The machines the tests run on may have no sound card: a device that cannot
// be opened skips the click, and ALSA's null device takes it whole.
TEST_F(ClickPlayer, AlsaSkipsAMissingDeviceAndPlaysToTheNullDevice)
{
    folder_.Write("click.wav", EncodeWav(Tone(22050, 1, 16, 441)));
    struct Case { const char* device; int played; int skipped; } cases[] = {
        {"tallix_no_such_device", 0, 1}, {"hw:99,0", 0, 1}, {"null", 1, 0},
    };
    for (const Case& c : cases) {
        CAlsaClickSound sound(path_, c.device);
        sound.Play();
        sound.WaitUntilIdle();
        EXPECT_EQ(c.played, sound.GetCounts().played) << c.device;
        EXPECT_EQ(c.skipped, sound.GetCounts().skipped) << c.device;
    }
}

// Opening the device reads the ALSA configuration: it is opened once for a
// run of clicks, and a device that is not there is not tried at every key.
TEST_F(ClickPlayer, TheDeviceIsOpenedOnceNotAtEveryClick)
{
    folder_.Write("click.wav", EncodeWav(Tone(22050, 1, 16, 441)));
    struct Case { const char* device; int played; int skipped; } cases[] = {
        {"null", 5, 0}, {"tallix_no_such_device", 0, 5},
    };
    for (const Case& c : cases) {
        CAlsaClickSound sound(path_, c.device);
        for (int i = 0; i < 5; ++i) {
            sound.Play();
            sound.WaitUntilIdle();
        }
        EXPECT_EQ(c.played, sound.GetCounts().played) << c.device;
        EXPECT_EQ(c.skipped, sound.GetCounts().skipped) << c.device;
        EXPECT_EQ(1, sound.DeviceOpens()) << c.device;
    }
}

TEST_F(ClickPlayer, ManyClicksInARowOnTheDefaultDevice)
{
    folder_.Write("click.wav", EncodeWav(Tone(22050, 1, 16, 441)));
    CAlsaClickSound sound(path_);
    for (int i = 0; i < 500; ++i) sound.Play();
    sound.WaitUntilIdle();
    CClickSoundPlayer::Counts counts = sound.GetCounts();
    EXPECT_EQ(500, counts.played + counts.skipped + counts.dropped);
    EXPECT_GE(counts.played + counts.skipped, 1);
}

TEST(ClickService, SilentUntilOneIsInstalled)
{
    IClickSound& silent = ClickSoundService();
    silent.Play();
    CNullClickSound other;
    SetClickSoundService(&other);
    EXPECT_EQ(&other, &ClickSoundService());
    SetClickSoundService(nullptr);
    EXPECT_EQ(&silent, &ClickSoundService());
}

} // namespace
