#!/usr/bin/env bash
# Inspects the i686 Windows executables of a build tree (they cannot run here):
# machine i386, no DLL imports beyond the system's own DLLs, and for the product
# ParlinoSetup.exe also the GUI subsystem, the requireAdministrator manifest and the
# resources 147 ("ZIPRES") and 145 (icon).
set -uo pipefail
tree=${1:?usage: check_pe.sh BUILD_DIR}
OBJDUMP=i686-w64-mingw32-objdump
# DLLs every Windows installation has; anything else would have to ship beside us.
SYSTEM_DLLS='^(kernel32|user32|gdi32|gdiplus|advapi32|shell32|shlwapi|ole32|oleaut32|comctl32|comdlg32|msimg32|ws2_32|wldap32|crypt32|secur32|bcrypt|normaliz|urlmon|wininet|wtsapi32|netapi32|iphlpapi|version|msvcrt|ntdll|imm32|winmm|uxtheme|dwmapi|userenv|rpcrt4|api-ms-win-.*)\.dll$'
status=0
fail() { echo "check_pe: $*"; status=1; }

mapfile -t exes < <(find "$tree" -maxdepth 3 -name '*.exe' -not -path '*/tests/*' -not -path '*/CMakeFiles/*' | sort)
((${#exes[@]})) || fail "no executables under $tree"
for exe in "${exes[@]}"; do
  name=$(basename "$exe")
  headers=$($OBJDUMP -p "$exe" 2>&1) || { fail "$name: not a PE file"; continue; }
  grep -q 'file format pei-i386' <<<"$headers" || fail "$name: not an i386 executable"
  while read -r dll; do
    grep -qiE "$SYSTEM_DLLS" <<<"$dll" || fail "$name: imports non-system DLL $dll"
  done < <(awk '/DLL Name:/{print $3}' <<<"$headers")
  echo "check_pe: $name i386, imports: $(awk '/DLL Name:/{printf "%s ", $3}' <<<"$headers")"
done

product=$tree/app/ParlinoSetup.exe
if [ -f "$product" ]; then
  headers=$($OBJDUMP -p "$product")
  grep -q 'Subsystem.*(Windows GUI)' <<<"$headers" || fail "ParlinoSetup.exe: not a GUI executable"
  strings -el "$product" >/dev/null
  grep -q 'requireAdministrator' "$product" || fail "ParlinoSetup.exe: manifest does not request administrator rights"
  res=$(i686-w64-mingw32-windres --input-format=coff --output-format=rc "$product" 2>/dev/null || true)
  grep -q '147 ZIPRES' <<<"$res" || fail "ParlinoSetup.exe: no ZIPRES resource 147"
  grep -qE '^145 ICON|145 ICON' <<<"$res" || fail "ParlinoSetup.exe: no icon 145"
else
  echo "check_pe: the windowed product ParlinoSetup.exe is not part of this build yet"
fi
exit $status
