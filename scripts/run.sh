#!/usr/bin/env bash
# make run: builds the 32-bit program and starts it under Wine (the 64-bit
# one on a machine that cannot run 32-bit programs).
#
# The Wine prefix is build/run-prefix, seeded with what a fresh Windows XP
# user has at the keys the tweaks use, unless WINEPREFIX is set. With a
# display (DISPLAY set) the window opens for you. Without one, a virtual
# display is started, a screenshot of each page is saved (their paths are
# printed) and the program ends.
set -eu
cd "$(dirname "$0")/.."
export QT_ROOT="$PWD"
bash scripts/setup.sh
. scripts/wine-loader.sh
preset=mingw-i686
[ "$QT_WINE32" = 1 ] || preset=mingw-x86_64
cmake --preset $preset >build.run.log 2>&1 || { cat build.run.log; exit 1; }
cmake --build build/$preset -j 2 --target qorvel-tweaker qt-probe >>build.run.log 2>&1 || { tail -40 build.run.log; exit 1; }
rm -f build.run.log
exe="$PWD/build/$preset/app/qorvel-tweaker.exe"
export QT_PROBE="$PWD/build/$preset/tools/qt-probe.exe"
seed=0
if [ -z "${WINEPREFIX:-}" ]; then
  export WINEPREFIX="$PWD/build/run-prefix"
  [ -f "$WINEPREFIX/system.reg" ] || seed=1
fi
. scripts/gui-lib.sh
trap qt_stop_all EXIT

if [ -n "${DISPLAY:-}" ]; then
  if [ "$seed" = 1 ]; then qt_seed_prefix; else qt_boot_prefix; fi
  "$QT_WINE" "$exe"
  exit 0
fi

qt_start_xvfb
if [ "$seed" = 1 ]; then qt_seed_prefix; else qt_boot_prefix; fi
qt_start_program "$exe" || { echo "the window did not appear; see $QT_GUI_TMP/program.log"; exit 1; }
shots="$PWD/build/screenshots"
mkdir -p "$shots"
for page in about video folders; do
  case $page in about) key=alt+a; frame=frAbout ;; video) key=alt+v; frame=frVideo ;; folders) key=alt+f; frame=frFolders ;; esac
  qt_key "$key"
  qt_wait 20 qt_page_shown "$frame" || echo "the $page page did not show"
  qt_screenshot "$shots/$page.png"
  echo "$shots/$page.png"
done
qt_key alt+e
qt_wait 20 sh -c "! kill -0 $QT_PROGRAM_PID 2>/dev/null" || true
