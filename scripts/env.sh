# Shared settings of the scripts: sourced, never run.
VEDRA_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
VEDRA_CACHE=${VEDRA_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/vedra}
VEDRA_BUILD=${VEDRA_BUILD:-$VEDRA_ROOT/build}
VEDRA_JPEG_ROOT=$VEDRA_CACHE/libjpeg
VEDRA_WINE64=/usr/lib/wine/wine64
# Debian's loader is the fallback: scripts/setup may install it after this file is sourced.
[ -x "$VEDRA_WINE64" ] || VEDRA_WINE64=$(command -v wine64 || command -v wine || echo /usr/lib/wine/wine64)
export WINEPREFIX=${VEDRA_WINEPREFIX:-$VEDRA_CACHE/wine}
export WINEARCH=win64
# Wine converts file names through the locale's character set: with LANG unset or C (a bare CI
# machine) names in Korean cannot be created, so fall back to C.UTF-8 (built into glibc).
[ "$(locale charmap 2>/dev/null)" = UTF-8 ] || export LC_ALL=C.UTF-8
# No mono or gecko installs; Wine's debug output only when asked for (VEDRA_WINEDEBUG=...).
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEDEBUG=${VEDRA_WINEDEBUG:--all}
VEDRA_JOBS=${VEDRA_JOBS:-$(nproc)}

vedra_say() { printf 'vedra: %s\n' "$*" >&2; }
vedra_die() { printf 'vedra: error: %s\n' "$*" >&2; exit 1; }

# Runs "$@" inside a private X server unless one is already there.
vedra_with_display() {
  if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
    "$@"
  else
    vedra_say "no display: running inside Xvfb"
    xvfb-run -a -s "-screen 0 1280x1024x24" "$@"
  fi
}

# Prepares the base folder Vedra runs in ($VEDRA_BASE, by default in the cache), names it in the
# registry as the install folder, and makes it the current folder.
vedra_use_base() {
  local base=${VEDRA_BASE:-$VEDRA_CACHE/base}
  "$VEDRA_ROOT/scripts/prepare-base" "$base"
  "$VEDRA_WINE64" reg add 'HKLM\SOFTWARE\TAVO\Vedra\1.0\Full' /v Run /t REG_SZ \
    /d "Z:$(printf '%s' "$base" | tr / '\\')\\" /f >/dev/null 2>&1
  cd "$base"
}
