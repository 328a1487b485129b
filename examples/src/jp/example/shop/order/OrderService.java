package jp.example.shop.order;

import java.util.ArrayList;
import java.util.HashMap;
import java.util.Iterator;
import java.util.List;
import java.util.Map;

import jp.example.shop.model.Category;
import jp.example.shop.model.Item;
import jp.example.shop.order.discount.Discount;
import jp.example.shop.util.Messages;

/**
 * 注文の受付と集計。
 * 在庫の引き当ては同時に一件ずつ行う。
 */
public class OrderService {
    /** 一度に注文できる最大数量 */
    public static final int MAX_QUANTITY = 99;

    private final Object stockLock = new Object();
    private final List orders = new ArrayList();
    private final Map countsByCategory = new HashMap();
    private Discount discount;
    int failedCount;

    public OrderService(Discount discount) {
        this.discount = discount;
    }

    public void setDiscount(Discount discount) {
        this.discount = discount;
    }

    /**
     * 注文を確定する。在庫が足りなければ例外を投げ、引き当てた在庫を戻す。
     */
    public long place(Order order) throws OrderException {
        List lines = order.getLines();
        if (lines.isEmpty()) {
            failedCount++;
            throw new OrderException(Messages.get(Messages.EMPTY_ORDER), OrderException.EMPTY_ORDER);
        }
        int reserved = 0;
        try {
            synchronized (stockLock) {
                for (int i = 0; i < lines.size(); i++) {
                    Order.Line line = (Order.Line) lines.get(i);
                    int quantity = line.getQuantity();
                    if (quantity > MAX_QUANTITY) {
                        quantity = MAX_QUANTITY;
                    } else if (quantity <= 0) {
                        continue;
                    }
                    if (line.getItem().takeStock(quantity) < quantity) {
                        throw new OrderException(Messages.get(Messages.OUT_OF_STOCK) + line.getItem().name,
                                OrderException.OUT_OF_STOCK);
                    }
                    reserved++;
                    countCategory(line.getItem().getCategory());
                }
            }
        } catch (OrderException e) {
            failedCount++;
            giveBack(lines, reserved);
            throw e;
        } finally {
            order.close();
        }
        orders.add(order);
        return discount.apply(order.getTotal());
    }

    /** 引き当てた先頭 count 行の在庫を戻す。 */
    private void giveBack(List lines, int count) {
        int i = count;
        do {
            i--;
            if (i < 0) {
                break;
            }
            Order.Line line = (Order.Line) lines.get(i);
            line.getItem().addStock(line.getQuantity());
        } while (i > 0);
    }

    private void countCategory(int category) {
        String key = Category.nameOf(category);
        Integer count = (Integer) countsByCategory.get(key);
        if (count == null) {
            countsByCategory.put(key, new Integer(1));
        } else {
            countsByCategory.put(key, new Integer(count.intValue() + 1));
        }
    }

    /** 指定の商品を含む最初の注文の番号。なければ -1。 */
    public int findOrderWith(Item item) {
        int found = -1;
        search:
        for (Iterator it = orders.iterator(); it.hasNext();) {
            Order order = (Order) it.next();
            Iterator lines = order.getLines().iterator();
            while (lines.hasNext()) {
                Order.Line line = (Order.Line) lines.next();
                if (line.getItem() == item) {
                    found = order.getNumber();
                    break search;
                }
            }
        }
        return found;
    }

    /** 分類ごとの注文行数。 */
    public int countOf(int category) {
        Integer count = (Integer) countsByCategory.get(Category.nameOf(category));
        return count == null ? 0 : count.intValue();
    }

    public int getOrderCount() {
        return orders.size();
    }

    public int getFailedCount() {
        return failedCount;
    }
}
