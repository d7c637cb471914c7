/** Pictures whose clues are hard to show: many numbers, two and three digits. */
final class Pictures {
  interface Ink {
    boolean at(int x, int y);
  }

  static boolean[] draw(int w, int h, Ink ink) {
    boolean[] c = new boolean[w * h];
    for (int i = 0; i < c.length; i++) {
      c[i] = ink.at(i % w, i / w);
    }
    return c;
  }

  /** 30 x 20: columns whose runs grow to 18, rows of 10 and more. */
  static boolean[] wide() {
    return draw(30, 20, (x, y) -> y < (x * 7 % 19) || (y > 10 && x % 3 != 0) || x < 10 && y % 5 != 0);
  }

  /** 40 x 40: a ring of 10-cell runs, so the top rows read 10 10 10 10. */
  static boolean[] ring() {
    return draw(40, 40, (x, y) -> (x / 10 + y / 10) % 2 == 0 ? (x % 10 != 0 && y % 2 == 0) : y % 10 == 5);
  }

  /** 20 x 20 checker: every row and column "1 1 1 1 1 1 1 1 1 1". */
  static boolean[] checker() {
    return draw(20, 20, (x, y) -> (x + y) % 2 == 0);
  }

  /** 200 x 8: three-digit runs beside many short ones. */
  static boolean[] long3() {
    return draw(200, 8, (x, y) -> y < 3 ? x < 150 || x % 3 == 0 : (x + y) % 4 != 0);
  }

  /**
   * n x n as a typical crossword: a ring, a full top row and a full right
   * column, so no line has more than three runs and the numbers reach n.
   */
  static boolean[] typical(int n) {
    double c = (n - 1) / 2.0;
    return draw(n, n, (x, y) -> {
      double d = Math.hypot(x - c, y - c);
      return y == 0 || x == n - 1 || d <= n * 0.4 && d >= n * 0.22;
    });
  }

  static byte[] pack(int w, int h, boolean[] cells, String note) {
    return new PackBytes().int32(1).text("").text("1.0.0").picture(w, h, cells).text(note).bytes();
  }
}
