package jp.example.shop.model;

/**
 * 書籍。著者名と ISBN を持つ。
 */
public class Book extends Item {
    private String author;
    private String isbn;

    public Book(String name, String author, String isbn, long price) {
        super(name, price);
        this.author = author;
        this.isbn = isbn;
    }

    public int getCategory() {
        return Category.BOOK;
    }

    public String getAuthor() {
        return author;
    }

    /** ISBN の数字だけを取り出す（ハイフンを除く）。 */
    public String getIsbnDigits() {
        StringBuffer digits = new StringBuffer();
        for (int i = 0; i < isbn.length(); i++) {
            char c = isbn.charAt(i);
            if (c == '-') {
                continue;
            }
            digits.append(c);
        }
        return digits.toString();
    }
}
