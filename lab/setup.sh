#!/usr/bin/env bash
# Brings a Debian 12 machine to what the build, the lab and the tests need; quiet when all is there.
set -euo pipefail

packages=(
    # host build, tests, sanitizers, fuzzers, benchmarks
    cmake ninja-build g++ make googletest libgtest-dev libgmock-dev libbenchmark-dev
    clang libclang-rt-14-dev clang-format nlohmann-json3-dev python3
    # cross build for 32-bit Windows
    g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix mingw-w64-i686-dev mingw-w64-tools
    # Wine, 32-bit, with its development files (widl's .idl imports)
    wine wine32:i386 wine64 libwine:i386 libwine-dev fonts-wine
    # Wine's i386 import libraries, for the engine's widl-built proxy/stub DLL
    libwine-dev:i386
    # screens and the network lab
    xvfb xdotool x11-utils imagemagick iproute2 iputils-ping procps util-linux file
)

if [ "$(id -u)" -ne 0 ]; then
    echo "setup: run as root (it installs packages)" >&2
    exit 1
fi

if ! dpkg --print-foreign-architectures | grep -qx i386; then
    dpkg --add-architecture i386
    need_update=1
fi

missing=()
for p in "${packages[@]}"; do
    status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
    [ "$status" = "install ok installed" ] || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
    echo "setup: installing ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq >/dev/null
    apt-get install -y -qq --no-install-recommends "${missing[@]}" >/tmp/tov-setup-apt.log 2>&1 || {
        tail -20 /tmp/tov-setup-apt.log >&2
        exit 1
    }
elif [ -n "${need_update:-}" ]; then
    apt-get update -qq >/dev/null
fi
