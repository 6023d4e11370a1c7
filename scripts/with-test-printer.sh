#!/usr/bin/env bash
# Runs a command with a CUPS scheduler of its own: a private cupsd (its own configuration,
# spool, socket and a port on 127.0.0.1, all in a temporary folder) holding the printer queue the
# printing tests use, "ZelmoraTest", whose driver offers three paper bins and whose backend
# captures every job's options and document in a folder instead of printing.
#   scripts/with-test-printer.sh COMMAND [ARGUMENTS...]
# The command sees CUPS_SERVER (so libcups, Qt's printer list and lpadmin talk to this scheduler
# only) and ZELMORA_CUPS_CAPTURE (the capture folder). However the command ends, the scheduler
# is stopped and its folder removed; the system's own scheduler is never touched.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
[ $# -gt 0 ] || { echo "usage: scripts/with-test-printer.sh COMMAND [ARGUMENTS...]" >&2; exit 2; }
cupsd=/usr/sbin/cupsd
[ -x "$cupsd" ] || { echo "No CUPS scheduler ($cupsd): bash scripts/deps.sh tests" >&2; exit 1; }

base=$(mktemp -d "${TMPDIR:-/tmp}/zelmora-cups.XXXXXX")
cupsd_pid=
stop() {
    if [ -n "$cupsd_pid" ]; then
        kill "$cupsd_pid" 2>/dev/null || true
        wait "$cupsd_pid" 2>/dev/null || true
    fi
    rm -rf "$base"
}
trap stop EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

# Started by root, the scheduler runs filters as its own unprivileged user: they must be able
# to pass through to the spool, not to list the folder.
chmod 0711 "$base"
mkdir -p "$base/conf" "$base/spool/tmp" "$base/cache" "$base/state" "$base/log" "$base/capture" \
    "$base/bin/backend"
# The system's filters and helper programs; the only backend is the capturing one, which a
# scheduler started by root runs as its unprivileged user, as it does the filters.
ln -s /usr/lib/cups/filter "$base/bin/filter"
ln -s /usr/lib/cups/daemon "$base/bin/daemon"
install -m 0755 "$here/tests/printing/cups/zelmoracapture" "$base/bin/backend/zelmoracapture"
if [ "$(id -u)" -eq 0 ]; then
    chgrp lp "$base/capture"
    chmod 0770 "$base/capture"
fi

port_in_use() { (exec 3<>"/dev/tcp/127.0.0.1/$1") 2>/dev/null; }
port=
for _ in $(seq 1 50); do
    candidate=$((20000 + RANDOM % 40000))
    port_in_use "$candidate" || { port=$candidate; break; }
done
[ -n "$port" ] || { echo "No free port on 127.0.0.1 for the test scheduler." >&2; exit 1; }

# Clients use the port: the scheduler's printer addresses name it, while those it gives
# clients of the socket name the standard port, the system scheduler's.
cat >"$base/conf/cupsd.conf" <<EOF
Listen 127.0.0.1:$port
Listen $base/cups.sock
ServerName localhost
Browsing No
DefaultShared No
WebInterface No
LogLevel warn
MaxLogSize 0
DefaultAuthType None
<Location />
  Order allow,deny
  Allow localhost
</Location>
<Policy default>
  JobPrivateAccess default
  JobPrivateValues default
  SubscriptionPrivateAccess default
  SubscriptionPrivateValues default
  <Limit All>
    Order deny,allow
  </Limit>
</Policy>
EOF
cat >"$base/conf/cups-files.conf" <<EOF
ServerRoot $base/conf
ServerBin $base/bin
RequestRoot $base/spool
TempDir $base/spool/tmp
CacheDir $base/cache
StateDir $base/state
AccessLog $base/log/access_log
ErrorLog $base/log/error_log
PageLog $base/log/page_log
Printcap $base/state/printcap
SystemGroup root
# The backend writes into this folder only, whatever queue a local user may add.
SetEnv ZELMORA_CAPTURE_FOLDER $base/capture
EOF

"$cupsd" -f -c "$base/conf/cupsd.conf" -s "$base/conf/cups-files.conf" &
cupsd_pid=$!
# "localhost", as in the printer addresses: only then does libcups take this scheduler for the
# local one and ask it, not the device, about a queue's options.
export CUPS_SERVER=localhost:$port
# lpstat -r exits 0 either way; only its words tell.
running() { lpstat -r 2>/dev/null | grep -q "scheduler is running"; }
for _ in $(seq 1 150); do
    running && break
    kill -0 "$cupsd_pid" 2>/dev/null || break
    sleep 0.1
done
if ! running; then
    echo "The test scheduler did not start:" >&2
    cat "$base/log/error_log" >&2 2>/dev/null || true
    exit 1
fi

export ZELMORA_CUPS_CAPTURE=$base/capture
# lpadmin warns that printer drivers are deprecated; only a failure is worth its words.
if ! out=$(lpadmin -p ZelmoraTest -E -v "zelmoracapture:$ZELMORA_CUPS_CAPTURE" \
    -P "$here/tests/printing/cups/zelmora-test.ppd" 2>&1); then
    echo "$out" >&2
    exit 1
fi
cupsenable ZelmoraTest
cupsaccept ZelmoraTest

status=0
"$@" || status=$?
exit "$status"
