import java.util.Vector;
import javax.microedition.lcdui.Canvas;
import javax.microedition.lcdui.Command;
import javax.microedition.lcdui.Font;
import javax.microedition.lcdui.Graphics;
import javax.microedition.lcdui.Image;

/**
 * The game: its screens, the rules of the board and all drawing; the saved
 * progress lives with the pack in TConfig. Both canvases hand it their paint
 * and key calls, so the game is the same whichever canvas the phone has.
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

  /** What a cell holds. */
  static final int EMPTY = 0;
  static final int FILLED = 1;
  static final int CROSSED = 2;

  /** What a touch does, as the canvases report it. */
  static final int PRESSED = 0;
  static final int DRAGGED = 1;
  static final int RELEASED = 2;

  /** Smaller cells can not be hit or read on a phone. */
  static final int MIN_CELL = 5;
  /**
   * The board's own digits, three pixels wide (a one a single column) and
   * DIGIT_HEIGHT tall, for boards the phone's font would not let fit: one
   * char per digit, three bits per row from the top, the left pixel highest.
   */
  static final String DIGITS = "\u7b6f\u4924\u73e7\u73cf\u5bc9\u79cf\u79ef\u7249\u7bef\u7bcf";
  static final int DIGIT_HEIGHT = 5;

  /** A held key moves first after FIRST_REPEAT ms, then every REPEAT ms at most. */
  static final int FIRST_REPEAT = 300;
  static final int REPEAT = 100;

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

  static final String[] MENU = {"Resume", "Help", "Restart", "List", "Exit"};
  static final String[] ASK = {"No, keep it", "Yes, clear it"};
  static final String HELP = "How to play\n"
      + "Each row and column lists the runs of filled cells it holds, in order, with at least one"
      + " empty cell between two runs. Fill the cells that make every clue come true; the clues"
      + " of a finished line turn grey.\n\n"
      + "Arrows or 2 4 6 8: move\n"
      + "5 or Fire: fill or clear\n"
      + "0 or #: mark as empty\n"
      + "* or a tap on the corner: whole board or big cells\n"
      + "Tap a cell: fill, mark, clear\n"
      + "Drag: do the same to more cells\n"
      + "Tap beside the board: move that way\n\n"
      + "Orange edges: more lies beyond. Your progress is kept as you play.";

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
  int selected;
  int listTop;
  boolean menu;
  int menuItem;
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
  int textLine;
  Command left;
  Command right;
  String leftLabel;
  String rightLabel;

  /** When the key held now went down and last moved, for the pace of its repeats. */
  long pressedAt;
  long repeatedAt;
  // A touch on the list: where it went down, and whether it became a drag that scrolls.
  int pressY;
  int pressTop;
  boolean pressOnList;
  boolean dragged;

  int picture = -1;
  int boardWidth;
  int boardHeight;
  int cursorX;
  int cursorY;
  int firstColumn;
  int firstRow;
  /** Per cell: EMPTY, FILLED or CROSSED (marked as surely empty). */
  byte[] cells;
  byte[][] rowClues;
  byte[][] colClues;
  boolean[] rowDone;
  boolean[] colDone;
  int done;
  /** The width of the widest column-clue number in the font in use: cells are wider, so numbers never touch. */
  int columnNumberWidth;
  /** The cell state a drag gives the cells it crosses; -1 when none. */
  int dragState = -1;
  /** The solved grid differs from the author's picture; author: the picture is shown. */
  boolean differs;
  boolean author;

  // Layout of the board, worked out from the canvas size before each use.
  /** The cells are chosen for this screen and zoom; they change only when these do. */
  int fitWidth;
  int fitHeight;
  boolean fitBig;
  /** Clue numbers are drawn in the board's digits, not the phone's font. */
  boolean pixelFont;
  int cellSize;
  int shownColumns;
  int shownRows;
  int gridX;
  int gridY;
  /** The width of the row-clue area left of the grid and the height of the column-clue area above it. */
  int clueWidth;
  int clueHeight;

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
      cfg.loadProgress();
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

  /** The time in ms, for the pace of held keys. */
  long now() {
    return System.currentTimeMillis();
  }

  void key(int code, boolean repeated) {
    long t = now();
    if (!repeated) {
      pressedAt = t;
      repeatedAt = t;
    } else if (t - pressedAt < FIRST_REPEAT || t - repeatedAt < REPEAT) {
      // Phones repeat at their own pace, some very fast: a held key moves
      // at a pace the player can stop on a chosen cell.
      return;
    } else {
      repeatedAt = t;
    }
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
    canvas.repaint();
  }

  /**
   * A touch: PRESSED, DRAGGED or RELEASED. A tap on a cell moves the cursor
   * there and turns the cell from empty to filled to crossed and back; a
   * drag gives every cell it crosses what the first cell got. A tap beside
   * the grid moves the cursor that way, a tap on the corner above the row
   * clues switches the zoom. Lists open a row on release and scroll on a
   * drag; menus take a tap on a row, the drawn soft-key labels a tap on them.
   */
  void pointer(int x, int y, int kind) {
    int height = canvas.getHeight() - bar();
    if (kind == PRESSED && y >= height) {
      soft(x < canvas.getWidth() / 2 ? 0 : 1);
    } else if (screen == LIST) {
      listPointer(x, y, kind, height);
    } else if (kind == RELEASED) {
      dragState = -1;
    } else if (screen == GAME && !menu) {
      layout();
      int c = cellAt(x, y);
      if (c >= 0) {
        cursorX = c % boardWidth;
        cursorY = c / boardWidth;
        if (kind == PRESSED) {
          dragState = (cells[c] + 1) % 3;
        }
        if (dragState >= 0 && cells[c] != dragState) {
          set(dragState);
        }
      } else if (kind == PRESSED) {
        boolean left = x < gridX;
        boolean above = y < gridY;
        if (left && above) {
          zoom();
        } else {
          if (left || x >= gridX + shownColumns * cellSize) {
            cursorX = beside(left, cursorX, firstColumn, shownColumns, boardWidth);
          }
          if (above || y >= gridY + shownRows * cellSize) {
            cursorY = beside(above, cursorY, firstRow, shownRows, boardHeight);
          }
        }
      }
    } else if (kind == PRESSED) {
      if (screen == GAME) {
        int i = (y - menuY) / menuRow;
        if (y < menuY || i >= items().length || x < menuX || x >= menuX + menuW) {
          soft(1);
        } else {
          choose(i);
        }
      } else if (screen == TEXT) {
        textLine += (y < height / 2 ? -1 : 1) * textRows();
      } else if (screen == WIN) {
        action(y < height / 2 ? MARK : Canvas.DOWN, false);
      } else {
        action(Canvas.FIRE, false);
      }
    }
    canvas.repaint();
  }

  /**
   * Where a tap beside the grid takes the cursor along one axis (before:
   * left of or above the grid): onto the first line hidden on that side,
   * which scrolls it into view, or one step that way as a key press would
   * when the board shows every line on that side.
   */
  static int beside(boolean before, int cursor, int first, int shown, int all) {
    if (before) {
      return first > 0 ? first - 1 : (cursor + all - 1) % all;
    }
    return first + shown < all ? first + shown : (cursor + 1) % all;
  }

  /** A touch on the list: a row opens when a tap ends on it, a drag scrolls. */
  private void listPointer(int x, int y, int kind, int height) {
    int rh = listRowHeight();
    int hh = headerHeight(height);
    int rows = listRows();
    if (kind == PRESSED) {
      pressY = y;
      pressTop = listTop;
      pressOnList = y >= hh && y < hh + rows * rh;
      dragged = false;
    } else if (kind == DRAGGED) {
      dragged |= pressOnList && Math.abs(y - pressY) >= rh / 2;
      if (dragged && cfg.count > rows) {
        listTop = Math.max(0, Math.min(cfg.count - rows, pressTop - (y - pressY) / rh));
        selected = Math.max(listTop, Math.min(listTop + rows - 1, selected));
      }
    } else if (pressOnList && !dragged) {
      pressOnList = false;
      int i = listTop + (y - hh) / rh;
      if (y >= hh && i < listTop + rows && i < cfg.count) {
        selected = i;
        open(i);
      }
    }
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
          open(selected);
        } else if (cfg.count > 0) {
          int rows = listRows();
          selected += step + page * rows;
          if (step != 0 && !repeated) {
            selected = (selected + cfg.count) % cfg.count;
          }
          selected = Math.max(0, Math.min(cfg.count - 1, selected));
        }
        break;
      case TEXT:
        if (fire) {
          soft(1);
        } else {
          textLine += step + page * textRows();
        }
        break;
      case GAME:
        if (menu) {
          if (fire) {
            choose(menuItem);
          } else if (step != 0) {
            int n = items().length;
            menuItem = (menuItem + step + n) % n;
          }
        } else if (fire) {
          set(cells[cursorY * boardWidth + cursorX] == FILLED ? EMPTY : FILLED);
        } else if (a == MARK && !repeated) {
          set(cells[cursorY * boardWidth + cursorX] == CROSSED ? EMPTY : CROSSED);
        } else if (a == ZOOM && !repeated) {
          zoom();
        } else {
          cursorY = move(cursorY, step, boardHeight, repeated);
          cursorX = move(cursorX, page, boardWidth, repeated);
        }
        break;
      default:
        if (fire) {
          soft(0);
        } else if ((a == MARK || a == ZOOM) && !repeated) {
          author = differs && !author;
        } else {
          textLine += step + page * 3;
        }
    }
  }

  /** A step along a line: a fresh press wraps at the edge, a held key stops there. */
  static int move(int at, int step, int all, boolean repeated) {
    return repeated ? Math.max(0, Math.min(all - 1, at + step)) : (at + step + all) % all;
  }

  /** Switches between the whole board and big cells; the choice is kept for the next run. */
  private void zoom() {
    cfg.bigCells = !cfg.bigCells;
    cfg.changed();
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
            choose(menuItem);
          } else {
            menu = false;
            ask = false;
            labels();
          }
        } else if (k == 0) {
          menu = true;
          menuItem = 0;
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
          cells[i] = EMPTY;
        }
        // A cleared board is a puzzle to solve again, not a solved one.
        cfg.marks[picture] = TConfig.UNTOUCHED;
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
        menuItem = 0;
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
    textLine = 0;
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
    picture = -1;
    cells = null;
    rowClues = null;
    colClues = null;
    try {
      int w = cfg.width[i];
      int h = cfg.height[i];
      boardWidth = w;
      boardHeight = h;
      cells = new byte[w * h];
      rowClues = new byte[h][];
      colClues = new byte[w][];
      rowDone = new boolean[h];
      colDone = new boolean[w];
      byte[] run = new byte[128];
      for (int y = 0; y < h; y++) {
        rowClues[y] = clues(i, y * w, 1, w, run);
      }
      for (int x = 0; x < w; x++) {
        colClues[x] = clues(i, x, w, h, run);
      }
      picture = i;
      cfg.open(i, cells);
    } catch (OutOfMemoryError e) {
      picture = -1;
      cells = null;
      rowClues = null;
      colClues = null;
      showText("Sorry", NO_MEMORY, LIST);
      return;
    }
    check();
    cursorX = 0;
    cursorY = 0;
    firstColumn = 0;
    firstRow = 0;
    fitWidth = 0;
    clueWidth = 0;
    clueHeight = 0;
    show(GAME);
    // A picture without a filled cell is solved before the first move; one
    // solved before opens as it was left, to be looked at or restarted.
    if (cfg.marks[i] != TConfig.SOLVED) {
      won();
    }
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
      if (k < length && cells[start + k * stride] == FILLED) {
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
    int w = boardWidth;
    int h = boardHeight;
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
    int w = boardWidth;
    int x = cursorX;
    int y = cursorY;
    cells[y * w + x] = (byte) v;
    boolean r = matches(y * w, 1, w, rowClues[y]);
    boolean c = matches(x, w, boardHeight, colClues[x]);
    done += (r ? 1 : 0) - (rowDone[y] ? 1 : 0) + (c ? 1 : 0) - (colDone[x] ? 1 : 0);
    rowDone[y] = r;
    colDone[x] = c;
    cfg.changed();
    won();
  }

  /** Shows the win screen when every clue is met. */
  private void won() {
    if (screen != GAME || done != boardWidth + boardHeight) {
      return;
    }
    cfg.marks[picture] = TConfig.SOLVED;
    save();
    differs = false;
    for (int i = 0; i < cells.length; i++) {
      differs |= (cells[i] == FILLED) != cfg.filled(picture, i % boardWidth, i / boardWidth);
    }
    author = false;
    snow = null;
    textLine = 0;
    show(WIN);
  }

  private void leaveGame() {
    cfg.close();
    picture = -1;
    cells = null;
    rowClues = null;
    colClues = null;
    show(LIST);
  }

  /** Whether crossword i can be played here: not too large, and with cells to fill. */
  boolean playable(int i) {
    return cfg.width[i] > 0 && cfg.height[i] > 0 && cfg.cells[i] != null;
  }

  /** The next crossword not solved yet after this one, else the list. */
  private void next() {
    int from = picture;
    leaveGame();
    for (int k = 1; k < cfg.count; k++) {
      int j = (from + k) % cfg.count;
      if (cfg.marks[j] != TConfig.SOLVED && playable(j)) {
        selected = j;
        open(j);
        return;
      }
    }
  }

  /** Saves the open crossword and every mark. */
  void save() {
    cfg.save();
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
    // The splash fits above the prompt's strip, so the strip never covers it.
    int strip = small.getHeight() + 4;
    int above = height - strip;
    if (splash != null && (splash.getWidth() > width || splash.getHeight() > above)) {
      splash = scaled(splash, width, above);
      animate();
    }
    if (splash != null) {
      g.setColor(0);
      g.fillRect(0, 0, width, height);
      g.drawImage(splash, width / 2, above / 2, Graphics.HCENTER | Graphics.VCENTER);
      g.setColor(INK);
      g.fillRect(0, above, width, strip);
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
    // Small screens take the name in the small bold font, on two lines at
    // most clear of the prompt (runtimes' fonts differ); where the icon and
    // the name do not both fit, the icon gives way, and a name still longer
    // ends in "...".
    Font f = height < 100 ? bold : large;
    int fh = f.getHeight();
    int free = height - 3 - small.getHeight() - 4;
    int y = height / 3;
    String[] t = titleLines(name, f, width - 6, 2);
    if (y + t.length * fh > free) {
      y = 0;
      t = titleLines(name, f, width - 6, free / fh < 2 ? 1 : 2);
    } else if (logo != null) {
      g.drawImage(logo, width / 2, y, Graphics.HCENTER | Graphics.BOTTOM);
    }
    g.setColor(WHITE);
    g.setFont(f);
    for (int i = 0; i < t.length; i++) {
      g.drawString(t[i], width / 2, y + 4 + i * fh, Graphics.HCENTER | Graphics.TOP);
    }
    g.setFont(small);
    g.setColor(SKY);
    g.drawString("Press any key", width / 2, height - 3, Graphics.HCENTER | Graphics.BOTTOM);
  }

  /** The name wrapped onto one or two lines, the last cut with "..." when the rest does not fit. */
  static String[] titleLines(String s, Font f, int width, int most) {
    String[] t = wrap(s, f, width);
    if (t.length <= most) {
      return t;
    }
    if (most == 1) {
      return new String[] {fit(s, f, width)};
    }
    return new String[] {t[0], fit(s.substring(t[0].length()).trim(), f, width)};
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

  int listRowHeight() {
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
    if (selected < listTop) {
      listTop = selected;
    }
    if (selected >= listTop + rows) {
      listTop = selected - rows + 1;
    }
    int top = listTop;
    byte[] marks = cfg.marks;
    int scroll = n > rows ? 4 : 0;
    // Only the crosswords this player can open count: all of them can be solved.
    int solved = 0;
    int playable = 0;
    for (int i = 0; i < n; i++) {
      solved += marks[i] == TConfig.SOLVED ? 1 : 0;
      playable += playable(i) ? 1 : 0;
    }
    for (int i = top; i < n && i < top + rows; i++) {
      listRow(g, i, hh + (i - top) * rh, width - scroll);
    }
    scrollBar(g, width, hh, rows * rh, top, rows, n);
    if (height >= 100) {
      String rest = playable < n ? ", " + (n - playable) + " unavailable" : "";
      String foot = "Solved " + solved + " of " + playable + rest;
      if (small.stringWidth(foot) > width - 4) {
        foot = solved + "/" + playable + " solved" + rest;
      }
      g.setColor(cfg.saveFailed ? RED : GREY);
      g.drawString(cfg.saveFailed ? "Progress can not be saved" : fit(foot, small, width - 4),
          width / 2, height - 1, Graphics.HCENTER | Graphics.BOTTOM);
    }
  }

  /** Row i of the list at y: its number and note, and its size or a tick when solved. */
  private void listRow(Graphics g, int i, int y, int width) {
    int rh = listRowHeight();
    int ty = y + (rh - small.getHeight()) / 2 + 1;
    byte mark = cfg.marks[i];
    if (i == selected) {
      g.setColor(LIGHT);
      g.fillRect(0, y, width, rh);
      if (point != null) {
        g.drawImage(point, 2, y + rh / 2, Graphics.LEFT | Graphics.VCENTER);
      }
    }
    int right = width - 3;
    boolean off = cfg.cells[i] == null;
    if (mark == TConfig.SOLVED) {
      tick(g, right - 8, y + rh / 2);
      right -= 11;
    } else {
      // A puzzle too large for this player shows its size in red.
      String size = cfg.width[i] + "x" + cfg.height[i];
      g.setColor(off ? RED : GREY);
      g.drawString(size, right, ty, Graphics.RIGHT | Graphics.TOP);
      right -= small.stringWidth(size) + 3;
      if (mark == TConfig.STARTED) {
        g.setColor(ORANGE);
        g.fillRect(right - 4, y + rh / 2 - 2, 4, 4);
        right -= 6;
      }
    }
    int textX = point == null ? 3 : point.getWidth() + 5;
    g.setColor(off ? GREY : INK);
    g.drawString(fit((i + 1) + ". " + cfg.note[i], small, right - textX), textX, ty, Graphics.LEFT | Graphics.TOP);
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
    textLine = Math.max(0, Math.min(textLine, lines.length - rows));
    g.setFont(small);
    g.setColor(INK);
    for (int i = textLine; i < lines.length && i < textLine + rows; i++) {
      g.drawString(lines[i], 4, hh + 3 + (i - textLine) * fh, Graphics.LEFT | Graphics.TOP);
    }
    scrollBar(g, width, hh + 3, rows * fh, textLine, rows, lines.length);
  }

  /**
   * Fits the board to the screen. Unless the player asked for big cells,
   * the cells are the largest that show the whole board with all its clues:
   * in the phone's font where that fits, else in the board's own digits
   * with cells down to MIN_CELL; a board that fits neither scrolls, with the
   * smallest cells. Cells are always wider than the widest column number and
   * no lower than a row number, so numbers never touch. The clue areas fit
   * the clues of the rows and columns on the screen; a clue longer than its
   * area, which takes at most half the screen, shows the numbers nearest
   * the grid and an orange mark where it goes on.
   */
  void layout() {
    int width = canvas.getWidth();
    int height = canvas.getHeight() - bar();
    boolean big = cfg.bigCells;
    if (width != fitWidth || height != fitHeight || big != fitBig) {
      fitWidth = width;
      fitHeight = height;
      fitBig = big;
      fitCells(width, height, big);
    }
    place(width, height);
  }

  /** Chooses the font of the clue numbers and the cell size for this screen. */
  private void fitCells(int width, int height, boolean big) {
    int most = Math.max(16, Math.min(width, height) / 6);
    for (int f = 0; f < 2; f++) {
      pixelFont = f == 1;
      int lw = 0;
      int th = 0;
      for (int y = 0; y < boardHeight; y++) {
        lw = Math.max(lw, rowArea(y));
      }
      for (int x = 0; x < boardWidth; x++) {
        th = Math.max(th, columnArea(x));
      }
      if (big) {
        lw = Math.min(lw, width / 2);
        th = Math.min(th, height / 2);
      }
      int s = Math.min(most, Math.min((width - lw - 1) / boardWidth, (height - th - 1) / boardHeight));
      if (big || s >= leastCell()) {
        cellSize = Math.max(leastCell(), s);
        return;
      }
    }
    cellSize = leastCell();
  }

  /** The smallest cells the clue numbers of the font in use allow. */
  int leastCell() {
    int widest = numberWidth(0, pixelFont);
    for (int x = 0; x < boardWidth; x++) {
      byte[] c = colClues[x];
      for (int k = 0; k < c.length; k++) {
        widest = Math.max(widest, numberWidth(c[k] & 0xff, pixelFont));
      }
    }
    columnNumberWidth = widest;
    return pixelFont ? Math.max(MIN_CELL, widest + 1) : Math.max(widest + 2, pitch() + 1);
  }

  /** Room left of the grid for row y's whole clue; one that is cut needs two pixels more for its mark. */
  private int rowArea(int y) {
    byte[] c = rowClues[y];
    int width = numberWidth(c.length == 0 ? 0 : c[0] & 0xff, pixelFont);
    for (int k = 1; k < c.length; k++) {
      width += numberGap() + numberWidth(c[k] & 0xff, pixelFont);
    }
    return width + rowEdge();
  }

  /** Room above the grid for column x's whole clue. */
  private int columnArea(int x) {
    return Math.max(1, colClues[x].length) * columnPitch() + columnEdge();
  }

  /** Free pixels between two numbers of a row clue. */
  private int numberGap() {
    return pixelFont ? 2 : small.charWidth('0') / 2 + 2;
  }

  /** Free pixels between a row clue and the grid. */
  private int rowEdge() {
    return pixelFont ? 1 : 3;
  }

  /** Free pixels between a column clue and the grid, on top of the pitch's own gap. */
  private int columnEdge() {
    return pixelFont ? 0 : 1;
  }

  /** Rows of column-clue numbers: the board's digits keep a pixel between two. */
  int columnPitch() {
    return pixelFont ? DIGIT_HEIGHT + 1 : pitch();
  }

  /** Height of a clue number's box. */
  int numberHeight() {
    return pixelFont ? DIGIT_HEIGHT : pitch();
  }

  /**
   * Places the grid and the part of the board on the screen around the
   * cursor. The clue areas fit the lines shown, and how many lines are shown
   * depends on the areas: a few rounds settle both, starting from the last
   * layout so that scrolling moves the grid as little as possible.
   */
  private void place(int width, int height) {
    int s = cellSize;
    int lw = clueWidth;
    int th = clueHeight;
    // The grid needs what it takes; the areas may use the rest of the screen.
    int mostWidth = Math.max(width / 2, width - boardWidth * s - 1);
    int mostHeight = Math.max(height / 2, height - boardHeight * s - 1);
    for (int round = 0;; round++) {
      shownColumns = Math.max(1, Math.min(boardWidth, (width - lw - 1) / s));
      shownRows = Math.max(1, Math.min(boardHeight, (height - th - 1) / s));
      firstColumn = follow(cursorX, firstColumn, shownColumns, boardWidth);
      firstRow = follow(cursorY, firstRow, shownRows, boardHeight);
      int needWidth = 0;
      for (int y = firstRow; y < firstRow + shownRows; y++) {
        needWidth = Math.max(needWidth, rowArea(y));
      }
      int needHeight = 0;
      for (int x = firstColumn; x < firstColumn + shownColumns; x++) {
        needHeight = Math.max(needHeight, columnArea(x));
      }
      needWidth = Math.min(needWidth, mostWidth);
      needHeight = Math.min(needHeight, mostHeight);
      if (needWidth == lw && needHeight == th || round == 3) {
        break;
      }
      lw = needWidth;
      th = needHeight;
    }
    clueWidth = lw;
    clueHeight = th;
    gridX = lw + Math.max(0, (width - lw - 1 - shownColumns * s) / 2);
    gridY = th + Math.max(0, (height - th - 1 - shownRows * s) / 2);
  }

  /** The first line shown, moved as little as keeps the cursor's line on the screen. */
  private static int follow(int cursor, int first, int shown, int all) {
    if (cursor < first) {
      first = cursor;
    }
    if (cursor >= first + shown) {
      first = cursor - shown + 1;
    }
    return Math.max(0, Math.min(first, all - shown));
  }

  /** Height of a number in the phone's font: digits need no room for descenders. */
  int pitch() {
    return Math.min(small.getHeight(), small.getBaselinePosition() + 1);
  }

  /** The cell at a point of the screen, as y * width + x, or -1 off the grid. */
  int cellAt(int px, int py) {
    int x = px - gridX;
    int y = py - gridY;
    int s = cellSize;
    if (x < 0 || y < 0 || x >= shownColumns * s || y >= shownRows * s) {
      return -1;
    }
    return (firstRow + y / s) * boardWidth + firstColumn + x / s;
  }

  /** Width of a number in the board's digits (pixel) or the phone's font. */
  int numberWidth(int n, boolean pixel) {
    if (!pixel) {
      return small.stringWidth(number(n));
    }
    int width = -1;
    do {
      width += (n % 10 == 1 ? 1 : 3) + 1;
      n /= 10;
    } while (n > 0);
    return width;
  }

  /** Draws a clue number with its box's top left corner at (x, y), in the font in use. */
  void clueNumber(Graphics g, int n, int x, int y) {
    if (pixelFont) {
      digits(g, n, x, y);
    } else {
      g.drawString(number(n), x, y, Graphics.LEFT | Graphics.TOP);
    }
  }

  /** Draws n in the board's digits from (x, y), one rectangle per run of pixels along a row. */
  static void digits(Graphics g, int n, int x, int y) {
    String s = number(n);
    for (int i = 0; i < s.length(); i++) {
      int d = s.charAt(i) - '0';
      int bits = DIGITS.charAt(d);
      for (int r = 0; r < DIGIT_HEIGHT; r++) {
        int row = bits >> (12 - 3 * r) & 7;
        int c = 0;
        while (c < 3) {
          if ((row & 4 >> c) == 0) {
            c++;
            continue;
          }
          int start = c;
          while (c < 3 && (row & 4 >> c) != 0) {
            c++;
          }
          g.fillRect(x + start, y + r, c - start, 1);
        }
      }
      x += d == 1 ? 2 : 4;
    }
  }

  private void paintGame(Graphics g, int width, int height) {
    layout();
    g.setColor(PAPER);
    g.fillRect(0, 0, width, height);
    g.setFont(small);
    paintClues(g);
    g.setClip(0, 0, width, height);
    paintCells(g);
    if (menu) {
      paintMenu(g, width, height);
    }
  }

  private void paintClues(Graphics g) {
    for (int x = 0; x < shownColumns; x++) {
      columnClue(g, x);
    }
    for (int y = 0; y < shownRows; y++) {
      rowClue(g, y);
    }
    // The corner above the row clues switches the zoom: a plus for big
    // cells, a minus back to the whole board.
    if (clueWidth >= 9 && clueHeight >= 9) {
      int zx = gridX - clueWidth / 2;
      int zy = gridY - clueHeight / 2;
      g.setColor(GREY);
      g.drawRect(zx - 4, zy - 4, 8, 8);
      g.fillRect(zx - 2, zy, 5, 1);
      if (!cfg.bigCells) {
        g.fillRect(zx, zy - 2, 1, 5);
      }
    }
  }

  /** Every other line of clues is striped, the cursor's lit. */
  private static int stripe(int line, int cursor) {
    return line == cursor ? LIGHT : line % 2 == 1 ? STRIPE : PAPER;
  }

  /**
   * Column x of the screen's clues: only whole numbers, nearest the grid
   * first; a clue that does not fit keeps two pixels at the far edge for the
   * mark that it goes on.
   */
  private void columnClue(Graphics g, int x) {
    int i = firstColumn + x;
    int s = cellSize;
    int left = gridX + x * s + 1;
    int top = gridY - clueHeight;
    g.setColor(stripe(i, cursorX));
    g.fillRect(left, top, s - 1, clueHeight - 1);
    byte[] c = colClues[i];
    int n = Math.max(1, c.length);
    int cp = columnPitch();
    int ce = columnEdge();
    int fit = n * cp + ce <= clueHeight ? n : (clueHeight - ce - 2) / cp;
    // Neighbouring columns' numbers are only a pixel apart in the board's
    // digits: every other column in blue keeps them apart.
    g.setColor(colDone[i] ? GREY : pixelFont && i % 2 == 1 ? BLUE : INK);
    for (int j = 0; j < n && j < fit; j++) {
      int v = c.length == 0 ? 0 : c[c.length - 1 - j] & 0xff;
      clueNumber(g, v, left + (s - 1 - numberWidth(v, pixelFont)) / 2, gridY - ce - (j + 1) * cp);
    }
    if (n > fit) {
      g.setColor(ORANGE);
      g.fillRect(left, top, s - 1, 2);
    }
  }

  /** Row y of the screen's clues, drawn like a column's from the grid outwards. */
  private void rowClue(Graphics g, int y) {
    int i = firstRow + y;
    int s = cellSize;
    int top = gridY + y * s + 1;
    int left = gridX - clueWidth;
    g.setColor(stripe(i, cursorY));
    g.fillRect(left, top, clueWidth - 1, s - 1);
    byte[] c = rowClues[i];
    int n = Math.max(1, c.length);
    int ty = top + (s - 1 - numberHeight()) / 2;
    int x = gridX - rowEdge();
    int limit = rowArea(i) <= clueWidth ? left : left + 2;
    int j = 0;
    for (; j < n; j++) {
      int v = c.length == 0 ? 0 : c[c.length - 1 - j] & 0xff;
      int tw = numberWidth(v, pixelFont);
      if (x - tw < limit) {
        break;
      }
      // The board's digits keep only two pixels between numbers; every
      // other one in blue tells them apart at a glance.
      g.setColor(rowDone[i] ? GREY : pixelFont && j % 2 == 1 ? BLUE : INK);
      clueNumber(g, v, x - tw, ty);
      x -= tw + numberGap();
    }
    if (j < n) {
      g.setColor(ORANGE);
      g.fillRect(left, top, 2, s - 1);
    }
  }

  /**
   * The cells, drawn over a grid-coloured ground so the thin lines between
   * them come free; every fifth line, the edges and the cursor go on top.
   */
  private void paintCells(Graphics g) {
    int s = cellSize;
    int gx = gridX;
    int gy = gridY;
    int vw = shownColumns;
    int vh = shownRows;
    int ox = firstColumn;
    int oy = firstRow;
    int gw = vw * s;
    int gh = vh * s;
    g.setColor(LINE);
    g.fillRect(gx, gy, gw, gh);
    for (int y = 0; y < vh; y++) {
      for (int x = 0; x < vw; x++) {
        int v = cells[(oy + y) * boardWidth + ox + x];
        int px = gx + x * s;
        int py = gy + y * s;
        int c = WHITE;
        if (v == FILLED) {
          c = FILL;
        } else if (oy + y == cursorY || ox + x == cursorX) {
          c = TINT;
        }
        g.setColor(c);
        g.fillRect(px + 1, py + 1, s - 1, s - 1);
        if (v == CROSSED) {
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
    if (ox + vw < boardWidth) {
      g.fillRect(gx + gw, gy, 2, gh + 1);
    }
    if (oy > 0) {
      g.fillRect(gx, gy - 1, gw + 1, 2);
    }
    if (oy + vh < boardHeight) {
      g.fillRect(gx, gy + gh, gw + 1, 2);
    }
    int px = gx + (cursorX - ox) * s;
    int py = gy + (cursorY - oy) * s;
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
      if (i == menuItem) {
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
    String text = cfg.note[picture];
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
    int w = boardWidth;
    int h = boardHeight;
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
        boolean f = x < w && (author ? cfg.filled(picture, x, y) : cells[y * w + x] == FILLED);
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
      textLine = Math.max(0, Math.min(textLine, note.length - rows));
      g.setFont(small);
      g.setColor(WHITE);
      for (int i = 0; i < rows; i++) {
        g.drawString(note[textLine + i], width / 2, ny + i * fh, Graphics.HCENTER | Graphics.TOP);
      }
      scrollBar(g, width, ny, rows * fh, textLine, rows, note.length);
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
