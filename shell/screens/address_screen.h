// The screen where a player started with --join or --watch alone types the host's code or
// address, shown once the picture is up and before the menu (or the game watched): the keyboard's
// own layout, Backspace, Ctrl+V, Enter to connect, Esc to end the program. The address of the last
// game played over the network is offered again.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "online/host_address.h"
#include "online/host_lookup.h"
#include "shell/run_mode.h"

namespace kraylo {

struct Program;

struct AddressEntry {
  RunMode typed_for;                   // the run the screen types for: TypedJoin or TypedWatch
  std::string typed;                   // UTF-8, as typed
  HostAddress address;                 // the last address Enter read from it
  std::string problem;                 // why the last Enter did not connect; empty: nothing
  std::unique_ptr<HostLookup> lookup;  // under way since the last Enter
  bool meeting = false;                // a typed code's game is being looked for
};

// The file in the per-user state folder that keeps the last address; "" when there is none.
std::string LastAddressFile(Program& program);

// Shows the address screen, with the last address (when a file keeps one) typed already; the
// run's dialer looks the address up.
void StartAddressEntry(Program& program);
// A key on the address screen: Backspace, Enter, Esc, Ctrl+V.
void AddressKey(Program& program, int16_t key_code, int16_t shift);
// Text typed on the address screen.
void AddressText(Program& program, const std::string& text);
// Once a frame: a lookup that has succeeded makes the network game and shows the menu, and so
// does a code whose game the meeting service has found; one that failed says why.
void ServeAddressEntry(Program& program);
// What the address screen says.
std::vector<std::string> AddressLines(const AddressEntry& entry);

}  // namespace kraylo
