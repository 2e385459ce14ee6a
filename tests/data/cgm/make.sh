#!/bin/sh
# Makes the CGM pictures of the import filter's tests with GNU plotutils, an
# outside writer: each picture as binary CGM (<name>.cgm), as clear-text CGM
# (<name>.txt.cgm) and as plotutils' own PNG drawing of the same input
# (<name>.png, 768 pixels square: the natural size of a page of 8 inches at
# 96 per inch), the reference the imports are compared with.
# Run from this folder: sh make.sh (needs plotutils).
set -eu
cd "$(dirname "$0")"

PAGE="--bitmap-size 768x768"

both() { # name command...
  name=$1; shift
  "$@" -T cgm > "$name.cgm"
  CGM_ENCODING=clear_text "$@" -T cgm > "$name.txt.cgm"
  "$@" -T png $PAGE > "$name.png"
}

# A line graph with its axes, ticks and labels.
printf '0 0\n1 1\n2 0.5\n3 2\n4 1.5\n5 3\n' > line.dat
both graph-line graph -X "Time" -Y "Value" -W 0.006 line.dat

# Markers of several kinds, no lines.
printf '0 0\n1 2\n2 1\n3 3\n4 2\n' > marks.dat
both graph-marks graph -m 0 -S 4 0.05 marks.dat

# Filled regions in colour with thick coloured lines.
printf '0 0\n1 3\n2 1\n3 4\n4 0\n' > fill.dat
both graph-fill graph -q 0.3 -m 3 -W 0.01 -C fill.dat

# Boxes, circles, ellipses, arcs, filled shapes and text in several places.
cat > shapes.pic <<'PIC'
.PS
box "box" wid 1.2 ht 0.6
move
circle "circle" rad 0.4
move
ellipse "ellipse" wid 1.4 ht 0.6
move down from last ellipse.s
arc cw rad 0.5
move
box wid 0.8 ht 0.8 fill 0.5
line from 1st box.sw to last circle.ne dashed
spline right 1 then up 1 then right 1
arrow from last box.s down 0.6
circle rad 0.3 fill 0.8 at 1st box.s + (0, -1.2)
.PE
PIC
both pic-shapes pic2plot --font-name HersheySans shapes.pic

# A graph kept as a GNU metafile first (a full grid, a log axis, dashed
# lines), then drawn by plot.
printf '1 1\n2 4\n3 9\n4 16\n5 25\n6 36\n' > grid.dat
graph -T meta -g 3 -l y -m 2 -W 0.004 grid.dat > grid.meta
both plot-grid plot grid.meta

rm -f line.dat marks.dat fill.dat shapes.pic grid.dat grid.meta
