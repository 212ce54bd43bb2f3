#include "meeting/keyed_hash.h"

#include <bit>
#include <vector>

namespace kraylo {
namespace {

uint64_t Load64(const uint8_t* bytes, size_t count) {
  uint64_t value = 0;
  for (size_t i = 0; i < count; ++i) value |= uint64_t{bytes[i]} << (8 * i);
  return value;
}

struct SipState {
  uint64_t v0, v1, v2, v3;
  void Round() {
    v0 += v1;
    v1 = std::rotl(v1, 13);
    v1 ^= v0;
    v0 = std::rotl(v0, 32);
    v2 += v3;
    v3 = std::rotl(v3, 16);
    v3 ^= v2;
    v0 += v3;
    v3 = std::rotl(v3, 21);
    v3 ^= v0;
    v2 += v1;
    v1 = std::rotl(v1, 17);
    v1 ^= v2;
    v2 = std::rotl(v2, 32);
  }
  void Absorb(uint64_t word) {
    v3 ^= word;
    Round();
    Round();
    v0 ^= word;
  }
};

constexpr std::array<uint32_t, 256> MakeCrcTable() {
  std::array<uint32_t, 256> table{};
  for (uint32_t i = 0; i < 256; ++i) {
    uint32_t value = i;
    for (int bit = 0; bit < 8; ++bit)
      value = (value & 1) != 0 ? 0xEDB88320u ^ (value >> 1) : value >> 1;
    table[i] = value;
  }
  return table;
}
constexpr std::array<uint32_t, 256> kCrcTable = MakeCrcTable();

}  // namespace

uint64_t SipHash(const HashKey& key, std::span<const uint8_t> bytes) {
  const uint64_t k0 = Load64(key.data(), 8);
  const uint64_t k1 = Load64(key.data() + 8, 8);
  SipState s{k0 ^ 0x736f6d6570736575ull, k1 ^ 0x646f72616e646f6dull, k0 ^ 0x6c7967656e657261ull,
             k1 ^ 0x7465646279746573ull};
  const size_t whole = bytes.size() / 8 * 8;
  for (size_t at = 0; at < whole; at += 8) s.Absorb(Load64(bytes.data() + at, 8));
  s.Absorb(Load64(bytes.data() + whole, bytes.size() - whole) | uint64_t{bytes.size() & 0xFF}
                                                                    << 56);
  s.v2 ^= 0xFF;
  for (int i = 0; i < 4; ++i) s.Round();
  return s.v0 ^ s.v1 ^ s.v2 ^ s.v3;
}

HashKey SipHash128(const HashKey& key, std::span<const uint8_t> bytes) {
  std::vector<uint8_t> tagged(bytes.begin(), bytes.end());
  tagged.push_back(0);
  HashKey out{};
  for (size_t half = 0; half < 2; ++half) {
    tagged.back() = static_cast<uint8_t>(half);
    const uint64_t value = SipHash(key, tagged);
    for (size_t i = 0; i < 8; ++i) out[8 * half + i] = static_cast<uint8_t>(value >> (8 * i));
  }
  return out;
}

uint32_t Crc32(std::span<const uint8_t> bytes) {
  uint32_t crc = 0xFFFFFFFFu;
  for (const uint8_t byte : bytes) crc = kCrcTable[(crc ^ byte) & 0xFF] ^ (crc >> 8);
  return crc ^ 0xFFFFFFFFu;
}

}  // namespace kraylo
