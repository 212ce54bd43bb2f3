#include "shell/screens/address_screen.h"

#include "meeting/room_code.h"
#include "platform/events.h"
#include "platform/run_error.h"
#include "shell/matches/make_match.h"
#include "shell/program.h"
#include "support/numbers.h"

namespace kraylo {
namespace {

constexpr const char* kLastAddressName = "last-address";
// No host's address is longer (bytes); pasting a page of text must not grow the line for ever.
constexpr size_t kMostTyped = 255;
constexpr int16_t kKeyV = 'V';

bool ContinuesCharacter(char byte) { return (static_cast<unsigned char>(byte) & 0xC0) == 0x80; }

// `text`'s first line without control characters, as much of it as fits behind `typed`.
void Append(std::string& typed, const std::string& text) {
  for (const char c : text.substr(0, text.find_first_of("\r\n"))) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) continue;
    if (typed.size() >= kMostTyped) break;
    typed += c;
  }
  // A character cut at the end is no character.
  while (!typed.empty() && ContinuesCharacter(typed.back()) && typed.size() >= kMostTyped) {
    typed.pop_back();
  }
}

void RemoveLastCharacter(std::string& typed) {
  while (!typed.empty() && ContinuesCharacter(typed.back())) typed.pop_back();
  if (!typed.empty()) typed.pop_back();
}

std::string Capitalized(std::string text) {
  if (!text.empty() && text[0] >= 'a' && text[0] <= 'z') text[0] = static_cast<char>(text[0] - 32);
  return text;
}

void LeaveAddressScreen(Program& program) {
  program.system.window().AcceptText(false);
  program.address_entry.reset();
  program.screen.Shown = kMenuScreen;
  // A spectator has no menu to pass: the game watched shows at once.
  if (ShowsGameAtOnce(program.options.mode)) StartGame(program);
}

bool Watching(const AddressEntry& entry) {
  return std::holds_alternative<TypedWatch>(entry.typed_for);
}

bool HidesAddress(const Program& program) {
  const RunMode& typed = program.address_entry->typed_for;
  const auto* join = std::get_if<TypedJoin>(&typed);
  return program.net_settings.hide_address ||
         (join != nullptr ? join->hide_address : std::get<TypedWatch>(typed).hide_address);
}

// The run a typed code asks for.
RunMode CodeRun(const Program& program, RoomCode code) {
  const bool hide = HidesAddress(program);
  if (const auto* join = std::get_if<TypedJoin>(&program.address_entry->typed_for)) {
    return CodeJoin{code, join->input_delay, hide};
  }
  return CodeWatch{code, hide};
}

// The run a typed address asks for, once it has been looked up.
RunMode AddressRun(const AddressEntry& entry) {
  if (const auto* join = std::get_if<TypedJoin>(&entry.typed_for)) {
    return JoinGame{entry.address, join->input_delay};
  }
  return WatchGame{entry.address};
}

// A code typed: the game is met through the meeting service, the screen staying until the
// service has found the code's game, so that a wrong code can be typed again. A code is never kept
// as the last address: it is good for one game.
void JoinByCode(Program& program, const std::string& typed) {
  AddressEntry& entry = *program.address_entry;
  const auto code = ParseRoomCode(typed);
  if (const auto* error = std::get_if<RoomCodeError>(&code)) {
    entry.problem = error->message;
    return;
  }
  try {
    program.resources.transport = program.resources.open_for_meeting();
    program.options.mode = CodeRun(program, std::get<RoomCode>(code));
    program.match = MakeMatch(program);
  } catch (const RunError& error) {
    program.options.mode = entry.typed_for;
    entry.problem = error.description();
    return;
  }
  entry.problem.clear();
  entry.meeting = true;
}

// Once a frame while a typed code's game is looked for: found, the menu; not found, the screen
// again with the reason.
void ServeMeeting(Program& program) {
  AddressEntry& entry = *program.address_entry;
  const Meeting* meeting = program.match->meeting();
  // The meeting begins with the match's first frame.
  if (meeting == nullptr) return;
  switch (meeting->stage()) {
    case MeetingStage::kFindingService:
    case MeetingStage::kAsking:
    case MeetingStage::kWaiting:
      return;
    case MeetingStage::kFailed:
      entry.problem = meeting->failure();
      entry.meeting = false;
      program.options.mode = entry.typed_for;
      program.match = MakeLocalMatch();
      return;
    case MeetingStage::kLooking:
    case MeetingStage::kDirect:
    case MeetingStage::kRelayed:
      LeaveAddressScreen(program);
      return;
  }
}

