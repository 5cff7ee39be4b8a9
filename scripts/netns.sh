#!/bin/sh
# netns.sh COMMAND [ARG...]
# Runs COMMAND in a private network namespace whose only interface is
# loopback (up, multicast on, a route for 224.0.0.0/4), so that Art-Net
# broadcasts, E1.31 multicast, HTTP requests and every other packet of the
# tests stay on this machine. As root it is a plain network namespace (so
# peers such as olad can still switch to their own user); as an ordinary
# user it maps that user to root in a user namespace.
if [ $# -eq 0 ]; then
    echo "usage: netns.sh COMMAND [ARG...]" >&2
    exit 2
fi
if [ "$(id -u)" -eq 0 ]; then opts="--net"; else opts="--map-root-user --net"; fi
exec unshare $opts sh -c '
    ip link set lo up &&
    ip link set lo multicast on &&
    ip route add 224.0.0.0/4 dev lo &&
    exec "$@"' netns.sh "$@"
