import static org.junit.Assert.assertEquals;
import static org.junit.Assert.assertTrue;

import java.awt.Rectangle;
import java.util.ArrayList;
import java.util.List;
import javax.microedition.lcdui.Graphics;
import org.junit.After;
import org.junit.Before;
import org.junit.Test;

/**
 * The board's clues: every number whole on the screen, none overlapping
 * another, a mark where a clue goes on; the whole board on the screen where
 * it can be; the board's own digits.
 */
public class LayoutTest {
  static final int[][] SIZES = {{96, 65}, {128, 128}, {176, 208}, {240, 320}};

  @Before
  public void record() {
    Harness.resetStore();
    Graphics.texts = new ArrayList<>();
    Harness.numbers = new ArrayList<>();
  }

  @After
  public void stop() {
    Graphics.texts = null;
    Harness.numbers = null;
  }

  static byte[][] packs() {
    return new byte[][] {
        Pictures.pack(30, 20, Pictures.wide(), ""), Pictures.pack(40, 40, Pictures.ring(), ""),
        Pictures.pack(20, 20, Pictures.checker(), ""), Pictures.pack(200, 8, Pictures.long3(), ""),
        Pictures.pack(1, 1, new boolean[] {true}, "")};
  }

  @Test
  public void clueNumbersAreWholeApartAndMarkedWhereCut() {
    for (byte[] pack : packs()) {
      for (int[] s : SIZES) {
        for (int mode = 0; mode < 4; mode++) {
          Harness t = new Harness(pack, mode % 2 == 1, s[0], s[1]).started();
          t.board.cfg.bigCells = mode >= 2;
          t.board.open(0);
          TBoard b = t.board;
          for (int[] at : new int[][] {{0, 0}, {b.boardWidth / 2, b.boardHeight / 2}, {b.boardWidth - 1, b.boardHeight - 1}}) {
            b.cursorX = at[0];
            b.cursorY = at[1];
            check(t, s[0] + "x" + s[1] + " " + b.boardWidth + "x" + b.boardHeight + " mode " + mode + " at " + at[0] + "," + at[1]);
          }
        }
      }
    }
  }

  /** Checks the clues drawn; answers how many numbers were cut off. */
  static int check(Harness t, String where) {
    Harness.numbers.clear();
    java.awt.image.BufferedImage screen = t.canvas.render();
    TBoard b = t.board;
    int s = b.cellSize;
    // The board's digits have no side bearings: a pixel between two is enough.
    assertTrue(where + ": cells wider than the widest column number", s >= b.columnNumberWidth + (b.pixelFont ? 1 : 2));
    assertTrue(where + ": cells of " + s + " px", s >= TBoard.MIN_CELL);
    List<Rectangle> boxes = new ArrayList<>();
    int[] perRow = new int[b.shownRows];
    int[] perCol = new int[b.shownColumns];
    for (Object[] e : Harness.numbers) {
      Rectangle box = (Rectangle) e[1];
      String what = where + ": \"" + e[0] + "\" at " + box;
      assertTrue(what + " is cut by the clip " + e[2], ((Rectangle) e[2]).contains(box));
      assertTrue(what + " is off the screen", new Rectangle(0, 0, screen.getWidth(), screen.getHeight()).contains(box));
      for (Rectangle o : boxes) {
        assertTrue(what + " touches " + o, !o.intersects(box));
      }
      boxes.add(box);
      if (box.x + box.width <= b.gridX) {
        perRow[(box.y - b.gridY) / s]++;
      } else {
        perCol[(box.x - b.gridX) / s]++;
      }
    }
    int orange = 0xf08c1c;
    int cut = 0;
    for (int y = 0; y < b.shownRows; y++) {
      int n = Math.max(1, b.rowClues[b.firstRow + y].length);
      boolean mark = (screen.getRGB(b.gridX - b.clueWidth, b.gridY + y * s + s / 2) & 0xffffff) == orange;
      assertEquals(where + ": row " + (b.firstRow + y) + " shows " + perRow[y] + " of " + n, perRow[y] < n, mark);
      cut += n - perRow[y];
    }
    for (int x = 0; x < b.shownColumns; x++) {
      int n = Math.max(1, b.colClues[b.firstColumn + x].length);
      boolean mark = (screen.getRGB(b.gridX + x * s + s / 2, b.gridY - b.clueHeight) & 0xffffff) == orange;
      assertEquals(where + ": column " + (b.firstColumn + x) + " shows " + perCol[x] + " of " + n, perCol[x] < n, mark);
      cut += n - perCol[x];
    }
    return cut;
  }

