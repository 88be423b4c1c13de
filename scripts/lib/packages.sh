# Sourced by scripts/setup and scripts/setup-windows.
#
# ensure_packages NAME PACKAGE...: installs those of the Debian packages that
# are not installed yet (apt-get as root, else through sudo); returns at once
# when all of them are. NAME prefixes the messages. sudo drops the
# environment: apt-get is given it on its command line.

ensure_packages() {
  local name=$1 p sudo=""
  shift
  local missing=()
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0

  echo "$name: installing ${missing[*]}"
  if [ "$(id -u)" -ne 0 ]; then
    command -v sudo >/dev/null || { echo "$name: run as root, or install sudo" >&2; return 1; }
    sudo="sudo"
  fi
  $sudo env DEBIAN_FRONTEND=noninteractive apt-get update -qq
  $sudo env DEBIAN_FRONTEND=noninteractive \
    apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}
