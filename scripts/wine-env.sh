# What every Wine run of the build shares (sourced; $1, if given, is a build folder to keep the
# loader's stand-ins in): whether this machine runs 32-bit programs, asked once, and the Wine
# loader the runs then use.
#
# Some kernels run no 32-bit programs (no ia32 emulation). There Debian's `wine` still starts
# its 32-bit loader, even for 64-bit programs, and fails with "Exec format error". So where the
# machine runs none, `wine` and `wine-stable` on PATH (and so wineboot, winepath, ...) and
# WINELOADER are Wine's 64-bit loader. BREVOK_NO_32BIT=1 takes that path on any machine (there
# Wine itself could still start a 32-bit program; the tests that need one are left out all the
# same).
#
# Afterwards BREVOK_WINE32 is "yes" or "no" (exported: the tests started later read it, and a
# second source of this file does not ask again). brevok_not_run WHAT prints the one line that
# names what was left out for want of 32-bit programs; brevok_needs_32bit WHAT, in a test, says
# so and ends the test as skipped (77) where they do not run.
brevok_not_run() {
  echo "NOT RUN: $*: this kernel runs no 32-bit programs"
}
brevok_needs_32bit() {
  [ "$BREVOK_WINE32" = yes ] && return 0
  brevok_not_run "$@"
  exit 77
}

if [ -z "${BREVOK_WINE32:-}" ]; then
  if [ "${BREVOK_NO_32BIT:-}" = 1 ]; then
    BREVOK_WINE32=no
  else
    # A 96-byte i386 ELF program that only exits with 42.
    probe=$(mktemp "${1:-${TMPDIR:-/tmp}}/brevok-i386-XXXXXX")
    printf '\177\105\114\106\001\001\001\000\000\000\000\000\000\000\000\000\002\000\003\000\001\000\000\000\124\200\004\010\064\000\000\000\000\000\000\000\000\000\000\000\064\000\040\000\001\000\000\000\000\000\000\000\001\000\000\000\000\000\000\000\000\200\004\010\000\200\004\010\140\000\000\000\140\000\000\000\005\000\000\000\000\020\000\000\270\001\000\000\000\273\052\000\000\000\315\200' > "$probe"
    chmod +x "$probe"
    status=0
    "$probe" 2> /dev/null || status=$?
    rm -f "$probe"
    if [ "$status" = 42 ]; then BREVOK_WINE32=yes; else BREVOK_WINE32=no; fi
  fi
  export BREVOK_WINE32
  if [ "$BREVOK_WINE32" = no ]; then
    echo "This machine runs no 32-bit programs${BREVOK_NO_32BIT:+ (BREVOK_NO_32BIT=1)}: Wine runs with its 64-bit loader"
  fi
fi

if [ "$BREVOK_WINE32" = no ] && [ -z "${BREVOK_WINE64_ONLY:-}" ]; then
  BREVOK_WINE64_ONLY="${1:-${TMPDIR:-/tmp}/brevok-$(id -u)}/wine64-only"
  mkdir -p "$BREVOK_WINE64_ONLY"
  for name in wine wine-stable wine64; do
    printf '#!/bin/sh\nexec /usr/lib/wine/wine64 "$@"\n' > "$BREVOK_WINE64_ONLY/$name"
    chmod +x "$BREVOK_WINE64_ONLY/$name"
  done
  export BREVOK_WINE64_ONLY WINELOADER=/usr/lib/wine/wine64
  export PATH="$BREVOK_WINE64_ONLY:$PATH"
fi
