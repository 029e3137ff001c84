#!/usr/bin/env bash
# make bench: builds the benchmarks in their own trees (build/bench-native,
# build/bench-i686, build/bench-x86_64), runs them natively and under Wine in
# a private prefix (build/bench-wineprefix) on a virtual display, prints the
# tables and writes them to bench/results/RESULTS.md, followed by the
# hand-kept before/after figures of bench/results/before-after.md.
#
# The Wine measurements use the 32-bit programs; on a machine that cannot run
# 32-bit programs (scripts/wine-loader.sh), the 64-bit ones. Both
# executables' sizes are always reported.
#
# Every figure compared is a ratio measured in the same run: the median of
# several repetitions, the compared programs taking turns. Knobs:
#   QT_BENCH_REPS (5)        repetitions of the deletion and enumeration runs
#   QT_BENCH_BIG_REPS (3)    repetitions of the 12,500-entry tree
#   QT_BENCH_START_REPS (21)  start-ups of each program
#   QT_BENCH_QUICK (0)       1 measures only start-up and footprint
set -u
cd "$(dirname "$0")/.."
root="$PWD"
reps="${QT_BENCH_REPS:-5}"
big_reps="${QT_BENCH_BIG_REPS:-3}"
start_reps="${QT_BENCH_START_REPS:-21}"
jobs=2
work="$root/build/bench-results"
results="$root/bench/results/RESULTS.md"
rm -rf "$work"
mkdir -p "$work" "$(dirname "$results")"
began=$SECONDS
load_before="$(cut -d' ' -f1-3 /proc/loadavg)"

bash scripts/setup.sh || exit 1
. scripts/wine-loader.sh
warch=i686
[ "$QT_WINE32" = 1 ] || warch=x86_64
quick="${QT_BENCH_QUICK:-0}"
# The size aims of the shipped executables, in bytes.
size_aim_i686=300000
size_aim_x86_64=330000

say() { echo "== $*"; }
fail() { echo "bench: $*" >&2; exit 1; }

# --- builds -------------------------------------------------------------
build() {  # build DIR TOOLCHAIN(or "") TARGET...
  local dir="$1" toolchain="$2"; shift 2
  local args=(-S "$root" -B "$root/build/$dir" -DCMAKE_BUILD_TYPE=Release -DQT_BUILD_BENCH=ON -DBUILD_TESTING=OFF)
  [ -n "$toolchain" ] && args+=("-DCMAKE_TOOLCHAIN_FILE=$root/cmake/$toolchain")
  timeout 600 cmake "${args[@]}" >"$work/$dir.configure.log" 2>&1 || { cat "$work/$dir.configure.log"; fail "configure $dir"; }
  timeout 1200 cmake --build "$root/build/$dir" -j "$jobs" --target "$@" >"$work/$dir.build.log" 2>&1 ||
    { tail -40 "$work/$dir.build.log"; fail "build $dir"; }
}
say "build: native, i686, x86_64 (Wine measurements: $warch)"
build bench-native "" enum_bench delete_calls_bench
for arch in i686 x86_64; do
  targets=(qorvel-tweaker bare_window)
  [ "$arch" = "$warch" ] && targets+=(delete_tree_bench enum_bench)
  build "bench-$arch" "mingw-$arch.cmake" "${targets[@]}"
done
wbuild="$root/build/bench-$warch"

# --- native: calls per key, enumeration on the stand-in ------------------
say "native: registry calls per deleted key (stand-in counters)"
timeout 600 "$root/build/bench-native/bench/delete_calls_bench" >"$work/calls.md" 2>&1
calls_rc=$?
cat "$work/calls.md"
say "native: enumeration (stand-in)"
timeout 600 "$root/build/bench-native/bench/enum_bench" "stand-in (native)" "$reps" >"$work/enum.rows" 2>&1
tail -1 "$work/enum.rows"

