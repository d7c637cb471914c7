import java.util.Vector;
import javax.microedition.lcdui.Canvas;
import javax.microedition.lcdui.Command;
import javax.microedition.lcdui.Font;
import javax.microedition.lcdui.Graphics;
import javax.microedition.lcdui.Image;
import javax.microedition.rms.RecordStore;

/**
 * The game: its screens, the rules of the board, the saved progress and all
 * drawing. Both canvases hand it their paint and key calls, so the game is
 * the same whichever canvas the phone has.
 */
public class TBoard implements Runnable {
  static final String NO_MEMORY = "There is not enough memory for this crossword.";

  /** The board the canvases draw; there is one per run. */
  static TBoard it;

  static final int TITLE = 0;
  static final int LIST = 1;
  static final int TEXT = 2;
  static final int GAME = 3;
  static final int WIN = 4;

  /** Actions of keys that have no game action of their own. */
  static final int MARK = -1;
  static final int ZOOM = -2;

  static final int INK = 0x101c3c;
  static final int BLUE = 0x2e5ca8;
  static final int SKY = 0x9cc4f0;
  static final int PAPER = 0xf6f1e2;
  static final int LIGHT = 0xdde8f8;
  static final int TINT = 0xeaf1fb;
  static final int GREY = 0xa0a8b8;
  static final int LINE = 0xc4ccda;
  static final int ORANGE = 0xf08c1c;
  static final int WHITE = 0xffffff;
  static final int FILL = 0x1c2c5c;
  static final int GREEN = 0x2e9a3c;
  static final int YELLOW = 0xffd840;
  static final int RED = 0xd83030;
  /** Every other line of clues sits on this, so neighbouring numbers read apart. */
  static final int STRIPE = 0xebe4cf;

  /** Cells changed between two saves: a phone switched off loses at most these. */
  static final int SAVE_EVERY = 4;

  static final String[] MENU = {"Resume", "Help", "Restart", "List", "Exit"};
  static final String[] ASK = {"No, keep it", "Yes, clear it"};
  static final String HELP = "How to play\n"
      + "Each row and column lists the runs of filled cells it holds, in order, with at least one"
      + " empty cell between two runs. Fill the cells that make every clue come true; the clues"
      + " of a finished line turn grey.\n\n"
      + "Arrows or 2 4 6 8: move\n"
      + "5 or Fire: fill or clear\n"
      + "0 or #: mark as empty\n"
      + "*: zoom out or in, with the whole clues of the cursor's row and column\n"
      + "Tap a cell: fill, mark, clear\n"
      + "Drag: do the same to more cells\n"
      + "Tap beside the board: move that way\n\n"
      + "Orange edges: more lies beyond. Your progress is kept as you play.";

  private static final String STORE = "grix";
  private static final String[] NUMBERS = new String[256];

  final TGrixMIDlet midlet;
  final String name;
  Canvas canvas;
  /** The full-screen canvas: soft-key labels are drawn by us, not by the phone. */
  boolean full;
  TConfig cfg;
  String error;

  Font small;
  Font bold;
  Font large;
  Image logo;
  Image point;
  Image splash;
  TSprite snow;
  /** The animation thread; it stops when this no longer names it. */
  volatile Thread anim;
  boolean visible = true;

  int screen;
  /** Where a text screen returns to; -1 ends the game. */
  int back;
  int sel;
  int top;
  boolean menu;
  int menuSel;
  /** The menu asks whether to clear the board. */
  boolean ask;
  // Where the menu was last drawn, for taps.
  int menuX;
  int menuY;
  int menuW;
  int menuRow = 1;
  String title;
  String text;
  String[] lines;
  int linesWidth;
  int textTop;
  Command left;
  Command right;
  String leftLabel;
  String rightLabel;

  /** Per crossword: 0 untouched, 1 started, 2 solved. */
  byte[] marks;
  boolean saveFailed;
  /** Cells changed since the last save. */
  int unsaved;

  int pic = -1;
  int w;
  int h;
  int cx;
  int cy;
  int ox;
  int oy;
  /** Per cell: 0 empty, 1 filled, 2 marked as surely empty. */
  byte[] cells;
  byte[][] rowClues;
  byte[][] colClues;
  boolean[] rowDone;
  boolean[] colDone;
  int done;
  boolean zoom;
  int rowClueWidth;
  int colClueCount;
  /** The widest column-clue number: cells are at least this wide, so numbers never touch. */
  int colNumberWidth;
  /** The rows and columns whose clues are longest, for the height of the zoomed board's clue bar. */
  int wideRow;
  int wideCol;
  /** The value a drag gives the cells it crosses; -1 when none. */
  int dragValue = -1;
  /** The solved grid differs from the author's picture; author: the picture is shown. */
  boolean differs;
  boolean author;

  // Layout of the board, worked out from the canvas size before each use.
  int size;
  int vw;
  int vh;
  int gx;
  int gy;
  int lw;
  int th;

  TBoard(TGrixMIDlet midlet, String name) {
    this.midlet = midlet;
    this.name = name;
    it = this;
  }

  /** Starts on the title screen; a pack that failed to load is reported when the player goes on. */
  void begin(Canvas c, boolean fullScreen, TConfig config, String loadError) {
    canvas = c;
    full = fullScreen;
    cfg = config;
    error = loadError;
    small = Font.getFont(Font.FACE_SYSTEM, Font.STYLE_PLAIN, Font.SIZE_SMALL);
    bold = Font.getFont(Font.FACE_SYSTEM, Font.STYLE_BOLD, Font.SIZE_SMALL);
    large = Font.getFont(Font.FACE_PROPORTIONAL, Font.STYLE_BOLD, Font.SIZE_LARGE);
    logo = image("/logo.png");
    point = image("/point.png");
    splash = image("/splash.png");
    if (error == null) {
      marks = new byte[cfg.count];
      try {
        RecordStore rs = store();
        byte[] r = rs.getRecord(1);
        rs.closeRecordStore();
        System.arraycopy(r, 4, marks, 0, marks.length);
      } catch (Throwable e) {
        saveFailed = true;
      }
    }
    show(TITLE);
  }

