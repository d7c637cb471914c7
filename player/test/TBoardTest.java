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
    assertEquals(4, b.cx);
    t.press(-1);
    assertEquals(2, b.cy);
    t.press(Canvas.KEY_NUM6, -2, -4);
    assertEquals(1, b.cx);
    assertEquals(0, b.cy);
    t.canvas.hold(Canvas.KEY_NUM6);
    assertEquals("a held key repeats", 3, b.cx);
  }

  @Test
  public void solvingThePictureWins() {
    Harness t = opened(PackBytes.pack("", SHAPE, "Shape"), 0);
    t.solveWithKeys();
    assertEquals(TBoard.WIN, t.board.screen);
    assertEquals(2, t.board.marks[0]);
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
      b.cy = i / b.w;
      b.cx = i % b.w;
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
    assertTrue("only part of the board fits", b.vw < 40 && b.vh < 40);
    assertTrue(b.size >= 3);
    for (int i = 0; i < 39; i++) {
      t.press(-4);
      t.canvas.render();
      assertTrue("cursor on screen", b.cx >= b.ox && b.cx < b.ox + b.vw);
    }
    assertEquals(39, b.cx);
    assertEquals(40 - b.vw, b.ox);
    t.press(-4);
    t.canvas.render();
    assertEquals(0, b.ox);
    for (int i = 0; i < 20; i++) {
      t.press(-2);
    }
    t.canvas.render();
    assertTrue(b.cy >= b.oy && b.cy < b.oy + b.vh && b.oy > 0);
  }

  @Test
  public void zoomingOutShrinksTheCellsButNotBelowThreePixels() {
    boolean[] cells = new boolean[60 * 60];
    cells[0] = true;
    byte[] pack = new PackBytes().int32(1).text("").text("1.0.0").picture(60, 60, cells).text("").bytes();
    Harness t = new Harness(pack, false, 128, 128).started();
    t.board.open(0);
    t.canvas.render();
    int normal = t.board.size;
    t.press(Canvas.KEY_STAR);
    t.canvas.render();
    assertTrue(t.board.zoom);
    assertEquals(3, t.board.size);
    assertTrue(t.board.size < normal);
    t.press(Canvas.KEY_STAR);
    t.canvas.render();
    assertEquals(normal, t.board.size);
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
    assertArrayEquals(new byte[] {1, 2}, second.board.marks);
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
    assertEquals(0, second.board.marks[0]);
  }

  @Test
  public void aFullRecordStoreIsReportedNotFatal() {
    RecordStore.limit = 6;
    Harness t = opened(PackBytes.pack("", SHAPE, "a"), 0);
    t.press(Canvas.KEY_NUM5, RIGHT_SOFT);
    assertEquals(TBoard.LIST, t.board.screen);
    assertTrue(t.board.saveFailed);
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
    assertEquals(2, t.board.pic);
    t.solveWithKeys();
    t.press(LEFT_SOFT);
    assertEquals(0, t.board.pic);
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
    int s = b.size;
    int[][] taps = {{2, 1, 1}, {2, 1, 2}, {2, 1, 0}, {4, 2, 1}};
    for (int[] tap : taps) {
      t.canvas.touch(b.gx + tap[0] * s + s / 2, b.gy + tap[1] * s + s - 1);
      assertEquals(tap[0], b.cx);
      assertEquals(tap[1], b.cy);
      assertEquals("cell " + tap[0] + "," + tap[1], tap[2], b.cells[tap[1] * b.w + tap[0]]);
    }
    assertEquals("the edge of the grid", -1, b.cellAt(b.gx + 5 * s, b.gy));
    assertEquals(-1, b.cellAt(b.gx - 1, b.gy));
    int y = b.gy + s / 2;
    t.canvas.touch(b.gx + 1, y, b.gx + s + 1, y, b.gx + 2 * s + 1, y, b.gx + 3 * s + 1, y);
    assertArrayEquals(new byte[] {1, 1, 1, 1, 0}, Arrays.copyOf(b.cells, 5));
    t.canvas.touch(b.gx + 1, y, b.gx + 3 * s + 1, y);
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
    int right = b.gx + b.vw * b.size + 1;
    t.canvas.touch(right, b.gy + 1);
    assertEquals("past the last column shown", b.vw, b.cx);
    assertEquals(0, b.cy);
    t.canvas.render();
    assertEquals(1, b.ox);
    t.canvas.touch(b.gx + 1, b.gy - 1);
    assertEquals("above the top row: the bottom one", 39, b.cy);
    assertEquals(b.vw, b.cx);
  }

  @Test
  public void tapsWorkTheListTheMenuAndTheSoftKeyLabels() {
    Harness t = new Harness(PackBytes.pack("", SHAPE, "a", DIAGONAL, "b"), true, 128, 128).started();
    t.canvas.render();
    int rh = Math.max(t.board.small.getHeight() + 3, 9);
    t.canvas.touch(10, 127 - 20 - rh);
    assertEquals(TBoard.LIST, t.board.screen);
    t.canvas.touch(20, 24 + rh + rh / 2);
    assertEquals("a tap on the second row opens it", 1, t.board.pic);
    t.canvas.touch(5, 125);
    assertTrue("the left label opens the menu", t.board.menu);
    t.canvas.render();
    t.canvas.touch(64, t.board.menuY + 3 * t.board.menuRow + 1);
    assertEquals("the menu's List row", TBoard.LIST, t.board.screen);
  }

  @Test
  public void progressIsSavedEveryFewChanges() throws Exception {
    boolean[] ring = Pictures.ring();
    byte[] pack = Pictures.pack(40, 40, ring, "");
    Harness t = opened(pack, 0);
    for (int i = 0; i < TBoard.SAVE_EVERY - 1; i++) {
      t.press(Canvas.KEY_NUM6, ring[i + 1] ? Canvas.KEY_NUM5 : Canvas.KEY_NUM0);
    }
    assertEquals("nothing written yet", 0, opened(pack, 0).board.cells[1]);
    TBoard.it = t.board;
    t.press(Canvas.KEY_NUM6, Canvas.KEY_NUM0);
    Harness killed = opened(pack, 0);
    for (int i = 1; i <= TBoard.SAVE_EVERY; i++) {
      assertEquals("cell " + i, i == TBoard.SAVE_EVERY || !ring[i] ? 2 : 1, killed.board.cells[i]);
    }
    TBoard.it = t.board;
    // What one save costs on a 40 x 40 board, for the choice of SAVE_EVERY.
    int n = 2000;
    long start = System.nanoTime();
    for (int i = 0; i < n; i++) {
      t.board.save();
    }
    long micros = (System.nanoTime() - start) / 1000 / n;
    System.out.println("one save of a 40 x 40 board: " + micros + " us on this JVM, record of "
        + (1 + (40 * 40 + 3) / 4) + " bytes");
    assertTrue(!t.board.saveFailed);
  }

  @Test
  public void aPictureWithoutInkIsSolvedOnOpening() {
    Harness t = opened(PackBytes.pack("", new String[] {"...", "..."}, "blank"), 0);
    assertEquals(TBoard.WIN, t.board.screen);
    assertEquals(2, t.board.marks[0]);
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
    assertEquals(2, t.board.pic);
    t.solveWithKeys();
    t.press(-5);
    assertEquals("next skips it", 0, t.board.pic);
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
