#include "net/enet_transport.h"

#include <enet/enet.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <map>
#include <optional>
#include <thread>
#include <utility>

#include "meeting/meeting_client.h"
#include "platform/network.h"
#include "platform/run_error.h"

namespace kraylo {
namespace {

constexpr size_t kChannels = 2;
// Connections a host serves at once: the player, as many spectators as it lets watch, and a few
// newcomers it is turning away.
constexpr size_t kHostPeers = 1 + kMostWatchers + 3;
// ENet reassembles datagrams into packets up to this size, and holds up to the second figure per
// connection: far above our packets, far below what a sender could make it allocate otherwise.
constexpr size_t kMostPacketBytes = 1024;
constexpr size_t kMostWaitingBytes = size_t{16} * 1024;
// ENet gives up on a connection after 10 to 30 s of silence (by its own measure of the round
// trip), well after the session has counted the connection as lost and begun to reconnect.
constexpr enet_uint32 kEnetTimeoutMinimum = 10000;  // milliseconds
constexpr enet_uint32 kEnetTimeoutMaximum = 30000;  // milliseconds
// The data of our disconnects: a time-out carries 0, so the other side can tell the two apart.
constexpr enet_uint32 kOnPurpose = 1;
constexpr auto kLingerAtClose = std::chrono::milliseconds(500);

// Bytes of reliable commands in `list` (ENetOutgoingCommand nodes).
size_t ReliableBytes(ENetList& list) {
  size_t bytes = 0;
  for (ENetListIterator node = enet_list_begin(&list); node != enet_list_end(&list);
       node = enet_list_next(node)) {
    const auto* command = reinterpret_cast<const ENetOutgoingCommand*>(node);
    if ((command->command.header.command & ENET_PROTOCOL_COMMAND_FLAG_ACKNOWLEDGE) != 0) {
      bytes += command->fragmentLength;
    }
  }
  return bytes;
}

// Reliable bytes queued for `peer` and not yet sent. ENet 1.3.18 (the Windows build's) queues
// them apart from the others.
size_t QueuedReliableBytes(ENetPeer& peer) {
  size_t bytes = ReliableBytes(peer.outgoingCommands);
#if ENET_VERSION >= ENET_VERSION_CREATE(1, 3, 18)
  bytes += ReliableBytes(peer.outgoingSendReliableCommands);
#endif
  return bytes;
}

bool HasReliableInFlight(ENetPeer& peer) {
  return !enet_list_empty(&peer.sentReliableCommands) || QueuedReliableBytes(peer) > 0;
}

ENetAddress EnetAddressOf(Endpoint endpoint) {
  ENetAddress address{};
  address.host = ENET_HOST_TO_NET_32(endpoint.address);
  address.port = endpoint.port;
  return address;
}

std::string Ipv4Text(const ENetAddress& address) {
  char text[64] = {};
  if (enet_address_get_host_ip(&address, text, sizeof text) != 0) return "?";
  return text;
}

}  // namespace

struct EnetTransport::Impl {
  ~Impl() {
    if (host != nullptr) enet_host_destroy(host);
    enet_deinitialize();
  }

  // The connected peer with number `id`; nullptr when it has gone.
  ENetPeer* Find(PeerId id) const {
    for (const auto& [peer, number] : connections) {
      if (number == id && peer->state == ENET_PEER_STATE_CONNECTED) return peer;
    }
    return nullptr;
  }

  // The number of a connected peer; 0 for one never announced.
  PeerId IdOf(ENetPeer* peer) const {
    const auto found = connections.find(peer);
    return found == connections.end() ? 0 : found->second;
  }

  void Connected(ENetPeer& peer) {
    connections[&peer] = next_id++;
    // The throttle would drop unsequenced packets when the round trip grows: the inputs are what
    // must get through then, and they are few.
    enet_peer_throttle_configure(&peer, ENET_PEER_PACKET_THROTTLE_INTERVAL,
                                 ENET_PEER_PACKET_THROTTLE_SCALE, 0);
    GiveUpAfter(peer);
  }

