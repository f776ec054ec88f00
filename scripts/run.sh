#!/usr/bin/env bash
# Installs what the build needs, builds, registers the two class libraries, prepares the
# sample data folder on first run (never touching one that exists) and starts the program.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
./scripts/setup.sh
./scripts/build.sh release
bin=build/release/bin

# The class libraries, in the registry beside the program.
"$bin/regsvr" "$bin/libVelmora_Business.so" "$bin/libQuillon.so" >/dev/null

# The sample data folder: made aside, then moved into place whole.
data="$root/sample"
if [ ! -e "$data" ]; then
  staging=$(mktemp -d "$root/.sample.XXXXXX")
  trap 'rm -rf "$staging"' EXIT
  ./scripts/mksample.sh "$staging" "$bin/mkdata" >/dev/null
  mkdir -p "$staging/backup" "$staging/export"
  mv -T "$staging" "$data"
  trap - EXIT
  echo "Sample data in $data (account: operator, password: velmora)."
fi

# The program's configuration beside it, naming the sample hospital; an existing one is kept.
if [ ! -e "$bin/Init.xml" ]; then
  escaped=$(printf '%s' "$data" | sed -e 's/&/\&amp;/g' -e 's/</\&lt;/g' -e 's/>/\&gt;/g' -e 's/[\\|&]/\\&/g')
  sed "s|@DATA@|$escaped|g" data/Init.xml > "$bin/Init.xml.new"
  mv "$bin/Init.xml.new" "$bin/Init.xml"
fi

exec "$bin/velmora" "$@"
