package bridge;

import java.io.ByteArrayOutputStream;
import java.io.IOException;
import java.io.InputStream;
import java.net.URL;
import java.net.URLConnection;
import java.util.Enumeration;

/** Answers one question per argument pair about classes and resources, one line each. */
public class Probe {
    public static void main(String[] args) throws Exception {
        for (int i = 0; i + 1 < args.length; i += 2) {
            System.out.println(answer(args[i], args[i + 1]));
        }
    }

    static String answer(String what, String name) throws Exception {
        ClassLoader loader = Probe.class.getClassLoader();
        if (what.equals("class")) {
            try {
                Class<?> c = Class.forName(name, true, loader);
                return "class " + name + " from " + c.getMethod("where").invoke(null);
            } catch (ClassNotFoundException e) {
                return "class " + name + " not found, cause " + (e.getCause() == null ? "none" : e.getCause().getClass().getName());
            }
        }
        if (what.equals("package")) {
            Package p = Class.forName(name, true, loader).getPackage();
            return "package " + p.getName() + " title=" + p.getImplementationTitle() + " version="
                    + p.getImplementationVersion() + " spec=" + p.getSpecificationTitle();
        }
        if (what.equals("resource")) {
            URL url = loader.getResource(name);
            return "resource " + name + " " + (url == null ? "none" : url + " " + read(url.openStream()));
        }
        if (what.equals("resources")) {
            StringBuilder out = new StringBuilder("resources " + name);
            for (Enumeration<URL> e = loader.getResources(name); e.hasMoreElements();) {
                out.append(' ').append(e.nextElement());
            }
            return out.toString();
        }
        if (what.equals("url")) {
            InputStream in = new URL(name).openStream();
            return "url " + name + " " + (in == null ? "no stream" : read(in));
        }
        if (what.equals("type")) {
            URLConnection connection = loader.getResource(name).openConnection();
            return "type " + name + " " + connection.getContentType();
        }
        if (what.equals("property")) {
            return "property " + name + "=" + System.getProperty(name);
        }
        return "unknown question " + what;
    }

    static String read(InputStream in) throws IOException {
        if (in == null) {
            return "<null stream>";
        }
        ByteArrayOutputStream bytes = new ByteArrayOutputStream();
        byte[] buffer = new byte[4096];
        for (int n; (n = in.read(buffer)) > 0;) {
            bytes.write(buffer, 0, n);
        }
        in.close();
        byte[] data = bytes.toByteArray();
        for (byte b : data) {
            if (b >= 0 && b < 9) {
                return "[" + data.length + "] binary";
            }
        }
        return "[" + data.length + "]" + (data.length > 0 ? " " + new String(data, "UTF-8").trim() : "");
    }
}
