import static org.junit.Assert.assertArrayEquals;
import static org.junit.Assert.assertEquals;
import static org.junit.Assert.assertFalse;
import static org.junit.Assert.assertNull;
import static org.junit.Assert.assertTrue;

import java.util.Arrays;
import java.util.List;
import javax.microedition.lcdui.Canvas;
import javax.microedition.rms.RecordStore;
import org.junit.Before;
import org.junit.Test;

public class TBoardTest {
  static final String[] SHAPE = {"##.#.", ".###.", "#...#"};
  static final String[] DIAGONAL = {"#.", ".#"};
  static final int LEFT_SOFT = -6;
  static final int RIGHT_SOFT = -7;
  static final int FIRST_MOVE = TBoard.FIRST_REPEAT;

  @Before
  public void freshStore() {
    Harness.resetStore();
  }

  static String clues(byte[][] lines) {
    StringBuilder b = new StringBuilder();
    for (byte[] line : lines) {
      b.append('[');
      for (int i = 0; i < line.length; i++) {
        b.append(i > 0 ? " " : "").append(line[i] & 0xff);
      }
      b.append(']');
    }
    return b.toString();
  }

  static Harness opened(byte[] pack, int index) {
    Harness t = new Harness(pack).started();
    t.board.open(index);
    return t;
  }

  @Test
  public void computesTheCluesFromTheCells() {
    Harness t = opened(PackBytes.pack("", SHAPE, "shape"), 0);
    assertEquals(TBoard.GAME, t.board.screen);
    assertEquals("[2 1][3][1 1]", clues(t.board.rowClues));
    assertEquals("[1 1][2][1][2][1]", clues(t.board.colClues));
  }

  @Test
  public void computesLongRunsAndEmptyLines() {
    boolean[] cells = new boolean[200 * 3];
    Arrays.fill(cells, 0, 200, true);
    cells[400] = true;
    cells[599] = true;
    byte[] pack = new PackBytes().int32(1).text("").text("1.0.0").picture(200, 3, cells).text("").bytes();
    Harness t = opened(pack, 0);
    assertEquals("[200][][1 1]", clues(t.board.rowClues));
    assertEquals("[1 1]", clues(new byte[][] {t.board.colClues[0]}));
    assertEquals("[1]", clues(new byte[][] {t.board.colClues[1]}));
    assertEquals("[1 1]", clues(new byte[][] {t.board.colClues[199]}));
  }

  @Test
  public void fillsClearsAndMarksCellsWithTheKeys() {
    Harness t = opened(PackBytes.pack("", SHAPE, ""), 0);
    TBoard b = t.board;
    t.press(Canvas.KEY_NUM5);
    assertEquals(1, b.cells[0]);
    t.press(-5);
    assertEquals(0, b.cells[0]);
    t.press(Canvas.KEY_NUM0);
    assertEquals(2, b.cells[0]);
    t.press(Canvas.KEY_POUND);
    assertEquals(0, b.cells[0]);
    t.press(Canvas.KEY_POUND, Canvas.KEY_NUM5);
    assertEquals("fire fills a marked cell", 1, b.cells[0]);
    t.press(Canvas.KEY_NUM0);
    assertEquals("mark turns a filled cell into a mark", 2, b.cells[0]);
  }

  @Test
  public void movesTheCursorAndWrapsAtTheEdges() {
    Harness t = opened(PackBytes.pack("", SHAPE, ""), 0);
    TBoard b = t.board;
    t.press(Canvas.KEY_NUM4);
    assertEquals(4, b.cursorX);
    t.press(-1);
    assertEquals(2, b.cursorY);
    t.press(Canvas.KEY_NUM6, -2, -4);
    assertEquals(1, b.cursorX);
    assertEquals(0, b.cursorY);
    t.hold(Canvas.KEY_NUM6, FIRST_MOVE);
    assertEquals("a held key repeats", 3, b.cursorX);
  }

  @Test
  public void solvingThePictureWins() {
    Harness t = opened(PackBytes.pack("", SHAPE, "Shape"), 0);
    t.solveWithKeys();
    assertEquals(TBoard.WIN, t.board.screen);
    assertEquals(2, t.board.cfg.marks[0]);
  }

