#!/bin/sh
# Writes the small pictures in tests/pictures/ that the decoder tests read:
# one source picture made here, and that picture saved in the forms the
# decoders must read (JPEG in its sampling, progressive, restart, grey and
# CMYK forms; GIF plain, interlaced and with a transparent colour). Needs
# ImageMagick 6 and libjpeg-turbo's cjpeg and djpeg (Debian: imagemagick,
# libjpeg-turbo-progs). The files are committed; run this only to change them.
set -eu
out=$(cd "$(dirname "$0")/../tests/pictures" && pwd)
im=convert-im6.q16
cd "$out"
# Odd sizes, so that blocks and MCUs are cut at the edges.
$im -size 61x47 -seed 7 plasma:tomato-steelblue -depth 8 PNG24:source.png
$im -size 203x151 -seed 11 plasma:gold-navy -depth 8 PNG24:large.png
$im source.png -depth 8 PPM:source.ppm
$im large.png -depth 8 PPM:large.ppm
cjpeg -quality 92 -sample 2x2 source.ppm > baseline-420.jpg
cjpeg -quality 92 -sample 2x1 source.ppm > baseline-422.jpg
cjpeg -quality 92 -sample 1x1 source.ppm > baseline-444.jpg
cjpeg -quality 92 -sample 2x2 -restart 1 source.ppm > restart.jpg
cjpeg -quality 92 -sample 2x2 -progressive source.ppm > progressive-420.jpg
cjpeg -quality 92 -sample 1x1 -progressive source.ppm > progressive-444.jpg
cjpeg -quality 92 -grayscale source.ppm > grey.jpg
cjpeg -quality 92 -sample 2x2 large.ppm > large-baseline.jpg
cjpeg -quality 92 -sample 2x2 -progressive large.ppm > large-progressive.jpg
cjpeg -quality 92 -arithmetic source.ppm > arithmetic.jpg
$im source.png -quality 92 -colorspace CMYK cmyk.jpg
$im source.png -colors 64 +dither GIF:plain.gif
$im source.png -colors 64 +dither -interlace GIF GIF:interlaced.gif
# A 10 x 10 transparent corner.
$im source.png -colors 64 +dither -alpha set -region 10x10+0+0 -alpha transparent GIF:transparent.gif
# What libjpeg-turbo makes of the JPEGs, at full size and scaled down.
for f in baseline-420 baseline-422 baseline-444 restart progressive-420 progressive-444 grey; do
  djpeg -pnm $f.jpg > $f.djpeg.pnm
done
for s in 2 4 8; do djpeg -pnm -scale 1/$s large-progressive.jpg > large-progressive-1-$s.djpeg.pnm; done
djpeg -pnm -scale 1/4 large-baseline.jpg > large-baseline-1-4.djpeg.pnm
$im plain.gif PPM:plain.gif.pnm
rm -f source.ppm large.ppm
ls -l "$out"
