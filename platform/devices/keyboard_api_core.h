// The keyboard device's life, shared by both backends: input object, device, data format,
// cooperative level, acquisition and polls, each step checking the armed faults first; and the
// keys' names, SDL's scancode names on both backends. A backend only says which keys are held.
#pragma once

#include "platform/devices/faults.h"
#include "platform/platform.h"

namespace kraylo {

class KeyboardApiCore : public KeyboardApi {
 public:
  // The cooperative level flags a device accepts: exactly one of each pair.
  static constexpr int32_t kExclusive = 1;
  static constexpr int32_t kNonExclusive = 2;
  static constexpr int32_t kForeground = 4;
  static constexpr int32_t kBackground = 8;

  // `faults` must outlive the device.
  explicit KeyboardApiCore(const Faults& faults) : faults_(faults) {}

  void CreateInput() override;
  void CreateDevice() override;
  void SetDataFormat() override;
  void SetCooperativeLevel(WindowHandle window, int32_t flags) override;
  void Acquire() override;
  void GetState(KeyTable& table) override;
  std::optional<uint8_t> KeyNamed(std::string_view name) const override;

 protected:
  // Fills every byte of `table`: 0x80 for each key held now, 0 for the others.
  virtual void ReadKeys(KeyTable& table) = 0;

 private:
  void RequireDevice() const;

  const Faults& faults_;
  bool input_ = false;
  bool device_ = false;
  bool format_set_ = false;
  bool acquired_ = false;
};

}  // namespace kraylo
