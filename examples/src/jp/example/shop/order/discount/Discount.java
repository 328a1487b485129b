package jp.example.shop.order.discount;

import java.util.HashMap;
import java.util.Map;

/**
 * 値引きの規則。合計金額から値引き後の金額を求める。
 */
public abstract class Discount {
    /** 値引きなし */
    public static final Discount NONE = new Discount() {
        public long apply(long total) {
            return total;
        }

        public String getName() {
            return "なし";
        }
    };

    private static final Map registry = new HashMap();

    // 名前で引けるように登録しておく
    static {
        registry.put(NONE.getName(), NONE);
    }

    /** 合計から値引き後の金額を返す。 */
    public abstract long apply(long total);

    public abstract String getName();

    public static void register(Discount discount) {
        synchronized (registry) {
            registry.put(discount.getName(), discount);
        }
    }

    public static Discount byName(String name) {
        Discount found = (Discount) registry.get(name);
        if (found == null) {
            return NONE;
        }
        return found;
    }
}