# --- Wine: one prefix on a virtual display -------------------------------
export WINEPREFIX="$root/build/bench-wineprefix"
export QT_WINEPREFIX="$WINEPREFIX"
export QT_GUI_TMP="$work/gui"
mkdir -p "$QT_GUI_TMP"
export QT_ROOT="$root"
QT_REG_VIEW=/reg:32
[ "$warch" = i686 ] || QT_REG_VIEW=/reg:64
export QT_REG_VIEW
. "$root/scripts/gui-lib.sh"
trap 'qt_stop_all' EXIT
say "wine: virtual display and prefix"
qt_start_xvfb || fail "Xvfb did not start"
qt_seed_prefix || fail "the Wine prefix did not boot"

bench_wine() {  # bench_wine SECONDS OUTFILE EXE ARGS... (output through a file)
  local limit="$1" out="$2"; shift 2
  timeout -k 5 "$limit" "$QT_WINE" "$@" >"$out" 2>&1 </dev/null
}

bits=32
[ "$warch" = i686 ] || bits=64
enum_rc=0 delete_rc=0
: >"$work/delete.md"
: >"$work/delete.details"
if [ "$quick" != 1 ]; then
  say "wine: enumeration (real registry, $warch)"
  bench_wine 600 "$work/enum.wine" "$wbuild/bench/enum_bench.exe" "Wine $bits-bit (real registry)" "$reps"
  enum_rc=$?
  tr -d '\r' <"$work/enum.wine" | grep '^|' | tail -1 | tee -a "$work/enum.rows"

  say "wine: deleting trees ($warch; takes a few minutes)"
  bench_wine 3000 "$work/delete.wine" "$wbuild/bench/delete_tree_bench.exe" "$reps" "$big_reps"
  delete_rc=$?
  tr -d '\r' <"$work/delete.wine" | grep '^|' >"$work/delete.md"
  tr -d '\r' <"$work/delete.wine" | grep -v '^|' >"$work/delete.details"
  cat "$work/delete.md"
fi

# Start-up: from launching `wine EXE` to the window being visible on the X
# display, polled from outside in a tight loop, the same way for both
# programs. Both show and paint their window in one go (ShowWindow, then
# UpdateWindow), so "visible" is "first painted" to within the poll.
window_shown() { xdotool search --onlyvisible --name "$1" >/dev/null 2>&1; }
# The poll runs at a lower priority than the program it watches, so that on a
# busy machine it takes no processor time the program could use.
poll_shown() { nice -n 10 xdotool search --onlyvisible --name "$1" >/dev/null 2>&1; }
start_once() {  # start_once EXE TITLE [ARG] : prints milliseconds, or nothing
  local t0 t1 pid deadline=$((SECONDS + 60))
  t0=$(date +%s%N)
  setsid "$QT_WINE" "$1" ${3:+"$3"} >"$QT_GUI_TMP/start.log" 2>&1 </dev/null &
  pid=$!
  until poll_shown "$2"; do
    if [ "$SECONDS" -ge "$deadline" ]; then kill -9 "$pid" 2>/dev/null; wait "$pid" 2>/dev/null; return 1; fi
  done
  t1=$(date +%s%N)
  kill "$pid" 2>/dev/null
  qt_wait 20 bash -c "! xdotool search --name '$2' >/dev/null 2>&1" || kill -9 "$pid" 2>/dev/null
  wait "$pid" 2>/dev/null
  # Let Wine's desktop and the X server finish with the closed window before
  # the next program starts.
  sleep 0.3
  echo $(((t1 - t0) / 1000000))
}
median() { sort -n | awk '{ v[NR] = $1 } END { if (NR == 0) print "n/a"; else if (NR % 2) print v[(NR + 1) / 2]; else print (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

say "wine: start-up to first paint ($start_reps rounds, one warm-up)"
product="$wbuild/app/qorvel-tweaker.exe"
bare="$wbuild/bench/bare_window.exe"
# Wine ends its desktop process shortly after the last window closes and
# starts it again with the next program; one window kept open for the whole
# measurement keeps it up, as the desktop of a Windows session always is.
setsid "$QT_WINE" "$bare" keeper >"$QT_GUI_TMP/keeper.log" 2>&1 </dev/null &
keeper=$!
qt_wait 60 window_shown '^BenchDesktopKeeper$' || fail "the keeper window did not appear"
start_once "$product" '^Qorvel Tweaker$' >/dev/null
start_once "$bare" '^Bare Window$' >/dev/null
start_once "$bare" '^Bare Window$' dlls >/dev/null
: >"$work/start.pairs"
for round in $(seq "$start_reps"); do
  # The three take turns, each starting a round in turn, so that none is
  # always the one after the program (the slowest to tear down).
  p="" b="" d=""
  for slot in 0 1 2; do
    case $(((round + slot) % 3)) in
      0) p="$(start_once "$product" '^Qorvel Tweaker$')" ;;
      1) b="$(start_once "$bare" '^Bare Window$')" ;;
      2) d="$(start_once "$bare" '^Bare Window$' dlls)" ;;
    esac
  done
  if [ -n "$p" ] && [ -n "$b" ] && [ -n "$d" ]; then echo "$p $b $d" >>"$work/start.pairs"; fi