  @Test
  public void anyGridMeetingTheCluesWins() {
    Harness t = opened(PackBytes.pack("", DIAGONAL, ""), 0);
    // The other diagonal has the same clues as the picture.
    t.press(Canvas.KEY_NUM6, Canvas.KEY_NUM5);
    assertEquals(TBoard.GAME, t.board.screen);
    t.press(Canvas.KEY_NUM4, Canvas.KEY_NUM8, Canvas.KEY_NUM5);
    assertEquals(TBoard.WIN, t.board.screen);
    assertFalse(t.cfg.filled(0, 1, 0));
  }

  @Test
  public void finishedLinesAreKnownButAFullGridDoesNotWin() {
    Harness t = opened(PackBytes.pack("", SHAPE, ""), 0);
    TBoard b = t.board;
    t.press(Canvas.KEY_NUM5, Canvas.KEY_NUM6, Canvas.KEY_NUM5, Canvas.KEY_NUM6, Canvas.KEY_NUM6, Canvas.KEY_NUM5);
    assertTrue(b.rowDone[0]);
    assertFalse(b.rowDone[1]);
    for (int i = 0; i < b.cells.length; i++) {
      b.cursorY = i / b.boardWidth;
      b.cursorX = i % b.boardWidth;
      b.set(1);
    }
    assertEquals(TBoard.GAME, b.screen);
    assertFalse(b.rowDone[0]);
  }

  @Test
  public void scrollsToFollowTheCursorOnASmallScreen() {
    boolean[] cells = new boolean[40 * 40];
    cells[0] = true;
    byte[] pack = new PackBytes().int32(1).text("").text("1.0.0").picture(40, 40, cells).text("").bytes();
    Harness t = new Harness(pack, true, 96, 65).started();
    t.board.open(0);
    t.canvas.render();
    TBoard b = t.board;
    assertTrue("only part of the board fits", b.shownColumns < 40 && b.shownRows < 40);
    assertTrue(b.cellSize >= 3);
    for (int i = 0; i < 39; i++) {
      t.press(-4);
      t.canvas.render();
      assertTrue("cursor on screen", b.cursorX >= b.firstColumn && b.cursorX < b.firstColumn + b.shownColumns);
    }
    assertEquals(39, b.cursorX);
    assertEquals(40 - b.shownColumns, b.firstColumn);
    t.press(-4);
    t.canvas.render();
    assertEquals(0, b.firstColumn);
    for (int i = 0; i < 20; i++) {
      t.press(-2);
    }
    t.canvas.render();
    assertTrue(b.cursorY >= b.firstRow && b.cursorY < b.firstRow + b.shownRows && b.firstRow > 0);
  }

  @Test
  public void theZoomSwitchesBetweenTheWholeBoardAndBigCellsAndIsKept() {
    byte[] pack = Pictures.pack(15, 15, Pictures.typical(15), "");
    Harness t = new Harness(pack, true, 128, 128).started();
    t.board.open(0);
    t.canvas.render();
    assertEquals("the whole board", 15, t.board.shownColumns);
    int whole = t.board.cellSize;
    t.press(Canvas.KEY_STAR);
    t.canvas.render();
    int big = t.board.cellSize;
    assertTrue(big + " px against " + whole, big > whole && t.board.shownColumns < 15);
    t.press(RIGHT_SOFT);
    Harness next = new Harness(pack, true, 128, 128).started();
    next.board.open(0);
    next.canvas.render();
    assertEquals("the choice is kept", big, next.board.cellSize);
    // A tap on the corner above the row clues switches back.
    next.canvas.touch(next.board.gridX - 2, next.board.gridY - 2);
    next.canvas.render();
    assertEquals(whole, next.board.cellSize);
  }

  @Test
  public void keepsProgressAndSolvedMarksAcrossRuns() {
    byte[] pack = PackBytes.pack("", SHAPE, "a", DIAGONAL, "b");
    Harness first = opened(pack, 0);
    first.press(Canvas.KEY_NUM5, Canvas.KEY_NUM6, Canvas.KEY_NUM0);
    first.press(RIGHT_SOFT);
    assertEquals(TBoard.LIST, first.board.screen);
    first.board.open(1);
    first.solveWithKeys();
    assertEquals(TBoard.WIN, first.board.screen);
    assertEquals(0, RecordStore.openCount("grix"));

    Harness second = new Harness(pack).started();
    assertArrayEquals(new byte[] {1, 2}, second.board.cfg.marks);
    second.board.open(0);
    assertEquals(1, second.board.cells[0]);
    assertEquals(2, second.board.cells[1]);
    assertEquals(0, second.board.cells[2]);
  }

