#include "shell/run.h"

#include <memory>

#include "replay/replay_check.h"
#include "replay/replay_file.h"
#include "replay/replay_writer.h"
#include "shell/network_match.h"
#include "shell/program.h"
#include "shell/recorded_rounds.h"

namespace kraylo {
namespace {

// The replay at `path`, read and played through once: a replay is refused before it is shown.
Replay ReadCheckedReplay(Files& files, const std::string& path, ReplaySummary* summary) {
  Replay replay = ParseReplay(files.ReadFile(path, kMaxReplayBytes));
  const ReplaySummary checked = CheckReplay(replay);
  if (summary != nullptr) *summary = checked;
  return replay;
}

std::string Plural(uint64_t count, const char* word) {
  return std::to_string(count) + " " + word + (count == 1 ? "" : "s");
}

}  // namespace

int RunProgram(System& system, const Options& options, std::ostream& errors,
               std::unique_ptr<Transport> transport, HostReach reach, Dialer dial) {
  Program program(system, options);
  const std::string& file = options.replay.empty() ? options.record : options.replay;
  try {
    if (!options.record.empty()) {
      program.recorder = std::make_unique<ReplayWriter>(system.files(), options.record);
    }
    if (!options.replay.empty()) {
      Replay replay = ReadCheckedReplay(system.files(), options.replay, nullptr);
      program.field = FieldSize{replay.games.front().width, replay.games.front().height};
      program.match = MakeReplayMatch(std::move(replay));
      program.play_at_once = true;
    }
    if (transport) {
      program.match = MakeNetworkMatch(
          std::move(transport), *options.network, DrawSeed(system.random()),
          program.recorder ? RecordingHooks(*program.recorder) : ConfirmedTickHooks{},
          std::move(reach));
    }
    // --join alone: the address is typed once the picture is up.
    if (options.network && !options.network->host && options.network->peer.empty() && dial) {
      StartAddressEntry(program, std::move(dial));
    }
  } catch (const RunError& error) {
    errors << "kraylo: " << error.description() << "\n";
    return 1;
  } catch (const ReplayError& error) {
    errors << "kraylo: " << file << ": " << error.what() << "\n";
    return 1;
  }

  int status = system.Run(BindEvents(program));
  if (program.recorder) {
    try {
      program.recorder->EndGame();
    } catch (const RunError& error) {
      errors << "kraylo: the recording is incomplete: " << error.description() << "\n";
      status = status != 0 ? status : 1;
    }
  }
  return status;
}

int CheckReplayFile(Files& files, const std::string& path, std::ostream& out,
                    std::ostream& errors) {
  try {
    ReplaySummary summary;
    ReadCheckedReplay(files, path, &summary);
    out << path << ": " << Plural(summary.games, "game") << ", " << Plural(summary.ticks, "tick")
        << ", final state checksum " << HexChecksum(summary.final_checksum) << " ("
        << Plural(summary.checkpoints, "checksum") << " match)\n";
    return 0;
  } catch (const RunError& error) {
    errors << "kraylo: " << error.description() << "\n";
  } catch (const ReplayError& error) {
    errors << "kraylo: " << path << ": " << error.what() << "\n";
  }
  return 1;
}

}  // namespace kraylo
