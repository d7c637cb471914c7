import java.io.File;
import java.io.FileInputStream;
import java.io.IOException;
import java.util.ArrayList;
import java.util.Arrays;
import java.util.HashMap;
import java.util.HashSet;
import java.util.List;
import java.util.Map;
import java.util.Set;
import java.util.TreeSet;
import java.util.zip.ZipEntry;
import java.util.zip.ZipInputStream;

/**
 * Checks the player's class files against what a MIDP-1.0 / CLDC-1.0 phone
 * accepts, using our API stubs as the phone's library. A compiler happily
 * produces code such a phone refuses (float arithmetic, a method the stubs do
 * not have, a class literal's helper class), and the phone only says so at
 * install time, so every build runs this and fails on the first finding.
 *
 * Usage: ClassCheck STUBS(jar or folder) CLASSDIR [expected class names...]
 * Prints one line per finding and exits 1 when there is any.
 */
public final class ClassCheck {
  /** The player's classes, in the order the payload carries them. */
  public static final List<String> PLAYER = Arrays.asList(
      "TCanvas", "TNokiaCanvas", "TCanvasInit", "TGrixMIDlet", "TBoard", "TConfig", "TSprite");

  /** Classes made by name (the phone makes the MIDlet, the canvas picker the full-screen canvas). */
  static final List<String> BY_NAME = Arrays.asList("TGrixMIDlet", "TNokiaCanvas");

  // ---- the phone's library, from the stubs ----

  final Map<String, ClassFile> api = new HashMap<>();

  void loadStubs(File stubs) throws IOException {
    if (stubs.isDirectory()) {
      loadTree(stubs);
      return;
    }
    try (ZipInputStream zip = new ZipInputStream(new FileInputStream(stubs))) {
      for (ZipEntry e; (e = zip.getNextEntry()) != null; ) {
        if (e.getName().endsWith(".class")) {
          ClassFile c = ClassFile.parse(ClassFile.readAll(zip));
          api.put(c.name, c);
        }
      }
    }
  }

  private void loadTree(File dir) throws IOException {
    File[] files = dir.listFiles();
    Arrays.sort(files);
    for (File f : files) {
      if (f.isDirectory()) {
        loadTree(f);
      } else if (f.getName().endsWith(".class")) {
        ClassFile c = ClassFile.parse(ClassFile.readFile(f));
        api.put(c.name, c);
      }
    }
  }

  /** Whether the class or one of its supertypes in the known classes declares the member. */
  private boolean declares(String cls, String name, String desc, boolean method, Map<String, ClassFile> known) {
    Set<String> seen = new HashSet<>();
    List<String> todo = new ArrayList<>();
    todo.add(cls);
    while (!todo.isEmpty()) {
      String n = todo.remove(todo.size() - 1);
      ClassFile c = known.get(n);
      if (c == null || !seen.add(n)) {
        continue;
      }
      for (ClassFile.Member m : method ? c.methods : c.fields) {
        if (m.name.equals(name) && m.desc.equals(desc)) {
          return true;
        }
      }
      if (c.superName != null) {
        todo.add(c.superName);
      }
      todo.addAll(c.interfaces);
    }
    return false;
  }

  // ---- the checks ----

  final List<String> findings = new ArrayList<>();

  private void report(String where, String what) {
    findings.add(where + ": " + what);
  }

  /** Checks a folder of class files that must hold exactly the expected classes. */
  void checkFolder(File dir, List<String> expected) throws IOException {
    Map<String, ClassFile> classes = new HashMap<>();
    Set<String> found = new TreeSet<>();
    File[] files = dir.listFiles();
    if (files == null) {
      report(dir.getPath(), "no such folder");
      return;
    }
    Arrays.sort(files);
    for (File f : files) {
      if (f.isDirectory()) {
        report(f.getName(), "a package folder; the player's classes are all in the default package");
      } else if (f.getName().endsWith(".class")) {
        String n = f.getName().substring(0, f.getName().length() - 6);
        found.add(n);
        try {
          ClassFile c = ClassFile.parse(ClassFile.readFile(f));
          if (!c.name.equals(n)) {
            report(f.getName(), "holds class " + c.name);
          }
          classes.put(c.name, c);
        } catch (IOException | RuntimeException e) {
          report(f.getName(), "unreadable class file: " + e.getMessage());
        }
      }
    }
    for (String n : found) {
      if (!expected.contains(n)) {
        report(n + ".class", "unexpected class (inner, anonymous or extra classes are not allowed)");
      }
    }
    for (String n : expected) {
      if (!found.contains(n)) {
        report(n + ".class", "missing");
      }
    }
    Map<String, ClassFile> known = new HashMap<>(api);
    known.putAll(classes);
    for (ClassFile c : classes.values()) {
      check(c, known);
      if (BY_NAME.contains(c.name) && !hasPublicConstructor(c)) {
        report(c.name + ".class", "made by name, so it needs a public constructor without arguments");
      }
    }
    findings.sort(null);
  }

