package jp.example.shop.model;

/**
 * 商品分類の定数と、その表示名。
 */
public final class Category {
    public static final int BOOK = 1;
    public static final int FOOD = 2;
    public static final int OTHER = 9;

    private static final String UNKNOWN = "不明";

    private Category() {
    }

    /** 分類の表示名を返す。 */
    public static String nameOf(int category) {
        String name;
        switch (category) {
        case BOOK:
            name = "書籍";
            break;
        case FOOD:
            name = "食品";
            break;
        case OTHER:
        case 0:
            name = "その他";
            break;
        default:
            name = UNKNOWN;
        }
        return name;
    }

    public static boolean isValid(int category) {
        return !nameOf(category).equals(UNKNOWN);
    }
}
