// The address echo in the STUN Binding format (RFC 8489), so that standard STUN clients can check
// the service: a request in, a fixed-size answer with the address it came from out.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

#include "meeting/endpoint.h"

namespace kraylo {

// A Binding answer's size: the header and one address attribute (bytes), whatever was asked.
inline constexpr size_t kStunAnswerBytes = 32;
// Our own requests' size: padded to the answer's, so that an answer is never larger.
inline constexpr size_t kStunRequestBytes = 32;

using StunTransaction = std::array<uint8_t, 12>;
using StunAnswer = std::array<uint8_t, kStunAnswerBytes>;

// A Binding request of ours: with a PADDING attribute up to kStunRequestBytes.
std::array<uint8_t, kStunRequestBytes> StunRequest(const StunTransaction& transaction);

// The answer to a datagram, when it is a Binding request: XOR-MAPPED-ADDRESS of `from`, or for a
// request of the older standard (no magic cookie) MAPPED-ADDRESS, which its clients read.
std::optional<StunAnswer> AnswerStun(std::span<const uint8_t> request, Endpoint from);

// The address a Binding answer to `transaction` reports; nullopt for anything else.
std::optional<Endpoint> ReadStunAnswer(std::span<const uint8_t> answer,
                                       const StunTransaction& transaction);

// Whether a datagram looks like a STUN answer (type, cookie): the game's socket hands such
// datagrams to the meeting client, not to ENet.
bool IsStunAnswer(std::span<const uint8_t> bytes);

}  // namespace kraylo
