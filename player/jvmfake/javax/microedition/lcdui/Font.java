package javax.microedition.lcdui;

import java.awt.Graphics2D;
import java.awt.image.BufferedImage;

/**
 * Desktop stand-in for the phone font, backed by an AWT font in pixel sizes
 * close to those of a 128 x 128 phone (small 9, medium 11, large 13).
 */
public final class Font {
  public static final int STYLE_PLAIN = 0;
  public static final int STYLE_BOLD = 1;
  public static final int STYLE_ITALIC = 2;
  public static final int STYLE_UNDERLINED = 4;
  public static final int SIZE_SMALL = 8;
  public static final int SIZE_MEDIUM = 0;
  public static final int SIZE_LARGE = 16;
  public static final int FACE_SYSTEM = 0;
  public static final int FACE_MONOSPACE = 32;
  public static final int FACE_PROPORTIONAL = 64;

  private static final Graphics2D MEASURE = new BufferedImage(1, 1, BufferedImage.TYPE_INT_RGB).createGraphics();

  final java.awt.Font awt;
  private final java.awt.FontMetrics metrics;
  private final int face;
  private final int style;
  private final int size;

  private Font(int face, int style, int size) {
    this.face = face;
    this.style = style;
    this.size = size;
    int px = size == SIZE_SMALL ? 9 : size == SIZE_LARGE ? 13 : 11;
    int awtStyle = ((style & STYLE_BOLD) != 0 ? java.awt.Font.BOLD : 0)
        | ((style & STYLE_ITALIC) != 0 ? java.awt.Font.ITALIC : 0);
    awt = new java.awt.Font(face == FACE_MONOSPACE ? java.awt.Font.MONOSPACED : java.awt.Font.SANS_SERIF, awtStyle, px);
    metrics = MEASURE.getFontMetrics(awt);
  }

  public static Font getDefaultFont() {
    return new Font(FACE_SYSTEM, STYLE_PLAIN, SIZE_MEDIUM);
  }

  public static Font getFont(int face, int style, int size) {
    if ((face & ~(FACE_MONOSPACE | FACE_PROPORTIONAL)) != 0 || (size != SIZE_SMALL && size != SIZE_MEDIUM && size != SIZE_LARGE)) {
      throw new IllegalArgumentException("bad font");
    }
    return new Font(face, style, size);
  }

  public int getStyle() { return style; }

  public int getSize() { return size; }

  public int getFace() { return face; }

  public boolean isPlain() { return style == STYLE_PLAIN; }

  public boolean isBold() { return (style & STYLE_BOLD) != 0; }

  public boolean isItalic() { return (style & STYLE_ITALIC) != 0; }

  public boolean isUnderlined() { return (style & STYLE_UNDERLINED) != 0; }

  public int getHeight() { return metrics.getAscent() + metrics.getDescent(); }

  public int getBaselinePosition() { return metrics.getAscent(); }

  public int charWidth(char ch) { return metrics.charWidth(ch); }

  public int charsWidth(char[] ch, int offset, int length) { return metrics.charsWidth(ch, offset, length); }

  public int stringWidth(String str) { return metrics.stringWidth(str); }

  public int substringWidth(String str, int offset, int len) { return metrics.stringWidth(str.substring(offset, offset + len)); }
}
