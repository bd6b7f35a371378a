#!/usr/bin/env bash
# Installs the Debian 12 packages the project needs, skipping those present.
# Sourced by the other scripts: orva_install_deps [extra packages...]
orva_packages=(
  build-essential cmake ninja-build pkg-config git
  libsqlite3-dev sqlite3 libicu-dev libxlsxwriter-dev zlib1g-dev
  unixodbc unixodbc-dev odbcinst libsqliteodbc
  libpq-dev postgresql
  gettext
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  qt6-base-dev qt6-tools-dev qt6-tools-dev-tools qt6-l10n-tools qt6-translations-l10n libgl-dev fonts-noto-cjk
  xvfb xauth
  python3-openpyxl poppler-utils
  clang libclang-rt-14-dev llvm clang-format
  openssl lintian desktop-file-utils appstream help2man librsvg2-bin man-db file ccache
)
# The import of price lists: .xlsx through liborcus.
orva_packages+=(liborcus-dev)

orva_install_deps() {
  local wanted=("${orva_packages[@]}" "$@") missing=() p
  for p in "${wanted[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  local sudo=()
  [ "$(id -u)" -ne 0 ] && sudo=(sudo)
  echo "Installing: ${missing[*]}"
  "${sudo[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# CMake options that compile through ccache when it is installed, so that the
# builds of scripts/test and scripts/package share their objects. ccache
# leaves the build folder out of its key for that (the folder is only named
# in the debug information, which the packages strip).
export CCACHE_NOHASHDIR=true
orva_ccache_args() {
  if command -v ccache >/dev/null; then
    echo "-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache"
  fi
}
