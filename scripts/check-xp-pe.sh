#!/usr/bin/env bash
# Checks that a 32-bit Windows executable can load on Windows XP SP3:
#   - the PE header asks for subsystem version 5.01 or older and OS version
#     5.1 or older (XP's loader refuses an image that asks for more);
#   - every DLL and function it imports is on tools/xp-imports.txt, the list of
#     what XP SP3 has (an import XP lacks stops the program before main).
# Usage: check-xp-pe.sh EXE. Prints each problem; exits 1 if there is one,
# 2 on a usage or tool error. OBJDUMP overrides the objdump to use, and
# QT_XP_IMPORTS the list.
set -u
here="$(cd "$(dirname "$0")/.." && pwd)"
objdump="${OBJDUMP:-i686-w64-mingw32-objdump}"
list="${QT_XP_IMPORTS:-$here/tools/xp-imports.txt}"

if [ $# -ne 1 ]; then
  echo "usage: $0 EXE" >&2
  exit 2
fi
exe="$1"
if [ ! -f "$exe" ]; then
  echo "$exe: no such file" >&2
  exit 2
fi
if [ ! -f "$list" ]; then
  echo "$list: no such file" >&2
  exit 2
fi

dump="$(mktemp "${TMPDIR:-/tmp}/check-xp-pe.XXXXXX")"
trap 'rm -f "$dump"' EXIT
if ! "$objdump" -p "$exe" >"$dump" 2>&1; then
  cat "$dump" >&2
  echo "$exe: $objdump failed" >&2
  exit 2
fi

problems=0
problem() {
  echo "$exe: $*"
  problems=$((problems + 1))
}

if ! grep -q '^Magic[[:space:]]*010b' "$dump"; then
  problem "not a 32-bit (PE32) image"
fi

header_field() {
  awk -v name="$1" '$1 == name { print $2; exit }' "$dump"
}

# Compares a major.minor pair from the header with 5.1.
check_version() {
  local what="$1" major minor
  major="$(header_field "Major${what}Version")"
  minor="$(header_field "Minor${what}Version")"
  if [ -z "$major" ] || [ -z "$minor" ]; then
    problem "no ${what}Version in the PE header"
  elif [ "$major" -gt 5 ] || { [ "$major" -eq 5 ] && [ "$minor" -gt 1 ]; }; then
    problem "${what}Version is $major.$minor; Windows XP needs 5.1 or older"
  fi
}
check_version Subsystem
check_version OSystem

# The list: "[dll]" lines open a DLL's section, other lines name one function
# each; '#' starts a comment. DLL names match case-insensitively, functions
# exactly.
allowed="$(awk '
  { sub(/#.*/, ""); gsub(/[[:space:]]+/, "") }
  /^\[.*\]$/ { dll = tolower(substr($0, 2, length($0) - 2)); print dll " *"; next }
  $0 != "" && dll != "" { print dll " " $0 }
' "$list" | sort -u)"

# objdump -p lists each DLL as "DLL Name: X" followed by one line per import,
# "<tab><vma><tab><hint> <name>", or "<tab><vma><tab><ordinal> <none>" for an
# import by ordinal; the directory lines between DLLs start with a space.
imports="$(awk '
  /^The Import Tables/ { in_imports = 1; next }
  /^The Export Tables|^PE File Base Relocations|^The Function Table|^Resources/ { in_imports = 0 }
  !in_imports { next }
  /^[[:space:]]*DLL Name:/ { dll = tolower($3); print dll " *"; next }
  dll != "" && /^\t[0-9a-f]+\t/ {
    name = ($3 == "" || $3 == "<none>") ? "ordinal:" $2 : $3
    print dll " " name
  }
' "$dump" | sort -u)"

if [ -z "$imports" ]; then
  problem "no import table found"
fi

while read -r dll name; do
  [ -z "$dll" ] && continue
  if ! grep -qxF "$dll *" <<<"$allowed"; then
    [ "$name" = "*" ] && problem "imports $dll, a DLL not on the XP list"
    continue
  fi
  if [ "$name" != "*" ] && ! grep -qxF "$dll $name" <<<"$allowed"; then
    problem "imports $dll $name, not on the XP list"
  fi
done <<<"$imports"

if [ "$problems" -gt 0 ]; then
  echo "$exe: $problems problem(s) for Windows XP"
  exit 1
fi
echo "$exe: loads on Windows XP SP3 (header 5.1, $(grep -vc ' \*$' <<<"$imports") imports from $(grep -c ' \*$' <<<"$imports") DLLs, all on the list)"
