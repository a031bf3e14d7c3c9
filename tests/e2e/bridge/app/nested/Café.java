package nested;

/** A class whose name is not ASCII. */
public class Café {
    public static String where() {
        return "app.jar, named in UTF-8";
    }
}
