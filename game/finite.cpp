#include "game/finite.h"

#include "platform/run_error.h"

namespace kraylo {

void RaiseNonFinite(double value) {
  if (std::isnan(value)) Raise(kErrInvalidArgument, "Invalid procedure call or argument");
  Raise(kErrOverflow, "Overflow");
}

}  // namespace kraylo
