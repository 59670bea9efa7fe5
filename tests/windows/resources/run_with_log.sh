#!/usr/bin/env bash
# Runs a command with its output in a file, then prints the file. Wine starts
# its background services (services.exe, plugplay, ...) from the first program
# of a session; they inherit that program's stdout, and ctest would wait for
# them to close it. Through a file the test ends when the program does.
#   run_with_log.sh <log-file> <command> [args...]
set -uo pipefail
log="$1"
shift
"$@" >"$log" 2>&1 </dev/null
rc=$?
cat "$log"
exit "$rc"
