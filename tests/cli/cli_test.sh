#!/usr/bin/env bash
# Drives warplon-cli as a user's script would: every command answers --help, writes what it
# promises, prints valid JSON, and fails with one line on stderr and a non-zero exit code.
set -u
cli=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
check() { # check "what" command...
  local what=$1
  shift
  if ! "$@" >"$work/out" 2>"$work/err"; then
    echo "FAILED: $what: $(head -c 300 "$work/err")"
    failures=$((failures + 1))
  fi
  cp "$work/out" "$work/last"
}
fails_cleanly() { # fails_cleanly "what" command...: non-zero exit, one line on stderr
  local what=$1
  shift
  if "$@" >"$work/out" 2>"$work/err" || [ "$(wc -l <"$work/err")" -ne 1 ]; then
    echo "FAILED: $what should fail with one line on stderr, got: $(cat "$work/err")"
    failures=$((failures + 1))
  fi
}
# The output of the last command is JSON.
json() { python3 -c 'import json,sys; json.load(open(sys.argv[1]))' "$work/json"; }
keep() { cp "$work/last" "$work/json"; }

for command in new dump runin simulate model; do
  check "$command --help" "$cli" "$command" --help
done
check "new" "$cli" new -o "$work/default.trc"
check "new --bars" "$cli" new --bars 3 --courses 8 --gauge 32 --cpc 18.5 --width 84 -o "$work/three.trc"
check "dump --json" "$cli" dump "$work/three.trc" --json
keep
check "dump is JSON" json
check "three bars" python3 -c 'import json,sys; d=json.load(open(sys.argv[1])); assert len(d["document"]["bars"]) == 3 and d["header"]["coursesPerCm"] == 18.5' "$work/json"
for sample in $("$cli" new --list | awk '{print $1}'); do
  check "sample $sample" "$cli" new --sample "$sample" -o "$work/$sample.trc"
  check "runin $sample" "$cli" runin "$work/$sample.trc" --json
  keep
  check "runin is JSON" json
done
check "runin --optimized" "$cli" runin "$work/locknit.trc" --optimized --json
keep
check "optimized is JSON" json
check "model" "$cli" model "$work/tricot.trc" --json
keep
check "model is JSON" json
check "simulate" "$cli" simulate "$work/locknit.trc" -o "$work/locknit.png" --seed 3 --view 200x200
check "simulate again" "$cli" simulate "$work/locknit.trc" -o "$work/again.png" --seed 3 --view 200x200
check "same seed, same picture" cmp "$work/locknit.png" "$work/again.png"

fails_cleanly "missing file" "$cli" dump "$work/missing.trc"
fails_cleanly "unknown sample" "$cli" new --sample nothing -o "$work/x.trc"
fails_cleanly "too many bars" "$cli" new --bars 5 -o "$work/x.trc"
fails_cleanly "no output" "$cli" new
printf '\x67\x00\x00\x00' >"$work/newer.trc"
fails_cleanly "newer file" "$cli" dump "$work/newer.trc"
grep -q "version error" "$work/err" || { echo "FAILED: no 'version error'"; failures=$((failures + 1)); }
fails_cleanly "bad effect" "$cli" simulate "$work/locknit.trc" -o "$work/x.png" --effect glow

# Colours: the atlas needs no file; the catalogues and the palette stand beside the tool.
check "color printer" "$cli" color printer 541 0 --json
keep
check "grey page code" python3 -c 'import json,sys; d=json.load(open(sys.argv[1])); assert d["code"] == "37-1:1"' "$work/json"
check "color find" "$cli" color find 37-01:01
check "color nearest standard" "$cli" color nearest 200 30 40 --catalog standard --json
keep
check "nearest is JSON" json
check "color atlas" "$cli" color atlas -o "$work/atlas.png"
palette="$(dirname "$cli")/color/Textile.fcr"
check "palette dump" "$cli" palette dump "$palette" --json
keep
check "palette is JSON" json
check "palette render" "$cli" palette render "$palette" -o "$work/palette.png"
fails_cleanly "no Pantone catalogue" "$cli" color nearest 1 2 3 --catalog pantone1000
fails_cleanly "grey page has 7 columns" "$cli" color find 37-08:01
fails_cleanly "channel out of range" "$cli" color nearest 1 2 256

