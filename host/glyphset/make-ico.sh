#!/usr/bin/env bash
# Assembles an icon file whose images are the given PNG files, each stored as it is
# (PNG-compressed icon images).   make-ico.sh OUT.ico EDGE:FILE.png...
set -euo pipefail
out=$1; shift

# Little-endian integers as raw bytes.
le() {  # le VALUE BYTES
  local value=$1 i
  for ((i = 0; i < $2; i++)); do
    printf "\\$(printf '%03o' $(((value >> (8 * i)) & 255)))"
  done
}

{
  le 0 2; le 1 2; le $# 2                      # reserved, type 1 (icon), image count
  offset=$((6 + 16 * $#))
  for image in "$@"; do
    edge=${image%%:*}; size=$(stat -c %s "${image#*:}")
    le $((edge % 256)) 1; le $((edge % 256)) 1  # 256 is written as 0
    le 0 1; le 0 1; le 1 2; le 32 2              # no palette, reserved, one plane, 32 bits per pixel
    le "$size" 4; le "$offset" 4
    offset=$((offset + size))
  done
  for image in "$@"; do cat "${image#*:}"; done
} > "$out.tmp"
mv "$out.tmp" "$out"
