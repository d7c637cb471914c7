package java.lang;

public final class System {
  public static final java.io.PrintStream out = null;
  public static final java.io.PrintStream err = null;

  private System() {}

  public static long currentTimeMillis() { return 0; }

  public static void arraycopy(Object src, int srcPos, Object dst, int dstPos, int length) {}

  public static int identityHashCode(Object x) { return 0; }

  public static String getProperty(String key) { return null; }

  public static void exit(int status) {}

  public static void gc() {}
}
