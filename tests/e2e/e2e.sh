#!/usr/bin/env bash
# End-to-end test: starts the real program under Wine on a virtual display
# with a seeded registry, drives it with real X input (xdotool), and after
# each action checks the registry from outside the program (wine reg query)
# and the controls (texts, visibility, pixel rectangles, focus) through
# qt-probe. Saves a screenshot of each page. Every process it starts is
# stopped at the end. The 32-bit and the 64-bit program each run it in a
# prefix of their own; the registry is seeded in every view and the media
# class key read in each (/reg:32 and /reg:64: Wine redirects
# HKLM\Software\Classes\CLSID for 32-bit programs in a 64-bit prefix, as
# 64-bit Windows does), the rest in the view the shell reads.
# The program runs from a folder of its own, with another as its current
# folder; both hold the planted DLLs, which log every process that loads them.
#
# Usage: e2e.sh PROGRAM.exe PROBE.exe PROBE32.exe PLANTED.dll...
# PROBE32.exe: a 32-bit build of qt-probe, for what a screen reader sees.
set -u
export QT_ROOT="$(cd "$(dirname "$0")/../.." && pwd)"
exe="$1"
export QT_PROBE="$2"
probe32="$3"
. "$QT_ROOT/scripts/wine-loader.sh"
qt_cannot_run "$exe" e2e && exit 77
bits=64
qt_pe_is_32bit "$exe" && bits=32
export WINEPREFIX="${QT_E2E_PREFIX:-$QT_ROOT/build/e2e-prefix-$bits}"
rm -rf "$WINEPREFIX"
. "$QT_ROOT/scripts/gui-lib.sh"
trap qt_stop_all EXIT
shots="$QT_ROOT/build/screenshots/e2e-$bits"
mkdir -p "$shots"

passed=0; failed=0; skips=()
no32="no 32-bit Wine loader here, and only a 32-bit caller reaches accessible objects under Wine 8"
check() {  # check NAME COMMAND... : one test case
  local name="$1"; shift
  if "$@"; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1)); echo "FAILED: $name"
  fi
}
setup() {  # setup NAME COMMAND... : a step the checks need; not a check, yet its failure fails the run
  local name="$1"; shift
  "$@" || { failed=$((failed + 1)); echo "FAILED (set-up): $name"; }
}
eq() {  # eq GOT EXPECTED
  [ "$1" = "$2" ] && return 0
  echo "  got:      [$1]"; echo "  expected: [$2]"; return 1
}
field_is() { eq "$(qt_field "$1" "$2")" "$3"; }
visible_pages() { eq "$(qt_field frAbout 3)$(qt_field frVideo 3)$(qt_field frFolders 3)" "$1"; }
reg_value() {  # reg_value KEY NAME [VIEW] : "TYPE DATA" as wine reg query prints it, or "absent"
  local args=(/v "$2"); [ -z "$2" ] && args=(/ve)
  if qt_wine 60 reg query "$1" "${args[@]}" "${3:-$QT_REG_VIEW}"; then
    tr -d '\r' <"$QT_GUI_TMP/wine.out" | awk 'NF >= 2 && $0 ~ /REG_/ { for (i = 1; i <= NF; i++) if ($i ~ /^REG_/) { t = $i; d = ""; for (j = i + 1; j <= NF; j++) d = d (d == "" ? "" : " ") $j; print t "|" d; exit } }'
  else
    echo absent
  fi
}
# The media class key's value in every registry view of the prefix, ";"
# between views; in_views repeats one view's answer as often.
avi_value() { local view; for view in $(qt_prefix_views); do reg_value "$AVI" "$1" "$view"; done | paste -sd';'; }
in_views() { local view; for view in $(qt_prefix_views); do echo "$1"; done | paste -sd';'; }
key_exists() { qt_wine 60 reg query "$1" "$QT_REG_VIEW"; }
key_absent() { ! qt_wine 60 reg query "$1" "$QT_REG_VIEW"; }
subkeys_of() {  # subkeys_of KEY : the names of its subkeys, one line
  qt_wine 60 reg query "$1" "$QT_REG_VIEW" && tr -d '\r' <"$QT_GUI_TMP/wine.out" |
    K="$1" awk 'BEGIN { depth = split(ENVIRON["K"], parts, /\\/) } /^HKEY/ { if (split($0, p, /\\/) == depth + 1) printf "%s ", p[depth + 1] }'
}

