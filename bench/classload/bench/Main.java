package bench;

import java.io.IOException;
import java.io.InputStream;
import java.lang.management.ManagementFactory;
import java.lang.management.ThreadMXBean;
import java.net.URL;

/**
 * The measured program of the class loading benchmark: loads every generated class and
 * reads every generated resource through the system class loader, and prints the times as
 * "key value" lines: elapsed nanoseconds ("KEY_ns") and, since the machine may be shared,
 * the main thread's CPU nanoseconds ("KEY_cpu_ns"). Names follow the rule of generate.py.
 *
 * Modes (first argument): "all" (the default) times the classes with Class.forName and
 * the resources with getResourceAsStream; "split" times the steps one by one (find and
 * define, then initialise; URL lookup, then open, then read); "none" returns at once, so
 * that its wall time is the fixed cost of starting the process.
 */
public final class Main {
    static final int JARS = 20;
    static final int PER_JAR = 250;
    static final int PACKAGES = 5;
    static final int COUNT = JARS * PER_JAR;

    /** Incremented by the static initialiser of every generated class. */
    public static int initialised;

    private static ThreadMXBean threads;

    private Main() {
    }

    /** Elapsed and CPU time summed over any number of start/stop pairs. */
    private static final class Step {
        private final String key;
        private long elapsed;
        private long cpu;
        private long startElapsed;
        private long startCpu;

        Step(String key) {
            this.key = key;
        }

        void start() {
            startCpu = threads.getCurrentThreadCpuTime();
            startElapsed = System.nanoTime();
        }

        void stop() {
            elapsed += System.nanoTime() - startElapsed;
            cpu += threads.getCurrentThreadCpuTime() - startCpu;
        }

        void print() {
            System.out.println(key + "_ns " + elapsed);
            System.out.println(key + "_cpu_ns " + cpu);
        }
    }

    static String className(int i) {
        return String.format("bench.gen.j%02d.p%d.C%04d", i / PER_JAR, i % PACKAGES, i);
    }

    static String resourceName(int i) {
        return String.format("bench/res/j%02d/p%d/r%04d.txt", i / PER_JAR, i % PACKAGES, i);
    }

    static int resourceSize(int i) {
        return 1024 + (i * 397) % 3073;
    }

    public static void main(String[] args) throws Exception {
        String mode = args.length > 0 ? args[0] : "all";
        if (mode.equals("none")) {
            return;
        }
        ClassLoader loader = ClassLoader.getSystemClassLoader();
        threads = ManagementFactory.getThreadMXBean();
        // Names are made before the clock starts: formatting is not what is measured.
        String[] classes = new String[COUNT];
        String[] resources = new String[COUNT];
        long expectedBytes = 0;
        for (int i = 0; i < COUNT; ++i) {
            classes[i] = className(i);
            resources[i] = resourceName(i);
            expectedBytes += resourceSize(i);
        }
        long bytes = mode.equals("split") ? runSplit(loader, classes, resources) : runAll(loader, classes, resources);
        check(initialised == COUNT, "initialised " + initialised + " of " + COUNT);
        check(bytes == expectedBytes, "read " + bytes + " bytes, expected " + expectedBytes);
        // After the timed steps, so that no jar is opened ahead of them.
        Class<?> first = Class.forName(classes[0], false, loader);
        System.out.println("class_loader " + first.getClassLoader().getClass().getName());
        System.out.println("sample_url " + loader.getResource(resources[COUNT - 1]));
    }

    private static long runAll(ClassLoader loader, String[] classes, String[] resources) throws Exception {
        Step classStep = new Step("classes");
        classStep.start();
        for (String name : classes) {
            Class.forName(name, true, loader);
        }
        classStep.stop();

        Step resourceStep = new Step("resources");
        long bytes = 0;
        resourceStep.start();
        for (String name : resources) {
            try (InputStream in = loader.getResourceAsStream(name)) {
                check(in != null, "no resource " + name);
                bytes += in.readAllBytes().length;
            }
        }
        resourceStep.stop();
        classStep.print();
        resourceStep.print();
        return bytes;
    }

    private static long runSplit(ClassLoader loader, String[] classes, String[] resources) throws Exception {
        Step define = new Step("define");
        define.start();
        for (String name : classes) {
            loader.loadClass(name);
        }
        define.stop();
        check(initialised == 0, "loadClass ran " + initialised + " initialisers");
        Step init = new Step("init");
        init.start();
        for (String name : classes) {
            Class.forName(name, true, loader);
        }
        init.stop();

        Step lookup = new Step("lookup");
        URL[] urls = new URL[resources.length];
        lookup.start();
        for (int i = 0; i < resources.length; ++i) {
            urls[i] = loader.getResource(resources[i]);
        }
        lookup.stop();

        // Opening holds whatever a URL's handler does before the first byte is read.
        Step open = new Step("open");
        Step read = new Step("read");
        long bytes = 0;
        for (int i = 0; i < urls.length; ++i) {
            check(urls[i] != null, "no resource " + resources[i]);
            open.start();
            InputStream in = urls[i].openStream();
            open.stop();
            read.start();
            try {
                bytes += in.readAllBytes().length;
            } finally {
                in.close();
            }
            read.stop();
        }
        for (Step step : new Step[] {define, init, lookup, open, read}) {
            step.print();
        }
        return bytes;
    }

    private static void check(boolean condition, String message) throws IOException {
        if (!condition) {
            throw new IOException(message);
        }
    }
}
