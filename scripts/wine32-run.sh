#!/usr/bin/env bash
# Runs a 32-bit Windows program with the private 32-bit half of Wine (scripts/wine32.sh):
# natively where the kernel runs i386 programs, under qemu-i386 emulation elsewhere;
# VINTREL_WINE32=qemu forces emulation. Says on standard error which one it used.
#   wine32-run.sh PROGRAM.exe [ARGS...]     (WINEPREFIX as for wine64)
set -euo pipefail
# shellcheck source=wine-env.sh
. "$(dirname "$0")/wine-env.sh"
[ -n "${WINE32:-}" ] && [ -n "${VINTREL_WINE32_MODE:-}" ] || wine32_use
echo "wine32-run: 32-bit Wine, $VINTREL_WINE32_MODE" >&2
exec "$WINE32" "$@"