  private static Image image(String path) {
    try {
      return Image.createImage(path);
    } catch (Throwable e) {
      return null;
    }
  }

  // ---- screens and keys ----

  void show(int s) {
    screen = s;
    menu = false;
    labels();
    animate();
    canvas.repaint();
  }

  private void labels() {
    String l = null;
    String r = "Exit";
    switch (screen) {
      case TITLE:
        break;
      case LIST:
        l = "About";
        break;
      case TEXT:
        if (back >= 0) {
          r = "Back";
        }
        break;
      case GAME:
        l = menu ? "Select" : "Menu";
        r = "Back";
        break;
      default:
        l = "Next";
        r = "List";
    }
    leftLabel = l;
    rightLabel = r;
    if (!full) {
      if (left != null) {
        canvas.removeCommand(left);
      }
      if (right != null) {
        canvas.removeCommand(right);
      }
      left = l == null ? null : new Command(l, Command.SCREEN, 1);
      right = new Command(r, r.equals("Exit") ? Command.EXIT : Command.BACK, 1);
      if (left != null) {
        canvas.addCommand(left);
      }
      canvas.addCommand(right);
    }
  }

  void command(Command c) {
    soft(c == left ? 0 : 1);
    canvas.repaint();
  }

  void key(int code, boolean repeated) {
    int a = 0;
    try {
      a = canvas.getGameAction(code);
    } catch (RuntimeException e) {
      // Some phones refuse codes that have no game action.
    }
    // -6/-7 are the soft keys of most phones, -21/-22 and 21/22 of others.
    if (code == -6 || code == -21 || code == 21) {
      if (!repeated) {
        soft(0);
      }
    } else if (code == -7 || code == -22 || code == 22) {
      if (!repeated) {
        soft(1);
      }
    } else {
      switch (code) {
        case Canvas.KEY_NUM2:
          a = Canvas.UP;
          break;
        case Canvas.KEY_NUM8:
          a = Canvas.DOWN;
          break;
        case Canvas.KEY_NUM4:
          a = Canvas.LEFT;
          break;
        case Canvas.KEY_NUM6:
          a = Canvas.RIGHT;
          break;
        case Canvas.KEY_NUM5:
          a = Canvas.FIRE;
          break;
        case Canvas.KEY_NUM0:
        case Canvas.KEY_POUND:
          a = MARK;
          break;
        case Canvas.KEY_STAR:
          a = ZOOM;
          break;
        default:
      }
      action(a, repeated);
    }
    saveNow();
  }

  /**
   * Shows the move, then saves when SAVE_EVERY cells changed since the last
   * save, so a phone switched off or an application killed loses at most
   * those. A save writes one record of a quarter byte per cell (401 bytes
   * for 40 x 40); the screen is brought up to date first so that the
   * cursor never waits for the write.
   */
  private void saveNow() {
    canvas.repaint();
    if (unsaved >= SAVE_EVERY) {
      canvas.serviceRepaints();
      save();
    }
  }

  /**
   * A touch: 0 pressed, 1 dragged, 2 released. A tap on a cell moves the
   * cursor there and turns the cell from empty to filled to marked and back;
   * a drag gives every cell it crosses what the first cell got. Lists and
   * menus take a tap on a row, the drawn soft-key labels a tap on them.
   */
  void pointer(int x, int y, int kind) {
    int height = canvas.getHeight() - bar();
    if (kind == 2) {
      dragValue = -1;
    } else if (kind == 0 && y >= height) {
      soft(x < canvas.getWidth() / 2 ? 0 : 1);
    } else if (screen == GAME && !menu) {
      layout();
      int c = cellAt(x, y);
      if (c >= 0) {
        cx = c % w;
        cy = c / w;
        if (kind == 0) {
          dragValue = (cells[c] + 1) % 3;
        }
        if (dragValue >= 0 && cells[c] != dragValue) {
          set(dragValue);
        }
      } else if (kind == 0) {
        // A tap beside the grid steps the cursor past the nearest edge
        // cell, which scrolls a board larger than the screen.
        if (x < gx || x >= gx + vw * size) {
          cx = (x < gx ? ox - 1 + w : ox + vw) % w;
        }
        if (y < gy || y >= gy + vh * size) {
          cy = (y < gy ? oy - 1 + h : oy + vh) % h;
        }
      }
    } else if (kind == 0) {
      if (screen == GAME) {
        int i = (y - menuY) / menuRow;
        if (y < menuY || i >= items().length || x < menuX || x >= menuX + menuW) {
          soft(1);
        } else {
          choose(i);
        }
      } else if (screen == LIST) {
        int hh = headerHeight(height);
        int i = top + (y - hh) / listRowHeight();
        if (y >= hh && i < top + listRows()) {
          sel = Math.min(i, cfg.count - 1);
          open(i);
        }
      } else if (screen == TEXT) {
        textTop += (y < height / 2 ? -1 : 1) * textRows();
      } else if (screen == WIN) {
        action(y < height / 2 ? MARK : Canvas.DOWN, false);
      } else {
        action(Canvas.FIRE, false);
      }
    }
    saveNow();
  }

  private void action(int a, boolean repeated) {
    boolean fire = a == Canvas.FIRE && !repeated;
    int step = a == Canvas.UP ? -1 : a == Canvas.DOWN ? 1 : 0;
    int page = a == Canvas.LEFT ? -1 : a == Canvas.RIGHT ? 1 : 0;
    switch (screen) {
      case TITLE:
        if (!repeated) {
          leaveTitle();
        }
        break;
      case LIST:
        if (fire) {
          open(sel);
        } else if (cfg.count > 0) {
          int rows = listRows();
          sel += step + page * rows;
          if (step != 0) {
            sel = (sel + cfg.count) % cfg.count;
          }
          sel = Math.max(0, Math.min(cfg.count - 1, sel));
        }
        break;
      case TEXT:
        if (fire) {
          soft(1);
        } else {
          textTop += step + page * textRows();
        }
        break;
      case GAME:
        if (menu) {
          if (fire) {
            choose(menuSel);
          } else if (step != 0) {
            int n = items().length;
            menuSel = (menuSel + step + n) % n;
          }
        } else if (fire) {
          set(cells[cy * w + cx] == 1 ? 0 : 1);
        } else if (a == MARK && !repeated) {
          set(cells[cy * w + cx] == 2 ? 0 : 2);
        } else if (a == ZOOM && !repeated) {
          zoom = !zoom;
        } else {
          cy = (cy + step + h) % h;
          cx = (cx + page + w) % w;
        }
        break;
      default:
        if (fire) {
          soft(0);
        } else if ((a == MARK || a == ZOOM) && !repeated) {
          author = differs && !author;
        } else {
          textTop += step + page * 3;
        }
    }
  }

