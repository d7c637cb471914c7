import java.io.ByteArrayInputStream;
import java.io.File;
import java.io.IOException;
import javax.imageio.ImageIO;
import javax.microedition.lcdui.Canvas;
import javax.microedition.rms.RecordStore;

/** A board on a desktop canvas, as a phone would run it, past its title screen. */
final class Harness {
  final TGrixMIDlet midlet = new TGrixMIDlet();
  final Canvas canvas;
  final TBoard board;
  final TConfig cfg = new TConfig();

  Harness(byte[] pack, boolean nokia, int width, int height) {
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
    board = new TBoard(midlet, "Sample crosswords");
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

  /** Fills the open crossword's cells where the picture has ink, using the keys. */
  void solveWithKeys() {
    board.cx = 0;
    board.cy = 0;
    for (int y = 0; y < board.h; y++) {
      for (int x = 0; x < board.w; x++) {
        if (board.screen != TBoard.GAME) {
          return;
        }
        if (cfg.filled(board.pic, x, y) != (board.cells[y * board.w + x] == 1)) {
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
