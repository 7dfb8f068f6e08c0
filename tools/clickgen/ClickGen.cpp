// Synthesises Tallix's key click: 18 ms of a short, bright knock, 16-bit mono
// at 22050 Hz. Two partials and a little noise, a 0.4 ms attack (no pop at
// the start) and a fast exponential decay that ends in exact silence.
// The noise comes from a fixed-seed generator, so every run writes the same
// file.
//
//   clickgen OUT.wav
#include "platform/ClickSound.h"

#include <cmath>
#include <cstdio>
#include <fstream>

namespace {

constexpr unsigned kRate = 22050;
constexpr double kSeconds = 0.018;
constexpr double kPi = 3.14159265358979323846;
constexpr double kPeak = 0.45; // of full scale: a click, not a shot

double Noise(uint32_t& state)
{
    state = state * 1664525u + 1013904223u;
    return static_cast<double>(state >> 8) / static_cast<double>(1u << 24) * 2.0 - 1.0;
}

std::vector<double> Synthesise()
{
    size_t frames = static_cast<size_t>(kRate * kSeconds);
    std::vector<double> wave(frames);
    uint32_t seed = 0x7a11u;
    for (size_t i = 0; i < frames; ++i) {
        double t = static_cast<double>(i) / kRate;
        double envelope = (1.0 - std::exp(-t / 0.0004)) * std::exp(-t / 0.0035);
        double tone = 0.65 * std::sin(2 * kPi * 3100 * t) + 0.35 * std::sin(2 * kPi * 1450 * t);
        double fade = static_cast<double>(frames - 1 - i) / static_cast<double>(frames - 1);
        wave[i] = envelope * (tone + 0.3 * Noise(seed)) * std::min(1.0, fade * 8);
    }
    return wave;
}

WavSound ToPcm(const std::vector<double>& wave)
{
    double peak = 0;
    for (double v : wave) peak = std::max(peak, std::fabs(v));
    WavSound sound{kRate, 1, 16, {}};
    for (double v : wave) {
        auto sample = static_cast<int16_t>(std::lround(v / peak * kPeak * 32767));
        sound.samples.push_back(static_cast<uint8_t>(sample & 0xFF));
        sound.samples.push_back(static_cast<uint8_t>((sample >> 8) & 0xFF));
    }
    return sound;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: clickgen OUT.wav\n");
        return 2;
    }
    std::string bytes = EncodeWav(ToPcm(Synthesise()));
    std::ofstream out(argv[1], std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out.flush()) {
        std::fprintf(stderr, "clickgen: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
