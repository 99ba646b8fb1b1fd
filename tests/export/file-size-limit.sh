#!/usr/bin/env bash
# Runs a command whose files may not grow past KIB kibibytes. A write past the limit fails
# with EFBIG instead of killing the process (SIGXFSZ ignored), as a full disk refuses one.
#   file-size-limit.sh KIB COMMAND [ARGS...]
set -euo pipefail
ulimit -f "$1"
shift
trap '' XFSZ
exec "$@"
