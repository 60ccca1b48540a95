#pragma once
// The runtime's error: a number and a German description. Raised where the game's
// code would have met a runtime error; caught only where the game states a handler,
// otherwise it reaches the top of the program, which shows the error box and ends.
#include <QString>
#include <stdexcept>

namespace rt {

enum ErrorNumber : int {
  ErrOverflow = 6,
  ErrSubscript = 9,
  ErrFileNotFound = 53,
  ErrFileAccess = 75,
  ErrPathNotFound = 76,
  ErrInvalidPicture = 481,
};

class RuntimeError : public std::runtime_error {
 public:
  // The error with its standard German description.
  explicit RuntimeError(int number);
  RuntimeError(int number, const QString& description);
  int Number() const { return number_; }
  const QString& Description() const { return description_; }

 private:
  int number_;
  QString description_;
};

[[noreturn]] void Raise(int number);

}  // namespace rt
