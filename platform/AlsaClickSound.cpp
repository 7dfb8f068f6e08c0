// The click over ALSA. The only file that speaks to the sound device.
#include "platform/ClickSound.h"

#include <alsa/asoundlib.h>
#include "platform/LibrarySymbol.h"

#include <atomic>
#include <memory>
#include <cerrno>
#include <chrono>
#include <mutex>
#include <thread>

namespace {

// libasound is loaded at the first click, not at start-up; without it the
// clicks are skipped like those of a missing device.
struct AlsaApi {
    int (*lib_error_set_handler)(snd_lib_error_handler_t);
    int (*pcm_open)(snd_pcm_t**, const char*, snd_pcm_stream_t, int);
    int (*pcm_close)(snd_pcm_t*);
    int (*pcm_drain)(snd_pcm_t*);
    int (*pcm_prepare)(snd_pcm_t*);
    int (*pcm_recover)(snd_pcm_t*, int, int);
    int (*pcm_set_params)(snd_pcm_t*, snd_pcm_format_t, snd_pcm_access_t, unsigned, unsigned, int, unsigned);
    snd_pcm_state_t (*pcm_state)(snd_pcm_t*);
    int (*pcm_wait)(snd_pcm_t*, int);
    snd_pcm_sframes_t (*pcm_writei)(snd_pcm_t*, const void*, snd_pcm_uframes_t);
};

const AlsaApi* Alsa()
{
    static AlsaApi api;
    static bool loaded = false;
    static std::once_flag once;
    std::call_once(once, [] {
        void* library = dlopen("libasound.so.2", RTLD_NOW | RTLD_LOCAL);
        loaded = library && FindLibrarySymbol(library, "snd_lib_error_set_handler", api.lib_error_set_handler) &&
                 FindLibrarySymbol(library, "snd_pcm_open", api.pcm_open) && FindLibrarySymbol(library, "snd_pcm_close", api.pcm_close) &&
                 FindLibrarySymbol(library, "snd_pcm_drain", api.pcm_drain) &&
                 FindLibrarySymbol(library, "snd_pcm_prepare", api.pcm_prepare) && FindLibrarySymbol(library, "snd_pcm_recover", api.pcm_recover) &&
                 FindLibrarySymbol(library, "snd_pcm_set_params", api.pcm_set_params) &&
                 FindLibrarySymbol(library, "snd_pcm_state", api.pcm_state) && FindLibrarySymbol(library, "snd_pcm_wait", api.pcm_wait) &&
                 FindLibrarySymbol(library, "snd_pcm_writei", api.pcm_writei);
    });
    return loaded ? &api : nullptr;
}

#define snd_lib_error_set_handler Alsa()->lib_error_set_handler
#define snd_pcm_open Alsa()->pcm_open
#define snd_pcm_close Alsa()->pcm_close
#define snd_pcm_drain Alsa()->pcm_drain
#define snd_pcm_prepare Alsa()->pcm_prepare
#define snd_pcm_recover Alsa()->pcm_recover
#define snd_pcm_set_params Alsa()->pcm_set_params
#define snd_pcm_state Alsa()->pcm_state
#define snd_pcm_wait Alsa()->pcm_wait
#define snd_pcm_writei Alsa()->pcm_writei

void SilentAlsaError(const char*, int, const char*, int, const char*, ...) {}

// A click lasts milliseconds; these only bound a device that stops moving.
constexpr int kWaitMs = 50;
constexpr int kMaxStalls = 20;
constexpr int kDrainMarginMs = 500;

// A device that could not be opened is tried again after this long, not at
// every key: each open reads the ALSA configuration anew.
constexpr auto kRetryOpenAfter = std::chrono::seconds(10);

class CAlsaOutput final : public IClickOutput {
public:
    CAlsaOutput(std::string device, std::shared_ptr<std::atomic<int>> opens)
        : device_(std::move(device)), opens_(std::move(opens))
    {
    }
    ~CAlsaOutput() override { Close(); }

