#!/usr/bin/env bash
# Installs what the build needs, builds, prepares the sample data folder on first
# run and starts the program.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/setup.sh
./scripts/build.sh release
bin=build/release/bin
if [ ! -x "$bin/velmora" ]; then
  echo "The program velmora is not built yet: only the libraries and tests are there so far."
  exit 0
fi
exec "$bin/velmora" "$@"