  private String[] items() {
    return ask ? ASK : MENU;
  }

  /** A soft key: 0 the left one, 1 the right one. */
  void soft(int k) {
    switch (screen) {
      case TITLE:
        if (k == 0) {
          leaveTitle();
        } else {
          quit();
        }
        break;
      case LIST:
        if (k == 0) {
          String info = cfg.info.length() > 0 ? cfg.info + "\n\n" : "";
          showText("About", info + HELP, LIST);
        } else {
          quit();
        }
        break;
      case TEXT:
        if (k == 1) {
          if (back < 0) {
            quit();
          } else {
            show(back);
          }
        }
        break;
      case GAME:
        if (menu) {
          if (k == 0) {
            choose(menuSel);
          } else {
            menu = false;
            ask = false;
            labels();
          }
        } else if (k == 0) {
          menu = true;
          menuSel = 0;
          labels();
        } else {
          leaveGame();
        }
        break;
      default:
        if (k == 0) {
          next();
        } else {
          leaveGame();
        }
    }
  }

  private void choose(int item) {
    menu = false;
    if (ask) {
      ask = false;
      if (item == 1) {
        for (int i = 0; i < cells.length; i++) {
          cells[i] = 0;
        }
        check();
        save();
        won();
      }
      labels();
      return;
    }
    switch (item) {
      case 1:
        showText("Help", HELP, GAME);
        return;
      case 2:
        // Clearing a board loses the work on it: ask first, "no" first.
        menu = true;
        ask = true;
        menuSel = 0;
        break;
      case 3:
        leaveGame();
        return;
      case 4:
        quit();
        return;
      default:
    }
    labels();
  }

  private void leaveTitle() {
    splash = null;
    if (error != null) {
      showText("Sorry", error, -1);
    } else {
      show(LIST);
    }
  }

  void showText(String t, String body, int returnTo) {
    title = t;
    text = body;
    lines = null;
    textTop = 0;
    back = returnTo;
    show(TEXT);
  }

  private void quit() {
    anim = null;
    if (midlet != null) {
      midlet.quit();
    }
  }

  void shown(boolean v) {
    visible = v;
    if (!v && screen == GAME) {
      save();
    }
    animate();
  }

  private void animate() {
    boolean on = visible && (screen == WIN || screen == TITLE && splash == null);
    if (on && anim == null) {
      anim = new Thread(this);
      anim.start();
    } else if (!on) {
      anim = null;
    }
  }

  public void run() {
    Thread me = Thread.currentThread();
    while (anim == me) {
      if (snow != null) {
        snow.step(canvas.getWidth(), canvas.getHeight());
      }
      canvas.repaint();
      try {
        Thread.sleep(80);
      } catch (InterruptedException e) {
        return;
      }
    }
  }

  // ---- the crossword ----

  /** Opens crossword i with its saved progress; a picture without cells or too big for the memory gets a message. */
  void open(int i) {
    if (i < 0 || i >= cfg.count) {
      return;
    }
    if (cfg.cells[i] == null) {
      showText("Sorry", "Crossword " + (i + 1) + " (" + cfg.width[i] + " * " + cfg.height[i]
          + ") is too large for this player.", LIST);
      return;
    }
    if (cfg.width[i] == 0 || cfg.height[i] == 0) {
      showText("Sorry", "Crossword " + (i + 1) + " has no cells to fill.", LIST);
      return;
    }
    pic = -1;
    cells = null;
    rowClues = null;
    colClues = null;
    try {
      w = cfg.width[i];
      h = cfg.height[i];
      cells = new byte[w * h];
      rowClues = new byte[h][];
      colClues = new byte[w][];
      rowDone = new boolean[h];
      colDone = new boolean[w];
      byte[] run = new byte[128];
      rowClueWidth = 0;
      for (int y = 0; y < h; y++) {
        byte[] c = clues(i, y * w, 1, w, run);
        rowClues[y] = c;
        int width = clueWidth(c);
        if (width > rowClueWidth) {
          rowClueWidth = width;
          wideRow = y;
        }
      }
      colClueCount = 1;
      colNumberWidth = small.stringWidth("0");
      int widest = 0;
      for (int x = 0; x < w; x++) {
        byte[] c = clues(i, x, w, h, run);
        colClues[x] = c;
        colClueCount = Math.max(colClueCount, c.length);
        for (int k = 0; k < c.length; k++) {
          colNumberWidth = Math.max(colNumberWidth, small.stringWidth(number(c[k] & 0xff)));
        }
        int width = clueWidth(c);
        if (width > widest) {
          widest = width;
          wideCol = x;
        }
      }
      pic = i;
      restore();
    } catch (OutOfMemoryError e) {
      pic = -1;
      cells = null;
      rowClues = null;
      colClues = null;
      showText("Sorry", NO_MEMORY, LIST);
      return;
    }
    check();
    cx = 0;
    cy = 0;
    ox = 0;
    oy = 0;
    zoom = false;
    unsaved = 0;
    show(GAME);
    // A picture without a filled cell is solved before the first move; one
    // solved before opens as it was left, to be looked at or restarted.
    if (marks[i] != 2) {
      won();
    }
  }

  /** Space the numbers of a row clue take, each with a gap after it; an empty clue shows "0". */
  int clueWidth(byte[] c) {
    int width = c.length == 0 ? small.stringWidth("0") + gap() : 0;
    for (int k = 0; k < c.length; k++) {
      width += small.stringWidth(number(c[k] & 0xff)) + gap();
    }
    return width;
  }

