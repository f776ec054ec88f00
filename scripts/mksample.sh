#!/usr/bin/env bash
# Creates a sample data folder from data/ with mkdata: the database and the workgroup file
# with the sample account "operator" (password "velmora": change it for real use).
#   scripts/mksample.sh FOLDER [MKDATA] [DATABASE_NAME] [WORKGROUP_NAME]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
folder=${1:?usage: mksample.sh FOLDER [MKDATA] [DATABASE_NAME] [WORKGROUP_NAME]}
mkdata=${2:-$root/build/debug/bin/mkdata}
database=${3:-Velmora.mdb}
workgroup=${4:-Velmora.mdw}
data="$root/data"
mkdir -p "$folder"
printf '%s\n' velmora | "$mkdata" \
  --database "$folder/$database" --schema "$data/schema.sql" \
  --data "$data/judete.sql" --data "$data/sectii.sql" --data "$data/perioade.sql" \
  --data "$data/informatii.sql" --data "$data/rapoarte.sql" --data "$data/sample.sql" \
  --workgroup "$folder/$workgroup" --account operator
