import static org.junit.Assert.assertArrayEquals;
import static org.junit.Assert.assertEquals;
import static org.junit.Assert.assertNotEquals;
import static org.junit.Assert.assertTrue;
import static org.junit.Assert.fail;

import java.io.ByteArrayInputStream;
import java.io.IOException;
import java.util.Arrays;
import java.util.Random;
import org.junit.Test;

public class TConfigTest {
  static TConfig read(byte[] bytes) throws IOException {
    TConfig c = new TConfig();
    c.read(new ByteArrayInputStream(bytes));
    return c;
  }

  static String failure(byte[] bytes) {
    try {
      read(bytes);
    } catch (IOException e) {
      return e.getMessage();
    }
    fail("pack was accepted");
    return null;
  }

  static String[] rows(TConfig c, int p) {
    String[] r = new String[c.height[p]];
    for (int y = 0; y < r.length; y++) {
      StringBuilder b = new StringBuilder();
      for (int x = 0; x < c.width[p]; x++) {
        b.append(c.filled(p, x, y) ? '#' : '.');
      }
      r[y] = b.toString();
    }
    return r;
  }

  @Test
  public void readsTheBytesOfAThreeByThreePack() throws IOException {
    // One 3 x 3 picture with only its last pixel filled: eight pixels fill the
    // first byte, the ninth sits alone in bit 7 of the second.
    byte[] pack = new PackBytes().raw(0, 0, 0, 1, 0, 0, 0, 2, 0, 0x61, 0, 0x62)
        .raw(0, 0, 0, 5, 0, 0x31, 0, 0x2e, 0, 0x30, 0, 0x2e, 0, 0x30)
        .raw(0, 0, 0, 3, 0, 0, 0, 3, 0x00, 0x80).raw(0, 0, 0, 0).bytes();
    TConfig c = read(pack);
    assertEquals(1, c.count);
    assertEquals("ab", c.info);
    assertEquals("1.0.0", c.version);
    assertArrayEquals(new String[] {"...", "...", "..#"}, rows(c, 0));
    assertEquals("", c.note[0]);
  }

  @Test
  public void placesTheEarliestPixelOfAFullByteInBitZero() throws IOException {
    byte[] pack = new PackBytes().int32(1).text("").text("1.0.0")
        .int32(3).int32(3).raw(0x01, 0x00).text("").bytes();
    assertArrayEquals(new String[] {"#..", "...", "..."}, rows(read(pack), 0));
  }

  @Test
  public void readsOddSizesAndTheirLastByte() throws IOException {
    String[][] pictures = {
        {"#"}, {"."}, {"#.", ".#", "##", "#."}, {"#.#", ".#.", "#.#"}, {"#####"},
        {"#", ".", "#", "#", ".", "#", "#"}, {"##.#.##", "#.....#"}, {},
    };
    for (String[] p : pictures) {
      TConfig c = read(PackBytes.pack("", p, "n"));
      assertArrayEquals(Arrays.toString(p), p, rows(c, 0));
      assertEquals("n", c.note[0]);
    }
  }

  @Test
  public void readsPicturesWithoutCells() throws IOException {
    byte[] pack = new PackBytes().int32(2).text("").text("1.0.0")
        .int32(0).int32(0).raw(0).text("empty")
        .int32(4).int32(0).raw(0).text("flat").bytes();
    TConfig c = read(pack);
    assertEquals(2, c.count);
    assertEquals(0, c.width[0]);
    assertEquals(4, c.width[1]);
    assertEquals(0, c.height[1]);
    assertEquals("flat", c.note[1]);
  }

  @Test
  public void readsCyrillicText() throws IOException {
    String info = "Кроссворды для телефона";
    String note = "Пёс и кот";
    TConfig c = read(PackBytes.pack(info, new String[] {"#"}, note));
    assertEquals(info, c.info);
    assertEquals(note, c.note[0]);
  }

