// --join alone: the address typed on a screen of its own before the menu, its editing and its
// refusals, the name looked up off the frame loop within 5 s, and the last address offered again.
#include "shell/address_screen.h"

#include <gtest/gtest.h>

#include <atomic>
#include <fstream>
#include <memory>
#include <thread>

#include "platform/run_error.h"
#include "shell/network_match.h"
#include "support/numbers.h"
#include "tests/net/fake_network.h"
#include "tests/shell/session.h"

namespace kraylo::testing {
namespace {

enum class Dial { kConnects, kUnknownName, kNeverAnswers };

struct Typing {
  std::vector<InputEvent> events;  // pushed one a frame
  std::string clipboard;
  Dial dial = Dial::kConnects;
};

// What the address screen came to after `typing`, and where the dialer was sent.
struct Outcome {
  int16_t screen = kAddressScreen;
  std::string dialed;  // "peer:port"
  std::vector<std::string> lines;
};

Outcome Type(const Typing& typing, const std::string& last_address = "") {
  Session s;
  ManualClock clock;
  if (!last_address.empty()) std::ofstream(LastAddressFile(s.program)) << last_address << "\n";
  s.machine.SetClipboard(typing.clipboard);
  s.program.options.network = NetworkOptions{};
  s.program.options.network->port = 27910;
  Outcome outcome;
  // Set once the test has looked: a name server that never answers is held until then.
  auto looked = std::make_shared<std::atomic<bool>>(false);
  const Dial dial = typing.dial;
  StartAddressEntry(
      s.program, [&outcome, dial, &clock, looked](const std::string& peer, uint16_t port) {
        outcome.dialed = peer + ":" + std::to_string(port);
        if (dial == Dial::kUnknownName)
          Raise(kErrNetwork, "The host \"" + peer + "\" is not known");
        for (int wait = 0; dial == Dial::kNeverAnswers && !*looked && wait < 2000; ++wait) {
          std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return std::unique_ptr<Transport>(std::make_unique<FakeTransport>(clock));
      });
  int frame = 2;
  for (const InputEvent& event : typing.events) {
    s.AtFrame(frame++, [&, event] { s.machine.Push(event); });
  }
  // Long enough for a lookup on its thread, and for 5 s of the machine's clock (10 ms a frame).
  for (int f = frame; f < frame + 600; ++f) {
    s.AtFrame(f, [] { std::this_thread::sleep_for(std::chrono::microseconds(100)); });
  }
  s.AtFrame(frame + 600, [&] {
    outcome.screen = s.program.screen.GameState;
    if (s.program.address_entry) outcome.lines = AddressLines(*s.program.address_entry);
    s.program.game.Running = false;
    *looked = true;
  });
  s.machine.SetYieldStep(0.01);
  s.Run();
  return outcome;
}

InputEvent Key(int16_t code, int16_t shift = 0) { return InputEvent::KeyDown(code, shift); }

TEST(AddressScreen, TypedPastedAndEditedAddressesAreLookedUpOrRefusedWithAClearMessage) {
  const struct {
    const char* what;
    Typing typing;
    const char* dialed;
    const char* problem;  // the screen's third line; "": the menu shows
  } cases[] = {
      {"typed, a mistake taken back",
       {{InputEvent::Text("127.0.0.9"), Key(kKeyBackspace), InputEvent::Text("1:4000"),
         Key(kKeyReturn)},
        "",
        Dial::kConnects},
       "127.0.0.1:4000",
       ""},
      {"pasted (its first line)",
       {{Key('V', kShiftCtrl), Key(kKeyReturn)}, "example.org:27911\nmore", Dial::kConnects},
       "example.org:27911",
       ""},
      {"a name in the keyboard's own letters, no port",
       {{InputEvent::Text("hôte"), Key(kKeyReturn)}, "", Dial::kConnects},
       "hôte:27910",
       ""},
      {"empty",
       {{Key(kKeyReturn)}, "", Dial::kConnects},
       "",
       "The address needs the host's name or IPv4 address, not \"\""},
      {"a port out of range",
       {{InputEvent::Text("host:70000"), Key(kKeyReturn)}, "", Dial::kConnects},
       "",
       "The UDP port must be a whole number from 1 to 65535, not \"70000\""},
      {"a name that is not known",
       {{InputEvent::Text("nowhere"), Key(kKeyReturn)}, "", Dial::kUnknownName},
       "nowhere:27910",
       "The host \"nowhere\" is not known"},
      {"no answer within 5 s",
       {{InputEvent::Text("slow"), Key(kKeyReturn)}, "", Dial::kNeverAnswers},
       "slow:27910",
       "No answer about \"slow\" within 5 s: is the name right? An IPv4 address needs no lookup"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const Outcome outcome = Type(c.typing);
    EXPECT_EQ(outcome.dialed, c.dialed);
    if (std::string(c.problem).empty()) {
      EXPECT_EQ(outcome.screen, kMenuScreen);
    } else {
      EXPECT_EQ(outcome.screen, kAddressScreen);
      ASSERT_GE(outcome.lines.size(), 4u);
      EXPECT_EQ(outcome.lines[2], c.problem);
    }
  }
}

TEST(AddressScreen, TheLastAddressIsOfferedAgainAndEscEndsTheProgram) {
  const Outcome offered = Type({{Key(kKeyReturn)}, "", Dial::kConnects}, "192.0.2.5:4000");
  EXPECT_EQ(offered.dialed, "192.0.2.5:4000");
  Session s;
  s.program.options.network = NetworkOptions{};
  StartAddressEntry(s.program, nullptr);
  EXPECT_TRUE(s.machine.AcceptsText());
  s.AtFrame(2, [&] { s.machine.Push(Key(kKeyEscape)); });
  EXPECT_EQ(s.Run(), 0);
  EXPECT_FALSE(s.program.game.Running);
}

// Run alone inside a network namespace that has only `lo` (ctest: address_lookup_offline): the
// program's own lookup of a name no name server can be asked about says so on the screen.
TEST(AddressScreenOffline, ANameThatCannotBeResolvedIsToldOnTheScreenNotAHang) {
  // /proc/net/dev lists the interfaces of this process's own network namespace.
  std::ifstream devices("/proc/net/dev");
  size_t interfaces = 0;
  for (std::string line; std::getline(devices, line);) {
    const size_t colon = line.find(':');
    if (colon != std::string::npos && Strip(line.substr(0, colon)) != "lo") ++interfaces;
  }
  if (interfaces > 0)
    GTEST_SKIP() << "only inside `unshare -n`: the lookup would leave the machine";
  Session s;
  s.program.options.network = NetworkOptions{};
  StartAddressEntry(s.program, [](const std::string& peer, uint16_t port) {
    NetworkOptions network;
    network.peer = peer;
    network.port = port;
    return OpenTransport(network);
  });
  s.AtFrame(2, [&] { s.machine.Push(InputEvent::Text("kraylo-no-such-host.invalid")); });
  s.AtFrame(3, [&] { s.machine.Push(Key(kKeyReturn)); });
  std::vector<std::string> lines;
  for (int f = 4; f < 2000; ++f) {
    s.AtFrame(f, [&] {
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
      if (s.program.address_entry && !s.program.address_entry->problem.empty()) {
        lines = AddressLines(*s.program.address_entry);
        s.program.game.Running = false;
      }
    });
  }
  s.Run();
  ASSERT_GE(lines.size(), 4u);
  EXPECT_EQ(lines[2],
            "The host \"kraylo-no-such-host.invalid\" is not known (no IPv4 address for it)");
}

}  // namespace
}  // namespace kraylo::testing