  @Test
  public void progressOfAnotherPackIsDropped() {
    Harness first = opened(PackBytes.pack("", SHAPE, "a"), 0);
    first.press(Canvas.KEY_NUM5);
    first.board.save();
    Harness second = opened(PackBytes.pack("", new String[] {"##.#.", ".###.", "#..##"}, "a"), 0);
    assertEquals(0, second.board.cells[0]);
    assertEquals(0, second.board.cfg.marks[0]);
  }

  @Test
  public void aFullRecordStoreIsReportedNotFatal() {
    RecordStore.limit = 6;
    Harness t = opened(PackBytes.pack("", SHAPE, "a"), 0);
    t.press(Canvas.KEY_NUM5, RIGHT_SOFT);
    assertEquals(TBoard.LIST, t.board.screen);
    assertTrue(t.board.cfg.saveFailed);
    t.canvas.render();
  }

  @Test
  public void standardCanvasOffersCommandsForEachScreen() {
    Harness t = new Harness(PackBytes.pack("Info text", SHAPE, "a")).started();
    assertEquals(List.of("About", "Exit"), t.canvas.commandLabels());
    t.canvas.fireCommand("About");
    assertEquals(TBoard.TEXT, t.board.screen);
    assertTrue(t.board.text.startsWith("Info text\n\n"));
    assertEquals(List.of("Back"), t.canvas.commandLabels());
    t.canvas.fireCommand("Back");
    t.press(-5);
    assertEquals(TBoard.GAME, t.board.screen);
    assertEquals(List.of("Menu", "Back"), t.canvas.commandLabels());
    t.canvas.fireCommand("Menu");
    assertTrue(t.board.menu);
    assertEquals(List.of("Select", "Back"), t.canvas.commandLabels());
    t.canvas.fireCommand("Back");
    assertFalse(t.board.menu);
    t.canvas.fireCommand("Back");
    assertEquals(TBoard.LIST, t.board.screen);
    t.canvas.fireCommand("Exit");
    assertTrue(t.midlet.isDestroyed());
  }

  @Test
  public void softKeyCodesWorkOnBothCanvases() {
    for (boolean nokia : new boolean[] {false, true}) {
      Harness t = new Harness(PackBytes.pack("", SHAPE, "a"), nokia, 128, 128).started();
      assertEquals(TBoard.LIST, t.board.screen);
      t.press(LEFT_SOFT);
      assertEquals(TBoard.TEXT, t.board.screen);
      t.press(RIGHT_SOFT, -5, LEFT_SOFT);
      assertTrue(t.board.menu);
      t.press(-2, -2, -2, -2, -5);
      assertTrue("Exit from the game menu", t.midlet.isDestroyed());
    }
  }

  @Test
  public void theMenuRestartsAndLeaves() {
    Harness t = opened(PackBytes.pack("", SHAPE, "a"), 0);
    t.press(Canvas.KEY_NUM5, LEFT_SOFT, -2, -2, -5);
    assertTrue("restart asks first", t.board.menu && t.board.ask);
    t.press(-5);
    assertEquals("no, the first answer, keeps the board", 1, t.board.cells[0]);
    t.press(LEFT_SOFT, -2, -2, -5, RIGHT_SOFT);
    assertEquals("back keeps it too", 1, t.board.cells[0]);
    t.press(LEFT_SOFT, -2, -2, -5, -2, -5);
    assertEquals(0, t.board.cells[0]);
    assertFalse(t.board.menu);
    t.press(LEFT_SOFT, -2, -5);
    assertEquals(TBoard.TEXT, t.board.screen);
    t.press(-5);
    assertEquals(TBoard.GAME, t.board.screen);
    t.press(LEFT_SOFT, -1, -1, -5);
    assertEquals(TBoard.LIST, t.board.screen);
  }

