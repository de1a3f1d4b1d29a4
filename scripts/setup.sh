#!/usr/bin/env bash
# Installs what the build needs (Debian 12 packages) when it is missing, then
# configures build/ and builds the given targets into it (every target when none
# is given). build/ is configured as scripts/test.sh needs it (warnings are
# errors), so that the tests reuse whatever the run command built.
# Usage: scripts/setup.sh [TARGET...]
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(build-essential lld cmake ninja-build pkg-config qt6-base-dev libjpeg62-turbo-dev
          libgtest-dev libbenchmark-dev fonts-liberation fonts-dejavu-core libxkbcommon-dev
          desktop-file-utils appstream file dpkg-dev libxml2-dev libxlsxwriter-dev libfontconfig-dev
          libxcb1-dev libpq-dev)
bash scripts/install_packages.sh "${packages[@]}"

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVORS_WERROR=ON >/dev/null
if [ $# -gt 0 ]; then
  cmake --build build --target "$@"
else
  cmake --build build
fi