AVI='HKLM\Software\Classes\CLSID\{87D62D94-71B3-4b9a-9489-5FE6850DC73E}\InProcServer32'
WIN='HKCU\Software\Microsoft\Windows'

qt_start_xvfb || { echo "no virtual display"; exit 1; }
setup "the keys seeded in every registry view" qt_seed_prefix
# The view the shell reads, which both programs show and write first: the
# 64-bit one in a 64-bit prefix.
QT_REG_VIEW="$(qt_prefix_views | awk '{ print $NF }')"

# The planted DLLs stand in for uxtheme and shell32, neither a known DLL.
# Wine prefers its built-in DLLs wherever a DLL of that name lies; "n,b" for
# the program's process makes it search as Windows does: the program's
# folder first. The other Wine calls of the test keep the built-in DLLs.
mkdir -p "$QT_GUI_TMP/program" "$QT_GUI_TMP/current"
cp "${@:4}" "$QT_GUI_TMP/program/"
cp "${@:4}" "$QT_GUI_TMP/current/"
cp "$exe" "$QT_GUI_TMP/program/"
program="$QT_GUI_TMP/program/$(basename "$exe")"
# Wine hands no Unix variable named QT_* on to Windows programs (seen on
# Wine 8): the user's environment in the registry carries it instead.
setup "the planted DLLs' log is named" qt_wine 60 reg add 'HKCU\Environment' /v QT_PLANTED_LOG /d "$(qt_winpath "$QT_GUI_TMP/planted.log")" /f
start_program() {
  qt_start_program "$program" "$QT_GUI_TMP/current" WINEDLLOVERRIDES="$WINEDLLOVERRIDES;uxtheme,shell32=n,b"
}
planted_loads() {  # the lines of the program's process in the planted DLLs' log
  tr -d '\r' <"$QT_GUI_TMP/planted.log" 2>/dev/null |
    EXE="$(qt_winpath "$program")" awk -F'\t' 'tolower($1) == tolower(ENVIRON["EXE"])'
}
# The shell opens http addresses with qt-probe, which writes them to a file.
# Classes\http is one key for both registry views, in Wine's prefix as on
# 64-bit Windows.
setup "qt-probe opens http addresses" qt_wine 60 reg add 'HKLM\Software\Classes\http\shell\open\command' /ve /f "$QT_REG_VIEW" \
  /d "\"$(qt_winpath "$QT_PROBE")\" opened \"$(qt_winpath "$QT_GUI_TMP/opened.log")\" \"%1\""
opened() { tr -d '\r' <"$QT_GUI_TMP/opened.log" 2>/dev/null | cut -f"$1"; }  # opened FIELD : that field of each line logged

check "program starts and shows its window" start_program
# A program that took a planted DLL at start-up runs on a stand-in that
# exports nothing, and so do its common controls: Wine's comctl32 looks for
# uxtheme along the program's search path in its DllMain, before any code of
# the program runs, and again when the program creates its first tab control
# (seen on Wine 8). The checks below would test the stand-in: the check at
# the end names what was taken, and the session goes on with the program as
# built and Wine's own DLLs.
if [ -n "$(planted_loads)" ]; then
  echo "the program took a planted DLL at start-up: it runs on without them"
  wineserver -k; wineserver -w; qt_boot_prefix
  start_program() { qt_start_program "$exe"; }
  start_program
fi

