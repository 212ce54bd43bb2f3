// The configuration reader: one lookup scans the whole file from the top, nothing is cached.
#include "support/config.h"

#include <algorithm>
#include <utility>

#include "platform/run_error.h"
#include "support/numbers.h"

namespace kraylo {
namespace {

// Splits a file's content into lines. A line ends at CR LF, at a lone CR or at a lone LF (files
// edited on this platform end their lines with LF alone). A line end at the very end of the
// content does not start a further, empty line.
class LineReader {
 public:
  explicit LineReader(std::string_view content) : rest_(content) {}

  bool AtEnd() const { return rest_.empty(); }

  // The next line without its line end. Call only when not AtEnd.
  std::string_view Next() {
    const size_t end = rest_.find_first_of("\r\n");
    const std::string_view line = rest_.substr(0, end);
    if (end == std::string_view::npos) {
      rest_ = {};
    } else {
      const bool crlf = rest_[end] == '\r' && end + 1 < rest_.size() && rest_[end + 1] == '\n';
      rest_.remove_prefix(end + (crlf ? 2 : 1));
    }
    return line;
  }

 private:
  std::string_view rest_;
};

bool IsSectionHeader(std::string_view line) {
  return line.size() >= 2 && line.front() == '[' && line.back() == ']';
}

// The byte-order mark that Windows editors put at the start of a UTF-8 file.
constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

// The whole file without a leading byte-order mark; the first line is read before any
// end-of-file test, so an empty file (or one with the mark alone) has no line to give.
std::string ReadContent(Files& files, const std::string& path) {
  std::string content = files.ReadFile(path);
  if (content.starts_with(kUtf8Mark)) content.erase(0, kUtf8Mark.size());
  if (content.empty()) Raise(kErrInputPastEnd, "Input past end of file: " + path);
  return content;
}

// Calls `take` with each line of `section` in `content`, in order, until it returns true.
template <typename Take>
void ScanSection(std::string_view content, std::string_view section, Take take) {
  std::string_view current_section;
  LineReader lines(content);
  do {
    const std::string_view line = lines.Next();
    if (IsSectionHeader(line)) {
      current_section = line.substr(1, line.size() - 2);
    } else if (current_section == section && take(line)) {
      return;
    }
  } while (!lines.AtEnd());
}

constexpr std::string_view kBlanks = " \t";

}  // namespace

std::string ProgramPath(Files& files, std::string_view relative) {
  if (relative == kConfigFile) return files.ConfigFile();
  if (!InDataFolder(relative)) {
    Raise(kErrInvalidArgument, "Invalid procedure call or argument: " + std::string(relative) +
                                   " is not a file of the data folder");
  }
  std::string path(relative.substr(kDataFolder.size() + 1));
  std::replace(path.begin(), path.end(), '\\', '/');
  return files.DataFolder() + path;
}

std::optional<std::string> ReadConfig(Files& files, std::string_view file, std::string_view section,
                                      std::string_view key) {
  std::optional<ConfigLine> found = FindConfigLine(files, file, section, key);
  if (!found) return std::nullopt;
  return std::move(found->value);
}

std::optional<std::string> ReadConfigWord(Files& files, std::string_view file,
                                          std::string_view section, std::string_view key) {
  const std::optional<std::string> value = ReadConfig(files, file, section, key);
  if (!value) return std::nullopt;
  return Strip(UpperCase(*value));
}

std::optional<ConfigLine> FindConfigLine(Files& files, std::string_view file,
                                         std::string_view section, std::string_view key) {
  const std::string path = ProgramPath(files, file);
  const std::string content = ReadContent(files, path);
  std::optional<ConfigLine> found;
  ScanSection(content, section, [&](std::string_view line) {
    if (line.size() <= key.size() || !line.starts_with(key)) return false;
    // The two characters after the key are its separator; the value is what follows them.
    if (line.size() == key.size() + 1) {
      RaiseBadLine({std::string(line), "", path}, section,
                   "ends inside the separator after its key");
    }
    found = ConfigLine{std::string(line), std::string(line.substr(key.size() + 2)), path};
    return true;
  });
  return found;
}

std::optional<ConfigLine> SettingLines::Find(std::string_view key) const {
  for (const Setting& setting : settings) {
    if (setting.key == key) return setting.line;
  }
  return std::nullopt;
}

SettingLines ReadSettings(Files& files, std::string_view file, std::string_view section,
                          std::span<const std::string_view> keys) {
  const std::string path = ProgramPath(files, file);
  const std::string content = ReadContent(files, path);
  SettingLines read;
  ScanSection(content, section, [&](std::string_view line) {
    const size_t start = line.find_first_not_of(kBlanks);
    if (start == std::string_view::npos) return false;
    const std::string_view text = line.substr(start);
    const std::string_view key = text.substr(0, text.find_first_of(" \t="));
    const std::string_view rest = text.substr(key.size());
    const size_t equals = rest.find_first_not_of(kBlanks);
    const ConfigLine whole{std::string(line), "", path};
    if (std::find(keys.begin(), keys.end(), key) != keys.end()) {
      if (equals == std::string_view::npos || rest[equals] != '=') {
        RaiseBadLine(whole, section, "has no \"=\" after its key " + std::string(key));
      }
      read.settings.push_back(
          {std::string(key), ConfigLine{whole.line, std::string(rest.substr(equals + 1)), path}});
      return false;
    }
    for (const std::string_view known : keys) {
      if (key.starts_with(known)) {
        RaiseBadLine(whole, section,
                     "sets no key of the section: \"" + std::string(key) + "\" is not " +
                         std::string(known) + " (a line is " + std::string(known) + " = value)");
      }
    }
    read.unknown.emplace_back(key.empty() ? text : key);
    return false;
  });
  return read;
}

void RaiseBadLine(const ConfigLine& line, std::string_view section, std::string_view what) {
  Raise(kErrInvalidArgument, "Invalid procedure call or argument: the line \"" + line.line +
                                 "\" in section [" + std::string(section) + "] of " + line.path +
                                 " " + std::string(what));
}

void RaiseBadValue(Files& files, std::string_view file, std::string_view section,
                   std::string_view key, std::string_view wanted) {
  const ConfigLine line = FindConfigLine(files, file, section, key)
                              .value_or(ConfigLine{std::string(key), "", ProgramPath(files, file)});
  RaiseBadLine(line, section, "has a value other than " + std::string(wanted));
}

}  // namespace kraylo
