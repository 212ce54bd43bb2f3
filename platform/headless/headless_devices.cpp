#include "platform/headless/headless_devices.h"

#include "platform/devices/unit_float.h"

namespace kraylo {

float HeadlessRandom::Next() {
  if (values_.empty()) return UnitFloat(fixed_);
  const float value = values_[next_];
  if (next_ + 1 < values_.size()) ++next_;
  return value;
}

void HeadlessRandom::Script(std::vector<float> values) {
  values_ = std::move(values);
  next_ = 0;
}

}  // namespace kraylo
