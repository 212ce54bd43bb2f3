// The hashes the meeting service and its clients share: SipHash-2-4, keyed, for tokens and the
// proofs over a challenge (unforgeable without the key); CRC32 to check our own datagrams, which
// ENet's checksum does not cover.
#pragma once

#include <array>
#include <cstdint>
#include <span>

namespace kraylo {

// A 128-bit secret: the service's key, or a token used as a key to prove it is held.
using HashKey = std::array<uint8_t, 16>;

// SipHash-2-4 of `bytes` under `key` (64 bits).
uint64_t SipHash(const HashKey& key, std::span<const uint8_t> bytes);

// 128 bits from two SipHashes of `bytes` under `key`, each with its own final byte (a token).
HashKey SipHash128(const HashKey& key, std::span<const uint8_t> bytes);

// The CRC-32 of IEEE 802.3 and zlib.
uint32_t Crc32(std::span<const uint8_t> bytes);

}  // namespace kraylo