# Start-up: the About page alone, the version caption, the window's size.
qt_probe
check "start-up shows only the About page" visible_pages 100
# The build's version numbers, from the header CMake generated beside the program.
version_number() { sed -n "s/^#define QT_VERSION_$1 \([0-9]*\)$/\1/p" "$(dirname "$exe")/../generated/app/version.h"; }
check "version caption" field_is lblVersion 7 "Version $(version_number MAJOR).$(version_number MINOR).$(version_number REVISION)"
check "tab 1 selected" field_is tab 2 0
check "client area 379 x 440" eq "$(awk -F'\t' '$1 == "window" { split($2, a, " "); print a[3] "x" a[4] }' "$QT_GUI_TMP/probe.txt")" 379x440
check "focus on the tab strip" field_is focus 2 TabStrip1
# A fixed frame: of WS_OVERLAPPEDWINDOW's bits only caption and system menu
# (no sizing border, no minimise or maximise box); centred on the work area.
check "a fixed frame" eq $((0x$(qt_field style 2) & 0x00CF0000)) $((0x00C80000))
read -r fx fy fw fh <<<"$(qt_field frame 2)"; read -r ax ay aw ah <<<"$(qt_field workarea 2)"
check "the window centred on the work area" eq "$fx $fy" "$((ax + (aw - fw) / 2)) $((ay + (ah - fh) / 2))"
# Rectangles (client coordinates of the main window, 96 DPI): the frame's
# children are placed relative to their frame.
while read -r name rect; do
  check "rectangle of $name" field_is "$name" 5 "$rect"
done <<'RECTS'
TabStrip1 8 8 361 425
Exit_Button 288 88 65 25
URLLink3 200 368 121 17
RECTS
# The links carry their texts as window texts, as screen readers read them.
check "link texts" eq "$(qt_field URLLink1 7)|$(qt_field URLLink2 7)|$(qt_field URLLink3 7)|$(qt_field URLLink4 7)" \
  "Valdrin dot Net|Qorvel VB Programming|Qorvel PHP Programming|Qorvel Message Forum"
check "title text keeps its line ends" field_is Title_Text 7 'Click on the Tabs at the bottom to begin.\r\nThis was designed for Microsoft Windows XP\r\n'
qt_screenshot "$shots/about.png"

# Tooltip of the portrait.
read -r px py <<<"$(qt_screen_xy Picture1)"
xdotool mousemove "$px" "$py"
check "portrait tooltip" qt_wait 15 eval 'qt_probe && grep -q "^tooltip	Zombies love pudding!" "$QT_GUI_TMP/probe.txt"'

# What a screen reader reads of the program's own controls, through the
# 32-bit probe: under Wine 8 a 64-bit caller gets no object of another
# process's windows. Each line: name|role|accName|accValue|accState|action
# (as many fields as given). Without a 32-bit loader these checks are skipped;
# the links' clicks below open the addresses of these rows in any case.
check32() {
  if [ "$QT_WINE32" = 1 ]; then check "$@"; else skips+=("$1"); echo "SKIPPED: $1: $no32"; fi
}
[ "$QT_WINE32" = 1 ] && qt_wine 30 "$probe32" access && tr -d '\r' <"$QT_GUI_TMP/wine.out" >"$QT_GUI_TMP/access.txt"
access_of() {  # access_of NAME FIELDS : the first FIELDS fields of its line, the name left out
  awk -F'\t' -v n="$1" -v k="$2" '$1 == n { out = $2; for (i = 3; i <= k; i++) out = out "|" $i; print out; exit }' \
    "$QT_GUI_TMP/access.txt" 2>/dev/null
}
access_rows='URLLink1|1e|Valdrin dot Net|http://www.valdrin.net/|500000|Click
URLLink2|1e|Qorvel VB Programming|http://www.valdrin.net/programming/vb/|500000|Click
URLLink3|1e|Qorvel PHP Programming|http://www.valdrin.net/programming/php/|500000|Click
URLLink4|1e|Qorvel Message Forum|http://www.valdrin.net/forum/|500000|Click
frVideo|14|Video
picIcon|28|Drawn by Moth'
while IFS='|' read -r name want; do
  check32 "what a screen reader reads of $name" eq "$(access_of "$name" "$(awk -F'|' '{ print NF + 1 }' <<<"$want")")" "$want"
done <<<"$access_rows"
# The second link's default action opens its address once, as a click does.
check32 "the second link's default action opens its address once" eval 'qt_wine 30 "$probe32" act URLLink2 &&
  qt_wait 30 test -s "$QT_GUI_TMP/opened.log" && eq "$(opened 1)" http://www.valdrin.net/programming/vb/'
