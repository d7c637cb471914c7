package javax.microedition.lcdui;

import java.awt.image.BufferedImage;

/**
 * Desktop stand-in for a phone canvas of a chosen size (128 x 128 unless a
 * test says otherwise). Key codes follow the common phones: the digits and
 * star and pound as themselves, arrows -1..-4, fire -5, soft keys -6/-7.
 */
public abstract class Canvas extends Displayable {
  public static final int UP = 1;
  public static final int DOWN = 6;
  public static final int LEFT = 2;
  public static final int RIGHT = 5;
  public static final int FIRE = 8;
  public static final int GAME_A = 9;
  public static final int GAME_B = 10;
  public static final int GAME_C = 11;
  public static final int GAME_D = 12;
  public static final int KEY_NUM0 = 48;
  public static final int KEY_NUM1 = 49;
  public static final int KEY_NUM2 = 50;
  public static final int KEY_NUM3 = 51;
  public static final int KEY_NUM4 = 52;
  public static final int KEY_NUM5 = 53;
  public static final int KEY_NUM6 = 54;
  public static final int KEY_NUM7 = 55;
  public static final int KEY_NUM8 = 56;
  public static final int KEY_NUM9 = 57;
  public static final int KEY_STAR = 42;
  public static final int KEY_POUND = 35;

  private int width = 128;
  private int height = 128;
  private int repaints;

  protected Canvas() {}

  /** For tests: the screen size this canvas has. */
  // desktop only
  public void setSize(int w, int h) {
    width = w;
    height = h;
  }

  public int getWidth() { return width; }

  public int getHeight() { return height; }

  public boolean isDoubleBuffered() { return true; }

  public boolean hasPointerEvents() { return false; }

  public boolean hasPointerMotionEvents() { return false; }

  public boolean hasRepeatEvents() { return true; }

  public int getKeyCode(int gameAction) {
    switch (gameAction) {
      case UP: return -1;
      case DOWN: return -2;
      case LEFT: return -3;
      case RIGHT: return -4;
      case FIRE: return -5;
      default: throw new IllegalArgumentException("bad game action");
    }
  }

  public String getKeyName(int keyCode) { return "key " + keyCode; }

  public int getGameAction(int keyCode) {
    switch (keyCode) {
      case -1: case KEY_NUM2: return UP;
      case -2: case KEY_NUM8: return DOWN;
      case -3: case KEY_NUM4: return LEFT;
      case -4: case KEY_NUM6: return RIGHT;
      case -5: case KEY_NUM5: return FIRE;
      case KEY_NUM1: return GAME_A;
      case KEY_NUM3: return GAME_B;
      case KEY_NUM7: return GAME_C;
      case KEY_NUM9: return GAME_D;
      default:
        if (keyCode >= 0 || keyCode == -6 || keyCode == -7) {
          return 0;
        }
        // Like some phones: codes the phone does not have are refused.
        throw new IllegalArgumentException("no such key " + keyCode);
    }
  }

  protected void keyPressed(int keyCode) {}

  protected void keyRepeated(int keyCode) {}

  protected void keyReleased(int keyCode) {}

  protected void pointerPressed(int x, int y) {}

  protected void pointerReleased(int x, int y) {}

  protected void pointerDragged(int x, int y) {}

  public final void repaint(int x, int y, int width, int height) { repaints++; }

  public final void repaint() { repaints++; }

  public final void serviceRepaints() {}

  protected void showNotify() {}

  protected void hideNotify() {}

  protected abstract void paint(Graphics g);

  /** For tests: how often a repaint was asked for. */
  // desktop only
  public int repaintCount() { return repaints; }

  /** For tests: a key press and release, as the phone delivers them. */
  // desktop only
  public void press(int keyCode) {
    keyPressed(keyCode);
    keyReleased(keyCode);
  }

  /** For tests: a touch pressed at the first point, dragged through the others, released at the last. */
  // desktop only
  public void touch(int... xy) {
    pointerPressed(xy[0], xy[1]);
    for (int i = 2; i < xy.length; i += 2) {
      pointerDragged(xy[i], xy[i + 1]);
    }
    pointerReleased(xy[xy.length - 2], xy[xy.length - 1]);
  }

  /** For tests: a key held until it repeats once. */
  // desktop only
  public void hold(int keyCode) {
    keyPressed(keyCode);
    keyRepeated(keyCode);
    keyReleased(keyCode);
  }

  /** For tests: what the screen shows now. */
  // desktop only
  public BufferedImage render() {
    BufferedImage b = new BufferedImage(width, height, BufferedImage.TYPE_INT_RGB);
    paint(new Graphics(b));
    return b;
  }

  /** For tests: the canvas being shown or hidden. */
  // desktop only
  public void notifyShown(boolean shown) {
    if (shown) {
      showNotify();
    } else {
      hideNotify();
    }
  }
}
