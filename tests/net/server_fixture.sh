#!/bin/sh
# Starts or stops the loopback server of the net tests:  server_fixture.sh start|stop DIR
# DIR receives the served folder (root/), the test CA and certificates (certs/), the port
# file (ports) and the request log (requests.log).
set -eu
server=$(dirname "$0")/../servers/loopback_server.py
dir=$2
case $1 in
start)
    python3 "$server" stop --port-file "$dir/ports"
    mkdir -p "$dir/root"
    rm -f "$dir/requests.log"
    python3 "$server" make-certs "$dir/certs"
    exec python3 "$server" start --root "$dir/root" --port-file "$dir/ports" \
        --log "$dir/requests.log" --lifetime 1800 \
        --listen http=http \
        --listen "https=https,$dir/certs/good.pem,$dir/certs/good-key.pem" \
        --listen "wrongname=https,$dir/certs/wrongname.pem,$dir/certs/wrongname-key.pem" \
        --listen "wronghead=https,$dir/certs/wrongname.pem,$dir/certs/wrongname-key.pem"
    ;;
stop)
    exec python3 "$server" stop --port-file "$dir/ports"
    ;;
*)
    echo "usage: server_fixture.sh start|stop DIR" >&2
    exit 2
    ;;
esac