qt_wait 20 eval 'qt_probe && ! grep -q "^foreground	other" "$QT_GUI_TMP/probe.txt"'

# Video page by a click on its tab: the status fields show the registry.
qt_click_tab 1
check "clicking the Video tab shows the Video page" qt_wait 20 qt_page_shown frVideo
qt_probe
check "only the Video page" visible_pages 010
check "status field 1 shows the expanded server path" field_is AVI_Output_Text1 7 'C:\\windows\\System32\\shmedia.dll'
check "rectangle of AVI_New" field_is AVI_New 5 "40 280 81 25"
check "rectangle of AVI_Output_Text1" field_is AVI_Output_Text1 5 "32 320 289 25"
qt_screenshot "$shots/video.png"

qt_click AVI_New
check "New blanks both values in the status fields" qt_wait 20 eval 'qt_probe && [ -z "$(qt_field AVI_Output_Text1 7)$(qt_field AVI_Output_Text2 7)" ]'
check "New: ThreadingModel is an empty REG_SZ in every view" eq "$(avi_value ThreadingModel)" "$(in_views "REG_SZ|")"

qt_click AVI_Default
check "Default restores the status fields" qt_wait 20 eval 'qt_probe && [ "$(qt_field AVI_Output_Text2 7)" = Both ]'
check "Default: server path stored unexpanded in every view" eq "$(avi_value "")" \
  "$(in_views 'REG_EXPAND_SZ|%SystemRoot%\System32\shmedia.dll')"

# The elevated copy alone, as UAC starts it (under Wine every process has
# full rights, so the program itself never starts it): the action's writes in
# every view, no window (it ends by itself), 0 as its exit code; it searches
# DLLs as the program does (the planted ones are checked at the end).
copy_run() { WINEDLLOVERRIDES="$WINEDLLOVERRIDES;uxtheme,shell32=n,b" qt_wine 60 "$program" "$1"; }
check "the copy's /avi-new blanks every view and ends with 0" eval \
  'copy_run /avi-new && [ "$(avi_value ThreadingModel)" = "$(in_views "REG_SZ|")" ]'
check "the copy's /avi-default restores every view and ends with 0" eval \
  'copy_run /avi-default && [ "$(avi_value ThreadingModel)" = "$(in_views "REG_SZ|Both")" ]'

# A change made outside shows when the page is shown again.
setup "another program changes the key" qt_wine 60 reg add "$AVI" /v ThreadingModel /t REG_SZ /d Apartment /f "$QT_REG_VIEW"
qt_key alt+a
check "Alt+A shows the About page" qt_wait 20 qt_page_shown frAbout
qt_key alt+v
check "Alt+V re-reads the registry" qt_wait 20 eval 'qt_probe && [ "$(qt_field AVI_Output_Text2 7)" = Apartment ]'

# A user without write rights on the key (the rest of the run needs none):
# New and Default change nothing and show no box; the status fields show the
# data as it is. The About page shows once both clicks are handled.
for view in $(qt_prefix_views); do
  setup "the key becomes read-only in view $view" qt_wine 30 "$QT_PROBE" readonly "${AVI#HKLM\\}" "${view#/reg:}"
done
check "the copy ends with the refusal's status, 5" eval 'copy_run /avi-new; [ $? -eq 5 ]'
qt_click AVI_New
qt_click AVI_Default
qt_key alt+a
setup "both clicks handled" qt_wait 20 qt_page_shown frAbout
check "without write rights New and Default change nothing" eq "$(reg_value "$AVI" "")|$(reg_value "$AVI" ThreadingModel)" \
  'REG_EXPAND_SZ|%SystemRoot%\System32\shmedia.dll|REG_SZ|Apartment'
check "without write rights no box, and the fields show the data" eq \
  "$(grep -c '^box' "$QT_GUI_TMP/probe.txt")|$(qt_field AVI_Output_Text1 7)|$(qt_field AVI_Output_Text2 7)" \
  '0|C:\\windows\\System32\\shmedia.dll|Apartment'

