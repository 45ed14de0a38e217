#!/usr/bin/env bash
# Installs Warplon as a user would and checks what the desktop sees of it.
#
# Usage: install_test.sh BUILD_DIR install   install into a temporary prefix: the desktop entry,
#                                            the file type, the thumbnailer and the first start
#        install_test.sh BUILD_DIR deb       the Debian package holds every installed file
#
# A tool that is missing is reported and its step skipped; scripts/install-deps.sh installs them.
set -euo pipefail

build=$(cd "$1" && pwd)
mode=${2:-install}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fail() {
  echo "FAIL: $*" >&2
  exit 1
}
step() { echo "== $*"; }
have() {
  command -v "$1" >/dev/null 2>&1 && return 0
  echo "SKIPPED: $1 is not installed (scripts/install-deps.sh installs it); $2 not checked"
  return 1
}

prefix=$work/prefix
step "cmake --install into $prefix"
cmake --install "$build" --prefix "$prefix" >"$work/install.log" || {
  cat "$work/install.log"
  fail "cmake --install failed (build every target first: the sample designs are made at build)"
}
# Every installed file, relative to the prefix.
(cd "$prefix" && find . \( -type f -o -type l \) | sed 's|^\./||' | sort) >"$work/installed.txt"

if [ "$mode" = deb ]; then
  have cpack "the package" && have dpkg-deb "the package" || exit 0
  step "cpack -G DEB (as make deb does)"
  cpack --config "$build/CPackConfig.cmake" -G DEB -B "$work/deb" >"$work/cpack.log" 2>&1 || {
    cat "$work/cpack.log"
    fail "cpack failed"
  }
  deb=$(ls "$work"/deb/warplon_*.deb 2>/dev/null | head -1)
  [ -n "$deb" ] || fail "no warplon_*.deb written"
  [ "$(dpkg-deb -f "$deb" Package)" = warplon ] || fail "package name is not warplon"
  dpkg-deb -f "$deb" Depends | grep -q 'libqt6' || fail "no Qt library among the dependencies"
  dpkg-deb -c "$deb" | awk '$1 !~ /^d/ {print $6}' | sed 's|^\./usr/||' | sort >"$work/packaged.txt"
  if ! diff -u "$work/installed.txt" "$work/packaged.txt"; then
    fail "the package and the installed prefix hold different files"
  fi
  echo "$(wc -l <"$work/packaged.txt") files packaged in $(basename "$deb"), $(du -h "$deb" | cut -f1)"
  echo "PASS"
  exit 0
fi

step "installed files"
for f in bin/warplon bin/warplon-cli share/warplon/English.tdw share/warplon/Korean.tdw \
  share/warplon/splash.bmp share/warplon/color/Textile.fcr \
  share/applications/warplon.desktop share/mime/packages/warplon.xml \
  share/thumbnailers/warplon.thumbnailer share/icons/hicolor/scalable/apps/warplon.svg \
  share/icons/hicolor/48x48/apps/warplon.png share/icons/hicolor/128x128/apps/warplon.png \
  share/icons/hicolor/256x256/apps/warplon.png; do
  [ -f "$prefix/$f" ] || fail "$f is not installed"
done
cli=$prefix/bin/warplon-cli
samples=$("$cli" new --list | awk '{print $1}')
for sample in $samples; do
  [ -f "$prefix/share/warplon/tricot/$sample.trc" ] || fail "sample $sample.trc is not installed"
done

if have desktop-file-validate "the desktop entry"; then
  step "desktop-file-validate"
  desktop-file-validate "$prefix/share/applications/warplon.desktop" || fail "desktop entry invalid"
fi
grep -qx 'Exec=warplon %f' "$prefix/share/applications/warplon.desktop" || fail "Exec line"

# An empty home, so that nothing of the machine's own settings or databases takes part.
home=$work/home
mkdir -p "$home"
clean_env=(env -u XDG_DATA_HOME -u XDG_CONFIG_HOME -u XDG_DATA_DIRS -u XDG_CACHE_HOME -u DISPLAY
  -u WAYLAND_DISPLAY
  HOME="$home" PATH="$prefix/bin:$PATH")

if have update-mime-database "the file type" && have gio "the file type"; then
  step "update-mime-database and gio info"
  update-mime-database "$prefix/share/mime" >"$work/mime.log" 2>&1 || {
    cat "$work/mime.log"
    fail "update-mime-database failed"
  }
  sample=$prefix/share/warplon/tricot/locknit.trc
  type=$("${clean_env[@]}" XDG_DATA_DIRS="$prefix/share" gio info -a standard::content-type \
    "$sample" | sed -n 's/^ *standard::content-type: //p')
  [ "$type" = application/x-warplon-trc ] || fail "gio names the sample's type '$type'"
  # Without the prefix's database the same file is unknown: the answer came from our entry.
  type=$("${clean_env[@]}" XDG_DATA_DIRS="$work/nowhere" gio info -a standard::content-type \
    "$sample" | sed -n 's/^ *standard::content-type: //p')
  [ "$type" != application/x-warplon-trc ] || fail "the type is known without our database"
