import static org.junit.Assert.assertEquals;
import static org.junit.Assert.assertTrue;

import java.awt.Rectangle;
import java.util.ArrayList;
import java.util.List;
import javax.microedition.lcdui.Graphics;
import org.junit.After;
import org.junit.Before;
import org.junit.Test;

/** The board's clues: every number whole on the screen, none touching another, a mark where a clue goes on. */
public class LayoutTest {
  static final int[][] SIZES = {{96, 65}, {128, 128}, {176, 208}, {240, 320}};

  @Before
  public void record() {
    Harness.resetStore();
    Graphics.texts = new ArrayList<>();
  }

  @After
  public void stop() {
    Graphics.texts = null;
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
        for (boolean nokia : new boolean[] {false, true}) {
          Harness t = new Harness(pack, nokia, s[0], s[1]).started();
          t.board.open(0);
          TBoard b = t.board;
          for (int[] at : new int[][] {{0, 0}, {b.w / 2, b.h / 2}, {b.w - 1, b.h - 1}}) {
            b.cx = at[0];
            b.cy = at[1];
            check(t, s[0] + "x" + s[1] + " " + b.w + "x" + b.h + " at " + at[0] + "," + at[1]);
          }
        }
      }
    }
  }

  static void check(Harness t, String where) {
    Graphics.texts.clear();
    java.awt.image.BufferedImage screen = t.canvas.render();
    TBoard b = t.board;
    int s = b.size;
    assertTrue(where + ": cells as wide as the widest column number", s >= b.colNumberWidth + 2);
    List<Rectangle> boxes = new ArrayList<>();
    int[] perRow = new int[b.vh];
    int[] perCol = new int[b.vw];
    for (Object[] e : Graphics.texts) {
      if (!((String) e[0]).matches("[0-9]+")) {
        continue;
      }
      Rectangle r = (Rectangle) e[1];
      Rectangle box = new Rectangle(r.x, r.y, r.width, b.pitch());
      String what = where + ": \"" + e[0] + "\" at " + box;
      assertTrue(what + " is cut by the clip " + e[2], ((Rectangle) e[2]).contains(box));
      assertTrue(what + " is off the screen", new Rectangle(0, 0, screen.getWidth(), screen.getHeight()).contains(box));
      for (Rectangle o : boxes) {
        assertTrue(what + " touches " + o, !o.intersects(box));
      }
      boxes.add(box);
      if (box.x + box.width <= b.gx) {
        perRow[(box.y - b.gy) / s]++;
      } else {
        perCol[(box.x - b.gx) / s]++;
      }
    }
    int orange = 0xf08c1c;
    for (int y = 0; y < b.vh; y++) {
      int n = Math.max(1, b.rowClues[b.oy + y].length);
      boolean mark = (screen.getRGB(b.gx - b.lw, b.gy + y * s + s / 2) & 0xffffff) == orange;
      assertEquals(where + ": row " + (b.oy + y) + " shows " + perRow[y] + " of " + n, perRow[y] < n, mark);
    }
    for (int x = 0; x < b.vw; x++) {
      int n = Math.max(1, b.colClues[b.ox + x].length);
      boolean mark = (screen.getRGB(b.gx + x * s + s / 2, b.gy - b.th) & 0xffffff) == orange;
      assertEquals(where + ": column " + (b.ox + x) + " shows " + perCol[x] + " of " + n, perCol[x] < n, mark);
    }
  }

  @Test
  public void theZoomedBarShowsTheCursorsCluesWhole() {
    Harness t = new Harness(packs()[2], true, 128, 128).started();
    t.board.open(0);
    t.press(42);
    Graphics.texts.clear();
    t.canvas.render();
    StringBuilder all = new StringBuilder();
    for (Object[] e : Graphics.texts) {
      Rectangle r = (Rectangle) e[1];
      if (r.y < t.board.th) {
        assertTrue(e[0] + " fits the width", r.x >= 0 && r.x + r.width <= 128);
        all.append(e[0]).append(' ');
      }
    }
    assertEquals("Row 1: 1 1 1 1 1 1 1 1 1 1 Column 1: 1 1 1 1 1 1 1 1 1 1 ", all.toString().replaceAll("\\s+", " "));
  }

  @Test
  public void theDesktopRuntimePutsTheBaselineWhereMidpSays() {
    // Text anchored at BASELINE y has its baseline on y: the same pixels as
    // TOP at y - getBaselinePosition(), and a digit's lowest ink just above y.
    java.awt.image.BufferedImage[] drawn = new java.awt.image.BufferedImage[2];
    for (int k = 0; k < 2; k++) {
      final int anchor = k;
      javax.microedition.lcdui.Canvas c = new javax.microedition.lcdui.Canvas() {
        protected void paint(Graphics g) {
          g.setColor(0xffffff);
          g.fillRect(0, 0, 40, 40);
          g.setColor(0);
          javax.microedition.lcdui.Font f = g.getFont();
          g.drawString("18", 5, anchor == 0 ? 20 : 20 - f.getBaselinePosition(),
              anchor == 0 ? Graphics.BASELINE | Graphics.LEFT : Graphics.TOP | Graphics.LEFT);
        }
      };
      c.setSize(40, 40);
      drawn[k] = c.render();
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