# Folders page by its access key.
qt_key alt+f
check "Alt+F shows the Folders page" qt_wait 20 qt_page_shown frFolders
qt_probe
check "rectangle of Reset_Folders" field_is Reset_Folders 5 "32 360 97 25"
qt_screenshot "$shots/folders.png"

qt_click Increase_Folders
check "Increase Folders: Shell holds 4000" qt_wait 20 eval '[ "$(reg_value "$WIN\Shell" "BagMRU Size")" = "REG_DWORD|0xfa0" ]'
qt_click Default_Folders
check "Default Folders: Shell has no value" qt_wait 20 eval '[ "$(reg_value "$WIN\Shell" "BagMRU Size")" = absent ]'
check "a click takes the focus" eval 'qt_probe && field_is focus 2 Default_Folders'
qt_key shift+Tab Return
check "Return presses the focused button (Increase Folders)" qt_wait 20 eval '[ "$(reg_value "$WIN\Shell" "BagMRU Size")" = "REG_DWORD|0xfa0" ]'
# Another program's window takes the activation (a real click on it); a
# click on the banner, which takes no focus, activates the program again.
timeout -k 5 90 "$QT_WINE" "$QT_PROBE" window >"$QT_GUI_TMP/window.out" 2>&1 </dev/null &
setup "another window becomes the active one" qt_wait 20 eval 'xdotool search --name "^qt-probe window$" >/dev/null &&
  xdotool mousemove 100 60 click 1 && qt_probe && grep -q "^foreground	other" "$QT_GUI_TMP/probe.txt"'
qt_click Qorvel_Picture
check "the focus comes back on re-activation" qt_wait 20 eval 'qt_probe && [ "$(qt_field focus 2)" = Increase_Folders ]'
qt_click Reset_Folders
check "Reset Views removes ShellNoRoam\\BagMRU" qt_wait 20 key_absent "$WIN\ShellNoRoam\BagMRU"
check "Reset Views keeps ShellNoRoam" key_exists "$WIN\ShellNoRoam\MUICache"
check "Reset Views keeps Shell\\BagMRU" key_exists "$WIN\Shell\BagMRU\0"

# A key below Bags that nobody may open, and that has a subkey: deleting it
# is refused too (Wine lets a key with an empty access list be deleted when
# it has no subkeys). The reset shows the "Access Denied" box once, modal for
# the program, and removes everything else.
for key in 'Bags\7\Shell\Locked\Inner' 'Bags\7\Shell\Other' 'Bags\8\Shell' 'BagMRU\0'; do
  setup "ShellNoRoam\\$key is made" qt_wine 60 reg add "$WIN\\ShellNoRoam\\$key" /f "$QT_REG_VIEW"
done
setup "a key refuses access" qt_wine 30 "$QT_PROBE" deny 'Software\Microsoft\Windows\ShellNoRoam\Bags\7\Shell\Locked'
box_shown() { qt_probe && grep -q "^box	Access Denied	Access denied to delete registry key.$" "$QT_GUI_TMP/probe.txt"; }
main_disabled() { (( 0x$(awk -F'\t' '$1 == "style" { print $2 }' "$QT_GUI_TMP/probe.txt") & 0x08000000 )); }
qt_click Reset_Folders
check "the refusing key shows the Access Denied box" qt_wait 20 box_shown
check "the main window takes no input while the box shows" main_disabled
import -window root "$shots/access-denied.png" 2>/dev/null
box="$(xdotool search --name '^Access Denied$' | head -1)"
[ -n "$box" ] && xdotool windowactivate --sync "$box" >/dev/null 2>&1
xdotool key --clearmodifiers Return
check "after OK the program answers" qt_wait 20 eval 'qt_key alt+a; qt_page_shown frAbout'
check "no further box" eval 'qt_probe && ! grep -q "^box" "$QT_GUI_TMP/probe.txt" && ! main_disabled'
check "the refusing key and its ancestors stay" eq "$(subkeys_of "$WIN\ShellNoRoam\Bags\7\Shell")" "Locked "
check "its siblings go" key_absent "$WIN\ShellNoRoam\Bags\8"
check "BagMRU goes" key_absent "$WIN\ShellNoRoam\BagMRU"

