#!/usr/bin/env bash
# Makes sure the private Wine prefix exists and its wineserver runs, started
# with every output detached (see wine-run.sh). Safe to call often and from
# several processes at once. Fails, and says why, when the prefix cannot be
# made whole: window tests need its null graphics driver.
set -u
. "$(dirname "$0")/wine-env.sh"
mkdir -p "$(dirname "$WINEPREFIX")"
(
  flock 9
  # 9>&-: the long-lived processes must not inherit (and hold) the lock.
  if [ ! -f "$WINEPREFIX/.qt-ready" ]; then
    setsid timeout -k 10 300 "$QT_WINE" wineboot -i >/dev/null 2>&1 </dev/null 9>&-
    # Window tests run without a display: Wine's null graphics driver lets
    # them create and measure windows all the same.
    if ! setsid timeout -k 10 60 "$QT_WINE" reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f \
      >/dev/null 2>&1 </dev/null 9>&-; then
      echo "the Wine prefix $WINEPREFIX has no null graphics driver: 'reg add' failed" >&2
      exit 1
    fi
    touch "$WINEPREFIX/.qt-ready"
    # The desktop process started by the boot keeps the driver it found for
    # as long as the server runs: restart so the next one takes the null one.
    wineserver -k >/dev/null 2>&1 9>&- || true
    wineserver -w >/dev/null 2>&1 9>&- || true
  fi
  # A persistent server for the run; `wineserver -k` ends it.
  setsid wineserver -p >/dev/null 2>&1 </dev/null 9>&- || true
  setsid timeout -k 10 120 "$QT_WINE" wineboot >/dev/null 2>&1 </dev/null 9>&- || true
) 9>"$(dirname "$WINEPREFIX")/.wineprefix.lock" || exit 1
