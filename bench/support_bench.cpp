// The cost of one configuration lookup on a real file on disk: open, read, scan, close.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/devices/disk_files.h"
#include "support/config.h"

namespace kraylo {
namespace {

// A program folder in the temporary folder holding the program's configuration file; removed
// again when the benchmark ends.
class ConfigFolder {
 public:
  ConfigFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "kraylo-bench-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) std::abort();
    path_ = pattern;
    std::filesystem::create_directories(path_ + "/dorvane");
    std::ofstream(path_ + "/dorvane/config.cfg", std::ios::binary)
        << "[Screen]\r\ndispX = 800\r\ndispY = 600\r\ndispCols = 16\r\n[Main]\r\ncursor = "
           "FALSE\r\n";
  }
  ~ConfigFolder() { std::filesystem::remove_all(path_); }
  ConfigFolder(const ConfigFolder&) = delete;
  ConfigFolder& operator=(const ConfigFolder&) = delete;
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

void Lookup(benchmark::State& state, const char* section, const char* key) {
  const ConfigFolder folder;
  const Faults faults;
  DiskFiles files(LocationsInFolder(folder.path()), faults);
  for ([[maybe_unused]] auto _ : state) {
    benchmark::DoNotOptimize(ReadConfig(files, kConfigFile, section, key));
  }
}

// The first key of the file.
void BM_ReadConfigScreenDispX(benchmark::State& state) { Lookup(state, "Screen", "dispX"); }
BENCHMARK(BM_ReadConfigScreenDispX);

// The last key of the file: the whole file is scanned.
void BM_ReadConfigMainCursor(benchmark::State& state) { Lookup(state, "Main", "cursor"); }
BENCHMARK(BM_ReadConfigMainCursor);

}  // namespace
}  // namespace kraylo

BENCHMARK_MAIN();
