import java.io.FileInputStream;
import java.io.IOException;
import java.io.PrintStream;
import java.nio.charset.StandardCharsets;
import java.util.jar.JarEntry;
import java.util.jar.JarInputStream;

/**
 * Reads a suite the way an installer that streams it does, with Java's own
 * streaming JAR reader: prints "MIDlet-1: " and its value from the manifest
 * that reader found, then the entries it went on to find, one a line.
 * Exits 1 when it finds no manifest.
 */
public final class JarStream {
  public static void main(String[] args) throws IOException {
    PrintStream out = new PrintStream(System.out, true, StandardCharsets.UTF_8);
    try (JarInputStream in = new JarInputStream(new FileInputStream(args[0]))) {
      if (in.getManifest() == null) {
        out.println("no manifest");
        System.exit(1);
      }
      out.println("MIDlet-1: " + in.getManifest().getMainAttributes().getValue("MIDlet-1"));
      for (JarEntry e; (e = in.getNextJarEntry()) != null; ) {
        out.println(e.getName());
      }
    }
  }
}
