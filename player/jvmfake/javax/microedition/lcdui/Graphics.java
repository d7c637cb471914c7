package javax.microedition.lcdui;

import java.awt.Color;
import java.awt.Graphics2D;
import java.awt.RenderingHints;
import java.awt.image.BufferedImage;

/**
 * Desktop stand-in for the phone's Graphics, drawing into a BufferedImage
 * without anti-aliasing, with the phone's pixel rules (a drawn rectangle
 * covers width + 1 by height + 1 pixels, a filled one width by height) and
 * its anchors. Anchors a phone refuses are refused here too.
 */
public class Graphics {
  public static final int HCENTER = 1;
  public static final int VCENTER = 2;
  public static final int LEFT = 4;
  public static final int RIGHT = 8;
  public static final int TOP = 16;
  public static final int BOTTOM = 32;
  public static final int BASELINE = 64;
  public static final int SOLID = 0;
  public static final int DOTTED = 1;

  /** For tests: when set, every text drawn is added as {text, its box, the clip}. */
  // desktop only
  public static java.util.List<Object[]> texts;

  private final Graphics2D g;
  private final int width;
  private final int height;
  private int tx;
  private int ty;
  private int color;
  private Font font = Font.getDefaultFont();
  private int stroke;
  private int clipX;
  private int clipY;
  private int clipW;
  private int clipH;

  Graphics(BufferedImage target) {
    g = target.createGraphics();
    g.setRenderingHint(RenderingHints.KEY_ANTIALIASING, RenderingHints.VALUE_ANTIALIAS_OFF);
    g.setRenderingHint(RenderingHints.KEY_TEXT_ANTIALIASING, RenderingHints.VALUE_TEXT_ANTIALIAS_OFF);
    width = target.getWidth();
    height = target.getHeight();
    setClip(0, 0, width, height);
    setColor(0);
  }

  public void translate(int x, int y) {
    tx += x;
    ty += y;
    g.translate(x, y);
    clipX -= x;
    clipY -= y;
  }

  public int getTranslateX() { return tx; }

  public int getTranslateY() { return ty; }

  public int getColor() { return color; }

  public int getRedComponent() { return color >> 16 & 0xff; }

  public int getGreenComponent() { return color >> 8 & 0xff; }

  public int getBlueComponent() { return color & 0xff; }

  public int getGrayScale() { return (getRedComponent() + getGreenComponent() + getBlueComponent()) / 3; }

  public void setColor(int red, int green, int blue) {
    if ((red | green | blue) < 0 || red > 255 || green > 255 || blue > 255) {
      throw new IllegalArgumentException("bad colour");
    }
    setColor(red << 16 | green << 8 | blue);
  }

  public void setColor(int rgb) {
    color = rgb & 0xffffff;
    g.setColor(new Color(color));
  }

  public void setGrayScale(int value) { setColor(value, value, value); }

  public Font getFont() { return font; }

  public void setStrokeStyle(int style) { stroke = style; }

  public int getStrokeStyle() { return stroke; }

  public void setFont(Font f) {
    font = f == null ? Font.getDefaultFont() : f;
  }

  public int getClipX() { return clipX; }

  public int getClipY() { return clipY; }

  public int getClipWidth() { return clipW; }

  public int getClipHeight() { return clipH; }

  public void clipRect(int x, int y, int w, int h) {
    int x2 = Math.min(clipX + clipW, x + w);
    int y2 = Math.min(clipY + clipH, y + h);
    setClip(Math.max(clipX, x), Math.max(clipY, y), Math.max(0, x2 - Math.max(clipX, x)), Math.max(0, y2 - Math.max(clipY, y)));
  }

  public void setClip(int x, int y, int w, int h) {
    clipX = x;
    clipY = y;
    clipW = Math.max(0, w);
    clipH = Math.max(0, h);
    g.setClip(x, y, clipW, clipH);
  }

  public void drawLine(int x1, int y1, int x2, int y2) { g.drawLine(x1, y1, x2, y2); }

  public void fillRect(int x, int y, int w, int h) {
    if (w > 0 && h > 0) {
      g.fillRect(x, y, w, h);
    }
  }

  public void drawRect(int x, int y, int w, int h) {
    if (w >= 0 && h >= 0) {
      g.drawRect(x, y, w, h);
    }
  }

  public void drawRoundRect(int x, int y, int w, int h, int aw, int ah) { g.drawRoundRect(x, y, w, h, aw, ah); }

  public void fillRoundRect(int x, int y, int w, int h, int aw, int ah) { g.fillRoundRect(x, y, w, h, aw, ah); }

  public void fillArc(int x, int y, int w, int h, int start, int arc) { g.fillArc(x, y, w, h, start, arc); }

  public void drawArc(int x, int y, int w, int h, int start, int arc) { g.drawArc(x, y, w, h, start, arc); }

  private static void checkTextAnchor(int anchor) {
    int h = anchor & (LEFT | RIGHT | HCENTER);
    int v = anchor & (TOP | BOTTOM | BASELINE);
    if ((anchor & VCENTER) != 0 || anchor != (h | v) || Integer.bitCount(h) > 1 || Integer.bitCount(v) > 1) {
      throw new IllegalArgumentException("bad text anchor " + anchor);
    }
  }

  public void drawString(String str, int x, int y, int anchor) {
    checkTextAnchor(anchor);
    int w = font.stringWidth(str);
    if ((anchor & RIGHT) != 0) {
      x -= w;
    } else if ((anchor & HCENTER) != 0) {
      x -= w / 2;
    }
    if ((anchor & BOTTOM) != 0) {
      y -= font.getHeight();
    } else if ((anchor & BASELINE) != 0) {
      y -= font.getBaselinePosition();
    }
    // MIDP: a TOP anchor puts the font's top at y, BOTTOM its bottom (top
    // plus getHeight()), BASELINE its baseline (top plus getBaselinePosition()).
    g.setFont(font.awt);
    g.drawString(str, x, y + font.getBaselinePosition());
    if (texts != null) {
      texts.add(new Object[] {str, new java.awt.Rectangle(x + tx, y + ty, w, font.getHeight()),
          new java.awt.Rectangle(clipX + tx, clipY + ty, clipW, clipH)});
    }
  }

  public void drawSubstring(String str, int offset, int len, int x, int y, int anchor) {
    drawString(str.substring(offset, offset + len), x, y, anchor);
  }

  public void drawChar(char c, int x, int y, int anchor) { drawString(String.valueOf(c), x, y, anchor); }

  public void drawChars(char[] data, int offset, int length, int x, int y, int anchor) {
    drawString(new String(data, offset, length), x, y, anchor);
  }

  public void drawImage(Image img, int x, int y, int anchor) {
    int h = anchor & (LEFT | RIGHT | HCENTER);
    int v = anchor & (TOP | BOTTOM | VCENTER);
    if ((anchor & BASELINE) != 0 || anchor != (h | v) || Integer.bitCount(h) > 1 || Integer.bitCount(v) > 1) {
      throw new IllegalArgumentException("bad image anchor " + anchor);
    }
    if ((anchor & RIGHT) != 0) {
      x -= img.getWidth();
    } else if ((anchor & HCENTER) != 0) {
      x -= img.getWidth() / 2;
    }
    if ((anchor & BOTTOM) != 0) {
      y -= img.getHeight();
    } else if ((anchor & VCENTER) != 0) {
      y -= img.getHeight() / 2;
    }
    g.drawImage(img.pixels, x, y, null);
  }
}