# Yarn list and composition: edits in order; a refused edit writes nothing.
check "yarns" "$cli" yarns "$work/locknit.trc" --enter 1:7=50 --add 1 --enter 3-4:1=Silk --cycle 2:10 --save 2=$work/a.yan -o "$work/yarns.trc" --json
keep
check "yarns edited" python3 -c 'import json,sys; y=json.load(open(sys.argv[1]))["yarns"]; assert len(y) == 4 and y[1]["stretch"] == 1 and y[1]["cells"][7] == "50.00%" and y[3]["name"] == "Silk" and y[1]["material"] == 3' "$work/json"
check "yarn file" "$cli" yarns "$work/a.yan" --json
fails_cleanly "length 0 %" "$cli" yarns "$work/locknit.trc" --enter 1:7=0 -o "$work/refused.trc"
check "nothing written" test ! -e "$work/refused.trc"
check "composition" "$cli" composition "$work/locknit.trc" --enter 1:3=100 --enter 1:4=6 --json
keep
check "600 ends" python3 -c 'import json,sys; r=json.load(open(sys.argv[1]))["records"]; assert r[0]["ends"] == 600 and abs(sum(x["percent"] for x in r) - 100) < 1e-9' "$work/json"
fails_cleanly "ends past int32" "$cli" composition "$work/locknit.trc" --enter 1:3=65536 --enter 1:4=32768

# Cost and treatment: edits in order; a refused edit writes nothing.
check "cost" "$cli" cost "$work/locknit.trc" --set edCAPA=0 --set ced1=1,000 --set itemName[0]=Dye --save-cst "$work/a.cst" --json
keep
check "capa 0 shows dashes" python3 -c 'import json,sys; d=json.load(open(sys.argv[1])); s=d["sheet"]; assert s["making"] == {"local": None, "foreign": None} and d["costData"]["itemCost"][0] == 1000 and s["items"][0]["name"] == "Dye"' "$work/json"
check "cost file" "$cli" cost "$work/a.cst"
fails_cleanly "not a number" "$cli" cost "$work/a.cst" --set edWorkDay=many --save-cst "$work/refused.cst"
check "no cost file written" test ! -e "$work/refused.cst"
check "treatment" "$cli" treatment "$work/locknit.trc" --method shear --enter 1-3=o --toggle 2 --toggle 999 -o "$work/treated.trc" --json
keep
check "courses 1 and 3 treated" python3 -c 'import json,sys; c=json.load(open(sys.argv[1]))["courses"]; assert [x["treated"] for x in c[:4]] == [True, False, True, False]' "$work/json"
check "check all" "$cli" treatment "$work/treated.trc" --check-all --json
fails_cleanly "no such bar" "$cli" treatment "$work/locknit.trc" --bar 9 -o "$work/refused.trc"

# Lapping chart: 24 needles of 20-pixel cells by 16 courses; bad options fail cleanly.
check "chart --help" "$cli" chart --help
check "chart" "$cli" chart "$work/locknit.trc" --background white --all-needles 1 -o "$work/chart.png"
check "chart is 480 x 320" python3 -c 'import struct,sys; d=open(sys.argv[1],"rb").read(24); assert struct.unpack(">II", d[16:24]) == (480, 320)' "$work/chart.png"
check "chart bmp" "$cli" chart "$work/power-net.trc" --zoom 1 --bar 3 -o "$work/chart.bmp"
fails_cleanly "chart zoom 3" "$cli" chart "$work/locknit.trc" --zoom 3 -o "$work/x.png"
fails_cleanly "chart no bar 5" "$cli" chart "$work/locknit.trc" --bar 5 -o "$work/x.png"

