#!/bin/sh
# Rebuilds the program's icons with ImageMagick: two number cells and a score
# bar on the game's teal, in the 16 colours of the standard VGA palette.
# Run from this folder; the outputs are committed so no build needs ImageMagick.
set -eu

palette=$(mktemp --suffix=.png)
trap 'rm -f "$palette" icon-16.png icon-48.png' EXIT
convert -size 16x1 xc:black \
    -fill '#800000' -draw 'point 1,0' -fill '#008000' -draw 'point 2,0' \
    -fill '#808000' -draw 'point 3,0' -fill '#000080' -draw 'point 4,0' \
    -fill '#800080' -draw 'point 5,0' -fill '#008080' -draw 'point 6,0' \
    -fill '#C0C0C0' -draw 'point 7,0' -fill '#808080' -draw 'point 8,0' \
    -fill '#FF0000' -draw 'point 9,0' -fill '#00FF00' -draw 'point 10,0' \
    -fill '#FFFF00' -draw 'point 11,0' -fill '#0000FF' -draw 'point 12,0' \
    -fill '#FF00FF' -draw 'point 13,0' -fill '#00FFFF' -draw 'point 14,0' \
    -fill '#FFFFFF' -draw 'point 15,0' "$palette"

# draw SCALE OUT: the 32-unit design, each unit SCALE pixels square.
draw() {
    s=$1
    r() {  # r COLOUR X0 Y0 X1 Y1, corners inclusive in design units
        echo "-fill $1 -draw \"rectangle $(($2 * s)),$(($3 * s)) $((($4 + 1) * s - 1)),$((($5 + 1) * s - 1))\""
    }
    # Seven-segment strokes inside a cell whose digit box starts at X.
    seg() {  # seg COLOUR X SEGMENTS
        c=$1 x=$2 segs=$3
        case $segs in *a*) r "$c" "$x" 7 $((x + 5)) 8 ;; esac
        case $segs in *b*) r "$c" $((x + 4)) 7 $((x + 5)) 13 ;; esac
        case $segs in *c*) r "$c" $((x + 4)) 12 $((x + 5)) 18 ;; esac
        case $segs in *d*) r "$c" "$x" 17 $((x + 5)) 18 ;; esac
        case $segs in *e*) r "$c" "$x" 12 $((x + 1)) 18 ;; esac
        case $segs in *f*) r "$c" "$x" 7 $((x + 1)) 13 ;; esac
        case $segs in *g*) r "$c" "$x" 12 $((x + 5)) 13 ;; esac
    }
    radius=$((3 * s))
    eval convert -size $((32 * s))x$((32 * s)) xc:none +antialias \
        -fill black -draw "\"roundrectangle 0,0 $((32 * s - 1)),$((32 * s - 1)) $radius,$radius\"" \
        -fill "'#008080'" -draw "\"roundrectangle $s,$s $((31 * s - 1)),$((31 * s - 1)) $radius,$radius\"" \
        $(r black 3 4 14 21) $(r "'#00FF00'" 4 5 13 20) \
        $(r black 17 4 28 21) $(r "'#0000FF'" 18 5 27 20) \
        $(seg black 6 abgcd) $(seg white 20 abc) \
        $(r black 3 24 28 28) $(r "'#00FFFF'" 4 25 27 27) \
        "$2"
}

draw 1 poroten-32.png
convert poroten-32.png +dither -remap "$palette" -define png:bit-depth=4 \
    -define png:color-type=3 PNG8:poroten-32.png
draw 8 poroten-256.png
convert poroten-32.png -filter point -resize 48x48 +dither -remap "$palette" icon-48.png
convert poroten-32.png -filter box -resize 16x16 +dither -remap "$palette" icon-16.png
convert icon-16.png poroten-32.png icon-48.png poroten-256.png poroten.ico
