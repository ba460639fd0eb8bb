#!/usr/bin/env bash
# Builds the project file fuzzer with clang in build-fuzz/ and runs it: fuzz/run.sh [RUNS]
# (default one million inputs). New inputs go to build-fuzz/corpus, never to fuzz/corpus.
set -euo pipefail
cd "$(dirname "$0")/.."
runs="${1:-1000000}"

missing=()
for package in clang libclang-rt-dev; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' ||
        missing+=("$package")
done
if [ ${#missing[@]} -gt 0 ]; then
    sudo=()
    [ "$(id -u)" -eq 0 ] || sudo=(sudo)
    "${sudo[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends \
        "${missing[@]}"
fi

cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang \
    -DCMAKE_CXX_COMPILER=clang++ -DTARVIK_FUZZ=ON -DTARVIK_BUILD_TESTS=OFF >/dev/null
cmake --build build-fuzz --target project_fuzzer
mkdir -p build-fuzz/corpus
exec build-fuzz/bin/project_fuzzer -runs="$runs" -dict=fuzz/project.dict -max_len=4096 \
    -print_final_stats=1 build-fuzz/corpus fuzz/corpus
