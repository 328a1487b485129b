package jp.example.shop.order;

import java.util.ArrayList;
import java.util.Collections;
import java.util.Comparator;
import java.util.Iterator;
import java.util.List;

import jp.example.shop.model.Item;
import jp.example.shop.util.Money;

/**
 * 一件の注文。明細行の並びを持つ。
 */
public class Order {
    private static int lastNumber = 1000;

    private final int number;
    private final List lines = new ArrayList();
    private boolean closed;

    /**
     * 注文明細。商品と数量の組。
     */
    public static class Line {
        private final Item item;
        private int quantity;
        private long subtotal;

        // 初期化ブロック: 小計はまだ計算していない
        {
            subtotal = -1;
        }

        Line(Item item, int quantity) {
            this.item = item;
            this.quantity = quantity;
        }

        public Item getItem() {
            return item;
        }

        public int getQuantity() {
            return quantity;
        }

        public long getSubtotal() {
            if (subtotal < 0) {
                subtotal = item.getPriceWithTax() * quantity;
            }
            return subtotal;
        }
    }

    /**
     * 一定額以上の明細だけをたどる反復子（内部クラス）。
     */
    class LargeLineIterator implements Iterator {
        private final long threshold;
        private int position;

        LargeLineIterator(long threshold) {
            this.threshold = threshold;
        }

        public boolean hasNext() {
            while (position < lines.size()) {
                Line line = (Line) lines.get(position);
                if (line.getSubtotal() >= threshold) {
                    return true;
                }
                position++;
            }
            return false;
        }

        public Object next() {
            Object next = lines.get(position);
            position++;
            return next;
        }

        public void remove() {
            throw new UnsupportedOperationException("削除はできません");
        }
    }

    public Order() {
        synchronized (Order.class) {
            lastNumber++;
            number = lastNumber;
        }
    }

    public int getNumber() {
        return number;
    }

    public synchronized void add(Item item, int quantity) {
        if (closed) {
            throw new IllegalStateException("締めた注文には追加できません");
        }
        lines.add(new Line(item, quantity));
    }

    public List getLines() {
        return Collections.unmodifiableList(lines);
    }

    /** 小計の大きい順に並べた明細を返す。 */
    public List getLinesBySubtotal() {
        List sorted = new ArrayList(lines);
        Collections.sort(sorted, new Comparator() {
            public int compare(Object a, Object b) {
                long x = ((Line) a).getSubtotal();
                long y = ((Line) b).getSubtotal();
                if (x == y) {
                    return 0;
                }
                return x > y ? -1 : 1;
            }
        });
        return sorted;
    }

    public Iterator largeLines(long threshold) {
        return new LargeLineIterator(threshold);
    }

    public long getTotal() {
        long total = 0;
        for (Iterator it = lines.iterator(); it.hasNext();) {
            Line line = (Line) it.next();
            total += line.getSubtotal();
        }
        return total;
    }

    public void close() {
        closed = true;
    }

    public boolean isClosed() {
        return closed;
    }

    public String toString() {
        return "注文 " + number + ": " + lines.size() + " 行, " + Money.format(getTotal());
    }
}