  @Test
  public void typicalCrosswordsFitWholeOnTheirScreens() {
    // {screen width, height, crossword side}: the sides each screen must show whole.
    int[][] targets = {{96, 65, 5}, {128, 128, 15}, {176, 208, 20}, {240, 320, 25}};
    for (int[] g : targets) {
      int n = g[2];
      for (boolean nokia : new boolean[] {false, true}) {
        Harness t = new Harness(Pictures.pack(n, n, Pictures.typical(n), ""), nokia, g[0], g[1]).started();
        t.board.open(0);
        String where = g[0] + "x" + g[1] + (nokia ? " full screen " : " ") + n + "x" + n;
        assertEquals(where + ": clues cut", 0, check(t, where));
        assertEquals(where + " shows every column", n, t.board.shownColumns);
        assertEquals(where + " shows every row", n, t.board.shownRows);
      }
    }
  }

  /** What `ink` draws in black on a white canvas of side x side pixels. */
  private static java.awt.image.BufferedImage onWhite(
      final int side, final java.util.function.Consumer<Graphics> ink) {
    javax.microedition.lcdui.Canvas c = new javax.microedition.lcdui.Canvas() {
      protected void paint(Graphics g) {
        g.setColor(0xffffff);
        g.fillRect(0, 0, side, side);
        g.setColor(0);
        ink.accept(g);
      }
    };
    c.setSize(side, side);
    return c.render();
  }

  @Test
  public void theBoardsDigitsAreDistinctAndStayInTheirBoxes() {
    java.util.Set<String> seen = new java.util.HashSet<>();
    for (int d = 0; d < 10; d++) {
      final int digit = d;
      java.awt.image.BufferedImage image = onWhite(12, g -> TBoard.digits(g, digit, 4, 4));
      Harness t = new Harness(Pictures.pack(1, 1, new boolean[] {true}, ""));
      Rectangle box = new Rectangle(4, 4, t.board.numberWidth(d, true), TBoard.DIGIT_HEIGHT);
      StringBuilder bits = new StringBuilder();
      boolean[] inked = new boolean[box.width];
      for (int y = 0; y < 12; y++) {
        for (int x = 0; x < 12; x++) {
          boolean ink = (image.getRGB(x, y) & 0xffffff) == 0;
          assertTrue(d + " inks (" + x + "," + y + ") outside " + box, !ink || box.contains(x, y));
          bits.append(ink ? '#' : '.');
          if (ink) {
            inked[x - 4] = true;
          }
        }
      }
      for (int x = 0; x < box.width; x++) {
        assertTrue(d + " uses its whole width", inked[x]);
      }
      assertTrue(d + " looks like another digit", seen.add(bits.toString()));
    }
  }

  @Test
  public void theDesktopRuntimePutsTheBaselineWhereMidpSays() {
    // Text anchored at BASELINE y has its baseline on y: the same pixels as
    // TOP at y - getBaselinePosition(), and a digit's lowest ink just above y.
    java.awt.image.BufferedImage[] drawn = new java.awt.image.BufferedImage[2];
    for (int k = 0; k < 2; k++) {
      final int anchor = k;
      drawn[k] = onWhite(40, g -> {
        javax.microedition.lcdui.Font f = g.getFont();
        g.drawString("18", 5, anchor == 0 ? 20 : 20 - f.getBaselinePosition(),
            anchor == 0 ? Graphics.BASELINE | Graphics.LEFT : Graphics.TOP | Graphics.LEFT);
      });
    }
    int lowest = -1;
    for (int y = 0; y < 40; y++) {
      for (int x = 0; x < 40; x++) {
        assertEquals(drawn[0].getRGB(x, y), drawn[1].getRGB(x, y));
        lowest = (drawn[0].getRGB(x, y) & 0xffffff) == 0 ? y : lowest;
      }
    }
    assertEquals(19, lowest);
  }
}
