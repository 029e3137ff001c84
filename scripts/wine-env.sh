# The environment of the tests' Wine prefix (sourced by wine-run.sh and
# wine-prefix.sh): the private prefix (QT_WINEPREFIX, or build/wineprefix of
# this repository), quiet Wine, no Mono or Gecko install prompts, no display
# (window tests use the prefix's null graphics driver), and the loader that
# runs here (wine-loader.sh).
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
export WINEPREFIX="${QT_WINEPREFIX:-$here/build/wineprefix}"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
unset DISPLAY
. "$here/scripts/wine-loader.sh"
