#!/bin/sh
# brc32.exe's edits read back through the Windows loader, under Wine:
#   edit_wine.sh BRC32_EXE EDIT_PROBE_EXE WINE_DLL_FOLDER
# The bare mingw-built probe gets an icon, a version resource, a string and a manifest in one
# call, with an overlay after its last section that must stay byte for byte; a copy signed by
# osslsigncode comes out unsigned with a right checksum and still runs; one of Wine's own DLLs
# gets new version strings that version.dll reads.
set -eu
. "$(dirname "$(realpath "$0")")/../../../scripts/wine-env.sh"
case "$(file -b "$2")" in
  *80386*) brevok_needs_32bit "the 32-bit probe of brc32.exe's edits" ;;
esac
brc32=$(realpath "$1")
work=$(mktemp -d /tmp/brevok-edit-XXXXXX)
trap 'rm -rf "$work"' EXIT
export WINEDEBUG=-all
fail() { echo "FAIL: $*"; exit 1; }
edit() { (cd "$work" && wine "$brc32" "$@" > out.txt 2> err.txt) || fail "brc32.exe $*: $(tr -d '\r' < "$work/err.txt")"; }
probe() { wine "$@" 2>/dev/null | tr -d '\r'; }

# A 32 x 32 icon: a BITMAPINFOHEADER, 32-bit pixels and the mask.
python3 - "$work/app.ico" <<'PY'
import struct, sys
image = struct.pack('<IiiHHIIiiII', 40, 32, 64, 1, 32, 0, 0, 0, 0, 0, 0) + b'\x00\x80\xff\xff' * 1024 + b'\0' * 128
open(sys.argv[1], 'wb').write(struct.pack('<HHH', 0, 1, 1) + bytes([32, 32, 0, 0]) +
                              struct.pack('<HHII', 1, 32, len(image), 22) + image)
PY
cp "$2" "$work/t.exe"
[ -z "$(cd "$work" && wine "$brc32" t.exe --list 2>/dev/null | tr -d '\r')" ] || fail "the probe is not bare: $(wine "$brc32" "$work/t.exe" --list)"
head -c 70000 /dev/urandom > "$work/overlay"
cat "$work/overlay" >> "$work/t.exe"
edit t.exe --set-icon app.ico --set-version-string CompanyName Halvane --set-version-string ProductName "Brevok Probe" \
  --set-file-version 1.2.3 --set-product-version 4.5 --set-resource-string 7 "seven here" \
  --set-requested-execution-level asInvoker
expected='translation: 0409 1200
CompanyName: Halvane
ProductName: Brevok Probe
FileVersion: 1.2.3
ProductVersion: 4.5
fixed: 1.2.3.0
string 7: seven here
icon 1: 32 x 32
level: asInvoker'
got=$(probe "$work/t.exe")
[ "$got" = "$expected" ] || fail "the loader reads otherwise:
$got"
tail -c 70000 "$work/t.exe" | cmp -s - "$work/overlay" || fail "the overlay changed"
edit t.exe --get-version-string ProductName
[ "$(tr -d '\r' < "$work/out.txt")" = "Brevok Probe" ] || fail "--get-version-string printed $(cat "$work/out.txt")"

# Signed, edited: unsigned, the checksum right, and it still runs.
(cd "$work" && openssl req -x509 -newkey rsa:2048 -nodes -keyout k.pem -out c.pem -days 2 -subj /CN=brevok-test \
   > /dev/null 2>&1 && openssl pkcs12 -export -inkey k.pem -in c.pem -out c.p12 -passout pass:pw &&
 osslsigncode sign -pkcs12 c.p12 -pass pw -in t.exe -out s.exe > /dev/null) || fail "cannot sign the probe"
edit s.exe --set-version-string CompanyName Signed
grep -q "digital signature is no longer valid and has been removed" "$work/err.txt" || fail "no warning on the signature"
report=$(osslsigncode verify "$work/s.exe" 2>&1 || true)
echo "$report" | grep -q "No signature found" || fail "still signed: $report"
# The checksum in the header against one computed here (the PE rule: 16-bit words summed with
# carries folded, the CheckSum field counted as zero, plus the file's length).
checksums=$(python3 - "$work/s.exe" <<'PY'
import struct, sys
data = open(sys.argv[1], 'rb').read()
field = struct.unpack_from('<I', data, 0x3C)[0] + 24 + 64
total = 0
padded = data + b'\0' * (len(data) % 2)
for i in range(0, len(padded), 2):
    if field <= i < field + 4:
        continue
    total += padded[i] | padded[i + 1] << 8
    total = (total & 0xFFFF) + (total >> 16)
print('%08X %08X' % (struct.unpack_from('<I', data, field)[0], ((total & 0xFFFF) + (total >> 16)) + len(data)))
PY
)
current=${checksums% *}
[ "$current" = "${checksums#* }" ] && [ "$current" != 00000000 ] || fail "checksum in the header and computed: $checksums"
probe "$work/s.exe" | grep -qx "CompanyName: Signed" || fail "the signed copy reads otherwise: $(probe "$work/s.exe")"

# One of Wine's own DLLs: new strings, its own translation kept.
cp "$3/comctl32.dll" "$work/c.dll"
edit c.dll --set-version-string CompanyName "Edited" --set-file-version 9.8.7.6
got=$(probe "$2" "$work/c.dll")
echo "$got" | grep -qx "CompanyName: Edited" || fail "comctl32.dll reads otherwise: $got"
echo "$got" | grep -qx "fixed: 9.8.7.6" || fail "comctl32.dll reads otherwise: $got"
echo "PASS: $(file -b "$2" | cut -d, -f1): edits read back by the loader and version.dll; overlay kept; signature removed, checksum $current"
