#!/usr/bin/env bash
# Installs what the build, the tests and the tools need from Debian's packages.
# Idempotent: a machine that already has everything is left alone.
set -euo pipefail

packages=(
  build-essential cmake ninja-build ccache pkg-config
  clang libclang-rt-dev
  lld libgtest-dev libgmock-dev libbenchmark-dev
  nlohmann-json3-dev libcairo2-dev libfontconfig-dev fonts-dejavu-core libicu-dev
  # The X11 platform and its real-window stories: the client libraries, a
  # virtual X server, the tools that drive and read it, real clients, and two
  # window managers that treat off-screen frames differently (docs/x11.md).
  libx11-dev libxrandr-dev libxi-dev libxext-dev libxtst-dev
  xvfb x11-xserver-utils x11-utils xdotool xterm x11-apps fluxbox openbox xcompmgr
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "setup: installing ${missing[*]}"
sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
