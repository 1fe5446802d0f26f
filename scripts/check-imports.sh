#!/usr/bin/env bash
# Checks that each program imports only Windows system DLLs: one file to copy and run.
set -euo pipefail
allowed='^(kernel32|user32|gdi32|advapi32|credui|shell32|ole32|oleaut32|comctl32|comdlg32|rpcrt4|shlwapi|msvcrt)\.dll$'
status=0
for program in "$@"; do
    while read -r dll; do
        if ! echo "$dll" | tr 'A-Z' 'a-z' | grep -Eq "$allowed"; then
            echo "$program imports $dll, which is not a Windows system DLL"
            status=1
        fi
    done < <(x86_64-w64-mingw32-objdump -p "$program" | awk '/DLL Name:/ {print $3}')
    echo "$(basename "$program"): $(x86_64-w64-mingw32-objdump -p "$program" | awk '/DLL Name:/ {printf "%s ", $3}')"
done
exit $status
