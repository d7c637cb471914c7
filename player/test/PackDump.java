import java.io.FileInputStream;
import java.io.IOException;
import java.io.InputStream;
import java.io.OutputStreamWriter;
import java.io.PrintWriter;
import java.nio.charset.StandardCharsets;

/**
 * Reads a crossword pack through the player's own reader and prints it as
 * text (UTF-8, LF line ends): the crossword count, the information text, then
 * per crossword "W * H", one line of '#' (filled) and '.' per row, and the note
 * (a crossword too large for the player: "W * H unavailable" and the note).
 * Lets tests compare what the desktop tool writes with what the phone reads.
 *
 * Usage: PackDump FILE. Exit 1 with the reader's message when the pack is refused.
 */
public final class PackDump {
  public static void main(String[] args) throws IOException {
    if (args.length != 1) {
      System.err.println("usage: PackDump FILE");
      System.exit(2);
    }
    TConfig c = new TConfig();
    try (InputStream in = new FileInputStream(args[0])) {
      c.read(in);
    } catch (IOException e) {
      System.err.println(e.getMessage());
      System.exit(1);
    }
    PrintWriter out = new PrintWriter(new OutputStreamWriter(System.out, StandardCharsets.UTF_8));
    dump(c, out);
    out.flush();
  }

  static void dump(TConfig c, PrintWriter out) {
    out.print(c.count + "\n");
    out.print(c.info + "\n");
    for (int p = 0; p < c.count; p++) {
      out.print(c.width[p] + " * " + c.height[p] + (c.cells[p] == null ? " unavailable\n" : "\n"));
      for (int y = 0; c.cells[p] != null && y < c.height[p]; y++) {
        StringBuilder b = new StringBuilder();
        for (int x = 0; x < c.width[p]; x++) {
          b.append(c.filled(p, x, y) ? '#' : '.');
        }
        out.print(b + "\n");
      }
      out.print(c.note[p] + "\n");
    }
  }
}
