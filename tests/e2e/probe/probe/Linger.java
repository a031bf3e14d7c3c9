package probe;

/** Returns from main at once while a non-daemon thread keeps working. */
public class Linger {
    public static void main(String[] args) {
        Thread worker = new Thread(new Runnable() {
            public void run() {
                try {
                    Thread.sleep(700);
                } catch (InterruptedException e) {
                    return;
                }
                System.out.println("worker done");
            }
        });
        worker.start();
        System.out.println("main returned");
    }
}
