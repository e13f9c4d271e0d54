#!/bin/sh
# brcc32.exe under Wine over the real Visual Studio scripts, with no llvm-rc.exe and no clang
# anywhere: corpus_wine.sh BRCC32_EXE CORPUS [LINUX_BRCC32 [ZIG]]. Every script the Linux
# brcc32 compiles, brcc32.exe compiles to the same bytes; where zig rc (rc.exe's bytes)
# compiles a script, the bytes are also zig rc's. Prints the counts.
exe=$1
corpus=$2
linux=$3
zig=$4
work=$(mktemp -d /tmp/brevok-corpus-wine-XXXXXX)
trap 'rm -rf "$work"' EXIT
cases=0 ours=0 same=0 failures=0
for script in $(find "$corpus" -iname '*.rc' | sort); do
  cases=$((cases + 1))
  folder=$(dirname "$script")
  name=$(basename "$script")
  if (cd "$folder" && env -u BREVOK_LLVM_RC wine "$exe" -fo "$work/win.res" "$name" > "$work/win.out" 2>&1); then
    ours=$((ours + 1))
  fi
  if [ -n "$linux" ] && [ -x "$linux" ] &&
     (cd "$folder" && env -u BREVOK_LLVM_RC PATH=/nonexistent "$linux" -fo "$work/linux.res" "$name" > /dev/null 2>&1); then
    if [ -f "$work/win.res" ] && cmp -s "$work/win.res" "$work/linux.res"; then
      same=$((same + 1))
    else
      echo "FAIL: $name: brcc32.exe gives other bytes than brcc32 on Linux: $(tr -d '\r' < "$work/win.out" | tail -n +4 | head -3)"
      failures=$((failures + 1))
    fi
  fi
  if [ -n "$zig" ] && [ -x "$zig" ] &&
     (cd "$folder" && "$zig" rc /:auto-includes gnu /fo "$work/zig.res" -- "$name" > /dev/null 2>&1); then
    if ! cmp -s "$work/win.res" "$work/zig.res"; then
      echo "FAIL: $name: zig rc compiles it, brcc32.exe not to the same bytes"
      failures=$((failures + 1))
    fi
  fi
  rm -f "$work/win.res" "$work/linux.res" "$work/zig.res"
done
echo "corpus under Wine: $cases scripts; brcc32.exe compiles $ours; the same bytes as on Linux for $same"
[ "$cases" -ge 36 ] && [ "$ours" -ge 26 ] && [ "$failures" -eq 0 ]
