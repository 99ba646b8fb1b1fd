#!/usr/bin/env bash
# A small volume that the export tests fill up, to see a write refused part-way.
#   full-volume.sh up DIR     mount a 256 KiB tmpfs at DIR (only a folder when mounting is not allowed)
#   full-volume.sh down DIR   unmount it
set -uo pipefail
cmd=$1; dir=$2
case $cmd in
up)
  mkdir -p "$dir"
  mountpoint -q "$dir" && umount "$dir"
  mount -t tmpfs -o size=256k,mode=1777 lineage-export-full "$dir" 2>/dev/null ||
    echo "full-volume.sh: cannot mount a tmpfs at $dir; the full-volume test will be skipped" >&2
  exit 0 ;;
down)
  mountpoint -q "$dir" && umount "$dir"
  exit 0 ;;
*) echo "usage: $0 up|down DIR" >&2; exit 2 ;;
esac
