// Files held in memory: a map from path to content, for tests and the fuzzer.
#pragma once

#include <cstddef>
#include <cstdint>
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
  std::string NoErrorLogReason() override { return ""; }
  void CreateFolders(const std::string&) override {}
  std::string ReadFile(const std::string& path, size_t max_bytes = SIZE_MAX) override {
    if (!contents_.count(path)) Raise(kErrFileNotFound, "File not found: " + path);
    const std::string& content = contents_.at(path);
    if (content.size() > max_bytes) Raise(kErrFileAccess, "Path/File access error: " + path);
    return content;
  }
  void AppendFile(const std::string& path, const std::string& bytes) override {
    contents_[path] += bytes;
  }
  void WriteFile(const std::string& path, const std::string& bytes) override {
    contents_[path] = bytes;
  }
  // The content of a file by its whole path ("" when missing).
  std::string Content(const std::string& path) const {
    const auto file = contents_.find(path);
    return file == contents_.end() ? "" : file->second;
  }

 private:
  std::map<std::string, std::string> contents_;
};

}  // namespace kraylo
