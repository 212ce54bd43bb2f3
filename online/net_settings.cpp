#include "online/net_settings.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "meeting/default_service.h"
#include "meeting/messages.h"
#include "net/protocol.h"
#include "support/config.h"
#include "support/numbers.h"

namespace kraylo {
namespace {

// Whole seconds, kFewestReconnectSeconds to kMostReconnectSeconds.
constexpr std::string_view kReconnectSecondsKey = "reconnectSeconds";
// "false" (any case, blanks around it) keeps the host from asking the router to open its port;
// "true", as when the key is missing, lets it.
constexpr std::string_view kPortMappingKey = "portMapping";
// HOST[:PORT] of a meeting service; empty: none, whatever the build knows.
constexpr std::string_view kMeetServerKey = "meetServer";
// true or false (any case): whether a game met by code always goes through the relay.
constexpr std::string_view kHideAddressKey = "hideAddress";
constexpr std::array<std::string_view, 4> kNetSectionKeys = {kReconnectSecondsKey, kPortMappingKey,
                                                             kMeetServerKey, kHideAddressKey};

int ReadReconnectSeconds(const SettingLines& net) {
  const std::optional<ConfigLine> line = net.Find(kReconnectSecondsKey);
  if (!line) return kDefaultReconnectSeconds;
  const std::optional<int> seconds =
      WholeNumberIn(Strip(line->value), kFewestReconnectSeconds, kMostReconnectSeconds);
  if (!seconds) {
    RaiseBadLine(*line, kNetSection,
                 "has a value other than a whole number of seconds from " +
                     std::to_string(kFewestReconnectSeconds) + " to " +
                     std::to_string(kMostReconnectSeconds));
  }
  return *seconds;
}

// A true-or-false key's value; `missing` when the key is not there.
bool ReadTruth(const SettingLines& net, std::string_view key, bool missing) {
  const std::optional<ConfigLine> line = net.Find(key);
  if (!line) return missing;
  const std::string allowed = Strip(UpperCase(line->value));
  if (allowed == "TRUE" || allowed == "FALSE") return allowed == "TRUE";
  RaiseBadLine(*line, kNetSection, "has a value other than true or false");
}

// The service `text` names ("HOST[:PORT]"), none for an empty text; nullopt when it names none
// that can be.
std::optional<std::optional<HostAddress>> ServiceNamed(const std::string& text) {
  if (text.empty()) return std::optional<HostAddress>{};
  try {
    return std::optional(ParseHostAddress(text, std::string(kMeetServerKey), kMeetingPort));
  } catch (const AddressError&) {
    return std::nullopt;
  }
}

std::optional<HostAddress> ReadMeetServer(const SettingLines& net) {
  const std::optional<ConfigLine> line = net.Find(kMeetServerKey);
  const auto service = ServiceNamed(line ? Strip(line->value) : std::string(DefaultMeetServer()));
  if (service) return *service;
  if (!line) return std::nullopt;  // never: the build refuses a default it cannot read
  RaiseBadLine(*line, kNetSection, "has a value other than HOST or HOST:PORT of a meeting service");
}

}  // namespace

NetSettings ReadNetSettings(Files& files) {
  const SettingLines net = ReadSettings(files, kConfigFile, kNetSection, kNetSectionKeys);
  NetSettings settings;
  settings.reconnect_seconds = ReadReconnectSeconds(net);
  settings.port_mapping = ReadTruth(net, kPortMappingKey, true);
  settings.meet_server = ReadMeetServer(net);
  settings.hide_address = ReadTruth(net, kHideAddressKey, false);
  settings.unknown_keys = net.unknown;
  return settings;
}

}  // namespace kraylo
