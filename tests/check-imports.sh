#!/usr/bin/env bash
# Every binary of the build needs only Windows system DLLs and the host's sibling libraries:
# nothing of the MinGW runtime may be left to load at run time.
set -euo pipefail
bin=$1
allowed='^(kernel32|user32|gdi32|comctl32|comdlg32|advapi32|shell32|shlwapi|ole32|oleaut32|msvcrt|gdiplus|uxtheme|msi|version|uuid|ntdll|dbcall|txtres|zebsettings|lineage|iconssideloadhelper)\.dll$'
status=0
shopt -s nullglob
for file in "$bin"/*.dll "$bin"/*.exe "$bin"/*/*.dll; do
  while read -r dll; do
    if ! [[ ${dll,,} =~ $allowed ]]; then
      echo "$(basename "$file") imports $dll"
      status=1
    fi
  done < <(x86_64-w64-mingw32-objdump -p "$file" | awk '/DLL Name:/{print $3}')
done
[ $status -eq 0 ] && echo "every binary in $bin imports only system DLLs and sibling libraries"
exit $status
