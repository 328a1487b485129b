package seeds.modern;

import java.util.*;
import java.util.function.Function;

@SuppressWarnings("unchecked")
public sealed interface Shape permits Circle, Square {
  double area();
  default String describe() { return "形: " + area(); }
}

record Circle(double r) implements Shape {
  Circle {
    if (r < 0) throw new IllegalArgumentException("r");
  }
  public double area() { return Math.PI * r * r; }
}

record Square(double side) implements Shape {
  public double area() { return side * side; }
}

enum Colour {
  RED { int code() { return 1; } },
  GREEN { int code() { return 2; } };
  abstract int code();
}

@interface Marker { String value() default ""; int[] ids() default {}; }

class Uses<T extends Comparable<? super T>> {
  private final List<T> items = new ArrayList<>();
  static final String TEXT = """
      テキスト "ブロック" // not a comment
      """;

  <R> List<R> map(Function<? super T, ? extends R> f) {
    List<R> out = new ArrayList<>();
    items.forEach(x -> { out.add(f.apply(x)); });
    return out;
  }

  int kind(Object o) {
    return switch (o) {
      case String s when s.isEmpty() -> 0;
      case Integer i -> { yield i; }
      default -> throw new IllegalStateException();
    };
  }

  void resources(Uses<T> this, String... names) throws Exception {
    try (var in = new java.io.StringReader("x"); var out = new java.io.StringWriter()) {
      out.write(in.read());
    }
    Runnable r = () -> System.out.println(names.length);
    Function<String, Integer> len = String::length;
    int[] a = {1, 2}, b = new int[] {3};
    label:
    for (var x : a) { if (x > 1) break label; else continue; }
    new Object() { @Override public String toString() { return "匿名"; } };
  }
}
