package javax.microedition.lcdui;

public class Display {
  Display() {}

  public static Display getDisplay(javax.microedition.midlet.MIDlet m) { return null; }

  public boolean isColor() { return false; }

  public int numColors() { return 0; }

  public Displayable getCurrent() { return null; }

  public void setCurrent(Displayable nextDisplayable) {}

  public void callSerially(Runnable r) {}
}
