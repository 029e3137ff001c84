#!/usr/bin/env bash
# Builds and starts the program. The window is not built yet: this builds the
# libraries for 32-bit Windows and says so.
set -eu
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake --preset mingw-i686 >/dev/null
cmake --build build/mingw-i686 -j 2 >/dev/null
if [ -f build/mingw-i686/qorvel-tweaker.exe ]; then
  exec bash scripts/wine-run.sh build/mingw-i686/qorvel-tweaker.exe
fi
echo "The main window is not built yet: the registry libraries and their tests are (make test)."
