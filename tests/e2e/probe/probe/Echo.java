package probe;

/** Prints each argument in brackets, one per line, so empty and blank ones show. */
public class Echo {
    public static void main(String[] args) {
        System.out.println("count=" + args.length);
        for (String a : args) {
            System.out.println("[" + a + "]");
        }
    }
}
