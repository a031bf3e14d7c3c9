package nested.alpha;

public class Twice {
    public static String where() {
        return "libs/a.jar";
    }
}
