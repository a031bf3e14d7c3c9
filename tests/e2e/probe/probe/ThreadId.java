package probe;

import java.io.File;
import java.io.IOException;

/** Tells whether main runs on the process's first thread (its thread id is the pid). */
public class ThreadId {
    public static void main(String[] args) throws IOException {
        String tid = new File("/proc/thread-self").getCanonicalFile().getName();
        String pid = new File("/proc/self").getCanonicalFile().getName();
        System.out.println(tid.equals(pid) ? "first thread" : "other thread");
    }
}
