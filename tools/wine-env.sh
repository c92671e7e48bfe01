# Sourced by ./test and ./run: a Wine prefix of the project's own, Chinese fonts mapped,
# one wineserver kept for the whole run, and an X display (Xvfb when there is none).
export WINEPREFIX="${QOVRA_ROOT}/build/wineprefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
WINE64=/usr/lib/wine/wine64

qovra_start_display() {
  if [ -z "${DISPLAY:-}" ]; then
    export DISPLAY=:77
    if ! xdpyinfo -display "$DISPLAY" >/dev/null 2>&1; then
      Xvfb "$DISPLAY" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
      for _ in $(seq 50); do xdpyinfo -display "$DISPLAY" >/dev/null 2>&1 && break; sleep 0.1; done
    fi
  fi
}

qovra_prepare_wine() {
  qovra_start_display
  # One wineserver for the whole run (starting one per test costs seconds). It lingers 60 s
  # after the last Wine program and then ends by itself, so a run leaves nothing behind.
  mkdir -p "$WINEPREFIX"
  wineserver -p60 >/dev/null 2>&1 || true
  # The marker names the registry files' contents, so a changed .reg file is imported again.
  local marker="$WINEPREFIX/.qovra-ready-$(cat "${QOVRA_ROOT}"/tools/*.reg | md5sum | cut -c1-12)"
  if [ ! -f "$marker" ]; then
    echo "preparing the Wine prefix (once)"
    mkdir -p "$WINEPREFIX"
    "$WINE64" wineboot -i >/dev/null 2>&1 || true
    # regedit reads version-5 files as UTF-16 with a byte-order mark.
    iconv -f UTF-8 -t UTF-16 "${QOVRA_ROOT}/tools/wine-fonts.reg" >"$WINEPREFIX/fonts.reg"
    "$WINE64" regedit /S "$(winepath_of "$WINEPREFIX/fonts.reg")" >/dev/null 2>&1
    iconv -f UTF-8 -t UTF-16 "${QOVRA_ROOT}/tools/wine-shell.reg" >"$WINEPREFIX/shell.reg"
    "$WINE64" regedit /S "$(winepath_of "$WINEPREFIX/shell.reg")" >/dev/null 2>&1
    rm -f "$WINEPREFIX"/.qovra-ready*
    touch "$marker"
  fi
  # The first Wine program starts Wine's own services, which live as long as the
  # wineserver. Start them here, detached from every pipe: started under ctest they would
  # hold its output pipe open and ctest would wait for them until its time-out.
  "$WINE64" cmd /c exit </dev/null >/dev/null 2>&1 || true
}

winepath_of() { echo "Z:${1//\//\\}"; }
