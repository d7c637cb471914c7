import static org.junit.Assert.assertEquals;

import java.io.File;
import java.io.IOException;
import java.nio.charset.StandardCharsets;
import java.nio.file.Files;
import org.junit.Rule;
import org.junit.Test;
import org.junit.rules.TemporaryFolder;

/** PackDump's text is what cross-language tests compare, so its exact form is fixed here. */
public class PackDumpTest {
  @Rule
  public TemporaryFolder tmp = new TemporaryFolder();

  String run(byte[] pack, int expectedExit) throws IOException, InterruptedException {
    File f = tmp.newFile("cfg.dat");
    Files.write(f.toPath(), pack);
    Process p = new ProcessBuilder(System.getProperty("java.home") + "/bin/java", "-cp",
        System.getProperty("java.class.path"), "PackDump", f.getPath()).start();
    String out = new String(p.getInputStream().readAllBytes(), StandardCharsets.UTF_8);
    String err = new String(p.getErrorStream().readAllBytes(), StandardCharsets.UTF_8);
    assertEquals(err, expectedExit, p.waitFor());
    return expectedExit == 0 ? out : err;
  }

  @Test
  public void printsTheCanonicalText() throws Exception {
    byte[] pack = new PackBytes().int32(4).text("Сведения").text("1.0.0")
        .picture("#.#", ".#.", "..#").text("Заметка")
        .int32(0).int32(0).raw(0).text("")
        .picture("#.", ".#", "##", "..").text("last").picture(256, 1, new boolean[256]).text("wide").bytes();
    assertEquals("4\nСведения\n3 * 3\n#.#\n.#.\n..#\nЗаметка\n0 * 0\n\n2 * 4\n#.\n.#\n##\n..\nlast\n"
        + "256 * 1 unavailable\nwide\n", run(pack, 0));
  }

  @Test
  public void reportsARefusedPack() throws Exception {
    assertEquals("The crossword file is cut short.\n", run(new byte[] {0, 0, 0, 1, 0}, 1));
  }
}
