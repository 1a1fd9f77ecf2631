#!/usr/bin/env bash
# Prints a page through the program's own print job on a real CUPS queue that
# writes PDF files (Debian's printer-driver-cups-pdf), then checks the sheet:
# the PDF is rendered at 100 dpi with pdftoppm and every block of the picture
# must sit where the layout puts it, in its own colour, with sharp edges.
#
#   tools/print_test.sh [BUILD_DIR]     (default: build-print)
#
# Needs root (or sudo) for the packages and the queue. It installs cups,
# printer-driver-cups-pdf and poppler-utils, starts cupsd when none runs (and
# stops it again afterwards), adds the queue TintarooPDF and makes it the
# default printer only when the machine has no default printer: a test sheet
# never goes to a real printer. The PDF lands in ~/PDF/ of the user who runs
# this; it is kept, and its page as PNG beside it (tintaroo-print-test.png).
set -euo pipefail
cd "$(dirname "$0")/.."

BUILD=${1:-build-print}
QUEUE=TintarooPDF
sudo=()
[ "$(id -u)" -ne 0 ] && sudo=(sudo)

need=()
for p in cups printer-driver-cups-pdf poppler-utils; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || need+=("$p")
done
if [ ${#need[@]} -gt 0 ]; then
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -qq
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
        "${need[@]}"
fi

cupsd_pid=
cleanup() {
    if [ -n "$cupsd_pid" ]; then
        "${sudo[@]}" kill "$cupsd_pid" 2>/dev/null || true
        wait "$cupsd_pid" 2>/dev/null || true
    fi
}
trap cleanup EXIT

if ! lpstat -r 2>/dev/null | grep -q 'is running'; then
    "${sudo[@]}" /usr/sbin/cupsd -f &
    cupsd_pid=$!
    for _ in $(seq 50); do
        lpstat -r 2>/dev/null | grep -q 'is running' && break
        sleep 0.2
    done
fi
lpstat -r | grep -q 'is running' || { echo "cupsd did not start" >&2; exit 1; }

if ! lpstat -p "$QUEUE" >/dev/null 2>&1; then
    "${sudo[@]}" lpadmin -p "$QUEUE" -v cups-pdf:/ -m lsb/usr/cups-pdf/CUPS-PDF_opt.ppd -E
fi
if lpstat -d 2>/dev/null | grep -q 'no system default'; then
    "${sudo[@]}" lpadmin -d "$QUEUE"
fi
echo "$(lpstat -d)"

cmake -S . -B "$BUILD" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$BUILD" -j"${JOBS:-2}" --target colouring_print_tests
mkdir -p "$HOME/PDF"
TINTAROO_PRINT_QUEUE=$QUEUE TINTAROO_PRINT_OUTPUT=$HOME/PDF \
    "$BUILD/tests/colouring/colouring_print_tests" --gtest_filter='*RealQueue*'

# The sheet for a person to look at.
pdf=$(ls -t "$HOME"/PDF/*.pdf | head -n 1)
pdftoppm -r 100 -png -singlefile "$pdf" "$HOME/PDF/tintaroo-print-test"
echo "Printed: $pdf"
echo "As seen: $HOME/PDF/tintaroo-print-test.png"
