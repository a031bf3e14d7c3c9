package probe;

/** Prints "name=value" for each argument: "env:NAME" reads the environment, anything
 * else a system property ("<null>" when unset). */
public class Props {
    public static void main(String[] args) {
        for (String a : args) {
            String value = a.startsWith("env:") ? System.getenv(a.substring(4)) : System.getProperty(a);
            System.out.println(a + "=" + (value == null ? "<null>" : value));
        }
    }
}
