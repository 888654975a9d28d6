#!/usr/bin/env bash
# parlino-skin against the fixture archives (and the product skin when
# PARLINO_SKIN_ARCHIVE names it): output and exit codes.
set -u
tool=$1
fixtures=$2
fail=0
expect() {  # expect NAME WANTED_EXIT ACTUAL_EXIT
  if [ "$2" != "$3" ]; then echo "FAIL $1: exit $3, expected $2"; fail=1; else echo "ok   $1"; fi
}

out=$("$tool" list "$fixtures/skin_small.7z"); rc=$?
expect "list exits 0" 0 $rc
echo "$out" | grep -qx $'mainWnd.xml\t[0-9]*' || { echo "FAIL list lacks mainWnd.xml"; fail=1; }
[ "$(echo "$out" | wc -l)" -eq 9 ] || { echo "FAIL list: expected 9 entries"; fail=1; }

out=$("$tool" check "$fixtures/skin_small.7z"); rc=$?
expect "check with missing images exits 1" 1 $rc
[ "$(echo "$out" | grep -c '^missing image: ')" -eq 4 ] || { echo "FAIL check: expected 4 missing images"; echo "$out"; fail=1; }

"$tool" check "$fixtures/skin_broken.7z" >/dev/null; expect "check with a malformed layout exits 1" 1 $?
"$tool" check "$fixtures/pixels.png" 2>/dev/null; expect "not an archive exits 2" 2 $?
"$tool" list "$fixtures/none.7z" 2>/dev/null; expect "missing archive exits 2" 2 $?
"$tool" frobnicate "$fixtures/skin_small.7z" 2>/dev/null; expect "unknown command exits 2" 2 $?

if [ -n "${PARLINO_SKIN_ARCHIVE:-}" ]; then
  out=$("$tool" check "$PARLINO_SKIN_ARCHIVE"); rc=$?
  expect "product skin check exits 1 (three known absences)" 1 $rc
  got=$(echo "$out" | grep '^missing image: ' | sed 's/.*[\\/]//' | LC_ALL=C sort -u | tr '\n' ' ')
  [ "$got" = "closebtn4.png closebtnM_4.png minbtn4.png " ] || { echo "FAIL product skin: missing '$got'"; fail=1; }
  [ "$(echo "$out" | grep -vc '^missing image: \|^checked ')" -eq 0 ] || { echo "FAIL product skin: other problems"; echo "$out"; fail=1; }
fi
exit $fail
