#!/bin/sh
# The Windows downloads: windows-package.sh BUILD64 BUILD32 (the x86_64 and i686 build
# folders, both built) writes into BUILD64
#   brevok-VERSION-setup.exe   the installer for every Windows, holding both builds
#                              (resources/windows/brevok.nsi; a 32-bit program)
#   brevok-VERSION-setup-x64.exe  the 64-bit installer, holding the x86_64 build, for 64-bit
#                              Windows that runs no 32-bit programs
#   brevok-VERSION-win64.zip   the x86_64 programs, help, headers and README.txt, to unpack
#   brevok-VERSION-win32.zip   the same for i686
set -eu
here=$(cd "$(dirname "$0")/.." && pwd)
b64=$(cd "$1" && pwd)
b32=$(cd "$2" && pwd)
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$b64/CMakeCache.txt")
[ -n "$version" ] || { echo "windows-package.sh: no version in $b64/CMakeCache.txt" >&2; exit 1; }
programs="brevok.exe brcc32.exe brcc32-windres.exe brc32.exe brevdos.exe brevhelp.chm"
for bin in "$b64/bin" "$b32/bin"; do
  for file in $programs include/windows.h; do
    [ -f "$bin/$file" ] || { echo "windows-package.sh: $bin/$file is missing (make windows)" >&2; exit 1; }
  done
done
stage="$b64/package"
rm -rf "$stage"
mkdir -p "$stage"

# README.txt with Windows line ends, for each architecture.
readme() { sed -e "s/@VERSION@/$version/" -e "s/@ARCH@/$1/" -e 's/$/\r/' "$here/resources/windows/README.txt"; }

# Every file, by name, for the installer and its uninstaller (headers as the build has them).
headers=$(cd "$b64/bin/include" && ls)
{
  line() { printf '%s\n' "$1"; }
  line "; Written by scripts/windows-package.sh: the installed files."
  line "!macro InstallFiles FOLDER"
  for file in $programs; do line "  File \"\${FOLDER}/$file\""; done
  line "  SetOutPath \"\$INSTDIR\\include\""
  for file in $headers; do line "  File \"\${FOLDER}/include/$file\""; done
  line "!macroend"
  line "!macro RemoveFiles"
  for file in $programs; do line "  Delete \"\$INSTDIR\\$file\""; done
  for file in $headers; do line "  Delete \"\$INSTDIR\\include\\$file\""; done
  line "  RMDir \"\$INSTDIR\\include\""
  line "!macroend"
} > "$stage/files.nsh"
readme "x86_64 and i686" > "$stage/README.txt"

# The welcome and finish pages' picture: the program's icon on its blue, 164 x 314.
convert -size 164x314 gradient:'#2c5d9e'-'#123059' \( -background none -density 192 \
  "$here/resources/images/brevok.svg" -resize 120x120 \) -gravity north -geometry +0+48 -composite \
  -alpha off -type TrueColor "BMP3:$stage/welcome.bmp"

# installer OUTFILE [-D...]: one installer, from the one script.
installer() {
  out=$1; shift
  makensis -V2 -NOCD -DVERSION="$version" -DBIN64="$b64/bin" \
    -DICON="$here/resources/brevok.ico" -DFILES="$stage/files.nsh" -DREADME="$stage/README.txt" \
    -DWELCOME="$stage/welcome.bmp" -DOUTFILE="$out" -DOUTNAME="$(basename "$out")" "$@" \
    "$here/resources/windows/brevok.nsi"
}
setup="$b64/brevok-$version-setup.exe"
installer "$setup" -DBIN32="$b32/bin"
readme x86_64 > "$stage/README.txt"
setup64="$b64/brevok-$version-setup-x64.exe"
installer "$setup64" -DX64

for arch in win64 win32; do
  if [ $arch = win64 ]; then bin="$b64/bin"; name=x86_64; else bin="$b32/bin"; name=i686; fi
  folder="$stage/brevok-$version-$arch"
  mkdir -p "$folder/include"
  for file in $programs; do cp "$bin/$file" "$folder/"; done
  cp "$bin"/include/* "$folder/include/"
  readme "$name" > "$folder/README.txt"
  zip="$b64/brevok-$version-$arch.zip"
  rm -f "$zip"
  (cd "$stage" && cmake -E tar cf "$zip" --format=zip "brevok-$version-$arch")
done
for file in "$setup" "$setup64" "$b64/brevok-$version-win64.zip" "$b64/brevok-$version-win32.zip"; do
  echo "$(du -k "$file" | cut -f1) KB  $file"
done
