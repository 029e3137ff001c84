#!/usr/bin/env bash
# Runs one Windows program under Wine for CTest (CMAKE_CROSSCOMPILING_EMULATOR).
#
# The prefix is private to the build tree (QT_WINEPREFIX, or build/wineprefix
# beside this script's repository). Its wineserver and helper processes are
# started once, detached from every pipe: helpers inherit the standard output
# of the first Wine process of a prefix and would keep a reader such as CTest
# waiting forever. The program's own output goes through a file for the same
# reason. Every run has a timeout. A 32-bit program on a machine that cannot
# run 32-bit programs is skipped (exit 77, CTest's SKIP_RETURN_CODE), with the
# reason printed and reported.
set -u
. "$(dirname "$0")/wine-env.sh"
timeout_s="${QT_WINE_TIMEOUT:-600}"

qt_cannot_run "$1" "$(basename "$1" .exe)" && exit 77

if ! "$here/scripts/wine-prefix.sh" 2>&1 >/dev/null </dev/null; then
  echo "FAILED: the test prefix could not be prepared (scripts/wine-prefix.sh)"
  exit 1
fi

out="$(mktemp "${TMPDIR:-/tmp}/qt-wine-out.XXXXXX")"
timeout -k 10 "$timeout_s" "$QT_WINE" "$@" >"$out" 2>&1 </dev/null
rc=$?
cat "$out"
rm -f "$out"
exit $rc
