package jp.example.shop.model;

import jp.example.shop.util.Money;

/**
 * 商品の基底クラス。
 * すべての商品は番号・名前・税抜き価格を持つ。
 */
public abstract class Item implements Priced, Comparable {
    /** 名前の最大長 */
    public static final int MAX_NAME_LENGTH = 40;

    /** これまでに作られた商品の数 */
    public static int createdCount;

    /** 次に振る商品番号 */
    private static int nextId = 1;

    /** 商品名（誰でも読み書きできる） */
    public String name;

    private final int id;
    private long price;
    protected int stock;

    protected Item(String name, long price) {
        if (name == null || name.length() == 0) {
            throw new IllegalArgumentException("商品名がありません");
        }
        if (name.length() > MAX_NAME_LENGTH) {
            name = name.substring(0, MAX_NAME_LENGTH);
        }
        this.name = name;
        this.price = price;
        this.id = nextId;
        nextId++;
        createdCount++;
    }

    /** 商品の分類を返す。サブクラスが決める。 */
    public abstract int getCategory();

    public final int getId() {
        return id;
    }

    public long getPrice() {
        return price;
    }

    public long getPriceWithTax() {
        return Money.addTax(price, TAX_RATE_PERCENT);
    }

    /** 値引き後の価格を設定する。負の価格は受け付けない。 */
    public void setPrice(long price) {
        if (price < 0) {
            throw new IllegalArgumentException("価格が負です: " + price);
        }
        this.price = price;
    }

    public int getStock() {
        return stock;
    }

    public synchronized void addStock(int amount) {
        stock += amount;
    }

    /** 在庫から取り出す。足りなければ取り出せた数だけ返す。 */
    public synchronized int takeStock(int amount) {
        int taken = amount;
        if (taken > stock) {
            taken = stock;
        }
        stock -= taken;
        return taken;
    }

    public int compareTo(Object other) {
        Item that = (Item) other;
        if (price != that.price) {
            return price < that.price ? -1 : 1;
        }
        return name.compareTo(that.name);
    }

    public String toString() {
        return "#" + id + " " + name + " (" + Money.format(price) + ")";
    }
}
