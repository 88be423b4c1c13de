# Sourced by scripts/deb-check and scripts/fresh-test: a fresh Debian 12
# system in a folder, to chroot into. Needs root and the Debian mirror.
#
# fresh_root NAME: sets $root to a new folder holding a debootstrap minbase of
# bookworm (made once and kept as a tarball in build-debroot/; each call
# starts from that pristine copy), with /proc, /sys and /dev bound in and the
# host's resolver. On exit every process still running in it is ended, every
# process in $pids is stopped, the mounts are undone and the folder and the
# paths in $cleanup_paths are removed.
# in_root COMMAND...: runs COMMAND as root inside, with a clean environment.
# as_user USER [NAME=VALUE...] COMMAND...: runs COMMAND inside as USER, in a
# clean environment with that user's home and the given variables.
# packages_installed: the number of packages installed inside, and their size
# in MB.

pids=()
mounts=()
cleanup_paths=()

fresh_root_cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
  if [ -n "${root:-}" ]; then
    for p in /proc/[0-9]*; do
      [ "$(readlink "$p/root" 2>/dev/null)" = "$root" ] && kill -9 "${p#/proc/}" 2>/dev/null || true
    done
  fi
  for ((i = ${#mounts[@]} - 1; i >= 0; i--)); do umount -l "${mounts[$i]}" 2>/dev/null || true; done
  [ -z "${root:-}" ] || rm -rf --one-file-system "$root"
  [ ${#cleanup_paths[@]} -eq 0 ] || rm -rf "${cleanup_paths[@]}"
}

fresh_root() {
  [ "$(id -u)" -eq 0 ] || { echo "$1: run as root (debootstrap and chroot)" >&2; exit 1; }
  local base=build-debroot/bookworm-minbase.tar
  if [ ! -f "$base" ]; then
    echo "$1: making a fresh Debian 12 (debootstrap, once)"
    rm -rf build-debroot/make && mkdir -p build-debroot/make
    debootstrap --variant=minbase bookworm build-debroot/make http://deb.debian.org/debian \
      >build-debroot/debootstrap.log 2>&1 || { tail -20 build-debroot/debootstrap.log >&2; exit 1; }
    tar -C build-debroot/make -cf "$base.part" . && mv "$base.part" "$base"
    rm -rf build-debroot/make
  fi
  root=$(mktemp -d "/tmp/zibbles-$1-XXXXXX")
  trap fresh_root_cleanup EXIT
  tar -C "$root" -xf "$base"
  for m in proc sys dev; do mount --rbind "/$m" "$root/$m" && mounts+=("$root/$m"); done
  cp /etc/resolv.conf "$root/etc/resolv.conf"
  echo "$1: a fresh Debian $(cat "$root/etc/debian_version") of $(in_root dpkg-query -W | wc -l) packages in $root"
}

in_root() {
  chroot "$root" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root DEBIAN_FRONTEND=noninteractive "$@"
}

as_user() {
  local user=$1
  shift
  chroot --userspec="$user:$user" "$root" /usr/bin/env -i HOME="/home/$user" USER="$user" LOGNAME="$user" \
    PATH=/usr/bin:/bin "$@"
}

packages_installed() {
  in_root dpkg-query -W -f='${db:Status-Abbrev} ${Installed-Size}\n' |
    awk '/^ii/ { n++; kib += $2 } END { printf "%d %d\n", n, kib / 1024 }'
}
