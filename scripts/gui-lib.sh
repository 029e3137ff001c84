# Shell functions for driving the real program under Wine and a virtual X
# display: used by `make run` (scripts/run.sh) and the end-to-end test.
# Source it; set QT_ROOT (repository) and WINEPREFIX first.
#
# Every Wine process writes its output to a file, never to a pipe (Wine's
# helper processes would hold a pipe open), and runs with a timeout. Waits
# are conditions polled until a deadline, never fixed sleeps.

: "${QT_ROOT:?}"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
QT_GUI_TMP="${QT_GUI_TMP:-$(mktemp -d "${TMPDIR:-/tmp}/qt-gui.XXXXXX")}"
. "$QT_ROOT/scripts/wine-loader.sh"
QT_XVFB_PID=""
QT_PROGRAM_PID=""

qt_wine() {  # qt_wine SECONDS ARGS... ; output in $QT_GUI_TMP/wine.out
  local limit="$1"; shift
  timeout -k 5 "$limit" "$QT_WINE" "$@" >"$QT_GUI_TMP/wine.out" 2>&1 </dev/null
}

qt_wait() {  # qt_wait SECONDS COMMAND... : polls COMMAND until it succeeds
  local limit="$1"; shift
  local deadline=$((SECONDS + limit))
  until "$@"; do
    if [ "$SECONDS" -ge "$deadline" ]; then return 1; fi
    sleep 0.1
  done
}

qt_start_xvfb() {  # starts a virtual display, exports DISPLAY
  local n
  for n in $(seq 91 120); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] || break
  done
  Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >"$QT_GUI_TMP/xvfb.log" 2>&1 </dev/null &
  QT_XVFB_PID=$!
  export DISPLAY=":$n"
  qt_wait 15 xdotool getdisplaygeometry >/dev/null 2>&1
}

qt_boot_prefix() {  # creates $WINEPREFIX if needed and starts it afresh: its server detached, the RPC service first
  # Call it with DISPLAY set: the prefix's desktop process, started by the
  # first Wine process that needs a window, keeps the display it found for
  # as long as the server runs. The desktop registers the shell windows with
  # the RPC service when it starts, so the service must run before it, as on
  # Windows; else no one can ask the desktop shell to open anything (seen on
  # Wine 8), and an elevated program opens links only that way. Booting a new
  # prefix starts the desktop first: so the prefix's server is stopped, and
  # the service started before anything else (net fails when services.exe
  # has started it already).
  mkdir -p "$(dirname "$WINEPREFIX")"
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    setsid timeout -k 5 300 "$QT_WINE" wineboot -i >/dev/null 2>&1 </dev/null
  fi
  wineserver -k >/dev/null 2>&1 || true
  wineserver -w >/dev/null 2>&1 || true
  setsid wineserver -p >/dev/null 2>&1 </dev/null || true
  qt_wine 60 net start rpcss || true
}

qt_seed_prefix() {  # the keys the tweaks use, as a fresh Windows XP user has them
  # In both registry views of a 64-bit prefix (the media class key has a copy
  # in each, as on 64-bit Windows), in the one view of a 32-bit prefix.
  # Wine's drive Z: is the Linux root. The first import can come too early
  # for a prefix still booting: it is repeated until it takes.
  qt_boot_prefix
  local seed view
  seed="$(qt_winpath "$QT_ROOT/tests/e2e/seed.reg")"
  qt_wait 60 qt_wine 60 reg import "$seed" /reg:32 || return 1
  for view in $(qt_prefix_views); do
    qt_wine 60 reg import "$seed" "$view" && qt_seed_took "$QT_ROOT/tests/e2e/seed.reg" "$view" || return 1
  done
}

qt_seed_took() {  # qt_seed_took FILE VIEW : every key and value of the .reg FILE is there in that view
  # reg import answers 0 for a key it could not make and for a line it
  # could not read (seen on Wine 8): the keys are read back instead. The
  # file's outermost keys are listed with everything below them; a key
  # without values may show in that listing by its subkeys only.
  local top got="$QT_GUI_TMP/seed.got"
  : >"$got"
  while IFS= read -r top; do
    qt_wine 60 reg query "$top" /s "$2" || return 1
    tr -d '\r' <"$QT_GUI_TMP/wine.out" >>"$got"
  done < <(tr -d '\r' <"$1" | awk '/^\[/ { k = substr($0, 2, length($0) - 2); for (t in tops) if (index(k, t "\\") == 1) next; tops[k]; print k }')
  tr -d '\r' <"$1" | awk 'FNR == NR {
      if ($0 ~ /^HKEY_/) { key = tolower($0); n = split(key, part, /\\/); k = part[1]; for (i = 2; i <= n; i++) have[k = k "\\" part[i]] }
      else if ($0 ~ /^    /) { name = substr($0, 5); sub(/    REG_.*$/, "", name); have[key "|" tolower(name)] }
      next }
    /^\[/ { key = tolower(substr($0, 2, length($0) - 2)); need[key] }
    /^@=/ { need[key "|(default)"] }
    /^"[^"]*"=/ { match($0, /^"[^"]*"=/); need[key "|" tolower(substr($0, 2, RLENGTH - 3))] }
    END { for (n in need) if (!(n in have)) { print "not in the registry: " n; missing = 1 }; exit missing }' "$got" -
}