  private int gap() {
    return small.charWidth('0') / 2 + 2;
  }

  /** The run lengths of the picture's filled cells along one line. */
  private byte[] clues(int p, int start, int stride, int length, byte[] run) {
    byte[] bits = cfg.cells[p];
    int n = 0;
    int len = 0;
    for (int k = 0; k <= length; k++) {
      int i = start + k * stride;
      if (k < length && (bits[i >> 3] & (1 << (i & 7))) != 0) {
        len++;
      } else if (len > 0) {
        run[n++] = (byte) len;
        len = 0;
      }
    }
    byte[] c = new byte[n];
    System.arraycopy(run, 0, c, 0, n);
    return c;
  }

  /** Whether the filled cells along a line make exactly the runs of its clues. */
  private boolean matches(int start, int stride, int length, byte[] clue) {
    int n = 0;
    int len = 0;
    for (int k = 0; k <= length; k++) {
      if (k < length && cells[start + k * stride] == 1) {
        len++;
      } else if (len > 0) {
        if (n >= clue.length || (clue[n] & 0xff) != len) {
          return false;
        }
        n++;
        len = 0;
      }
    }
    return n == clue.length;
  }

  private void check() {
    done = 0;
    for (int y = 0; y < h; y++) {
      rowDone[y] = matches(y * w, 1, w, rowClues[y]);
      done += rowDone[y] ? 1 : 0;
    }
    for (int x = 0; x < w; x++) {
      colDone[x] = matches(x, w, h, colClues[x]);
      done += colDone[x] ? 1 : 0;
    }
  }

  /** Sets the cursor's cell; any grid that meets every clue wins, not only the picture itself. */
  void set(int v) {
    cells[cy * w + cx] = (byte) v;
    boolean r = matches(cy * w, 1, w, rowClues[cy]);
    boolean c = matches(cx, w, h, colClues[cx]);
    done += (r ? 1 : 0) - (rowDone[cy] ? 1 : 0) + (c ? 1 : 0) - (colDone[cx] ? 1 : 0);
    rowDone[cy] = r;
    colDone[cx] = c;
    unsaved++;
    won();
  }

  /** Shows the win screen when every clue is met. */
  private void won() {
    if (screen != GAME || done != w + h) {
      return;
    }
    marks[pic] = 2;
    save();
    differs = false;
    for (int i = 0; i < cells.length; i++) {
      differs |= (cells[i] == 1) != cfg.filled(pic, i % w, i / w);
    }
    author = false;
    snow = null;
    textTop = 0;
    show(WIN);
  }

  private void leaveGame() {
    save();
    pic = -1;
    cells = null;
    rowClues = null;
    colClues = null;
    show(LIST);
  }

  /** The next crossword not solved yet after this one, else the list. */
  private void next() {
    int from = pic;
    leaveGame();
    for (int k = 1; k < cfg.count; k++) {
      int j = (from + k) % cfg.count;
      if (marks[j] != 2 && cfg.width[j] > 0 && cfg.height[j] > 0 && cfg.cells[j] != null) {
        sel = j;
        open(j);
        return;
      }
    }
  }

  // ---- saved progress ----
  // Record 1: the pack's hash, then one mark per crossword; record 2 + i: the
  // cells of crossword i, four to a byte, after a leading 1. A store written
  // for another pack is dropped, so a rebuilt suite starts afresh.

