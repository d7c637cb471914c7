import javax.microedition.lcdui.Canvas;

/** Picks the canvas the phone can show. */
public class TCanvasInit {
  /**
   * The full-screen canvas where the phone has the class it extends, else the
   * standard one. The full-screen canvas is only named as a string, so that
   * phones without its base class never have to load it.
   */
  static Canvas create() {
    try {
      Class.forName("com.nokia.mid.ui.FullCanvas");
      return (Canvas) Class.forName("TNokiaCanvas").newInstance();
    } catch (Throwable e) {
      return new TCanvas();
    }
  }
}
