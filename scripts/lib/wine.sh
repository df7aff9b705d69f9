# tw_xvfb <first display number> <width>x<height>: starts an Xvfb on a free
# display from that number on, exports DISPLAY and sets TW_STARTED_XVFB to
# its process id; fails when it does not answer.
tw_xvfb() {
  local n=$(($1 + RANDOM % 100))
  while [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
  Xvfb ":$n" -screen 0 "$2x24" -nolisten tcp >/dev/null 2>&1 &
  TW_STARTED_XVFB=$!
  export DISPLAY=":$n"
  local i
  for i in $(seq 1 100); do
    xdpyinfo >/dev/null 2>&1 && return 0
    sleep 0.1
  done
  return 1
}

# Wine with its own prefix inside the build folder, on an Xvfb display of
# its own unless TW_DISPLAY names one to use.
tw_wine_up() {
  local build=$1
  export WINEPREFIX=$build/wineprefix WINEARCH=win64 WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe="
  if [ -n "${TW_DISPLAY:-}" ]; then
    export DISPLAY=$TW_DISPLAY
  else
    tw_xvfb 90 1280x1024
    local started=$?
    TW_XVFB_PID=$TW_STARTED_XVFB
    [ $started -eq 0 ] || return 1
  fi
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    wineboot -i >/dev/null 2>&1 || true
    # No window manager runs under Xvfb: let Wine draw captions and frames
    # itself, so screenshots show what a person would see.
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 || true
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f >/dev/null 2>&1 || true
  fi
  # Wine draws the caption buttons with Marlett; without it they show as
  # the letters "0 1 r". The prefix does not find the copy fonts-wine
  # installs, so it is registered here.
  local marlett=/usr/share/wine/fonts/marlett.ttf
  if [ -f "$marlett" ] && [ ! -f "$WINEPREFIX/drive_c/windows/Fonts/marlett.ttf" ]; then
    cp "$marlett" "$WINEPREFIX/drive_c/windows/Fonts/" &&
      wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\Fonts' /v 'Marlett (TrueType)' \
        /d marlett.ttf /f >/dev/null 2>&1
    wineserver -k >/dev/null 2>&1
    wineserver -w >/dev/null 2>&1
  fi
  wineserver -p >/dev/null 2>&1 || true  # keep one server for every run
  return 0
}

# Sets the display scale Wine reports (LogPixels: 96 is 100 %, 144 is
# 150 %) and restarts this prefix's wineserver so programs see it.
tw_wine_dpi() {
  wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1 || return 1
  wineserver -k >/dev/null 2>&1
  wineserver -w >/dev/null 2>&1
  wineserver -p >/dev/null 2>&1 || true
}

# A second Xvfb of 2560 x 1600 for the windows at 200 %; the prefix's
# wineserver is restarted on it by the next tw_wine_dpi.
tw_large_screen_up() {
  TW_SMALL_DISPLAY=$DISPLAY
  tw_xvfb 190 2560x1600
  local started=$?
  TW_LARGE_XVFB_PID=$TW_STARTED_XVFB
  [ $started -eq 0 ] && return 0
  tw_large_screen_down
  return 1
}

tw_large_screen_down() {
  wineserver -k >/dev/null 2>&1
  wineserver -w >/dev/null 2>&1
  [ -n "${TW_LARGE_XVFB_PID:-}" ] && kill "$TW_LARGE_XVFB_PID" 2>/dev/null
  TW_LARGE_XVFB_PID=
  export DISPLAY=$TW_SMALL_DISPLAY
}

tw_wine_down() {
  wineserver -k >/dev/null 2>&1
  [ -n "${TW_XVFB_PID:-}" ] && kill "$TW_XVFB_PID" 2>/dev/null
  return 0
}
