// A ServiceNetwork that records what the service sends and which ports it holds open.
#pragma once

#include <set>
#include <utility>
#include <vector>

#include "meet_service/meeting_service.h"

namespace kraylo::testing {

struct SentDatagram {
  uint16_t from_port = 0;
  Endpoint to;
  std::vector<uint8_t> bytes;
};

class RecordingNetwork final : public ServiceNetwork {
 public:
  void Send(uint16_t from_port, Endpoint to, std::span<const uint8_t> bytes) override {
    sent.push_back({from_port, to, {bytes.begin(), bytes.end()}});
  }
  bool OpenPort(uint16_t port) override { return open.insert(port).second; }
  void ClosePort(uint16_t port) override { open.erase(port); }
  std::vector<SentDatagram> Take() { return std::exchange(sent, {}); }

  std::vector<SentDatagram> sent;
  std::set<uint16_t> open;
};

}  // namespace kraylo::testing
