#!/usr/bin/env bash
# Installs what the box needs to build, test and run on Debian 12, once: packages that
# are already there are left alone and apt is not asked at all.
set -euo pipefail
packages=(
  g++ clang cmake ninja-build pkg-config
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  libcurl4-openssl-dev libarchive-dev libssl-dev zlib1g-dev nlohmann-json3-dev
  g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix libz-mingw-w64-dev
  wine wine64 xvfb xauth x11-utils fonts-wqy-zenhei imagemagick python3
  libclang-rt-14-dev
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
