#!/bin/sh
# Makes the portable release from the 32-bit build: build/release/Velmora-VERSION.zip
# holding Velmora.exe, Flashs\, Images\, ReadMe.txt and the licences of the
# third-party code linked into the program. Then checks what it made: the
# program is 32-bit and imports only from system DLLs, its version resource,
# the zip's name and the README name the same version, and the zip holds
# what it should.
#   usage: scripts/make-release.sh   (builds the win32 preset first)
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

version=$(sed -n 's/^project(Velmora VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
[ -n "$version" ] || { echo "make-release: no version in CMakeLists.txt" >&2; exit 1; }
name="Velmora-$version"

cmake --preset win32 >/dev/null
cmake --build --preset win32 -j"$(nproc)" --target Velmora
exe="$root/build/win32/bin/Velmora.exe"

fail() { echo "make-release: $*" >&2; exit 1; }

# 32-bit, and nothing but what every Windows brings.
i686-w64-mingw32-objdump -f "$exe" | grep -q "file format pei-i386" || fail "Velmora.exe is not a 32-bit program"
allowed="ADVAPI32.dll COMCTL32.dll comdlg32.dll GDI32.dll gdiplus.dll KERNEL32.dll msvcrt.dll ole32.dll
OLEAUT32.dll SHELL32.dll SHLWAPI.dll USER32.dll"
for dll in $(i686-w64-mingw32-objdump -p "$exe" | sed -n 's/^[[:space:]]*DLL Name: //p'); do
  echo "$allowed" | tr ' ' '\n' | grep -qix "$dll" || fail "Velmora.exe imports $dll, which is not a system DLL"
done

# The version resource carries the same version (UTF-16 text in the file).
python3 - "$exe" "$version" <<'EOF' || fail "the version resource does not say $version"
import sys
data = open(sys.argv[1], 'rb').read()
# The value follows its key after padding to a 4-byte boundary.
at = data.find('FileVersion\0'.encode('utf-16-le'))
sys.exit(0 if at >= 0 and sys.argv[2].encode('utf-16-le') in data[at:at + 64] else 1)
EOF
grep -q "$name.zip" README.md || fail "README.md does not name $name.zip"

stage="$root/build/release/$name"
rm -rf "$root/build/release"
mkdir -p "$stage/Flashs" "$stage/Images" "$stage/Licences"
cp "$exe" "$stage/"
cp demo/Flashs/*.swf "$stage/Flashs/"
cp demo/Images/* "$stage/Images/"
cp /usr/share/doc/libz-mingw-w64/copyright "$stage/Licences/zlib.txt"
cp /usr/share/doc/mingw-w64-common/copyright "$stage/Licences/mingw-w64-runtime.txt"
sed "s/@VERSION@/$version/" "$root/scripts/release-readme.txt" | sed 's/$/\r/' > "$stage/ReadMe.txt"

python3 - "$root/build/release" "$name" <<'EOF'
import os, sys, zipfile
base, name = sys.argv[1], sys.argv[2]
with zipfile.ZipFile(os.path.join(base, name + '.zip'), 'w', zipfile.ZIP_DEFLATED) as z:
    for folder, _, files in os.walk(os.path.join(base, name)):
        for f in sorted(files):
            full = os.path.join(folder, f)
            z.write(full, os.path.relpath(full, base))
EOF

zip="$root/build/release/$name.zip"
python3 - "$zip" "$name" <<'EOF' || fail "$name.zip does not hold what it should"
import sys, zipfile
names = set(zipfile.ZipFile(sys.argv[1]).namelist())
n = sys.argv[2]
need = [n + '/Velmora.exe', n + '/Flashs/Demo.swf', n + '/ReadMe.txt', n + '/Licences/zlib.txt',
        n + '/Licences/mingw-w64-runtime.txt']
missing = [x for x in need if x not in names]
images = [x for x in names if x.startswith(n + '/Images/')]
if missing or not images:
    print('missing:', missing, 'images:', images)
    sys.exit(1)
EOF
echo "make-release: $zip"
