# Sourced by the set-up scripts: running as root, and adding a suite of the machine's own Debian
# mirror, with the same keyring, as a source entry of apt.

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

# add_debian_source FILE TYPES SUITE: writes /etc/apt/sources.list.d/FILE unless it exists.
add_debian_source() {
  local list=/etc/apt/sources.list.d/$1 mirror keyring
  [ -f "$list" ] && return
  mirror=$(apt-get indextargets --format '$(REPO_URI)' 'Codename: bookworm' \
    'Created-By: Packages' | head -n 1)
  [ -n "$mirror" ] || { echo "setup: no Debian bookworm source to take the mirror from" >&2; exit 1; }
  keyring=$(grep -rhs -A4 "^URIs:.*${mirror%/}" /etc/apt/sources.list.d/*.sources |
    sed -n 's/^Signed-By: *//p' | head -n 1)
  keyring=${keyring:-/usr/share/keyrings/debian-archive-keyring.gpg}
  printf 'Types: %s\nURIs: %s\nSuites: %s\nComponents: main\nSigned-By: %s\n' \
    "$2" "$mirror" "$3" "$keyring" | as_root tee "$list" >/dev/null
}