# Palette exchange: export then import keeps every colour; a bad line is named and writes nothing.
check "palette export" "$cli" palette export "$palette" --format gpl -o "$work/p.gpl"
check "palette import" "$cli" palette import "$work/p.gpl" --format gpl -o "$work/p.fcr"
check "dump imported" "$cli" palette dump "$work/p.fcr" --json
keep
cp "$work/json" "$work/imported.json"
check "dump original" "$cli" palette dump "$palette" --json
keep
cp "$work/json" "$work/original.json"
check "colours kept" python3 -c 'import json,sys; a,b=(json.load(open(f))["entries"] for f in sys.argv[1:]); assert all([a[i][c] for c in ("red","green","blue")]==[b[i][c] for c in ("red","green","blue")] and b[i]["kind"]==0 for i in range(1,256))' "$work/json" "$work/imported.json"
printf 'GIMP Palette\n1 2 3\n4 5\n' >"$work/bad.gpl"
fails_cleanly "bad gpl line" "$cli" palette import "$work/bad.gpl" --format gpl -o "$work/refused.fcr"
cp "$work/err" "$work/refusal"
check "line named" grep -q "line 3" "$work/refusal"
check "no palette written" test ! -e "$work/refused.fcr"
printf 'a { color: #fff } b { color: #102030 }' >"$work/site.css"
check "import css on a base" "$cli" palette import "$work/site.css" --format hex --base "$palette" -o "$work/css.fcr"
check "dump css" "$cli" palette dump "$work/css.fcr" --json
keep
check "codes then base" python3 -c 'import json,sys; a,b=(json.load(open(f))["entries"] for f in sys.argv[1:]); assert (b[1]["red"],b[2]["blue"],b[3])==(255,48,a[3])' "$work/original.json" "$work/json"
python3 -c 'print("\n".join("#%06x" % i for i in range(300)))' >"$work/many.hex"
check "more than 255" "$cli" palette import "$work/many.hex" --format hex -o "$work/many.fcr"
cp "$work/err" "$work/warning"
check "left out counted" grep -q "45 colours" "$work/warning"
fails_cleanly "unknown format" "$cli" palette export "$palette" --format act -o "$work/x"

check "thumbnail --help" "$cli" thumbnail --help
check "thumbnail" "$cli" thumbnail "$work/locknit.trc" -o "$work/thumb.png" --size 64
check "thumbnail 51 x 64" python3 -c 'import struct,sys; d=open(sys.argv[1],"rb").read(); assert d[:8]==b"\x89PNG\r\n\x1a\n" and struct.unpack(">II",d[16:24])==(51,64)' "$work/thumb.png"
head -c 9000 "$work/locknit.trc" >"$work/cut.trc"
fails_cleanly "thumbnail of a damaged design" "$cli" thumbnail "$work/cut.trc" -o "$work/cut.png"
check "no thumbnail written" test ! -e "$work/cut.png"
fails_cleanly "thumbnail size 0" "$cli" thumbnail "$work/locknit.trc" -o "$work/zero.png" --size 0

# Capture window: grid and lapping path over a stand-in photo (the simulated fabric), measuring.
check "overlay --help" "$cli" overlay --help
check "measure --help" "$cli" measure --help
check "photo" "$cli" simulate "$work/locknit.trc" --view 400x300 -o "$work/photo.png"
check "overlay" "$cli" overlay "$work/locknit.trc" "$work/photo.png" --grid 5x4 --corners 0,0,400,0,0,300,400,300 --um-per-dot 10 --json -o "$work/overlay.png"
keep
check "path and densities" python3 -c 'import json,sys; d=json.load(open(sys.argv[1])); s=d["segments"]; assert len(s) == 3 and s[0]["from"] == [200, 300] and s[0]["to"] == [400, 200] and d["skippedCourses"] == [] and abs(d["walesPerCm"] - 10) < 1e-9 and abs(d["coursesPerCm"] - 10) < 1e-9' "$work/json"
check "overlay 1 wale" "$cli" overlay "$work/locknit.trc" "$work/photo.png" --grid 1x9 --json
keep
check "both sizes 2, needle 2 skipped" python3 -c 'import json,sys; d=json.load(open(sys.argv[1])); assert (d["wales"], d["courses"], d["segments"], d["skippedCourses"]) == (2, 2, [], [0])' "$work/json"
check "measure" "$cli" measure "$work/photo.png" --magnification 100 --line 0,0,100,0 --point 5,5 --circle 0,0,5,0 -o "$work/measure.png"
check "labels" python3 -c 'import sys; assert open(sys.argv[1], encoding="utf-8").read().splitlines() == ["938 um", "1", "L = 56 um, S = 2485 um\u00b2"]' "$work/last"
check "measure json" "$cli" measure "$work/photo.png" --um-per-dot 2 --triangle 10,10,10,10,13,14 --polygon 0,0,40,0,40,30,20,10,0,30 --json
keep
check "triangle A = B, concave polygon" python3 -c 'import json,sys; o=json.load(open(sys.argv[1]))["objects"]; assert [x["label"] for x in o] == ["H = 10 um, S = 0 um\u00b2", "L = 313 um, S = 3200 um\u00b2"]' "$work/json"
fails_cleanly "measure two calibrations" "$cli" measure "$work/photo.png" --um-per-dot 2 --magnification 100 --line 0,0,1,1
fails_cleanly "measure odd coordinates" "$cli" measure "$work/photo.png" --um-per-dot 2 --line 0,0,1
fails_cleanly "overlay bad corners" "$cli" overlay "$work/locknit.trc" "$work/photo.png" --corners 1,2,3 -o "$work/x.png"
check "no overlay written" test ! -e "$work/x.png"