  @Test
  public void nextOpensTheNextUnsolvedCrossword() {
    byte[] pack = PackBytes.pack("", DIAGONAL, "a", DIAGONAL, "b", SHAPE, "c");
    Harness t = opened(pack, 1);
    t.solveWithKeys();
    assertEquals(TBoard.WIN, t.board.screen);
    t.press(-5);
    assertEquals(TBoard.GAME, t.board.screen);
    assertEquals(2, t.board.picture);
    t.solveWithKeys();
    t.press(LEFT_SOFT);
    assertEquals(0, t.board.picture);
    t.solveWithKeys();
    t.press(LEFT_SOFT);
    assertEquals("all solved: back to the list", TBoard.LIST, t.board.screen);
  }

  @Test
  public void aDamagedPackEndsOnAMessage() {
    byte[] pack = Arrays.copyOf(PackBytes.pack("", SHAPE, "a"), 30);
    Harness t = new Harness(pack).started();
    assertEquals(TBoard.TEXT, t.board.screen);
    assertEquals("The crossword file is cut short.", t.board.text);
    assertEquals(List.of("Exit"), t.canvas.commandLabels());
    t.canvas.render();
    t.press(-5);
    assertTrue(t.midlet.isDestroyed());
  }

  @Test
  public void emptyListsAndEmptyPicturesAreUsable() {
    Harness none = new Harness(new PackBytes().int32(0).text("").text("1.0.0").bytes()).started();
    assertEquals(TBoard.LIST, none.board.screen);
    none.press(-5, -2, -1);
    none.canvas.render();
    assertEquals(TBoard.LIST, none.board.screen);

    byte[] pack = new PackBytes().int32(1).text("").text("1.0.0").int32(0).int32(0).raw(0).text("").bytes();
    Harness empty = new Harness(pack).started();
    empty.press(-5);
    assertEquals(TBoard.TEXT, empty.board.screen);
    assertEquals("Crossword 1 has no cells to fill.", empty.board.text);
    empty.press(-5);
    assertEquals(TBoard.LIST, empty.board.screen);
  }

  @Test
  public void drawsEveryScreenAtEverySize() {
    boolean[] big = new boolean[200 * 200];
    for (int i = 0; i < big.length; i++) {
      big[i] = (i / 200 + i % 200) % 3 == 0;
    }
    byte[] pack = new PackBytes().int32(3).text("").text("1.0.0").picture(200, 200, big).text("Big one")
        .picture(SHAPE).text("").picture("#").text("A note long enough to need more than a line on a phone")
        .bytes();
    int[][] sizes = {{96, 65}, {101, 80}, {128, 128}, {128, 160}, {176, 208}, {240, 320}};
    for (int[] s : sizes) {
      for (int p = 0; p < 3; p++) {
        for (boolean nokia : new boolean[] {false, true}) {
          Harness t = new Harness(pack, nokia, s[0], s[1]);
          t.canvas.render();
          t.started();
          t.canvas.render();
          t.board.open(p);
          t.canvas.render();
          t.press(Canvas.KEY_STAR);
          t.canvas.render();
          t.press(LEFT_SOFT);
          t.canvas.render();
          t.press(RIGHT_SOFT);
          t.board.snow = null;
          t.board.show(TBoard.WIN);
          t.canvas.render();
          t.canvas.render();
          t.board.show(TBoard.LIST);
        }
      }
    }
  }

  static long allocated() {
    return ((com.sun.management.ThreadMXBean) java.lang.management.ManagementFactory.getThreadMXBean())
        .getThreadAllocatedBytes(Thread.currentThread().getId());
  }

  @Test
  public void aLargeCrosswordFitsASmallHeap() throws Exception {
    // The phones have about 200 KB of heap; the pack and the open board of a
    // 200 x 200 crossword must leave room for the phone's own needs.
    boolean[] big = new boolean[200 * 200];
    for (int i = 0; i < big.length; i++) {
      big[i] = (i / 200 + i % 200) % 3 == 0;
    }
    byte[] pack = new PackBytes().int32(1).text("").text("1.0.0").picture(200, 200, big).text("").bytes();
    long before = allocated();
    TConfig c = new TConfig();
    c.read(new java.io.ByteArrayInputStream(pack));
    long reading = allocated() - before;
    assertTrue("reading took " + reading, reading < 12 * 1024);
    Harness t = new Harness(pack).started();
    before = allocated();
    t.board.open(0);
    long opening = allocated() - before;
    assertTrue("opening took " + opening, opening < 120 * 1024);
  }

