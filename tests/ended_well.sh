#!/bin/sh
# Runs a test program and fails its run when the process exits with a code other than 0
# after GoogleTest's summary (the program ending itself while its statics are torn down,
# say): CTest takes the summary line for a run that went through to its end and then
# ignores the exit code, though it still sees a process killed by a signal.
"$@"
code=$?
if [ "$code" -ne 0 ]; then
  echo "[  FAILED  ] the test process ended with exit code $code"
fi
exit "$code"
