package jp.example.shop.model;

/**
 * 食品。賞味期限（日数）と栄養表示を持つ。
 */
public class Food extends Item {
    /** 賞味期限が近いとみなす残り日数 */
    static final int NEAR_EXPIRY_DAYS = 3;

    private int daysLeft;
    private Nutrition nutrition;

    /**
     * 栄養表示。値は 100g 当たり。
     */
    public static class Nutrition {
        private int calories;
        private double salt;
        private String[] allergens;

        // 初期化ブロック: アレルゲンは空で始める
        {
            allergens = new String[0];
            salt = 0.0;
        }

        public Nutrition(int calories) {
            this.calories = calories;
        }

        public int getCalories() {
            return calories;
        }

        public void setAllergens(String[] allergens) {
            this.allergens = allergens;
        }

        public boolean contains(String allergen) {
            int i = 0;
            while (i < allergens.length) {
                if (allergens[i].equals(allergen)) {
                    return true;
                }
                i++;
            }
            return false;
        }
    }

    public Food(String name, long price, int daysLeft) {
        super(name, price);
        this.daysLeft = daysLeft;
        this.nutrition = new Nutrition(0);
    }

    public int getCategory() {
        return Category.FOOD;
    }

    public Nutrition getNutrition() {
        return nutrition;
    }

    public boolean isNearExpiry() {
        return daysLeft <= NEAR_EXPIRY_DAYS;
    }

    /** 一日経過させる。期限切れなら在庫をなくす。 */
    public void passDay() {
        daysLeft--;
        if (daysLeft < 0) {
            stock = 0;
        } else if (isNearExpiry()) {
            setPrice(getPrice() / 2);
        }
    }
}
