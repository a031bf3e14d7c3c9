package com.mirathel.qvx;

import java.io.ByteArrayInputStream;
import java.io.IOException;
import java.io.InputStream;
import java.lang.ref.SoftReference;
import java.net.URL;
import java.net.URLConnection;
import java.net.URLStreamHandler;
import java.util.Hashtable;

/**
 * Stream handler of "qvx" URLs: their bytes come out of the program's payload through
 * a native of the executable. The VM finds this class because the launcher puts
 * "com.mirathel" in front of "java.protocol.handler.pkgs".
 */
public class Handler extends URLStreamHandler {
    /** Bytes last loaded per URL text; the VM may drop them under memory pressure. */
    protected static Hashtable<String, SoftReference<byte[]>> loadedData;

    static {
        loadedData = new Hashtable<String, SoftReference<byte[]>>();
        TovarinClassLoader.ensureNatives();
    }

    public Handler() {
    }

    @Override
    protected URLConnection openConnection(URL u) throws IOException {
        final Handler handler = this;
        final String resource = u.toString();
        return new URLConnection(u) {
            @Override
            public void connect() {
            }

            @Override
            public InputStream getInputStream() throws IOException {
                SoftReference<byte[]> cached = loadedData.get(resource);
                byte[] data = cached != null ? cached.get() : null;
                if (data == null) {
                    data = handler.loadResourceData(resource);
                    loadedData.put(resource, new SoftReference<byte[]>(data));
                }
                return data != null ? new ByteArrayInputStream(data) : null;
            }

            @Override
            public String getContentType() {
                return guessContentTypeFromName(resource);
            }
        };
    }

    protected native byte[] loadResourceData(String resource);
}
