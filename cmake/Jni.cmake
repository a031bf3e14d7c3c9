# JNI headers: the installed JDK's jni.h everywhere; for Windows targets our own jni_md.h
# (the JDK on this machine ships only the Linux one).
if(NOT TOVARIN_JDK_HOME)
  if(DEFINED ENV{JAVA_HOME} AND EXISTS "$ENV{JAVA_HOME}/include/jni.h")
    set(TOVARIN_JDK_HOME "$ENV{JAVA_HOME}")
  else()
    set(TOVARIN_JDK_HOME /usr/lib/jvm/java-17-openjdk-amd64)
  endif()
endif()
set(TOVARIN_JDK_HOME "${TOVARIN_JDK_HOME}" CACHE PATH "JDK whose jni.h the launcher compiles against")
if(NOT EXISTS "${TOVARIN_JDK_HOME}/include/jni.h")
  message(FATAL_ERROR "jni.h not found under ${TOVARIN_JDK_HOME}/include (set TOVARIN_JDK_HOME)")
endif()

add_library(tovarin_jni INTERFACE)
if(WIN32)
  target_include_directories(tovarin_jni SYSTEM INTERFACE
    "${PROJECT_SOURCE_DIR}/src/vm/jni_win32" "${TOVARIN_JDK_HOME}/include")
else()
  target_include_directories(tovarin_jni SYSTEM INTERFACE
    "${TOVARIN_JDK_HOME}/include" "${TOVARIN_JDK_HOME}/include/linux")
endif()
