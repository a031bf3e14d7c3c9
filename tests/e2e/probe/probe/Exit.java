package probe;

/** Ends the process with the status given as the first argument. */
public class Exit {
    public static void main(String[] args) {
        System.exit(Integer.parseInt(args[0]));
    }
}
