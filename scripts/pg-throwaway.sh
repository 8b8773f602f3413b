# Throwaway PostgreSQL cluster for the tests: initdb and pg_ctl as the postgres user, listening only
# on a unix socket in a temporary folder. Source this file, then pg_throwaway_start / _stop.
# pg_throwaway_start exports PERIKON_TEST_PG (a connection string), PERIKON_PG_SOCKET_DIR and
# PERIKON_PG_BIN. PERIKON_PG_PORT picks the port (default 54329), so two clusters can coexist.
# pg_throwaway_pause / _resume stop and restart the server of a running cluster, keeping its
# data: the server-fault tests use them.

pg_throwaway_bin() {
    local v
    v=$(ls /usr/lib/postgresql 2>/dev/null | sort -V | tail -1)
    echo "/usr/lib/postgresql/$v/bin"
}

pg_as_postgres() {
    if [[ $(id -un) == postgres ]]; then "$@"; else runuser -u postgres -- "$@"; fi
}

pg_throwaway_start() {
    local bin dir port
    bin="$(pg_throwaway_bin)"
    if [[ ! -x "$bin/initdb" ]]; then
        echo "pg-throwaway: no PostgreSQL server binaries; PostgreSQL tests are skipped" >&2
        return 0
    fi
    dir="$(mktemp -d /tmp/perikon-pg.XXXXXX)"
    chmod 755 "$dir"
    chown postgres:postgres "$dir" 2>/dev/null || true
    port="${PERIKON_PG_PORT:-54329}"
    pg_as_postgres "$bin/initdb" -D "$dir/data" -A trust -U postgres -E UTF8 --locale=C.UTF-8 >"$dir/initdb.log" 2>&1
    echo "$port" >"$dir/port"
    pg_throwaway_resume_in "$bin" "$dir"
    pg_as_postgres "$bin/createdb" -h "$dir" -p "$port" -U postgres perikon
    export PERIKON_PG_SOCKET_DIR="$dir"
    export PERIKON_PG_BIN="$bin"
    export PERIKON_TEST_PG="Provider=PostgreSQL;Host=$dir;Port=$port;Database=perikon;User ID=postgres;Password=;Initial Catalog=QZDATA_001_2026"
    echo "pg-throwaway: server on $dir port $port"
}

pg_throwaway_resume_in() {
    local bin="$1" dir="$2" port
    port="$(cat "$dir/port")"
    pg_as_postgres "$bin/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w -t 60 \
        -o "-c listen_addresses='' -c unix_socket_directories='$dir' -p $port -c fsync=off -c synchronous_commit=off -c full_page_writes=off -c max_connections=200" \
        start >/dev/null
}

pg_throwaway_pause() {
    pg_as_postgres "$PERIKON_PG_BIN/pg_ctl" -D "$PERIKON_PG_SOCKET_DIR/data" -m fast -w stop >/dev/null
}

pg_throwaway_resume() {
    pg_throwaway_resume_in "$PERIKON_PG_BIN" "$PERIKON_PG_SOCKET_DIR"
}

pg_throwaway_stop() {
    local dir="${PERIKON_PG_SOCKET_DIR:-}"
    [[ -n "$dir" && -d "$dir/data" ]] || return 0
    pg_as_postgres "$PERIKON_PG_BIN/pg_ctl" -D "$dir/data" -m immediate stop >/dev/null 2>&1 || true
    rm -rf "$dir"
}
