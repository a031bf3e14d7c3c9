package deep;

/** In a jar inside libs/a.jar: its bytes are reachable, the class is not loadable. */
public class Deep {
    public static String where() {
        return "libs/a.jar!inner.jar";
    }
}
