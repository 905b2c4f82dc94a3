#!/usr/bin/env bash
# Brings a Debian 12 machine to what the build, the lab and the tests need; quiet when all is
# there, and then it needs no root.
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
    # the installer (makensis) and the help files (chmcmd, Free Pascal's CHM compiler)
    nsis fp-utils
)

# What is missing is found without root; only installing it needs root.
add_i386=
dpkg --print-foreign-architectures | grep -qx i386 || add_i386=1
missing=()
for p in "${packages[@]}"; do
    # one line per installed architecture (libwine-dev is there for amd64 and i386)
    dpkg-query -W -f='${Status}\n' "$p" 2>/dev/null | grep -qx "install ok installed" ||
        missing+=("$p")
done
[ -n "$add_i386" ] || [ ${#missing[@]} -gt 0 ] || exit 0

if [ "$(id -u)" -ne 0 ]; then
    echo "setup: missing ${missing[*]:-the i386 architecture}; run lab/setup.sh as root once" >&2
    exit 1
fi
[ -z "$add_i386" ] || dpkg --add-architecture i386
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq >/dev/null
if [ ${#missing[@]} -gt 0 ]; then
    echo "setup: installing ${missing[*]}"
    apt-get install -y -qq --no-install-recommends "${missing[@]}" >/tmp/tov-setup-apt.log 2>&1 || {
        tail -20 /tmp/tov-setup-apt.log >&2
        exit 1
    }
fi
