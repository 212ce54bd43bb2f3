// The transport of the program: ENet over UDP, IPv4, one ENet host per side and two channels
// (unsequenced for the per-tick inputs, reliable for everything else). No ENet header reaches
// beyond enet_transport.cpp.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "net/meeting_socket.h"
#include "net/transport.h"

namespace kraylo {

// What went over the wire so far, as ENet counts it: UDP payloads, without the IP and UDP headers.
struct TrafficCounts {
  uint64_t bytes_sent = 0;
  uint64_t datagrams_sent = 0;
  uint64_t bytes_received = 0;
  uint64_t datagrams_received = 0;
};

// This machine's IPv4 address on the network its default route leads to, as another machine there
// reaches it; empty when it has none. Sends nothing: a UDP socket is only pointed at a
// documentation address (192.0.2.1) to learn which address the system would send from.
std::string LanAddress();

// The IPv4 address of `name` (a name or an address in dotted form), in host order; nullopt when
// it has none. May wait for the name server.
std::optional<uint32_t> LookUpIpv4(const std::string& name);
// The IPv4 address written in dotted form in `text`, in host order; nullopt for any other text.
// Never asks a name server.
std::optional<uint32_t> ReadIpv4(const std::string& text);

// Its socket is shared with a meeting by code: datagrams that are the meeting's are taken out
// before ENet sees them (ENet's intercept hook), and the meeting sends its own beside ENet's.
class EnetTransport : public Transport, public MeetingSocket {
 public:
  // A host waiting for connections on UDP `port` (0: any free port) of the IPv4 address
  // `bind_address` ("0.0.0.0": every interface). Raises kErrNetwork when the port cannot be had.
  static std::unique_ptr<EnetTransport> Listen(uint16_t port,
                                               const std::string& bind_address = "0.0.0.0");
  // A joiner connecting to `host_name` (a name or an IPv4 address) on UDP `port`; it tries again
  // for as long as the host does not answer. Raises kErrNetwork when the name is not known.
  static std::unique_ptr<EnetTransport> Connect(const std::string& host_name, uint16_t port);
  // A joiner whose host is not known yet (a meeting by code will find it): a socket on a free
  // port of every IPv4 address, connected later by DialPeer.
  static std::unique_ptr<EnetTransport> Unconnected();

  // Lets a reliable packet still on its way (a quit, an out-of-step report) reach the other side
  // for up to half a second, then closes every connection.
  ~EnetTransport() override;
  EnetTransport(const EnetTransport&) = delete;
  EnetTransport& operator=(const EnetTransport&) = delete;

  bool Poll(TransportEvent& out) override;
  void Send(PeerId peer_id, Channel channel, std::span<const uint8_t> bytes) override;
  void Flush() override;
  void Disconnect(PeerId peer_id) override;
  size_t Backlog(PeerId peer_id) const override;
  void Redial() override;
  MeetingSocket* meeting_socket() override { return this; }

  std::vector<MeetingDatagram> TakeMeetingDatagrams() override;
  void SendMeetingDatagram(Endpoint to, std::span<const uint8_t> bytes) override;
  void DialPeer(Endpoint host) override;

  // ENet gives up on a connection that has answered nothing for this long (milliseconds; tests
  // shorten it). Applies to connections made from now on.
  void SetGiveUpAfter(uint32_t milliseconds);

  // The UDP port this side's socket is bound to.
  uint16_t port() const override;
  TrafficCounts traffic() const;

 private:
  struct Impl;
  explicit EnetTransport(std::unique_ptr<Impl> impl);
  std::unique_ptr<Impl> impl_;
};

}  // namespace kraylo
