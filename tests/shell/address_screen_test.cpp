// --join alone: the address typed on a screen of its own before the menu, its editing and its
// refusals, the name looked up off the frame loop within 5 s, and the last address offered again.
#include "shell/screens/address_screen.h"

#include <gtest/gtest.h>

#include <atomic>
#include <fstream>
#include <thread>

#include "online/transport_opening.h"
#include "platform/run_error.h"
#include "support/numbers.h"
#include "tests/display/field_fit.h"
#include "tests/net/fake_network.h"
#include "tests/shell/session.h"

namespace kraylo::testing {
namespace {

enum class Dial { kConnects, kUnknownName, kNeverAnswers };

InputEvent Key(int16_t code, int16_t shift = 0) { return InputEvent::KeyDown(code, shift); }

// The address screen after `events` (one a frame) and 6 s of the machine's clock: its screen,
// its third line, where the dialer was sent ("peer:port"), whether the program was still running.
struct Outcome {
  int16_t screen = kAddressScreen;
  std::string problem;
  std::string dialed;
  bool running = false;
  std::vector<std::string> lines = {};  // the whole screen's
};
Outcome Type(const std::vector<InputEvent>& events, Dial dial = Dial::kConnects,
             const std::string& clipboard = "", const std::string& last_address = "") {
  Session s;
  ManualClock clock;
  if (!last_address.empty()) std::ofstream(LastAddressFile(s.program)) << last_address << "\n";
  s.machine.SetClipboard(clipboard);
  s.machine.SetYieldStep(0.01);
  s.program.options.mode = TypedJoin{};
  Outcome outcome;
  // A name server that never answers holds its thread until the test has looked (bounded).
  auto looked = std::make_shared<std::atomic<bool>>(false);
  s.program.resources.dial = [&, dial, looked](const HostAddress& host) {
    outcome.dialed = host.Text();
    if (dial == Dial::kUnknownName) {
      Raise(kErrNetwork, "The host \"" + host.name + "\" is not known");
    }
    for (int wait = 0; dial == Dial::kNeverAnswers && !*looked && wait < 2000; ++wait) {
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return std::unique_ptr<Transport>(std::make_unique<FakeTransport>(clock));
  };
  for (int f = 0; f < 600; ++f) {
    s.AtFrame(f + 2, [&, f] {
      if (f < static_cast<int>(events.size())) s.machine.Push(events[static_cast<size_t>(f)]);
      std::this_thread::sleep_for(std::chrono::microseconds(100));  // the lookup's thread's turn
    });
  }
  s.AtFrame(602, [&] {
    outcome.running = true;
    outcome.screen = s.program.screen.Shown;
    if (s.program.address_entry) {
      outcome.lines = AddressLines(*s.program.address_entry);
      outcome.problem = outcome.lines[2];
    }
    s.program.game.Running = false;
    *looked = true;
  });
  s.Run();
  return outcome;
}

TEST(AddressScreen, TypedPastedAndEditedAddressesAreLookedUpOrRefusedWithAClearMessage) {
  const struct {
    const char* what;
    Outcome outcome;
    Outcome expected;
  } cases[] = {
      {"typed, a mistake taken back",
       Type({InputEvent::Text("127.0.0.9"), Key(kKeyBackspace), InputEvent::Text("1:4000"),
             Key(kKeyReturn)}),
       {kMenuScreen, "", "127.0.0.1:4000", true}},
      {"pasted (its first line), in the keyboard's own letters",
       Type({Key('V', kShiftCtrl), Key(kKeyReturn)}, Dial::kConnects, "hôte:27911\nmore"),
       {kMenuScreen, "", "hôte:27911", true}},
      {"the last address offered",
       Type({Key(kKeyReturn)}, Dial::kConnects, "", "192.0.2.5"),
       {kMenuScreen, "", "192.0.2.5:27910", true}},
      {"empty",
       Type({Key(kKeyReturn)}),
       {kAddressScreen, "The address needs the host's name or IPv4 address, not \"\"", "", true}},
      {"a port out of range",
       Type({InputEvent::Text("host:70000"), Key(kKeyReturn)}),
       {kAddressScreen, "The UDP port must be a whole number from 1 to 65535, not \"70000\"", "",
        true}},
      {"a name that is not known",
       Type({InputEvent::Text("nowhere"), Key(kKeyReturn)}, Dial::kUnknownName),
       {kAddressScreen, "The host \"nowhere\" is not known", "nowhere:27910", true}},
      {"no answer within 5 s",
       Type({InputEvent::Text("slow"), Key(kKeyReturn)}, Dial::kNeverAnswers),
       {kAddressScreen,
        "No answer about \"slow\" within 5 s: is the name right? An IPv4 address needs no lookup",
        "slow:27910", true}},
      {"Esc", Type({Key(kKeyEscape)}), {kAddressScreen, "", "", false}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.outcome.screen, c.expected.screen) << c.what;
    EXPECT_EQ(c.outcome.problem, c.expected.problem) << c.what;
    EXPECT_EQ(c.outcome.dialed, c.expected.dialed) << c.what;
    EXPECT_EQ(c.outcome.running, c.expected.running) << c.what;
    ExpectInsideTheField(c.outcome.lines, c.what);
  }
}

// Run alone inside a network namespace that has only `lo` (ctest: address_lookup_offline): the
// program's own lookup of a name no name server can be asked about is told on the screen.
TEST(AddressScreenOffline, ANameThatCannotBeResolvedIsToldOnTheScreenNotAHang) {
  // /proc/net/dev lists the interfaces of this process's own network namespace.
  std::ifstream devices("/proc/net/dev");
  for (std::string line; std::getline(devices, line);) {
    const size_t colon = line.find(':');
    if (colon != std::string::npos && Strip(line.substr(0, colon)) != "lo") {
      GTEST_SKIP() << "only inside `unshare -n`: the lookup would leave the machine";
    }
  }
  Session s;
  s.program.options.mode = TypedJoin{};
  s.program.resources.dial = DialHost;
  s.AtFrame(2, [&] { s.machine.Push(InputEvent::Text("kraylo-no-such-host.invalid")); });
  s.AtFrame(3, [&] { s.machine.Push(Key(kKeyReturn)); });
  std::string problem;
  for (int f = 4; f < 2000; ++f) {
    s.AtFrame(f, [&] {
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
      problem = s.program.address_entry ? s.program.address_entry->problem : "";
      if (!problem.empty()) s.program.game.Running = false;
    });
  }
  s.Run();
  EXPECT_EQ(problem,
            "The host \"kraylo-no-such-host.invalid\" is not known (no IPv4 address for it)");
}

}  // namespace
}  // namespace kraylo::testing
