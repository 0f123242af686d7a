#!/usr/bin/env bash
# Installs the Debian packages the build, the tests, the package and the
# program need, and only those that are missing. Shared by run.sh, test.sh
# and scripts/package.sh.
set -euo pipefail

packages=(
  cmake g++ ninja-build ccache pkg-config
  qt6-base-dev qt6-5compat-dev qt6-multimedia-dev qt6-svg-dev qt6-translations-l10n
  libgtest-dev libgmock-dev libbenchmark-dev
  libx11-dev xvfb xauth fonts-dejavu-core
  gtkwave sigrok-cli poppler-utils parallel berkeley-abc
  help2man locales librsvg2-bin dpkg-dev file lintian desktop-file-utils shared-mime-info
  clang-16 libclang-rt-16-dev
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
