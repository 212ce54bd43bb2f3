#include "portmap/port_mapping.h"

#include <array>

namespace kraylo {
namespace {

// Four numbers with dots between them, each 0 to 255; nullopt for anything else.
std::optional<std::array<int, 4>> Octets(const std::string& text) {
  std::array<int, 4> octets{};
  size_t at = 0;
  for (size_t i = 0; i < octets.size(); ++i) {
    size_t digits = 0;
    octets[i] = 0;
    while (at < text.size() && text[at] >= '0' && text[at] <= '9' && digits < 3) {
      octets[i] = octets[i] * 10 + (text[at++] - '0');
      ++digits;
    }
    if (digits == 0 || octets[i] > 255) return std::nullopt;
    if (i + 1 < octets.size() && (at >= text.size() || text[at++] != '.')) return std::nullopt;
  }
  if (at != text.size()) return std::nullopt;
  return octets;
}

}  // namespace

bool IsPrivateOrShared(const std::string& ipv4) {
  const std::optional<std::array<int, 4>> o = Octets(ipv4);
  if (!o) return false;
  const auto [a, b, c, d] = *o;
  return a == 10 || (a == 172 && b >= 16 && b <= 31) || (a == 192 && b == 168) ||
         (a == 100 && b >= 64 && b <= 127);
}

PortMapping::PortMapping(uint16_t port, std::vector<std::unique_ptr<RouterProtocol>> routers,
                         MappingTiming timing)
    : shared_(std::make_shared<Shared>()),
      timing_(timing),
      started_(std::chrono::steady_clock::now()),
      worker_(Work, shared_, port, std::move(routers), timing) {}

PortMapping::~PortMapping() {
  std::unique_lock lock(shared_->mutex);
  shared_->stop = true;
  shared_->changed.notify_all();
  // The removal has its own deadline; a router library that overstays it is left behind.
  const bool done =
      shared_->changed.wait_for(lock, timing_.answer_within * 2, [&] { return shared_->done; });
  lock.unlock();
  if (done) {
    worker_.join();
  } else {
    worker_.detach();
  }
}

MappingStatus PortMapping::status() const {
  std::lock_guard lock(shared_->mutex);
  MappingStatus status = shared_->status;
  if (status.state == MappingState::kAsking &&
      std::chrono::steady_clock::now() - started_ > timing_.answer_within) {
    status.state = MappingState::kNotMapped;
    status.why = "the router did not answer";
  }
  return status;
}

void PortMapping::Work(std::shared_ptr<Shared> shared, uint16_t port,
                       const std::vector<std::unique_ptr<RouterProtocol>>& routers,
                       MappingTiming timing) {
  auto deadline = [&] { return std::chrono::steady_clock::now() + timing.answer_within; };
  // One deadline for the first answer, whichever protocol gives it.
  const Deadline first = deadline();
  RouterProtocol* mapper = nullptr;
  MappingStatus status;
  std::string why;
  for (const auto& router : routers) {
    RouterAnswer answer = router->Map(port, timing.lease_seconds, first);
    if (answer.mapped) {
      mapper = router.get();
      status = {MappingState::kMapped, *answer.mapped, router->name(), "", 0};
      break;
    }
    why += (why.empty() ? "" : "; ") + answer.why;
  }
  if (mapper == nullptr) {
    status.state = MappingState::kNotMapped;
    status.why = why;
  }
  std::unique_lock lock(shared->mutex);
  shared->status = status;
  // Bounded: one renewal per period until told to stop.
  while (mapper != nullptr && !status.port.permanent &&
         !shared->changed.wait_for(lock, timing.renew_every, [&] { return shared->stop; })) {
    lock.unlock();
    const bool renewed = mapper->Map(port, timing.lease_seconds, deadline()).mapped.has_value();
    lock.lock();
    if (renewed) ++shared->status.renewed;
  }
  if (mapper != nullptr) {
    shared->changed.wait(lock, [&] { return shared->stop; });
    lock.unlock();
    mapper->Unmap(port, deadline());
    lock.lock();
  }
  shared->done = true;
  shared->changed.notify_all();
}

}  // namespace kraylo
