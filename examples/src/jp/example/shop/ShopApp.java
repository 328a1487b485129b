package jp.example.shop;

import java.util.Iterator;

import jp.example.shop.model.Book;
import jp.example.shop.model.Category;
import jp.example.shop.model.Food;
import jp.example.shop.model.Item;
import jp.example.shop.order.Order;
import jp.example.shop.order.OrderException;
import jp.example.shop.order.OrderService;
import jp.example.shop.order.discount.Discount;
import jp.example.shop.order.discount.SeasonalDiscount;
import jp.example.shop.util.Messages;
import jp.example.shop.util.Money;
import jp.example.shop.util.TextTable;

/**
 * 小さな店の一日を動かしてみる見本のプログラム。
 */
public class ShopApp {
    /** 開店時に並べる商品 */
    private static Item[] catalog;

    // 品揃えは起動時に一度だけ作る
    static {
        catalog = new Item[] {
            new Book("Java入門", "山田太郎", "978-4-00-000001-1", 2800),
            new Book("設計の基本", "佐藤花子", "978-4-00-000002-8", 3200),
            new Food("おにぎり", 150, 1),
            new Food("緑茶", 120, 180),
        };
        Discount.register(new SeasonalDiscount(10, 5000));
    }

    private final OrderService service;
    private int day;

    public ShopApp(String discountName) {
        service = new OrderService(Discount.byName(discountName));
        day = 1;
    }

    public static void main(String[] args) {
        String discountName = args.length > 0 ? args[0] : "季節割引10%";
        ShopApp app = new ShopApp(discountName);
        app.stockUp(20);
        app.runDay();
        System.out.println(app.report());
    }

    /** すべての商品を同じ数だけ仕入れる。 */
    void stockUp(int amount) {
        for (int i = 0; i < catalog.length; i++) {
            catalog[i].addStock(amount);
        }
    }

    /** 一日分の注文を受ける。在庫切れの注文は記録だけして続ける。 */
    void runDay() {
        Runnable closing = new Runnable() {
            public void run() {
                for (int i = 0; i < catalog.length; i++) {
                    if (catalog[i] instanceof Food) {
                        ((Food) catalog[i]).passDay();
                    }
                }
            }
        };
        int customer = 0;
        while (customer < 5) {
            customer++;
            Order order = new Order();
            order.add(catalog[customer % catalog.length], customer * 3);
            if (customer % 2 == 0) {
                order.add(catalog[0], 1);
            }
            try {
                long paid = service.place(order);
                System.out.println(order + " → " + Money.format(paid));
            } catch (OrderException e) {
                switch (e.getReason()) {
                case OrderException.OUT_OF_STOCK:
                    System.out.println("在庫切れ: " + e.getMessage());
                    break;
                default:
                    System.out.println("受付不可: " + e.getMessage());
                }
            }
        }
        closing.run();
        day++;
    }

    /** 分類ごとの売上行数を表にする。 */
    String report() {
        TextTable table = new TextTable(new String[] {"分類", "行数"});
        int[] categories = {Category.BOOK, Category.FOOD, Category.OTHER};
        for (int i = 0; i < categories.length; i++) {
            table.addRow(new String[] {Category.nameOf(categories[i]),
                    Integer.toString(service.countOf(categories[i]))});
        }
        return Messages.heading() + "\n" + table + "失敗した注文: " + service.getFailedCount();
    }

    int getDay() {
        return day;
    }
}