done
start_product="$(awk '{ print $1 }' "$work/start.pairs" | median)"
start_bare="$(awk '{ print $2 }' "$work/start.pairs" | median)"
start_dlls="$(awk '{ print $3 }' "$work/start.pairs" | median)"
start_ratio="$(awk '$2 > 0 { printf "%.3f\n", $1 / $2 }' "$work/start.pairs" | median)"
start_dlls_ratio="$(awk '$2 > 0 { printf "%.3f\n", $3 / $2 }' "$work/start.pairs" | median)"
start_own_ratio="$(awk '$3 > 0 { printf "%.3f\n", $1 / $3 }' "$work/start.pairs" | median)"
start_own_range="$(awk '$3 > 0 { printf "%.2f\n", $1 / $3 }' "$work/start.pairs" | sort -n | sed -n '1p;$p' | paste -sd-)"
start_range="$(awk '$2 > 0 { printf "%.2f\n", $1 / $2 }' "$work/start.pairs" | sort -n | sed -n '1p;$p' | paste -sd-)"
start_runs="$(wc -l <"$work/start.pairs")"
start_medians_ratio="$(awk -v p="$start_product" -v b="$start_bare" 'BEGIN { if (b > 0) printf "%.3f", p / b }')"
kill "$keeper" 2>/dev/null
wait "$keeper" 2>/dev/null
echo "product ${start_product} ms, bare ${start_bare} ms, bare + DLLs ${start_dlls} ms; ratio ${start_ratio} (${start_range}; of the medians ${start_medians_ratio}), to bare + DLLs ${start_own_ratio}, bare + DLLs / bare ${start_dlls_ratio} (${start_runs} rounds)"

qt_stop_all
trap - EXIT

# --- footprint -----------------------------------------------------------
imports() {  # imports OBJDUMP EXE : "DLL: n" per imported DLL
  "$1" -p "$2" | awk '
    /DLL Name:/ { dll = $3; order[++k] = dll; next }
    dll != "" && /^\t[0-9a-f]+\t +[0-9]+ / { n[dll]++ }
    END { for (i = 1; i <= k; i++) printf "%s%s: %d", (i > 1 ? ", " : ""), order[i], n[order[i]] }'
}
footprint_row() {  # footprint_row LABEL OBJDUMP EXE
  local size total
  size=$(stat -c %s "$3")
  total=$("$2" -p "$3" | awk '/DLL Name:/ { d = 1; next } d && /^\t[0-9a-f]+\t +[0-9]+ / { n++ } END { print n + 0 }')
  echo "| $1 | $size | $(awk -v s="$size" 'BEGIN { printf "%.0f", s / 1024 }') | $total | $(imports "$2" "$3") |"
}
verdict() { awk -v v="$1" -v aim="$2" 'BEGIN { if (v == "" || v == "n/a") print "not measured"; else if (v + 0 <= aim + 0) print "met"; else print "missed" }'; }
size_i686=$(stat -c %s "$root/build/bench-i686/app/qorvel-tweaker.exe")
size_x86_64=$(stat -c %s "$root/build/bench-x86_64/app/qorvel-tweaker.exe")
{
  echo "| executable | bytes | KiB | imported functions | imports (DLL: functions) |"
  echo "|---|---:|---:|---:|---|"
  for arch in i686 x86_64; do
    footprint_row "qorvel-tweaker.exe, $arch" "$arch-w64-mingw32-objdump" "$root/build/bench-$arch/app/qorvel-tweaker.exe"
    footprint_row "bare_window.exe, $arch" "$arch-w64-mingw32-objdump" "$root/build/bench-$arch/bench/bare_window.exe"
  done
  echo
  echo "Verdict, size i686: $size_i686 bytes, aim <= $size_aim_i686: $(verdict "$size_i686" "$size_aim_i686")"
  echo
  echo "Verdict, size x86_64: $size_x86_64 bytes, aim <= $size_aim_x86_64: $(verdict "$size_x86_64" "$size_aim_x86_64")"
} >"$work/footprint.md"
say "footprint"
cat "$work/footprint.md"
say "verdicts"
grep '^Verdict' "$work/footprint.md"
echo "Verdict, start-up / bare window: $start_ratio, aim <= 1.3: $(verdict "$start_ratio" 1.3)"
echo "Verdict, start-up / bare window with the program's start-up DLLs: $start_own_ratio, aim <= 1.1: $(verdict "$start_own_ratio" 1.1)"

