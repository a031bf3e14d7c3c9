package demo;

import demo.lib.Banner;

import java.io.BufferedReader;
import java.io.IOException;
import java.io.InputStreamReader;
import java.net.URL;

/** The demo application: its classes, its library's and its resources all come straight
 * out of the program file. */
public class App {
    public static void main(String[] args) throws IOException {
        System.out.println(Banner.frame("Hello from a Tovarin program"));
        Package pkg = App.class.getPackage();
        System.out.println("package " + pkg.getName() + ": " + pkg.getImplementationTitle() + " "
                + pkg.getImplementationVersion());
        URL url = App.class.getResource("/demo/greeting.txt");
        System.out.println("resource " + url);
        BufferedReader in = new BufferedReader(new InputStreamReader(url.openStream(), "UTF-8"));
        try {
            for (String line; (line = in.readLine()) != null;) {
                System.out.println("  " + line);
            }
        } finally {
            in.close();
        }
        System.out.println("loaded by " + App.class.getClassLoader().getClass().getName());
        System.out.println("library class from " + Banner.class.getResource("Banner.class"));
        for (String arg : args) {
            System.out.println("argument: " + arg);
        }
    }
}
