#include "sound/wave_file.h"

namespace kraylo {
namespace {

constexpr uint16_t kPcm = 1;
constexpr uint16_t kBits = 16;
constexpr uint32_t kFormatChunkBytes = 16;
constexpr size_t kHeaderBytes = 44;  // the RIFF header, the format chunk and the data chunk's head

void Put(std::string& bytes, uint32_t value, int size) {
  for (int i = 0; i < size; ++i) bytes.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

uint32_t Get(const std::string& bytes, size_t at, int size) {
  uint32_t value = 0;
  for (int i = size - 1; i >= 0; --i) {
    value = (value << 8) | static_cast<uint8_t>(bytes[at + static_cast<size_t>(i)]);
  }
  return value;
}

}  // namespace

std::string EncodeWave(const std::vector<int16_t>& samples) {
  const auto data_bytes = static_cast<uint32_t>(samples.size() * 2);
  std::string bytes = "RIFF";
  Put(bytes, 36 + data_bytes, 4);
  bytes += "WAVEfmt ";
  Put(bytes, kFormatChunkBytes, 4);
  Put(bytes, kPcm, 2);
  Put(bytes, 1, 2);  // one channel
  Put(bytes, kSampleRate, 4);
  Put(bytes, kSampleRate * 2, 4);  // bytes per second
  Put(bytes, 2, 2);                // bytes per frame
  Put(bytes, kBits, 2);
  bytes += "data";
  Put(bytes, data_bytes, 4);
  for (const int16_t sample : samples) Put(bytes, static_cast<uint16_t>(sample), 2);
  return bytes;
}

std::optional<std::vector<int16_t>> DecodeWave(const std::string& bytes) {
  if (bytes.size() < kHeaderBytes || bytes.compare(0, 4, "RIFF") != 0 ||
      bytes.compare(8, 8, "WAVEfmt ") != 0 || Get(bytes, 16, 4) != kFormatChunkBytes ||
      Get(bytes, 20, 2) != kPcm || Get(bytes, 22, 2) != 1 || Get(bytes, 24, 4) != kSampleRate ||
      Get(bytes, 34, 2) != kBits || bytes.compare(36, 4, "data") != 0) {
    return std::nullopt;
  }
  const uint32_t data_bytes = Get(bytes, 40, 4);
  if (data_bytes % 2 != 0 || data_bytes > bytes.size() - kHeaderBytes) return std::nullopt;
  std::vector<int16_t> samples(data_bytes / 2);
  for (size_t i = 0; i < samples.size(); ++i) {
    samples[i] = static_cast<int16_t>(Get(bytes, kHeaderBytes + 2 * i, 2));
  }
  return samples;
}

}  // namespace kraylo
