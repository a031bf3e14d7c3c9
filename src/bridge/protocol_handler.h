// Makes the VM find the launcher's handler for "qvx" URLs.
#pragma once

#include "vm/jvm.h"

// Puts "com.mirathel" in front of "java.protocol.handler.pkgs".
void RegisterProtocolHandler(JNIEnv* env);