fi

step "thumbnailer"
# A design whose stored preview is red in its top 30 rows and blue below: a saved sample with
# its preview (80 x 100 pixels, 3 bytes blue-green-red each, top row first, from byte 4)
# replaced.
"$cli" new --sample tricot -o "$work/red.trc" >/dev/null
python3 - "$work/red.trc" <<'PY'
import sys
path = sys.argv[1]
data = bytearray(open(path, "rb").read())
rows = b"".join((b"\x00\x00\xff" if y < 30 else b"\xff\x00\x00") * 80 for y in range(100))
data[4:4 + len(rows)] = rows
open(path, "wb").write(data)
PY
exec_line=$(sed -n 's/^Exec=//p' "$prefix/share/thumbnailers/warplon.thumbnailer")
[ -n "$exec_line" ] || fail "no Exec line in the thumbnailer entry"
thumbnail() { # INPUT OUTPUT SIZE: runs the entry's Exec line as a file browser does
  local line=${exec_line//%i/$1}
  line=${line//%o/$2}
  line=${line//%s/$3}
  local -a command
  read -ra command <<<"$line"
  "${clean_env[@]}" QT_QPA_PLATFORM=none-such timeout 30 "${command[@]}"
}
for size in 128 256; do
  thumbnail "$work/red.trc" "$work/red-$size.png" "$size" || fail "thumbnailer failed at $size"
  python3 - "$work/red-$size.png" "$size" <<'PY' || fail "thumbnail at $size is wrong"
import struct, sys, zlib
data = open(sys.argv[1], "rb").read()
size = int(sys.argv[2])
assert data[:8] == b"\x89PNG\r\n\x1a\n", "not a PNG"
pos, idat, header = 8, b"", None
while pos < len(data):
    length, kind = struct.unpack(">I4s", data[pos:pos + 8])
    body = data[pos + 8:pos + 8 + length]
    if kind == b"IHDR":
        header = struct.unpack(">IIBBBBB", body)
    elif kind == b"IDAT":
        idat += body
    pos += 12 + length
width, height, depth, colour, _, _, interlace = header
assert (width, height) == (round(size * 4 / 5), size), (width, height)
assert depth == 8 and colour in (2, 6) and interlace == 0, header
channels = 3 if colour == 2 else 4
stride = width * channels
raw = zlib.decompress(idat)
rows, previous = [], bytearray(stride)
for y in range(height):
    kind, line = raw[y * (stride + 1)], bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
    for i in range(stride):
        a = line[i - channels] if i >= channels else 0
        b = previous[i]
        c = previous[i - channels] if i >= channels else 0
        if kind == 1: line[i] = (line[i] + a) & 255
        elif kind == 2: line[i] = (line[i] + b) & 255
        elif kind == 3: line[i] = (line[i] + (a + b) // 2) & 255
        elif kind == 4:
            p = a + b - c
            pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
            line[i] = (line[i] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 255
    rows.append(line)
    previous = line
def pixel(x, y):
    return tuple(rows[y][x * channels:x * channels + 3])
for x in (0, width // 2, width - 1):
    r, g, b = pixel(x, 0)
    assert r > 200 and g < 40 and b < 40, ("top not red", x, (r, g, b))
    r, g, b = pixel(x, height - 1)
    assert b > 200 and r < 40 and g < 40, ("bottom not blue", x, (r, g, b))
print("thumbnail %dx%d: red at the top, blue at the bottom" % (width, height))
PY
done
# A damaged design: a failure and no picture.
head -c 10000 "$work/red.trc" >"$work/damaged.trc"
if thumbnail "$work/damaged.trc" "$work/damaged.png" 128 2>/dev/null; then
  fail "the thumbnailer accepted a damaged design"
fi
[ ! -e "$work/damaged.png" ] || fail "a damaged design left a picture"

step "first start of the installed program (offscreen, empty home)"
(cd "$prefix" && find . -printf '%P %s %T@\n' | sort) >"$work/before.txt"
# The program is started only to see where it works; leak reports of a sanitizer build at exit
# are the business of the window tests.
if ! "${clean_env[@]}" QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=0 \
  timeout 120 "$prefix/bin/warplon" --screenshot "$work/shot.png" >"$work/app.log" 2>&1; then
  cat "$work/app.log"
  fail "the installed program did not start and quit"
fi
[ -s "$work/shot.png" ] || fail "no screenshot written"
data=$home/.local/share/Brenmoor/Warplon
for f in English.tdw Korean.tdw splash.bmp cell.bmp color/Textile.fcr .warplon-seed; do
  [ -f "$data/$f" ] || fail "$f was not seeded into $data"
done
for sample in $samples; do
  [ -f "$data/tricot/$sample.trc" ] || fail "sample $sample.trc was not seeded"
done
(cd "$prefix" && find . -printf '%P %s %T@\n' | sort) >"$work/after.txt"
diff -u "$work/before.txt" "$work/after.txt" || fail "the program wrote under its prefix"
echo "PASS"