# --- the results file ------------------------------------------------------
elapsed=$((SECONDS - began))
cpu="$(grep -m1 'model name' /proc/cpuinfo | sed 's/.*: //')"
enum_native_ratio="$(awk -F'|' 'NR == 1 { gsub(/ /, "", $7); print $7 }' "$work/enum.rows")"
enum_wine_ratio="$(awk -F'|' 'NR == 2 { gsub(/ /, "", $7); print $7 }' "$work/enum.rows")"
{
  echo "# Benchmark results"
  echo
  echo "Written by \`make bench\` (bench/run-bench.sh); figures of the last run."
  echo
  echo "- Date: $(date -u '+%Y-%m-%d %H:%M UTC')"
  echo "- Source: commit $(git rev-parse --short HEAD 2>/dev/null)$(git diff --quiet HEAD -- . ':!bench/results' 2>/dev/null || echo ', with uncommitted changes')"
  echo "- Machine: $(nproc) CPUs, $cpu; $(uname -sr); load average $load_before at the start, $(cut -d' ' -f1-3 /proc/loadavg) at the end"
  echo "  (the machine is shared: other jobs running meanwhile widen the spread of the timings)"
  echo "- Wine: $("$QT_WINE" --version 2>/dev/null) ($bits-bit programs in a 64-bit prefix, Xvfb display)"
  echo "- Compilers: $(i686-w64-mingw32-g++-posix -dumpversion) (MinGW-w64, release build: -Os, unused sections dropped, no symbols, static runtime), host g++ $(g++ -dumpversion)"
  echo "- Run time of \`make bench\`: ${elapsed} s (builds included)"
  echo "- Ratios are medians of the per-repetition ratios (the compared methods take turns within each repetition);"
  echo "  times are medians of the repetitions."
  echo
  echo "## 1. Deleting key trees under Wine ($warch)"
  echo
  echo "Identical trees below HKCU\\Software\\QorvelTweakerBench, built afresh (untimed) before every deletion."
  echo "DKT = Module1::DeleteKeyTree. Earlier Wine 8 measurements: about 0.7 of RegDeleteTreeA on Bags-shaped"
  echo "trees, 0.5 on flat ones, 1.25 on the deep chain. The Bags-shaped store has three leaf keys an entry"
  echo "(Shell, ComDlg, Desktop) and a nested level under every eighth Shell; the \"nested in every entry\" row"
  echo "has a Shell key with a view key below it in every entry (half its keys have subkeys). Ranges are the"
  echo "lowest and highest per-repetition ratios. The round-trip model column is the ratio the wineserver"
  echo "round trips predict: DeleteKeyTree 4 per leaf and 10 per key with subkeys, RegDeleteTreeA 8 per key."
  echo
  if [ "$quick" = 1 ]; then echo "(not measured in this run: QT_BENCH_QUICK=1)"; fi
  cat "$work/delete.md"
  if [ "$delete_rc" != 0 ]; then echo; echo "(delete_tree_bench exit status: $delete_rc)"; sed 's/^/    /' "$work/delete.details"; fi
  echo
  echo "## 2. Registry calls per deleted key (stand-in counters, native)"
  echo
  cat "$work/calls.md"
  echo
  echo "Verdict: $([ "$calls_rc" = 0 ] && echo 'met (2 per leaf, 6 per key with subkeys, 5 for the top key, exact on every shape)' || echo 'missed (see above)')"
  echo
  echo "## 3. Start-up to first paint under Wine + Xvfb ($warch)"
  echo
  echo "From launching \`wine EXE\` to the window being visible on the display, polled from outside"
  echo "(\`xdotool search --onlyvisible --name\` in a tight loop at a lower priority), the same way for every"
  echo "program. One warm-up each, then $start_reps rounds in which the programs take turns, each round begun by"
  echo "another one, with a pause of 0.3 s after each close. Both programs show and paint in one go"
  echo "(ShowWindow, UpdateWindow), so visible is painted to within the poll. One other window stays open"
  echo "throughout so that Wine's desktop process is up, as a Windows desktop is, rather than started anew by"
  echo "each program."
  echo
  echo "| program | median ms | runs |"
  echo "|---|---:|---:|"
  echo "| qorvel-tweaker.exe | $start_product | $start_runs |"
  echo "| bare_window.exe | $start_bare | $start_runs |"
  echo "| bare_window.exe dlls (the system DLLs the program loads at start, beyond the bare window's: advapi32, comctl32, uxtheme) | $start_dlls | $start_runs |"
  echo
  echo "| ratio | median | range | aim |"
  echo "|---|---:|---:|---|"
  echo "| qorvel-tweaker / bare | **$start_ratio** | $start_range | <= 1.3: $(verdict "$start_ratio" 1.3) |"
  echo "| qorvel-tweaker / bare with the program's DLLs | **$start_own_ratio** | $start_own_range | <= 1.1: $(verdict "$start_own_ratio" 1.1) |"
  echo "| median qorvel-tweaker / median bare | $start_medians_ratio | | (the same figures taken apart) |"
  echo "| bare with the program's DLLs / bare | $start_dlls_ratio | | (what the DLLs alone cost) |"
  echo
  echo "Verdict, start-up / bare window: $start_ratio, aim <= 1.3: $(verdict "$start_ratio" 1.3)"
  echo
  echo "Verdict, start-up / bare window with the program's start-up DLLs: $start_own_ratio, aim <= 1.1: $(verdict "$start_own_ratio" 1.1)"
  echo
  echo "Every round, ms (program, bare, bare with DLLs):"
  echo
  echo "    $(awk '{ printf "%s%s/%s/%s", (NR > 1 ? "  " : ""), $1, $2, $3 }' "$work/start.pairs")"
  echo
  echo "## 4. Footprint"
  echo
  cat "$work/footprint.md"
  echo
  echo "## 5. Enumerating 10,000 values"
  echo
  echo "RegistryRoutines::EnumRegistryValues against a bare RegEnumValueA loop that reads each name and its"
  echo "data (buffers sized once from RegQueryInfoKeyA) and keeps copies; alternating, same run."
  echo
  echo "| registry | values | reps | EnumRegistryValues ms | bare loop ms | ratio (aim <= 1.5) | ratio range |"
  echo "|---|---:|---:|---:|---:|---:|---:|"
  cat "$work/enum.rows"
  echo
  echo "Verdict: stand-in $(verdict "$enum_native_ratio" 1.5), Wine $(verdict "$enum_wine_ratio" 1.5)$([ "$enum_rc" = 0 ] || echo " (enum_bench.exe exit status $enum_rc)")"
  echo
  cat "$root/bench/results/before-after.md"
} >"$results"
say "results written to bench/results/RESULTS.md (${elapsed} s)"
[ "$calls_rc" = 0 ] && [ "$delete_rc" = 0 ] && [ "$enum_rc" = 0 ]
