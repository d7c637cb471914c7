import javax.microedition.lcdui.Canvas;
import javax.microedition.lcdui.Graphics;

/** The standard canvas: the phone draws the soft-key commands itself. */
public class TCanvas extends Canvas {
  protected void paint(Graphics g) {
    TBoard.it.paint(g);
  }

  protected void keyPressed(int key) {
    TBoard.it.key(key, false);
  }

  protected void keyRepeated(int key) {
    TBoard.it.key(key, true);
  }

  protected void pointerPressed(int x, int y) {
    TBoard.it.pointer(x, y, TBoard.PRESSED);
  }

  protected void pointerDragged(int x, int y) {
    TBoard.it.pointer(x, y, TBoard.DRAGGED);
  }

  protected void pointerReleased(int x, int y) {
    TBoard.it.pointer(x, y, TBoard.RELEASED);
  }

  protected void showNotify() {
    TBoard.it.shown(true);
  }

  protected void hideNotify() {
    TBoard.it.shown(false);
  }
}
