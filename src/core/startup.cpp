#include "core/startup.h"

#include "vm/java_host.h"
#include "vm/main_invocation.h"
#include "streams/std_redirect.h"

uint32_t RunOnLaunchThread(ThreadProc proc, LaunchRequest* request)
{
    CThread thread;
    if (!thread.Start(proc, request, true) && !thread.Start(proc, request, false))
        return proc(request);
    return thread.Join();
}

uint32_t RunLaunch(void* raw)
{
    LaunchRequest none{0, nullptr, nullptr, 0};
    LaunchRequest* request = raw ? static_cast<LaunchRequest*>(raw) : &none;
    request->result = LaunchApplication(request->argumentCount, request->arguments, request->onStarted);
    if (g_javaHost)
        g_javaHost->Shutdown();
    return uint32_t(request->result);
}

void OnVmStarted()
{
    g_stdRedirect.AttachJavaStreams(g_javaHost ? g_javaHost->Env() : nullptr);
    InstallTerminationSignals(OnTerminationSignal);
}

void OnTerminationSignal(int signal)
{
    JavaVM* vm = g_javaHost ? g_javaHost->Vm() : nullptr;
    if (vm) {
        JNIEnv* env = nullptr;
        if (vm->AttachCurrentThread(reinterpret_cast<void**>(&env), nullptr) == JNI_OK) {
            if (env)
                CallSystemExit(env, 0);
            vm->DetachCurrentThread();
        }
    }
    CallPreviousSignalHandler(signal);
}

CTextBuffer ResolveForceCwd(const CTextRef& value, const CTextRef& base)
{
    if (value.CharAt(0) == '/' || value.CharAt(1) == ':')
        return CTextBuffer(value);
    if (value.CharAt(0) == '\\') {
        if (base.CharAt(1) != ':')
            return CTextBuffer(value);
        CTextBuffer path(base.Data(), 2);
        path.Append(value);
        return path;
    }
    CTextBuffer path(base);
    char last = base.CharAt(base.Length() - 1);
    if (!base.IsEmpty() && last != '\\' && last != '/')
        path.Append('/');
    path.Append(value);
    return path;
}

int WildcardMode(const CTextBuffer& value)
{
    if (value.CompareNoCase("all") == 0)
        return 2;
    if (value.CompareNoCase("true") == 0 || value.CompareNoCase("auto") == 0)
        return 1;
    return 0;
}

bool ApplyForceCwd(const CTextBuffer& value, const CTextBuffer& exeFolder)
{
    CTextBuffer joined = ResolveForceCwd(value, exeFolder);
    char full[260];
    int32_t n = GetFullPath(joined.Data(), full, sizeof full);
    return n > 0 && n < int32_t(sizeof full) && SetCurrentFolder(full);
}
