#!/usr/bin/env bash
# Prints which Windows build this host's Wine can run: "win32" where the
# kernel runs 32-bit programs, "win64" where it does not (a kernel with its
# 32-bit emulation switched off cannot start Wine's 32-bit loader either).
# XPEKKO_WINE_BUILD=win32|win64 overrides the answer, e.g. to run the 64-bit
# twin on a host that could run both.
#   --probe  ignores the override: only what the kernel does counts.
set -euo pipefail

if [ "${1:-}" != --probe ] && [ -n "${XPEKKO_WINE_BUILD:-}" ]; then
  case $XPEKKO_WINE_BUILD in
    win32 | win64) echo "$XPEKKO_WINE_BUILD"; exit 0 ;;
    *) echo "XPEKKO_WINE_BUILD must be win32 or win64, not '$XPEKKO_WINE_BUILD'" >&2; exit 2 ;;
  esac
fi

# Asking the distribution or the CPU says nothing about the kernel's
# setting, so try one: the smallest i386 ELF program, which only calls
# exit(0) (xor ebx,ebx; mov eax,1; int 0x80). Where 32-bit programs cannot
# run, exec fails with "Exec format error".
elf=$(mktemp)
trap 'rm -f "$elf"' EXIT
{
  printf '\177ELF\001\001\001\000\000\000\000\000\000\000\000\000'   # ident: 32-bit, LSB, SysV
  printf '\002\000\003\000\001\000\000\000\124\200\004\010'             # executable, i386, v1, entry 0x08048054
  printf '\064\000\000\000\000\000\000\000\000\000\000\000'             # program headers at 52, no sections
  printf '\064\000\040\000\001\000\000\000\000\000\000\000'             # header sizes, 1 program header
  printf '\001\000\000\000\000\000\000\000\000\200\004\010\000\200\004\010' # PT_LOAD of the whole file
  printf '\135\000\000\000\135\000\000\000\005\000\000\000\000\020\000\000' # 93 bytes, r-x, page aligned
  printf '\061\333\270\001\000\000\000\315\200'                          # xor ebx,ebx; mov eax,1; int 0x80
} >"$elf"
chmod +x "$elf"
if "$elf" 2>/dev/null; then echo win32; else echo win64; fi