qt_prefix_views() {  # the registry views of $WINEPREFIX: "/reg:32 /reg:64", or "/reg:32" for a 32-bit one
  if [ -d "$WINEPREFIX/drive_c/windows/syswow64" ]; then echo /reg:32 /reg:64; else echo /reg:32; fi
}

qt_winpath() {  # qt_winpath PATH : the Windows form of an absolute Linux path (drive Z:)
  printf 'Z:%s' "${1//\//\\}"
}

qt_probe() {  # lists the window's controls into $QT_GUI_TMP/probe.txt; the probe's status
  local status=0
  timeout -k 5 30 "$QT_WINE" "$QT_PROBE" >"$QT_GUI_TMP/probe.txt" 2>&1 </dev/null || status=$?
  tr -d '\r' <"$QT_GUI_TMP/probe.txt" >"$QT_GUI_TMP/probe.clean"
  mv "$QT_GUI_TMP/probe.clean" "$QT_GUI_TMP/probe.txt"
  return $status
}

qt_field() {  # qt_field NAME COLUMN : a column of a control's probe line
  awk -F'\t' -v n="$1" -v c="$2" '$1 == n { print $c; exit }' "$QT_GUI_TMP/probe.txt"
}

qt_window_up() {
  qt_probe && grep -q '^window' "$QT_GUI_TMP/probe.txt" && [ "$(qt_field lblVersion 7)" != "Version" ]
}

qt_start_program() {  # qt_start_program EXE [DIR [NAME=VALUE...]] : starts it and waits for its window
  # DIR: its current folder; NAME=VALUE: environment of its process only.
  (cd "${2:-.}" && exec env "${@:3}" setsid "$QT_WINE" "$1" >"$QT_GUI_TMP/program.log" 2>&1 </dev/null) &
  QT_PROGRAM_PID=$!
  qt_wait 60 qt_window_up
}

qt_screen_xy() {  # qt_screen_xy NAME : the screen point at the middle of a control
  local xy wh
  local x y w h
  read -r x y <<<"$(qt_field "$1" 6)"
  read -r _ _ w h <<<"$(qt_field "$1" 5)"
  echo "$((${x:-0} + ${w:-0} / 2)) $((${y:-0} + ${h:-0} / 2))"
}

qt_click() {  # qt_click NAME : a real left click on a control
  local x y
  read -r x y <<<"$(qt_screen_xy "$1")"
  xdotool mousemove "$x" "$y" click 1
}

qt_click_tab() {  # qt_click_tab INDEX : a real left click on a tab (0-based)
  local ox oy x y w h
  read -r ox oy _ _ <<<"$(awk -F'\t' '$1 == "window" { print $2 }' "$QT_GUI_TMP/probe.txt")"
  read -r x y w h <<<"$(awk -F'\t' -v i="$1" '$1 == "tabrect" && $2 == i { print $3 }' "$QT_GUI_TMP/probe.txt")"
  xdotool mousemove $((ox + x + w / 2)) $((oy + y + h / 2)) click 1
}

qt_key() {  # qt_key KEYS... : real key presses to the program's window
  local win
  win="$(xdotool search --name '^Qorvel Tweaker$' | head -1)"
  if [ -n "$win" ]; then xdotool windowactivate --sync "$win" >/dev/null 2>&1 || true; fi
  xdotool key --clearmodifiers "$@"
}

qt_page_shown() {  # qt_page_shown FRAME : that page frame is the visible one
  qt_probe && [ "$(qt_field "$1" 3)" = 1 ]
}

qt_screenshot() {  # qt_screenshot FILE : the program's window, frame included
  local win
  win="$(xdotool search --name '^Qorvel Tweaker$' 2>/dev/null | head -1)"
  # The window has painted once the probe could read it; one more round
  # through the X server makes sure the last drawing arrived.
  xdotool getdisplaygeometry >/dev/null 2>&1
  if [ -n "$win" ]; then import -window "$win" "$1" 2>/dev/null || import -window root "$1"; else import -window root "$1"; fi
}

qt_stop_all() {
  if [ -n "$QT_PROGRAM_PID" ]; then kill "$QT_PROGRAM_PID" 2>/dev/null || true; fi
  wineserver -k >/dev/null 2>&1 || true
  if [ -n "$QT_XVFB_PID" ]; then
    kill "$QT_XVFB_PID" 2>/dev/null || true
    wait "$QT_XVFB_PID" 2>/dev/null || true
  fi
  QT_PROGRAM_PID=""; QT_XVFB_PID=""
}
