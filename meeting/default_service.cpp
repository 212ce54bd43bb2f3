#include "meeting/default_service.h"

namespace kraylo {

std::string_view DefaultMeetServer() { return KRAYLO_MEET_SERVER; }

}  // namespace kraylo
