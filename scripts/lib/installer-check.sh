# Sourced by scripts/test-windows.
#
# installer_check SETUP.EXE: installs Zibbles silently with SETUP.EXE into the
# Wine prefix $WINEPREFIX (on the X server $DISPLAY; nothing else of Wine
# running), starts the installed copy and waits for its window, puts a
# zibble, a sound and a screenshot beside it as a user would, tries a silent
# install over it and a silent uninstall while it runs, ends it, installs over
# it again and uninstalls it silently. Fails unless the installer put the
# program, its Start menu entry and its uninstall entry in place, both tries
# beside the running copy failed and changed no file, and the uninstaller
# took the installed files away again and left the user's. Needs waitfor
# (scripts/lib/xserver.sh).

# Every file and folder below $1 with its size, inode and change time: a file
# written, replaced or removed changes it.
installer_snapshot() {
  find "$1" -printf '%P %s %i %C@\n' | sort
}

# installer_refused_while_running DIR SETUP.EXE: with zibbles.exe running
# from DIR, a silent install over it and a silent uninstall must fail and
# leave every file below DIR as it was.
installer_refused_while_running() {
  local dir=$1 setup=$2 before
  before=$(installer_snapshot "$dir")
  echo "installer-check: wine $(basename "$setup") /S while the installed copy runs"
  if wine "$setup" /S; then
    echo "installer-check: the installer went on while zibbles.exe ran" >&2; return 1
  fi
  # Run in its own place (_?=) the uninstaller ends with its own exit
  # status; otherwise it goes on from a copy of itself and the first ends at
  # once.
  echo "installer-check: uninstalling while the installed copy runs"
  if wine "$dir/uninstall.exe" /S "_?=$(winepath -w "$dir")"; then
    echo "installer-check: the uninstaller went on while zibbles.exe ran" >&2; return 1
  fi
  [ "$(installer_snapshot "$dir")" = "$before" ] || {
    echo "installer-check: files changed while zibbles.exe ran:" >&2
    diff <(echo "$before") <(installer_snapshot "$dir") >&2
    return 1
  }
}

installer_check() {
  local setup=$1 dir menu key user_files f
  key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Zibbles'
  # Wine would mirror the Start menu entry into the Linux desktop's menu.
  local WINEDLLOVERRIDES="${WINEDLLOVERRIDES:+$WINEDLLOVERRIDES;}winemenubuilder.exe=d"
  export WINEDLLOVERRIDES
  dir=$(winepath -u "$(wine cmd /c echo %LOCALAPPDATA% | tr -d '\r')")/Programs/Zibbles
  menu=$(winepath -u "$(wine cmd /c echo %APPDATA% | tr -d '\r')")/"Microsoft/Windows/Start Menu/Programs/Zibbles.lnk"

  echo "installer-check: wine $(basename "$setup") /S"
  wine "$setup" /S || { echo "installer-check: the installer failed" >&2; return 1; }
  for f in zibbles.exe uninstall.exe Qt6Core.dll platforms/qwindows.dll licences/README.txt; do
    [ -f "$dir/$f" ] || { echo "installer-check: no $dir/$f" >&2; return 1; }
  done
  [ -f "$menu" ] || { echo "installer-check: no Start menu entry $menu" >&2; return 1; }
  wine reg query "$key" /v UninstallString >/dev/null ||
    { echo "installer-check: no uninstall entry $key" >&2; return 1; }

  echo "installer-check: starting the installed zibbles.exe"
  wine "$dir/zibbles.exe" >/dev/null 2>&1 &
  local program=$!
  if ! waitfor 60 xdotool search --onlyvisible --name '^Zibbles by Quillmere$' ||
     ! waitfor 10 test -d "$dir/Set10"; then
    echo "installer-check: the installed copy showed no window or made no set folders" >&2
    kill "$program" 2>/dev/null; wait "$program" 2>/dev/null
    return 1
  fi
  user_files=(Set1/F1 media/ding.wav ScreenShots/shot.bmp)
  for f in "${user_files[@]}"; do echo "the user's $f" >"$dir/$f"; done
  installer_refused_while_running "$dir" "$setup" || {
    kill "$program" 2>/dev/null; wait "$program" 2>/dev/null; return 1
  }
  wine taskkill /F /IM zibbles.exe >/dev/null 2>&1 || kill "$program" 2>/dev/null
  wait "$program" 2>/dev/null

  echo "installer-check: wine $(basename "$setup") /S over the ended copy"
  wine "$setup" /S || { echo "installer-check: the installer failed over the ended copy" >&2; return 1; }
  echo "installer-check: uninstalling"
  wine "$dir/uninstall.exe" /S
  # The uninstaller goes on from a copy of itself: wait until it is done.
  timeout 60 wineserver -w
  for f in zibbles.exe uninstall.exe Qt6Core.dll platforms licences Set2; do
    [ ! -e "$dir/$f" ] || { echo "installer-check: the uninstaller left $dir/$f" >&2; return 1; }
  done
  [ ! -e "$menu" ] || { echo "installer-check: the uninstaller left $menu" >&2; return 1; }
  ! wine reg query "$key" >/dev/null 2>&1 ||
    { echo "installer-check: the uninstaller left $key" >&2; return 1; }
  for f in "${user_files[@]}"; do
    [ "$(cat "$dir/$f" 2>/dev/null)" = "the user's $f" ] ||
      { echo "installer-check: the uninstaller took the user's $f" >&2; return 1; }
  done
  echo "installer-check: installed, started and uninstalled; the user's files stayed"
}
