package libonly;

/** From libs/a.jar, which has no manifest of its own. */
public class Lib {
    public static String where() {
        return "libs/a.jar";
    }
}