void Connect(Program& program) {
  AddressEntry& entry = *program.address_entry;
  const std::string typed = Strip(entry.typed);
  if (LooksLikeRoomCode(typed)) return JoinByCode(program, typed);
  if (HidesAddress(program)) {
    entry.problem = "This machine's address is to be hidden: type the host's code, not an address";
    return;
  }
  try {
    entry.address = ParseHostAddress(typed, "The address");
  } catch (const AddressError& error) {
    entry.problem = Capitalized(error.what());
    return;
  }
  entry.problem.clear();
  entry.lookup = std::make_unique<HostLookup>(program.resources.dial, entry.address,
                                              program.system.clock().Seconds());
}

// The network game over `transport`, as --join ADDRESS (or --watch ADDRESS) makes it; the
// address is kept once the game has begun.
void BeginMatch(Program& program, std::unique_ptr<Transport> transport) {
  const HostAddress& address = program.address_entry->address;
  program.options.mode = AddressRun(*program.address_entry);
  program.resources.transport = std::move(transport);
  ConfirmedTickHooks remember;
  remember.game_started = [text = address.Text(), file = LastAddressFile(program),
                           &files = program.system.files()](uint64_t, int32_t, int32_t) {
    // A state folder that cannot be written costs only the offer next time.
    try {
      if (!file.empty()) files.WriteFile(file, text + "\n");
    } catch (const RunError&) {
    }
  };
  program.match = MakeMatch(program, remember);
}

}  // namespace

std::string LastAddressFile(Program& program) {
  // The error log's folder is this user's state folder.
  const std::string log = program.system.files().ErrorLogFile();
  const size_t slash = log.find_last_of('/');
  if (slash == std::string::npos) return "";
  return log.substr(0, slash + 1) + kLastAddressName;
}

void StartAddressEntry(Program& program) {
  AddressEntry& entry = program.address_entry.emplace();
  entry.typed_for = program.options.mode;
  const std::string file = LastAddressFile(program);
  try {
    if (!file.empty()) Append(entry.typed, program.system.files().ReadFile(file, kMostTyped + 2));
  } catch (const RunError&) {
    // No address kept yet: the player types one.
  }
  program.screen.Shown = kAddressScreen;
  program.system.window().AcceptText(true);
}

void AddressKey(Program& program, int16_t key_code, int16_t shift) {
  AddressEntry& entry = *program.address_entry;
  if (key_code == kKeyEscape) {
    program.game.Running = false;
  } else if (entry.lookup || entry.meeting) {
    // The address stays as it is while it is being looked up.
  } else if (key_code == kKeyBackspace) {
    RemoveLastCharacter(entry.typed);
  } else if (key_code == kKeyReturn) {
    Connect(program);
  } else if (key_code == kKeyV && (shift & kShiftCtrl) != 0) {
    Append(entry.typed, program.system.window().ClipboardText());
  }
}

void AddressText(Program& program, const std::string& text) {
  AddressEntry& entry = *program.address_entry;
  if (!entry.lookup && !entry.meeting) Append(entry.typed, text);
}

void ServeAddressEntry(Program& program) {
  AddressEntry& entry = *program.address_entry;
  if (entry.meeting) return ServeMeeting(program);
  if (!entry.lookup) return;
  auto answer = entry.lookup->Poll(program.system.clock().Seconds());
  if (!answer) return;
  entry.lookup.reset();
  if (auto* transport = std::get_if<std::unique_ptr<Transport>>(&*answer)) {
    BeginMatch(program, std::move(*transport));
    LeaveAddressScreen(program);
    return;
  }
  entry.problem = std::get<std::string>(*answer);
}

std::vector<std::string> AddressLines(const AddressEntry& entry) {
  std::vector<std::string> lines = {
      std::string(Watching(entry) ? "Type the code (ABCD-EFGH) or the host's address of the game "
                                    "to watch (name or IPv4, :PORT when not 27910)"
                                  : "Type the host's code (ABCD-EFGH) or address (name or IPv4, "
                                    ":PORT when not 27910)"),
      entry.typed + (entry.lookup || entry.meeting ? "" : "_")};
  if (entry.lookup) lines.push_back("Looking up the host...");
  if (entry.meeting) lines.push_back("Looking for the game of this code...");
  if (!entry.problem.empty()) lines.push_back(entry.problem);
  lines.push_back("Enter connects, Esc ends the program");
  return lines;
}

}  // namespace kraylo
