#!/usr/bin/env bash
# Runs every skin-parser fuzz target for a while, starting from a small generated seed
# corpus. Exits non-zero when a target crashes, leaks, hangs or fails to build.
#
# usage: tools/run_fuzzers.sh BUILD_DIR [SECONDS_PER_TARGET]
#   BUILD_DIR  a tree configured with the native-fuzz preset (the targets are built
#              here when missing or out of date)
# Crash inputs are kept in BUILD_DIR/fuzz-artifacts/<target>/.
set -euo pipefail

[ $# -ge 1 ] || { echo "usage: $0 BUILD_DIR [SECONDS_PER_TARGET]" >&2; exit 2; }
build=$(cd "$1" && pwd)
seconds=${2:-20}
here=$(cd "$(dirname "$0")/.." && pwd)
targets=(fuzz_xml_markup fuzz_seven_zip_archive fuzz_image_decoder fuzz_skin_values)
# Per-input limits: a slow or memory-hungry input is a finding too.
input_timeout=10
rss_limit_mb=2048

cmake --build "$build" --target ui_fuzzers -j2 >/dev/null

seeds=$(mktemp -d)
work=$(mktemp -d)
trap 'rm -rf "$seeds" "$work"' EXIT

# --- seeds
python3 - "$seeds" <<'PY'
import os, struct, sys, zlib
out = sys.argv[1]
def put(target, name, data):
    d = os.path.join(out, target)
    os.makedirs(d, exist_ok=True)
    with open(os.path.join(d, name), "wb") as f:
        f.write(data)
def png(w, h, rows, color_type=6):
    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)
    raw = b"".join(b"\x00" + bytes(r) for r in rows)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, 8, color_type, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(raw)) + chunk(b"IEND", b""))
layout = ('<?xml version="1.0" encoding="utf-8"?>\n<!-- c -->\n<Window size="600,400" caption="0,0,0,35">'
          '<Font id="0" name="x" size="14"/><VerticalLayout bkimage="res\\bg.png">'
          '<Button text="&lt;ok&gt; &amp;amp;" normalimage="file=\'a.png\' fade=\'255\'"/>text'
          '</VerticalLayout></Window>')
put("fuzz_xml_markup", "utf8", b"\x00" + layout.encode("utf-8"))
put("fuzz_xml_markup", "utf16", b"\x01" + b"\xff\xfe" + layout.encode("utf-16-le"))
put("fuzz_xml_markup", "fold", b"\x80<a v=\"x  \t y\"> p \r\n q </a>")
put("fuzz_xml_markup", "unclosed", b"\x00<a><b>")
put("fuzz_image_decoder", "rgba", png(3, 2, [[255, 0, 0, 255, 255, 255, 255, 128, 1, 2, 3, 0]] * 2))
put("fuzz_image_decoder", "rgb", png(2, 2, [[9, 8, 7, 6, 5, 4]] * 2, color_type=2))
put("fuzz_image_decoder", "gray", png(4, 1, [[0, 64, 128, 255]], color_type=0))
put("fuzz_skin_values", "image", b"file='res\\common\\a.png' dest='0,2,15,16' corner='2,2,2,2' mask='#FFFF0000' fade='128' hole='true'")
put("fuzz_skin_values", "colour", b"#FF1675FE")
put("fuzz_skin_values", "pattern", b"res\\mainWnd\\installBtnAnimate\\%.3d.png")
PY
# 7z seeds: two small archives (solid LZMA2, and stored) packed by 7-Zip itself.
stage=$(mktemp -d)
mkdir -p "$stage/res/common" "$seeds/fuzz_seven_zip_archive"
printf '<Window><Label text="x"/></Window>' >"$stage/mainWnd.xml"
cp "$seeds/fuzz_image_decoder/rgba" "$stage/res/common/a.png"
(cd "$stage" && 7zz a -t7z -bd -bso0 -m0=lzma2 -ms=on "$seeds/fuzz_seven_zip_archive/solid.7z" . \
  && 7zz a -t7z -bd -bso0 -m0=copy "$seeds/fuzz_seven_zip_archive/stored.7z" .)
rm -rf "$stage"

# --- runs
status=0
for target in "${targets[@]}"; do
  bin="$build/ui/fuzz/$target"
  mkdir -p "$work/$target" "$build/fuzz-artifacts/$target"
  echo "fuzzing $target for ${seconds}s"
  if ! "$bin" -max_total_time="$seconds" -timeout="$input_timeout" -rss_limit_mb="$rss_limit_mb" \
       -print_final_stats=1 -artifact_prefix="$build/fuzz-artifacts/$target/" \
       "$work/$target" "$seeds/$target" >"$work/$target.log" 2>&1; then
    echo "FAIL $target (log below; inputs in $build/fuzz-artifacts/$target/)"
    tail -40 "$work/$target.log"
    status=1
  else
    grep -E 'stat::number_of_executed_units' "$work/$target.log" | sed "s/^/  $target /" || true
  fi
done
exit $status
