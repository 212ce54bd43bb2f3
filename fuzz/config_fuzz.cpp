// Feeds arbitrary bytes to the configuration reader as the content of config.cfg, and every
// value it finds to the number readings and forms. Raised errors are expected; a crash, a hang
// or a broken invariant is a finding.
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "platform/run_error.h"
#include "support/config.h"
#include "support/numbers.h"
#include "tests/support/memory_files.h"

namespace kraylo {
namespace {

// Stops the run loudly: the fuzzer records the input that got here.
[[noreturn]] void Broken() { std::abort(); }

void UseValue(const std::optional<std::string>& value) {
  if (value) {
    // A value is the rest of one line, so it can never hold a line end.
    if (value->find_first_of("\r\n") != std::string::npos) Broken();
    if (Strip(UpperCase(*value)).size() > value->size()) Broken();
  }
  try {
    const double number = ReadNumber(value);
    PlainForm(number);
    OneDecimalForm(number, ',');
    HashDotZeroForm(number, '.');
  } catch (const RunError& error) {
    if (error.number() != kErrOverflow) Broken();
  }
  try {
    ToInt16(ToWholeNumber(value));
  } catch (const RunError& error) {
    if (error.number() != kErrOverflow && error.number() != kErrTypeMismatch) Broken();
  }
}

void Probe(Files& files, bool empty_file, std::string_view section, std::string_view key) {
  try {
    UseValue(ReadConfig(files, kConfigFile, section, key));
  } catch (const RunError& error) {
    // The file is there: only an empty one or a key line cut short may fail.
    const bool expected =
        empty_file ? error.number() == kErrInputPastEnd : error.number() == kErrInvalidArgument;
    if (!expected) Broken();
  }
}

// A section and a key taken from the input itself, so that the fuzzer can reach matches of any
// shape: the section is the text after the first '[' up to the next ']', the key the first
// bytes of the last line (as many as the first byte says, up to 16).
void ProbeDerived(Files& files, bool empty_file, std::string_view content) {
  std::string_view section;
  const size_t open = content.find('[');
  if (open != std::string_view::npos) {
    const size_t close = content.find(']', open);
    if (close != std::string_view::npos) section = content.substr(open + 1, close - open - 1);
  }
  std::string_view body = content;
  while (!body.empty() && (body.back() == '\r' || body.back() == '\n')) body.remove_suffix(1);
  const size_t last_line_end = body.find_last_of("\r\n");
  const std::string_view last_line =
      last_line_end == std::string_view::npos ? body : body.substr(last_line_end + 1);
  const size_t key_length = content.empty() ? 0 : static_cast<unsigned char>(content[0]) % 17;
  const std::string_view key = last_line.substr(0, std::min(key_length, last_line.size()));
  Probe(files, empty_file, section, key);
  Probe(files, empty_file, "", key);
}

// The sections this program added, read by their stricter rules.
void ProbeSettings(Files& files, bool empty_file) {
  constexpr std::array<std::string_view, 2> kKeys = {"mute", "volume"};
  try {
    for (const SettingLines::Setting& setting :
         ReadSettings(files, kConfigFile, "Sound", kKeys).settings) {
      UseValue(setting.line.value);
    }
  } catch (const RunError& error) {
    // The file is there: only an empty one or a line that starts like a key may fail.
    const bool expected =
        empty_file ? error.number() == kErrInputPastEnd : error.number() == kErrInvalidArgument;
    if (!expected) Broken();
  }
}

// Whether the reader finds no line in `content`: nothing, or a UTF-8 byte-order mark alone.
bool IsEmptyFile(std::string_view content) {
  constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
  if (content.starts_with(kUtf8Mark)) content.remove_prefix(kUtf8Mark.size());
  return content.empty();
}

}  // namespace
}  // namespace kraylo

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace kraylo;
  const std::string content(reinterpret_cast<const char*>(data), size);
  MemoryFiles files;
  files.Put("/dorvane/config.cfg", content);
  const bool empty_file = IsEmptyFile(content);
  for (const char* key : {"dispX", "dispY", "dispCols"}) Probe(files, empty_file, "Screen", key);
  Probe(files, empty_file, "Main", "cursor");
  Probe(files, empty_file, "", "");
  ProbeDerived(files, empty_file, content);
  ProbeSettings(files, empty_file);
  return 0;
}
