package demo.lib;

/** A library class, from a jar in the payload's libs folder. */
public class Banner {
    public static String frame(String text) {
        StringBuilder line = new StringBuilder();
        for (int i = 0; i < text.length() + 4; i++) {
            line.append('*');
        }
        return line + "\n* " + text + " *\n" + line;
    }
}
