#include "display/display_state.h"

namespace kraylo {

void RaiseDisplayNotSetUp() { Raise(kErrNoSurface, "The display is not set up"); }

}  // namespace kraylo
