#include "tools/art/sound_art.h"

#include <cmath>
#include <functional>

#include "sound/wave_file.h"

namespace kraylo::art {
namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kRate = kSampleRate;

// sin(2 pi cycles) from a polynomial: folded to a quarter turn, where its error stays below 2e-5.
double Sine(double cycles) {
  double x = cycles - std::floor(cycles);  // [0, 1)
  if (x > 0.5) x -= 1;                     // (-0.5, 0.5]
  if (x > 0.25) x = 0.5 - x;
  if (x < -0.25) x = -0.5 - x;
  const double a = 2 * kPi * x;
  const double a2 = a * a;
  return a * (1 - a2 / 6 * (1 - a2 / 20 * (1 - a2 / 42 * (1 - a2 / 72))));
}

// Rises over `attack` seconds, then falls as (1 - t)^power to 0 at `length` seconds.
double Envelope(double t, double length, double attack, int power) {
  if (t < 0 || t >= length) return 0;
  const double rise = attack > 0 && t < attack ? t / attack : 1;
  double fall = 1;
  for (int i = 0; i < power; ++i) fall *= 1 - t / length;
  return rise * fall;
}

// A fixed noise: the same sequence every time.
class Noise {
 public:
  double Next() {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return static_cast<double>(state_) / 2147483648.0 - 1;
  }

 private:
  uint32_t state_ = 2463534242U;
};

// A sine partial: frequency (Hz), loudness and how long it rings (seconds).
struct Partial {
  double frequency;
  double loudness;
  double length;
};

double Partials(double t, const std::vector<Partial>& partials, int power) {
  double sum = 0;
  for (const Partial& p : partials) {
    sum += p.loudness * Envelope(t, p.length, 0.002, power) * Sine(p.frequency * t);
  }
  return sum;
}

// Samples of `seconds` seconds from `at(t)` (full scale 1).
std::vector<int16_t> Render(double seconds, const std::function<double(double)>& at) {
  const auto count = static_cast<size_t>(seconds * kRate);
  std::vector<int16_t> samples(count);
  for (size_t i = 0; i < count; ++i) {
    const double value = at(static_cast<double>(i) / kRate);
    const double clamped = value > 1 ? 1 : value < -1 ? -1 : value;
    samples[i] = static_cast<int16_t>(std::floor(clamped * 32767 + 0.5));
  }
  return samples;
}

// Two hard balls: a low knock, two bright partials that die fast, and a few milliseconds of hiss.
std::vector<int16_t> Contact() {
  Noise noise;
  return Render(0.14, [&](double t) {
    const double knock =
        Partials(t, {{190, 0.30, 0.14}, {1150, 0.16, 0.06}, {1730, 0.10, 0.04}}, 3);
    return knock + 0.12 * Envelope(t, 0.008, 0, 2) * noise.Next();
  });
}

// A ball falling away: a whistle gliding down three octaves, fading as it goes.
std::vector<int16_t> Drop() {
  constexpr double kLength = 0.55;
  constexpr double kFrom = 880;
  constexpr double kTo = 110;
  double phase = 0;
  return Render(kLength, [&](double t) {
    const double frequency = kFrom + (kTo - kFrom) * t / kLength;
    phase += frequency / kRate;
    const double tone = Sine(phase) + 0.25 * Sine(2 * phase);
    return 0.36 * Envelope(t, kLength, 0.01, 2) * tone;
  });
}

// The next round: two bell-like notes, a fifth apart, the second a little after the first.
std::vector<int16_t> RoundStart() {
  constexpr double kSecond = 0.12;  // seconds
  return Render(0.36, [](double t) {
    const double first = Partials(t, {{659.25, 0.22, 0.16}, {1318.5, 0.07, 0.10}}, 3);
    const double second = Partials(t - kSecond, {{987.77, 0.22, 0.24}, {1975.5, 0.07, 0.14}}, 3);
    return first + second;
  });
}

// A menu button: a short bright tick.
std::vector<int16_t> Click() {
  Noise noise;
  return Render(0.025, [&](double t) {
    return Envelope(t, 0.025, 0.0005, 4) * (0.22 * Sine(2400 * t) + 0.06 * noise.Next());
  });
}

}  // namespace

std::vector<int16_t> Synthesise(SoundKind kind) {
  switch (kind) {
    case SoundKind::kContact:
      return Contact();
    case SoundKind::kDrop:
      return Drop();
    case SoundKind::kRoundStart:
      return RoundStart();
    case SoundKind::kClick:
      break;
  }
  return Click();
}

}  // namespace kraylo::art
