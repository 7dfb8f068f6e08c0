#include "platform/ClickSound.h"

#include <condition_variable>
#include <cstring>
#include <mutex>
#include <string>
#include <system_error>
#include <thread>

#include "platform/FileText.h"

namespace {

CNullClickSound g_silent;
IClickSound* g_current = &g_silent;

uint32_t Le32(std::string_view bytes, size_t at)
{
    uint32_t value = 0;
    for (int i = 3; i >= 0; --i) value = (value << 8) | static_cast<uint8_t>(bytes[at + i]);
    return value;
}

uint16_t Le16(std::string_view bytes, size_t at)
{
    return static_cast<uint16_t>(static_cast<uint8_t>(bytes[at]) | (static_cast<uint8_t>(bytes[at + 1]) << 8));
}

void PutLe(std::string& out, uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

bool LoadWavFile(const std::string& path, WavSound& sound)
{
    std::string bytes;
    int error = 0;
    return ReadFileText(path, bytes, error, kMaxClickFileBytes) && ParseWav(bytes, sound) == 1;
}

} // namespace

IClickSound& ClickSoundService() { return *g_current; }

void SetClickSoundService(IClickSound* impl) { g_current = impl ? impl : &g_silent; }

int ParseWav(std::string_view bytes, WavSound& out)
{
    if (bytes.size() < 12 || bytes.substr(0, 4) != "RIFF" || bytes.substr(8, 4) != "WAVE") return 0;
    // A RIFF size beyond the end means the file was cut short.
    if (Le32(bytes, 4) > bytes.size() - 8) return 0;
    std::string_view format, data;
    for (size_t at = 12; at + 8 <= bytes.size();) {
        std::string_view id = bytes.substr(at, 4);
        uint32_t size = Le32(bytes, at + 4);
        if (size > bytes.size() - at - 8) return 0;
        std::string_view body = bytes.substr(at + 8, size);
        if (id == "fmt " && format.empty()) format = body;
        if (id == "data" && data.empty()) data = body;
        at += 8 + size + (size & 1); // chunks are padded to an even size
    }
    if (format.size() < 16 || data.empty()) return 0;
    WavSound sound;
    sound.channels = Le16(format, 2);
    sound.sampleRate = Le32(format, 4);
    sound.bitsPerSample = Le16(format, 14);
    bool pcm = Le16(format, 0) == 1;
    bool shape = (sound.channels == 1 || sound.channels == 2) && (sound.bitsPerSample == 8 || sound.bitsPerSample == 16);
    bool rate = sound.sampleRate >= 8000 && sound.sampleRate <= 192000;
    if (!pcm || !shape || !rate || Le16(format, 12) != sound.FrameBytes()) return 0;
    size_t whole = data.size() - data.size() % sound.FrameBytes();
    if (whole == 0) return 0;
    sound.samples.assign(data.begin(), data.begin() + static_cast<std::ptrdiff_t>(whole));
    out = std::move(sound);
    return 1;
}

std::string EncodeWav(const WavSound& sound)
{
    size_t frameBytes = sound.FrameBytes();
    uint32_t dataSize = static_cast<uint32_t>(sound.samples.size());
    std::string out = "RIFF";
    PutLe(out, 36 + dataSize + (dataSize & 1), 4);
    out += "WAVEfmt ";
    PutLe(out, 16, 4);
    PutLe(out, 1, 2);
    PutLe(out, sound.channels, 2);
    PutLe(out, sound.sampleRate, 4);
    PutLe(out, static_cast<uint32_t>(sound.sampleRate * frameBytes), 4);
    PutLe(out, static_cast<uint32_t>(frameBytes), 2);
    PutLe(out, sound.bitsPerSample, 2);
    out += "data";
    PutLe(out, dataSize, 4);
    out.append(sound.samples.begin(), sound.samples.end());
    if (dataSize & 1) out.push_back('\0');
    return out;
}

struct CClickSoundPlayer::Worker {
    std::string path;
    std::unique_ptr<IClickOutput> output;
    std::mutex mutex;
    std::condition_variable wake; // a click was asked for, or stop
    std::condition_variable idle; // busy went back to false
    bool requested = false;
    bool busy = false; // from Play until the click has ended
    bool stop = false;
    std::thread thread;
    Counts counts;
    // Worker thread only: the file is read once, at the first click.
    bool fileRead = false;
    bool usable = false;
    WavSound sound;

    bool PlayOnce()
    {
        if (!fileRead) {
            fileRead = true;
            usable = LoadWavFile(path, sound);
        }
        return usable && output->Write(sound) == IClickOutput::kPlayed;
    }

    void Run()
    {
        std::unique_lock<std::mutex> lock(mutex);
        for (;;) {
            wake.wait(lock, [this] { return requested || stop; });
            if (stop) break;
            requested = false;
            lock.unlock();
            bool played = PlayOnce();
            lock.lock();
            ++(played ? counts.played : counts.skipped);
            busy = false;
            idle.notify_all();
        }
        busy = false;
        idle.notify_all();
    }
};

CClickSoundPlayer::CClickSoundPlayer(std::string wavPath, std::unique_ptr<IClickOutput> output)
    : worker_(std::make_unique<Worker>())
{
    worker_->path = std::move(wavPath);
    worker_->output = std::move(output);
}

CClickSoundPlayer::~CClickSoundPlayer()
{
    {
        std::lock_guard<std::mutex> lock(worker_->mutex);
        worker_->stop = true;
    }
    worker_->wake.notify_all();
    if (worker_->output) worker_->output->Cancel();
    if (worker_->thread.joinable()) worker_->thread.join();
}

void CClickSoundPlayer::Play()
{
    Worker& w = *worker_;
    std::lock_guard<std::mutex> lock(w.mutex);
    if (w.busy) {
        ++w.counts.dropped;
        return;
    }
    if (!w.output || w.stop) {
        ++w.counts.skipped;
        return;
    }
    if (!w.thread.joinable()) {
        try {
            w.thread = std::thread(&Worker::Run, &w);
        } catch (const std::system_error&) {
            ++w.counts.skipped; // no thread, no click; the next Play tries again
            return;
        }
    }
    w.busy = true;
    w.requested = true;
    w.wake.notify_one();
}

void CClickSoundPlayer::WaitUntilIdle()
{
    std::unique_lock<std::mutex> lock(worker_->mutex);
    worker_->idle.wait(lock, [this] { return !worker_->busy; });
}

CClickSoundPlayer::Counts CClickSoundPlayer::GetCounts() const
{
    std::lock_guard<std::mutex> lock(worker_->mutex);
    return worker_->counts;
}