# Technical sheets as PDF files.
check "report --help" "$cli" report --help
check "report --list" "$cli" report --list
check "ten kinds" python3 -c 'import sys; assert open(sys.argv[1]).read().split() == ["simple", "landscape", "simulation", "design-data", "design-window", "design-layers", "design-layer", "yarn", "yarn-partner", "cost"]' "$work/last"
for kind in $("$cli" report --list); do
  check "report $kind" "$cli" report "$work/tricot.trc" --kind "$kind" -o "$work/$kind.pdf"
  check "report $kind is A4" bash -c "pdfinfo '$work/$kind.pdf' | grep -q 'Page size: *595 x 842\|Page size: *842 x 595'"
done
check "report letter landscape" "$cli" report "$work/tricot.trc" --kind yarn --paper Letter --landscape --chain 3 -o "$work/letter.pdf"
check "letter landscape size" bash -c "pdfinfo '$work/letter.pdf' | grep -q 'Page size: *792 x 612'"
check "report korean" "$cli" report "$work/tricot.trc" --kind cost --lang Korean -o "$work/korean.pdf"
check "report method 2, pages" "$cli" report "$work/tricot.trc" --kind design-layer --layer 2 --method 2 --pages 1-1 -o "$work/range.pdf"
check "one page in the range" bash -c "pdfinfo '$work/range.pdf' | grep -q 'Pages: *1$'"
fails_cleanly "report missing layer" "$cli" report "$work/tricot.trc" --kind design-layer --layer 3 -o "$work/nolayer.pdf"
check "no pdf for a missing layer" test ! -e "$work/nolayer.pdf"
fails_cleanly "report unknown kind" "$cli" report "$work/tricot.trc" --kind poster -o "$work/poster.pdf"
fails_cleanly "report cut design" "$cli" report "$work/cut.trc" --kind simple -o "$work/cut.pdf"
check "no pdf for a cut design" test ! -e "$work/cut.pdf"
fails_cleanly "report newer design" "$cli" report "$work/newer.trc" --kind simple -o "$work/newer.pdf"
check "no pdf for a newer design" test ! -e "$work/newer.pdf"
fails_cleanly "report unwritable" "$cli" report "$work/tricot.trc" --kind simple -o "$work/missing/dir/out.pdf"
fails_cleanly "report pages past the end" "$cli" report "$work/tricot.trc" --kind simple --pages 5-6 -o "$work/past.pdf"
check "no pdf past the end" test ! -e "$work/past.pdf"
check "no temporary files left" bash -c "! ls '$work' | grep -q '\.pdf\..*'"
# Float warnings: exit 0 with no float over the limit, 1 with some, 2 on usage errors.
check "floats --help" "$cli" floats --help
check "sharkskin within 6 mm" "$cli" floats "$work/sharkskin.trc"
"$cli" floats "$work/sharkskin.trc" --limit 2 --json >"$work/json" 2>"$work/err"
check "floats over 2 mm exit 1" test $? -eq 1
check "floats is JSON" json
check "16 back-bar underlaps of 2.72 mm" python3 -c 'import json,sys; f=json.load(open(sys.argv[1]))["floats"]; assert len(f) == 16 and all(x["layer"] == 2 and x["needles"] == 3 and abs(x["millimetres"] - 2.7214) < 1e-4 for x in f)' "$work/json"
check "limit 0 is off" "$cli" floats "$work/sharkskin.trc" --limit 0 --json
"$cli" floats "$work/sharkskin.trc" --limit -1 >/dev/null 2>&1
check "negative limit exit 2" test $? -eq 2
"$cli" floats "$work/missing.trc" >/dev/null 2>&1
check "missing file exit 2" test $? -eq 2

if [ "$failures" -gt 0 ]; then
  echo "$failures checks failed"
  exit 1
fi
echo "all checks passed"
