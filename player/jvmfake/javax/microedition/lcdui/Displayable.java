package javax.microedition.lcdui;

import java.util.ArrayList;
import java.util.List;

/** Desktop stand-in: keeps the commands so tests can see and fire them. */
public abstract class Displayable {
  final List<Command> commands = new ArrayList<>();
  CommandListener listener;

  Displayable() {}

  public boolean isShown() { return Display.current == this; }

  public void addCommand(Command cmd) {
    if (!commands.contains(cmd)) {
      commands.add(cmd);
    }
  }

  public void removeCommand(Command cmd) { commands.remove(cmd); }

  public void setCommandListener(CommandListener l) { listener = l; }

  /** For tests: the labels of the commands on show, in the order they were added. */
  // desktop only
  public List<String> commandLabels() {
    List<String> r = new ArrayList<>();
    for (Command c : commands) {
      r.add(c.getLabel());
    }
    return r;
  }

  /** For tests: fires the command with this label as the phone would. */
  // desktop only
  public void fireCommand(String label) {
    for (Command c : new ArrayList<>(commands)) {
      if (c.getLabel().equals(label)) {
        listener.commandAction(c, this);
        return;
      }
    }
    throw new IllegalStateException("no command " + label + " among " + commandLabels());
  }
}
