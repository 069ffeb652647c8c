#!/usr/bin/env bash
# Starts or stops the throwaway PostgreSQL server of the test run.
#   pg_server.sh start DIR PORT    initdb into DIR, start on 127.0.0.1:PORT, create "attendance"
#   pg_server.sh stop DIR
set -euo pipefail
cmd=$1
dir=$2
port=${3:-54329}
bin=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n 1)
[ -n "$bin" ] || { echo "PostgreSQL server binaries not found (install postgresql)" >&2; exit 1; }

as_owner() {
    if [ "$(id -u)" -eq 0 ]; then runuser -u postgres -- "$@"; else "$@"; fi
}

case "$cmd" in
start)
    if [ -f "$dir/data/postmaster.pid" ]; then
        as_owner "$bin/pg_ctl" -D "$dir/data" -m immediate -w stop >/dev/null 2>&1 || true
    fi
    rm -rf "$dir"
    mkdir -p "$dir"
    [ "$(id -u)" -eq 0 ] && chown postgres: "$dir"
    as_owner "$bin/initdb" -D "$dir/data" -U postgres -A trust -E UTF8 --locale=C.UTF-8 --no-sync >"$dir/initdb.log"
    as_owner "$bin/pg_ctl" -D "$dir/data" -l "$dir/log" -w start \
        -o "-c listen_addresses=127.0.0.1 -p $port -k $dir -c fsync=off" >/dev/null
    "$bin/createdb" -h 127.0.0.1 -p "$port" -U postgres attendance
    echo "PostgreSQL test server on 127.0.0.1:$port"
    ;;
stop)
    as_owner "$bin/pg_ctl" -D "$dir/data" -m fast -w stop >/dev/null
    echo "PostgreSQL test server stopped"
    ;;
*)
    echo "usage: $0 start|stop DIR [PORT]" >&2
    exit 2
    ;;
esac
