#!/usr/bin/env bash
# Installs the Debian packages that the builds, tests and main job use.
# Idempotent: a machine that has them all skips apt entirely.
set -euo pipefail

packages=(cmake g++ make libgtest-dev libgmock-dev googletest libbenchmark-dev
  g++-multilib mingw-w64 wine wine32:i386 wine64 xvfb xauth fonts-wqy-microhei fonts-wine imagemagick
  clang libclang-rt-14-dev valgrind chromium python3)

missing=()
for p in "${packages[@]}"; do
  dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi
echo "installing: ${missing[*]}" >&2
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
fi
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
