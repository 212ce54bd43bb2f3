#include "online/net_settings.h"

#include <optional>
#include <string>
#include <string_view>

#include "net/protocol.h"
#include "support/config.h"
#include "support/numbers.h"

namespace kraylo {
namespace {

constexpr std::string_view kNetSection = "Net";
// Whole seconds, kFewestReconnectSeconds to kMostReconnectSeconds.
constexpr std::string_view kReconnectSecondsKey = "reconnectSeconds";
// "false" (any case, blanks around it) keeps the host from asking the router to open its port;
// "true", as when the key is missing, lets it.
constexpr std::string_view kPortMappingKey = "portMapping";

int ReadReconnectSeconds(Files& files) {
  const std::optional<std::string> value =
      ReadConfig(files, kConfigFile, kNetSection, kReconnectSecondsKey);
  if (!value) return kDefaultReconnectSeconds;
  const std::optional<int> seconds =
      WholeNumberIn(Strip(*value), kFewestReconnectSeconds, kMostReconnectSeconds);
  if (!seconds) {
    RaiseBadValue(files, kConfigFile, kNetSection, kReconnectSecondsKey,
                  "a whole number of seconds from " + std::to_string(kFewestReconnectSeconds) +
                      " to " + std::to_string(kMostReconnectSeconds));
  }
  return *seconds;
}

bool ReadPortMapping(Files& files) {
  const std::optional<std::string> value =
      ReadConfig(files, kConfigFile, kNetSection, kPortMappingKey);
  if (!value) return true;
  const std::string allowed = Strip(UpperCase(*value));
  if (allowed == "TRUE" || allowed == "FALSE") return allowed == "TRUE";
  RaiseBadValue(files, kConfigFile, kNetSection, kPortMappingKey, "true or false");
}

}  // namespace

NetSettings ReadNetSettings(Files& files) {
  NetSettings settings;
  settings.reconnect_seconds = ReadReconnectSeconds(files);
  settings.port_mapping = ReadPortMapping(files);
  return settings;
}

}  // namespace kraylo
