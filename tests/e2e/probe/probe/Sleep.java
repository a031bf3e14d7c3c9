package probe;

/** Says it is running, then sleeps far longer than any test waits. */
public class Sleep {
    public static void main(String[] args) throws InterruptedException {
        System.out.println("sleeping");
        System.out.flush();
        Thread.sleep(60000);
    }
}
