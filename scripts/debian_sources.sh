# debian_sources.sh: sourced by web-deps.sh and windows-deps.sh. Debian
# packages installed when missing, and Debian source packages unpacked once
# into $deps (set by the caller).
sudo=""; [ "$(id -u)" -ne 0 ] && sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
apt_updated=0

# install_missing LOG PACKAGE...: installs those not installed (apt's output in LOG).
install_missing() {
  local log=$1 p
  shift
  local missing=()
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -gt 0 ] || return 0
  echo "Installing: ${missing[*]}"
  $sudo apt-get update -qq
  apt_updated=1
  $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >"$log" 2>&1 ||
    { tail -20 "$log" >&2; exit 1; }
}

# apt-get source needs a deb-src line; it mirrors the binary sources' first URI.
add_deb_src() {
  local src_list=/etc/apt/sources.list.d/tarn-web-src.sources uri suite
  grep -rqs '^Types:.*deb-src\|^deb-src ' /etc/apt/sources.list /etc/apt/sources.list.d/ && return 0
  uri="$(grep -h '^URIs:' /etc/apt/sources.list.d/*.sources 2>/dev/null | awk '{print $2}' | grep -m1 '/debian/\?$' || true)"
  [ -n "$uri" ] || uri="http://deb.debian.org/debian"
  suite="$(. /etc/os-release && echo "$VERSION_CODENAME")"
  printf 'Types: deb-src\nURIs: %s\nSuites: %s\nComponents: main\nSigned-By: /usr/share/keyrings/debian-archive-keyring.gpg\n' \
    "$uri" "$suite" | $sudo tee "$src_list" >/dev/null
  apt_updated=0
}

# fetch_source PACKAGE DIR-GLOB: unpacks PACKAGE's source into $deps once.
fetch_source() {
  local found
  found="$(ls -d "$deps"/$2 2>/dev/null | head -1 || true)"
  [ -z "$found" ] || return 0
  [ "$apt_updated" = 1 ] || { $sudo apt-get update -qq; apt_updated=1; }
  (cd "$deps" && apt-get source -qq "$1" >/dev/null 2>&1) ||
    { echo "$(basename "$0" .sh): apt-get source $1 failed" >&2; exit 1; }
}
