#!/usr/bin/env bash
# Builds Perikon and opens the shell on a demo account database, logged in as the demo
# administrator.
#
#   scripts/run.sh [--reset] [--login USER] [--lang zh-CN|en-US] [--screenshot FILE]
#
# The demo database (SQLite) is created on the first run in ${PERIKON_DATA_DIR:-~/.local/share/
# perikon/demo} and reused afterwards; --reset creates it anew. Besides "admin" it knows the clerks
# "wangfang" (every contact function, only her own contacts) and "liqiang" (reads all, changes
# none). --screenshot renders the opened list into a PNG without a display and exits.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${PERIKON_BUILD_DIR:-$root/build}"

reset=0
screenshot=""
login="admin"
lang="zh-CN"
while [ $# -gt 0 ]; do
    case "$1" in
        --reset) reset=1 ;;
        --screenshot) screenshot="${2:?--screenshot needs a file name}"; shift ;;
        --login) login="${2:?--login needs an operator}"; shift ;;
        --lang) lang="${2:?--lang needs zh-CN or en-US}"; shift ;;
        -h|--help) sed -n '2,11p' "${BASH_SOURCE[0]}" | sed 's/^# \{0,1\}//'; exit 0 ;;
        *) echo "run.sh: unknown option $1 (see --help)" >&2; exit 2 ;;
    esac
    shift
done

# Without a display the shell cannot open; say so before the build takes its time.
if [ -z "$screenshot" ] && [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] \
    && [ -z "${QT_QPA_PLATFORM:-}" ]; then
    echo "run.sh: no display (DISPLAY and WAYLAND_DISPLAY are unset); use --screenshot FILE to render the list into a PNG instead" >&2
    exit 1
fi

"$root/scripts/setup-deps.sh"
PERIKON_BUILD_DIR="$build" "$root/scripts/build.sh"

data="${PERIKON_DATA_DIR:-$HOME/.local/share/perikon/demo}"
year="$(date +%Y)"
account="QZDATA_001_$year"
db="$data/$account.db"
# Demo data made by an older schema lacks what the windows now read: it is made anew.
schema="$(cat "$root"/suite/schema/*/*.sql | sha256sum | cut -c1-16)"
if [ -f "$db" ] && [ "$(cat "$data/schema.stamp" 2>/dev/null)" != "$schema" ]; then
    echo "run.sh: the demo database was made by an older schema; making it anew"
    reset=1
fi
if [ "$reset" = 1 ]; then
    rm -f "$data"/QZDATA_001_*.db "$data"/QZMeta_001.db "$data"/qzsystem.db
fi
if [ ! -f "$db" ]; then
    mkdir -p "$data"
    "$build/bin/perikon-db" create "Provider=SQLite;Data Source=$db;Initial Catalog=$account" \
        --demo 3000
    echo "$schema" > "$data/schema.stamp"
else
    echo "run.sh: using the demo database $db (--reset creates it anew)"
fi

if [ -n "$screenshot" ]; then
    QT_QPA_PLATFORM=offscreen exec "$build/bin/perikon-shell" --login "$login" --lang "$lang" \
        --connection "$db" --screenshot "$screenshot"
fi
exec "$build/bin/perikon-shell" --login "$login" --lang "$lang" --connection "$db"
