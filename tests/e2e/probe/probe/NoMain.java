package probe;

/** Has a main method, but not the static one taking String[]. */
public class NoMain {
    public void main(String[] args) {
    }
}