  @Test
  public void theMidletStartsWithoutAPack() throws Exception {
    javax.microedition.midlet.MIDlet.PROPERTIES.put("MIDlet-Name", "Test suite");
    TGrixMIDlet m = new TGrixMIDlet();
    m.start();
    TBoard b = TBoard.it;
    assertEquals("Test suite", b.name);
    assertEquals(TBoard.TITLE, b.screen);
    b.key(Canvas.KEY_NUM1, false);
    assertEquals(TBoard.TEXT, b.screen);
    assertEquals("The crossword file cfg.dat is missing from this suite.", b.text);
    m.pause();
    b.key(-5, false);
    assertTrue(m.isDestroyed());
    assertNull(b.anim);
  }

  @Test
  public void tapsFillMarkAndClearAndADragPaintsALine() {
    Harness t = opened(PackBytes.pack("", SHAPE, ""), 0);
    TBoard b = t.board;
    t.canvas.render();
    int s = b.cellSize;
    int[][] taps = {{2, 1, 1}, {2, 1, 2}, {2, 1, 0}, {4, 2, 1}};
    for (int[] tap : taps) {
      t.canvas.touch(b.gridX + tap[0] * s + s / 2, b.gridY + tap[1] * s + s - 1);
      assertEquals(tap[0], b.cursorX);
      assertEquals(tap[1], b.cursorY);
      assertEquals("cell " + tap[0] + "," + tap[1], tap[2], b.cells[tap[1] * b.boardWidth + tap[0]]);
    }
    assertEquals("the edge of the grid", -1, b.cellAt(b.gridX + 5 * s, b.gridY));
    assertEquals(-1, b.cellAt(b.gridX - 1, b.gridY));
    int y = b.gridY + s / 2;
    t.canvas.touch(b.gridX + 1, y, b.gridX + s + 1, y, b.gridX + 2 * s + 1, y, b.gridX + 3 * s + 1, y);
    assertArrayEquals(new byte[] {1, 1, 1, 1, 0}, Arrays.copyOf(b.cells, 5));
    t.canvas.touch(b.gridX + 1, y, b.gridX + 3 * s + 1, y);
    assertEquals("a drag from a filled cell marks", 2, b.cells[3]);
  }

  @Test
  public void tapsBesideABoardLargerThanTheScreenScrollIt() {
    boolean[] cells = new boolean[40 * 40];
    cells[0] = true;
    Harness t = new Harness(Pictures.pack(40, 40, cells, ""), false, 128, 128).started();
    t.board.open(0);
    TBoard b = t.board;
    t.canvas.render();
    int right = b.gridX + b.shownColumns * b.cellSize + 1;
    t.canvas.touch(right, b.gridY + 1);
    assertEquals("past the last column shown", b.shownColumns, b.cursorX);
    assertEquals(0, b.cursorY);
    t.canvas.render();
    assertEquals(1, b.firstColumn);
    t.canvas.touch(b.gridX + 1, b.gridY - 1);
    assertEquals("above the top row: the bottom one", 39, b.cursorY);
    assertEquals(b.shownColumns, b.cursorX);
  }

  @Test
  public void tapsWorkTheListTheMenuAndTheSoftKeyLabels() {
    Harness t = new Harness(PackBytes.pack("", SHAPE, "a", DIAGONAL, "b"), true, 128, 128).started();
    t.canvas.render();
    int rh = Math.max(t.board.small.getHeight() + 3, 9);
    t.canvas.touch(10, 127 - 20 - rh);
    assertEquals(TBoard.LIST, t.board.screen);
    t.canvas.touch(20, 24 + rh + rh / 2);
    assertEquals("a tap on the second row opens it", 1, t.board.picture);
    t.canvas.touch(5, 125);
    assertTrue("the left label opens the menu", t.board.menu);
    t.canvas.render();
    t.canvas.touch(64, t.board.menuY + 3 * t.board.menuRow + 1);
    assertEquals("the menu's List row", TBoard.LIST, t.board.screen);
  }

