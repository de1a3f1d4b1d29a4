#!/usr/bin/env bash
# Installs what the build needs (Debian 12 packages) when it is missing, then
# configures and builds into build/. Extra arguments go to CMake's configure step.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(build-essential cmake ninja-build pkg-config qt6-base-dev libjpeg62-turbo-dev
          libgtest-dev libbenchmark-dev fonts-liberation fonts-dejavu-core libxkbcommon-dev
          desktop-file-utils appstream file dpkg-dev libxml2-dev libfontconfig-dev libxcb1-dev)
bash scripts/install_packages.sh "${packages[@]}"

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
cmake --build build
