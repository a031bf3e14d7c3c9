package probe;

public class Throw {
    public static void main(String[] args) {
        throw new IllegalStateException("thrown by probe.Throw");
    }
}
