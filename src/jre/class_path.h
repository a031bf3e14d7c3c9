// The two class paths the VM is given: its own ("java.class.path", the executable
// first) and the launcher class loader's search path ("qvx.class.path").
#pragma once

#include "text/text_buffer.h"

enum class ClassPathKind { kVm, kLauncher };

// Elements joined by the platform's path separator.
CTextBuffer BuildClassPath(ClassPathKind kind);
