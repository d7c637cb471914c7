import java.util.Random;
import javax.microedition.lcdui.Graphics;
import javax.microedition.lcdui.Image;

/**
 * Falling snow: a flock of turning flakes drawn from the four snow frames.
 * Positions are kept in sixteenths of a pixel so slow flakes still move
 * smoothly without fractions. Far flakes are plain dots, which gives depth
 * and costs nothing.
 */
public class TSprite {
  private static Image[] frames;

  private final Random random = new Random();
  private final int[] x;
  private final int[] y;
  private final int[] dx;
  private final int[] dy;
  private final int[] phase;
  private int tick;

  TSprite(int count, int width, int height) {
    if (frames == null) {
      frames = new Image[4];
      for (int i = 0; i < 4; i++) {
        try {
          frames[i] = Image.createImage("/snow" + i + ".png");
        } catch (Throwable e) {
          // A missing frame is drawn as a dot.
        }
      }
    }
    x = new int[count];
    y = new int[count];
    dx = new int[count];
    dy = new int[count];
    phase = new int[count];
    for (int i = 0; i < count; i++) {
      place(i, width);
      y[i] = below(height + 8) * 16 - 128;
    }
  }

  private int below(int n) {
    return n <= 0 ? 0 : (random.nextInt() >>> 1) % n;
  }

  private void place(int i, int width) {
    x[i] = below(width + 8) * 16 - 64;
    y[i] = -160;
    dy[i] = 6 + below(22);
    dx[i] = below(9) - 4;
    phase[i] = below(8);
  }

  /** Moves every flake one step; flakes that left the screen start again at the top. */
  void step(int width, int height) {
    tick++;
    for (int i = 0; i < x.length; i++) {
      if ((tick + phase[i]) % 16 == 0) {
        // Flakes drift: now and then one turns the other way.
        dx[i] = -dx[i];
      }
      x[i] += dx[i];
      y[i] += dy[i];
      if (y[i] > height * 16 || x[i] < -160 || x[i] > width * 16 + 16) {
        place(i, width);
      }
    }
  }

  void paint(Graphics g) {
    for (int i = 0; i < x.length; i++) {
      int px = x[i] >> 4;
      int py = y[i] >> 4;
      Image f = frames[((tick >> 2) + phase[i]) & 3];
      if (dy[i] < 14 || f == null) {
        g.setColor(dy[i] < 10 ? 0x9CC4F0 : 0xFFFFFF);
        g.fillRect(px + 3, py + 3, 2, 2);
      } else {
        g.drawImage(f, px, py, Graphics.TOP | Graphics.LEFT);
      }
    }
  }
}
