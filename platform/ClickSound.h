#pragma once
// The keypad's click. The window plays it for every key press when the
// PlaySounds setting is on. A click must never hold up the key press: Play
// returns at once, and a click that cannot be played now (no sound device, a
// device busy with another program, a missing or unreadable sound file) is
// skipped without a word.
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class IClickSound {
public:
    virtual ~IClickSound() = default;
    // Starts one click and returns without waiting for it. Called on the
    // interface thread.
    virtual void Play() = 0;
};

// The installed implementation: silent unless the window program installs one.
IClickSound& ClickSoundService();
// Installs impl (not owned; must outlive its use); null restores the silent one.
void SetClickSoundService(IClickSound* impl);

// Plays nothing: the terminal front end, tools and tests.
class CNullClickSound final : public IClickSound {
public:
    void Play() override {}
};

// A PCM sound: interleaved little-endian samples, unsigned 8-bit or signed
// 16-bit, whole frames only.
struct WavSound {
    unsigned sampleRate = 0;     // 8000..192000 frames a second
    unsigned channels = 0;       // 1 or 2
    unsigned bitsPerSample = 0;  // 8 or 16
    std::vector<uint8_t> samples;

    size_t FrameBytes() const { return channels * bitsPerSample / 8; }
    size_t Frames() const { return FrameBytes() ? samples.size() / FrameBytes() : 0; }
};

// A click is short: larger sound files are refused unread.
constexpr size_t kMaxClickFileBytes = 1 << 20;

// Reads a RIFF WAVE file image holding uncompressed PCM as above. Returns 1;
// 0 for anything else (another format or sample size, a chunk that runs past
// the end, no sound data), and out is then left as it was.
int ParseWav(std::string_view bytes, WavSound& out);
// Writes the sound as a RIFF WAVE file image (a "fmt " and a "data" chunk).
std::string EncodeWav(const WavSound& sound);

// Where a player sends its clicks: the sound device in the program, a
// recorder in tests.
class IClickOutput {
public:
    enum Outcome { kPlayed, kNoDevice, kFailed };
    virtual ~IClickOutput() = default;
    // Plays the sound to its end and returns. Called on the player's worker
    // thread only.
    virtual Outcome Write(const WavSound& sound) = 0;
    // Makes a Write in progress give up soon, and every later one at once.
    // Called from another thread when the player shuts down.
    virtual void Cancel() = 0;
};

// Plays a WAV file through an output on a worker thread of its own. Nothing
// happens at construction: the worker starts and the file is read at the
// first Play. One click at a time: a Play while a click is still playing is
// dropped (a keypad played fast gives one click per sound, not a queue that
// lags behind the keys). The destructor stops the click in progress and
// joins the worker.
class CClickSoundPlayer : public IClickSound {
public:
    struct Counts {
        int played = 0;    // the output played the click
        int skipped = 0;   // no device, the device failed, or no usable sound file
        int dropped = 0;   // a click was still playing
    };

    CClickSoundPlayer(std::string wavPath, std::unique_ptr<IClickOutput> output);
    ~CClickSoundPlayer() override;
    CClickSoundPlayer(const CClickSoundPlayer&) = delete;
    CClickSoundPlayer& operator=(const CClickSoundPlayer&) = delete;

    void Play() override;

    // Waits until the click in progress (if any) has ended. For tests and for
    // a program that wants the last click heard before it exits.
    void WaitUntilIdle();
    Counts GetCounts() const;

private:
    struct Worker;
    std::unique_ptr<Worker> worker_;
};

// The player over ALSA: the first click opens the PCM device non-blocking,
// so a busy or missing device skips the click, and it stays open for the
// clicks that follow (an open reads the whole ALSA configuration). A device
// that could not be opened, or failed, is opened again at a click at least
// ten seconds after the last try; the clicks between are skipped. ALSA's own
// error messages are silenced (a machine without a sound card would print
// them for every click).
class CAlsaClickSound final : public CClickSoundPlayer {
public:
    explicit CAlsaClickSound(std::string wavPath, std::string device = "default");
    // How often the device was opened (or tried) so far.
    int DeviceOpens() const;

private:
    CAlsaClickSound(std::string wavPath, std::string device, std::shared_ptr<std::atomic<int>> opens);
    std::shared_ptr<std::atomic<int>> opens_;
};
