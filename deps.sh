# Installs the Debian packages that building and testing Tessaro needs.
# Sourced by tessaro.sh and test.sh; quiet when everything is already there.

tessaro_packages="cmake ninja-build g++ pkg-config qt6-base-dev libgl-dev libgtest-dev fonts-noto-cjk fonts-urw-base35"

tessaro_install_deps() {
  local missing=() p
  for p in $tessaro_packages "$@"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
      missing+=("$p")
    fi
  done
  [ ${#missing[@]} -eq 0 ] && return 0

  local sudo=()
  if [ "$(id -u)" -ne 0 ]; then
    if command -v sudo >/dev/null 2>&1; then
      sudo=(sudo)
    else
      echo "Missing packages: ${missing[*]}. Run this script as root or install sudo." >&2
      return 1
    fi
  fi
  echo "Installing: ${missing[*]}"
  "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -qq || return 1
  "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null || return 1
}

# Configures (once) and builds the tree in folder $1 with the extra CMake options that follow.
tessaro_build() {
  local dir=$1
  shift
  if [ ! -f "$dir/build.ninja" ]; then
    cmake -S . -B "$dir" -G Ninja "$@" >/dev/null || return 1
  fi
  cmake --build "$dir" -- --quiet 2>/dev/null || cmake --build "$dir"
}