  private static boolean hasPublicConstructor(ClassFile c) {
    for (ClassFile.Member m : c.methods) {
      if (m.name.equals("<init>") && m.desc.equals("()V") && (m.flags & 0x0001) != 0) {
        return true;
      }
    }
    return false;
  }

  void check(ClassFile c, Map<String, ClassFile> known) {
    String at = c.name + ".class";
    if (c.major != 45 || c.minor != 3) {
      report(at, "class file version " + c.major + "." + c.minor + ", not 45.3");
    }
    if (c.name.indexOf('$') >= 0 || c.attributes.contains("InnerClasses")) {
      report(at, "inner classes are not allowed");
    }
    for (int i = 1; i < c.tags.length; i++) {
      switch (c.tags[i]) {
        case 4:
          report(at, "float constant");
          break;
        case 6:
          report(at, "double constant");
          break;
        case 7:
          checkClassRef(at, c.className(i), known);
          break;
        case 9: case 10: case 11: {
          String owner = c.className(c.a[i]);
          String name = c.utf[c.a[c.b[i]]];
          String desc = c.utf[c.b[c.b[i]]];
          checkDescriptor(at, name + " " + desc, desc, known);
          String base = owner.startsWith("[") ? "java/lang/Object" : owner;
          if (known.containsKey(base) && !declares(base, name, desc, c.tags[i] != 9, known)) {
            report(at, "uses " + owner + "." + name + desc + ", which the phone's library does not have");
          }
          break;
        }
        case 15: case 16: case 17: case 18:
          report(at, "constant pool entry of a newer class-file version");
          break;
        default:
      }
    }
    if (c.superName != null) {
      checkClassRef(at, c.superName, known);
    }
    for (ClassFile.Member f : c.fields) {
      checkDescriptor(at, "field " + f.name, f.desc, known);
    }
    for (ClassFile.Member m : c.methods) {
      String where = at + " " + m.name + m.desc;
      checkDescriptor(at, "method " + m.name, m.desc, known);
      if ((m.flags & 0x0100) != 0) {
        findings.add(where + ": native method");
      }
      if (m.name.equals("finalize")) {
        findings.add(where + ": finalize is not supported");
      }
      if (m.code != null) {
        checkCode(where, m, c);
      }
    }
  }

  private void checkClassRef(String at, String name, Map<String, ClassFile> known) {
    if (name.startsWith("[")) {
      checkDescriptor(at, "array " + name, name, known);
      return;
    }
    if (!known.containsKey(name)) {
      report(at, "refers to class " + name + ", which the phone's library does not have");
    }
  }

  /** Every type in a descriptor: no float or double, and only classes the phone has. */
  private void checkDescriptor(String at, String what, String desc, Map<String, ClassFile> known) {
    for (int i = 0; i < desc.length(); i++) {
      char ch = desc.charAt(i);
      if (ch == 'L') {
        int end = desc.indexOf(';', i);
        String n = desc.substring(i + 1, end);
        if (!known.containsKey(n)) {
          report(at, what + " names class " + n + ", which the phone's library does not have");
        }
        i = end;
      } else if (ch == 'F' || ch == 'D') {
        report(at, what + " has a " + (ch == 'F' ? "float" : "double") + " type");
      }
    }
  }

  private static final Set<Integer> FLOATING = new HashSet<>();
  private static final int[] LENGTH = new int[256];

  static {
    int[] fp = {0x0b, 0x0c, 0x0d, 0x0e, 0x0f, 0x17, 0x18, 0x22, 0x23, 0x24, 0x25, 0x26, 0x27, 0x28,
        0x29, 0x30, 0x31, 0x38, 0x39, 0x43, 0x44, 0x45, 0x46, 0x47, 0x48, 0x49, 0x4a, 0x51, 0x52,
        0x62, 0x63, 0x66, 0x67, 0x6a, 0x6b, 0x6e, 0x6f, 0x72, 0x73, 0x76, 0x77, 0x86, 0x87, 0x89,
        0x8a, 0x8b, 0x8c, 0x8d, 0x8e, 0x8f, 0x90, 0x95, 0x96, 0x97, 0x98, 0xae, 0xaf};
    for (int op : fp) {
      FLOATING.add(op);
    }
    Arrays.fill(LENGTH, 1);
    for (int op : new int[] {0x10, 0x12, 0x15, 0x16, 0x17, 0x18, 0x19, 0x36, 0x37, 0x38, 0x39, 0x3a,
        0xa9, 0xbc}) {
      LENGTH[op] = 2;
    }
    for (int op : new int[] {0x11, 0x13, 0x14, 0x84, 0xb2, 0xb3, 0xb4, 0xb5, 0xb6, 0xb7, 0xb8, 0xbb,
        0xbd, 0xc0, 0xc1}) {
      LENGTH[op] = 3;
    }
    for (int op = 0x99; op <= 0xa8; op++) {
      LENGTH[op] = 3;
    }
    LENGTH[0xc6] = 3;
    LENGTH[0xc7] = 3;
    LENGTH[0xc5] = 4;
    LENGTH[0xb9] = 5;
    LENGTH[0xba] = 5;
    LENGTH[0xc8] = 5;
    LENGTH[0xc9] = 5;
  }

