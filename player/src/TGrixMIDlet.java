import java.io.IOException;
import javax.microedition.lcdui.Canvas;
import javax.microedition.lcdui.Command;
import javax.microedition.lcdui.CommandListener;
import javax.microedition.lcdui.Display;
import javax.microedition.lcdui.Displayable;
import javax.microedition.midlet.MIDlet;

/** The suite's main class: loads the crosswords and hands the phone the board's canvas. */
public class TGrixMIDlet extends MIDlet implements CommandListener {
  private TBoard board;

  protected void startApp() {
    if (board != null) {
      board.shown(true);
      return;
    }
    TConfig cfg = new TConfig();
    String error = null;
    try {
      cfg.load();
    } catch (IOException e) {
      error = e.getMessage();
    } catch (OutOfMemoryError e) {
      error = TBoard.NO_MEMORY;
    } catch (RuntimeException e) {
      error = "The crossword file could not be read.";
    }
    String name = getAppProperty("MIDlet-Name");
    board = new TBoard(this, name == null ? "Crosswords" : name);
    Canvas canvas = TCanvasInit.create();
    boolean full = !(canvas instanceof TCanvas);
    if (!full) {
      // The full-screen canvas refuses commands; its soft keys arrive as key codes.
      canvas.setCommandListener(this);
    }
    board.begin(canvas, full, cfg, error);
    Display.getDisplay(this).setCurrent(canvas);
  }

  protected void pauseApp() {
    if (board != null) {
      board.save();
    }
  }

  protected void destroyApp(boolean unconditional) {
    pauseApp();
  }

  public void commandAction(Command c, Displayable d) {
    TBoard.it.command(c);
  }

  void quit() {
    destroyApp(true);
    notifyDestroyed();
  }
}
