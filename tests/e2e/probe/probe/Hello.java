package probe;

/** The benchmark's program: as small as a Java program gets. */
public class Hello {
    public static void main(String[] args) {
        System.out.println("Hello");
    }
}
