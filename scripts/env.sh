# Sourced by the scripts: the JDK the launcher is built and tested against.
if [ -z "${JAVA_HOME:-}" ] || [ ! -e "$JAVA_HOME/include/jni.h" ]; then
  JAVA_HOME=/usr/lib/jvm/java-17-openjdk-amd64
fi
export JAVA_HOME
