#pragma once
// The test main makes the program's end (rt::EndProcess) fail the run. A death test in
// which the program is to end says so first, inside its statement:
//   EXPECT_EXIT({ ExpectProgramEnd(); ... }, ::testing::ExitedWithCode(0), "");
#include "runtime/ErrorBox.h"

inline void ExpectProgramEnd() { rt::SetProcessEnder({}); }
