#include "shell/run.h"

#include <memory>

#include "replay/replay_check.h"
#include "replay/replay_file.h"
#include "replay/replay_writer.h"

namespace kraylo {
namespace {

// The replay at `path`, read and played through once.
ReplaySummary ReadCheckedReplay(Files& files, const std::string& path) {
  return CheckReplay(ParseReplay(files.ReadFile(path, kMaxReplayBytes)));
}

std::string Plural(uint64_t count, const char* word) {
  return std::to_string(count) + " " + word + (count == 1 ? "" : "s");
}

}  // namespace

int RunProgram(System& system, const Options& options, std::ostream& errors,
               RunResources resources) {
  Program program(system, options);
  program.resources = std::move(resources);
  const auto* replay = std::get_if<ReplayToShow>(&options.mode);
  const std::string& file = replay != nullptr ? replay->file : options.record;
  try {
    if (!options.record.empty()) {
      program.recorder = std::make_unique<ReplayWriter>(system.files(), options.record);
    }
    if (replay != nullptr) {
      // Checked as it is played through once, keeping the states seeks start from.
      const Replay games = ParseReplay(system.files().ReadFile(file, kMaxReplayBytes));
      program.field = FieldSize{games.games.front().width, games.games.front().height};
      program.resources.replay.emplace(games);
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
    const ReplaySummary summary = ReadCheckedReplay(files, path);
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
