#!/bin/sh
# Usage: shell_statuses.sh [emulator ...] program
# Checks the exit statuses that a POSIX shell sees for the two usage cases.
"$@" >/dev/null
status=$?
[ "$status" -eq 255 ] || { echo "no keyword: status $status, expected 255"; exit 1; }
"$@" WRONG text >/dev/null
status=$?
[ "$status" -eq 254 ] || { echo "wrong keyword: status $status, expected 254"; exit 1; }
