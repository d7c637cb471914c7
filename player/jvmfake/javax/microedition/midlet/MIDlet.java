package javax.microedition.midlet;

import java.util.HashMap;
import java.util.Map;

/** Desktop stand-in: application properties come from a map the test fills. */
public abstract class MIDlet {
  /** For tests: the suite's manifest and JAD attributes. */
  // desktop only
  public static final Map<String, String> PROPERTIES = new HashMap<>();
  private boolean destroyed;

  protected MIDlet() {}

  protected abstract void startApp() throws MIDletStateChangeException;

  protected abstract void pauseApp();

  protected abstract void destroyApp(boolean unconditional) throws MIDletStateChangeException;

  public final void notifyDestroyed() { destroyed = true; }

  public final void notifyPaused() {}

  public final String getAppProperty(String key) { return PROPERTIES.get(key); }

  public final void resumeRequest() {}

  /** For tests: whether the MIDlet asked to end. */
  // desktop only
  public final boolean isDestroyed() { return destroyed; }

  /** For tests: the phone starting or resuming the MIDlet. */
  // desktop only
  public final void start() throws MIDletStateChangeException { startApp(); }

  /** For tests: the phone pausing the MIDlet. */
  // desktop only
  public final void pause() { pauseApp(); }
}
