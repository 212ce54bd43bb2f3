// The meeting service this build knows: a distributor who runs one builds it in
// (-DKRAYLO_MEET_SERVER=HOST[:PORT]); our own builds know none. `[Net] meetServer` overrides it.
#pragma once

#include <string_view>

namespace kraylo {

// "HOST[:PORT]", or empty when the build knows no service.
std::string_view DefaultMeetServer();

}  // namespace kraylo
