// The pads on the real SDL backend, with SDL's virtual joysticks presenting game controllers:
// plugged in, pressed, stick moved, unplugged and plugged in again, through SDL's own events; and
// the mapping files.
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "platform/sdl/sdl_system.h"
#include "tests/support/test_helpers.h"

namespace kraylo {

// How a failed expectation shows a pad.
void PrintTo(const PadInfo& pad, std::ostream* out) { *out << pad.player << ": " << pad.name; }

namespace {

constexpr uint8_t kLeft = 1, kRight = 2, kUp = 4, kDown = 8;

// A game controller plugged in through SDL's virtual joystick driver, with every button and
// axis of SDL's standard controller.
class VirtualPad {
 public:
  explicit VirtualPad(const char* name) {
    SDL_VirtualJoystickDesc desc{};
    desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
    desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
    desc.naxes = SDL_CONTROLLER_AXIS_MAX;
    desc.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
    desc.name = name;
    const int index = SDL_JoystickAttachVirtualEx(&desc);
    EXPECT_GE(index, 0) << SDL_GetError();
    joystick_ = SDL_JoystickOpen(index);
    EXPECT_NE(joystick_, nullptr) << SDL_GetError();
  }
  ~VirtualPad() { Unplug(); }
  VirtualPad(const VirtualPad&) = delete;
  VirtualPad& operator=(const VirtualPad&) = delete;

  void Press(SDL_GameControllerButton button, bool down) {
    SDL_JoystickSetVirtualButton(joystick_, button, down ? SDL_PRESSED : SDL_RELEASED);
  }
  void Move(SDL_GameControllerAxis axis, Sint16 value) {
    SDL_JoystickSetVirtualAxis(joystick_, axis, value);
  }
  void Unplug() {
    if (joystick_ == nullptr) return;
    const SDL_JoystickID id = SDL_JoystickInstanceID(joystick_);
    SDL_JoystickClose(joystick_);
    joystick_ = nullptr;
    for (int index = 0; index < SDL_NumJoysticks(); ++index) {
      if (SDL_JoystickGetDeviceInstanceID(index) == id) SDL_JoystickDetachVirtual(index);
    }
  }

 private:
  SDL_Joystick* joystick_ = nullptr;
};

// The real machine on SDL's dummy video driver (asked for by name), serving its events.
struct SdlMachine {
  SdlMachine() {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    system = CreateSdlSystem();
  }
  // Lets SDL deliver what happened: a few passes over the event queue, a little apart.
  void Settle() {
    for (int pass = 0; pass < 5; ++pass) {
      SDL_Delay(2);
      system->window().Yield();
    }
  }
  // The window system gives the window the focus, or takes it away.
  void Focus(bool focused) {
    SDL_Event event{};
    event.type = SDL_WINDOWEVENT;
    event.window.windowID = static_cast<Uint32>(system->window().Handle());
    event.window.event = focused ? SDL_WINDOWEVENT_FOCUS_GAINED : SDL_WINDOWEVENT_FOCUS_LOST;
    SDL_PushEvent(&event);
    Settle();
  }
  std::vector<PadInfo> Connected() { return system->pads().Connected(); }
  PadHeld Held(int player) { return system->pads().Held(player); }

