package seeds.classic;

/* ブロックコメント // 中の行コメント */
public abstract class Classic extends Base implements Runnable, java.io.Serializable {
  public static final int MAX = 10;
  public int count;
  private static int total;
  static { total = 0; }

  public Classic(int c) { super(); this.count = c; }

  public void run() {
    int i = 0, j;
    final int N = 3;
    outer: while (i < N) {
      switch (i) { case 0: case 1: i++; break; default: i += 2; }
      do { j = i / 2; } while (j > 100);
      synchronized (this) { total++; }
      try { if (i == 2) throw new RuntimeException("x"); } catch (RuntimeException e) { continue outer; } finally { i++; }
    }
    Runnable r = new Runnable() { public void run() { } };
    char q = '\'', s = '\\';
    String t = "\"// not a comment /* either */";
  }

  abstract int size();
  class Inner { { count = 1; } }
}
