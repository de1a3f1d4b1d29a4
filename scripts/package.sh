#!/usr/bin/env bash
# Builds the Debian package and the portable folder as a .tar.gz into build/:
#   vorsanit_<version>_amd64.deb        installs into /usr (see README, "Install")
#   vorsanit-<version>-portable.tar.gz  the programs, the sample course and the licence in one folder
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh package_contents
cd build
cpack -G DEB
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' CMakeCache.txt)
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
folder="$stage/vorsanit-$version"
mkdir -p "$folder"
# The build folder is the portable layout already; logs and start journals of
# trial runs stay behind.
find bin -maxdepth 1 -type f ! -name '*.log' ! -name '*.start' -exec cp {} "$folder/" \;
strip --remove-section=.comment --remove-section=.note "$folder"/vorsanit* 2>/dev/null || true
# The licence goes with every copy of the programs.
cp ../LICENSE "$folder/"
tar -C "$stage" -czf "vorsanit-$version-portable.tar.gz" "vorsanit-$version"
ls -l "vorsanit_${version}_amd64.deb" "vorsanit-$version-portable.tar.gz"
