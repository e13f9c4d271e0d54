#!/bin/sh
# Drives the Windows window under Wine and a virtual display over a project in a folder named in
# Cyrillic: the script given on the command line, Compile, the executable chosen in the file
# dialog by its Cyrillic path, Build All, Exit. The window's manifest makes UTF-8 its ANSI code
# page, so every name reaches the tools whole: the .res is written beside the script, the program
# is bound with the resources the loader then finds in it (as in a copy linked by windres and
# ld), and the settings hold the names as they are.
#   window_names_test.sh BREVOK_EXE BRCC32_EXE READER_EXE LINKED_READER_EXE
# WINEPREFIX must name a prepared prefix. Runs itself again under xvfb-run when no display is set.
set -eu
. "$(dirname "$(realpath "$0")")/wine_window.sh"
window_test_start "$@"
# Wine reads the names on its command line, and gives them to Linux, in the locale's encoding.
export LC_ALL=C.UTF-8
# Short: Build All's command line holds three paths in 125 characters. Here they take 124, and
# 142 bytes: the limit counts characters.
work=$(mktemp -d /tmp/bXXXX)
pid=
trap '[ -n "$pid" ] && kill "$pid" 2>/dev/null; rm -rf "$work"' EXIT

project="$work/проект"
mkdir "$project"
cp "$data/logo.bmp" "$project/логотип.bmp"
cp "$icon" "$project/значок.ico"
script="$project/app.rc"
program="$project/t.exe"
cp "$reader" "$program"
printf 'Logo BITMAP "%s\\логотип.bmp"\r\nAppIcon ICON "%s\\значок.ico"\r\n' "$(winpath "$project")" \
  "$(winpath "$project")" > "$script"
cp "$script" "$work/script.before"

wineserver -k 2>/dev/null || true
key='HKCU\Software\Halvane\BrevComp'
wine reg delete "$key" /f > /dev/null 2>&1 || true
wine reg add "$key" /v Install /t REG_SZ /d "$(winpath "$project")" /f > /dev/null
wine reg add "$key" /v Compiler /t REG_SZ /d "$(winpath "$brcc32")" /f > /dev/null
wine "$brevok" "$(winpath "$script")" > "$work/brevok.log" 2>&1 &
pid=$!

await 'Brevok Resource Compiler.*'
keys alt+a c                       # Compile
await Information; keys Return
[ -s "$project/app.res" ] || fail "Compile wrote no app.res in $(winpath "$project")"
no_batch() { [ ! -e "$project/Temp.bat" ]; }
until_true "the batch file was left behind" no_batch

await 'Brevok Resource Compiler.*'
keys alt+o e                       # Select Exe to Bind
await 'Select executable to bind resource file to'
keys ctrl+a; typed "$(winpath "$program")"; keys Return
gone 'Select executable to bind resource file to'
await 'Brevok Resource Compiler.*'
before=$(md5sum < "$program")
keys alt+a b                       # Build All
changed() { [ "$(md5sum < "$program")" != "$before" ]; }
until_true "Build All did not bind into $(winpath "$program")" changed
[ -s "$project/message.tmp" ] || fail "Build All captured no messages in the working folder"

await 'Brevok Resource Compiler.*'
keys alt+f e                       # Exit
wait "$pid" || true
pid=

cmp -s "$script" "$work/script.before" || fail "script bytes: $(od -c "$script" | head -n 5)"
# The settings as the registry holds them (UTF-16 in regedit's export): the names whole.
wine regedit /e "$work/settings.reg" 'HKEY_CURRENT_USER\Software\Halvane\BrevComp' > /dev/null 2>&1 ||
  fail "regedit exported no settings"
stored=$(iconv -f UTF-16 -t UTF-8 "$work/settings.reg" | tr -d '\r')
for pair in ".RC=$(winpath "$script")" ".EXE=$(winpath "$program")"; do
  value=$(printf '%s' "${pair#*=}" | sed 's/\\/\\\\/g')
  printf '%s\n' "$stored" | grep -qxF "\"${pair%%=*}\"=\"$value\"" || fail "the setting ${pair%%=*} is not $value: $stored"
done
wine "$program" > "$work/bound.txt" 2>&1 || fail "the bound program does not run"
wine "$linked" > "$work/linked.txt" 2>&1 || fail "the linked program does not run"
grep -q '^LoadBitmap LOGO: 16 x 8' "$work/bound.txt" || fail "LoadBitmap finds no LOGO: $(cat "$work/bound.txt")"
diff "$work/linked.txt" "$work/bound.txt" || fail "the loader sees the bound resources otherwise than the linked ones"
echo "PASS: the Windows window in a folder named in Cyrillic: the script from the command line, Compile, the"
echo "      executable from the file dialog, Build All, the settings and the bound program's resources"
