#!/usr/bin/env bash
# Starts the CUPS scheduler on this machine (when it does not run yet) and adds the printer queue
# the printing tests use: "ZelmoraTest", whose driver offers three paper bins and whose backend
# captures every job's options and document in a folder instead of printing. Needs root.
#   scripts/cups-test-queue.sh [CAPTURE_FOLDER]     (default /var/spool/zelmora-capture)
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
capture=${1:-/var/spool/zelmora-capture}

install -d -m 1777 "$capture"
# 0755: CUPS runs the backend as its unprivileged user.
install -m 0755 "$here/tests/printing/cups/zelmoracapture" /usr/lib/cups/backend/zelmoracapture

# lpstat -r exits 0 either way; only its words tell.
running() { lpstat -r 2>/dev/null | grep -q "scheduler is running"; }
if ! running; then
    /usr/sbin/cupsd
    for _ in $(seq 1 150); do
        running && break
        sleep 0.2
    done
fi
running || { echo "The CUPS scheduler did not start." >&2; exit 1; }

lpadmin -p ZelmoraTest -E -v "zelmoracapture:$capture" -P "$here/tests/printing/cups/zelmora-test.ppd"
cupsenable ZelmoraTest
cupsaccept ZelmoraTest
lpstat -p ZelmoraTest