# The Tab key walks the TabIndex order over what can take the focus on the
# page shown, and wraps.
tab_walk() {  # tab_walk ACCESS-KEY [KEY] : the focus after each of six Tab (or KEY) presses
  local order=""
  qt_key "$1"
  for _ in 1 2 3 4 5 6; do
    qt_key "${2:-Tab}"
    qt_probe
    order="$order $(qt_field focus 2)"
  done
  echo "$order"
}
check "Tab order on the Folders page" eq "$(tab_walk alt+f)" " Exit_Button Reset_Folders Increase_Folders Default_Folders TabStrip1 Exit_Button"
check "Tab order on the Video page" eq "$(tab_walk alt+v)" " Exit_Button AVI_Output_Text1 AVI_Output_Text2 AVI_New AVI_Default TabStrip1"
check "Tab order on the About page" eq "$(tab_walk alt+a)" " URLLink2 URLLink1 Exit_Button URLLink3 URLLink4 TabStrip1"
check "Shift+Tab order on the About page" eq "$(tab_walk alt+a shift+Tab)" " URLLink4 URLLink3 Exit_Button URLLink1 URLLink2 TabStrip1"
qt_key Tab Tab
qt_screenshot "$shots/about-link-focus.png"

# A click on each link opens its own address through the shell. The
# handler, a console program, takes the foreground with its console window;
# once that has closed, a click reaches the program again. Wine reports every
# process elevated with a full token (seen on Wine 8 only; on Windows that is
# an administrator who answered the prompt): the desktop shell's process,
# not the program, starts the handler, which logs "address<tab>parent".
while IFS='|' read -r name _ _ address _; do
  rm -f "$QT_GUI_TMP/opened.log"
  qt_probe && qt_click "$name"
  check "a click on $name opens its own address" eval 'qt_wait 30 test -s "$QT_GUI_TMP/opened.log" && eq "$(opened 1)" "$address"'
  qt_wait 20 eval 'qt_probe && ! grep -q "^foreground	other" "$QT_GUI_TMP/probe.txt"'
done <<<"$(grep '^URLLink' <<<"$access_rows")"
qt_click_tab 1
check "the program answers after opening a link" qt_wait 20 eval 'qt_page_shown frVideo && ! grep -q "^box" "$QT_GUI_TMP/probe.txt"'
check "the desktop shell starts the link's handler" eq "$(opened 2 | tr 'A-Z' 'a-z')" explorer.exe

# Alt+E ends the program, and so does Close on the window's system menu
# (Alt+Space, then C: the menu takes the queued key).
qt_key alt+e
check "Alt+E ends the program" qt_wait 30 sh -c "! kill -0 $QT_PROGRAM_PID 2>/dev/null"
check "the program starts again" start_program
qt_key alt+space c
check "Close on the system menu ends the program" qt_wait 30 sh -c "! kill -0 $QT_PROGRAM_PID 2>/dev/null"

# Over the whole session no DLL was taken from the program's or the current
# folder. Other Wine processes may load the planted DLLs: only the program's
# lines (exe path, then DLL path) count.
check "no DLL from the program's or the current folder" eq "$(planted_loads)" ""

echo "$passed passed, $failed failed, ${#skips[@]} skipped (end-to-end)"
# The counts in GoogleTest's XML form, for the summary of make test.
if [ -n "${GTEST_OUTPUT:-}" ]; then
  dir="${GTEST_OUTPUT#xml:}"
  case "$dir" in Z:*) dir="$(printf '%s' "${dir#Z:}" | tr '\\' '/')" ;; esac
  mkdir -p "$dir"
  { echo "<testsuites tests=\"$((passed + failed + ${#skips[@]}))\" failures=\"$failed\" errors=\"0\" disabled=\"0\" name=\"e2e\">"
    for name in "${skips[@]}"; do echo "<testcase name=\"$name\"><skipped message=\"$no32\"/></testcase>"; done
    echo "</testsuites>"; } >"$dir/e2e.xml"
fi
[ "$failed" -eq 0 ]
