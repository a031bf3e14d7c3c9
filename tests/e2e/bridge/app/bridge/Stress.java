package bridge;

import java.io.ByteArrayOutputStream;
import java.io.InputStream;
import java.util.concurrent.atomic.AtomicInteger;

/** Sixteen threads load the 2,000 generated classes and read their 2,000 resources at
 * once, each in its own order; prints the number of failures. */
public class Stress {
    public static void main(String[] args) throws Exception {
        final ClassLoader loader = Stress.class.getClassLoader();
        final AtomicInteger failures = new AtomicInteger();
        Thread[] threads = new Thread[16];
        for (int t = 0; t < threads.length; t++) {
            final int offset = t * 125;
            threads[t] = new Thread(new Runnable() {
                public void run() {
                    for (int n = 0; n < 2000; n++) {
                        int i = (n + offset) % 2000;
                        try {
                            Class<?> c = Class.forName("many.p" + (i / 500) + ".C" + i, true, loader);
                            if (((Integer) c.getMethod("id").invoke(null)).intValue() != i) {
                                failures.incrementAndGet();
                            }
                            InputStream in = loader.getResourceAsStream("many/r" + i + ".txt");
                            ByteArrayOutputStream bytes = new ByteArrayOutputStream();
                            byte[] buffer = new byte[64];
                            for (int k; (k = in.read(buffer)) > 0;) {
                                bytes.write(buffer, 0, k);
                            }
                            if (!new String(bytes.toByteArray(), "UTF-8").equals("r" + i + "\n")) {
                                failures.incrementAndGet();
                            }
                        } catch (Throwable e) {
                            System.out.println(e);
                            failures.incrementAndGet();
                        }
                    }
                }
            });
        }
        for (Thread t : threads) {
            t.start();
        }
        for (Thread t : threads) {
            t.join();
        }
        System.out.println("failures=" + failures.get());
    }
}
