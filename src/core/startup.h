// The start-up spine: what main hands to the launch, the launch thread, the start
// callback and the termination-signal handler.
#pragma once

#include "os/process.h"
#include "text/text_buffer.h"
#include "vm/launch.h"

#include <cstdint>

struct LaunchRequest {
    int32_t argumentCount;   // program arguments, without the program name
    char** arguments;        // owned by the C library or the argument expander
    StartCallback onStarted; // always OnVmStarted
    int32_t result;          // set by RunLaunch
};

// Runs proc(request) on a new thread with the default stack and returns its exit code;
// runs it on the calling thread when no thread can be created.
uint32_t RunOnLaunchThread(ThreadProc proc, LaunchRequest* request);
// Thread procedure: the launch, then the VM's end. Its result is the launch result.
uint32_t RunLaunch(void* request);
// Called once the VM exists, on the thread that created it.
void OnVmStarted();
// SIGINT and SIGTERM: System.exit(0) through an attached thread, then the handler that
// was installed before.
void OnTerminationSignal(int signal);

// "forcecwd" joined to the executable's folder (base): a value beginning with "/" or
// holding ":" second is used unchanged; one beginning with "\" keeps only the base's
// drive; anything else is appended to the base.
CTextBuffer ResolveForceCwd(const CTextRef& value, const CTextRef& base);
// Expansion mode for a "wildcard" value: 2 for "all", 1 for "true" and "auto" (any
// case), 0 for everything else.
int WildcardMode(const CTextBuffer& value);
// Makes the resolved "forcecwd" folder current; false when it was left alone.
bool ApplyForceCwd(const CTextBuffer& value, const CTextBuffer& exeFolder);
