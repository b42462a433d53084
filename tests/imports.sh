#!/usr/bin/env bash
# Checks what each built xpekko.exe is: a GUI program of its width (PE32 for
# build/win32, PE32+ for build/win64) that imports nothing but the system's
# own DLLs, so that it runs from any folder on a bare Windows.
set -uo pipefail
cd "$(dirname "$0")/.."
system=" advapi32.dll comctl32.dll gdi32.dll kernel32.dll msvcrt.dll shell32.dll user32.dll winmm.dll "
fail=0
check() {  # build dir, objdump prefix, PE magic
  local exe=build/$1/xpekko.exe
  [ -f "$exe" ] || return 0
  local dump
  dump=$("$2-objdump" -p "$exe") || { echo "FAIL $exe: unreadable"; fail=1; return; }
  grep -q "^Magic[[:space:]]*$3" <<<"$dump" || { echo "FAIL $exe: not PE magic $3"; fail=1; }
  grep -q "^Subsystem.*Windows GUI" <<<"$dump" || { echo "FAIL $exe: not a GUI program"; fail=1; }
  local dlls bad
  dlls=$(sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$dump" | tr 'A-Z' 'a-z')
  bad=$(for d in $dlls; do [[ $system == *" $d "* ]] || echo "$d"; done)
  if [ -n "$bad" ]; then echo "FAIL $exe imports $bad"; fail=1; fi
  echo "$exe: $(stat -c %s "$exe") bytes, imports $(echo $dlls)"
}
check win32 i686-w64-mingw32 010b
[ -f build/win32/xpekko.exe ] || { echo "FAIL build/win32/xpekko.exe is missing"; fail=1; }
check win64 x86_64-w64-mingw32 020b
exit $fail
