import static org.junit.Assert.assertEquals;
import static org.junit.Assert.assertNotEquals;
import static org.junit.Assert.assertTrue;

import java.awt.image.BufferedImage;
import javax.microedition.lcdui.Canvas;
import org.junit.Before;
import org.junit.Test;

/**
 * Draws the player's screens on the desktop stand-in of the phone and saves
 * them as PNGs (where the build asks for them) for people to look at.
 */
public class ScreensTest {
  static final String[] HEART = {
      ".##....##.",
      "####..####",
      "##########",
      "##########",
      "##########",
      ".########.",
      "..######..",
      "...####...",
      "....##....",
      "..........",
  };
  static final String[] SMILE = {
      ".....#####.....",
      "...##.....##...",
      "..#.........#..",
      ".#...........#.",
      ".#..##...##..#.",
      "#...##...##...#",
      "#.............#",
      "#.............#",
      "#..#.......#..#",
      "#...#.....#...#",
      ".#...#####...#.",
      ".#...........#.",
      "..#.........#..",
      "...##.....##...",
      ".....#####.....",
  };
  static final String[] HOUSE = {
      "...##...",
      "..####..",
      ".######.",
      "########",
      ".#....#.",
      ".#.##.#.",
      ".#.##.#.",
      ".######.",
  };

  static byte[] sample() {
    return PackBytes.pack("Three little crosswords made with Grix. Have fun!",
        HEART, "A heart", SMILE, "Smile", HOUSE, "Home, sweet home");
  }

  @Before
  public void freshStore() {
    Harness.resetStore();
  }

  static int colours(BufferedImage b) {
    java.util.Set<Integer> s = new java.util.HashSet<>();
    for (int y = 0; y < b.getHeight(); y++) {
      for (int x = 0; x < b.getWidth(); x++) {
        s.add(b.getRGB(x, y));
      }
    }
    return s.size();
  }

  @Test
  public void drawsTheScreensOfAStandardPhone() throws Exception {
    Harness t = new Harness(sample());
    t.shoot("title");
    t.started();
    t.board.cfg.marks[2] = 2;
    t.board.cfg.marks[0] = 1;
    t.press(-2);
    t.shoot("list");
    t.press(-6);
    t.shoot("about");
    t.press(-7, -5);
    // Some work in progress: the first rows of the smile and a few marks.
    for (int x = 0; x < 15; x++) {
      if (SMILE[0].charAt(x) == '#' || SMILE[1].charAt(x) == '#') {
        t.board.cursorX = x;
        t.board.cursorY = SMILE[0].charAt(x) == '#' ? 0 : 1;
        t.board.set(1);
      }
    }
    t.board.cursorY = 0;
    t.board.cursorX = 0;
    t.board.set(2);
    t.press(-2, -2, -4, -4, -4);
    t.shoot("board");
    BufferedImage board = t.canvas.render();
    assertNotEquals("the board is drawn", 1, colours(board));
    t.press(Canvas.KEY_STAR);
    t.shoot("board-zoomed");
    t.press(Canvas.KEY_STAR, -6);
    t.shoot("menu");
    t.press(-7);
    t.solveWithKeys();
    assertEquals(TBoard.WIN, t.board.screen);
    t.canvas.render();
    for (int i = 0; i < 40; i++) {
      t.board.snow.step(128, 128);
    }
    t.shoot("win");
  }

  @Test
  public void drawsTheFullScreenCanvasAndOtherSizes() throws Exception {
    Harness t = new Harness(sample(), true, 128, 128).started();
    t.press(-5);
    t.shoot("nokia-board");
    t.press(-7);
    t.shoot("nokia-list");

    Harness small = new Harness(sample(), true, 96, 65);
    small.shoot("small-title");
    small.started();
    small.shoot("small-list");
    small.press(-2, -5);
    small.shoot("small-board");
    small.press(Canvas.KEY_STAR);
    small.shoot("small-board-zoomed");
    small.press(Canvas.KEY_STAR, -6);
    small.shoot("small-menu");

    boolean[] big = new boolean[40 * 30];
    for (int i = 0; i < big.length; i++) {
      int x = i % 40 - 20;
      int y = i / 40 - 15;
      big[i] = x * x + y * y * 2 < 300 && (x + y) % 4 != 0;
    }
    byte[] pack = new PackBytes().int32(1).text("").text("1.0.0").picture(40, 30, big).text("Big").bytes();
    Harness large = new Harness(pack, false, 240, 320).started();
    large.press(-5, -4, -4, -2);
    large.shoot("large-board");
    Harness scrolled = new Harness(pack, false, 128, 128).started();
    scrolled.press(-5);
    for (int i = 0; i < 25; i++) {
      scrolled.press(-4);
    }
    scrolled.shoot("scrolled-board");

    Harness broken = new Harness(java.util.Arrays.copyOf(sample(), 40)).started();
    broken.shoot("message");
  }

