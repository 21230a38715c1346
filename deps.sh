# Installs the Debian packages that building and testing Tessaro needs.
# Sourced by tessaro.sh, test.sh and packaging/check.sh; quiet when everything
# is already there. tessaro_install_deps installs these and any packages named
# as its arguments.

tessaro_packages="cmake ninja-build g++ pkg-config qt6-base-dev libgl-dev libgtest-dev fonts-noto-cjk fonts-urw-base35 fonts-arphic-gbsn00lp fonts-arphic-uming qt6-translations-l10n qt6-svg-dev libxlsxwriter-dev"

# Runs its arguments as root: directly when this is root, else through sudo.
tessaro_as_root() {
  if [ "$(id -u)" -eq 0 ]; then
    "$@"
  elif command -v sudo >/dev/null 2>&1; then
    sudo "$@"
  else
    echo "Not root and no sudo to run: $*. Run this script as root or install sudo." >&2
    return 1
  fi
}

tessaro_install_deps() {
  local missing=() p
  for p in $tessaro_packages "$@"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
      missing+=("$p")
    fi
  done
  [ ${#missing[@]} -eq 0 ] && return 0

  if [ "$(id -u)" -ne 0 ] && ! command -v sudo >/dev/null 2>&1; then
    echo "Missing packages: ${missing[*]}. Run this script as root or install sudo." >&2
    return 1
  fi
  echo "Installing: ${missing[*]}"
  tessaro_as_root env DEBIAN_FRONTEND=noninteractive apt-get update -qq || return 1
  tessaro_as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null || return 1
}

# Configures the tree in folder $1 and builds its targets $2 (separated by blanks; "all" for everything),
# with the extra CMake options that follow. The options of the last successful
# configuration (and the compilers CC, CXX) are kept in $1/tessaro-options; when they
# differ, the folder is configured anew from its options alone, keeping what is built.
# The configuration's report goes to $1/configure.log and its warnings and errors to
# $1/configure.err; the warnings are shown, and when it fails, both.
tessaro_build() {
  local dir=$1 target=$2
  shift 2
  local stamp="$dir/tessaro-options" options
  options=$(printf '%s\n' "CC=${CC:-}" "CXX=${CXX:-}" -G Ninja "$@")
  if [ ! -f "$dir/build.ninja" ] || [ "$(cat "$stamp" 2>/dev/null)" != "$options" ]; then
    rm -f "$stamp" "$dir/CMakeCache.txt"
    rm -rf "$dir"/CMakeFiles/[0-9]*  # the compilers are looked up again
    mkdir -p "$dir"
    local status=0
    cmake -S . -B "$dir" -G Ninja "$@" >"$dir/configure.log" 2>"$dir/configure.err" || status=$?
    if [ $status -ne 0 ]; then
      cat "$dir/configure.log" "$dir/configure.err" >&2
      echo "Configuring $dir failed (report: $dir/configure.log, errors: $dir/configure.err)." >&2
      return 1
    fi
    cat "$dir/configure.err" >&2
    printf '%s\n' "$options" >"$stamp"
  fi
  # shellcheck disable=SC2086  # the targets are words
  cmake --build "$dir" --target $target -- --quiet 2>/dev/null || cmake --build "$dir" --target $target
}
