import java.io.DataInputStream;
import java.io.EOFException;
import java.io.IOException;
import java.io.InputStream;

/**
 * The crossword pack: the information text and, for every crossword, its
 * size, its cells and its note. The pack has no checksum, so every count is
 * checked against a bound before anything is allocated; a damaged or cut
 * pack ends in an IOException whose message can be shown to the player.
 */
public class TConfig {
  /** The largest side a picture may have: clue values and the board fit bytes. */
  static final int MAX_SIDE = 255;
  // A picture over MAX_SIDE, or one whose cells would take the pictures
  // kept so far over MAX_CELL_BYTES, is skipped: the desktop tool warns
  // about the same pictures by the same rule.
  static final int MAX_COUNT = 4096;
  static final int MAX_TEXT = 16384;
  /** All pictures' cells together; keeps room in a 200 KB heap for the board. */
  static final int MAX_CELL_BYTES = 64 * 1024;

  int count;
  String info;
  String version;
  int[] width;
  int[] height;
  /** Cells per picture, pixel i (row by row from the top left) in byte i / 8, bit i % 8; null when too large. */
  byte[][] cells;
  String[] note;
  /** Changes whenever a picture changes, so saved progress for another pack is dropped. */
  int hash;

  /** Reads /cfg.dat from the suite. */
  void load() throws IOException {
    InputStream in = getClass().getResourceAsStream("/cfg.dat");
    if (in == null) {
      throw new IOException("The crossword file cfg.dat is missing from this suite.");
    }
    try {
      read(in);
    } catch (IOException e) {
      in.close();
      throw e;
    }
    in.close();
  }

  /** Reads a pack from any stream; on failure the fields are left unusable. */
  void read(InputStream stream) throws IOException {
    DataInputStream in = new DataInputStream(stream);
    count = 0;
    try {
      int n = in.readInt();
      if (n < 0 || n > MAX_COUNT) {
        throw damaged("bad crossword count " + n);
      }
      info = text(in);
      version = text(in);
      if (!"1.0.0".equals(version)) {
        throw new IOException("This player can not read crossword files of version " + version + ".");
      }
      width = new int[n];
      height = new int[n];
      cells = new byte[n][];
      note = new String[n];
      int h = n;
      int total = 0;
      for (int i = 0; i < n; i++) {
        int w = in.readInt();
        int ht = in.readInt();
        if (w < 0 || ht < 0) {
          throw damaged("bad size of crossword " + (i + 1));
        }
        long all = (long) w * ht / 8 + 1;
        width[i] = w;
        height[i] = ht;
        h = h * 31 + w;
        h = h * 31 + ht;
        if (w > MAX_SIDE || ht > MAX_SIDE || total + all > MAX_CELL_BYTES) {
          // Too large for this player: listed as unavailable, the others play.
          while (all > 0) {
            int k = in.skipBytes((int) Math.min(all, 4096));
            if (k <= 0) {
              in.readByte();
              k = 1;
            }
            all -= k;
          }
        } else {
          int pixels = w * ht;
          int size = (int) all;
          total += size;
          byte[] b = new byte[size];
          in.readFully(b);
          // The last pixels that do not fill a byte sit in its top bits; move
          // them down so that every pixel is found the same way.
          int rest = pixels & 7;
          b[size - 1] = (byte) (rest == 0 ? 0 : (b[size - 1] & 0xFF) >> (8 - rest));
          cells[i] = b;
          for (int k = 0; k < size; k++) {
            h = h * 31 + b[k];
          }
        }
        note[i] = text(in);
      }
      hash = h;
      count = n;
    } catch (EOFException e) {
      throw new IOException("The crossword file is cut short.");
    }
  }

  private static IOException damaged(String what) {
    return new IOException("The crossword file is damaged (" + what + ").");
  }

  /** A count of UTF-16 units, then each unit high byte first. */
  private static String text(DataInputStream in) throws IOException {
    int n = in.readInt();
    if (n < 0 || n > MAX_TEXT) {
      throw damaged("bad text length " + n);
    }
    char[] c = new char[n];
    for (int i = 0; i < n; i++) {
      c[i] = in.readChar();
    }
    return new String(c);
  }

  /** Whether cell (x, y) of crossword p is filled. */
  boolean filled(int p, int x, int y) {
    int i = y * width[p] + x;
    return (cells[p][i >> 3] & (1 << (i & 7))) != 0;
  }
}
