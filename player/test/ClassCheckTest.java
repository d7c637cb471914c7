import static org.junit.Assert.assertEquals;
import static org.junit.Assert.assertTrue;

import java.io.File;
import java.io.IOException;
import java.nio.charset.StandardCharsets;
import java.nio.file.Files;
import java.util.ArrayList;
import java.util.Arrays;
import java.util.List;
import org.junit.Rule;
import org.junit.Test;
import org.junit.rules.TemporaryFolder;

/** The class checker, fed classes compiled the ways that break a phone. */
public class ClassCheckTest {
  @Rule
  public TemporaryFolder tmp = new TemporaryFolder();

  static final File STUBS = new File(System.getProperty("grix.stubs"));
  static final String ECJ = System.getProperty("grix.ecj", "ecj");

  /** Compiles one source against the stubs; target "cldc1.1" preverifies, "1.1" does not. */
  File compile(String target, String name, String source) throws IOException, InterruptedException {
    File src = tmp.newFolder();
    File out = tmp.newFolder();
    File file = new File(src, name + ".java");
    Files.write(file.toPath(), source.getBytes(StandardCharsets.UTF_8));
    List<String> cmd = new ArrayList<>(Arrays.asList(ECJ, "-source", "1.3", "-target", target, "-nowarn",
        "-bootclasspath", STUBS.getPath(), "-d", out.getPath(), file.getPath()));
    Process p = new ProcessBuilder(cmd).redirectErrorStream(true).start();
    String log = new String(p.getInputStream().readAllBytes(), StandardCharsets.UTF_8);
    assertEquals(log, 0, p.waitFor());
    return out;
  }

  List<String> check(File dir, String... expected) throws IOException {
    return ClassCheck.run(STUBS, dir, Arrays.asList(expected));
  }

  static void assertFinding(List<String> findings, String part) {
    for (String f : findings) {
      if (f.contains(part)) {
        return;
      }
    }
    throw new AssertionError("no finding with \"" + part + "\" in " + findings);
  }

  @Test
  public void passesAPlainPreverifiedClass() throws Exception {
    File d = compile("cldc1.1", "A", "public class A { int f(int x) { return x > 0 ? x : -x; }"
        + " String s(int x) { try { return \"v\" + x; } finally { x++; } } }");
    assertEquals(List.of(), check(d, "A"));
  }

  @Test
  public void findsFloatingPoint() throws Exception {
    File d = compile("cldc1.1", "A", "public class A { int f(int x) { float y = x; return (int) (y * 2); } }");
    assertFinding(check(d, "A"), "float or double instruction");
    d = compile("cldc1.1", "B", "public class B { double d; }");
    assertFinding(check(d, "B"), "field d has a double type");
    d = compile("cldc1.1", "C", "public class C { String s(float f) { return \"\" + f; } }");
    List<String> f = check(d, "C");
    assertFinding(f, "uses java/lang/StringBuffer.append(F)");
    d = compile("cldc1.1", "E", "public class E { Object o() { return new float[2]; } }");
    assertFinding(check(d, "E"), "float or double array");
  }

  @Test
  public void findsJsrAndMissingStackMaps() throws Exception {
    File d = compile("1.1", "A", "public class A { int f(int x) { try { x++; } finally { x--; } return x; } }");
    List<String> f = check(d, "A");
    assertFinding(f, "jsr/ret instruction");
    assertFinding(f, "branches without a StackMap");
  }

  @Test
  public void findsClassesAndMethodsThePhoneLacks() throws Exception {
    File d = compile("cldc1.1", "A", "public class A { Class c() { return A.class; } }");
    assertFinding(check(d, "A"), "refers to class java/lang/NoClassDefFoundError");
  }

  @Test
  public void findsNativeFinalizeAndInnerClasses() throws Exception {
    File d = compile("cldc1.1", "A", "public class A { native int n(); protected void finalize() {}"
        + " Runnable r() { return new Runnable() { public void run() {} }; } }");
    List<String> f = check(d, "A");
    assertFinding(f, "native method");
    assertFinding(f, "finalize is not supported");
    assertFinding(f, "A$1.class: unexpected class");
    assertFinding(f, "A.class: inner classes are not allowed");
  }

  @Test
  public void insistsOnTheExpectedClasses() throws Exception {
    File d = compile("cldc1.1", "A", "public class A {}");
    List<String> f = check(d, "A", "B");
    assertEquals(List.of("B.class: missing"), f);
    assertTrue(check(d).contains("A.class: unexpected class (inner, anonymous or extra classes are not allowed)"));
  }

  @Test
  public void insistsThatClassesMadeByNameCanBeMade() throws Exception {
    File d = compile("cldc1.1", "TNokiaCanvas", "public class TNokiaCanvas { TNokiaCanvas(int x) {} }");
    assertEquals(List.of("TNokiaCanvas.class: made by name, so it needs a public constructor without arguments"),
        check(d, "TNokiaCanvas"));
  }

  @Test
  public void findsTextAnchoredAtTheBaseline() throws Exception {
    String draw = "import javax.microedition.lcdui.Graphics; public class A { void p(Graphics g, int a) {";
    File d = compile("cldc1.1", "A", draw + " g.drawString(\"1\", 0, 0, Graphics.TOP | Graphics.LEFT);"
        + " g.drawChar('1', 0, 0, Graphics.BOTTOM | Graphics.HCENTER); } }");
    assertEquals(List.of(), check(d, "A"));
    d = compile("cldc1.1", "A", draw + " g.drawString(\"1\", 0, 0, Graphics.BASELINE | Graphics.LEFT); } }");
    assertFinding(check(d, "A"), "text anchored at BASELINE");
    d = compile("cldc1.1", "A", draw + " g.drawSubstring(\"1\", 0, 1, 0, 0, a); } }");
    assertFinding(check(d, "A"), "text anchor that is not a constant");
  }

  @Test
  public void findsAWrongClassFileVersion() throws Exception {
    File d = tmp.newFolder();
    byte[] a = Files.readAllBytes(new File(compile("cldc1.1", "A", "public class A {}"), "A.class").toPath());
    a[7] = 49;
    Files.write(new File(d, "A.class").toPath(), a);
    assertFinding(check(d, "A"), "class file version 49.3, not 45.3");
  }
}
