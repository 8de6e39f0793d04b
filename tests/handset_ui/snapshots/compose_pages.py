#!/usr/bin/env python3
"""Composes the expected LCD page pictures (page_*.txt) from first principles:
the Debian bitmap fonts read straight from their PCF files, the pixel art in
resources/, and the page geometry (row grid, widget rectangles, GDI-style
alignment). It shares no code with the program. Run it from the repository
root after changing a page's layout, then read the pictures before checking
them in:

    python3 tests/handset_ui/snapshots/compose_pages.py
"""
import gzip
import os
import struct

FONT_DIR = '/usr/share/fonts/X11/misc'
HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.normpath(os.path.join(HERE, '..', '..', '..'))
W, H = 128, 64


# --- PCF fonts ---------------------------------------------------------------

def read_pcf(name):
    path = os.path.join(FONT_DIR, name)
    data = gzip.open(path).read() if name.endswith('.gz') else open(path, 'rb').read()
    assert data[:4] == b'\x01fcp'
    count = struct.unpack_from('<i', data, 4)[0]
    tables = {}
    for i in range(count):
        kind, fmt, size, offset = struct.unpack_from('<iiii', data, 8 + 16 * i)
        tables[kind] = offset

    def header(kind):
        offset = tables[kind]
        fmt = struct.unpack_from('<i', data, offset)[0]
        order = '>' if fmt & 4 else '<'
        return offset + 4, fmt, order

    # Metrics (type 4), compressed or not.
    at, fmt, o = header(4)
    metrics = []
    if fmt & 0x100:
        n = struct.unpack_from(o + 'h', data, at)[0]
        at += 2
        for i in range(n):
            lsb, rsb, width, ascent, descent = (b - 0x80 for b in data[at:at + 5])
            metrics.append((lsb, rsb, width, ascent, descent))
            at += 5
    else:
        n = struct.unpack_from(o + 'i', data, at)[0]
        at += 4
        for i in range(n):
            metrics.append(struct.unpack_from(o + 'hhhhh', data, at))
            at += 12

    # Bitmaps (type 8): rows padded to 1 << (format & 3) bytes, one-byte scan units.
    at, fmt, o = header(8)
    msb_bits = bool(fmt & 8)
    pad = 1 << (fmt & 3)
    assert (fmt >> 4) & 3 == 0, 'one-byte scan units only'
    n = struct.unpack_from(o + 'i', data, at)[0]
    offsets = struct.unpack_from(o + '%di' % n, data, at + 4)
    sizes = struct.unpack_from(o + '4i', data, at + 4 + 4 * n)
    base = at + 4 + 4 * n + 16

    def glyph_pixels(index):
        lsb, rsb, width, ascent, descent = metrics[index]
        w, h = rsb - lsb, ascent + descent
        stride = ((w + 7) // 8 + pad - 1) // pad * pad
        start = base + offsets[index]
        rows = []
        for y in range(h):
            row = []
            for x in range(w):
                byte = data[start + y * stride + x // 8]
                bit = (byte >> (7 - x % 8)) & 1 if msb_bits else (byte >> (x % 8)) & 1
                row.append(bit)
            rows.append(row)
        return rows

    # Encodings (type 32).
    at, fmt, o = header(32)
    min2, max2, min1, max1, default = struct.unpack_from(o + 'hhhhh', data, at)
    cols = max2 - min2 + 1
    glyphs = {}
    for b1 in range(min1, max1 + 1):
        for b2 in range(min2, max2 + 1):
            index = struct.unpack_from(o + 'H', data, at + 10 + 2 * ((b1 - min1) * cols + (b2 - min2)))[0]
            if index != 0xFFFF:
                glyphs[b1 * 256 + b2] = index

    # Font ascent and descent from the (BDF) accelerators.
    at, fmt, o = header(256 if 256 in tables else 2)
    font_ascent, font_descent = struct.unpack_from(o + 'ii', data, at + 8)
    return {'metrics': metrics, 'pixels': glyph_pixels, 'glyphs': glyphs,
            'ascent': font_ascent, 'descent': font_descent}


def cell_glyph(font, code, rows):
    """A Latin glyph in a cell `rows` high and one advance wide: the font's
    rows from its ascent down; a taller font loses an empty top row first,
    then an empty row above the baseline, an empty bottom row, the top row."""
    index = font['glyphs'][code]
    lsb, rsb, width, ascent, descent = font['metrics'][index]
    pixels = font['pixels'](index)
    cell = []
    for y in range(font['ascent'] + font['descent']):
        gy = y - (font['ascent'] - ascent)
        cell.append([1 if 0 <= gy < len(pixels) and 0 <= x - lsb < rsb - lsb and pixels[gy][x - lsb] else 0
                     for x in range(width)])
    baseline = font['ascent']
    while len(cell) > rows:
        empty = lambda y: not any(cell[y])
        if empty(0):
            drop = 0
        else:
            drop = next((y for y in range(1, baseline) if empty(y)), None)
            if drop is None:
                drop = len(cell) - 1 if empty(len(cell) - 1) else 0
        del cell[drop]
        if drop < baseline:
            baseline -= 1
    return width, cell


LARGE = (read_pcf('9x15.pcf.gz'), 15)
SMALL = (read_pcf('6x12.pcf.gz'), 11)


# --- pixel art -----------------------------------------------------------------

def read_art(name):
    icons, current = {}, None
    for line in open(os.path.join(ROOT, 'resources', name)):
        line = line.rstrip('\n')
        if line.startswith('icon '):
            current = int(line.split()[1])
            icons[current] = []
        elif current is not None and line and line[0] in '.#':
            icons[current].append(line)
    return icons


STRIP = read_art('lcd_icons.txt')
LOGOS = read_art('lcd_logos.txt')


# --- drawing ---------------------------------------------------------------------

class Picture:
    def __init__(self):
        self.px = [[0] * W for _ in range(H)]

    def set(self, x, y, v, clip=(0, 0, W, H)):
        if clip[0] <= x < clip[2] and clip[1] <= y < clip[3] and 0 <= x < W and 0 <= y < H:
            self.px[y][x] = v

    def icon(self, art, left, top):
        """StretchBlt SRCCOPY of a 16 x 16 icon: lit pixels white, dark ones black."""
        for y, row in enumerate(art):
            for x, c in enumerate(row):
                self.set(left + x, top + y, 1 if c == '#' else 0)

    def text(self, text, rect, font=LARGE, h='left', v='top'):
        """One line as DrawTextW: aligned in the rectangle, transparent, clipped to it."""
        pcf, rows = font
        glyphs = [cell_glyph(pcf, ord(c), rows) for c in text]
        width = sum(g[0] for g in glyphs)
        left, top, right, bottom = rect
        x = {'left': left, 'centre': left + (right - left - width) // 2, 'right': right - width}[h]
        y = {'top': top, 'centre': top + (bottom - top - rows) // 2, 'bottom': bottom - rows}[v]
        for advance, cell in glyphs:
            for gy, row in enumerate(cell):
                for gx, ink in enumerate(row):
                    if ink:
                        self.set(x + gx, y + gy, 1, rect)
            x += advance

    def fill(self, rect, v=1):
        for y in range(rect[1], rect[3]):
            for x in range(rect[0], rect[2]):
                self.set(x, y, v)

    def outline(self, rect):
        l, t, r, b = rect
        for x in range(l, r):
            self.set(x, t, 1)
            self.set(x, b - 1, 1)
        for y in range(t, b):
            self.set(l, y, 1)
            self.set(r - 1, y, 1)

    def invert(self, rect):
        for y in range(rect[1], rect[3]):
            for x in range(rect[0], rect[2]):
                if 0 <= x < W and 0 <= y < H:
                    self.px[y][x] ^= 1

    def save(self, name, comment, rows=(0, H)):
        with open(os.path.join(HERE, name + '.txt'), 'w') as out:
            for line in comment.strip().splitlines():
                out.write('; ' + line + '\n')
            for row in self.px[rows[0]:rows[1]]:
                out.write(''.join('#' if v else '.' for v in row) + '\n')


def softkeys(p, left='', right='', bar=''):
    """Softkey labels in the small font, centred both ways in their halves
    of the bottom row; the bottom bar across the whole row."""
    for label, rect in ((left, (0, 48, 64, 64)), (right, (64, 48, 128, 64)), (bar, (0, 48, 128, 64))):
        if label:
            p.text(label, rect, SMALL, 'centre', 'centre')


def clock(p):
    p.text('9:05', (64, 0, 128, 16), LARGE, 'right')


def idle_page():
    p = Picture()
    p.icon(LOGOS[1], 0, 0)
    p.text('Talvio', (0, 16, 128, 32), LARGE, 'centre')
    clock(p)
    p.text('31.12.', (0, 32, 128, 48), LARGE, 'centre')
    p.icon(STRIP[15], 17, 0)
    softkeys(p, 'Menu')
    p.save('page_idle_missed', '''
The idle page of Skype (program 1, online) with the logo text "Talvio", the
clock at 9:05, the date 31.12. and the first frame of the missed-call mark.''')


def dial_page():
    p = Picture()
    p.icon(LOGOS[1], 0, 0)
    clock(p)
    # Word-wrapped and centred: one line, moved down by half the free height.
    p.text('+44 20 7946', (0, 16 + (32 - 15) // 2, 128, 48), LARGE, 'centre')
    softkeys(p, 'Call', 'Clear', 'Delete')
    p.save('page_dial', '''
The dial page following the client's dial field "+44 20 7946".''')


def volume_page():
    p = Picture()
    p.icon(LOGOS[1], 0, 0)
    clock(p)
    left, top, right, bottom = 10, 18, 136, 46
    pitch = (right - left) // 16
    width = 2 * pitch // 3
    level = (45056 + 2048) * 16 // 65535
    for i in range(16):
        x = left + i * pitch
        column = (x, bottom - 7 - i * (bottom - top - 10) // 15, x + width, bottom - 3)
        if i < level:
            p.fill(column)
        else:
            p.outline(column)
    softkeys(p, '', 'Back')
    p.save('page_volume', '''
The volume page at speaker volume 45056 (level 11): columns at x 10, 17, ...,
115, four pixels wide, the first eleven filled.''')


def call_page():
    p = Picture()
    p.icon(LOGOS[1], 0, 0)
    p.icon(STRIP[2], 17, 0)   # incoming call
    p.icon(STRIP[14], 34, 0)  # ringing animation, third frame
    p.text('Anna Berg', (0, 16, 128, 32), LARGE, 'centre')
    p.text('0:03', (0, 32, 128, 48), LARGE, 'centre')
    softkeys(p, 'Accept', 'Refuse')
    p.save('page_call_ringing', '''
The call page of an incoming Skype call from "Anna Berg", 3 seconds after it
was shown: the ringing bell on its third frame, the timer at 0:03.''')


def call_timer():
    p = Picture()
    p.text('0:04', (0, 32, 128, 48), LARGE, 'centre')
    p.save('timer_0_04', '''
Rows 32 to 47 of the call page: the timer at 0:04.''', (32, 48))


def detail_page():
    p = Picture()
    p.icon(STRIP[2], 0, 0)  # incoming call
    p.text('Carl', (17, 0, 128, 16), LARGE)
    p.text('14.11. 22:13', (0, 16, 128, 32), LARGE, 'centre')  # 1700000000 in UTC
    p.text('1:05', (0, 32, 128, 48), LARGE, 'centre')
    softkeys(p, 'Call', 'Back')
    p.save('page_detail', '''
The detail page of a received call from "Carl" at time stamp 1700000000
(14 November 2023, 22:13:20 UTC, in the test clock's day.month. format),
65 seconds long.''')


def program_list():
    p = Picture()
    names = {2: 'VoipBuster', 3: 'VoipStunt', 5: 'SparVoip'}
    for row, pid in enumerate((2, 3, 5)):
        p.icon(LOGOS[pid], 0, 16 * row)
        p.text(names[pid], (17, 16 * row, 122, 16 * row + 16), LARGE)
    p.invert((17, 32, 122, 48))  # the active program, SparVoip
    # Four items in three rows, scrolled down by one.
    p.outline((124, 2, 128, 48))
    thumb = max(2, (48 - 2) * 3 // 4)
    thumb_top = 2 + 1 * (48 - thumb - 2) // (4 - 1)
    p.fill((124, thumb_top, 128, thumb_top + thumb))
    p.icon(STRIP[38], 56, 48)
    softkeys(p, 'OK', 'Back')
    p.save('page_programs', '''
The "Active VOIP" list with Skype, VoipBuster, VoipStunt and SparVoip online
and SparVoip active: the list scrolled down by one so that the selection
starts on it, the scroll bar with its thumb, the globe between the softkeys.''')


if __name__ == '__main__':
    idle_page()
    dial_page()
    volume_page()
    call_page()
    call_timer()
    detail_page()
    program_list()