  /** The Graphics methods that draw text, whose last argument is the anchor. */
  static final Set<String> TEXT = new HashSet<>(Arrays.asList("drawString", "drawChar", "drawChars", "drawSubstring"));

  /** The value an instruction pushes when it pushes an int constant, else null. */
  private static Integer constant(byte[] code, int pc) {
    int op = code[pc] & 0xff;
    if (op >= 0x02 && op <= 0x08) {
      return op - 0x03;
    }
    if (op == 0x10) {
      return (int) code[pc + 1];
    }
    if (op == 0x11) {
      return (int) (short) ((code[pc + 1] & 0xff) << 8 | code[pc + 2] & 0xff);
    }
    return null;
  }

  private void checkCode(String where, ClassFile.Member m, ClassFile c) {
    byte[] code = m.code;
    boolean branches = m.handlers > 0;
    Set<String> said = new TreeSet<>();
    int pc = 0;
    int previous = -1;
    while (pc < code.length) {
      int op = code[pc] & 0xff;
      int len = LENGTH[op];
      if (op == 0xb6) {
        // Runtimes disagree on where a BASELINE anchor puts text (some a line
        // too low), so text is placed from the font's metrics with TOP or
        // BOTTOM anchors, given as constants so that this can prove it.
        int ref = (code[pc + 1] & 0xff) << 8 | code[pc + 2] & 0xff;
        if (c.className(c.a[ref]).equals("javax/microedition/lcdui/Graphics") && TEXT.contains(c.utf[c.a[c.b[ref]]])) {
          Integer anchor = previous < 0 ? null : constant(code, previous);
          if (anchor == null) {
            said.add("text anchor that is not a constant");
          } else if ((anchor & 64) != 0) {
            said.add("text anchored at BASELINE");
          }
        }
      }
      if (FLOATING.contains(op)) {
        said.add("float or double instruction");
      } else if (op == 0xa8 || op == 0xc9 || op == 0xa9) {
        said.add("jsr/ret instruction");
      } else if (op == 0xbc && pc + 1 < code.length && (code[pc + 1] == 6 || code[pc + 1] == 7)) {
        said.add("float or double array");
      } else if (op == 0xba) {
        said.add("invokedynamic");
      }
      if ((op >= 0x99 && op <= 0xa7) || op == 0xc6 || op == 0xc7 || op == 0xc8) {
        branches = true;
      }
      if (op == 0xaa || op == 0xab) {
        branches = true;
        int base = (pc + 4) & ~3;
        if (op == 0xaa) {
          int low = readInt(code, base + 4);
          int high = readInt(code, base + 8);
          len = base - pc + 12 + 4 * (high - low + 1);
        } else {
          len = base - pc + 8 + 8 * readInt(code, base + 4);
        }
      } else if (op == 0xc4) {
        int inner = code[pc + 1] & 0xff;
        len = inner == 0x84 ? 6 : 4;
        if (inner == 0xa9) {
          said.add("jsr/ret instruction");
        }
        if (inner == 0x17 || inner == 0x18 || inner == 0x38 || inner == 0x39) {
          said.add("float or double instruction");
        }
      }
      previous = pc;
      pc += len;
    }
    if (branches && !m.stackMap) {
      said.add("branches without a StackMap (not preverified)");
    }
    for (String s : said) {
      findings.add(where + ": " + s);
    }
  }

  private static int readInt(byte[] b, int i) {
    return (b[i] & 0xff) << 24 | (b[i + 1] & 0xff) << 16 | (b[i + 2] & 0xff) << 8 | (b[i + 3] & 0xff);
  }

  /** Runs the checks and answers the findings, sorted. */
  public static List<String> run(File stubs, File classes, List<String> expected) throws IOException {
    ClassCheck check = new ClassCheck();
    check.loadStubs(stubs);
    if (check.api.isEmpty()) {
      throw new IOException("no classes in the stubs " + stubs);
    }
    check.checkFolder(classes, expected);
    return check.findings;
  }

  public static void main(String[] args) throws IOException {
    if (args.length < 2) {
      System.err.println("usage: ClassCheck STUBS CLASSDIR [CLASS...]");
      System.exit(2);
    }
    List<String> expected = args.length > 2 ? Arrays.asList(args).subList(2, args.length) : PLAYER;
    List<String> findings = run(new File(args[0]), new File(args[1]), expected);
    for (String f : findings) {
      System.out.println(f);
    }
    if (!findings.isEmpty()) {
      System.out.println(findings.size() + " problem(s) in " + args[1]);
      System.exit(1);
    }
  }
}