  @Test
  public void theTitleWrapsALongNameClearOfThePrompt() throws Exception {
    // {name, lines at 96 px wide}: the last line ends in "..." only when the name does not fit.
    String[][] names = {{"Cats", "Cats"}, {"Weekend Picture Crosswords", "Weekend Picture|Crosswords"},
        {"Weekend Picture Crosswords Collection", "Weekend Picture|Crosswords Coll..."}};
    javax.microedition.lcdui.Font bold = javax.microedition.lcdui.Font.getFont(0, 1, 8);
    for (String[] n : names) {
      assertEquals(n[0], n[1], String.join("|", TBoard.titleLines(n[0], bold, 90, 2)));
    }
    assertEquals("Weekend Pictur...", String.join("|", TBoard.titleLines(names[2][0], bold, 90, 1)));
    for (int[] s : LayoutTest.SIZES) {
      javax.microedition.lcdui.Graphics.texts = new java.util.ArrayList<>();
      Harness t = new Harness(sample(), true, s[0], s[1], names[2][0]);
      t.shoot(s[0] + "x" + s[1] + "-title-long-name");
      java.awt.Rectangle prompt = null;
      for (Object[] e : javax.microedition.lcdui.Graphics.texts) {
        prompt = e[0].equals("Press any key") ? (java.awt.Rectangle) e[1] : prompt;
      }
      for (Object[] e : javax.microedition.lcdui.Graphics.texts) {
        java.awt.Rectangle r = (java.awt.Rectangle) e[1];
        assertTrue(s[0] + "x" + s[1] + ": \"" + e[0] + "\" at " + r, e[0] == "Press any key" || !r.intersects(prompt));
      }
      javax.microedition.lcdui.Graphics.texts = null;
    }
  }

  @Test
  public void drawsTheHardCasesAtEverySize() throws Exception {
    String note = "A long note from the author, long enough to need many lines on every phone: it wraps"
        + " at blanks and scrolls with the up and down keys, and the snow never falls across it.";
    byte[] list = new PackBytes().int32(4).text("").text("1.0.0").picture(HEART).text("A heart with a note far too long for one row")
        .picture(300, 8, new boolean[2400]).text("Too wide").picture(SMILE).text("Smile").picture(HOUSE).text("").bytes();
    Object[][] boards = {{"30x20", 30, 20, Pictures.wide()}, {"40x40", 40, 40, Pictures.ring()},
        {"20x20", 20, 20, Pictures.checker()}, {"5x5", 5, 5, Pictures.draw(5, 5, (x, y) -> x == y || x == 2)}};
    for (int[] s : LayoutTest.SIZES) {
      String at = s[0] + "x" + s[1] + "-";
      for (Object[] b : boards) {
        Harness t = new Harness(Pictures.pack((Integer) b[1], (Integer) b[2], (boolean[]) b[3], ""), true, s[0], s[1]).started();
        t.press(-5, -4, -4, -2);
        t.shoot(at + "board-" + b[0]);
        if (b[0].equals("20x20")) {
          t.press(Canvas.KEY_STAR);
          t.shoot(at + "board-20x20-zoomed");
        }
      }
      // The side each screen shows whole, a typical crossword of it, the cursor inside.
      int side = s[0] < 100 ? 5 : s[0] < 150 ? 15 : s[0] < 200 ? 20 : 25;
      Harness whole = new Harness(Pictures.pack(side, side, Pictures.typical(side), ""), true, s[0], s[1]).started();
      whole.press(-5, -4, -4, -2, -2, Canvas.KEY_NUM5, -4, Canvas.KEY_NUM0);
      whole.shoot(at + "whole-" + side + "x" + side);
      Harness t = new Harness(PackBytes.pack("", HEART, note), true, s[0], s[1]).started();
      t.press(-5);
      t.solveWithKeys();
      assertEquals(TBoard.WIN, t.board.screen);
      for (int i = 0; i < 40; i++) {
        t.canvas.render();
        t.board.snow.step(s[0], s[1]);
      }
      t.shoot(at + "win");
      Harness l = new Harness(list, true, s[0], s[1]).started();
      l.board.cfg.marks[2] = 2;
      l.press(-2);
      l.shoot(at + "list");
      l.press(-2, -5, -6, -2, -2, -5);
      l.shoot(at + "restart-question");
    }
    // A splash larger than the screen, shrunk to fit.
    Harness t = new Harness(sample(), true, 96, 65);
    javax.microedition.lcdui.Image big = javax.microedition.lcdui.Image.createImage(200, 120);
    javax.microedition.lcdui.Graphics g = big.getGraphics();
    g.setColor(0x2e5ca8);
    g.fillRect(10, 10, 180, 100);
    g.setColor(0xffd840);
    g.fillRect(60, 40, 80, 40);
    t.board.splash = big;
    t.shoot("96x65-splash");
    assertTrue("the splash fits above the prompt's strip",
        t.board.splash.getWidth() <= 96 && t.board.splash.getHeight() <= 65 - t.board.small.getHeight() - 4);
  }
}
