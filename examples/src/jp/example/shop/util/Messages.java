package jp.example.shop.util;

/**
 * 利用者に見せる文言。このファイルは Shift_JIS で保存されている。
 * 「表」や「ソ」は二バイト目が 0x5C（円記号）になる文字で、
 * 文字列やコメントの中でも読み誤らないことを確かめるために置いてある。
 */
public class Messages {
    public static final int EMPTY_ORDER = 0;
    public static final int OUT_OF_STOCK = 1;
    public static final int TABLE_TITLE = 2;

    private static final String[] TEXTS = {
        "注文が空です",
        "在庫が足りません: ",
        "売上表（ソフトウェア部門）",
    };

    /** 表示用の文言を返す。番号が範囲外なら空文字列。 */
    public static String get(int key) {
        if (key < 0 || key >= TEXTS.length) {
            return "";
        }
        return TEXTS[key];
    }

    // 表の見出し: "表示" の後ろに円記号 \ を置いても文字列は閉じる
    public static String heading() {
        return get(TABLE_TITLE) + " 表示\\";
    }
}
