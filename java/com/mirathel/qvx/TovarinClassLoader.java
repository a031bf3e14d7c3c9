package com.mirathel.qvx;

import java.io.File;
import java.io.IOException;
import java.io.InputStream;
import java.net.MalformedURLException;
import java.net.URL;
import java.net.URLClassLoader;
import java.util.ArrayList;
import java.util.Enumeration;
import java.util.List;
import java.util.jar.Manifest;

/**
 * The launcher's class loader. Parent-first like any URLClassLoader over the launcher
 * class path ("qvx.class.path"), but classes and resources the parents cannot supply come
 * from the program's own payload, nested jars included, through natives of the executable.
 */
public class TovarinClassLoader extends URLClassLoader {
    static {
        // The natives live in the running executable. Windows loads it as a library; glibc
        // cannot load an executable, so elsewhere the VM binds the executable's built-in
        // library "qvx".
        String path = System.getProperty("qvx.app.path");
        if (path != null) {
            String os = System.getProperty("os.name", "");
            if (os.startsWith("Windows")) {
                System.load(path);
            } else {
                System.loadLibrary("qvx");
            }
        }
    }

    /** Makes sure the natives are bound before a support class uses its own. */
    static void ensureNatives() {
    }

    public TovarinClassLoader() {
        super(getQvxClassPath());
    }

    public TovarinClassLoader(ClassLoader parent) {
        super(getQvxClassPath(), parent);
    }

    protected static URL[] getQvxClassPath() {
        String path = System.getProperty("qvx.class.path", "");
        List<URL> urls = new ArrayList<URL>();
        // Split by hand: String.split with a quoted pattern pulls in the regex engine and
        // the lambda machinery behind it, a few milliseconds of every start.
        char separator = File.pathSeparatorChar;
        for (int start = 0, end; start < path.length(); start = end + 1) {
            end = path.indexOf(separator, start);
            if (end < 0) {
                end = path.length();
            }
            String element = path.substring(start, end);
            if (element.length() == 0) {
                continue;
            }
            try {
                urls.add(new File(element).toURI().toURL());
            } catch (MalformedURLException e) {
                // An element that is no valid URL cannot be searched anyway.
            }
        }
        return urls.toArray(new URL[urls.size()]);
    }

    @Override
    protected Class<?> findClass(String name) throws ClassNotFoundException {
        int dot = name.lastIndexOf('.');
        if (dot > 0) {
            String pkg = name.substring(0, dot);
            if (getPackage(pkg) == null) {
                definePayloadPackage(pkg, findResource(name.replace('.', '/') + ".class"));
            }
        }
        Class<?> found;
        try {
            found = defineClass(name);
        } catch (Throwable t) {
            throw new ClassNotFoundException(name, t);
        }
        return found != null ? found : super.findClass(name);
    }

    /** Defines pkg from the manifest of the archive or nested jar that holds the class. */
    private void definePayloadPackage(String pkg, URL url) {
        if (url == null || !"qvx".equals(url.getProtocol())) {
            return;
        }
        Manifest manifest = null;
        String text = url.toString();
        int cut = Math.max(text.lastIndexOf(':'), text.lastIndexOf('!')) + 1;
        try {
            // With the class's URL as context the new URL takes over its handler; a URL
            // made from text alone has the JDK search service providers for a "qvx"
            // handler first, which costs the first class from a nested jar some 5 ms.
            InputStream in = new URL(url, text.substring(0, cut) + "META-INF/MANIFEST.MF").openStream();
            if (in != null) {
                try {
                    manifest = new Manifest(in);
                } finally {
                    in.close();
                }
            }
        } catch (IOException e) {
            manifest = null;
        }
        if (manifest != null) {
            definePackage(pkg, manifest, null);
        } else {
            definePackage(pkg, null, null, null, null, null, null, null);
        }
    }

    protected native Class<?> defineClass(String name);

    @Override
    public native URL findResource(String name);

    @Override
    public native Enumeration<URL> findResources(String name) throws IOException;
}
