package javax.microedition.lcdui;

import java.awt.image.BufferedImage;
import java.io.ByteArrayInputStream;
import java.io.IOException;
import java.io.InputStream;
import javax.imageio.ImageIO;

/** Desktop stand-in for a phone image: an ARGB BufferedImage. Resources come from the class path. */
public class Image {
  final BufferedImage pixels;
  private final boolean mutable;

  Image(BufferedImage pixels, boolean mutable) {
    this.pixels = pixels;
    this.mutable = mutable;
  }

  public static Image createImage(int width, int height) {
    if (width <= 0 || height <= 0) {
      throw new IllegalArgumentException("bad image size");
    }
    BufferedImage b = new BufferedImage(width, height, BufferedImage.TYPE_INT_RGB);
    java.awt.Graphics2D g = b.createGraphics();
    g.setColor(java.awt.Color.WHITE);
    g.fillRect(0, 0, width, height);
    g.dispose();
    return new Image(b, true);
  }

  public static Image createImage(Image source) {
    return new Image(source.pixels, false);
  }

  public static Image createImage(String name) throws IOException {
    InputStream in = Image.class.getResourceAsStream(name);
    if (in == null) {
      throw new IOException("no resource " + name);
    }
    try (InputStream s = in) {
      BufferedImage b = ImageIO.read(s);
      if (b == null) {
        throw new IOException("not a picture: " + name);
      }
      return new Image(toArgb(b), false);
    }
  }

  public static Image createImage(byte[] imageData, int imageOffset, int imageLength) {
    try {
      BufferedImage b = ImageIO.read(new ByteArrayInputStream(imageData, imageOffset, imageLength));
      if (b == null) {
        throw new IllegalArgumentException("not a picture");
      }
      return new Image(toArgb(b), false);
    } catch (IOException e) {
      throw new IllegalArgumentException(e.getMessage());
    }
  }

  private static BufferedImage toArgb(BufferedImage b) {
    BufferedImage r = new BufferedImage(b.getWidth(), b.getHeight(), BufferedImage.TYPE_INT_ARGB);
    java.awt.Graphics2D g = r.createGraphics();
    g.drawImage(b, 0, 0, null);
    g.dispose();
    return r;
  }

  public Graphics getGraphics() {
    if (!mutable) {
      throw new IllegalStateException("immutable image");
    }
    return new Graphics(pixels);
  }

  public int getWidth() { return pixels.getWidth(); }

  public int getHeight() { return pixels.getHeight(); }

  public boolean isMutable() { return mutable; }
}
