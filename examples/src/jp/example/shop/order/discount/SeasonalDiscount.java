package jp.example.shop.order.discount;

/**
 * 季節の値引き。一定額以上の注文を割り引く（円未満は切り捨て）。
 */
public class SeasonalDiscount extends Discount {
    private final int percent;
    private final long minimumTotal;

    public SeasonalDiscount(int percent, long minimumTotal) {
        if (percent < 0 || percent > 100) {
            throw new IllegalArgumentException("割引率は 0 から 100 まで: " + percent);
        }
        this.percent = percent;
        this.minimumTotal = minimumTotal;
    }

    public long apply(long total) {
        if (total < minimumTotal) {
            return total;
        }
        return total - total * percent / 100;
    }

    public String getName() {
        return "季節割引" + percent + "%";
    }
}
