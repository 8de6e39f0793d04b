#!/bin/sh
# Writes the C++ source of the LCD ideograph table: the GBK code of every
# ideograph U+4E00..U+9FA5 as this machine's iconv converts it, then, for
# U+9FA6..U+9FFF (which GBK lacks), the code unit's own bytes, low first.
# Usage: make_ideograph_table.sh <output.cpp>
set -eu
out="$1"
first=19968  # U+4E00
last_gbk=40869  # U+9FA5
last=40959  # U+9FFF
tmp="$out.tmp"

LC_ALL=C awk -v a="$first" -v b="$last_gbk" 'BEGIN {
    for (c = a; c <= b; c++)
        printf "%c%c%c", 224 + int(c / 4096), 128 + int(c / 64) % 64, 128 + c % 64
}' | iconv -f UTF-8 -t GBK | od -An -v -tu1 > "$tmp"

LC_ALL=C awk -v a="$first" -v b="$last_gbk" -v z="$last" '
{ for (i = 1; i <= NF; i++) bytes[n++] = $i }
END {
    expected = 2 * (b - a + 1)
    if (n != expected) {
        printf "iconv gave %d bytes for %d ideographs\n", n, b - a + 1 > "/dev/stderr"
        exit 1
    }
    print "// Generated at build time by make_ideograph_table.sh from iconv; do not edit."
    print "#include \"directory/lcd_text.h\""
    print ""
    print "namespace talvio {"
    print ""
    print "const unsigned char kIdeographTable[kIdeographTableSize][2] = {"
    for (i = 0; i < n; i += 2) {
        if (bytes[i] < 129 || bytes[i + 1] < 64) {
            printf "ideograph U+%X is not a two-byte GBK code\n", a + i / 2 > "/dev/stderr"
            exit 1
        }
        printf "    {%d, %d},\n", bytes[i], bytes[i + 1]
    }
    for (c = b + 1; c <= z; c++) printf "    {%d, %d},\n", c % 256, int(c / 256)
    print "};"
    print ""
    print "}  // namespace talvio"
}' "$tmp" > "$out"
rm -f "$tmp"
