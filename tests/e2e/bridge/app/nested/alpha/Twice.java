package nested.alpha;

/** Present in app.jar and in libs/a.jar: the shorter-named jar must win. */
public class Twice {
    public static String where() {
        return "app.jar";
    }
}
