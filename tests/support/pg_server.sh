#!/usr/bin/env bash
# Starts or stops the throwaway PostgreSQL server of the test run.
#   pg_server.sh start DIR PORT    initdb a new cluster, start it on 127.0.0.1:PORT, create "attendance"
#   pg_server.sh stop DIR
# The cluster lives in a fresh directory under /tmp (the server's own user must be able to reach
# it, which a build tree under a private home directory may not allow); DIR/server names it.
set -euo pipefail
cmd=$1
dir=$2
port=${3:-54329}
bin=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n 1)
[ -n "$bin" ] || { echo "PostgreSQL server binaries not found (install postgresql)" >&2; exit 1; }

as_owner() {
    if [ "$(id -u)" -eq 0 ]; then runuser -u postgres -- "$@"; else "$@"; fi
}

stop_cluster() {
    local cluster=$1
    if [ -f "$cluster/data/postmaster.pid" ]; then
        as_owner "$bin/pg_ctl" -D "$cluster/data" -m fast -w stop >/dev/null || true
    fi
    rm -rf "$cluster"
}

case "$cmd" in
start)
    mkdir -p "$dir"
    if [ -f "$dir/server" ]; then
        stop_cluster "$(cat "$dir/server")"
    fi
    cluster=$(mktemp -d /tmp/talor-pg.XXXXXX)
    echo "$cluster" > "$dir/server"
    [ "$(id -u)" -eq 0 ] && chown postgres: "$cluster"
    as_owner "$bin/initdb" -D "$cluster/data" -U postgres -A trust -E UTF8 --locale=C.UTF-8 --no-sync >"$cluster/initdb.log"
    # The server's messages in English whatever language the caller's environment asks for,
    # since the tests look for the server's own words in the errors they expect.
    as_owner "$bin/pg_ctl" -D "$cluster/data" -l "$cluster/log" -w start \
        -o "-c listen_addresses=127.0.0.1 -p $port -k $cluster -c fsync=off -c lc_messages=C" >/dev/null
    "$bin/createdb" -h 127.0.0.1 -p "$port" -U postgres attendance
    echo "PostgreSQL test server on 127.0.0.1:$port ($cluster)"
    ;;
stop)
    if [ -f "$dir/server" ]; then
        stop_cluster "$(cat "$dir/server")"
        rm -f "$dir/server"
    fi
    echo "PostgreSQL test server stopped"
    ;;
*)
    echo "usage: $0 start|stop DIR [PORT]" >&2
    exit 2
    ;;
esac