    Outcome Write(const WavSound& sound) override
    {
        if (!Alsa()) return kNoDevice;
        static std::once_flag silenced;
        std::call_once(silenced, [] { snd_lib_error_set_handler(&SilentAlsaError); });
        if (cancelled_) return kFailed;
        if (!pcm_ && !Open(sound)) return kNoDevice;
        // The device stays open between clicks; a drained one is prepared again.
        bool played = (snd_pcm_state(pcm_) == SND_PCM_STATE_PREPARED || snd_pcm_prepare(pcm_) == 0) &&
                      WriteFrames(pcm_, sound) && Drain(pcm_, sound);
        if (!played) Close(); // opened afresh at the next click
        return played ? kPlayed : kFailed;
    }

    void Cancel() override { cancelled_ = true; }

private:
    bool Open(const WavSound& sound)
    {
        const auto now = std::chrono::steady_clock::now();
        if (*opens_ > 0 && now - lastOpen_ < kRetryOpenAfter) return false;
        lastOpen_ = now;
        ++*opens_;
        // Non-blocking: a device another program holds answers at once instead of making us wait.
        if (snd_pcm_open(&pcm_, device_.c_str(), SND_PCM_STREAM_PLAYBACK, SND_PCM_NONBLOCK) < 0) {
            pcm_ = nullptr;
            return false;
        }
        if (Configure(pcm_, sound)) return true;
        Close();
        return false;
    }

    void Close()
    {
        if (pcm_ && Alsa()) snd_pcm_close(pcm_);
        pcm_ = nullptr;
    }

    static bool Configure(snd_pcm_t* pcm, const WavSound& sound)
    {
        snd_pcm_format_t format = sound.bitsPerSample == 8 ? SND_PCM_FORMAT_U8 : SND_PCM_FORMAT_S16_LE;
        return snd_pcm_set_params(pcm, format, SND_PCM_ACCESS_RW_INTERLEAVED, sound.channels, sound.sampleRate,
                                  1, 100000) == 0;
    }

    bool WriteFrames(snd_pcm_t* pcm, const WavSound& sound)
    {
        const uint8_t* data = sound.samples.data();
        snd_pcm_uframes_t left = sound.Frames();
        int stalls = 0;
        while (left > 0) {
            if (cancelled_ || stalls > kMaxStalls) return false;
            snd_pcm_sframes_t n = snd_pcm_writei(pcm, data, left);
            if (n == -EAGAIN) {
                if (snd_pcm_wait(pcm, kWaitMs) <= 0) ++stalls;
                continue;
            }
            if (n < 0) {
                ++stalls;
                if (snd_pcm_recover(pcm, static_cast<int>(n), 1) < 0) return false;
                continue;
            }
            data += static_cast<size_t>(n) * sound.FrameBytes();
            left -= static_cast<snd_pcm_uframes_t>(n);
        }
        return true;
    }

    // Lets the queued frames play out; closing earlier would cut the click.
    bool Drain(snd_pcm_t* pcm, const WavSound& sound)
    {
        int result = snd_pcm_drain(pcm);
        if (result == 0) return true;
        if (result != -EAGAIN) return false;
        long limitMs = static_cast<long>(sound.Frames() * 1000 / sound.sampleRate) + kDrainMarginMs;
        for (long waited = 0; waited < limitMs && !cancelled_; waited += 5) {
            if (snd_pcm_state(pcm) != SND_PCM_STATE_DRAINING) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return false;
    }

    std::string device_;
    std::atomic<bool> cancelled_{false};
    snd_pcm_t* pcm_ = nullptr;
    std::shared_ptr<std::atomic<int>> opens_;
    std::chrono::steady_clock::time_point lastOpen_;
};

} // namespace

CAlsaClickSound::CAlsaClickSound(std::string wavPath, std::string device)
    : CAlsaClickSound(std::move(wavPath), std::move(device), std::make_shared<std::atomic<int>>(0))
{
}

CAlsaClickSound::CAlsaClickSound(std::string wavPath, std::string device, std::shared_ptr<std::atomic<int>> opens)
    : CClickSoundPlayer(std::move(wavPath), std::make_unique<CAlsaOutput>(std::move(device), opens)),
      opens_(std::move(opens))
{
}

int CAlsaClickSound::DeviceOpens() const { return *opens_; }
