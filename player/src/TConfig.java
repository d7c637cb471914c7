import java.io.DataInputStream;
import java.io.EOFException;
import java.io.IOException;
import java.io.InputStream;
import javax.microedition.rms.RecordStore;

/**
 * The crossword pack: the information text and, for every crossword, its
 * size, its cells and its note. The pack has no checksum, so every count is
 * checked against a bound before anything is allocated; a damaged or cut
 * pack ends in an IOException whose message can be shown to the player.
 * It also keeps the player's progress in the phone's record store, and
 * saves it on a thread of its own once the player has paused for a moment.
 */
public class TConfig implements Runnable {
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

  // ---- saved progress ----
  // Record 1: the pack's hash, one mark per crossword, then the zoom choice;
  // record 2 + i: the cells of crossword i, four to a byte, after a leading
  // 1. A store written for another pack is dropped, so a rebuilt suite starts
  // afresh.

  static final byte UNTOUCHED = 0;
  static final byte STARTED = 1;
  static final byte SOLVED = 2;
  /**
   * How long the player must pause before the changes are saved: a phone
   * switched off loses at most the moves of this last moment, and a player
   * moving steadily is never slowed by a write.
   */
  static final int IDLE_SAVE = 500;
  private static final String STORE = "grix";

  /** Per crossword: UNTOUCHED, STARTED or SOLVED. */
  byte[] marks;
  /** The player prefers big cells to the whole board on the screen. */
  boolean bigCells;
  boolean saveFailed;
  /** The crossword being played and its cells, which a save writes; -1 and null when none is open. */
  int playing = -1;
  byte[] playingCells;
  /** Changes since the last save, and when the last one was made. */
  int unsaved;
  long changedAt;
  private Thread saver;

  /** Reads the marks and the zoom choice; a store that can not be read is reported on the list. */
  void loadProgress() {
    marks = new byte[count];
    try {
      RecordStore rs = store();
      byte[] r = rs.getRecord(1);
      rs.closeRecordStore();
      System.arraycopy(r, 4, marks, 0, count);
      bigCells = r.length > count + 4 && r[count + 4] != 0;
    } catch (Throwable e) {
      saveFailed = true;
    }
  }

  private RecordStore store() throws Exception {
    RecordStore rs = RecordStore.openRecordStore(STORE, true);
    try {
      byte[] r = rs.getRecord(1);
      // Stores written before the zoom choice was kept lack its byte.
      if (rs.getNumRecords() == count + 1 && (r.length == count + 4 || r.length == count + 5)
          && (r[0] << 24 | (r[1] & 0xff) << 16 | (r[2] & 0xff) << 8 | r[3] & 0xff) == hash) {
        return rs;
      }
    } catch (Exception e) {
      // A new or unreadable store: made afresh below.
    }
    rs.closeRecordStore();
    RecordStore.deleteRecordStore(STORE);
    rs = RecordStore.openRecordStore(STORE, true);
    byte[] head = header();
    rs.addRecord(head, 0, head.length);
    for (int i = 0; i < count; i++) {
      rs.addRecord(head, 0, 1);
    }
    return rs;
  }

  private byte[] header() {
    byte[] r = new byte[count + 5];
    r[0] = (byte) (hash >> 24);
    r[1] = (byte) (hash >> 16);
    r[2] = (byte) (hash >> 8);
    r[3] = (byte) hash;
    System.arraycopy(marks, 0, r, 4, count);
    r[count + 4] = (byte) (bigCells ? 1 : 0);
    return r;
  }

  /** Starts play on crossword p: its saved cells, if any, are read into cells, which later saves write. */
  synchronized void open(int p, byte[] cells) {
    playing = p;
    playingCells = cells;
    unsaved = 0;
    try {
      RecordStore rs = store();
      byte[] r = rs.getRecord(p + 2);
      rs.closeRecordStore();
      if (r != null && r.length == 1 + (cells.length + 3) / 4 && r[0] == 1) {
        for (int i = 0; i < cells.length; i++) {
          int v = r[1 + (i >> 2)] >> ((i & 3) * 2) & 3;
          cells[i] = (byte) (v == 3 ? 0 : v);
        }
      }
    } catch (Exception e) {
      saveFailed = true;
    }
  }

  /** Saves and ends play on the open crossword. */
  synchronized void close() {
    save();
    playing = -1;
    playingCells = null;
  }

  /** Notes a change; it is saved once the player pauses for IDLE_SAVE ms. */
  synchronized void changed() {
    unsaved++;
    changedAt = System.currentTimeMillis();
    if (saver == null) {
      startSaver();
    }
  }

  void startSaver() {
    saver = new Thread(this);
    saver.start();
  }

  /** The saver: waits until the player has paused, saves, and ends when nothing is left to save. */
  public void run() {
    while (true) {
      synchronized (this) {
        if (unsaved == 0) {
          saver = null;
          return;
        }
        long left = changedAt + IDLE_SAVE - System.currentTimeMillis();
        if (left > 0) {
          try {
            wait(left);
          } catch (InterruptedException e) {
            saver = null;
            return;
          }
          continue;
        }
        save();
      }
    }
  }

  /** Saves the open crossword and every mark; a failure is shown on the list. */
  synchronized void save() {
    // A store that fails is tried again at the next change, not in a loop.
    unsaved = 0;
    if (marks == null) {
      return;
    }
    try {
      RecordStore rs = store();
      try {
        byte[] cells = playingCells;
        if (playing >= 0 && cells != null) {
          byte[] r = new byte[1 + (cells.length + 3) / 4];
          r[0] = 1;
          boolean any = false;
          for (int i = 0; i < cells.length; i++) {
            r[1 + (i >> 2)] |= cells[i] << ((i & 3) * 2);
            any |= cells[i] != 0;
          }
          if (marks[playing] != SOLVED) {
            marks[playing] = any ? STARTED : UNTOUCHED;
          }
          rs.setRecord(playing + 2, r, 0, r.length);
        }
        // The marks change far less often than the cells: one write, not two.
        byte[] head = header();
        byte[] old = rs.getRecord(1);
        boolean same = old.length == head.length;
        for (int i = 0; same && i < head.length; i++) {
          same = head[i] == old[i];
        }
        if (!same) {
          rs.setRecord(1, head, 0, head.length);
        }
      } catch (Exception e) {
        rs.closeRecordStore();
        throw e;
      }
      rs.closeRecordStore();
      saveFailed = false;
    } catch (Throwable e) {
      saveFailed = true;
    }
  }
}
