// Files held in memory: a map from path to content, for tests and the fuzzer.
#pragma once

#include <map>
#include <string>
#include <utility>

#include "platform/platform.h"
#include "platform/run_error.h"

namespace kraylo {

class MemoryFiles : public Files {
 public:
  // Puts a file under the program folder ("/dorvane/config.cfg").
  void Put(const std::string& relative, std::string content) {
    contents_["/game" + relative] = std::move(content);
  }

  std::string DataFolder() override { return "/game/dorvane"; }
  std::string ConfigFile() override { return "/game/dorvane/config.cfg"; }
  std::string ErrorLogFile() override { return "/game/Debug.txt"; }
  void CreateFolders(const std::string&) override {}
  std::string ReadFile(const std::string& path) override {
    if (!contents_.count(path)) Raise(kErrFileNotFound, "File not found: " + path);
    return contents_.at(path);
  }
  void AppendFile(const std::string& path, const std::string& bytes) override {
    contents_[path] += bytes;
  }

 private:
  std::map<std::string, std::string> contents_;
};

}  // namespace kraylo
