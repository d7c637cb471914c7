import java.io.ByteArrayOutputStream;

/**
 * Writes crossword packs byte by byte for the tests, independently of the
 * player's reader: big-endian int32, UTF-16 text with a unit count, and the
 * cells packed through an 8-bit accumulator that shifts right and takes each
 * filled pixel in bit 7, flushed every eighth pixel and once at the end.
 */
final class PackBytes {
  private final ByteArrayOutputStream out = new ByteArrayOutputStream();

  PackBytes int32(int v) {
    out.write(v >>> 24);
    out.write(v >>> 16);
    out.write(v >>> 8);
    out.write(v);
    return this;
  }

  PackBytes text(String s) {
    int32(s.length());
    for (char c : s.toCharArray()) {
      out.write(c >>> 8);
      out.write(c);
    }
    return this;
  }

  PackBytes raw(int... bytes) {
    for (int b : bytes) {
      out.write(b);
    }
    return this;
  }

  /** A picture given as rows of '#' (filled) and '.' (empty). */
  PackBytes picture(String... rows) {
    int w = rows.length == 0 ? 0 : rows[0].length();
    boolean[] cells = new boolean[w * rows.length];
    for (int y = 0; y < rows.length; y++) {
      if (rows[y].length() != w) {
        throw new IllegalArgumentException("ragged picture");
      }
      for (int x = 0; x < w; x++) {
        cells[y * w + x] = rows[y].charAt(x) == '#';
      }
    }
    return picture(w, rows.length, cells);
  }

  PackBytes picture(int w, int h, boolean[] cells) {
    int32(w);
    int32(h);
    int acc = 0;
    for (int i = 0; i < w * h; i++) {
      acc >>= 1;
      if (cells[i]) {
        acc |= 128;
      }
      if ((i + 1) % 8 == 0) {
        out.write(acc);
        acc = 0;
      }
    }
    out.write(acc);
    return this;
  }

  /** A whole pack: info, then pictures and notes alternating (String[] rows, String note). */
  static byte[] pack(String info, Object... picturesAndNotes) {
    PackBytes p = new PackBytes().int32(picturesAndNotes.length / 2).text(info).text("1.0.0");
    for (int i = 0; i < picturesAndNotes.length; i += 2) {
      p.picture((String[]) picturesAndNotes[i]).text((String) picturesAndNotes[i + 1]);
    }
    return p.bytes();
  }

  byte[] bytes() {
    return out.toByteArray();
  }
}
