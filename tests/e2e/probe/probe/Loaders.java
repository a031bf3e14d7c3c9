package probe;

/** Names the class loaders the launch set up. */
public class Loaders {
    public static void main(String[] args) {
        System.out.println("system=" + ClassLoader.getSystemClassLoader().getClass().getName());
        ClassLoader context = Thread.currentThread().getContextClassLoader();
        System.out.println("context=" + (context == null ? "<null>" : context.getClass().getName()));
        System.out.println("main=" + Loaders.class.getClassLoader().getClass().getName());
    }
}
