#!/usr/bin/env bash
# Side by side, in one run: our native logoconv against ImageMagick (and pngquant,
# when installed) for picture quality and for whole-process speed.
#   bench/compare.sh [path/to/native/logoconv]
# Quality: each picture is placed as the boot screen shows it; the reference is a
# Lanczos resize of the source into that picture area. PSNR against the reference is
# computed over the area; the bands are checked to be one flat colour (palette entry 0).
# Speed: median of 5 runs of each whole process, one thread each.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
logoconv=${1:-$root/build/native/bin/logoconv}
[ -x "$logoconv" ] || { echo "build the native preset first ($logoconv missing)" >&2; exit 1; }
export MAGICK_THREAD_LIMIT=1 OMP_NUM_THREADS=1
have_pngquant=0
command -v pngquant >/dev/null && have_pngquant=1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

echo "Making the inputs..."
convert rose: -resize 640x427! photo-rose-3x2.png
convert -seed 11 -size 1024x768 plasma:fractal -blur 0x1 photo-plasma-4x3.jpg
convert -seed 12 -size 600x900 plasma:fractal -blur 0x1 photo-plasma-tall.jpg
convert -seed 13 -size 1920x1080 plasma:fractal -blur 0x2 photo-plasma-wide.jpg
convert granite: -virtual-pixel tile -resize 800x600! texture-granite.png
convert wizard: graphic-wizard.png
convert logo: graphic-logo.png
convert netscape: -resize 400x400! graphic-netscape.png
convert -size 1200x300 gradient:navy-gold -fill white -draw "circle 300,150 300,60" \
  -fill crimson -draw "rectangle 600,60 900,240" -fill none -stroke white -strokewidth 8 \
  -draw "line 950,40 1150,260" graphic-banner.png
for extra in /root/.rustup/toolchains/stable-x86_64-unknown-linux-gnu/share/doc/rust/html/embedded-book/assets/f3.jpg; do
  [ -f "$extra" ] && cp "$extra" photo-board.jpg
done

# The picture area of a width x height source in the 320 x 400 logo.
area() {
  python3 -c '
import sys
w, h = int(sys.argv[1]), int(sys.argv[2])
x, y, aw, ah = 0, 0, 320, 400
if w * 3 > h * 4:
    ah = max(1, min(400, (1600 * h + w * 3 // 2) // (3 * w))); y = (400 - ah) // 2
elif w * 3 < h * 4:
    aw = max(1, min(320, (240 * w + h // 2) // h)); x = (320 - aw) // 2
print(x, y, aw, ah)' "$1" "$2"
}
psnr() { { compare -metric PSNR "$1" "$2" null: 2>&1 || true; } | awk '{print ($1 == "inf") ? 99 : $1}'; }

printf '\n%-24s %9s %9s %9s  %s\n' picture ours magick pngquant bands
ours_all=() im_all=() pq_all=()
for input in photo-* texture-* graphic-*; do
  read -r w h < <(identify -format '%w %h\n' "$input[0]")
  read -r x y aw ah < <(area "$w" "$h")
  convert "$input[0]" -filter Lanczos -resize "${aw}x${ah}!" -type TrueColor ref.png
  "$logoconv" "$input" ours.sys
  convert ours.sys -crop "${aw}x${ah}+${x}+${y}" +repage -type TrueColor ours.png
  # Bands: everything outside the area, one colour, black.
  bands=ok
  if [ "$aw" -lt 320 ] || [ "$ah" -lt 400 ]; then
    colours=$(convert ours.sys -fill '#010203' -draw "rectangle $x,$y $((x + aw - 1)),$((y + ah - 1))" \
              -format %k info:)
    [ "$colours" = 2 ] || bands="NOT FLAT ($((colours - 1)) colours)"
  fi
  convert ref.png -dither FloydSteinberg -colors 256 -type TrueColor im.png
  p_ours=$(psnr ref.png ours.png); p_im=$(psnr ref.png im.png); p_pq=-
  if [ $have_pngquant = 1 ]; then
    pngquant --speed 1 --force --output pq.png 256 ref.png
    convert pq.png -type TrueColor pq24.png
    p_pq=$(psnr ref.png pq24.png)
    pq_all+=("$p_pq")
  fi
  ours_all+=("$p_ours"); im_all+=("$p_im")
  printf '%-24s %9.2f %9.2f %9s  %s\n' "$input" "$p_ours" "$p_im" "$p_pq" "$bands"
done
median() { printf '%s\n' "$@" | sort -g | awk '{a[NR]=$1} END {print (NR % 2) ? a[(NR+1)/2] : (a[NR/2]+a[NR/2+1])/2}'; }
printf '%-24s %9.2f %9.2f %9s\n' "median PSNR (dB)" "$(median "${ours_all[@]}")" "$(median "${im_all[@]}")" \
  "$([ $have_pngquant = 1 ] && median "${pq_all[@]}" || echo -)"

# Logo-format and logo-sized colour-mapped inputs come out with identical pixels.
convert -seed 3 -size 320x400 plasma:fractal -colors 200 -type Palette BMP3:pal.bmp
"$logoconv" pal.bmp pal.sys
[ "$(compare -metric AE pal.bmp pal.sys null: 2>&1 || true)" = 0 ] && echo "320 x 400 paletted input: identical pixels" ||
  echo "320 x 400 paletted input: PIXELS DIFFER"
"$logoconv" pal.sys again.sys
cmp -s <(tail -c 128000 pal.sys) <(tail -c 128000 again.sys) && echo "logo input: identical pixels" ||
  echo "logo input: PIXELS DIFFER"

echo
echo "Speed (median of 5 whole-process runs, one thread each):"
convert -seed 21 -size 1024x768 plasma:fractal -blur 0x1 -quality 90 -interlace JPEG progressive-1024.jpg
convert -seed 22 -size 4000x3000 plasma:fractal -blur 0x2 -quality 90 -interlace none baseline-4000.jpg
timed() {  # prints the median wall time in seconds of 5 runs of the command
  python3 - "$@" <<'PY'
import subprocess, sys, time
runs = []
for _ in range(5):
    start = time.perf_counter()
    subprocess.run(sys.argv[1:], check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    runs.append(time.perf_counter() - start)
print(f"{sorted(runs)[2]:.3f}")
PY
}
for input in progressive-1024.jpg baseline-4000.jpg; do
  t_ours=$(timed "$logoconv" "$input" speed.sys)
  t_im=$(timed convert "$input" -resize '320x400!' -dither FloydSteinberg -colors 256 BMP3:speed.bmp)
  peak=$( { /usr/bin/time -f %M "$logoconv" "$input" speed.sys; } 2>&1 | tail -1)
  printf '%-22s ours %6.3f s  ImageMagick %6.3f s  ratio %5.2fx  our peak %s KiB\n' "$input" "$t_ours" "$t_im" \
    "$(python3 -c "print($t_im / $t_ours)")" "$peak"
done
