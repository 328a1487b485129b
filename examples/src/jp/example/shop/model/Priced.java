package jp.example.shop.model;

/**
 * 価格を持つものを表すインタフェース。
 * 税込み価格の計算に使う税率もここで定める。
 */
public interface Priced {
    /** 消費税率（パーセント） */
    int TAX_RATE_PERCENT = 10;

    /** 税抜き価格を円で返す。 */
    long getPrice();

    /** 税込み価格を円で返す。 */
    long getPriceWithTax();
}
