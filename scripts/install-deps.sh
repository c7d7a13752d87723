#!/usr/bin/env bash
# Installs with apt whatever of the given package sets is missing.
#   build: what building and running Quendel needs
#   test:  what the whole test suite needs on top of that
set -euo pipefail

build_packages=(g++ cmake make pkg-config libcli11-dev qt6-base-dev fonts-arkpandora fonts-dejavu-core)
test_packages=(clang-format libgtest-dev libgmock-dev libbenchmark-dev clang libclang-rt-14-dev strace bbe time valgrind
               util-linux xvfb xauth help2man man-db desktop-file-utils appstream dpkg-dev file)

wanted=()
for set in "$@"; do
    case "$set" in
        build) wanted+=("${build_packages[@]}") ;;
        test) wanted+=("${build_packages[@]}" "${test_packages[@]}") ;;
        *) echo "install-deps: unknown package set '$set'" >&2; exit 2 ;;
    esac
done

missing=()
for package in "${wanted[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'ok installed' || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
