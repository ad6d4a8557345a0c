#!/usr/bin/env bash
# Sets everything up and starts the synthesizer; arguments go to the program.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
if [ ! -x build/app/corvane ]; then
  echo "The Corvane program (app/) is not built yet." >&2
  exit 1
fi
exec build/app/corvane "$@"
