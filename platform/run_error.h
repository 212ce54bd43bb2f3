// Run-time errors: raised (thrown), never returned; every layer of the program uses them.
#pragma once

#include <cstdint>
#include <exception>
#include <string>

namespace kraylo {

// Error numbers the program's own arithmetic and files raise. Platform failures use negative
// numbers of their own (see platform/faults.h).
enum ErrorNumber : int32_t {
  kErrInvalidArgument = 5,
  kErrOverflow = 6,
  kErrSubscript = 9,
  kErrDivisionByZero = 11,
  kErrTypeMismatch = 13,
  kErrFileNotFound = 53,
  kErrInputPastEnd = 62,
  kErrFileAccess = 75,
};

// A run-time error: a number and a description a person can act on.
class RunError : public std::exception {
 public:
  RunError(int32_t number, std::string description)
      : number_(number), description_(std::move(description)) {}
  int32_t number() const { return number_; }
  const std::string& description() const { return description_; }
  const char* what() const noexcept override { return description_.c_str(); }

 private:
  int32_t number_;
  std::string description_;
};

[[noreturn]] inline void Raise(int32_t number, std::string description) {
  throw RunError(number, std::move(description));
}

// Ends the program at once with an exit status. Deliberately not a std::exception, so that no
// step guard or error handler can swallow it on its way out to the window system.
struct ProgramEnd {
  int status = 0;
};

}  // namespace kraylo
