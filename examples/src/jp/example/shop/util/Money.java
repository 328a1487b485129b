package jp.example.shop.util;

/**
 * 金額の計算と表示。金額はすべて円単位の long で扱う。
 */
public final class Money {
    /** 通貨記号 */
    public static final String YEN = "¥";

    private Money() {
    }

    /** 税を足した金額（円未満切り捨て）。 */
    public static long addTax(long amount, int percent) {
        return amount + amount * percent / 100;
    }

    /** 三桁ごとにカンマを入れて表示する。例: 1234567 → ¥1,234,567 */
    public static String format(long amount) {
        boolean negative = amount < 0;
        String digits = Long.toString(negative ? -amount : amount);
        StringBuffer out = new StringBuffer();
        int lead = digits.length() % 3;
        if (lead == 0) {
            lead = 3;
        }
        out.append(digits.substring(0, lead));
        for (int i = lead; i < digits.length(); i += 3) {
            out.append(',');
            out.append(digits.substring(i, i + 3));
        }
        return (negative ? "-" : "") + YEN + out.toString();
    }

    /** "1,234" や "¥1234" を読む。読めなければ例外。 */
    public static long parse(String text) {
        long value = 0;
        int i = 0;
        if (text.startsWith(YEN)) {
            i = YEN.length();
        }
        if (i >= text.length()) {
            throw new NumberFormatException("金額がありません: " + text);
        }
        while (i < text.length()) {
            char c = text.charAt(i++);
            if (c == ',') {
                continue;
            }
            if (c < '0' || c > '9') {
                throw new NumberFormatException("数字ではありません: " + c);
            }
            value = value * 10 + (c - '0');
        }
        return value;
    }
}
