import java.io.ByteArrayInputStream;
import java.io.File;
import java.awt.Rectangle;
import java.io.IOException;
import java.util.List;
import javax.imageio.ImageIO;
import javax.microedition.lcdui.Canvas;
import javax.microedition.lcdui.Graphics;
import javax.microedition.rms.RecordStore;

/**
 * A board on a desktop canvas, as a phone would run it, past its title
 * screen. Its clock stands still unless a test moves it, and its progress
 * is saved on leaving, hiding and explicit saves only, unless a test lets
 * the idle saver run.
 */
final class Harness {
  /** When set, every clue number drawn is added as {its text, its box, the clip}. */
  static List<Object[]> numbers;

  final TGrixMIDlet midlet = new TGrixMIDlet();
  final Canvas canvas;
  final TBoard board;
  /** The board's clock in ms. */
  long time = 1000;
  /** Saves run on the idle saver's thread as on a phone. */
  boolean idleSaves;
  /** How often the pack's progress was saved. */
  volatile int saves;
  final TConfig cfg = new TConfig() {
    void startSaver() {
      if (idleSaves) {
        super.startSaver();
      }
    }

    synchronized void save() {
      saves++;
      super.save();
    }
  };

  Harness(byte[] pack, boolean nokia, int width, int height) {
    this(pack, nokia, width, height, "Sample crosswords");
  }

  Harness(byte[] pack, boolean nokia, int width, int height, String name) {
    String error = null;
    try {
      cfg.read(new ByteArrayInputStream(pack));
    } catch (IOException e) {
      error = e.getMessage();
    }
    canvas = nokia ? new TNokiaCanvas() : new TCanvas();
    canvas.setSize(width, height);
    if (!nokia) {
      canvas.setCommandListener(midlet);
    }
    board = new TBoard(midlet, name) {
      long now() {
        return time;
      }

      void clueNumber(Graphics g, int n, int x, int y) {
        if (numbers != null) {
          Rectangle clip = new Rectangle(g.getClipX(), g.getClipY(), g.getClipWidth(), g.getClipHeight());
          numbers.add(new Object[] {String.valueOf(n), new Rectangle(x, y, numberWidth(n, pixelFont), numberHeight()), clip});
        }
        super.clueNumber(g, n, x, y);
      }
    };
    board.begin(canvas, nokia, cfg, error);
  }

  Harness(byte[] pack) {
    this(pack, false, 128, 128);
  }

  /** Leaves the title screen, as any key does. */
  Harness started() {
    canvas.press(Canvas.KEY_NUM1);
    return this;
  }

  void press(int... keys) {
    for (int k : keys) {
      canvas.press(k);
    }
  }

  /** A key held for ms, repeating as the phone repeats it every 50 ms. */
  void hold(int key, int ms) {
    canvas.press(key);
    for (int t = 50; t <= ms; t += 50) {
      time += 50;
      board.key(key, true);
    }
  }

  /** Fills the open crossword's cells where the picture has ink, using the keys. */
  void solveWithKeys() {
    board.cursorX = 0;
    board.cursorY = 0;
    for (int y = 0; y < board.boardHeight; y++) {
      for (int x = 0; x < board.boardWidth; x++) {
        if (board.screen != TBoard.GAME) {
          return;
        }
        if (cfg.filled(board.picture, x, y) != (board.cells[y * board.boardWidth + x] == 1)) {
          canvas.press(Canvas.KEY_NUM5);
        }
        canvas.press(Canvas.KEY_NUM6);
      }
      canvas.press(Canvas.KEY_NUM8);
    }
  }

  static void resetStore() {
    RecordStore.reset();
  }

  /** Saves the screen for people to look at, where the build asks for screenshots. */
  void shoot(String name) throws IOException {
    String dir = System.getProperty("grix.screens");
    java.awt.image.BufferedImage image = canvas.render();
    if (dir != null) {
      new File(dir).mkdirs();
      ImageIO.write(image, "png", new File(dir, name + ".png"));
    }
  }
}