  private RecordStore store() throws Exception {
    RecordStore rs = RecordStore.openRecordStore(STORE, true);
    try {
      byte[] r = rs.getRecord(1);
      if (rs.getNumRecords() == cfg.count + 1 && r.length == cfg.count + 4
          && (r[0] << 24 | (r[1] & 0xff) << 16 | (r[2] & 0xff) << 8 | r[3] & 0xff) == cfg.hash) {
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
    for (int i = 0; i < cfg.count; i++) {
      rs.addRecord(head, 0, 1);
    }
    return rs;
  }

  private byte[] header() {
    int n = cfg.hash;
    byte[] r = new byte[marks.length + 4];
    r[0] = (byte) (n >> 24);
    r[1] = (byte) (n >> 16);
    r[2] = (byte) (n >> 8);
    r[3] = (byte) n;
    System.arraycopy(marks, 0, r, 4, marks.length);
    return r;
  }

  private void restore() {
    try {
      RecordStore rs = store();
      byte[] r = rs.getRecord(pic + 2);
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

  /** Saves the open crossword and every mark; a failure is shown on the list. */
  void save() {
    // A store that fails is tried again after as many changes, not at every one.
    unsaved = 0;
    if (marks == null) {
      return;
    }
    try {
      RecordStore rs = store();
      try {
        if (pic >= 0 && cells != null) {
          byte[] r = new byte[1 + (cells.length + 3) / 4];
          r[0] = 1;
          boolean any = false;
          for (int i = 0; i < cells.length; i++) {
            r[1 + (i >> 2)] |= cells[i] << ((i & 3) * 2);
            any |= cells[i] != 0;
          }
          if (marks[pic] != 2) {
            marks[pic] = (byte) (any ? 1 : 0);
          }
          rs.setRecord(pic + 2, r, 0, r.length);
        }
        // The marks change far less often than the cells: one write, not two.
        byte[] head = header();
        byte[] old = rs.getRecord(1);
        for (int i = 0; i < head.length; i++) {
          if (head[i] != old[i]) {
            rs.setRecord(1, head, 0, head.length);
            break;
          }
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

  // ---- drawing ----

  static String number(int n) {
    String s = NUMBERS[n];
    if (s == null) {
      s = String.valueOf(n);
      NUMBERS[n] = s;
    }
    return s;
  }

  void paint(Graphics g) {
    int width = canvas.getWidth();
    int height = canvas.getHeight();
    int bar = bar();
    g.setClip(0, 0, width, height);
    switch (screen) {
      case TITLE:
        paintTitle(g, width, height - bar);
        break;
      case LIST:
        paintList(g, width, height - bar);
        break;
      case TEXT:
        paintText(g, width, height - bar);
        break;
      case GAME:
        paintGame(g, width, height - bar);
        break;
      default:
        paintWin(g, width, height - bar);
    }
    if (bar > 0) {
      g.setClip(0, 0, width, height);
      g.setColor(INK);
      g.fillRect(0, height - bar, width, bar);
      g.setColor(WHITE);
      g.setFont(small);
      if (leftLabel != null) {
        g.drawString(leftLabel, 2, height - 1, Graphics.LEFT | Graphics.BOTTOM);
      }
      g.drawString(rightLabel, width - 2, height - 1, Graphics.RIGHT | Graphics.BOTTOM);
    }
  }

  private int bar() {
    return full ? small.getHeight() + 2 : 0;
  }

  private void paintTitle(Graphics g, int width, int height) {
    if (splash != null && (splash.getWidth() > width || splash.getHeight() > height)) {
      splash = scaled(splash, width, height);
      animate();
    }
    if (splash != null) {
      g.setColor(0);
      g.fillRect(0, 0, width, height);
      g.drawImage(splash, width / 2, height / 2, Graphics.HCENTER | Graphics.VCENTER);
      g.setColor(INK);
      g.fillRect(0, height - small.getHeight() - 4, width, small.getHeight() + 4);
      g.setFont(small);
      g.setColor(SKY);
      g.drawString("Press any key", width / 2, height - 2, Graphics.HCENTER | Graphics.BOTTOM);
      return;
    }
    g.setColor(INK);
    g.fillRect(0, 0, width, height);
    if (snow == null) {
      snow = new TSprite(14, width, height);
    }
    snow.paint(g);
    int y = height / 3;
    if (logo != null) {
      g.drawImage(logo, width / 2, y, Graphics.HCENTER | Graphics.BOTTOM);
    }
    g.setColor(WHITE);
    // Small screens get one line in the small bold font, clear of the prompt.
    Font f = height < 100 ? bold : large;
    g.setFont(f);
    String[] t = wrap(name, f, width - 6);
    for (int i = 0; i < t.length && i < (f == bold ? 1 : 2); i++) {
      g.drawString(t[i], width / 2, y + 4 + i * f.getHeight(), Graphics.HCENTER | Graphics.TOP);
    }
    g.setFont(small);
    g.setColor(SKY);
    g.drawString("Press any key", width / 2, height - 3, Graphics.HCENTER | Graphics.BOTTOM);
  }

  /**
   * The picture shrunk to fit the screen, keeping its shape, or null when
   * the phone can not. MIDP 1.0 can neither scale nor read pixels, but it
   * can clip: every column of the result is the source drawn through a
   * one-pixel slit, then every row likewise.
   */
  static Image scaled(Image src, int width, int height) {
    int sw = src.getWidth();
    int sh = src.getHeight();
    int dw = width;
    int dh = sh * width / sw;
    if (dh > height) {
      dh = height;
      dw = sw * height / sh;
    }
    try {
      Image col = Image.createImage(Math.max(1, dw), sh);
      Graphics g = col.getGraphics();
      g.setColor(0);
      g.fillRect(0, 0, dw, sh);
      for (int x = 0; x < dw; x++) {
        g.setClip(x, 0, 1, sh);
        g.drawImage(src, x - x * sw / dw, 0, Graphics.TOP | Graphics.LEFT);
      }
      Image out = Image.createImage(Math.max(1, dw), Math.max(1, dh));
      g = out.getGraphics();
      for (int y = 0; y < dh; y++) {
        g.setClip(0, y, dw, 1);
        g.drawImage(col, 0, y - y * sh / dh, Graphics.TOP | Graphics.LEFT);
      }
      return out;
    } catch (Throwable e) {
      return null;
    }
  }

  /** A blue title bar with the icon where there is room; answers its height. */
  private int header(Graphics g, int width, int height, String t) {
    int hh = headerHeight(height);
    int x = hh >= 20 ? 22 : 3;
    g.setColor(BLUE);
    g.fillRect(0, 0, width, hh);
    g.setColor(INK);
    g.drawLine(0, hh - 1, width, hh - 1);
    if (x > 3) {
      g.drawImage(logo, 3, hh / 2, Graphics.LEFT | Graphics.VCENTER);
    }
    g.setColor(WHITE);
    g.setFont(bold);
    g.drawString(fit(t, bold, width - x - 2), x, (hh - bold.getHeight()) / 2, Graphics.LEFT | Graphics.TOP);
    return hh;
  }

  private int listRowHeight() {
    return Math.max(small.getHeight() + 3, point == null ? 0 : point.getHeight() + 2);
  }

  /** The title bar is tall enough for the icon where the screen has room for it. */
  private int headerHeight(int height) {
    int hh = bold.getHeight() + 4;
    return height >= 100 && logo != null ? Math.max(hh, 20) : hh;
  }

  private int listRows() {
    int height = canvas.getHeight() - bar();
    int hh = headerHeight(height);
    int foot = height >= 100 ? small.getHeight() + 2 : 0;
    return Math.max(1, (height - hh - foot) / listRowHeight());
  }

  private void paintList(Graphics g, int width, int height) {
    g.setColor(PAPER);
    g.fillRect(0, 0, width, height);
    int hh = header(g, width, height, name);
    int fh = small.getHeight();
    int n = cfg.count;
    g.setFont(small);
    if (n == 0) {
      g.setColor(INK);
      String[] t = wrap("There are no crosswords in this suite.", small, width - 8);
      for (int i = 0; i < t.length; i++) {
        g.drawString(t[i], width / 2, hh + 6 + i * fh, Graphics.HCENTER | Graphics.TOP);
      }
      return;
    }
    int rh = listRowHeight();
    int rows = listRows();
    if (sel < top) {
      top = sel;
    }
    if (sel >= top + rows) {
      top = sel - rows + 1;
    }
    int textX = point == null ? 3 : point.getWidth() + 5;
    int scroll = n > rows ? 4 : 0;
    int solved = 0;
    for (int i = 0; i < n; i++) {
      solved += marks[i] == 2 ? 1 : 0;
    }
    for (int i = top; i < n && i < top + rows; i++) {
      int y = hh + (i - top) * rh;
      if (i == sel) {
        g.setColor(LIGHT);
        g.fillRect(0, y, width - scroll, rh);
        if (point != null) {
          g.drawImage(point, 2, y + rh / 2, Graphics.LEFT | Graphics.VCENTER);
        }
      }
      int right = width - scroll - 3;
      boolean off = cfg.cells[i] == null;
      if (marks[i] == 2) {
        tick(g, right - 8, y + rh / 2);
        right -= 11;
      } else {
        // A puzzle too large for this player shows its size in red.
        String size = cfg.width[i] + "x" + cfg.height[i];
        g.setColor(off ? RED : GREY);
        g.drawString(size, right, y + (rh - fh) / 2 + 1, Graphics.RIGHT | Graphics.TOP);
        right -= small.stringWidth(size) + 3;
        if (marks[i] == 1) {
          g.setColor(ORANGE);
          g.fillRect(right - 4, y + rh / 2 - 2, 4, 4);
          right -= 6;
        }
      }
      g.setColor(off ? GREY : INK);
      g.drawString(fit((i + 1) + ". " + cfg.note[i], small, right - textX), textX, y + (rh - fh) / 2 + 1,
          Graphics.LEFT | Graphics.TOP);
    }
    scrollBar(g, width, hh, rows * rh, top, rows, n);
    if (height >= 100) {
      g.setColor(saveFailed ? RED : GREY);
      g.drawString(saveFailed ? "Progress can not be saved" : "Solved " + solved + " of " + n,
          width / 2, height - 1, Graphics.HCENTER | Graphics.BOTTOM);
    }
  }

  /** A bar at the right edge when only part of a list is on the screen. */
  private static void scrollBar(Graphics g, int width, int y, int area, int first, int shown, int all) {
    if (all > shown) {
      g.setColor(LINE);
      g.fillRect(width - 3, y, 3, area);
      g.setColor(BLUE);
      g.fillRect(width - 3, y + area * first / all, 3, Math.max(3, area * shown / all));
    }
  }

  private static void tick(Graphics g, int x, int y) {
    g.setColor(GREEN);
    for (int k = 0; k < 2; k++) {
      g.drawLine(x, y + k - 1, x + 2, y + k + 1);
      g.drawLine(x + 2, y + k + 1, x + 7, y + k - 4);
    }
  }

  private int textRows() {
    return Math.max(1, (canvas.getHeight() - bar() - bold.getHeight() - 10) / small.getHeight());
  }

  private void paintText(Graphics g, int width, int height) {
    g.setColor(PAPER);
    g.fillRect(0, 0, width, height);
    int hh = header(g, width, height, title);
    if (lines == null || linesWidth != width) {
      lines = wrap(text, small, width - 10);
      linesWidth = width;
    }
    int fh = small.getHeight();
    int rows = (height - hh - 4) / fh;
    textTop = Math.max(0, Math.min(textTop, lines.length - rows));
    g.setFont(small);
    g.setColor(INK);
    for (int i = textTop; i < lines.length && i < textTop + rows; i++) {
      g.drawString(lines[i], 4, hh + 3 + (i - textTop) * fh, Graphics.LEFT | Graphics.TOP);
    }
    scrollBar(g, width, hh + 3, rows * fh, textTop, rows, lines.length);
  }

  /**
   * Fits the board to the screen. Cells are never narrower than the widest
   * column-clue number nor lower than a row-clue number, so no two numbers
   * touch; small boards grow to fill the screen. Clue areas take at most
   * half the screen; a clue longer than its area shows the numbers nearest
   * the grid and an orange mark where it goes on, and the zoomed board's bar
   * shows the cursor's clues whole.
   */
  void layout() {
    int width = canvas.getWidth();
    int height = canvas.getHeight() - bar();
    int least;
    if (zoom) {
      lw = 0;
      // As tall as the longest clues need, but the grid keeps a third of a
      // tiny screen; what does not fit then ends in an orange mark.
      th = Math.min((barText(true, wideRow).length + barText(false, wideCol).length) * small.getHeight() + 2,
          height * 2 / 3);
      least = 3;
    } else {
      lw = Math.min(rowClueWidth + 3, width / 2);
      th = Math.min(colClueCount * pitch() + 3, height / 2);
      least = Math.max(colNumberWidth + 2, pitch() + 1);
    }
    int aw = width - lw - 1;
    int ah = height - th - 1;
    size = Math.max(least, Math.min(Math.max(16, Math.min(width, height) / 6), Math.min(aw / w, ah / h)));
    vw = Math.max(1, Math.min(w, aw / size));
    vh = Math.max(1, Math.min(h, ah / size));
    gx = lw + Math.max(0, (aw - vw * size) / 2);
    gy = th + Math.max(0, (ah - vh * size) / 2);
    if (cx < ox) {
      ox = cx;
    }
    if (cx >= ox + vw) {
      ox = cx - vw + 1;
    }
    if (cy < oy) {
      oy = cy;
    }
    if (cy >= oy + vh) {
      oy = cy - vh + 1;
    }
    ox = Math.max(0, Math.min(ox, w - vw));
    oy = Math.max(0, Math.min(oy, h - vh));
  }

  /** Height of a clue number's box: digits need no room for descenders. */
  int pitch() {
    return Math.min(small.getHeight(), small.getBaselinePosition() + 1);
  }

  /** The cell at a point of the screen, as y * w + x, or -1 off the grid. */
  int cellAt(int px, int py) {
    int x = px - gx;
    int y = py - gy;
    if (x < 0 || y < 0 || x >= vw * size || y >= vh * size) {
      return -1;
    }
    return (oy + y / size) * w + ox + x / size;
  }

  /** The zoomed board's bar lines for one row or column: its whole clue, wrapped. */
  private String[] barText(boolean row, int i) {
    byte[] c = row ? rowClues[i] : colClues[i];
    StringBuffer b = new StringBuffer(row ? "Row " : "Column ").append(i + 1).append(':');
    for (int k = 0; k < c.length; k++) {
      b.append(' ').append(c[k] & 0xff);
    }
    if (c.length == 0) {
      b.append(" 0");
    }
    return wrap(b.toString(), small, canvas.getWidth() - 6);
  }

  private void paintGame(Graphics g, int width, int height) {
    layout();
    g.setColor(PAPER);
    g.fillRect(0, 0, width, height);
    g.setFont(small);
    if (zoom) {
      g.setColor(LIGHT);
      g.fillRect(0, 0, width, th - 1);
      int y = 1;
      for (int r = 0; r < 2; r++) {
        String[] t = barText(r == 0, r == 0 ? cy : cx);
        g.setColor((r == 0 ? rowDone[cy] : colDone[cx]) ? GREY : INK);
        for (int k = 0; k < t.length; k++) {
          if (y + small.getHeight() > th) {
            g.setColor(ORANGE);
            g.fillRect(0, th - 3, width, 2);
            break;
          }
          g.drawString(t[k], 3, y, Graphics.LEFT | Graphics.TOP);
          y += small.getHeight();
        }
      }
    } else {
      paintClues(g);
      g.setClip(0, 0, width, height);
    }
    paintCells(g);
    if (menu) {
      paintMenu(g, width, height);
    }
  }

  private void paintClues(Graphics g) {
    int s = size;
    int p = pitch();
    int top = gy - th;
    int left = gx - lw;
    // Stripes under every other column and row of clues, the cursor's lit.
    for (int x = 0; x < vw; x++) {
      int c = ox + x == cx ? LIGHT : (ox + x) % 2 == 1 ? STRIPE : PAPER;
      g.setColor(c);
      g.fillRect(gx + x * s + 1, top, s - 1, th - 1);
    }
    for (int y = 0; y < vh; y++) {
      int c = oy + y == cy ? LIGHT : (oy + y) % 2 == 1 ? STRIPE : PAPER;
      g.setColor(c);
      g.fillRect(left, gy + y * s + 1, lw - 1, s - 1);
    }
    // Only whole numbers are drawn, nearest the grid first; the two pixels
    // at the far edge stay free for the mark of a clue that goes on.
    int fit = (th - 3) / p;
    for (int x = 0; x < vw; x++) {
      byte[] c = colClues[ox + x];
      int n = Math.max(1, c.length);
      g.setColor(colDone[ox + x] ? GREY : INK);
      for (int j = 0; j < n && j < fit; j++) {
        String t = c.length == 0 ? "0" : number(c[c.length - 1 - j] & 0xff);
        g.drawString(t, gx + x * s + (s + 1) / 2, gy - 1 - (j + 1) * p, Graphics.HCENTER | Graphics.TOP);
      }
      if (n > fit) {
        g.setColor(ORANGE);
        g.fillRect(gx + x * s + 1, top, s - 1, 2);
      }
    }
    int gap = gap();
    for (int y = 0; y < vh; y++) {
      byte[] c = rowClues[oy + y];
      int n = Math.max(1, c.length);
      int ty = gy + y * s + 1 + (s - 1 - p) / 2;
      int x = gx - 3;
      int j = 0;
      g.setColor(rowDone[oy + y] ? GREY : INK);
      for (; j < n; j++) {
        String t = c.length == 0 ? "0" : number(c[c.length - 1 - j] & 0xff);
        int tw = small.stringWidth(t);
        if (x - tw < left + 2) {
          break;
        }
        g.drawString(t, x, ty, Graphics.RIGHT | Graphics.TOP);
        x -= tw + gap;
      }
      if (j < n) {
        g.setColor(ORANGE);
        g.fillRect(left, gy + y * s + 1, 2, s - 1);
      }
    }
  }

  /**
   * The cells, drawn over a grid-coloured ground so the thin lines between
   * them come free; every fifth line, the edges and the cursor go on top.
   */
  private void paintCells(Graphics g) {
    int s = size;
    int gw = vw * s;
    int gh = vh * s;
    g.setColor(LINE);
    g.fillRect(gx, gy, gw, gh);
    for (int y = 0; y < vh; y++) {
      for (int x = 0; x < vw; x++) {
        int v = cells[(oy + y) * w + ox + x];
        int px = gx + x * s;
        int py = gy + y * s;
        int c = WHITE;
        if (v == 1) {
          c = FILL;
        } else if (oy + y == cy || ox + x == cx) {
          c = TINT;
        }
        g.setColor(c);
        g.fillRect(px + 1, py + 1, s - 1, s - 1);
        if (v == 2) {
          g.setColor(GREY);
          if (s >= 6) {
            g.drawLine(px + 2, py + 2, px + s - 2, py + s - 2);
            g.drawLine(px + s - 2, py + 2, px + 2, py + s - 2);
          } else {
            g.fillRect(px + s / 2, py + s / 2, 1, 1);
          }
        }
      }
    }
    g.setColor(BLUE);
    for (int x = 1; x < vw; x++) {
      if ((ox + x) % 5 == 0) {
        g.drawLine(gx + x * s, gy, gx + x * s, gy + gh);
      }
    }
    for (int y = 1; y < vh; y++) {
      if ((oy + y) % 5 == 0) {
        g.drawLine(gx, gy + y * s, gx + gw, gy + y * s);
      }
    }
    g.setColor(INK);
    g.drawRect(gx, gy, gw, gh);
    // Orange edges show where more of the board lies beyond the screen.
    g.setColor(ORANGE);
    if (ox > 0) {
      g.fillRect(gx - 1, gy, 2, gh + 1);
    }
    if (ox + vw < w) {
      g.fillRect(gx + gw, gy, 2, gh + 1);
    }
    if (oy > 0) {
      g.fillRect(gx, gy - 1, gw + 1, 2);
    }
    if (oy + vh < h) {
      g.fillRect(gx, gy + gh, gw + 1, 2);
    }
    int px = gx + (cx - ox) * s;
    int py = gy + (cy - oy) * s;
    g.drawRect(px - 1, py - 1, s + 2, s + 2);
    g.drawRect(px, py, s, s);
  }

  private void paintMenu(Graphics g, int width, int height) {
    String[] m = items();
    int fh = small.getHeight();
    int head = ask ? fh + 2 : 0;
    int rh = Math.min(fh + 3, (height - 6 - head) / m.length);
    int mw = small.stringWidth("Clear the board?");
    for (int i = 0; i < m.length; i++) {
      mw = Math.max(mw, small.stringWidth(m[i]) + 20);
    }
    mw = Math.min(width - 4, mw + 4);
    int mh = m.length * rh + 6 + head;
    int mx = (width - mw) / 2;
    int my = (height - mh) / 2;
    g.setColor(BLUE);
    g.fillRect(mx - 2, my - 2, mw + 4, mh + 4);
    g.setColor(WHITE);
    g.fillRect(mx, my, mw, mh);
    if (ask) {
      g.setColor(BLUE);
      g.fillRect(mx, my, mw, head + 1);
      g.setColor(WHITE);
      g.drawString("Clear the board?", width / 2, my + 1, Graphics.HCENTER | Graphics.TOP);
    }
    menuX = mx;
    menuY = my + 3 + head;
    menuW = mw;
    menuRow = rh;
    for (int i = 0; i < m.length; i++) {
      int y = menuY + i * rh;
      if (i == menuSel) {
        g.setColor(LIGHT);
        g.fillRect(mx + 1, y, mw - 2, rh);
        if (point != null) {
          g.drawImage(point, mx + 3, y + rh / 2, Graphics.LEFT | Graphics.VCENTER);
        }
      }
      g.setColor(INK);
      g.drawString(m[i], mx + 14, y + (rh - fh) / 2 + 1, Graphics.LEFT | Graphics.TOP);
    }
  }

  /**
   * The grid the player solved (or the author's picture, when the two differ
   * and the player asks for it) above the note, both on solid ground in
   * front of the snow; a long note scrolls.
   */
  private void paintWin(Graphics g, int width, int height) {
    g.setColor(INK);
    g.fillRect(0, 0, width, height);
    if (snow == null) {
      snow = new TSprite(18, width, height);
    }
    snow.paint(g);
    int fh = small.getHeight();
    String text = cfg.note[pic];
    if (differs) {
      text = (author ? "The author's picture. * shows your grid."
          : "Your grid meets every clue; the author's picture differs. * shows it.")
          + (text.length() > 0 ? "\n" + text : "");
    }
    // Small screens give the picture the title's line too: the word opens the note.
    int y0 = 2;
    if (height < 100) {
      text = "Solved! " + text;
    } else {
      g.setFont(bold);
      g.setColor(YELLOW);
      g.drawString("Solved!", width / 2, 2, Graphics.HCENTER | Graphics.TOP);
      y0 = bold.getHeight() + 6;
    }
    String[] note = text.length() == 0 ? new String[0] : wrap(text, small, width - 12);
    int rows = Math.min(note.length, Math.max(1, (height - y0) * 2 / 5 / fh));
    int aw = width - 12;
    int ah = height - y0 - rows * fh - 13;
    // Whole cells where they fit; a picture larger than the screen is scaled down.
    int tw = w;
    int tht = h;
    int z = Math.min(aw / w, ah / h);
    if (z >= 1) {
      z = Math.min(z, 12);
      tw = w * z;
      tht = h * z;
    } else if (w * ah > h * aw) {
      tw = aw;
      tht = Math.max(1, h * aw / w);
    } else {
      tht = Math.max(1, ah);
      tw = Math.max(1, w * ah / h);
    }
    int px = (width - tw) / 2;
    int py = y0 + Math.max(0, (ah - tht) / 2) + 3;
    g.setColor(BLUE);
    g.fillRect(px - 4, py - 4, tw + 8, tht + 8);
    g.setColor(PAPER);
    g.fillRect(px - 2, py - 2, tw + 4, tht + 4);
    g.setColor(FILL);
    for (int y = 0; y < h; y++) {
      int y1 = y * tht / h;
      int y2 = (y + 1) * tht / h;
      if (y2 == y1) {
        continue;
      }
      int start = -1;
      for (int x = 0; x <= w; x++) {
        boolean f = x < w && (author ? cfg.filled(pic, x, y) : cells[y * w + x] == 1);
        if (f && start < 0) {
          start = x;
        } else if (!f && start >= 0) {
          int x1 = start * tw / w;
          int x2 = Math.max(x1 + 1, x * tw / w);
          g.fillRect(px + x1, py + y1, x2 - x1, y2 - y1);
          start = -1;
        }
      }
    }
    if (rows > 0) {
      int ny = height - rows * fh - 4;
      g.setColor(INK);
      g.fillRect(0, ny - 2, width, rows * fh + 6);
      textTop = Math.max(0, Math.min(textTop, note.length - rows));
      g.setFont(small);
      g.setColor(WHITE);
      for (int i = 0; i < rows; i++) {
        g.drawString(note[textTop + i], width / 2, ny + i * fh, Graphics.HCENTER | Graphics.TOP);
      }
      scrollBar(g, width, ny, rows * fh, textTop, rows, note.length);
    }
  }

  /** The text, or as much of its first line as fits followed by "...". */
  static String fit(String s, Font f, int width) {
    int n = s.indexOf('\n');
    if (n < 0 && f.stringWidth(s) <= width) {
      return s;
    }
    n = n < 0 ? s.length() : n;
    while (n > 0 && f.stringWidth(s.substring(0, n) + "...") > width) {
      n--;
    }
    return s.substring(0, n) + "...";
  }

  /** Breaks text into lines no wider than width, at blanks where it can and at line breaks always. */
  static String[] wrap(String s, Font f, int width) {
    Vector v = new Vector();
    int n = s.length();
    int i = 0;
    while (true) {
      int start = i;
      int x = 0;
      int blank = -1;
      while (i < n && s.charAt(i) != '\n') {
        char c = s.charAt(i);
        x += f.charWidth(c);
        if (x > width && i > start) {
          break;
        }
        if (c == ' ') {
          blank = i;
        }
        i++;
      }
      if (i < n && s.charAt(i) != '\n') {
        if (blank > start) {
          i = blank;
        }
        v.addElement(s.substring(start, i));
        while (i < n && s.charAt(i) == ' ') {
          i++;
        }
      } else {
        v.addElement(s.substring(start, i));
        if (i >= n) {
          break;
        }
        i++;
      }
    }
    String[] r = new String[v.size()];
    v.copyInto(r);
    return r;
  }
}