  @Test
  public void changesAreSavedOnceThePlayerPauses() throws Exception {
    boolean[] ring = Pictures.ring();
    byte[] pack = Pictures.pack(40, 40, ring, "");
    Harness t = opened(pack, 0);
    t.idleSaves = true;
    t.press(Canvas.KEY_NUM5);
    Thread.sleep(TConfig.IDLE_SAVE / 5);
    assertEquals("nothing written while the player moves on", 0, t.saves);
    t.press(Canvas.KEY_NUM6, Canvas.KEY_NUM0);
    long last = System.currentTimeMillis();
    while (t.saves == 0 && System.currentTimeMillis() - last < 10000) {
      Thread.sleep(5);
    }
    long after = System.currentTimeMillis() - last;
    assertTrue("saved " + after + " ms after the last change", after >= TConfig.IDLE_SAVE - 20);
    Thread.sleep(TConfig.IDLE_SAVE * 2);
    assertEquals("two changes, one save", 1, t.saves);
    Harness killed = opened(pack, 0);
    assertArrayEquals(new byte[] {1, 2}, Arrays.copyOf(killed.board.cells, 2));
    TBoard.it = t.board;
    // What one save costs on a 40 x 40 board: it runs once the player pauses.
    int n = 2000;
    long start = System.nanoTime();
    for (int i = 0; i < n; i++) {
      t.board.save();
    }
    long micros = (System.nanoTime() - start) / 1000 / n;
    System.out.println("one save of a 40 x 40 board: " + micros + " us on this JVM, record of "
        + (1 + (40 * 40 + 3) / 4) + " bytes");
    assertTrue(!t.board.cfg.saveFailed);
  }

  @Test
  public void aHeldKeyMovesAtAPaceAndStopsAtTheEdge() {
    Harness t = opened(Pictures.pack(20, 20, Pictures.checker(), ""), 0);
    TBoard b = t.board;
    // {ms held, column reached from column 0}: the press moves at once, the
    // first repeat after 300 ms, then one cell every 100 ms up to the edge.
    int[][] holds = {{0, 1}, {250, 1}, {300, 2}, {350, 2}, {400, 3}, {1500, 14}, {3000, 19}};
    for (int[] h : holds) {
      b.cursorX = 0;
      t.hold(Canvas.KEY_NUM6, h[0]);
      assertEquals("held " + h[0] + " ms", h[1], b.cursorX);
    }
    t.press(Canvas.KEY_NUM6);
    assertEquals("a fresh press at the edge wraps", 0, b.cursorX);
    b.cursorY = 15;
    t.hold(-2, 1000);
    assertEquals("a held key stops at the edge", 19, b.cursorY);
  }

  @Test
  public void tapsBesideABoardThatFitsMoveTheCursorThatWay() {
    Harness t = new Harness(Pictures.pack(5, 5, Pictures.typical(5), ""), false, 176, 208).started();
    t.board.open(0);
    TBoard b = t.board;
    t.canvas.render();
    assertEquals(5, b.shownColumns);
    int s = b.cellSize;
    int left = b.gridX - 2;
    int right = b.gridX + 5 * s + 2;
    int above = b.gridY - 2;
    int below = b.gridY + 5 * s + 2;
    int midX = b.gridX + 2 * s + s / 2;
    int midY = b.gridY + 2 * s + s / 2;
    // {tap x, tap y, cursor x, cursor y}, each from (2, 2).
    int[][] taps = {{left, midY, 1, 2}, {right, midY, 3, 2}, {midX, above, 2, 1}, {midX, below, 2, 3},
        {right, below, 3, 3}};
    for (int[] tap : taps) {
      b.cursorX = 2;
      b.cursorY = 2;
      t.canvas.touch(tap[0], tap[1]);
      assertEquals("x after a tap at " + tap[0] + "," + tap[1], tap[2], b.cursorX);
      assertEquals("y after a tap at " + tap[0] + "," + tap[1], tap[3], b.cursorY);
    }
  }

