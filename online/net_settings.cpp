#include "online/net_settings.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>

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
constexpr std::array<std::string_view, 2> kNetSectionKeys = {kReconnectSecondsKey, kPortMappingKey};

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

bool ReadPortMapping(const SettingLines& net) {
  const std::optional<ConfigLine> line = net.Find(kPortMappingKey);
  if (!line) return true;
  const std::string allowed = Strip(UpperCase(line->value));
  if (allowed == "TRUE" || allowed == "FALSE") return allowed == "TRUE";
  RaiseBadLine(*line, kNetSection, "has a value other than true or false");
}

}  // namespace

NetSettings ReadNetSettings(Files& files) {
  const SettingLines net = ReadSettings(files, kConfigFile, kNetSection, kNetSectionKeys);
  NetSettings settings;
  settings.reconnect_seconds = ReadReconnectSeconds(net);
  settings.port_mapping = ReadPortMapping(net);
  settings.unknown_keys = net.unknown;
  return settings;
}

}  // namespace kraylo
