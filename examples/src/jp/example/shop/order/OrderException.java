package jp.example.shop.order;

/**
 * 注文を受け付けられないときの例外。
 */
public class OrderException extends Exception {
    /** 在庫不足 */
    public static final int OUT_OF_STOCK = 1;
    /** 注文が空 */
    public static final int EMPTY_ORDER = 2;

    private final int reason;

    public OrderException(String message, int reason) {
        super(message);
        this.reason = reason;
    }

    public int getReason() {
        return reason;
    }
}