  @Test
  public void restartingASolvedCrosswordMakesItUnsolved() {
    Harness t = opened(PackBytes.pack("", SHAPE, "a"), 0);
    t.solveWithKeys();
    t.press(RIGHT_SOFT);
    t.board.open(0);
    t.press(LEFT_SOFT, -2, -2, -5, -2, -5);
    assertEquals(TBoard.GAME, t.board.screen);
    assertEquals(TConfig.UNTOUCHED, t.board.cfg.marks[0]);
    assertEquals(0, new Harness(PackBytes.pack("", SHAPE, "a")).board.cfg.marks[0]);
  }

  @Test
  public void theSolvedCountLeavesOutTheUnavailable() {
    byte[] pack = new PackBytes().int32(3).text("").text("1.0.0").picture(DIAGONAL).text("a")
        .picture(300, 8, new boolean[2400]).text("too wide").picture(SHAPE).text("c").bytes();
    Harness t = new Harness(pack, false, 176, 208).started();
    t.board.open(0);
    t.solveWithKeys();
    t.press(RIGHT_SOFT);
    javax.microedition.lcdui.Graphics.texts = new java.util.ArrayList<>();
    t.canvas.render();
    List<String> shown = new java.util.ArrayList<>();
    for (Object[] e : javax.microedition.lcdui.Graphics.texts) {
      shown.add((String) e[0]);
    }
    javax.microedition.lcdui.Graphics.texts = null;
    assertTrue(shown.toString(), shown.contains("Solved 1 of 2, 1 unavailable"));
  }

  @Test
  public void theListOpensARowOnReleaseAndScrollsOnADrag() {
    Object[] pictures = new Object[24];
    for (int i = 0; i < pictures.length; i += 2) {
      pictures[i] = DIAGONAL;
      pictures[i + 1] = "n" + i;
    }
    Harness t = new Harness(PackBytes.pack("", pictures), true, 128, 128).started();
    t.canvas.render();
    int rh = t.board.listRowHeight();
    int y = 24 + 2 * rh + rh / 2;
    t.canvas.touch(20, y, 20, y - rh, 20, y - 3 * rh);
    assertEquals("a drag opens nothing", TBoard.LIST, t.board.screen);
    assertEquals("it scrolls the list", 3, t.board.listTop);
    t.canvas.render();
    t.canvas.touch(20, y);
    assertEquals(TBoard.GAME, t.board.screen);
    assertEquals("the row under the finger", 5, t.board.picture);
  }

  @Test
  public void aPictureWithoutInkIsSolvedOnOpening() {
    Harness t = opened(PackBytes.pack("", new String[] {"...", "..."}, "blank"), 0);
    assertEquals(TBoard.WIN, t.board.screen);
    assertEquals(2, t.board.cfg.marks[0]);
    t.press(RIGHT_SOFT);
    t.board.open(0);
    assertEquals("once solved, it opens to be looked at", TBoard.GAME, t.board.screen);
  }

  @Test
  public void aPictureTooLargeIsListedAndTheOthersPlay() throws Exception {
    byte[] pack = new PackBytes().int32(3).text("").text("1.0.0").picture(DIAGONAL).text("a")
        .picture(300, 8, new boolean[2400]).text("too wide").picture(SHAPE).text("c").bytes();
    Harness t = new Harness(pack).started();
    t.press(-2, -5);
    assertEquals(TBoard.TEXT, t.board.screen);
    assertEquals("Crossword 2 (300 * 8) is too large for this player.", t.board.text);
    t.press(-5, -2, -5);
    assertEquals(TBoard.GAME, t.board.screen);
    assertEquals(2, t.board.picture);
    t.solveWithKeys();
    t.press(-5);
    assertEquals("next skips it", 0, t.board.picture);
  }

  @Test
  public void theWinScreenShowsTheSolvedGridAndOnAKeyTheAuthorsPicture() {
    Harness t = opened(PackBytes.pack("", DIAGONAL, "A note"), 0);
    t.press(Canvas.KEY_NUM6, Canvas.KEY_NUM5, Canvas.KEY_NUM4, Canvas.KEY_NUM8, Canvas.KEY_NUM5);
    assertEquals(TBoard.WIN, t.board.screen);
    assertTrue(t.board.differs);
    assertFalse(t.board.author);
    t.press(Canvas.KEY_STAR);
    assertTrue(t.board.author);
    t.canvas.render();
    t.press(Canvas.KEY_STAR);
    assertFalse(t.board.author);
  }
}
