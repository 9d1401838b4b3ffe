#!/usr/bin/env bash
# Builds the fuzz targets natively with clang, libFuzzer, ASan and UBSan.
#   tests/imaging/fuzz/build.sh [OUTDIR]      (default build/fuzz)
# Run, e.g. for ten minutes on a copy of the seeds:
#   mkdir -p build/fuzz/corpus-bmp && cp tests/imaging/fuzz/seeds/* build/fuzz/corpus-bmp/
#   build/fuzz/fuzz_bmp -max_total_time=600 -rss_limit_mb=4096 build/fuzz/corpus-bmp
# and the same for fuzz_jpeg (the JPEG decoder alone, at every scale) on the *.jpg seeds.
set -euo pipefail
root=$(cd "$(dirname "$0")/../../.." && pwd)
out=${1:-$root/build/fuzz}
mkdir -p "$out"
flags=(-std=c++20 -O1 -g -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined
       -I"$root/src")
clang -O1 -g -fsanitize=address,undefined,fuzzer-no-link -w -c "$root/src/imaging/stb_image_impl.c" \
  -o "$out/stb_image_impl.o"
imaging=("$root"/src/imaging/*.cpp)
clang++ "${flags[@]}" "$root/tests/imaging/fuzz/fuzz_bmp.cpp" "${imaging[@]}" "$out/stb_image_impl.o" -o "$out/fuzz_bmp"
clang++ "${flags[@]}" "$root/tests/imaging/fuzz/fuzz_decode.cpp" "${imaging[@]}" "$out/stb_image_impl.o" -o "$out/fuzz_decode"
clang++ "${flags[@]}" "$root/tests/imaging/fuzz/fuzz_jpeg.cpp" "${imaging[@]}" "$out/stb_image_impl.o" -o "$out/fuzz_jpeg"
echo "built $out/fuzz_bmp, $out/fuzz_decode and $out/fuzz_jpeg"