  void GiveUpAfter(ENetPeer& peer) const {
    enet_peer_timeout(&peer, ENET_PEER_TIMEOUT_LIMIT, std::min(kEnetTimeoutMinimum, give_up_ms),
                      give_up_ms);
  }

  void ConnectToServer() {
    ENetPeer* peer = enet_host_connect(host, &*server, kChannels, 0);
    if (peer == nullptr) {
      Raise(kErrNetwork, "No connection to " + Ipv4Text(*server) + " can be started");
    }
    // An attempt that gets no answer is given up as soon as a connection would be, then made
    // afresh: ENet's own retries back off to seconds apart.
    GiveUpAfter(*peer);
  }

  ENetHost* host = nullptr;
  std::optional<ENetAddress> server;  // the joiner's host
  std::vector<MeetingDatagram> meeting_datagrams;
  // The connections announced, by ENet's peer; at most the host's peer count.
  std::map<ENetPeer*, PeerId> connections;
  PeerId next_id = 1;
  enet_uint32 give_up_ms = kEnetTimeoutMaximum;
};

namespace {

// The event every service of the host is given, with the transport it serves: ENet hands the
// event to its intercept hook, which has no other way to find the transport.
struct PolledEvent {
  ENetEvent event{};
  std::vector<MeetingDatagram>* meeting_datagrams = nullptr;
};

int InterceptMeeting(ENetHost* host, ENetEvent* event) {
  const std::span<const uint8_t> bytes{host->receivedData, host->receivedDataLength};
  if (event == nullptr || !MeetingClient::Intercepts(bytes)) return 0;
  std::vector<MeetingDatagram>& kept = *reinterpret_cast<PolledEvent*>(event)->meeting_datagrams;
  if (kept.size() < MeetingSocket::kMostMeetingDatagrams) {
    const ENetAddress& from = host->receivedAddress;
    kept.push_back(
        {Endpoint{ENET_NET_TO_HOST_32(from.host), from.port}, {bytes.begin(), bytes.end()}});
  }
  return 1;
}

ENetHost* CreateHost(const ENetAddress* address, size_t peers) {
  ENetHost* host = enet_host_create(address, peers, kChannels, 0, 0);
  if (host == nullptr) return nullptr;
  host->intercept = InterceptMeeting;
  IgnoreUdpResets(static_cast<uintptr_t>(host->socket));
  host->maximumPacketSize = kMostPacketBytes;
  // Every datagram carries a CRC32 and one that fails it is dropped like a lost one: a bit flipped
  // on the way must never be read as a field (it once read as another protocol version).
  host->checksum = enet_crc32;
  host->maximumWaitingData = kMostWaitingBytes;
  return host;
}

void StartEnet() {
  if (enet_initialize() != 0) Raise(kErrNetwork, "The network library could not start");
}

}  // namespace

std::string LanAddress() {
  StartEnet();
  const ENetSocket socket = enet_socket_create(ENET_SOCKET_TYPE_DATAGRAM);
  if (socket == ENET_SOCKET_NULL) {
    enet_deinitialize();
    return "";
  }
  ENetAddress toward{};
  toward.port = 9;
  ENetAddress own{};
  const bool known = enet_address_set_host_ip(&toward, "192.0.2.1") == 0 &&
                     enet_socket_connect(socket, &toward) == 0 &&
                     enet_socket_get_address(socket, &own) == 0 && own.host != ENET_HOST_ANY;
  enet_socket_destroy(socket);
  enet_deinitialize();
  return known ? Ipv4Text(own) : "";
}

namespace {

std::optional<uint32_t> Ipv4By(int (*read)(ENetAddress*, const char*), const std::string& text) {
  StartEnet();
  ENetAddress address{};
  const bool known = !text.empty() && read(&address, text.c_str()) == 0;
  enet_deinitialize();
  if (!known) return std::nullopt;
  return ENET_NET_TO_HOST_32(address.host);
}

}  // namespace

std::optional<uint32_t> LookUpIpv4(const std::string& name) {
  return Ipv4By(enet_address_set_host, name);
}

std::optional<uint32_t> ReadIpv4(const std::string& text) {
  return Ipv4By(enet_address_set_host_ip, text);
}

std::unique_ptr<EnetTransport> EnetTransport::Listen(uint16_t port,
                                                     const std::string& bind_address) {
  StartEnet();
  auto impl = std::make_unique<Impl>();
  ENetAddress address{};
  address.port = port;
  if (enet_address_set_host_ip(&address, bind_address.c_str()) != 0) {
    Raise(kErrNetwork, "\"" + bind_address + "\" is not an IPv4 address");
  }
  impl->host = CreateHost(&address, kHostPeers);
  if (impl->host == nullptr) {
    Raise(kErrNetwork, "UDP port " + std::to_string(port) + " cannot be opened (" +
                           std::strerror(errno) + "): is another program using it?");
  }
  return std::unique_ptr<EnetTransport>(new EnetTransport(std::move(impl)));
}

std::unique_ptr<EnetTransport> EnetTransport::Connect(const std::string& host_name, uint16_t port) {
  StartEnet();
  auto impl = std::make_unique<Impl>();
  ENetAddress address{};
  address.port = port;
  if (host_name.empty() || enet_address_set_host(&address, host_name.c_str()) != 0) {
    Raise(kErrNetwork, "The host \"" + host_name + "\" is not known (no IPv4 address for it)");
  }
  impl->host = CreateHost(nullptr, 1);
  if (impl->host == nullptr) {
    Raise(kErrNetwork, std::string("No UDP socket can be opened (") + std::strerror(errno) + ")");
  }
  impl->server = address;
  impl->ConnectToServer();
  return std::unique_ptr<EnetTransport>(new EnetTransport(std::move(impl)));
}

std::unique_ptr<EnetTransport> EnetTransport::Unconnected() {
  StartEnet();
  auto impl = std::make_unique<Impl>();
  ENetAddress address{};
  address.host = ENET_HOST_ANY;
  impl->host = CreateHost(&address, 1);
  if (impl->host == nullptr) {
    Raise(kErrNetwork, std::string("No UDP socket can be opened (") + std::strerror(errno) + ")");
  }
  return std::unique_ptr<EnetTransport>(new EnetTransport(std::move(impl)));
}

EnetTransport::EnetTransport(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}

EnetTransport::~EnetTransport() {
  ENetHost* host = impl_->host;
  const auto give_up = std::chrono::steady_clock::now() + kLingerAtClose;
  auto in_flight = [&] {
    for (size_t i = 0; i < host->peerCount; ++i) {
      ENetPeer& peer = host->peers[i];
      if (peer.state != ENET_PEER_STATE_DISCONNECTED && HasReliableInFlight(peer)) return true;
    }
    return false;
  };
  PolledEvent polled{{}, &impl_->meeting_datagrams};
  while (in_flight() && std::chrono::steady_clock::now() < give_up) {
    while (enet_host_service(host, &polled.event, 0) > 0) {
      if (polled.event.type == ENET_EVENT_TYPE_RECEIVE) enet_packet_destroy(polled.event.packet);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  // Whoever is still connected hears of the end now rather than by a time-out.
  for (size_t i = 0; i < host->peerCount; ++i) {
    ENetPeer& peer = host->peers[i];
    if (peer.state != ENET_PEER_STATE_DISCONNECTED) enet_peer_disconnect_now(&peer, kOnPurpose);
  }
}

bool EnetTransport::Poll(TransportEvent& out) {
  PolledEvent polled{{}, &impl_->meeting_datagrams};
  ENetEvent& event = polled.event;
  // A failing socket (no route, for one) delivers nothing: the session sees silence.
  while (enet_host_service(impl_->host, &event, 0) > 0) {
    switch (event.type) {
      case ENET_EVENT_TYPE_CONNECT:
        impl_->Connected(*event.peer);
        out.kind = TransportEvent::Kind::kConnected;
        out.peer = impl_->IdOf(event.peer);
        return true;
      case ENET_EVENT_TYPE_DISCONNECT:
        out.peer = impl_->IdOf(event.peer);
        if (out.peer == 0) {
          // An attempt that never connected: the joiner keeps trying until the host answers.
          if (impl_->server) impl_->ConnectToServer();
          continue;
        }
        out.kind = TransportEvent::Kind::kDisconnected;
        out.deliberate = event.data == kOnPurpose;
        impl_->connections.erase(event.peer);
        return true;
      case ENET_EVENT_TYPE_RECEIVE: {
        out.kind = TransportEvent::Kind::kReceived;
        out.peer = impl_->IdOf(event.peer);
        out.channel = event.channelID == 0 ? Channel::kInput : Channel::kControl;
        out.size = event.packet->dataLength;
        out.oversized = out.size > out.data.size();
        if (!out.oversized) std::memcpy(out.data.data(), event.packet->data, out.size);
        enet_packet_destroy(event.packet);
        if (out.peer == 0) continue;  // from a connection not yet announced: cannot be
        return true;
      }
      case ENET_EVENT_TYPE_NONE:
        break;
    }
  }
  return false;
}

void EnetTransport::Send(PeerId peer_id, Channel channel, std::span<const uint8_t> bytes) {
  ENetPeer* peer = impl_->Find(peer_id);
  if (peer == nullptr) return;
  const bool input = channel == Channel::kInput;
  ENetPacket* packet = enet_packet_create(
      bytes.data(), bytes.size(), input ? ENET_PACKET_FLAG_UNSEQUENCED : ENET_PACKET_FLAG_RELIABLE);
  if (packet == nullptr) return;
  // The other side may have configured this peer's throttle its own way.
  peer->packetThrottle = ENET_PEER_PACKET_THROTTLE_SCALE;
  if (enet_peer_send(peer, input ? 0 : 1, packet) < 0) enet_packet_destroy(packet);
}

void EnetTransport::Flush() { enet_host_flush(impl_->host); }

void EnetTransport::Disconnect(PeerId peer_id) {
  if (ENetPeer* peer = impl_->Find(peer_id)) enet_peer_disconnect_later(peer, kOnPurpose);
}

size_t EnetTransport::Backlog(PeerId peer_id) const {
  ENetPeer* peer = impl_->Find(peer_id);
  if (peer == nullptr) return 0;
  return peer->reliableDataInTransit + QueuedReliableBytes(*peer);
}

void EnetTransport::Redial() {
  if (!impl_->server) return;
  for (size_t i = 0; i < impl_->host->peerCount; ++i) enet_peer_reset(&impl_->host->peers[i]);
  impl_->connections.clear();
  impl_->ConnectToServer();
}

std::vector<MeetingDatagram> EnetTransport::TakeMeetingDatagrams() {
  return std::exchange(impl_->meeting_datagrams, {});
}

void EnetTransport::SendMeetingDatagram(Endpoint to, std::span<const uint8_t> bytes) {
  const ENetAddress address = EnetAddressOf(to);
  ENetBuffer buffer;
  buffer.data = const_cast<uint8_t*>(bytes.data());  // ENet's buffers are not const; it only reads
  buffer.dataLength = bytes.size();
  // Like any datagram, it may be lost; the meeting sends again.
  enet_socket_send(impl_->host->socket, &address, &buffer, 1);
}

void EnetTransport::DialPeer(Endpoint host) {
  impl_->server = EnetAddressOf(host);
  Redial();
}

void EnetTransport::SetGiveUpAfter(uint32_t milliseconds) { impl_->give_up_ms = milliseconds; }

uint16_t EnetTransport::port() const { return impl_->host->address.port; }

TrafficCounts EnetTransport::traffic() const {
  const ENetHost& host = *impl_->host;
  return {host.totalSentData, host.totalSentPackets, host.totalReceivedData,
          host.totalReceivedPackets};
}

}  // namespace kraylo
