/* Machine-dependent JNI definitions for the Windows builds (MinGW-w64, i686 and x86_64).
 * Natives use the stdcall convention (a no-op on x86_64); jint is 32-bit and jlong
 * 64-bit on both. The JDK installed here ships only the Linux variant of this header. */
#ifndef TOVARIN_JNI_MD_H
#define TOVARIN_JNI_MD_H

#define JNIEXPORT __declspec(dllexport)
#define JNIIMPORT __declspec(dllimport)
#define JNICALL __stdcall

typedef int jint;
typedef long long jlong;
typedef signed char jbyte;

#endif
