// The command line: which kind of run this is and where it records its games. Every option is
// one row of the table in options.cpp, which also writes the usage text.
#pragma once

#include <stdexcept>
#include <string>
#include <vector>

#include "shell/run_mode.h"

namespace kraylo {

struct Options {
  bool help = false;     // --help: print the usage and end
  bool version = false;  // --version: print the version and end
  RunMode mode;          // the kind of run (a local game when no option asks for another)
  std::string record;    // --record FILE: record every game of the run into FILE
  bool mute = false;     // --mute: the sound starts switched off
};

// A command line the program does not take; what() says what is wrong with it.
class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Reads the arguments after the program's name. Options are written --name, --name VALUE or
// --name=VALUE; an option with a value takes the next argument unless it starts with "--" (such a
// value is written --name=VALUE). Raises UsageError for an unknown option, a missing or bad value,
// an option given twice, or options that cannot go together.
Options ParseOptions(const std::vector<std::string>& arguments);

// The usage text: the command, then one line per option.
std::string UsageText();

// The program's version ("1.0.0").
const char* VersionText();

}  // namespace kraylo