  @Test
  public void readsALargePictureAndManyEntries() throws IOException {
    Random r = new Random(7);
    boolean[] cells = new boolean[200 * 200];
    for (int i = 0; i < cells.length; i++) {
      cells[i] = r.nextInt(3) == 0;
    }
    PackBytes p = new PackBytes().int32(3).text("big").text("1.0.0")
        .picture(200, 200, cells).text("first")
        .picture("#.", ".#").text("second")
        .picture(255, 1, new boolean[255]).text("third");
    TConfig c = read(p.bytes());
    for (int i = 0; i < cells.length; i++) {
      assertEquals("pixel " + i, cells[i], c.filled(0, i % 200, i / 200));
    }
    assertArrayEquals(new String[] {"#.", ".#"}, rows(c, 1));
    assertEquals("third", c.note[2]);
    assertEquals(255, c.width[2]);
  }

  @Test
  public void ignoresBytesAfterTheLastNote() throws IOException {
    byte[] pack = PackBytes.pack("", new String[] {"#"}, "x");
    byte[] longer = Arrays.copyOf(pack, pack.length + 3);
    assertEquals(1, read(longer).count);
  }

  @Test
  public void failsCleanlyWhereverAPackIsCut() {
    byte[] pack = PackBytes.pack("Info", new String[] {"#.#", "..."}, "one", new String[] {"##"}, "two");
    for (int n = 0; n < pack.length; n++) {
      assertEquals("cut at " + n, "The crossword file is cut short.", failure(Arrays.copyOf(pack, n)));
    }
  }

  @Test
  public void refusesDamagedCountsBeforeAllocating() {
    Object[][] cases = {
        {new PackBytes().int32(-1).bytes(), "The crossword file is damaged (bad crossword count -1)."},
        {new PackBytes().int32(5000).bytes(), "The crossword file is damaged (bad crossword count 5000)."},
        {new PackBytes().int32(1).int32(-2).bytes(), "The crossword file is damaged (bad text length -2)."},
        {new PackBytes().int32(1).int32(0x7fffffff).bytes(), "The crossword file is damaged (bad text length 2147483647)."},
        {new PackBytes().int32(1).text("").text("1.0.0").int32(-3).int32(2).bytes(),
            "The crossword file is damaged (bad size of crossword 1)."},
        {new PackBytes().int32(1).text("").text("1.0.0").int32(0x40000000).int32(0x40000000).bytes(),
            "The crossword file is cut short."},
        {new PackBytes().int32(1).text("").text("2.0.0").bytes(),
            "This player can not read crossword files of version 2.0.0."},
        {new PackBytes().int32(1).text("").text("1.0.0").picture("#").int32(-1).bytes(),
            "The crossword file is damaged (bad text length -1)."},
    };
    for (Object[] c : cases) {
      assertEquals((String) c[1], failure((byte[]) c[0]));
    }
  }

  @Test
  public void picturesTooLargeForThePlayerAreSkippedAndTheOthersRead() throws IOException {
    // 255 x 255 takes 8129 bytes: eight fit the 64 KB of cells, the ninth not.
    PackBytes p = new PackBytes().int32(12).text("").text("1.0.0");
    p.picture(300, 8, new boolean[300 * 8]).text("wide").picture(8, 256, new boolean[8 * 256]).text("tall");
    for (int i = 0; i < 9; i++) {
      p.picture(255, 255, new boolean[255 * 255]).text("big " + i);
    }
    TConfig c = read(p.picture("#.").text("last").bytes());
    assertEquals(12, c.count);
    for (int i = 0; i < 12; i++) {
      assertEquals("picture " + i, i < 2 || i == 10, c.cells[i] == null);
    }
    assertEquals(300, c.width[0]);
    assertEquals("last", c.note[11]);
    assertTrue(c.filled(11, 0, 0));
  }

  @Test
  public void hashFollowsThePicturesNotTheTexts() throws IOException {
    int base = read(PackBytes.pack("a", new String[] {"#.", ".#"}, "x")).hash;
    assertEquals(base, read(PackBytes.pack("b", new String[] {"#.", ".#"}, "y")).hash);
    assertNotEquals(base, read(PackBytes.pack("a", new String[] {"##", ".#"}, "x")).hash);
    assertNotEquals(base, read(PackBytes.pack("a", new String[] {"#..#"}, "x")).hash);
  }

  @Test
  public void aFailedReadLeavesNoCrosswords() {
    TConfig c = new TConfig();
    try {
      c.read(new ByteArrayInputStream(Arrays.copyOf(PackBytes.pack("", new String[] {"#"}, "x"), 20)));
      fail("accepted");
    } catch (IOException e) {
      assertEquals(0, c.count);
    }
  }
}
