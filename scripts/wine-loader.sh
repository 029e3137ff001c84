# Which Wine loader starts programs on this machine (sourced by the other
# scripts). Debian's `wine` command (and wineboot, winepath ...) always starts
# the 32-bit loader when wine32 is installed, and that fails at once on a
# kernel that cannot run 32-bit programs. There the 64-bit loader starts
# 64-bit programs and Wine's own tools, and 32-bit programs cannot run at all.
#   QT_WINE    the loader command: "wine", or the 64-bit loader
#   QT_WINE32  1 when 32-bit programs can run here, else 0
# Only the kernel's refusal of the 32-bit loader (exit 126, "Exec format
# error") means that 32-bit programs cannot run here; a 32-bit loader that
# starts and then fails is a broken install, and the tests that use it fail.
# QT_WINE32_LOADER names another 32-bit loader, to try this out.
qt_loader32="${QT_WINE32_LOADER:-/usr/lib/wine/wine}"
QT_WINE=wine
QT_WINE32=1
if [ -x "$qt_loader32" ] && [ -x /usr/lib/wine/wine64 ]; then
  qt_said="$("$qt_loader32" --version 2>&1 >/dev/null)"
  qt_rc=$?
  if [ "$qt_rc" -eq 126 ] || [[ "$qt_said" == *"Exec format error"* ]]; then
    QT_WINE=/usr/lib/wine/wine64
    QT_WINE32=0
    export WINELOADER=/usr/lib/wine/wine64
  fi
  unset qt_said qt_rc
fi

qt_pe_is_32bit() {  # qt_pe_is_32bit EXE : true for an i386 Windows program
  local offset
  offset="$(od -An -tu4 -j 60 -N4 "$1" 2>/dev/null | tr -d ' ')"
  [ -n "$offset" ] && [ "$(od -An -tx2 -j $((offset + 4)) -N2 "$1" 2>/dev/null | tr -d ' ')" = 014c ]
}

qt_cannot_run() {  # qt_cannot_run EXE NAME : true when EXE cannot run here; then says
  # why and, for make test's summary, writes a GoogleTest-style report of one
  # skipped case NAME.
  [ "$QT_WINE32" = 0 ] && qt_pe_is_32bit "$1" || return 1
  local reason="this machine cannot run 32-bit programs (its kernel refuses the 32-bit Wine loader)"
  echo "SKIPPED $2: $reason"
  [ -n "${GTEST_OUTPUT:-}" ] || return 0
  local dir="${GTEST_OUTPUT#xml:}"
  case "$dir" in Z:*) dir="$(printf '%s' "${dir#Z:}" | tr '\\' '/')" ;; esac
  mkdir -p "$dir"
  printf '<?xml version="1.0" encoding="UTF-8"?>\n<testsuites tests="1" failures="0" disabled="0" errors="0" name="%s">\n  <testsuite name="%s" tests="1" failures="0"><testcase name="%s"><skipped message="%s"/></testcase></testsuite>\n</testsuites>\n' \
    "$2" "$2" "$2" "$reason" >"$dir/$2.xml"
}
