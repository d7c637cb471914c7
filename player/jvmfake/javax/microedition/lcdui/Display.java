package javax.microedition.lcdui;

/** Desktop stand-in: one display that remembers what is shown. */
public class Display {
  private static final Display DISPLAY = new Display();
  static Displayable current;

  Display() {}

  public static Display getDisplay(javax.microedition.midlet.MIDlet m) { return DISPLAY; }

  public boolean isColor() { return true; }

  public int numColors() { return 1 << 16; }

  public Displayable getCurrent() { return current; }

  public void setCurrent(Displayable next) {
    Displayable old = current;
    current = next;
    if (old instanceof Canvas && old != next) {
      ((Canvas) old).hideNotify();
    }
    if (next instanceof Canvas && old != next) {
      ((Canvas) next).showNotify();
    }
  }

  public void callSerially(Runnable r) { r.run(); }
}