  std::unique_ptr<System> system;
};

TEST(SdlPads, PluggedPressedMovedUnpluggedAndPluggedInAgain) {
  SdlMachine machine;
  machine.Focus(true);
  EXPECT_TRUE(machine.system->pads().Unavailable().empty()) << machine.system->pads().Unavailable();
  EXPECT_TRUE(machine.Connected().empty());

  auto first = std::make_unique<VirtualPad>("Kraylo Pad One");
  machine.Settle();
  EXPECT_EQ(machine.Connected(), (std::vector<PadInfo>{{1, "Kraylo Pad One"}}));

  // The D-pad, Back, and the left stick beyond the dead zone and just inside it.
  first->Press(SDL_CONTROLLER_BUTTON_DPAD_LEFT, true);
  first->Press(SDL_CONTROLLER_BUTTON_BACK, true);
  machine.Settle();
  EXPECT_EQ(machine.Held(1).directions, kLeft);
  EXPECT_TRUE(machine.Held(1).back);
  first->Press(SDL_CONTROLLER_BUTTON_DPAD_LEFT, false);
  first->Press(SDL_CONTROLLER_BUTTON_BACK, false);
  first->Move(SDL_CONTROLLER_AXIS_LEFTX, 8001);
  first->Move(SDL_CONTROLLER_AXIS_LEFTY, -8000);
  machine.Settle();
  EXPECT_EQ(machine.Held(1).directions, kRight);
  EXPECT_FALSE(machine.Held(1).back);
  first->Move(SDL_CONTROLLER_AXIS_LEFTY, 32767);
  // Other buttons and the right stick steer nothing.
  first->Press(SDL_CONTROLLER_BUTTON_A, true);
  first->Move(SDL_CONTROLLER_AXIS_RIGHTX, -32768);
  machine.Settle();
  EXPECT_EQ(machine.Held(1).directions, kRight | kDown);
  EXPECT_EQ(machine.Held(2).directions, 0);

  // Without the focus the pad holds nothing; with it again, what it holds now.
  machine.Focus(false);
  EXPECT_EQ(machine.Held(1).directions, 0);
  first->Move(SDL_CONTROLLER_AXIS_LEFTX, 0);
  machine.Settle();
  machine.Focus(true);
  EXPECT_EQ(machine.Held(1).directions, kDown);

  // A second pad steers ball 2, a third waits.
  VirtualPad second("Kraylo Pad Two");
  VirtualPad third("Kraylo Pad Three");
  machine.Settle();
  EXPECT_EQ(machine.Connected(),
            (std::vector<PadInfo>{
                {1, "Kraylo Pad One"}, {2, "Kraylo Pad Two"}, {0, "Kraylo Pad Three"}}));
  second.Press(SDL_CONTROLLER_BUTTON_DPAD_UP, true);
  third.Press(SDL_CONTROLLER_BUTTON_DPAD_RIGHT, true);
  machine.Settle();
  EXPECT_EQ(machine.Held(2).directions, kUp);
  EXPECT_EQ(machine.Held(1).directions, kDown);

  // Unplugged, the first pad lets go of ball 1; the next pad plugged in takes it.
  first->Unplug();
  machine.Settle();
  EXPECT_EQ(machine.Connected(),
            (std::vector<PadInfo>{{2, "Kraylo Pad Two"}, {0, "Kraylo Pad Three"}}));
  EXPECT_EQ(machine.Held(1).directions, 0);
  VirtualPad again("Kraylo Pad One");
  again.Press(SDL_CONTROLLER_BUTTON_DPAD_DOWN, true);
  machine.Settle();
  EXPECT_EQ(machine.Connected(),
            (std::vector<PadInfo>{
                {2, "Kraylo Pad Two"}, {0, "Kraylo Pad Three"}, {1, "Kraylo Pad One"}}));
  EXPECT_EQ(machine.Held(1).directions, kDown);
}

TEST(SdlPads, PadsPluggedInBeforeTheMachineStartsAreOpenedToo) {
  // SDL's joysticks outlive one machine only while SDL runs: keep it running meanwhile.
  setenv("SDL_VIDEODRIVER", "dummy", 1);
  ASSERT_EQ(SDL_Init(SDL_INIT_JOYSTICK), 0) << SDL_GetError();
  {
    VirtualPad early("Kraylo Early Pad");
    SdlMachine machine;
    EXPECT_EQ(machine.Connected(), (std::vector<PadInfo>{{1, "Kraylo Early Pad"}}))
        << "before any event was served";
  }
  SDL_QuitSubSystem(SDL_INIT_JOYSTICK);
}

// A pad SDL does not know, as a mapping line names it.
constexpr const char* kGuid = "03000000aaaa0000bbbb000000000000";
std::string Mapping(const char* name) {
  return std::string(kGuid) + "," + name + ",a:b0,back:b1,dpleft:h0.8,dpright:h0.2,dpup:h0.1," +
         "dpdown:h0.4,leftx:a0,lefty:a1,platform:Linux,\n";
}
std::string MappingName() {
  char* mapping = SDL_GameControllerMappingForGUID(SDL_JoystickGetGUIDFromString(kGuid));
  const std::string text = mapping != nullptr ? mapping : "";
  SDL_free(mapping);
  const size_t comma = text.find(',');
  return comma == std::string::npos ? ""
                                    : text.substr(comma + 1, text.find(',', comma + 1) - comma - 1);
}

TEST(SdlPads, TheDataFoldersMappingsAddToSdlsAndTheUsersOwnFileStillWins) {
  TempFolder folder;
  folder.Write("gamecontrollerdb.txt", "# a remark\n" + Mapping("Data Folder Pad"));
  folder.Write("user.txt", Mapping("User Pad"));
  const std::string data_file = folder.path() + "/gamecontrollerdb.txt";
  {
    SdlMachine machine;
    EXPECT_EQ(machine.system->pads().AddMappings(folder.path() + "/missing.txt"), 0);
    EXPECT_EQ(MappingName(), "");
    EXPECT_EQ(machine.system->pads().AddMappings(data_file), 1);
    EXPECT_EQ(MappingName(), "Data Folder Pad");
  }
  setenv("SDL_GAMECONTROLLERCONFIG_FILE", (folder.path() + "/user.txt").c_str(), 1);
  {
    SdlMachine machine;
    EXPECT_EQ(MappingName(), "User Pad") << "read when the pads start";
    machine.system->pads().AddMappings(data_file);
    EXPECT_EQ(MappingName(), "User Pad") << "and still after the data folder's";
  }
  unsetenv("SDL_GAMECONTROLLERCONFIG_FILE");
  // A mappings file that is there but cannot be read (here: a folder) is an error that names it.
  std::filesystem::create_directory(folder.path() + "/unreadable.txt");
  SdlMachine machine;
  const std::optional<RunError> error =
      CaughtError([&] { machine.system->pads().AddMappings(folder.path() + "/unreadable.txt"); });
  ASSERT_TRUE(error.has_value());
  EXPECT_EQ(error->number(), kErrFileAccess);
  EXPECT_NE(error->description().find("unreadable.txt"), std::string::npos) << error->description();
}

}  // namespace
}  // namespace kraylo
