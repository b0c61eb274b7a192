# Shared by scripts/run and scripts/test: install what is missing, then configure and build.
# shellcheck shell=bash

LUMIVALE_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"

# Debian packages the build, the tests and the demo need.
LUMIVALE_PACKAGES=(
  g++ cmake ninja-build pkg-config ccache
  qt6-base-dev libzip-dev zipcmp zipmerge ziptool libbenchmark-dev
  xvfb xauth imagemagick poppler-utils fonts-dejavu-core
  clang libclang-rt-14-dev unzip zip
)

lumivale_install_packages() {
  local missing=()
  local pkg
  for pkg in "${LUMIVALE_PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed" || missing+=("$pkg")
  done
  if [ ${#missing[@]} -eq 0 ]; then
    return 0
  fi
  echo "Installing: ${missing[*]}"
  local sudo=""
  if [ "$(id -u)" -ne 0 ]; then
    sudo="sudo"
  fi
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

# lumivale_build <preset> [extra cmake args...]
lumivale_build() {
  local preset="$1"
  shift
  (cd "$LUMIVALE_ROOT" &&
    cmake --preset "$preset" -DLUMIVALE_WERROR=ON "$@" >/dev/null &&
    cmake --build --preset "$preset" -j "$(nproc)")
}
