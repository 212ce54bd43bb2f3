#include "meeting/stun.h"

#include <algorithm>

namespace kraylo {
namespace {

constexpr uint16_t kBindingRequest = 0x0001;
constexpr uint16_t kBindingSuccess = 0x0101;
constexpr uint32_t kCookie = 0x2112A442;
constexpr uint16_t kMappedAddress = 0x0001;
constexpr uint16_t kXorMappedAddress = 0x0020;
constexpr uint16_t kPadding = 0x0026;
constexpr size_t kHeader = 20;
constexpr uint8_t kFamilyIPv4 = 0x01;

uint16_t Read16(std::span<const uint8_t> bytes, size_t at) {
  return static_cast<uint16_t>(bytes[at] << 8 | bytes[at + 1]);
}
uint32_t Read32(std::span<const uint8_t> bytes, size_t at) {
  return uint32_t{Read16(bytes, at)} << 16 | Read16(bytes, at + 2);
}
void Write16(std::span<uint8_t> bytes, size_t at, uint16_t value) {
  bytes[at] = static_cast<uint8_t>(value >> 8);
  bytes[at + 1] = static_cast<uint8_t>(value);
}
void Write32(std::span<uint8_t> bytes, size_t at, uint32_t value) {
  Write16(bytes, at, static_cast<uint16_t>(value >> 16));
  Write16(bytes, at + 2, static_cast<uint16_t>(value));
}

}  // namespace

std::array<uint8_t, kStunRequestBytes> StunRequest(const StunTransaction& transaction) {
  std::array<uint8_t, kStunRequestBytes> request{};
  Write16(request, 0, kBindingRequest);
  Write16(request, 2, kStunRequestBytes - kHeader);
  Write32(request, 4, kCookie);
  std::copy(transaction.begin(), transaction.end(), request.begin() + 8);
  Write16(request, kHeader, kPadding);
  Write16(request, kHeader + 2, kStunRequestBytes - kHeader - 4);
  return request;
}

std::optional<StunAnswer> AnswerStun(std::span<const uint8_t> request, Endpoint from) {
  // A request: a header whose length covers whole attributes, the two top bits clear.
  if (request.size() < kHeader || Read16(request, 0) != kBindingRequest ||
      Read16(request, 2) != request.size() - kHeader || Read16(request, 2) % 4 != 0) {
    return std::nullopt;
  }
  const bool modern = Read32(request, 4) == kCookie;
  StunAnswer answer{};
  Write16(answer, 0, kBindingSuccess);
  Write16(answer, 2, kStunAnswerBytes - kHeader);
  // The cookie and transaction (or the older standard's 16-byte transaction) come back as sent.
  std::copy(request.begin() + 4, request.begin() + kHeader, answer.begin() + 4);
  Write16(answer, kHeader, modern ? kXorMappedAddress : kMappedAddress);
  Write16(answer, kHeader + 2, 8);
  answer[kHeader + 5] = kFamilyIPv4;
  Write16(answer, kHeader + 6,
          modern ? static_cast<uint16_t>(from.port ^ (kCookie >> 16)) : from.port);
  Write32(answer, kHeader + 8, modern ? from.address ^ kCookie : from.address);
  return answer;
}

bool IsStunAnswer(std::span<const uint8_t> bytes) {
  return bytes.size() == kStunAnswerBytes && Read16(bytes, 0) == kBindingSuccess &&
         Read32(bytes, 4) == kCookie;
}

std::optional<Endpoint> ReadStunAnswer(std::span<const uint8_t> answer,
                                       const StunTransaction& transaction) {
  if (!IsStunAnswer(answer) || Read16(answer, 2) != kStunAnswerBytes - kHeader ||
      !std::equal(transaction.begin(), transaction.end(), answer.begin() + 8) ||
      Read16(answer, kHeader) != kXorMappedAddress || Read16(answer, kHeader + 2) != 8 ||
      answer[kHeader + 5] != kFamilyIPv4) {
    return std::nullopt;
  }
  return Endpoint{Read32(answer, kHeader + 8) ^ kCookie,
                  static_cast<uint16_t>(Read16(answer, kHeader + 6) ^ (kCookie >> 16))};
}

}  // namespace kraylo
